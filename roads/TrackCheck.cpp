// The track checker. The description is read row by row for what the track
// build would refuse or silently get wrong, then the track model is built
// exactly as the exports build it, and the model answers for the loop
// closure, the block sizes and where things are placed.
#include "roads/TrackCheck.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <utility>

#include "description/TrkDsc.h"
#include "mapping/PtfMapping.h"
#include "roads/Lapforge.h"
#include "roads/MeshExportRoad.h"
#include "support/Errors.h"
#include "support/FileIO.h"
#include "support/FileString.h"
#include "support/Memory.h"
#include "support/TextFormat.h"
#include "support/UserInterface.h"

namespace lapforge {

namespace {

// Collects what the core would show, so that a check shows nothing itself.
class CCollectingUI : public CUserInterface {
 public:
  CCollectingUI() : previous_(SetUserInterface(this)) {}
  ~CCollectingUI() override { SetUserInterface(previous_); }
  CCollectingUI(const CCollectingUI&) = delete;
  CCollectingUI& operator=(const CCollectingUI&) = delete;
  void Message(const std::string& text, const std::string& caption) override {
    std::string line = caption.empty() ? text : caption + ": " + text;
    while (!line.empty() && (line.back() == '\n' || line.back() == ' ')) line.pop_back();
    if (!text_.empty()) text_ += "; ";
    text_ += line;
  }
  bool YesNo(const std::string&, const std::string&) override { return false; }
  UiAnswer YesNoCancel(const std::string&, const std::string&) override { return UiAnswer::Cancel; }
  const std::string& Text() const { return text_; }

 private:
  CUserInterface* previous_;
  std::string text_;
};

// The track model with the resolutions of its segments made visible, to
// name the one a block too large is meshed with.
class CCheckedModel : public CN5PtfDb {
 public:
  // Whether the rows of segment s are set by its turn (the arc resolution)
  // rather than by its length, as LongSteps picks them.
  bool RowsByTurn(const CN5ObjSg& sg) const {
    const double arcRes = sg.arcRes > 0 ? sg.arcRes : arcResolution;
    const double longRes = sg.longRes > 0 ? sg.longRes : longResolution;
    const double byArc = arcRes > 0 ? std::fabs(sg.sweep) / arcRes : 0;
    const double byLength = longRes > 0 ? sg.length / longRes : 0;
    return byArc > byLength;
  }
  double DetailCell() const { return DetailCellSize(); }
};

// Angle in degrees brought into (-180, 180].
double WrapDegrees(double a) {
  a = std::fmod(a, 360.0);
  if (a > 180) a -= 360;
  if (a <= -180) a += 360;
  return a;
}

// Surface code as the track model keeps it (see FinishTractionTextures).
int ReducedGrip(int grip) {
  if (grip != 12) grip %= 10;
  return std::max(grip, 1);
}

class CChecker {
 public:
  CChecker(const TrkDsc& db, std::vector<CheckFinding>& out) : db_(db), out_(out) {}

  void Add(CheckSeverity s, const char* table, int row, int section, std::string message) {
    out_.push_back({s, table, row, section, std::move(message)});
  }
  void Error(const char* table, int row, int section, std::string message) {
    Add(CheckSeverity::Error, table, row, section, std::move(message));
  }
  void Warning(const char* table, int row, int section, std::string message) {
    Add(CheckSeverity::Warning, table, row, section, std::move(message));
  }

  // The columns a row must hold for the track build to read it.
  bool Required(const CDataRow& row, std::initializer_list<int> columns, const char* table, int rowNo,
                int section) {
    std::string missing;
    for (int c : columns)
      if (row.IsNull(c)) {
        if (!missing.empty()) missing += ", ";
        missing += row.Table().Column(c).name;
      }
    if (missing.empty()) return true;
    Error(table, rowNo, section,
          StrFormat("the row has no value for %s, so the track cannot be built from this row", missing.c_str()));
    ++refused_;
    return false;
  }

  // Reports numbers that are not finite or lie far off; true when any is
  // not finite.
  bool Numbers();
  void RefusedRows();
  void Sections();
  void Textures();
  void MaterialMaps(const std::string& descriptionPath);
  void Model();

  // The bytes of mesh records the export blocks were counted at; -1 when
  // the track could not be built.
  double meshBytes = -1;

 private:
  void RefusedBumpDefs();
  void RefusedSectionRows(int s);
  // What Textures has found so far: the material names, and the grips and
  // textures already reported (each is reported once).
  struct TextureFindings {
    std::set<std::string> materials;
    std::set<int> reportedGrips;
    std::set<std::string> reportedTextures;
  };
  void TextureHasMaterial(TextureFindings& found, const std::string& tex, int row, int section);
  void NoTextureEntry(TextureFindings& found, int grip, bool wall, int row, int section);
  void BandTextures(TextureFindings& found, int grip, int index, int row, int section);
  void WallTextures(TextureFindings& found, int grip, int index, int row, int section);
  void BlockSizes(CCheckedModel& model);
  void Placement(CCheckedModel& model, double length);
  void NumbersOfRow(const CDataRow& row, int rowNo, int section, const std::vector<std::vector<int>>& far);

  int SectionOf(int segment) const {
    return segment >= 0 && segment < static_cast<int>(segmentSection_.size())
               ? segmentSection_[static_cast<size_t>(segment)]
               : -1;
  }
  // The resolution a section is meshed with, and where it comes from: the
  // section's last Mesh row that sets it, else the TrackSummary.
  std::string Resolution(int section, int column, double value, const char* unit) const;
  void BudgetError(CCheckedModel& model, const GlBlockCount& largest, double faces, double bytes);
  void BlockFileNames(CCheckedModel& model);

  const TrkDsc& db_;
  std::vector<CheckFinding>& out_;
  int refused_ = 0;
  std::vector<int> segmentSection_;  // section index of each segment the build makes
};

// Columns holding an offset across the track or a height, in metres, and
// a bool column that, when true, makes the value a world position instead.
struct FarColumn {
  const char* table;
  const char* column;
  const char* unless;
};
constexpr FarColumn kFarColumns[] = {
    {"TrackSummary", "Z_Origin", nullptr},
    {"Traction", "Lat_Start", nullptr},
    {"Traction", "Lat_End", nullptr},
    {"Traction", "Height", nullptr},
    {"Traction", "HeightEnd", nullptr},
    {"Contour", "Latitude", nullptr},
    {"Contour", "Latitude_End", nullptr},
    {"Contour", "Z", nullptr},
    {"Contour", "Z_End", nullptr},
    {"PtfBumpRef", "lat_start", nullptr},
    {"PtfBumpRef", "lat_end", nullptr},
    {"PtfBumpScale", "lat_start", nullptr},
    {"PtfBumpScale", "lat_end", nullptr},
    {"TrackDetail", "latitude", nullptr},
    {"InfieldObj", "PeakHeight", nullptr},
    {"OutfieldObj", "WidthStart", nullptr},
    {"OutfieldObj", "WidthEnd", nullptr},
    {"OutfieldObj", "ElevationStart", nullptr},
    {"OutfieldObj", "ElevationEnd", nullptr},
    {"OutfieldObj", "PeakHeight", nullptr},
    {"VerticalObj", "LatStart", nullptr},
    {"VerticalObj", "LatEnd", nullptr},
    {"VerticalObj", "Elevation", nullptr},
    {"VerticalObj", "Height", nullptr},
    {"AIInfo", "StallsLatStart", nullptr},
    {"AIInfo", "StallsLatEnd", nullptr},
    {"AIInfo", "GridLat", nullptr},
    {"TSO", "Y", "WorldXYZ"},
    {"TSO", "Z", nullptr},
};

// Every number of every table, found through the schema: a value that is
// not finite (the XML forms NaN, INF and -INF read as such) makes nonsense
// of whatever is built from it, so it is an error; an offset or height of
// the columns above beyond CN5Ptf::kFarOffset is a warning. Rows are
// numbered as the other findings number them: the rows of a section (and
// of its traction rows) by their position there.
bool CChecker::Numbers() {
  const size_t before = out_.size();
  const CDataSet& ds = db_;
  // Per table: for each column, the column index of its "unless" flag, -1
  // for a plain far column, -2 for none.
  std::vector<std::vector<int>> far(static_cast<size_t>(ds.TableCount()));
  for (int t = 0; t < ds.TableCount(); ++t) far[static_cast<size_t>(t)].assign(ds.Table(t).ColumnCount(), -2);
  for (const FarColumn& f : kFarColumns) {
    const CDataTable* t = ds.FindTable(f.table);
    const int c = t ? t->FindColumn(f.column) : -1;
    if (c >= 0) far[static_cast<size_t>(t->Index())][static_cast<size_t>(c)] = f.unless ? t->FindColumn(f.unless) : -1;
  }
  const int sectionTable = TrkDsc::kTable_Section;
  for (int t = 0; t < ds.TableCount(); ++t) {
    const CDataTable& table = ds.Table(t);
    std::vector<int> parents;
    for (int r = 0; r < ds.RelationCount(); ++r)
      if (ds.Relation(r).childTable == t) parents.push_back(r);
    for (int i = 0; i < table.Count(); ++i) {
      const CDataRow& row = table.Row(i);
      // Rows of a child table are met under their parent rows.
      bool nested = false;
      for (int r : parents) nested = nested || row.ParentRow(r) != nullptr;
      if (!nested) NumbersOfRow(row, i, t == sectionTable ? i : -1, far);
    }
  }
  return std::any_of(out_.begin() + static_cast<ptrdiff_t>(before), out_.end(),
                     [](const CheckFinding& f) { return f.severity == CheckSeverity::Error; });
}

void CChecker::NumbersOfRow(const CDataRow& row, int rowNo, int section, const std::vector<std::vector<int>>& far) {
  const CDataTable& table = row.Table();
  const std::vector<int>& farOf = far[static_cast<size_t>(table.Index())];
  for (int c = 0; c < table.ColumnCount(); ++c) {
    const ColumnSchema& col = table.Column(c);
    if ((col.type != ColType::F64 && col.type != ColType::F32) || row.IsNull(c)) continue;
    const double v = row.Value(c).d;
    if (!std::isfinite(v)) {
      Error(table.Name(), rowNo, section,
            StrFormat("%s is %s: every number of a description must be finite", col.name,
                      FormatLexical(col.type, row.Value(c)).c_str()));
      continue;
    }
    const int unless = farOf[static_cast<size_t>(c)];
    if (unless == -2 || std::fabs(v) <= CN5Ptf::kFarOffset) continue;
    if (unless >= 0 && !row.IsNull(unless) && row.Value(unless).i != 0) continue;
    Warning(table.Name(), rowNo, section,
            StrFormat("%s is %g m: no part of a track lies more than %g km across or above it, so this is most "
                      "likely a slip",
                      col.name, v, CN5Ptf::kFarOffset / 1000));
  }
  const CDataSet& ds = db_;
  for (int r = 0; r < ds.RelationCount(); ++r) {
    if (ds.Relation(r).parentTable != table.Index()) continue;
    int k = 0;
    for (const CDataRow* child : row.ChildRows(r)) NumbersOfRow(*child, k++, section, far);
  }
}

void CChecker::RefusedRows() {
  using T = TrkDsc;
  if (db_.TrackSummary.Count() > 0)
    Required(*db_.TrackSummary[0].Raw(),
             {T::kTrackSummary_StartAngle, T::kTrackSummary_X_Origin, T::kTrackSummary_Y_Origin,
              T::kTrackSummary_Z_Origin},
             "TrackSummary", 0, -1);
  for (int i = 0; i < db_.TractionTex.Count(); ++i)
    Required(*db_.TractionTex[i].Raw(), {T::kTractionTex_Grip, T::kTractionTex_Tex}, "TractionTex", i, -1);
  RefusedBumpDefs();
  for (int s = 0; s < db_.Section.Count(); ++s) RefusedSectionRows(s);
  for (int i = 0; i < db_.TrackDetail.Count(); ++i)
    Required(*db_.TrackDetail[i].Raw(),
             {T::kTrackDetail_longtiude, T::kTrackDetail_latitude, T::kTrackDetail_length, T::kTrackDetail_width,
              T::kTrackDetail_angle, T::kTrackDetail_u, T::kTrackDetail_v, T::kTrackDetail_tex},
             "TrackDetail", i, -1);
  for (int i = 0; i < db_.VerticalObj.Count(); ++i)
    Required(*db_.VerticalObj[i].Raw(),
             {T::kVerticalObj_Title, T::kVerticalObj_LongSart, T::kVerticalObj_LatStart, T::kVerticalObj_LongEnd,
              T::kVerticalObj_LatEnd, T::kVerticalObj_Elevation, T::kVerticalObj_Height, T::kVerticalObj_Material},
             "VerticalObj", i, -1);
  for (int i = 0; i < db_.InfieldObj.Count(); ++i)
    Required(*db_.InfieldObj[i].Raw(),
             {T::kInfieldObj_Title, T::kInfieldObj_Start, T::kInfieldObj_End, T::kInfieldObj_ExcludeStart,
              T::kInfieldObj_ExcludeEnd, T::kInfieldObj_Material},
             "InfieldObj", i, -1);
  for (int i = 0; i < db_.OutfieldObj.Count(); ++i)
    Required(*db_.OutfieldObj[i].Raw(),
             {T::kOutfieldObj_Title, T::kOutfieldObj_Start, T::kOutfieldObj_End, T::kOutfieldObj_WidthStart,
              T::kOutfieldObj_WidthEnd, T::kOutfieldObj_ElevationStart, T::kOutfieldObj_ElevationEnd,
              T::kOutfieldObj_Material},
             "OutfieldObj", i, -1);
}

// Bump definitions are placed by index: each must name a place at or
// before the end of those placed so far.
void CChecker::RefusedBumpDefs() {
  using T = TrkDsc;
  int bumpDefs = 0;
  for (int i = 0; i < db_.PtfBumpDef.Count(); ++i) {
    TrkDsc::PtfBumpDefRow r = db_.PtfBumpDef[i];
    if (!Required(*r.Raw(),
                  {T::kPtfBumpDef_index, T::kPtfBumpDef_size1, T::kPtfBumpDef_size2, T::kPtfBumpDef_size3,
                   T::kPtfBumpDef_size4, T::kPtfBumpDef_distance1, T::kPtfBumpDef_distance2,
                   T::kPtfBumpDef_distance3, T::kPtfBumpDef_distance4},
                  "PtfBumpDef", i, -1))
      continue;
    if (r.index() < 0 || r.index() > bumpDefs) {
      Error("PtfBumpDef", i, -1,
            StrFormat("the bump definition's index %lld is not between 0 and %d, the definitions placed before it",
                      static_cast<long long>(r.index()), bumpDefs));
      ++refused_;
      continue;
    }
    ++bumpDefs;
  }
}

// A section and the rows under it; the segments the section makes are
// counted on the way.
void CChecker::RefusedSectionRows(int s) {
  using T = TrkDsc;
  TrkDsc::SectionRow sec = db_.Section[s];
  if (!Required(*sec.Raw(), {T::kSection_Type, T::kSection_Length, T::kSection_Angle_Change}, "Section", s, s))
    return;
  int k = 0;
  for (const TrkDsc::TractionRow& t : sec.GetTractionRows()) {
    Required(*t.Raw(), {T::kTraction_Lat_Start, T::kTraction_Grip, T::kTraction_TextureIndex}, "Traction", k, s);
    int c = 0;
    for (const TrkDsc::TractionTexCoordRow& tc : t.GetTractionTexCoordRows())
      Required(*tc.Raw(), {T::kTractionTexCoord_Surface, T::kTractionTexCoord_UCoord, T::kTractionTexCoord_VCoord},
               "TractionTexCoord", c++, s);
    ++k;
  }
  const double length = sec.Length(), split = sec.SplitOr(0.0);
  const bool isSplit = split / length > 0 && split / length < 1;
  segmentSection_.push_back(s);
  if (isSplit) segmentSection_.push_back(s);
  k = 0;
  if (!isSplit)  // a split section's contours are not read
    for (const TrkDsc::ContourRow& c : sec.GetContourRows())
      Required(*c.Raw(),
               {T::kContour_Latitude, T::kContour_Z, T::kContour_Grad, T::kContour_Latitude_End, T::kContour_Z_End,
                T::kContour_Grad_End},
               "Contour", k++, s);
  k = 0;
  for (const TrkDsc::PtfBumpRefRow& b : sec.GetPtfBumpRefRows())
    Required(*b.Raw(), {T::kPtfBumpRef_index, T::kPtfBumpRef_lat_start, T::kPtfBumpRef_lat_end}, "PtfBumpRef", k++,
             s);
  k = 0;
  for (const TrkDsc::PtfBumpScaleRow& b : sec.GetPtfBumpScaleRows())
    Required(*b.Raw(),
             {T::kPtfBumpScale_lat_start, T::kPtfBumpScale_lat_end, T::kPtfBumpScale_scale_start,
              T::kPtfBumpScale_scale_end},
             "PtfBumpScale", k++, s);
}

void CChecker::Sections() {
  struct Edge {
    double start, end;
    int grip, row;
  };
  std::vector<Edge> bands, walls;
  for (int s = 0; s < db_.Section.Count(); ++s) {
    TrkDsc::SectionRow sec = db_.Section[s];
    // A value that is not finite has been reported with the other numbers.
    if (!sec.IsLengthNull() && sec.Length() <= 0)
      Error("Section", s, s, StrFormat("the section has no length (%g m)", sec.Length()));
    if (!sec.IsTypeNull() && sec.Type() == 1 && !sec.IsAngle_ChangeNull() && sec.Angle_Change() == 0)
      Error("Section", s, s, "the arc turns by 0 degrees: an arc needs a heading change");

    // Bands must be listed from right to left: each edge at or left of the
    // one before it, at the start and at the end of the section.
    bands.clear();
    walls.clear();
    int k = 0;
    for (const TrkDsc::TractionRow& t : sec.GetTractionRows()) {
      const int row = k++;
      if (t.IsLat_StartNull() || t.IsGripNull()) continue;
      const Edge e{t.Lat_Start(), t.Lat_EndOr(t.Lat_Start()), t.Grip(), row};
      (e.grip < 2048 ? bands : walls).push_back(e);
    }
    for (size_t i = 1; i < bands.size(); ++i) {
      const Edge &a = bands[i - 1], &b = bands[i];
      if (b.start < a.start || b.end < a.end)
        Error("Traction", b.row, s,
              StrFormat("the band edge at %g m (end %g m) comes after the edge at %g m (end %g m): band edges must "
                        "go from right to left without crossing",
                        b.start, b.end, a.start, a.end));
    }
    // A wall that stands on a drivable surface (between an edge of grip 0 to
    // 3 and the next edge) blocks the track.
    for (const Edge& w : walls) {
      for (size_t i = 0; i + 1 < bands.size(); ++i) {
        if (ReducedGrip(bands[i].grip) > 3) continue;
        const Edge &r = bands[i], &l = bands[i + 1];
        const bool atStart = w.start > r.start + 0.01 && w.start < l.start - 0.01;
        const bool atEnd = w.end > r.end + 0.01 && w.end < l.end - 0.01;
        if (atStart || atEnd) {
          Warning("Traction", w.row, s,
                  StrFormat("the wall at %g m (end %g m) stands on the drivable surface between the band edges at "
                            "%g m and %g m",
                            w.start, w.end, r.start, l.start));
          break;
        }
      }
    }
  }
}

void CChecker::Textures() {
  TextureFindings found;
  for (int i = 0; i < db_.Material.Count(); ++i) {
    TrkDsc::MaterialRow m = db_.Material[i];
    if (!m.IsMateralNameNull() && !m.IsMapNameNull()) found.materials.insert(ToLower(m.MateralName()));
  }
  // Rows with the same grip and texture index get the same answer, so each
  // pair is looked up once (a long track repeats a handful of pairs).
  std::set<std::pair<int, int>> seen;
  for (int s = 0; s < db_.Section.Count(); ++s) {
    int k = 0;
    for (const TrkDsc::TractionRow& t : db_.Section[s].GetTractionRows()) {
      const int row = k++;
      if (t.IsGripNull()) continue;
      const int grip = t.Grip();
      const int index = t.TextureIndexOr(0);
      if (!seen.insert({grip, index}).second) continue;
      if (grip < 2048)
        BandTextures(found, grip, index, row, s);
      else
        WallTextures(found, grip, index, row, s);
    }
  }
}

void CChecker::TextureHasMaterial(TextureFindings& found, const std::string& tex, int row, int section) {
  if (tex.empty() || found.materials.count(ToLower(tex)) || !found.reportedTextures.insert(ToLower(tex)).second)
    return;
  Error("Traction", row, section,
        StrFormat("the texture \"%s\" used by this row has no Material row, so the game finds no map for it",
                  tex.c_str()));
}

void CChecker::NoTextureEntry(TextureFindings& found, int grip, bool wall, int row, int section) {
  if (!found.reportedGrips.insert(grip).second) return;
  Error("Traction", row, section,
        StrFormat("grip %d has no %s row, so its surface gets no texture of the track's own", grip,
                  wall ? "WallTex" : "TractionTex"));
}

// The textures a band of this grip and texture index is given: the
// TractionTex rows of the grip for that index, else all of the grip's.
void CChecker::BandTextures(TextureFindings& found, int grip, int index, int row, int section) {
  std::vector<std::string> used, all;
  for (int i = 0; i < db_.TractionTex.Count(); ++i) {
    TrkDsc::TractionTexRow e = db_.TractionTex[i];
    if (e.IsGripNull() || e.Grip() != grip) continue;
    const std::string tex = e.TexOr(std::string());
    all.push_back(tex);
    if (e.IsTextureIndexNull() || e.TextureIndex() < 0 || e.TextureIndex() == index) used.push_back(tex);
  }
  if (all.empty()) {
    NoTextureEntry(found, grip, false, row, section);
    return;
  }
  for (const std::string& tex : used.empty() ? all : used) TextureHasMaterial(found, tex, row, section);
}

// The textures of a wall, as the WallTex rows of its grip give them.
void CChecker::WallTextures(TextureFindings& found, int grip, int index, int row, int section) {
  // A wall with a catch fence is two walls: the fence and the wall.
  std::vector<std::pair<int, int>> parts;
  if (grip == 2070 || grip == 2071)
    parts = {{2053, grip == 2070 ? 2060 : 2061}, {2049, grip == 2070 ? 2060 : 2061}};
  else
    parts = {{grip, index}};
  for (auto [g, idx] : parts) {
    std::vector<TrkDsc::WallTexRow> used, all;
    for (int i = 0; i < db_.WallTex.Count(); ++i) {
      TrkDsc::WallTexRow e = db_.WallTex[i];
      if (e.Grip() != g) continue;
      all.push_back(e);
      if (e.IsTextureIndexNull() || e.TextureIndex() < 0 || e.TextureIndex() == idx || e.TextureIndex() == idx % 100)
        used.push_back(e);
    }
    if (all.empty()) {
      NoTextureEntry(found, g, true, row, section);
      continue;
    }
    for (const TrkDsc::WallTexRow& e : used.empty() ? all : used) {
      if (!e.IsTexLeftNull()) TextureHasMaterial(found, e.TexLeft(), row, section);
      if (!e.IsTexRightNull()) TextureHasMaterial(found, e.TexRight(), row, section);
      if (!e.IsTexTopNull()) TextureHasMaterial(found, e.TexTop(), row, section);
      if (!e.IsTexEndNull()) TextureHasMaterial(found, e.TexEnd(), row, section);
    }
  }
}

void CChecker::MaterialMaps(const std::string& descriptionPath) {
  if (descriptionPath.empty()) return;
  std::string folder = FileString::Path(descriptionPath);
  std::replace(folder.begin(), folder.end(), '\\', '/');
  for (int i = 0; i < db_.Material.Count(); ++i) {
    TrkDsc::MaterialRow m = db_.Material[i];
    if (m.IsMapNameNull() || m.MapName().empty()) continue;
    std::string map = m.MapName();
    std::replace(map.begin(), map.end(), '\\', '/');
    // A map in a subfolder is looked up there; the folder parts keep their case.
    const size_t slash = map.rfind('/');
    const bool absolute = map.front() == '/' || (map.size() > 1 && map[1] == ':');
    const std::string where = absolute ? map.substr(0, slash + 1)
                                       : folder + (slash == std::string::npos ? "" : map.substr(0, slash + 1));
    const std::string name = slash == std::string::npos ? map : map.substr(slash + 1);
    if (FindFileNoCase(where, name).empty())
      Warning("Material", i, -1,
              StrFormat("the map file \"%s\" of material \"%s\" is not beside the description", m.MapName().c_str(),
                        m.MateralNameOr("").c_str()));
  }
}

void CChecker::Model() {
  CCheckedModel model;
  int built = 0;
  std::string shown;
  {
    CCollectingUI ui;
    built = CLapforge().PTFObjFromDataBase(db_, model, "");
    shown = ui.Text();
  }
  if (!built) {
    // A refused row has been named already; the build's own words are
    // needed only when nothing explained the failure.
    if (refused_ == 0) Error("Section", -1, -1, "the track cannot be built: " + shown);
    return;
  }
  const double length = model.GetTrackLength();
  const int segments = model.NoSegments(true);
  CN5ObjSg* first = model.GetSegObj(0);
  CN5ObjSg* last = model.GetSegObj(segments - 1);
  if (first && last) {
    const double gap = std::hypot(last->endX - first->startX, last->endY - first->startY);
    const double heading = WrapDegrees((last->endAngle - first->startAngle) * _rad_to_ang);
    double turn = 0;
    for (int s = 0; s < db_.Section.Count(); ++s) turn += db_.Section[s].Angle_ChangeOr(0.0);
    // A loop: the turns add up to whole turns, or the end comes back near
    // the start. A track that runs off elsewhere is open and is not judged.
    const double offTurn = std::fabs(turn - 360.0 * std::round(turn / 360.0));
    const bool loop = (std::fabs(turn) > 180 && offTurn < 30) || gap < 0.05 * length;
    if (loop && (gap > CTrackCheck::kGapTolerance || std::fabs(heading) > CTrackCheck::kHeadingTolerance)) {
      const int lastSection = db_.Section.Count() - 1;
      Error("Section", lastSection, lastSection,
            StrFormat("the track's end misses its start by %.3f m, with the heading %.2f degrees off", gap,
                      // A heading that rounds to nothing is not "-0.00".
                      std::round(heading * 100) / 100 + 0.0));
    }
  }
  BlockSizes(model);
  Placement(model, length);
  BlockFileNames(model);
}

// The folder exports write each block under a file title made safe and
// unique (BlockFileTitles); every name that changes on the way is named.
void CChecker::BlockFileNames(CCheckedModel& model) {
  const std::vector<std::string> names = CLapforge::BlockNames(model);
  const std::vector<std::string> titles = BlockFileTitles(names);
  // The blocks come in CreateObjects' order: segments, details, then the
  // vertical, infield and outfield objects.
  const size_t segments = static_cast<size_t>(model.NoSegments(true));
  const size_t details = static_cast<size_t>(model.NoTrackDetails());
  const size_t vertical = model.verticalObjects.size(), infield = model.infieldObjects.size();
  for (size_t b = 0; b < names.size() && b < titles.size(); ++b) {
    if (names[b] == titles[b]) continue;
    const char* table = "OutfieldObj";
    size_t row = b - segments - details - vertical - infield;
    int section = -1;
    if (b < segments) {
      table = "Section";
      row = b < segmentSection_.size() ? static_cast<size_t>(segmentSection_[b]) : b;
      section = static_cast<int>(row);
    } else if (b < segments + details) {
      table = "TrackDetail";
      row = b - segments;
    } else if (b < segments + details + vertical) {
      table = "VerticalObj";
      row = b - segments - details;
    } else if (b < segments + details + vertical + infield) {
      table = "InfieldObj";
      row = b - segments - details - vertical;
    }
    Warning(table, static_cast<int>(row), section,
            StrFormat("the block name \"%s\" is written as \"%s\"", names[b].c_str(), titles[b].c_str()));
  }
}

// A game object indexes its vertices in 16 bits: the writers split a larger
// one, so it is worth a warning. A mesh beyond the budget is an error,
// found by counting, before anything is meshed.
void CChecker::BlockSizes(CCheckedModel& model) {
  const std::vector<GlBlockCount> blocks = model.CountGlBlocks();
  double faces = 0, bytes = 0;
  const GlBlockCount* largest = nullptr;
  for (const GlBlockCount& b : blocks) {
    faces += static_cast<double>(b.Faces());
    bytes += b.Bytes();
    if (!largest || b.Faces() > largest->Faces()) largest = &b;
    const GlMaterialCount* most = nullptr;
    for (const GlMaterialCount& m : b.materials)
      if (!most || m.points > most->points) most = &m;
    if (!most || most->points <= CTrackCheck::kVertexLimit) continue;
    const char* table = "Section";
    int row = b.index, section = -1;
    std::string name;
    switch (b.kind) {
      case GlBlockCount::Kind::Segment:
        row = section = SectionOf(b.index);
        name = StrFormat("TrackObj%3.3d", b.index);
        break;
      case GlBlockCount::Kind::Detail:
        table = "TrackDetail";
        name = StrFormat("Trd%3.3d", b.index);
        break;
      case GlBlockCount::Kind::Vertical:
        table = "VerticalObj";
        name = model.verticalObjects[static_cast<size_t>(b.index)].title;
        break;
      case GlBlockCount::Kind::Infield:
        table = "InfieldObj";
        name = model.infieldObjects[static_cast<size_t>(b.index)].title;
        break;
      case GlBlockCount::Kind::Outfield:
        table = "OutfieldObj";
        name = model.outfieldObjects[static_cast<size_t>(b.index)].title;
        break;
    }
    const long long objects = (most->points + CTrackCheck::kVertexLimit - 1) / CTrackCheck::kVertexLimit;
    Warning(table, row, section,
            StrFormat("the block %s would have %lld vertices in one game object (material \"%s\"), more than the "
                      "%lld a game object can hold: it will be split into %lld objects",
                      name.c_str(), most->points, most->material.c_str(), CTrackCheck::kVertexLimit, objects));
  }
  meshBytes = bytes;
  if (largest && bytes > CTrackCheck::kMeshBudget) BudgetError(model, *largest, faces, bytes);
}

std::string CChecker::Resolution(int section, int column, double value, const char* unit) const {
  const char* name = TrkDsc::kMesh_LateralResolution == column ? "LateralResolution"
                     : TrkDsc::kMesh_ArcResolution == column   ? "ArcResolution"
                                                               : "LongitudinalResolution";
  // The build takes the last Mesh row that gives a value; a value not
  // above 0 leaves the track's.
  int found = -1, k = 0;
  double given = 0;
  if (section >= 0 && section < db_.Section.Count())
    for (const TrkDsc::MeshRow& m : db_.Section[section].GetMeshRows()) {
      if (!m.Raw()->IsNull(column)) found = k, given = m.Raw()->Value(column).d;
      ++k;
    }
  if (found >= 0 && given > 0) return StrFormat("%s %g %s of its Mesh row %d", name, value, unit, found);
  return StrFormat("%s %g %s of the TrackSummary", name, value, unit);
}

void CChecker::BudgetError(CCheckedModel& model, const GlBlockCount& largest, double faces, double bytes) {
  std::string text = StrFormat(
      "the track would be meshed into %.0f faces, about %s of mesh, more than the %s an export may make: ", faces,
      ByteFigure(bytes).c_str(), ByteFigure(CTrackCheck::kMeshBudget).c_str());
  const long long most = largest.Faces();
  const size_t i = static_cast<size_t>(largest.index);
  switch (largest.kind) {
    case GlBlockCount::Kind::Segment: {
      const int section = SectionOf(largest.index);
      const CN5ObjSg* sg = model.GetSegObj(largest.index);
      const double latRes = sg && sg->latRes > 0 ? sg->latRes : model.latResolution;
      std::string along;
      if (sg && model.RowsByTurn(*sg))
        along = Resolution(section, TrkDsc::kMesh_ArcResolution,
                           (sg->arcRes > 0 ? sg->arcRes : model.arcResolution) * _rad_to_ang, "degrees");
      else
        along = Resolution(section, TrkDsc::kMesh_LongitudinalResolution,
                           sg && sg->longRes > 0 ? sg->longRes : model.longResolution, "m");
      text += StrFormat(
          "the largest block is this section's, %lld faces: %lld rows along at %s and %lld cells across at %s", most,
          largest.rows, along.c_str(), largest.across,
          Resolution(section, TrkDsc::kMesh_LateralResolution, latRes, "m").c_str());
      Error("Section", section, section, text);
      return;
    }
    case GlBlockCount::Kind::Detail:
      text += StrFormat(
          "the largest block is this detail's, %lld faces: %lld by %lld cells of %g m (its length and width over "
          "the smaller of the track's LongitudinalResolution and LateralResolution, at least 0.5 m)",
          most, largest.rows, largest.across, model.DetailCell());
      Error("TrackDetail", largest.index, -1, text);
      return;
    case GlBlockCount::Kind::Infield:
      text +=
          StrFormat("the largest block is this object's, %lld faces: one every %g m (its TilingScale) along %lld steps",
                    most, model.infieldObjects[i].tilingScale, largest.rows);
      Error("InfieldObj", largest.index, -1, text);
      return;
    case GlBlockCount::Kind::Outfield:
      text +=
          StrFormat("the largest block is this object's, %lld faces: two every %g m (its TilingScale) along %lld steps",
                    most, model.outfieldObjects[i].tilingScale, largest.rows);
      Error("OutfieldObj", largest.index, -1, text);
      return;
    case GlBlockCount::Kind::Vertical:
      Error("VerticalObj", largest.index, -1, text + StrFormat("the largest block is this object's, %lld faces", most));
      return;
  }
}

void CChecker::Placement(CCheckedModel& model, double length) {
  auto outside = [length](double lng) { return !(lng >= 0 && lng <= length); };
  for (int i = 0; i < db_.AIInfo.Count(); ++i) {
    TrkDsc::AIInfoRow r = db_.AIInfo[i];
    const std::pair<const char*, bool> columns[] = {{"MergePitIn", r.IsMergePitInNull()},
                                                    {"MergePitOut", r.IsMergePitOutNull()},
                                                    {"StallsLongStart", r.IsStallsLongStartNull()},
                                                    {"StallsLongEnd", r.IsStallsLongEndNull()}};
    const double values[] = {r.MergePitInOr(0.0), r.MergePitOutOr(0.0),
                             r.StallsLongStartOr(0.0),
                             r.StallsLongEndOr(0.0)};
    for (size_t c = 0; c < 4; ++c)
      if (!columns[c].second && outside(values[c]))
        Warning("AIInfo", i, -1,
                StrFormat("the pit lane's %s at %g m lies outside the track, which runs from 0 to %.3f m",
                          columns[c].first, values[c], length));
  }
  for (int i = 0; i < db_.TrackDetail.Count(); ++i) {
    TrkDsc::TrackDetailRow r = db_.TrackDetail[i];
    if (!r.IslongtiudeNull() && outside(r.longtiude()))
      Warning("TrackDetail", i, -1,
              StrFormat("the detail at %g m lies beyond the track, which runs from 0 to %.3f m", r.longtiude(), length));
  }
  for (int i = 0; i < db_.TSO.Count(); ++i) {
    TrkDsc::TSORow r = db_.TSO[i];
    if (r.WorldXYZ()) {
      double lng, lat, dz;
      if (!model.GetLatPos(r.X(), r.Y(), r.Z(), lng, lat, dz))
        Warning("TSO", i, -1,
                StrFormat("the object \"%s\" at (%g, %g) lies beside no part of the track", r.Name().c_str(), r.X(),
                          r.Y()));
    } else if (outside(r.X())) {
      Warning("TSO", i, -1,
              StrFormat("the object \"%s\" at %g m lies beyond the track, which runs from 0 to %.3f m",
                        r.Name().c_str(), r.X(), length));
    }
  }
}

void AppendJsonString(std::string& out, const std::string& s) {
  out += '"';
  for (unsigned char c : s) {
    if (const char* escape = BackslashEscape(c))
      out += escape;
    else if (c < 0x20)
      out += StrFormat("\\u%04x", c);
    else
      out += static_cast<char>(c);
  }
  out += '"';
}

}  // namespace

std::vector<CheckFinding> CTrackCheck::Check(const TrkDsc& db, const std::string& descriptionPath) {
  std::vector<CheckFinding> findings;
  CChecker checker(db, findings);
  const bool nonFinite = checker.Numbers();
  checker.RefusedRows();
  checker.Sections();
  checker.Textures();
  checker.MaterialMaps(descriptionPath);
  // A track built from numbers that are not finite is not worth judging:
  // those numbers are to be mended first.
  if (!nonFinite) {
    CWorkStep step("checking the track");
    checker.Model();
  }
  meshBytes_ = checker.meshBytes;
  // Errors first, each kind in description order.
  std::stable_sort(findings.begin(), findings.end(), [](const CheckFinding& a, const CheckFinding& b) {
    return a.severity == CheckSeverity::Error && b.severity != CheckSeverity::Error;
  });
  return findings;
}

std::vector<CheckFinding> CTrackCheck::CheckFile(const std::string& xmlFile, bool* loaded) {
  std::unique_ptr<TrkDsc> db;
  std::string shown;
  {
    CCollectingUI ui;
    db = CLapforge().DataBaseFromXML(xmlFile);
    shown = ui.Text();
  }
  if (loaded) *loaded = db != nullptr;
  if (!db) return {{CheckSeverity::Error, "", -1, -1, "the description cannot be read: " + shown}};
  return Check(*db, xmlFile);
}

int CTrackCheck::ErrorCount(const std::vector<CheckFinding>& findings) {
  return static_cast<int>(std::count_if(findings.begin(), findings.end(),
                                        [](const CheckFinding& f) { return f.severity == CheckSeverity::Error; }));
}

std::string CTrackCheck::FormatLine(const CheckFinding& f) {
  std::string line = f.severity == CheckSeverity::Error ? "error: " : "warning: ";
  std::string where = f.table;
  if (f.row >= 0) where += StrFormat("%srow %d", where.empty() ? "" : " ", f.row);
  if (f.section >= 0 && f.table != "Section")
    where += StrFormat("%s section %d", f.row >= 0 ? " of" : where.empty() ? "" : " in", f.section);
  else if (f.section >= 0 && f.row != f.section)
    where += StrFormat(" (section %d)", f.section);
  if (!where.empty()) line += where + ": ";
  // One finding, one line: a message that holds line breaks (a build
  // failure's own words) has them joined.
  for (size_t i = 0; i < f.message.size(); ++i) {
    const char c = f.message[i];
    if (c != '\n' && c != '\r') {
      line += c;
      continue;
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    while (i + 1 < f.message.size() &&
           (f.message[i + 1] == '\n' || f.message[i + 1] == '\r' || f.message[i + 1] == ' '))
      ++i;
    if (i + 1 < f.message.size()) line += "; ";
  }
  return line;
}

std::string CTrackCheck::ToJson(const std::vector<CheckFinding>& findings) {
  std::string out = "[";
  for (size_t i = 0; i < findings.size(); ++i) {
    const CheckFinding& f = findings[i];
    out += i ? ",\n  {" : "\n  {";
    out += "\"severity\": ";
    AppendJsonString(out, f.severity == CheckSeverity::Error ? "error" : "warning");
    out += ", \"table\": ";
    AppendJsonString(out, f.table);
    out += f.row >= 0 ? StrFormat(", \"row\": %d", f.row) : std::string(", \"row\": null");
    out += f.section >= 0 ? StrFormat(", \"section\": %d", f.section) : std::string(", \"section\": null");
    out += ", \"message\": ";
    AppendJsonString(out, f.message);
    out += "}";
  }
  out += findings.empty() ? "]\n" : "\n]\n";
  return out;
}

}  // namespace lapforge
