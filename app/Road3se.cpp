// The 3SE export road: the track written as "Lapforge.ptf", the blocks and
// an insert per block as one 3SE scene, and the scene file beside it.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "app/ExportMesh.h"
#include "app/Lapforge.h"
#include "app/support/FileString.h"
#include "app/support/UserInterface.h"
#include "description/TrkDsc.h"
#include "formats/Z3se.h"
#include "formats/ZWriteScn.h"

namespace {

// Block progress on stderr, only when someone is watching it.
void ShowProgress(int index, int count, void*) {
  std::fprintf(stderr, "\rWriting block %d of %d", index + 1, count);
  if (index + 1 == count) std::fputc('\n', stderr);
  std::fflush(stderr);
}

}  // namespace

int CLapforge::_3SEFromDataBase(const TrkDsc& db, const std::string& file) {
  CExportMesh mesh;
  if (!PTFObjFromDataBase(db, mesh.model, std::string())) return 0;
  const std::string folder = FileString::Path(file);
  const std::string ptf = OutputFile(folder, "Lapforge.ptf");
  if (!mesh.model.WritePtf(ptf, 7)) {
    ReportWriteFailure("Could not write file '" + ptf + "'");
    return 0;
  }
  CreateObjects(mesh.model, mesh.blocks, mesh.materials, mesh.textures, mesh.trackNames, mesh.verticalNames,
                mesh.otherNames);

  CGlInsertArray inserts;
  inserts.Reserve(mesh.blocks.GetSize());
  for (int i = 0; i < mesh.blocks.GetSize(); ++i) {
    CGlBlock& block = mesh.blocks[i];
    CGlInsert insert;
    insert.blockIndex = i;
    insert.name = block.name;
    block.attrib1 = 1;  // used by an insert
    inserts.Add(insert);
  }
  // The scene refers to the textures beside it.
  for (CGlMaterial& material : mesh.materials)
    material.SetMapName(folder + FileString::FileName(material.GetMapName()));

  CZ3se scene;
  if (isatty(STDERR_FILENO)) scene.SetProgressUpdatePointers(ShowProgress, nullptr);
  CGlObjTag tag;
  tag.ClearObjTag();
  std::string error;
  if (!scene.SaveModel(FileString::LowerFileName(file), CGlPointArray(), CGlFaceArray(), mesh.materials, mesh.textures,
                       inserts, mesh.blocks, tag, mesh.model.path, error)) {
    ReportWriteFailure(error);
    return 0;
  }
  const std::string scn = OutputFile(folder, "_Lapforge.scn");
  if (!CZWriteScn::WriteScn(scn, "gmt", mesh.blocks)) {
    ReportWriteFailure("Could not write file '" + scn + "'");
    return 0;
  }
  return mesh.blocks.GetSize();
}

int CLapforge::XMLto3SE(const std::string& xmlFile, const std::string& file) {
  std::unique_ptr<TrkDsc> db = DataBaseFromXML(xmlFile);
  return db ? _3SEFromDataBase(*db, file) : 0;
}
