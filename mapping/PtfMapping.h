// The track model with its description mapping: per-table read and write
// operations between a track description (TrkDsc) and the PTF track model,
// bank lines made from the description's contours, and the texture tables
// rebuilt from the bands and walls of a PTF that is read.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "description/tables/TrackTextures.h"
#include "mapping/TransferRecords.h"
#include "support/SafeFileTitles.h"
#include "track/N5Ptf.h"

namespace lapforge {

class CGlFaceArray;
class CGlInsert;
class CGlPointArray;
class TrkDsc;

class CN5PtfDb : public CN5Ptf {
 public:
  // Reads a PTF file into a new model named after the file title cut at its
  // first '.'; null when it cannot be opened or is damaged, result then
  // saying which (as CN5Root::ReadFromFile).
  static std::unique_ptr<CN5PtfDb> CreateFromFile(const std::string& filePath, Result& result);

  void DbSetSummary(const TrackSummaryRecord& summary);
  void DbGetSummary(TrackSummaryRecord& summary);
  // Appends a segment continuing the chain from the cursor; returns its
  // index. A segment that cannot be laid out (an arc without turn, values
  // that are not finite) raises the invalid-argument error.
  int DbSetSection(const SectionRecord& section);
  void DbGetSection(int index, SectionRecord& section);
  // The first segment record of the track record's array (a file may hold
  // null entries or other records before it); null when there is none.
  CN5ObjSg* FirstSegObj();
  // Positions in the track record's segment array, null entries included.
  int SegmentSlots();
  // Contours of a segment; stored with the start height added.
  void DbSetContours(int seg, const std::vector<ContourRecord>& contours);
  void DbGetContours(int seg, std::vector<ContourRecord>& contours);
  const std::vector<ContourRecord>& StoredContours(int seg) const;
  // Bank lines from a segment's stored contours; with grips also at the
  // edges of the bands whose texture asks for it.
  void BanksFromContours(int seg);
  void BanksFromGrips(int seg);
  // Bands of segments that have none, and bank lines joining the segments
  // that have none smoothly to their neighbours.
  void MakeMissingBanks();
  // Height and gradient at a lateral position read off a segment's stored
  // contours: the start values at latStart and the end values at latEnd.
  bool GetContourInfo(int seg, double latStart, double latEnd, ContourRecord& out) const;

  void DbSetDetails(const TrackDetailRecord& detail);
  void DbGetDetails(std::vector<TrackDetailRecord>& details);
  void DbSetTso(const TsoRecord& tso);
  void DbGetTso(std::vector<TsoRecord>& tsos, bool world);

  void DbSetMaterial(const std::string& name, const std::string& mapName, int transparency);
  void DbSetTractionTex(const VARS_TRACK_TRACTION_TEX& entry) { tractionTex.Add(entry); }
  void DbSetWallTex(const VARS_TRACK_WALL_TEX& entry) { wallTex.Add(entry); }
  CTrackTractionTexArray DbGetTractionTex() const;
  CTrackWallTexArray DbGetWallTex() const;

  void DbSetBumpDefs(int index, const PtfBumpDefRecord& def);
  void DbGetBumpDefs(std::vector<PtfBumpDefRecord>& defs);
  void DbSetBumpRef(int seg, const PtfBumpRefRecord& ref);
  void DbSetBumpScale(int seg, const PtfBumpScaleRecord& scale);
  void DbGetBumpRefs(int seg, std::vector<PtfBumpRefRecord>& refs);
  void DbGetBumpScales(int seg, std::vector<PtfBumpScaleRecord>& scales);

  // Bands (first) and walls of a segment, with texture indices into the
  // rebuilt texture tables.
  void DbGetTractions(int seg, std::vector<TractionRecord>& tractions);
  // The texture table entry of a band or wall, added (sorted by grip) when
  // the table has none yet; returns its texture index.
  int FindTextureInfo(const CN5ObjFs& band, const CN5ObjSg& seg);
  int FindTextureInfo(const CN5ObjWs& wall, const CN5ObjSg& seg);

  // ---- scenery written as object files beside the PTF ----

  // An infield fill along the right edge from start to end (whole metres;
  // an excluded stretch is bridged), written as folder + title + ".3do" and
  // placed on the track.
  void AddInfield(const std::string& folder, const std::string& title, double centreRaise, int start, int end,
                  int excludeStart, int excludeEnd, const std::string& texture);
  // An upright board from (long start, lat start) to (long end, lat end).
  void AddVerticalObject(const std::string& folder, const std::string& title, double longStart, double latStart,
                         double longEnd, double latEnd, double height, const std::string& texture);
  // A TSO reference on the write track record for an insert (angles in
  // degrees, pitch negated); the flag is not used.
  CN5ObjRo* AddGlInsert(const CGlInsert& insert, int flag = 0);

  // Texture tables rebuilt from the bands and walls read: kept in the order
  // the entries are made, sorted by grip (stable) when copied out.
  mutable CTrackWallTexArray dbWallTex;
  mutable CTrackTractionTexArray dbTractionTex;
  // Where the next segment starts: position, heading (radians) and the
  // running distance along the track.
  double cursorX = 0, cursorY = 0, cursorZ = 0, cursorHeading = 0, cursorLong = 0;
  // Height of the track origin, added to the description's contour heights.
  double startHeight = 0;

  // The level-of-detail distance of scenery object files.
  static constexpr double kSceneryLod = 400.0;
  // The object file of a scenery object: folder + title + ".3do", its file
  // name lower-cased (the track refers to it so).
  static std::string SceneryObjectFile(const std::string& folder, const std::string& title);
  // The object files of scenery objects of these titles, in the order
  // AddInfield and AddVerticalObject are called: each title made safe to
  // join to the folder and unique within the track.
  static std::vector<std::string> SceneryObjectFiles(const std::vector<std::string>& titles,
                                                     const std::string& folder);
  static constexpr size_t kSceneryTitleLength = 63;
  // The scenery object files written beside the PTF.
  int sceneryFilesWritten = 0;

 private:
  // Writes a scenery mesh (centred on its lowest point) as an object file
  // beside the PTF under its safe title, and places it.
  void WriteSceneryObject(const std::string& folder, const std::string& name, CGlPointArray& points,
                          CGlFaceArray& faces, const std::string& texture);

  // The file titles of the scenery object files: safe to join to the
  // PTF's folder and unique within the track (63 characters, as block files).
  CSafeFileTitles sceneryTitles_{kSceneryTitleLength};
  std::vector<std::vector<ContourRecord>> contours_;  // per segment
  // The rebuilt texture tables' lookups: an entry's identity -> its texture
  // index, and the number of entries per grip, so that each band or wall is
  // found without a scan of the table.
  std::unordered_map<std::string, int> tractionTexIndex_, wallTexIndex_;
  std::unordered_map<int, int> tractionGripCount_, wallGripCount_;
  mutable bool dbTexSorted_ = true;
  void SortDbTex() const;
};

// Builds a track model from a description; with an output path (the PTF to
// be written) infields and vertical objects become object files beside it.
// Ok when the track has a length; a row that cannot be built fails Invalid
// with the row and its values in the result's where.
Result PTFObjFromDataBase(const TrkDsc& db, CN5PtfDb& model, const std::string& outputPath);
// The object files PTFObjFromDataBase may write beside outputPath: one per
// infield and vertical object of the description.
std::vector<std::string> SceneryObjectFiles(const TrkDsc& db, const std::string& outputPath);
// Reads a PTF file into a new description; none when it cannot be read or
// converted, result then saying why: CannotRead, Damaged, WrongKind for a
// record file without a track record (an object file), Failed when the
// conversion failed.
std::unique_ptr<TrkDsc> DataBaseFromPTF(const std::string& path, bool world, bool autoMaterials, Result& result);
// The files DataBaseFromPTF reads: the track, and track.ini beside it when
// there is one.
std::vector<std::string> PtfReadFiles(const std::string& path);

}  // namespace lapforge
