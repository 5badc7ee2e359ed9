// The GPL road of the conversion driver: a .TRK track read into a new
// description, written as XML.
#include <memory>

#include "description/TrkDsc.h"
#include "mapping/GplMapping.h"
#include "roads/Lapforge.h"
#include "roads/LapforgeReading.h"

namespace lapforge {

int CLapforge::GplTrktoXML(const std::string& trkFile, const std::string& xmlFile, bool fromGplTrk,
                           bool autoMaterials) {
  // The import writes "_blank.tex" beside the track before the XML.
  ReadingScope reading(*this, GplTrkReadFiles(trkFile));
  if (!OutputsClear({xmlFile, GplBlankListFile(trkFile)})) return 0;
  Result read;
  std::unique_ptr<TrkDsc> db = DataBaseFromGplTrk(trkFile, fromGplTrk, autoMaterials, read);
  Show(read, "GPL .TRK to XML");
  if (!db) return 0;
  return DataBaseToXML(*db, xmlFile);
}

}  // namespace lapforge
