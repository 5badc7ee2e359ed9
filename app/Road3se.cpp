// The 3SE export road: the track written as "Lapforge.ptf", the blocks and
// an insert per block as one 3SE scene, and the scene file beside it.
#include <string>

#include "app/Lapforge.h"
#include "app/MeshExportRoad.h"
#include "app/support/FileIO.h"
#include "app/support/FileString.h"
#include "app/support/Progress.h"
#include "description/TrkDsc.h"
#include "formats/Z3se.h"
#include "formats/ZWriteScn.h"
#include "ptf/N5PtfDb.h"

namespace {

void ShowProgress(int index, int, void* context) { static_cast<CProgress*>(context)->Set(index + 1); }

}  // namespace

int CLapforge::_3SEFromDataBase(const TrkDsc& db, const std::string& file) {
  const std::string folder = FileString::Path(file);
  if (!CMeshExportRoad::PrepareFolder(folder)) return 0;
  MeshExportModel built;
  if (!PTFObjFromDataBase(db, *built.model, std::string())) return 0;
  const std::string ptf = JoinPath(folder, "Lapforge.ptf");
  if (!built.model->WritePtf(ptf, 7)) {
    CMeshExportRoad::ReportFailed({ptf});
    return 0;
  }
  int files = 1;
  CreateObjects(*built.model, built.blocks, built.materials, built.textures, built.trackNames, built.verticalNames,
                built.otherNames);

  CGlInsertArray inserts;
  inserts.Reserve(built.blocks.GetSize());
  for (int i = 0; i < built.blocks.GetSize(); ++i) {
    CGlBlock& block = built.blocks[i];
    CGlInsert insert;
    insert.blockIndex = i;
    insert.name = block.name;
    block.attrib1 = 1;  // used by an insert
    inserts.Add(insert);
  }
  // The scene refers to the textures beside it.
  for (CGlMaterial& material : built.materials)
    material.SetMapName(folder + FileString::FileName(material.GetMapName()));

  std::vector<std::string> failed;
  {
    CProgress progress("Writing", built.blocks.GetSize());
    CZ3se scene;
    scene.SetProgressUpdatePointers(ShowProgress, &progress);
    CGlObjTag tag;
    tag.ClearObjTag();
    std::string error;
    if (scene.SaveModel(file, CGlPointArray(), CGlFaceArray(), built.materials, built.textures, inserts, built.blocks,
                        tag, built.model->path, error))
      ++files;
    else
      failed.push_back(file);
  }
  // The scene names the blocks by the files an rFactor export of the track
  // writes.
  const std::vector<std::string> titles = BlockFileTitles(built.blocks);
  std::vector<CGlObjTag> entries;
  entries.reserve(titles.size());
  for (int i = 0; i < built.blocks.GetSize(); ++i) {
    entries.push_back(built.blocks[i].tag);
    entries.back().name = titles[static_cast<size_t>(i)];
  }
  const std::string scn = JoinPath(folder, "_Lapforge.scn");
  if (CZWriteScn::WriteScn(scn, "gmt", entries))
    ++files;
  else
    failed.push_back(scn);
  CountFilesWritten(files);
  if (!CMeshExportRoad::ReportFailed(failed)) return 0;
  return built.blocks.GetSize();
}

int CLapforge::XMLto3SE(const std::string& xmlFile, const std::string& file) {
  return FromXML(xmlFile, &CLapforge::_3SEFromDataBase, file);
}
