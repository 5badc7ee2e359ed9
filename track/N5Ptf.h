// The track model: a PTF record tree whose segments, traction bands, walls
// and bank lines describe a track, with the position queries that place
// things on it (track/N5PtfQueries.cpp) and the operations that build it
// section by section and write it as a PTF file (track/N5PtfBuild.cpp,
// track/N5PtfFile.cpp). Segment geometry lives on CN5ObjSg
// (track/N5Segment.cpp).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "description/tables/TrackTextures.h"
#include "mesh/GlPoint.h"
#include "ptf/Descriptors.h"
#include "ptf/RecordFile.h"
#include "track/N5Units.h"
#include "track/TrackQuery.h"

namespace lapforge {

// Scenery entries kept for the mesh exporters.
struct _vars_infield_obj {
  std::string title;
  int32_t left = 0;
  float start = 0, end = 0, excludeStart = 0, excludeEnd = 0, peakHeight = 0, tilingScale = 10;
  std::string material;
  float textureMappingScale = 10;
};
struct _vars_outfield_obj {
  std::string title;
  float start = 0, end = 0, widthStart = 0, widthEnd = 0, elevationStart = 0, elevationEnd = 0, peakHeight = 0,
        tilingScale = 10;
  std::string material;
  float textureMappingScale = 10;
};
struct _vars_vertical_obj {
  std::string title;  // lower case
  float latStart = 0, latEnd = 0, longStart = 0, longEnd = 0, elevation = 0, height = 0;
  std::string material;
};

// One entry of a wall texture continuity list: a wall face that ended at
// lateral position lat with texture coordinate s along the track.
struct _vars_wall_continuity {
  double lat = 0;
  double s = 0;
};

class CGlFaceArray;
class CGlMaterialArray;
class CGlMipArray;
class CGlPointArray;

// One piece of a surface band between two band edges, cut further by the
// bank lines that run through it; lives only while a surface is meshed.
struct F_SInfo {
  float rightStart = 0, leftStart = 0, rightEnd = 0, leftEnd = 0;  // edge laterals
  int32_t rightStraight = 0, leftStraight = 0;
  // Texture corners (u, v): start-right, end-right, end-left, start-left.
  double corner[4][2] = {{0, 0}, {0, 0}, {0, 0}, {0, 0}};
  int32_t grip = 0;
  int32_t rotation = 0;  // the texture coordinates record's R90
  int32_t split = 0;     // 1 when the piece came from a bank-line cut
};

// The cross section of a wall at one longitudinal row, while it is meshed.
struct GlWallCorner {
  float x = 0, y = 0, z = 0;
};
struct GlWallRow {
  GlWallCorner bottomRight, topRight, topLeft, bottomLeft;
};

// What meshing makes, counted without meshing: the faces and points filed
// under one material (the game writers make one object per material of a
// block).
struct GlMaterialCount {
  std::string material;
  long long faces = 0, points = 0;
};

// What one export block will hold (a segment, a detail or a scenery object,
// as CreateObjects meshes them), per material, with the grid it is meshed
// in: rows along the track and cells across a row (summed over the pieces
// of a segment's surfaces; a fan or a bank counts its steps as rows).
struct GlBlockCount {
  enum class Kind { Segment, Detail, Vertical, Infield, Outfield };
  Kind kind = Kind::Segment;
  int index = 0;  // position among the blocks of its kind
  long long rows = 0, across = 0;
  std::vector<GlMaterialCount> materials;

  // Adds faces and points to the material's entry (counts saturate instead
  // of overflowing: a count of a crafted description can be astronomical).
  void Add(const std::string& material, long long faces, long long points);
  long long Faces() const;
  long long Points() const;
  // The bytes of face and point records the block will take.
  double Bytes() const;
};

// The position queries of ITrackQuery (kFarOffset among them) are final
// here, so calls on the model itself are direct.
class CN5Ptf : public CN5Root, public ITrackQuery {
 public:
  CN5Ptf();
  ~CN5Ptf() override;

  // ---- records and counts ----

  // First track record of the tree, cached after the first hit; null when none.
  CN5ObjTk* GetTk();
  // The track record to build into; created (parentless, as the root of the
  // file) when the tree has none.
  CN5ObjTk* GetWriteTk();
  // Whether the tree's record at index exists and is of class name.
  bool IsRtName(int index, const std::string& name) const;
  // Number of segment records in the tree; cached unless 0 or recount is
  // set. A recount looks only at the records added since the last count.
  int NoSegments(bool recount = false);
  // The track record's segment at index; null without a track record or at
  // or beyond the count.
  CN5ObjSg* GetSegObj(int index);
  int NoTrackDetails();
  CN5ObjTd* GetTrackDetailObj(int index);

  // ---- position queries (track/N5PtfQueries.cpp) ----

  // Lays the segments out end to end (startLong, endLong, length, sweep,
  // radius, centre, bank line cubics), caches and returns the total length,
  // and records the track start point and heading.
  double GetTrackLength() final;
  // long + length once when negative, then the remainder by the length.
  double GetNormalizedLength(double lng) final;
  // long wrapped into [0, length): the length added while negative, then
  // the remainder. Computes the length when still 0.
  double NormalizeLong(double lng);
  // The segment with startLong <= long < endLong (a boundary belongs to the
  // later segment): 1 with its index, the segment and t in [0, 1); else 0,
  // index -1, t 0 and seg the last segment visited.
  int GetSegAt(double lng, int& index, CN5ObjSg*& seg, double& t);
  // World point at (long, lat); a boundary belongs to the earlier segment.
  // Outputs stay untouched when no segment holds long.
  void GetXYZ(double lng, double lat, double& x, double& y, double& z) final;
  void GetXYZ(double lng, double lat, float& x, float& y, float& z);
  // A point beyond the outermost band: side 1 the left edge (last band),
  // side 0 the right edge (first band). An outward offset moves beyond the
  // edge, otherwise the point lies 0.5 m inside it.
  void GetOutsideXYZ(double lng, int side, double offset, float& x, float& y, float& z);
  // Heading (radians), pitch and roll (height change per metre) at (long, lat).
  void GetAngles(double lng, double lat, double& heading, double& pitch, double& roll) final;
  // Track position of a world point: the segment whose reference line is
  // nearest (smallest |lat|). Returns 1 when some segment accepted the point.
  int GetLatPos(double x, double y, double z, double& lng, double& lat, double& dz);
  // Lateral positions and grip codes of the bands at long.
  void GetTractionsAt(double lng, std::vector<double>& lats, std::vector<uint16_t>& grips);
  // Lateral positions, bound widths and wall types of the walls at long.
  void GetWallsAt(double lng, std::vector<double>& lats, std::vector<double>& widths, std::vector<uint16_t>& types);
  // Drivable strip and wall limits around lat at long.
  void GetDriveBoundsAt(double lng, double lat, double& driveLeft, double& driveRight, double& wallLeft,
                        double& wallRight) final;

  // ---- building (track/N5PtfBuild.cpp) ----

  // Appends an empty segment to the write track record; returns its index.
  int CreateSegment();
  void CreateNewTraction(int seg, double latStart, double latEnd, int grip, int textureIndex, int bandKind,
                         int straighten, const std::vector<_vars_track_tex_coord>& coords);
  // Once per segment after all its bands and walls: appearances and texture
  // coordinates of the bands, grip reduction, pit lane kind.
  void FinishTractionTextures(int seg);
  void CreateNewWall(int seg, double latStart, double latEnd, int grip, int textureIndex,
                     const std::vector<_vars_track_tex_coord>& coords, double widthStart, double widthEnd,
                     double heightStart, double heightEnd, int detail, int straighten);
  void CreateNewBank(int seg, double latStart, double latEnd, double heightStart, double heightEnd, double gradStart,
                     double gradEnd);
  // Separates bank lines that share a lateral position by 0.005 and
  // recomputes every cubic.
  void MoveDuplicateXS(int seg);
  using CN5Root::CreateNewAppearance;
  // Appearance of a band, wall face (flag 1, "trackmat\" texture prefix) or
  // detail (flag 0) for a texture, its map name taken from the material table.
  CN5ObjAp* CreateNewAppearance(CN5Obj* record, const std::string& texture, int flag);
  CN5ObjTu* CreateNewTextureCoordsTraction(CN5ObjFs* band, CN5ObjFs* next, double startLong, double endLong,
                                           const VARS_TRACK_TRACTION_TEX& entry);
  CN5ObjTu* CreateNewTextureCoordsWall(CN5ObjWs* wall, double startLong, double endLong, double latStart, double latEnd,
                                       int face, const VARS_TRACK_WALL_TEX& entry,
                                       const std::vector<_vars_track_tex_coord>& coords);
  // Adds a painted detail to the write track record; heading in radians.
  void CreateNewTrackDetail(double lng, double lat, double width, double length, double heading,
                            const std::string& texture, double u, double v);

  // ---- surface meshing (track/N5PtfMesh.cpp) ----
  // Every function appends to the arrays it is given; nothing is cleared.
  // A piece meshed into more faces or points than it was counted for (a
  // fault of this code, never of the track) fails meshCheck (below), which
  // the driver reads once the mesh is made.

  // Whole track: per segment its walls then its surfaces, then every detail.
  void GetGlFaces(CGlPointArray& points, CGlFaceArray& faces, CGlMipArray& textures, CGlMaterialArray& materials);
  // One segment: its surfaces, then its walls; no details.
  void GetGlFaces(int seg, CGlPointArray& points, CGlFaceArray& faces, CGlMipArray& textures,
                  CGlMaterialArray& materials);
  void GetGlTractionFaces(int seg, CN5ObjSg* segment, CN5ObjFs* band, CN5ObjFs* next, CGlPointArray& points,
                          CGlFaceArray& faces, CGlMipArray& textures, CGlMaterialArray& materials);
  void GetF_SInfoFaces(int seg, CN5ObjSg* segment, const F_SInfo& piece, CGlPointArray& points, CGlFaceArray& faces,
                       int textureIndex, int materialIndex);
  void GetGlWallFaces(int seg, CN5ObjSg* segment, CN5ObjWs* wall, CGlPointArray& points, CGlFaceArray& faces,
                      CGlMipArray& textures, CGlMaterialArray& materials);
  void GetGlTrackDetailFaces(int detail, CGlPointArray& points, CGlFaceArray& faces, CGlMipArray& textures,
                             CGlMaterialArray& materials);

  // ---- mesh counts ----
  // What the meshing above and the scenery meshes below make, counted by
  // the meshers' own arithmetic without meshing or sampling, so that work
  // beyond the machine is refused before anything is allocated. Each adds
  // to the block given.
  void CountGlFaces(int seg, GlBlockCount& block);
  void CountGlTrackDetailFaces(int detail, GlBlockCount& block);
  void CountInfieldObject(const _vars_infield_obj& infield, GlBlockCount& block);
  void CountOutfieldObject(const _vars_outfield_obj& outfield, GlBlockCount& block);
  void CountTreeObject(const _vars_vertical_obj& vertical, GlBlockCount& block);
  // Every export block in the order CreateObjects makes them: segments,
  // details, vertical, infield and outfield objects.
  std::vector<GlBlockCount> CountGlBlocks();
  // Points EdgeFan places (the centre included) from start to end.
  static long long EdgeFanPoints(double start, double end, double excludeStart, double excludeEnd, double excludedStep,
                                 double plainStep);

  // ---- scenery meshes for the exporters (track/N5PtfSceneryMesh.cpp) ----
  // Each appends to a fresh block's faces and points.
  void CreateInfieldObject(const _vars_infield_obj& infield, CGlFaceArray& faces, CGlPointArray& points,
                           CGlMaterialArray& materials);
  void CreateOutfieldObject(const _vars_outfield_obj& outfield, CGlFaceArray& faces, CGlPointArray& points,
                            CGlMaterialArray& materials);
  void CreateTreeObject(const _vars_vertical_obj& vertical, CGlFaceArray& faces, CGlPointArray& points,
                        CGlMaterialArray& materials);

  // ---- scenery pieces shared by the object files and the meshes ----

  // The point beyond (or 0.5 m inside) an outer track edge, as GetOutsideXYZ.
  CGlPoint EdgePoint(double lng, int side, double offset = 0);
  // The middle of the bounding box of the edge points of one side sampled
  // every step from start up to (not including) end, samples strictly inside
  // (excludeStart, excludeEnd) left out, raised by raise. False when no
  // sample was taken (an empty range, a step not above 0, values not finite).
  bool EdgeCentre(int side, double start, double end, double step, double excludeStart, double excludeEnd, double raise,
                  CGlPoint& centre);
  // A fan of triangles (previous edge point, centre, next edge point) along
  // one edge from start to end, closed by (last, centre, first edge point).
  // The centre and the edge point at start are appended first. With both
  // exclude values above 0 the edge points go every excludedStep up to
  // excludeStart, one at excludeStart, then every excludedStep from
  // excludeEnd, so one triangle bridges the excluded stretch; otherwise every
  // plainStep. Faces carry materialIndex. Returns the index of the centre.
  int EdgeFan(int side, const CGlPoint& centre, double start, double end, double excludeStart, double excludeEnd,
              double excludedStep, double plainStep, int materialIndex, CGlPointArray& points, CGlFaceArray& faces);
  // The corners of an upright board: P0 at (longStart, latStart) and P1 at
  // (longEnd, latEnd), both raised by elevation; P2 and P3 height above P1
  // and P0.
  void BoardCorners(double longStart, double latStart, double longEnd, double latEnd, double elevation, double height,
                    CGlPoint corners[4]);

  // ---- files (track/N5PtfFile.cpp) ----

  // Writes the track record and everything below it with the given file
  // version (7, or 5 for the older games). Fails WrongKind, with no message,
  // when there is no track record, else when the file could not be written.
  Result WritePtf(const std::string& filePath, int version);
  // The bytes WritePtf would write; empty without a track record.
  std::vector<uint8_t> WritePtfToBuffer(int version);
  // Reads a PTF file into a new model; null when it cannot be read, result
  // then says why (CannotRead, or Damaged naming the fault).
  static std::unique_ptr<CN5Ptf> CreateFromFile(const std::string& filePath, Result& result);
  // Reads a PTF file into this model: path, folder and track name (the file
  // title). Fails as CN5Root::ReadFromFile.
  Result ReadPtf(const std::string& filePath);

  // ---- state ----

  Result meshCheck;  // Failed "Face Array Overflow" once a piece overran its count

  std::vector<_vars_vertical_obj> verticalObjects;
  std::vector<_vars_infield_obj> infieldObjects;
  std::vector<_vars_outfield_obj> outfieldObjects;
  int segmentCount = 0;                            // cached, 0 = not yet counted
  std::map<int, VARS_TRACK_TRACTION_TEX> gripMap;  // never filled
  CTrackWallTexArray wallTex;
  // Wall texture continuity: previous-segment right and left faces, then
  // the current segment's.
  std::vector<_vars_wall_continuity> prevRight, prevLeft, curRight, curLeft;
  CN5ObjTk* writeTk = nullptr;
  CN5ObjTk* foundTk = nullptr;
  double trackLength = 0;  // cached, 0 = not yet computed
  CTrackTractionTexArray tractionTex;
  CTrackMaterialArray materials;
  int32_t gripNameSwitch = 0;  // texture names carry the grip code when set
  int32_t secondSwitch = 1;
  std::string trackName;
  double longResolution = 50;               // metres
  double arcResolution = 45 * _ang_to_rad;  // radians
  double latResolution = 20;                // metres
  double trackStartX = 0, trackStartY = 0, trackStartZ = 0, trackStartHeading = 0;

 protected:
  // The texture table entry of a band (the last matching entry wins), or
  // the defaults for its grip code.
  VARS_TRACK_TRACTION_TEX TractionEntryFor(const CN5ObjFs& band) const;
  VARS_TRACK_WALL_TEX WallEntryFor(int grip, int textureIndex) const;
  // The faces of a new wall, each with its appearance and texture coordinates.
  void AddWallFaces(CN5ObjSg* sg, CN5ObjWs* wall, const VARS_TRACK_WALL_TEX& entry, int grip,
                    const std::vector<_vars_track_tex_coord>& coords);
  CN5ObjSg* CheckedSegment(int seg, const char* where);

  // ---- meshing helpers (track/N5PtfMesh.cpp) ----
  // What an appearance is meshed for: the grip-name switch applies to
  // surfaces and walls, the material table entry to surfaces, transparency
  // to details.
  enum class GlUse { Surface, Wall, Detail };
  // The texture an appearance names and the material its faces are filed
  // under (the texture when it names none); false when it names no texture,
  // so that its faces are not meshed.
  static bool GlTextureNames(const CN5Obj* appearance, std::string& texture, std::string& material);
  // Registers the appearance's texture (and material) in the mesh lists.
  // False when it names no texture; material is -1 without a material name.
  bool RegisterGlTexture(const CN5Obj* appearance, GlUse use, int grip, CGlMipArray& textures,
                         CGlMaterialArray& glMaterials, int& mip, int& material);
  // Longitudinal steps of a segment's surfaces and walls (at least 1).
  int LongSteps(const CN5ObjSg& seg) const;
  // Lateral cells of a surface piece; 0 when it has no positive width.
  int LatCells(const CN5ObjSg& seg, const F_SInfo& piece) const;
  // Cells across a surface piece as GetF_SInfoFaces meshes it: 0 when it
  // makes no faces (no width at either end, or the left edge right of the
  // right one).
  int PieceCells(const CN5ObjSg& seg, const F_SInfo& piece) const;
  // Rows and cells of a track detail's grid.
  void DetailGrid(const CN5ObjTd& detail, int& rows, int& cells) const;
  // The range an infield fan covers once it is wrapped past the start line;
  // false when a value is not finite.
  bool InfieldRange(const _vars_infield_obj& infield, double& start, double& end, double& excludeStart,
                    double& excludeEnd) const;
  // The range and the number of steps of an outfield bank; false when it
  // makes nothing.
  bool OutfieldSteps(const _vars_outfield_obj& outfield, double& start, double& end, long long& steps) const;
  // The pieces of the surface between two band edges, cut by the bank
  // lines; false when the band has nothing to mesh.
  bool SurfacePieces(const CN5ObjSg& seg, const CN5ObjFs& band, const CN5ObjFs* next, std::vector<F_SInfo>& pieces);
  // Faces the whole track will need, to enlarge the arrays once.
  long long CountGlFaces();
  // Cell size of the track details.
  double DetailCellSize() const;
  // Pieces of the surface being meshed (kept to reuse their storage).
  std::vector<F_SInfo> pieceScratch_;
  // Cross-section rows of the wall being meshed, kept to reuse their storage.
  std::vector<GlWallRow> wallRowScratch_;
  // Computes the length when it is still 0; false when the track has none.
  bool EnsureLength();

  // The segments in the order GetTrackLength laid them out (cached with
  // the length).
  std::vector<CN5ObjSg*> laidOut;

 private:
  size_t countedRecords_ = 0;  // records NoSegments has looked at
};

}  // namespace lapforge
