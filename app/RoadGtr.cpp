// Placeholder until this export road is written.
#include "app/Lapforge.h"
#include "app/support/UserInterface.h"
#include "description/TrkDsc.h"

int CLapforge::GTRFromDataBase(const TrkDsc&, const std::string&) {
  UI().Message("This export is not available yet", "Lapforge");
  return 0;
}
int CLapforge::XMLtoGTR(const std::string& xmlFile, const std::string& folder) {
  std::unique_ptr<TrkDsc> db = DataBaseFromXML(xmlFile);
  return db ? GTRFromDataBase(*db, folder) : 0;
}
int CLapforge::GTR2FromDataBase(const TrkDsc&, const std::string&) {
  UI().Message("This export is not available yet", "Lapforge");
  return 0;
}
int CLapforge::XMLtoGTR2(const std::string& xmlFile, const std::string& folder) {
  std::unique_ptr<TrkDsc> db = DataBaseFromXML(xmlFile);
  return db ? GTR2FromDataBase(*db, folder) : 0;
}
int CLapforge::GTLFromDataBase(const TrkDsc&, const std::string&) {
  UI().Message("This export is not available yet", "Lapforge");
  return 0;
}
int CLapforge::XMLtoGTL(const std::string& xmlFile, const std::string& folder) {
  std::unique_ptr<TrkDsc> db = DataBaseFromXML(xmlFile);
  return db ? GTLFromDataBase(*db, folder) : 0;
}
