// The GPL road of the conversion driver: a .TRK track read into a new
// description, written as XML.
#include <memory>

#include "app/Lapforge.h"
#include "description/TrkDsc.h"
#include "gpl/NTrkGplDb.h"

int CLapforge::GplTrktoXML(const std::string& trkFile, const std::string& xmlFile, bool fromGplTrk,
                           bool autoMaterials) {
  std::unique_ptr<TrkDsc> db = DataBaseFromGplTrk(trkFile, fromGplTrk, autoMaterials);
  if (!db) return 0;
  return DataBaseToXML(*db, xmlFile);
}
