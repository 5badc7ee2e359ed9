// Placeholder until this export road is written.
#include "app/Lapforge.h"
#include "app/support/UserInterface.h"
#include "description/TrkDsc.h"

int CLapforge::GltfFromDataBase(const TrkDsc&, const std::string&) {
  UI().Message("This export is not available yet", "Lapforge");
  return 0;
}
int CLapforge::XMLToGltf(const std::string& xmlFile, const std::string& outFile) {
  std::unique_ptr<TrkDsc> db = DataBaseFromXML(xmlFile);
  return db ? GltfFromDataBase(*db, outFile) : 0;
}
