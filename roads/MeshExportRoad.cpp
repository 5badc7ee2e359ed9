#include "roads/MeshExportRoad.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "formats/scene/SceneFile.h"
#include "mapping/PtfMapping.h"
#include "roads/BlockStream.h"
#include "roads/Lapforge.h"
#include "support/Errors.h"
#include "support/FileIO.h"
#include "support/Memory.h"
#include "support/OutputCheck.h"
#include "support/Progress.h"
#include "support/SafeFileTitles.h"
#include "support/System.h"
#include "support/UserInterface.h"

namespace lapforge {

MeshExportModel::MeshExportModel() : model(std::make_unique<CN5PtfDb>()) {}
MeshExportModel::~MeshExportModel() = default;

bool CMeshExportRoad::PrepareFolder(const std::string& folder) {
  std::error_code ec;
  const std::filesystem::path path = sys::PathOf(folder.empty() ? std::string(".") : folder);
  if (std::filesystem::is_directory(path, ec)) return true;
  if (std::filesystem::exists(path, ec)) {
    ShowError("The output folder cannot be created: " + folder + " is an existing file", "Output Folder");
    return false;
  }
  ec.clear();
  std::filesystem::create_directories(path, ec);
  if (!std::filesystem::is_directory(path, ec)) {
    ShowError("The output folder cannot be created: " + folder, "Output Folder");
    return false;
  }
  return true;
}

std::vector<std::string> CMeshExportRoad::PlannedFiles(const std::vector<std::string>& blockNames,
                                                       const std::string& folder, const MeshExportFormat& format) {
  std::vector<std::string> files;
  files.reserve(blockNames.size() + 1 + format.templates.size());
  for (const std::string& title : BlockFileTitles(blockNames))
    files.push_back(JoinPath(folder, title + "." + format.blockExtension));
  if (!format.sceneFile.empty()) files.push_back(JoinPath(folder, format.sceneFile));
  for (const MeshExportTemplate& t : format.templates) files.push_back(JoinPath(folder, t.fileName));
  return files;
}

std::vector<std::string> CMeshExportRoad::PlannedFiles(const CGlBlockArray* blocks, const std::string& folder,
                                                       const MeshExportFormat& format) {
  std::vector<std::string> names;
  if (blocks) {
    names.reserve(static_cast<size_t>(blocks->GetSize()));
    for (int b = 0; b < blocks->GetSize(); ++b) names.push_back((*blocks)[b].name);
  }
  return PlannedFiles(names, folder, format);
}

bool CMeshExportRoad::Build(CLapforge& driver, const TrkDsc& db, MeshExportModel& out) {
  if (!driver.PTFObjFromDataBase(db, *out.model, std::string())) return false;
  return driver.CreateObjects(*out.model, out.blocks, out.materials, out.textures, out.trackNames, out.verticalNames,
                              out.otherNames);
}

std::vector<std::string> BlockFileTitles(const std::vector<std::string>& blockNames) {
  CSafeFileTitles titles(kBlockTitleLength);
  std::vector<std::string> out;
  out.reserve(blockNames.size());
  for (const std::string& name : blockNames) out.push_back(titles.Next(name));
  return out;
}

std::vector<std::string> BlockFileTitles(const CGlBlockArray& blocks) {
  std::vector<std::string> names;
  names.reserve(static_cast<size_t>(blocks.GetSize()));
  for (int b = 0; b < blocks.GetSize(); ++b) names.push_back(blocks[b].name);
  return BlockFileTitles(names);
}

// The files of one export in their order: each block's file as its block
// is given, then the scene file (naming the blocks that hold objects) and
// the templates.
class CBlockFiles {
 public:
  CBlockFiles(const std::vector<std::string>& blockNames, const std::string& folder, const MeshExportFormat& format)
      : format_(format),
        titles_(BlockFileTitles(blockNames)),
        paths_(CMeshExportRoad::PlannedFiles(blockNames, folder, format)) {
    result_.written.reserve(paths_.size());
    scene_.reserve(titles_.size());
  }

  void Block(int b, const CGlBlock& block, const CGlMipArray& textures, const CGlMaterialArray& materials) {
    const std::string& path = paths_[static_cast<size_t>(b)];
    CWorkStep step("writing " + path);
    bytes_.Clear();
    if (!format_.blockBytes(block, textures, materials, path, bytes_)) return;
    if (blockFiles_.Write(path, bytes_.Data(), bytes_.Size()))
      pending_.push_back(path);
    else
      Record(false, path);
    scene_.push_back(block.tag);
    scene_.back().name = titles_[static_cast<size_t>(b)];
  }

  MeshExportResult Finish() {
    // The block files are put in place together, before the scene file
    // that names them.
    std::vector<std::string> notPlaced;
    for (auto& [path, failure] : blockFiles_.Commit()) notPlaced.push_back(path);
    for (const std::string& path : pending_)
      Record(std::find(notPlaced.begin(), notPlaced.end(), path) == notPlaced.end(), path);
    size_t next = titles_.size();
    if (!format_.sceneFile.empty()) {
      const std::string& path = paths_[next++];
      Record(static_cast<bool>(CZWriteScn::WriteScn(path, format_.sceneExtension, scene_)), path);
    }
    for (const MeshExportTemplate& t : format_.templates) {
      const std::string& path = paths_[next++];
      Record(t.kind == TemplateKind::Text ? WriteTextResource(t.id, path) : WriteBinaryResource(t.id, path), path);
    }
    return std::move(result_);
  }

 private:
  void Record(bool ok, const std::string& path) { (ok ? result_.written : result_.failed).push_back(path); }
  const MeshExportFormat& format_;
  const std::vector<std::string> titles_, paths_;
  // The block files written to their temporary files, waiting to be put in
  // place.
  CReplacingBatch blockFiles_;
  CByteWriter bytes_;  // each block file's bytes, in one buffer kept for all
  std::vector<std::string> pending_;
  std::vector<CGlObjTag> scene_;
  MeshExportResult result_;
};

MeshExportResult CMeshExportRoad::WriteFiles(const MeshExportModel& built, const std::string& folder,
                                             const MeshExportFormat& format) {
  std::vector<std::string> names;
  names.reserve(static_cast<size_t>(built.blocks.GetSize()));
  for (int b = 0; b < built.blocks.GetSize(); ++b) names.push_back(built.blocks[b].name);
  CBlockFiles files(names, folder, format);
  {
    CProgress progress("Writing", built.blocks.GetSize());
    for (int b = 0; b < built.blocks.GetSize(); ++b) {
      files.Block(b, built.blocks[b], built.textures, built.materials);
      progress.Step();
    }
  }
  return files.Finish();
}

bool CMeshExportRoad::ReportFailed(const std::vector<std::string>& failed, const std::vector<std::string>& replaced) {
  if (failed.empty()) return true;
  std::string text = failed.size() == 1 ? "This file could not be written:" : "These files could not be written:";
  for (const std::string& path : failed) text += "\n" + path;
  ShowError(text + ReplacedLines(replaced), "Write Error");
  return false;
}

bool CMeshExportRoad::StreamRefused(const CBlockStream& stream) {
  const std::string refusal = MemoryRefusal(stream.LargestBytes(), "meshing the track");
  if (refusal.empty()) return false;
  ShowError(refusal + "; nothing was made", "Out of memory");
  return true;
}

int CMeshExportRoad::Run(CLapforge& driver, const TrkDsc& db, const std::string& folder,
                         const MeshExportFormat& format) {
  if (!PrepareFolder(folder)) return 0;
  // The scene file and templates are checked before the track is built, the
  // block files once the blocks have their names; nothing is written until
  // every one passes.
  if (!driver.OutputsClear(PlannedFiles(nullptr, folder, format))) return 0;
  MeshExportModel built;
  if (!driver.PTFObjFromDataBase(db, *built.model, std::string())) return 0;
  CBlockStream stream(*built.model, built.materials, built.textures);
  if (StreamRefused(stream)) return 0;
  const std::vector<std::string> planned = PlannedFiles(stream.Names(), folder, format);
  if (!driver.OutputsClear(planned)) return 0;
  const std::vector<OutputStamp> existing = StampExisting(planned);

  // Each block is meshed, written and let go before the next, in one block
  // whose arrays are kept; what the scene file needs of a block is kept.
  CBlockFiles files(stream.Names(), folder, format);
  {
    CWorkStep step("meshing the track");
    CGlBlock block;
    const bool made = stream.ForEachAhead(
        block, "Exporting",
        [&](int b, const CGlBlock& made, const CGlMaterialArray& materials, const CGlMipArray& textures) {
          files.Block(b, made, textures, materials);
        },
        [&] { return ReplacedLines(ReplacedSince(existing)); });
    if (!made) return 0;
  }
  const MeshExportResult result = files.Finish();
  driver.CountFilesWritten(static_cast<int>(result.written.size()));
  if (!ReportFailed(result.failed, ReplacedSince(existing))) return 0;
  return stream.Count();
}

MeshExportFormat BlockExportFormat(const std::string& extension, const std::string& sceneFile) {
  MeshExportFormat format;
  format.blockExtension = extension;
  format.sceneFile = sceneFile;
  format.sceneExtension = extension;
  return format;
}

}  // namespace lapforge
