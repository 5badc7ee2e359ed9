// XML to F1 MTS: one MTS file per export block and the scene file.
#include "description/TrkDsc.h"
#include "formats/mts/MtsModel.h"
#include "roads/Lapforge.h"
#include "roads/MeshExportRoad.h"

namespace lapforge {

MeshExportFormat MtsExportFormat() {
  MeshExportFormat format = BlockExportFormat("mts", "_Lapforge.scn");
  format.writeBlock = [](const CGlBlock& block, const CGlMipArray& textures, const CGlMaterialArray& materials,
                       const std::string& path) {
    CZMts mts;
    mts.MakeObject(block.points, block.faces, textures, materials, 0, 1, 0);
    if (mts.objects.empty()) return BlockWrite::Empty;
    return mts.WriteF1File(path, 0) ? BlockWrite::Written : BlockWrite::Failed;
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
