#include "roads/MeshExportRoad.h"

#include <filesystem>
#include <system_error>

#include "formats/scene/SceneFile.h"
#include "mapping/PtfMapping.h"
#include "roads/Lapforge.h"
#include "support/Errors.h"
#include "support/FileIO.h"
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
    UI().Message("The output folder cannot be created: " + folder + " is an existing file", "Output Folder");
    return false;
  }
  ec.clear();
  std::filesystem::create_directories(path, ec);
  if (!std::filesystem::is_directory(path, ec)) {
    UI().Message("The output folder cannot be created: " + folder, "Output Folder");
    return false;
  }
  return true;
}

std::vector<std::string> CMeshExportRoad::PlannedFiles(const CGlBlockArray* blocks, const std::string& folder,
                                                       const MeshExportFormat& format) {
  std::vector<std::string> files;
  files.reserve((blocks ? static_cast<size_t>(blocks->GetSize()) : 0) + 1 + format.templates.size());
  if (blocks)
    for (const std::string& title : BlockFileTitles(*blocks))
      files.push_back(JoinPath(folder, title + "." + format.blockExtension));
  if (!format.sceneFile.empty()) files.push_back(JoinPath(folder, format.sceneFile));
  for (const MeshExportTemplate& t : format.templates) files.push_back(JoinPath(folder, t.fileName));
  return files;
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

MeshExportResult CMeshExportRoad::WriteFiles(const MeshExportModel& built, const std::string& folder,
                                             const MeshExportFormat& format) {
  MeshExportResult result;
  auto record = [&result](bool ok, const std::string& path) { (ok ? result.written : result.failed).push_back(path); };
  const std::vector<std::string> titles = BlockFileTitles(built.blocks);
  const std::vector<std::string> paths = PlannedFiles(&built.blocks, folder, format);
  result.written.reserve(paths.size());
  std::vector<CGlObjTag> scene;
  scene.reserve(titles.size());
  size_t next = 0;
  {
    CProgress progress("Writing", built.blocks.GetSize());
    for (int b = 0; b < built.blocks.GetSize(); ++b) {
      const CGlBlock& block = built.blocks[b];
      const std::string& path = paths[next++];
      CWorkStep step("writing " + path);
      const BlockWrite written = format.writeBlock(block, built.textures, built.materials, path);
      if (written != BlockWrite::Empty) {
        record(written == BlockWrite::Written, path);
        scene.push_back(block.tag);
        scene.back().name = titles[static_cast<size_t>(b)];
      }
      progress.Step();
    }
  }
  if (!format.sceneFile.empty()) {
    const std::string& path = paths[next++];
    record(static_cast<bool>(CZWriteScn::WriteScn(path, format.sceneExtension, scene)), path);
  }
  for (const MeshExportTemplate& t : format.templates) {
    const std::string& path = paths[next++];
    const bool ok = t.kind == TemplateKind::Text ? WriteTextResource(t.id, path) : WriteBinaryResource(t.id, path);
    record(ok, path);
  }
  return result;
}

bool CMeshExportRoad::ReportFailed(const std::vector<std::string>& failed, const std::vector<std::string>& replaced) {
  if (failed.empty()) return true;
  std::string text = failed.size() == 1 ? "This file could not be written:" : "These files could not be written:";
  for (const std::string& path : failed) text += "\n" + path;
  UI().Message(text + ReplacedLines(replaced), "Write Error");
  return false;
}

int CMeshExportRoad::Run(CLapforge& driver, const TrkDsc& db, const std::string& folder,
                         const MeshExportFormat& format) {
  if (!PrepareFolder(folder)) return 0;
  // The scene file and templates are checked before the track is built, the
  // block files once the blocks have their names; nothing is written until
  // every one passes.
  if (!driver.OutputsClear(PlannedFiles(nullptr, folder, format))) return 0;
  MeshExportModel built;
  if (!Build(driver, db, built)) return 0;
  const std::vector<std::string> planned = PlannedFiles(&built.blocks, folder, format);
  if (!driver.OutputsClear(planned)) return 0;
  const std::vector<OutputStamp> existing = StampExisting(planned);
  const MeshExportResult result = WriteFiles(built, folder, format);
  driver.CountFilesWritten(static_cast<int>(result.written.size()));
  if (!ReportFailed(result.failed, ReplacedSince(existing))) return 0;
  return built.blocks.GetSize();
}

MeshExportFormat BlockExportFormat(const std::string& extension, const std::string& sceneFile) {
  MeshExportFormat format;
  format.blockExtension = extension;
  format.sceneFile = sceneFile;
  format.sceneExtension = extension;
  return format;
}

}  // namespace lapforge
