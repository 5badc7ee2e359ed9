// The 3SE export road: the track written as "Lapforge.ptf", the blocks and
// an insert per block as one 3SE scene, and the scene file beside it.
#include <string>
#include <vector>

#include "description/TrkDsc.h"
#include "formats/3se/3seScene.h"
#include "formats/scene/SceneFile.h"
#include "mapping/PtfMapping.h"
#include "mesh/GlBlock.h"
#include "roads/BlockStream.h"
#include "roads/Lapforge.h"
#include "roads/MeshExportRoad.h"
#include "support/ByteWriter.h"
#include "support/Errors.h"
#include "support/FileIO.h"
#include "support/FileString.h"
#include "support/OutputCheck.h"
#include "support/Progress.h"
#include "support/UserInterface.h"

namespace lapforge {

int CLapforge::_3SEFromDataBase(const TrkDsc& db, const std::string& file) {
  const std::string folder = FileString::Path(file);
  if (!CMeshExportRoad::PrepareFolder(folder)) return 0;
  // Three files in the order they are put in place: each is checked before
  // any is written; the scene is streamed to its temporary file and put in
  // place after the track file.
  const std::string ptf = JoinPath(folder, "Lapforge.ptf");
  const std::string scn = JoinPath(folder, "_Lapforge.scn");
  if (!OutputsClear({ptf, file, scn})) return 0;
  const std::vector<OutputStamp> existing = StampExisting({ptf, file, scn});

  MeshExportModel built;
  if (!PTFObjFromDataBase(db, *built.model, std::string())) return 0;
  const std::vector<uint8_t> track = built.model->WritePtfToBuffer(7);
  // The scene's trailer names the track file it sits beside.
  built.model->path = ptf;
  CBlockStream stream(*built.model, built.materials, built.textures);
  if (CMeshExportRoad::StreamRefused(stream)) return 0;
  CGlBlock block;

  // An insert per block, each block used by one.
  CGlInsertArray inserts;
  inserts.Reserve(stream.Count());
  for (int i = 0; i < stream.Count(); ++i) {
    CGlInsert insert;
    insert.blockIndex = i;
    insert.name = stream.Names()[static_cast<size_t>(i)];
    inserts.Add(insert);
  }
  // A write that fails (a full disk) ends the run; the message names the
  // files already replaced. A failure without a reason (no track to write,
  // or the scene file, whose reason is not told) names the file.
  auto failed = [&](const std::string& path, const std::string& reason) {
    const std::string text = reason.empty() ? "This file could not be written:\n" + path : reason;
    ShowError(text + ReplacedLines(ReplacedSince(existing)), "Write Error");
    return 0;
  };
  CReplacingFile scene;
  if (Result opened = scene.Open(file); !opened) return failed(file, opened.Text());
  // The scene's texture and material lists come before its blocks and are
  // whole only when every block is meshed: the blocks wait in a scratch
  // file beside the scene, written as each is meshed, and follow the lists.
  CScratchFile blocks;
  if (Result opened = blocks.Open(folder); !opened) return failed(file, opened.Text());
  // The scene names the blocks by the files an rFactor export of the track
  // writes.
  const std::vector<std::string> titles = BlockFileTitles(stream.Names());
  std::vector<CGlObjTag> entries;
  entries.reserve(titles.size());
  CByteWriter out;
  {
    CWorkStep step("meshing the track");
    const bool made = stream.ForEachAhead(block, "Writing", [&](int i, const CGlBlock& made, const CGlMaterialArray&,
                                                                const CGlMipArray&) {
      // One buffer for every block, its room kept.
      out.Clear();
      CZ3se::SaveListedBlock(out, made);
      blocks.Append(out.Data(), out.Size());
      entries.push_back(made.tag);
      entries.back().name = titles[static_cast<size_t>(i)];
    });
    if (!made) return 0;
  }
  {
    CWorkStep step("writing " + file);
    // The scene refers to the textures beside it.
    for (CGlMaterial& material : built.materials)
      material.SetMapName(folder + FileString::FileName(material.GetMapName()));
    CGlObjTag tag;
    tag.ClearObjTag();
    out.Clear();
    CZ3se::SaveHead(out, CGlPointArray(), CGlFaceArray(), built.materials, built.textures, inserts, tag,
                    stream.Count());
    scene.Append(out.Data(), out.Size());
    scene.AppendFile(blocks);
    out.Clear();
    CZ3se::SaveTrailer(out, built.model->path);
    scene.Append(out.Data(), out.Size());
  }
  if (track.empty()) return failed(ptf, {});
  if (Result written = ReplaceFile(ptf, track); !written) return failed(ptf, written.Text());
  CountFilesWritten(1);
  if (Result written = scene.Commit(); !written) return failed(file, written.Text());
  CountFilesWritten(1);
  if (!CZWriteScn::WriteScn(scn, "gmt", entries)) return failed(scn, {});
  CountFilesWritten(1);
  return stream.Count();
}

int CLapforge::XMLto3SE(const std::string& xmlFile, const std::string& file) {
  return FromXML(xmlFile, &CLapforge::_3SEFromDataBase, file);
}

}  // namespace lapforge
