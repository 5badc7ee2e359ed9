// Placeholder until this export road is written.
#include "app/Lapforge.h"
#include "app/support/UserInterface.h"
#include "description/TrkDsc.h"

int CLapforge::MTSFromDataBase(const TrkDsc&, const std::string&) {
  UI().Message("This export is not available yet", "Lapforge");
  return 0;
}
int CLapforge::XMLToMTS(const std::string& xmlFile, const std::string& folder) {
  std::unique_ptr<TrkDsc> db = DataBaseFromXML(xmlFile);
  return db ? MTSFromDataBase(*db, folder) : 0;
}
