// The GTR, GTR2 and GTL export roads: one ".gmt" file per block, then the
// scene file and the side files each game expects from the templates.
#include "description/TrkDsc.h"
#include "formats/gmt/GtlFile.h"
#include "formats/gmt/GtrFile.h"
#include "roads/Lapforge.h"
#include "roads/MeshExportRoad.h"

namespace lapforge {

namespace {

// GTL and GTR2 share the GTL model layout; each block gets a fresh writer
// and a cleared object tag.
bool GtlBlockBytes(const CGlBlock& block, const CGlMipArray& textures, const CGlMaterialArray& materials,
                   const std::string& path, CByteWriter& out) {
  CGlObjTag tag;
  tag.ClearObjTag();
  CZGTLFile gtl;
  gtl.MakeObject(block.points, block.faces, textures, materials, tag);
  if (gtl.objects.empty()) return false;
  gtl.GTLFileBytes(out, path, tag);
  return true;
}

}  // namespace

MeshExportFormat GTRExportFormat() {
  MeshExportFormat format = BlockExportFormat("gmt", "_Lapforge.scn");
  format.blockBytes = [](const CGlBlock& block, const CGlMipArray& textures, const CGlMaterialArray& materials,
                         const std::string& path, CByteWriter& out) {
    // Target "tga" with ".dds" kept (CZGtr); the UV clamp off.
    CZGtrFile gtr;
    gtr.MakeObject(block.points, block.faces, textures, materials, 0, 1, 0);
    if (gtr.objects.empty()) return false;
    gtr.GTRFileBytes(out, path, 0);
    return true;
  };
  return format;
}

MeshExportFormat GTR2ExportFormat() {
  MeshExportFormat format = BlockExportFormat("gmt", "_Lapforge.trk");
  format.templates = {{"_NoName.gdb", TemplateKind::Text, 113},
                    {"_NoName.trk", TemplateKind::Text, 114},
                    {"_NoName.ani", TemplateKind::Text, 115},
                    {"_NoName.grd", TemplateKind::Text, 116},
                    {"_rgbmap.dds", TemplateKind::Binary, 110}};
  format.blockBytes = GtlBlockBytes;
  return format;
}

MeshExportFormat GTLExportFormat() {
  MeshExportFormat format = BlockExportFormat("gmt", "_Lapforge.scn");
  format.templates = {{"_NoName.gdb", TemplateKind::Text, 107},
                    {"_NoName.trk", TemplateKind::Text, 109},
                    {"_rgbmap.dds", TemplateKind::Binary, 110}};
  format.blockBytes = GtlBlockBytes;
  return format;
}

int CLapforge::GTRFromDataBase(const TrkDsc& db, const std::string& folder) {
  return CMeshExportRoad::Run(*this, db, folder, GTRExportFormat());
}

int CLapforge::XMLtoGTR(const std::string& xmlFile, const std::string& folder) {
  return FromXML(xmlFile, &CLapforge::GTRFromDataBase, folder);
}

int CLapforge::GTR2FromDataBase(const TrkDsc& db, const std::string& folder) {
  return CMeshExportRoad::Run(*this, db, folder, GTR2ExportFormat());
}

int CLapforge::XMLtoGTR2(const std::string& xmlFile, const std::string& folder) {
  return FromXML(xmlFile, &CLapforge::GTR2FromDataBase, folder);
}

int CLapforge::GTLFromDataBase(const TrkDsc& db, const std::string& folder) {
  return CMeshExportRoad::Run(*this, db, folder, GTLExportFormat());
}

int CLapforge::XMLtoGTL(const std::string& xmlFile, const std::string& folder) {
  return FromXML(xmlFile, &CLapforge::GTLFromDataBase, folder);
}

}  // namespace lapforge
