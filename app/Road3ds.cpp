// Placeholder until this export road is written.
#include "app/Lapforge.h"
#include "app/support/UserInterface.h"
#include "description/TrkDsc.h"

int CLapforge::_3DSFromDataBase(const TrkDsc&, const std::string&) {
  UI().Message("This export is not available yet", "Lapforge");
  return 0;
}
int CLapforge::XMLTo3DS(const std::string& xmlFile, const std::string& file) {
  std::unique_ptr<TrkDsc> db = DataBaseFromXML(xmlFile);
  return db ? _3DSFromDataBase(*db, file) : 0;
}
