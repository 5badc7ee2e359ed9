// Placeholder until the AI waypoint and camera roads are written.
#include "app/Lapforge.h"
#include "app/support/UserInterface.h"
#include "description/TrkDsc.h"

int CLapforge::AIWFromDataBase(const TrkDsc&, const std::string&, const std::string&) {
  UI().Message("This export is not available yet", "Lapforge");
  return 0;
}
int CLapforge::CamFromDataBase(const TrkDsc&, const std::string&, const std::string&) {
  UI().Message("This export is not available yet", "Lapforge");
  return 0;
}
