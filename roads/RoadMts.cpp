// XML to F1 MTS: one MTS file per export block and the scene file.
#include "description/TrkDsc.h"
#include "formats/mts/MtsModel.h"
#include "roads/Lapforge.h"
#include "roads/MeshExportRoad.h"

namespace lapforge {

MeshExportFormat MtsExportFormat() {
  MeshExportFormat format = BlockExportFormat("mts", "_Lapforge.scn");
  format.blockBytes = [](const CGlBlock& block, const CGlMipArray& textures, const CGlMaterialArray& materials,
                         const std::string& path, CByteWriter& out) {
    CZMts mts;
    mts.MakeObject(block.points, block.faces, textures, materials, 0, 1, 0);
    if (mts.objects.empty()) return false;
    mts.F1FileBytes(out, path, 0);
    return true;
  };
  return format;
}

int CLapforge::MTSFromDataBase(const TrkDsc& db, const std::string& folder) {
  return CMeshExportRoad::Run(*this, db, folder, MtsExportFormat());
}

int CLapforge::XMLToMTS(const std::string& xmlFile, const std::string& folder) {
  return FromXML(xmlFile, &CLapforge::MTSFromDataBase, folder);
}

}  // namespace lapforge
