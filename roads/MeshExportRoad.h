// The part every mesh export road shares: check the output folder, build the
// track model, name its export blocks, check every file it is to write,
// then mesh and write one block file at a time (roads/BlockStream), the
// scene file and the format's templates, and report each file that could
// not be written. The rFactor, MTS and GTR-family roads use it whole; the
// roads that write one file of all blocks (glTF, 3DS, 3SE) use its folder
// check and its memory check of the largest block.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "formats/shaders/ShaderDictionary.h"
#include "mesh/GlBlockArray.h"
#include "mesh/GlMaterialArray.h"
#include "mesh/GlMipArray.h"
#include "support/ByteWriter.h"
#include "support/Templates.h"

namespace lapforge {

class CBlockStream;
class CLapforge;
class CN5PtfDb;
class TrkDsc;

// A template written after the scene file.
struct MeshExportTemplate {
  std::string fileName;
  TemplateKind kind;
  int id;
};

// What differs between the per-block roads.
struct MeshExportFormat {
  std::string blockExtension;  // "gmt", "mts"
  std::string sceneFile;       // "_Lapforge.scn" (empty: none)
  std::string sceneExtension;  // mesh extension named by the scene file
  std::vector<MeshExportTemplate> templates;
  // Makes a fresh writer for the block and writes the bytes of its file at
  // path into out (empty; its room is kept from block to block); false
  // when the block makes no object (no file, and no scene entry).
  std::function<bool(const CGlBlock& block, const CGlMipArray& textures, const CGlMaterialArray& materials,
                     const std::string& path, CByteWriter& out)>
      blockBytes;
};

// The track model and its export blocks.
struct MeshExportModel {
  MeshExportModel();
  ~MeshExportModel();
  std::unique_ptr<CN5PtfDb> model;
  CGlBlockArray blocks;
  CGlMaterialArray materials{CGfxDictionary::FindShaderMatch};
  CGlMipArray textures;
  std::vector<std::string> trackNames, verticalNames, otherNames;
};

// The files a write step made, in order, and those it could not write.
struct MeshExportResult {
  std::vector<std::string> written;
  std::vector<std::string> failed;
};

// The file titles of the blocks, in block order, as every folder export
// writes them and its scene file names them (CSafeFileTitles): at most
// kBlockTitleLength characters, the title field of a GMT header.
constexpr size_t kBlockTitleLength = 63;
std::vector<std::string> BlockFileTitles(const std::vector<std::string>& blockNames);
std::vector<std::string> BlockFileTitles(const CGlBlockArray& blocks);

// A per-block format whose block files and scene file entries carry the
// same extension, before its templates and block writer are set.
MeshExportFormat BlockExportFormat(const std::string& extension, const std::string& sceneFile);

// The per-block roads' descriptions (roads/RoadRFactor.cpp, roads/RoadMts.cpp,
// roads/RoadGtr.cpp).
MeshExportFormat RFactorExportFormat();
MeshExportFormat MtsExportFormat();
MeshExportFormat GTRExportFormat();
MeshExportFormat GTR2ExportFormat();
MeshExportFormat GTLExportFormat();

class CMeshExportRoad {
 public:
  // Creates the folder when missing. A folder that cannot be created (or an
  // existing file in its place) is shown ("Output Folder") and gives false.
  static bool PrepareFolder(const std::string& folder);
  // The files WriteFiles writes, in its order: one per block (none without
  // blocks), the scene file, the templates.
  static std::vector<std::string> PlannedFiles(const CGlBlockArray* blocks, const std::string& folder,
                                               const MeshExportFormat& format);
  static std::vector<std::string> PlannedFiles(const std::vector<std::string>& blockNames, const std::string& folder,
                                               const MeshExportFormat& format);
  // Builds the track model (without scenery object files) and the export
  // blocks; false when the description builds no track or its mesh would
  // not fit in memory (already shown).
  static bool Build(CLapforge& driver, const TrkDsc& db, MeshExportModel& out);
  // Writes the block files in block order under their file titles, the
  // scene file (naming the blocks that hold objects), the templates.
  static MeshExportResult WriteFiles(const MeshExportModel& built, const std::string& folder,
                                     const MeshExportFormat& format);
  // For the roads that hold one block at a time: true (and shown, "Out of
  // memory") when the largest block would not fit in memory.
  static bool StreamRefused(const CBlockStream& stream);
  // Shows the files that could not be written, one per line, and those
  // that replaced an older file; false when any could not be written.
  static bool ReportFailed(const std::vector<std::string>& failed, const std::vector<std::string>& replaced = {});
  // The whole road, one block at a time (roads/BlockStream): each block is
  // meshed and its file written before the next is made; the block files
  // are put in place together at the end (CReplacingBatch). The number of
  // blocks, 0 when the folder or the track
  // could not be made, an output was refused (nothing written) or any file
  // could not be written. The files written are counted on the driver.
  static int Run(CLapforge& driver, const TrkDsc& db, const std::string& folder, const MeshExportFormat& format);
};

}  // namespace lapforge
