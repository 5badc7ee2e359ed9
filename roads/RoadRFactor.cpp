// XML to rFactor: one GMT file per export block, the scene file, and the
// rFactor templates (the palette image among them).
#include "description/TrkDsc.h"
#include "formats/gmt/GmtFile.h"
#include "roads/Lapforge.h"
#include "roads/MeshExportRoad.h"

namespace lapforge {

MeshExportFormat RFactorExportFormat() {
  MeshExportFormat format = BlockExportFormat("gmt", "_Lapforge.scn");
  format.templates = {{"_NoName.gdb", TemplateKind::Text, 112},
                    {"_NoName.scn", TemplateKind::Text, 111},
                    {"_rgbmap.dds", TemplateKind::Binary, 110}};
  format.blockBytes = [](const CGlBlock& block, const CGlMipArray& textures, const CGlMaterialArray& materials,
                         const std::string& path, CByteWriter& out) {
    CGlObjTag tag;
    tag.ClearObjTag();
    CZGmtFile gmt;
    gmt.MakeObject(block.points, block.faces, textures, materials, tag);
    if (gmt.objects.empty()) return false;
    gmt.RFactorFileBytes(out, path, tag);
    return true;
  };
  return format;
}

int CLapforge::RFactorFromDataBase(const TrkDsc& db, const std::string& folder) {
  return CMeshExportRoad::Run(*this, db, folder, RFactorExportFormat());
}

int CLapforge::XMLtoRFactor(const std::string& xmlFile, const std::string& folder) {
  return FromXML(xmlFile, &CLapforge::RFactorFromDataBase, folder);
}

}  // namespace lapforge
