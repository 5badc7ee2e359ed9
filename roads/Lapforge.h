// The conversion driver: the single place where a user command becomes work
// on disk. A new instance per command; it holds only the names of the files
// the operation in progress reads. Every XML... operation is
// DataBaseFromXML followed by the matching ...FromDataBase. Results: 0 for
// failure or nothing written, otherwise 1 or a count. Before anything is
// written, every output is checked (OutputsClear): a regular file or a new
// name, and none of the files the operation reads.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/Result.h"

namespace lapforge {

class CGlBlockArray;
class CGlMaterialArray;
class CGlMipArray;
class CN5Ptf;
class CN5PtfDb;
class TrkDsc;
struct LineOptions;

class CLapforge {
 public:
  // Loads a description; on failure shows the message and returns null.
  std::unique_ptr<TrkDsc> DataBaseFromXML(const std::string& xmlFile);
  // Writes a description as XML (the tail of every import); 1 written, 0 failed.
  int DataBaseToXML(const TrkDsc& db, const std::string& xmlFile);
  // Load and write back (the table editor's "Write XML").
  int XMLToXML(const std::string& xmlIn, const std::string& xmlOut);

  // PTF roads.
  int PTFtoXML(const std::string& ptfFile, const std::string& xmlFile, bool tsoXYZ, bool autoMaterials);
  int XMLToPTF(const std::string& xmlFile, const std::string& ptfFile);
  int PTFFromDataBase(const TrkDsc& db, const std::string& ptfFile);
  // The track model of a description, the start of every export (with an
  // output PTF path, scenery becomes object files beside it): 1 built, 0
  // failed (the message has been shown).
  int PTFObjFromDataBase(const TrkDsc& db, CN5PtfDb& model, const std::string& outputPath);
  // A PTF track read into a new description; null when it cannot be read.
  std::unique_ptr<TrkDsc> DataBaseFromPTF(const std::string& ptfFile, bool tsoXYZ, bool autoMaterials);

  // GPL road.
  int GplTrktoXML(const std::string& trkFile, const std::string& xmlFile, bool fromGplTrk, bool autoMaterials);

  // The export mesh of a built track: one named block per segment, detail
  // and scenery object, sharing one material and one texture list
  // (roads/CreateObjects.cpp). Track block names go to the first list,
  // vertical objects to the second, details, infields and outfields to the third.
  // The blocks are counted first: a mesh larger than the memory available
  // is refused with its figure (shown) and false returned, nothing made.
  bool CreateObjects(CN5Ptf& model, CGlBlockArray& blocks, CGlMaterialArray& materials, CGlMipArray& textures,
                     std::vector<std::string>& trackNames, std::vector<std::string>& verticalNames,
                     std::vector<std::string>& otherNames);
  // The names CreateObjects gives the blocks of a built track, in block
  // order, found without meshing.
  static std::vector<std::string> BlockNames(CN5Ptf& model);

  // Mesh export roads: the number of blocks, 0 when nothing was built.
  // The glTF export (no game counterpart) lets a track maker look at the
  // meshes; the texture maps are looked for in textureFolder (the
  // description's folder; empty for the current one).
  int GltfFromDataBase(const TrkDsc& db, const std::string& outFile, const std::string& textureFolder = std::string());
  int XMLToGltf(const std::string& xmlFile, const std::string& outFile);
  int RFactorFromDataBase(const TrkDsc& db, const std::string& folder);
  int XMLtoRFactor(const std::string& xmlFile, const std::string& folder);
  int MTSFromDataBase(const TrkDsc& db, const std::string& folder);
  int XMLToMTS(const std::string& xmlFile, const std::string& folder);
  int GTRFromDataBase(const TrkDsc& db, const std::string& folder);
  int XMLtoGTR(const std::string& xmlFile, const std::string& folder);
  int GTR2FromDataBase(const TrkDsc& db, const std::string& folder);
  int XMLtoGTR2(const std::string& xmlFile, const std::string& folder);
  int GTLFromDataBase(const TrkDsc& db, const std::string& folder);
  int XMLtoGTL(const std::string& xmlFile, const std::string& folder);
  int _3DSFromDataBase(const TrkDsc& db, const std::string& file);
  int XMLTo3DS(const std::string& xmlFile, const std::string& file);
  int _3SEFromDataBase(const TrkDsc& db, const std::string& file);
  int XMLto3SE(const std::string& xmlFile, const std::string& file);

  // AI waypoint and camera roads. With an empty lpFile the waypoints follow
  // the racing line computed for the track (options), the pass lines its
  // bounds less the margin.
  int AIWFromDataBase(const TrkDsc& db, const std::string& lpFile, const std::string& aiwFile,
                      const LineOptions& options);
  int AIWFromDataBase(const TrkDsc& db, const std::string& lpFile, const std::string& aiwFile);
  int XMLToAIW(const std::string& xmlFile, const std::string& lpFile, const std::string& aiwFile,
               const LineOptions& options);
  int XMLToAIW(const std::string& xmlFile, const std::string& lpFile, const std::string& aiwFile);
  int CamFromDataBase(const TrkDsc& db, const std::string& camIn, const std::string& camOut);
  int XMLToCam(const std::string& xmlFile, const std::string& camIn, const std::string& camOut);

  // The racing line computed for the track (roads/ComputedLine.h), written
  // as CSV or as an LP file by the output's extension (.csv, .lp).
  int LineFromDataBase(const TrkDsc& db, const std::string& outFile, const LineOptions& options);
  int XMLToLine(const std::string& xmlFile, const std::string& outFile, const LineOptions& options);

  // true when every output may be written: each a regular file or a new
  // name, none of them a file the operation reads (more, and the
  // description of an XML... operation). Otherwise the refusal is shown
  // ("Output File") and false returned; nothing has been written.
  bool OutputsClear(const std::vector<std::string>& outputs, const std::vector<std::string>& more = {});

  // Shows what an operation of the core returned: its warnings (without a
  // caption), then for a failure its message under caption and, on its own,
  // where in the input it arose. The core shows nothing itself.
  static void Show(const Result& result, const std::string& caption);

  // The files this driver's operations wrote (block files, scene and side
  // files, the track and its object files...): what a completion report
  // counts, where an operation's result counts blocks.
  int FilesWritten() const { return filesWritten_; }
  void CountFilesWritten(int files) { filesWritten_ += files; }
  // Runs one operation; the files it wrote, 0 when it failed.
  template <class... Params, class... Args>
  int Files(int (CLapforge::*operation)(Params...), Args&&... args) {
    filesWritten_ = 0;
    return (this->*operation)(std::forward<Args>(args)...) > 0 ? filesWritten_ : 0;
  }

 private:
  // Adds files the operation in progress reads, for the scope's lifetime.
  class ReadingScope;
  int filesWritten_ = 0;
  // An XML... operation: the description loaded, then given with output to
  // road; 0 when it could not be loaded.
  int FromXML(const std::string& xmlFile, int (CLapforge::*road)(const TrkDsc&, const std::string&),
              const std::string& output);

  std::vector<std::string> inputs_;
};

}  // namespace lapforge
