// Building a track model from a description: summary, tables, the section
// chain with its bands, walls, contours and bumps, the missing bank lines,
// trackside objects, details and scenery. A row that cannot be read stops
// the build with a message naming the row and showing its values.
#include <climits>
#include <cmath>
#include <cstdint>
#include <exception>

#include "description/TrkDsc.h"
#include "mapping/PtfMapping.h"
#include "support/Errors.h"
#include "support/FileString.h"
#include "support/TextFormat.h"

namespace lapforge {

namespace {

// The row being read, for the error message.
struct CurrentRow {
  const char* table = nullptr;
  const CDataRow* row = nullptr;
  void Set(const char* t, const CTypedRow& r) {
    table = t;
    row = r.Raw();
  }
};

// A null read names what is empty: the columns of the row being read that
// hold no value and have no neutral reading.
std::string NullColumns(const CurrentRow& at) {
  if (!at.row) return {};
  const CDataTable& t = at.row->Table();
  std::string columns;
  for (int c = 0; c < t.ColumnCount(); ++c) {
    if ((t.Column(c).flags & (kColHidden | kColNeutral)) || !at.row->Value(c).null) continue;
    columns += (columns.empty() ? "" : ", ") + std::string(t.Column(c).name);
  }
  if (columns.empty()) return {};
  return StrFormat("\nThe %s row has no value in: %s", t.Name(), columns.c_str());
}

std::string RowError(const CurrentRow& at, int section) {
  const char* table = at.table ? at.table : "TrackSummary";
  std::string text =
      section >= 0 ? StrFormat("Error in %s of Section %d\n", table, section) : StrFormat("Error in %s\n", table);
  if (at.row) {
    const CDataTable& t = at.row->Table();
    for (int c = 0; c < t.ColumnCount(); ++c) {
      if (t.Column(c).flags & kColHidden) continue;
      text += "\n";
      text += FormatLexical(t.Column(c).type, at.row->Value(c));
    }
  }
  return text;
}

// A band or wall of one description row, in one segment.
struct TractionValues {
  int grip = 0, textureIndex = 0, straighten = 0;
  double latStart = 0, latEnd = 0, width = 0, widthEnd = 0, height = 0, heightEnd = 0;
  std::vector<_vars_track_tex_coord> coords;
};

void CreateTraction(CN5PtfDb& model, int seg, const TractionValues& v) {
  if (v.grip < 2048)
    model.CreateNewTraction(seg, v.latStart, v.latEnd, v.grip, v.textureIndex, 0, v.straighten, v.coords);
  else
    model.CreateNewWall(seg, v.latStart, v.latEnd, v.grip, v.textureIndex, v.coords, v.width, v.widthEnd, v.height,
                        v.heightEnd, 0, v.straighten);
}

// A description value the build takes as an int (an index, or the whole
// metres an infield object file runs along): one no int holds, or not a
// number, stops the build with the column named instead of being cast.
int IntValue(double v, const char* column) {
  if (!(v > static_cast<double>(INT_MIN) - 1.0 && v < static_cast<double>(INT_MAX) + 1.0))
    ThrowInvalidArgument(StrFormat("%s is not a whole number from %d to %d", column, INT_MIN, INT_MAX));
  return static_cast<int>(v);
}
int IntValue(int64_t v, const char* column) {
  if (v < INT_MIN || v > INT_MAX)
    ThrowInvalidArgument(
        StrFormat("%s %lld is not a whole number from %d to %d", column, static_cast<long long>(v), INT_MIN, INT_MAX));
  return static_cast<int>(v);
}

// Builds the model from the description one table group at a time. The row
// being read, and the section, are kept for the message when one fails.
class TrackBuilder {
 public:
  TrackBuilder(const TrkDsc& db, CN5PtfDb& model) : db_(db), model_(model) {}

  void Summary();
  void Materials();
  // Returns whether an entry asks for bank lines at the edges of its bands.
  bool TractionTextures();
  void WallTextures();
  void BumpDefinitions();
  // Each section one segment or, when split, two; banksFromGrips puts bank
  // lines also at the band edges whose texture entry asks for them.
  void Sections(bool banksFromGrips);
  void TracksideObjects();
  void Details();
  // Infields and vertical objects as object files in folder.
  void SceneryFiles(const std::string& folder);
  // Vertical, infield and outfield objects as lists for the meshers.
  void SceneryLists();

  std::string Error() const { return RowError(at_, section_); }
  std::string EmptyColumns() const { return NullColumns(at_); }

 private:
  void BuildSection(const TrkDsc::SectionRow& s, bool banksFromGrips);
  SectionRecord MeshResolution(const TrkDsc::SectionRow& s);
  void ReadTractions(const TrkDsc::SectionRow& s);
  void AddTractions(int seg, int part, double f);
  void AddContours(const TrkDsc::SectionRow& s, int seg);
  void AddBumps(const TrkDsc::SectionRow& s, int seg);

  const TrkDsc& db_;
  CN5PtfDb& model_;
  CurrentRow at_;
  int section_ = -1;
  // The bands and walls of the section being built, and of the last
  // section that had any (a section without rows takes those).
  std::vector<TrkDsc::TractionRow> rows_, lastTractions_;
  std::vector<TractionValues> values_;
  std::vector<ContourRecord> contours_;
};

void TrackBuilder::Summary() {
  TrackSummaryRecord summary;
  summary.arcRes = 5;
  summary.longRes = 15;
  if (db_.TrackSummary.Count() > 0) {
    TrkDsc::TrackSummaryRow r = db_.TrackSummary[0];
    at_.Set("TrackSummary", r);
    summary.startAngle = r.StartAngle();
    summary.xOrigin = r.X_Origin();
    summary.yOrigin = r.Y_Origin();
    summary.zOrigin = r.Z_Origin();
    r.CopyNight_Track(summary.night);
    r.CopyNS_Angle(summary.nsAngle);
    r.CopyAmbient(summary.ambient);
    r.CopyArcResolution(summary.arcRes);
    r.CopyLongitudinalResolution(summary.longRes);
    r.CopyLateralResolution(summary.latRes);
  }
  model_.DbSetSummary(summary);
}

void TrackBuilder::Materials() {
  for (int i = 0; i < db_.Material.Count(); ++i) {
    TrkDsc::MaterialRow r = db_.Material[i];
    at_.Set("Material", r);
    if (!r.IsMateralNameNull() && !r.IsMapNameNull())
      model_.DbSetMaterial(r.MateralName(), r.MapName(), r.Transparency());
  }
}

bool TrackBuilder::TractionTextures() {
  bool anyContourFlag = false;
  for (int i = 0; i < db_.TractionTex.Count(); ++i) {
    TrkDsc::TractionTexRow r = db_.TractionTex[i];
    at_.Set("TractionTex", r);
    VARS_TRACK_TRACTION_TEX e;
    e.grip = r.Grip();
    r.CopyClampHint(e.clampHint);
    r.CopyGripOverride(e.gripOverride);
    r.CopyRaceType(e.raceType);
    r.CopyRepeatLength(e.repeatLength);
    r.CopyRepeatWidth(e.repeatWidth);
    r.CopyTextureIndex(e.textureIndex);
    if (r.CopyContourFlag(e.contourFlag) && e.contourFlag) anyContourFlag = true;
    r.CopyR90(e.r90);
    e.tex = r.Tex();
    model_.DbSetTractionTex(e);
  }
  return anyContourFlag;
}

void TrackBuilder::WallTextures() {
  for (int i = 0; i < db_.WallTex.Count(); ++i) {
    TrkDsc::WallTexRow r = db_.WallTex[i];
    at_.Set("WallTex", r);
    VARS_TRACK_WALL_TEX e;
    e.grip = r.Grip();
    r.CopyGripOverride(e.gripOverride);
    r.CopyRaceType(e.raceType);
    r.CopyRepeatLength(e.repeatLength);
    r.CopyTexEnd(e.texEnd);
    r.CopyTexLeft(e.texLeft);
    r.CopyTexRight(e.texRight);
    r.CopyTexTop(e.texTop);
    r.CopyTextureIndex(e.textureIndex);
    r.CopyHeight(e.height);
    r.CopyWidth(e.width);
    r.CopyVertical(e.vertical);
    r.CopyCatchFence(e.catchFence);
    r.CopyRepeatModulus(e.repeatModulus);
    r.CopyMinTexV(e.minTexV);
    r.CopyMaxTexV(e.maxTexV);
    model_.DbSetWallTex(e);
  }
}

void TrackBuilder::BumpDefinitions() {
  for (int i = 0; i < db_.PtfBumpDef.Count(); ++i) {
    TrkDsc::PtfBumpDefRow r = db_.PtfBumpDef[i];
    at_.Set("PtfBumpDef", r);
    PtfBumpDefRecord d;
    d.sizes[0] = r.size1(), d.sizes[1] = r.size2(), d.sizes[2] = r.size3(), d.sizes[3] = r.size4();
    d.distances[0] = r.distance1(), d.distances[1] = r.distance2();
    d.distances[2] = r.distance3(), d.distances[3] = r.distance4();
    model_.DbSetBumpDefs(IntValue(r.index(), "The PtfBumpDef index"), d);
  }
}

void TrackBuilder::Sections(bool banksFromGrips) {
  for (section_ = 0; section_ < db_.Section.Count(); ++section_) BuildSection(db_.Section[section_], banksFromGrips);
  section_ = -1;
  at_ = CurrentRow();
}

void TrackBuilder::BuildSection(const TrkDsc::SectionRow& s, bool banksFromGrips) {
  SectionRecord sec = MeshResolution(s);
  at_.Set("Section", s);
  const double length = s.Length();
  const double angleChange = s.Angle_Change();
  sec.type = s.Type();
  const double split = s.SplitOr(0.0);
  const double f = split / length;
  const bool isSplit = f > 0 && f < 1;
  ReadTractions(s);
  at_.Set("Section", s);

  // Each segment gets its bands and walls before the next one is made, so
  // that wall textures run on from one to the next.
  const int parts = isSplit ? 2 : 1;
  int first = -1;
  for (int part = 0; part < parts; ++part) {
    const double share = !isSplit ? 1.0 : part == 0 ? f : 1 - f;
    sec.length = length * share;
    sec.angleChange = angleChange * share;
    at_.Set("Section", s);
    const int seg = model_.DbSetSection(sec);
    if (part == 0) first = seg;
    AddTractions(seg, isSplit ? part : -1, f);
    if (!isSplit) AddContours(s, seg);
    AddBumps(s, seg);
    at_.Set("Section", s);
    model_.FinishTractionTextures(seg);
  }
  if (banksFromGrips)
    model_.BanksFromGrips(first);
  else
    model_.BanksFromContours(first);
}

// The section's resolutions, from its mesh rows (the last one set wins).
SectionRecord TrackBuilder::MeshResolution(const TrkDsc::SectionRow& s) {
  SectionRecord sec;
  for (const TrkDsc::MeshRow& m : s.GetMeshRows()) {
    at_.Set("Mesh", m);
    m.CopyLongitudinalResolution(sec.longRes);
    m.CopyArcResolution(sec.arcRes);
    m.CopyLateralResolution(sec.latRes);
  }
  return sec;
}

// The section's bands and walls, or the previous section's.
void TrackBuilder::ReadTractions(const TrkDsc::SectionRow& s) {
  rows_ = s.GetTractionRows();
  if (rows_.empty())
    rows_ = lastTractions_;
  else
    lastTractions_ = rows_;
  values_.clear();
  for (const TrkDsc::TractionRow& t : rows_) {
    at_.Set("Traction", t);
    TractionValues v;
    v.straighten = t.StraightenOr(false);
    v.height = t.HeightOr(0.0);
    v.heightEnd = t.HeightEndOr(v.height);
    v.width = t.WidthOr(0.0);
    v.widthEnd = t.WidthEndOr(v.width);
    v.latStart = t.Lat_Start();
    v.latEnd = t.Lat_EndOr(v.latStart);
    for (const TrkDsc::TractionTexCoordRow& c : t.GetTractionTexCoordRows()) {
      at_.Set("TractionTexCoord", c);
      v.coords.push_back({static_cast<uint8_t>(c.Surface()), c.UCoord(), c.VCoord()});
    }
    at_.Set("Traction", t);
    v.grip = t.Grip();
    v.textureIndex = t.TextureIndex();
    values_.push_back(std::move(v));
  }
}

// The bands and walls read on one segment: the whole section (part -1), or
// the part before (0) or after (1) the cut at the share f of a split one.
void TrackBuilder::AddTractions(int seg, int part, double f) {
  for (size_t k = 0; k < values_.size(); ++k) {
    at_.Set("Traction", rows_[k]);
    if (part < 0) {
      CreateTraction(model_, seg, values_[k]);
      continue;
    }
    // The boundary at the cut, interpolated; explicit coordinates no
    // longer fit either half.
    TractionValues half = values_[k];
    half.coords.clear();
    auto cut = [&](double a, double b) { return a + f * (b - a); };
    const TractionValues& v = values_[k];
    if (part == 0) {
      half.latEnd = cut(v.latStart, v.latEnd);
      half.widthEnd = cut(v.width, v.widthEnd);
      half.heightEnd = cut(v.height, v.heightEnd);
    } else {
      half.latStart = cut(v.latStart, v.latEnd);
      half.width = cut(v.width, v.widthEnd);
      half.height = cut(v.height, v.heightEnd);
    }
    CreateTraction(model_, seg, half);
  }
}

void TrackBuilder::AddContours(const TrkDsc::SectionRow& s, int seg) {
  contours_.clear();
  for (const TrkDsc::ContourRow& c : s.GetContourRows()) {
    at_.Set("Contour", c);
    contours_.push_back({c.Latitude(), c.Z(), c.Grad(), c.Latitude_End(), c.Z_End(), c.Grad_End()});
  }
  model_.DbSetContours(seg, contours_);
}

void TrackBuilder::AddBumps(const TrkDsc::SectionRow& s, int seg) {
  for (const TrkDsc::PtfBumpRefRow& b : s.GetPtfBumpRefRows()) {
    at_.Set("PtfBumpRef", b);
    model_.DbSetBumpRef(seg, {b.lat_start(), b.lat_end(), IntValue(b.index(), "The PtfBumpRef index")});
  }
  for (const TrkDsc::PtfBumpScaleRow& b : s.GetPtfBumpScaleRows()) {
    at_.Set("PtfBumpScale", b);
    model_.DbSetBumpScale(seg, {b.lat_start(), b.lat_end(), b.scale_start(), b.scale_end()});
  }
}

void TrackBuilder::TracksideObjects() {
  for (int i = 0; i < db_.TSO.Count(); ++i) {
    TrkDsc::TSORow r = db_.TSO[i];
    at_.Set("TSO", r);
    TsoRecord t;
    t.name = r.Name();
    t.worldXYZ = r.WorldXYZ() ? 1 : 0;
    t.x = r.X(), t.y = r.Y(), t.z = r.Z();
    t.worldAngle = r.WorldAngleOr(true) ? 1 : 0;
    t.a = r.A(), t.b = r.B(), t.c = r.C();
    model_.DbSetTso(t);
  }
}

void TrackBuilder::Details() {
  for (int i = 0; i < db_.TrackDetail.Count(); ++i) {
    TrkDsc::TrackDetailRow r = db_.TrackDetail[i];
    at_.Set("TrackDetail", r);
    TrackDetailRecord d;
    d.lng = r.longtiude();
    d.lat = r.latitude();
    d.length = r.length();
    d.width = r.width();
    d.angle = r.angle();
    d.tex = r.tex();
    d.u = r.u();
    d.v = r.v();
    model_.DbSetDetails(d);
  }
}

void TrackBuilder::SceneryFiles(const std::string& folder) {
  for (int i = 0; i < db_.InfieldObj.Count(); ++i) {
    TrkDsc::InfieldObjRow r = db_.InfieldObj[i];
    at_.Set("InfieldObj", r);
    model_.AddInfield(folder, r.Title(), 0.5, IntValue(r.Start(), "The InfieldObj Start"),
                      IntValue(r.End(), "The InfieldObj End"),
                      IntValue(r.ExcludeStart(), "The InfieldObj ExcludeStart"),
                      IntValue(r.ExcludeEnd(), "The InfieldObj ExcludeEnd"), "grass");
  }
  for (int i = 0; i < db_.VerticalObj.Count(); ++i) {
    TrkDsc::VerticalObjRow r = db_.VerticalObj[i];
    at_.Set("VerticalObj", r);
    model_.AddVerticalObject(folder, r.Title(), r.LongSart(), r.LatStart(), r.LongEnd(), r.LatEnd(), r.Height(),
                             r.Material());
  }
}

void TrackBuilder::SceneryLists() {
  for (int i = 0; i < db_.VerticalObj.Count(); ++i) {
    TrkDsc::VerticalObjRow r = db_.VerticalObj[i];
    at_.Set("VerticalObj", r);
    _vars_vertical_obj v;
    v.title = ToLower(r.Title());
    v.longStart = r.LongSart();
    v.latStart = r.LatStart();
    v.longEnd = r.LongEnd();
    v.latEnd = r.LatEnd();
    v.elevation = r.Elevation();
    v.height = r.Height();
    v.material = r.Material();
    model_.verticalObjects.push_back(std::move(v));
  }
  for (int i = 0; i < db_.InfieldObj.Count(); ++i) {
    TrkDsc::InfieldObjRow r = db_.InfieldObj[i];
    at_.Set("InfieldObj", r);
    _vars_infield_obj v;
    v.title = r.Title();
    v.left = r.Left() ? 1 : 0;
    v.start = r.Start();
    v.end = r.End();
    v.excludeStart = r.ExcludeStart();
    v.excludeEnd = r.ExcludeEnd();
    v.peakHeight = r.PeakHeightOr(0.0f);
    v.material = r.Material();
    v.tilingScale = r.TilingScaleOr(10.0f);
    v.textureMappingScale = r.TextureMappingScaleOr(10.0f);
    model_.infieldObjects.push_back(std::move(v));
  }
  for (int i = 0; i < db_.OutfieldObj.Count(); ++i) {
    TrkDsc::OutfieldObjRow r = db_.OutfieldObj[i];
    at_.Set("OutfieldObj", r);
    _vars_outfield_obj v;
    v.title = r.Title();
    v.start = r.Start();
    v.end = r.End();
    v.widthStart = r.WidthStart();
    v.widthEnd = r.WidthEnd();
    v.elevationStart = r.ElevationStart();
    v.elevationEnd = r.ElevationEnd();
    v.peakHeight = r.PeakHeightOr(0.0f);
    v.material = r.Material();
    v.tilingScale = r.TilingScaleOr(10.0f);
    v.textureMappingScale = r.TextureMappingScaleOr(10.0f);
    model_.outfieldObjects.push_back(std::move(v));
  }
}

}  // namespace

std::vector<std::string> SceneryObjectFiles(const TrkDsc& db, const std::string& outputPath) {
  // The build makes the infield objects' files first, then the vertical
  // objects'; a row without a title stops the build.
  std::vector<std::string> titles;
  titles.reserve(static_cast<size_t>(db.InfieldObj.Count() + db.VerticalObj.Count()));
  for (int i = 0; i < db.InfieldObj.Count(); ++i)
    if (TrkDsc::InfieldObjRow r = db.InfieldObj[i]; !r.IsTitleNull()) titles.push_back(r.Title());
  for (int i = 0; i < db.VerticalObj.Count(); ++i)
    if (TrkDsc::VerticalObjRow r = db.VerticalObj[i]; !r.IsTitleNull()) titles.push_back(r.Title());
  return CN5PtfDb::SceneryObjectFiles(titles, FileString::Path(outputPath));
}

Result PTFObjFromDataBase(const TrkDsc& db, CN5PtfDb& model, const std::string& outputPath) {
  const bool forPtf = !outputPath.empty();
  CWorkStep step("building the track");
  TrackBuilder build(db, model);
  try {
    build.Summary();
    build.Materials();
    const bool anyContourFlag = build.TractionTextures();
    build.WallTextures();
    build.BumpDefinitions();
    build.Sections(forPtf && anyContourFlag);
    model.MakeMissingBanks();
    build.TracksideObjects();
    build.Details();
    // Scenery: object files beside the PTF, or lists for the meshers.
    if (forPtf)
      build.SceneryFiles(FileString::Path(outputPath));
    else
      build.SceneryLists();
  } catch (const CStrongTypingException& e) {
    Result failed = Result::Fail(Status::Invalid, ErrorText(e) + build.EmptyColumns());
    failed.where = build.Error();
    return failed;
  } catch (const std::exception& e) {
    Result failed = Result::Fail(Status::Invalid, ErrorText(e));
    failed.where = build.Error();
    return failed;
  }

  // A track was built when it has a length.
  const double length = model.GetTrackLength();
  if (!(length > 0) || !std::isfinite(length)) {
    return Result::Fail(Status::Invalid, "The description does not make a track: it has no sections with a length");
  }
  return Result::Ok();
}

}  // namespace lapforge
