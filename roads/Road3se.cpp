// The 3SE export road: the track written as "Lapforge.ptf", the blocks and
// an insert per block as one 3SE scene, and the scene file beside it.
#include <string>
#include <vector>

#include "description/TrkDsc.h"
#include "formats/3se/3seScene.h"
#include "formats/scene/SceneFile.h"
#include "mapping/PtfMapping.h"
#include "roads/Lapforge.h"
#include "roads/MeshExportRoad.h"
#include "support/Errors.h"
#include "support/FileIO.h"
#include "support/FileString.h"
#include "support/OutputCheck.h"
#include "support/Progress.h"
#include "support/UserInterface.h"

namespace lapforge {

namespace {

void ShowProgress(int index, int, void* context) { static_cast<CProgress*>(context)->Set(index + 1); }

}  // namespace

int CLapforge::_3SEFromDataBase(const TrkDsc& db, const std::string& file) {
  const std::string folder = FileString::Path(file);
  if (!CMeshExportRoad::PrepareFolder(folder)) return 0;
  // Three files in the order they are written: each is checked before any
  // is written, and all are made in memory first.
  const std::string ptf = JoinPath(folder, "Lapforge.ptf");
  const std::string scn = JoinPath(folder, "_Lapforge.scn");
  if (!OutputsClear({ptf, file, scn})) return 0;
  const std::vector<OutputStamp> existing = StampExisting({ptf, file, scn});

  MeshExportModel built;
  if (!PTFObjFromDataBase(db, *built.model, std::string())) return 0;
  const std::vector<uint8_t> track = built.model->WritePtfToBuffer(7);
  // The scene's trailer names the track file it sits beside.
  built.model->path = ptf;
  if (!CreateObjects(*built.model, built.blocks, built.materials, built.textures, built.trackNames, built.verticalNames,
                     built.otherNames))
    return 0;

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

  std::vector<uint8_t> scene;
  {
    CWorkStep step("writing " + file);
    CProgress progress("Writing", built.blocks.GetSize());
    CZ3se writer;
    writer.SetProgressUpdatePointers(ShowProgress, &progress);
    CGlObjTag tag;
    tag.ClearObjTag();
    scene = writer.ModelImage(CGlPointArray(), CGlFaceArray(), built.materials, built.textures, inserts, built.blocks,
                              tag, built.model->path);
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
  // A write that fails (a full disk) ends the run; the message names the
  // files already replaced. A failure without a reason (no track to write,
  // or the scene file, whose reason is not told) names the file.
  auto failed = [&](const std::string& path, const std::string& reason) {
    const std::string text = reason.empty() ? "This file could not be written:\n" + path : reason;
    ShowError(text + ReplacedLines(ReplacedSince(existing)), "Write Error");
    return 0;
  };
  if (track.empty()) return failed(ptf, {});
  if (Result written = ReplaceFile(ptf, track); !written) return failed(ptf, written.Text());
  CountFilesWritten(1);
  if (Result written = ReplaceFile(file, scene); !written) return failed(file, written.Text());
  CountFilesWritten(1);
  if (!CZWriteScn::WriteScn(scn, "gmt", entries)) return failed(scn, {});
  CountFilesWritten(1);
  return built.blocks.GetSize();
}

int CLapforge::XMLto3SE(const std::string& xmlFile, const std::string& file) {
  return FromXML(xmlFile, &CLapforge::_3SEFromDataBase, file);
}

}  // namespace lapforge
