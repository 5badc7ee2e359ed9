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
#include "support/SafeFileTitles.h"
#include "track/N5Ptf.h"

class CGlFaceArray;
class CGlInsert;
class CGlPointArray;
class TrkDsc;

// Transfer records between the description and the model, copied by value.
struct VARS_PTF_DB_SUMMARY {
  std::string name;
  double lengthMetres = 0;
  double lengthMiles = 0;
  double xOrigin = 0, yOrigin = 0, zOrigin = 0;
  double startAngle = 0;  // degrees
  double nsAngle = 0;     // degrees
  double ambient = 0;
  int32_t night = 0;
  double longRes = 0;
  double arcRes = 0;  // degrees
  double latRes = 0;
};

struct VARS_PTF_DB_SECTION {
  int32_t type = 0;  // 1 arc, otherwise straight
  double start = 0;
  double length = 0;
  double angleStart = 0;   // degrees, relative to the first segment
  double angleChange = 0;  // degrees
  double radius = 0;
  double longRes = 0, arcRes = 0, latRes = 0;  // arc in degrees; 0 = the track's
};

struct VARS_PTF_DB_CONTOUR {
  double latStart = 0, height = 0, grad = 0;
  double latEnd = 0, heightEnd = 0, gradEnd = 0;
};

struct VARS_PTF_DB_BUMP_REF {
  float latStart = 0, latEnd = 0;
  int32_t index = 0;
};

struct VARS_PTF_DB_BUMP_SCALE {
  float latStart = 0, latEnd = 0, scaleStart = 0, scaleEnd = 0;
};

struct VARS_PTF_DB_BUMP_DEF {
  int32_t index = 0;
  float sizes[4] = {0, 0, 0, 0};
  float distances[4] = {0, 0, 0, 0};
};

struct VARS_PTF_DB_DETAIL {
  double lng = 0, lat = 0, length = 0, width = 0;
  double angle = 0;  // degrees, 90 = across the track
  double u = 0, v = 0;
  std::string tex;
};

struct VARS_PTF_DB_TSO {
  std::string name;
  int32_t worldXYZ = 0;  // X, Y, Z are a world position; else long, lat, height above the track
  double x = 0, y = 0, z = 0;
  int32_t worldAngle = 0;      // A, B, C are world angles; else added to the track's
  double a = 0, b = 0, c = 0;  // degrees: heading, pitch, roll
  std::string comment;
};

// One band or wall of a segment as the description holds it.
struct VARS_PTF_DB_TRACTION {
  double latStart = 0, latEnd = 0;
  uint16_t grip = 0, textureIndex = 0, kind = 0;
  float height = 0, heightEnd = 0, width = 0, widthEnd = 0;
  int32_t vertical = 0, straighten = 0;
  int32_t coordCount = 0;
  _vars_track_tex_coord coords[4];
};

class CN5PtfDb : public CN5Ptf {
 public:
  // Reads a PTF file into a new model named after the file title cut at its
  // first '.'; null when it cannot be opened or is damaged, result then
  // saying which (as CN5Root::ReadFromFile).
  static std::unique_ptr<CN5PtfDb> CreateFromFile(const std::string& filePath, Result& result);

  void DbSetSummary(const VARS_PTF_DB_SUMMARY& summary);
  void DbGetSummary(VARS_PTF_DB_SUMMARY& summary);
  // Appends a segment continuing the chain from the cursor; returns its
  // index. A segment that cannot be laid out (an arc without turn, values
  // that are not finite) raises the invalid-argument error.
  int DbSetSection(const VARS_PTF_DB_SECTION& section);
  void DbGetSection(int index, VARS_PTF_DB_SECTION& section);
  // The first segment record of the track record's array (a file may hold
  // null entries or other records before it); null when there is none.
  CN5ObjSg* FirstSegObj();
  // Positions in the track record's segment array, null entries included.
  int SegmentSlots();
  // Contours of a segment; stored with the start height added.
  void DbSetContours(int seg, const std::vector<VARS_PTF_DB_CONTOUR>& contours);
  void DbGetContours(int seg, std::vector<VARS_PTF_DB_CONTOUR>& contours);
  const std::vector<VARS_PTF_DB_CONTOUR>& StoredContours(int seg) const;
  // Bank lines from a segment's stored contours; with grips also at the
  // edges of the bands whose texture asks for it.
  void BanksFromContours(int seg);
  void BanksFromGrips(int seg);
  // Bands of segments that have none, and bank lines joining the segments
  // that have none smoothly to their neighbours.
  void MakeMissingBanks();
  // Height and gradient at a lateral position read off a segment's stored
  // contours: the start values at latStart and the end values at latEnd.
  bool GetContourInfo(int seg, double latStart, double latEnd, VARS_PTF_DB_CONTOUR& out) const;

  void DbSetDetails(const VARS_PTF_DB_DETAIL& detail);
  void DbGetDetails(std::vector<VARS_PTF_DB_DETAIL>& details);
  void DbSetTso(const VARS_PTF_DB_TSO& tso);
  void DbGetTso(std::vector<VARS_PTF_DB_TSO>& tsos, bool world);

  void DbSetMaterial(const std::string& name, const std::string& mapName, int transparency);
  void DbSetTractionTex(const VARS_TRACK_TRACTION_TEX& entry) { tractionTex.Add(entry); }
  void DbSetWallTex(const VARS_TRACK_WALL_TEX& entry) { wallTex.Add(entry); }
  CTrackTractionTexArray DbGetTractionTex() const;
  CTrackWallTexArray DbGetWallTex() const;

  void DbSetBumpDefs(int index, const VARS_PTF_DB_BUMP_DEF& def);
  void DbGetBumpDefs(std::vector<VARS_PTF_DB_BUMP_DEF>& defs);
  void DbSetBumpRef(int seg, const VARS_PTF_DB_BUMP_REF& ref);
  void DbSetBumpScale(int seg, const VARS_PTF_DB_BUMP_SCALE& scale);
  void DbGetBumpRefs(int seg, std::vector<VARS_PTF_DB_BUMP_REF>& refs);
  void DbGetBumpScales(int seg, std::vector<VARS_PTF_DB_BUMP_SCALE>& scales);

  // Bands (first) and walls of a segment, with texture indices into the
  // rebuilt texture tables.
  void DbGetTractions(int seg, std::vector<VARS_PTF_DB_TRACTION>& tractions);
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
  std::vector<std::vector<VARS_PTF_DB_CONTOUR>> contours_;  // per segment
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
