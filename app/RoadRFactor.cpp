// Placeholder until this export road is written.
#include "app/Lapforge.h"
#include "app/support/UserInterface.h"
#include "description/TrkDsc.h"

int CLapforge::RFactorFromDataBase(const TrkDsc&, const std::string&) {
  UI().Message("This export is not available yet", "Lapforge");
  return 0;
}
int CLapforge::XMLtoRFactor(const std::string& xmlFile, const std::string& folder) {
  std::unique_ptr<TrkDsc> db = DataBaseFromXML(xmlFile);
  return db ? RFactorFromDataBase(*db, folder) : 0;
}
