// The GTR, GTR2 and GTL export roads: one ".gmt" file per block, then the
// scene file and the side files each game expects from the templates.
#include "app/Lapforge.h"
#include "app/MeshExportRoad.h"
#include "description/TrkDsc.h"
#include "formats/ZGTLFile.h"
#include "formats/ZGtrFile.h"

namespace {

// GTL and GTR2 share the GTL model layout; each block gets a fresh writer
// and a cleared object tag.
bool WriteGtlBlock(const CGlBlock& block, const CGlMipArray& textures, const CGlMaterialArray& materials,
                   const std::string& path) {
  CGlObjTag tag;
  tag.ClearObjTag();
  CZGTLFile gtl;
  gtl.MakeObject(block.points, block.faces, textures, materials, tag);
  return gtl.WriteGTLFile(path, tag);
}

}  // namespace

MeshExportSpec GTRExportSpec() {
  MeshExportSpec spec;
  spec.blockExtension = "gmt";
  spec.sceneFile = "_Lapforge.scn";
  spec.sceneExtension = "gmt";
  spec.writeBlock = [](const CGlBlock& block, const CGlMipArray& textures, const CGlMaterialArray& materials,
                       const std::string& path) {
    // Target "tga" with ".dds" kept (CZGtr); the UV clamp off.
    CZGtrFile gtr;
    gtr.MakeObject(block.points, block.faces, textures, materials, 0, 1, 0);
    return gtr.WriteGTRFile(path, 0);
  };
  return spec;
}

MeshExportSpec GTR2ExportSpec() {
  MeshExportSpec spec;
  spec.blockExtension = "gmt";
  spec.sceneFile = "_Lapforge.trk";
  spec.sceneExtension = "gmt";
  spec.templates = {{"_NoName.gdb", TemplateKind::Text, 113},
                    {"_NoName.trk", TemplateKind::Text, 114},
                    {"_NoName.ani", TemplateKind::Text, 115},
                    {"_NoName.grd", TemplateKind::Text, 116},
                    {"_rgbmap.dds", TemplateKind::Binary, 110}};
  spec.writeBlock = WriteGtlBlock;
  return spec;
}

MeshExportSpec GTLExportSpec() {
  MeshExportSpec spec;
  spec.blockExtension = "gmt";
  spec.sceneFile = "_Lapforge.scn";
  spec.sceneExtension = "gmt";
  spec.templates = {{"_NoName.gdb", TemplateKind::Text, 107},
                    {"_NoName.trk", TemplateKind::Text, 109},
                    {"_rgbmap.dds", TemplateKind::Binary, 110}};
  spec.writeBlock = WriteGtlBlock;
  return spec;
}

int CLapforge::GTRFromDataBase(const TrkDsc& db, const std::string& folder) {
  return CMeshExportRoad::Run(*this, db, folder, GTRExportSpec());
}

int CLapforge::XMLtoGTR(const std::string& xmlFile, const std::string& folder) {
  std::unique_ptr<TrkDsc> db = DataBaseFromXML(xmlFile);
  return db ? GTRFromDataBase(*db, folder) : 0;
}

int CLapforge::GTR2FromDataBase(const TrkDsc& db, const std::string& folder) {
  return CMeshExportRoad::Run(*this, db, folder, GTR2ExportSpec());
}

int CLapforge::XMLtoGTR2(const std::string& xmlFile, const std::string& folder) {
  std::unique_ptr<TrkDsc> db = DataBaseFromXML(xmlFile);
  return db ? GTR2FromDataBase(*db, folder) : 0;
}

int CLapforge::GTLFromDataBase(const TrkDsc& db, const std::string& folder) {
  return CMeshExportRoad::Run(*this, db, folder, GTLExportSpec());
}

int CLapforge::XMLtoGTL(const std::string& xmlFile, const std::string& folder) {
  std::unique_ptr<TrkDsc> db = DataBaseFromXML(xmlFile);
  return db ? GTLFromDataBase(*db, folder) : 0;
}
