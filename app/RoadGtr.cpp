// The GTR, GTR2 and GTL export roads: one ".gmt" file per block, then the
// scene file and the side files each game expects from the templates.
#include <string>

#include "app/ExportMesh.h"
#include "app/Lapforge.h"
#include "description/TrkDsc.h"
#include "formats/ZGTLFile.h"
#include "formats/ZGtrFile.h"
#include "formats/ZWriteScn.h"

namespace {

struct CTemplateOut {
  int id;
  bool binary;
  const char* name;
};

// Scene file, then the templates in order. False when one could not be
// written (reported).
bool WriteSideFiles(const std::string& folder, const char* sceneName, const CGlBlockArray& blocks,
                    std::initializer_list<CTemplateOut> templates) {
  bool ok = true;
  const std::string scene = OutputFile(folder, sceneName);
  if (!CZWriteScn::WriteScn(scene, "gmt", blocks)) {
    ReportWriteFailure("Could not write file '" + scene + "'");
    ok = false;
  }
  for (const CTemplateOut& t : templates) ok = WriteTemplateFile(t.id, t.binary, OutputFile(folder, t.name)) && ok;
  return ok;
}

// GTL and GTR2 share the GTL model layout; each block gets a fresh writer
// and a cleared object tag.
bool WriteGtlBlocks(const CExportMesh& mesh, const std::string& folder) {
  bool ok = true;
  for (int i = 0; i < mesh.blocks.GetSize(); ++i) {
    const CGlBlock& block = mesh.blocks[i];
    CZGTLFile gtl;
    CGlObjTag tag;
    tag.ClearObjTag();
    gtl.MakeObject(block.points, block.faces, mesh.textures, mesh.materials, tag);
    std::string error;
    if (!gtl.WriteGTLFile(OutputFile(folder, block.name + ".gmt"), tag, error)) {
      ReportWriteFailure(error);
      ok = false;
    }
  }
  return ok;
}

}  // namespace

// A file that could not be written is reported and the export ends with 0
// (after writing what it can), so a run never looks successful when a game
// file is missing.
int CLapforge::GTRFromDataBase(const TrkDsc& db, const std::string& folder) {
  CExportMesh mesh;
  if (!mesh.Build(*this, db)) return 0;
  bool ok = true;
  for (int i = 0; i < mesh.blocks.GetSize(); ++i) {
    const CGlBlock& block = mesh.blocks[i];
    CZGtrFile gtr;
    gtr.MakeObject(block.points, block.faces, mesh.textures, mesh.materials, 0, 1, 0);
    std::string error;
    if (!gtr.WriteGTRFile(OutputFile(folder, block.name + ".gmt"), 0, error)) {
      ReportWriteFailure(error);
      ok = false;
    }
  }
  ok = WriteSideFiles(folder, "_Lapforge.scn", mesh.blocks, {}) && ok;
  return ok ? mesh.blocks.GetSize() : 0;
}

int CLapforge::XMLtoGTR(const std::string& xmlFile, const std::string& folder) {
  std::unique_ptr<TrkDsc> db = DataBaseFromXML(xmlFile);
  return db ? GTRFromDataBase(*db, folder) : 0;
}

int CLapforge::GTR2FromDataBase(const TrkDsc& db, const std::string& folder) {
  CExportMesh mesh;
  if (!mesh.Build(*this, db)) return 0;
  bool ok = WriteGtlBlocks(mesh, folder);
  ok = WriteSideFiles(folder, "_Lapforge.trk", mesh.blocks,
                      {{113, false, "_NoName.gdb"},
                       {114, false, "_NoName.trk"},
                       {115, false, "_NoName.ani"},
                       {116, false, "_NoName.grd"},
                       {110, true, "_rgbmap.dds"}}) &&
       ok;
  return ok ? mesh.blocks.GetSize() : 0;
}

int CLapforge::XMLtoGTR2(const std::string& xmlFile, const std::string& folder) {
  std::unique_ptr<TrkDsc> db = DataBaseFromXML(xmlFile);
  return db ? GTR2FromDataBase(*db, folder) : 0;
}

int CLapforge::GTLFromDataBase(const TrkDsc& db, const std::string& folder) {
  CExportMesh mesh;
  if (!mesh.Build(*this, db)) return 0;
  bool ok = WriteGtlBlocks(mesh, folder);
  ok = WriteSideFiles(folder, "_Lapforge.scn", mesh.blocks,
                      {{107, false, "_NoName.gdb"}, {109, false, "_NoName.trk"}, {110, true, "_rgbmap.dds"}}) &&
       ok;
  return ok ? mesh.blocks.GetSize() : 0;
}

int CLapforge::XMLtoGTL(const std::string& xmlFile, const std::string& folder) {
  std::unique_ptr<TrkDsc> db = DataBaseFromXML(xmlFile);
  return db ? GTLFromDataBase(*db, folder) : 0;
}
