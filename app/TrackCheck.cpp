// The track checker. The description is read row by row for what the track
// build would refuse or silently get wrong, then the track model is built
// exactly as the exports build it, and the model answers for the loop
// closure, the block sizes and where things are placed.
#include "app/TrackCheck.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <utility>

#include "app/Lapforge.h"
#include "app/MeshExportRoad.h"
#include "app/support/FileIO.h"
#include "app/support/FileString.h"
#include "app/support/TextFormat.h"
#include "app/support/UserInterface.h"
#include "description/TrkDsc.h"
#include "mesh/GlFaceArray.h"
#include "mesh/GlMaterialArray.h"
#include "mesh/GlMipArray.h"
#include "mesh/GlPointArray.h"
#include "ptf/N5PtfDb.h"

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

// The track model with the mesh counts of one segment made visible: an
// upper bound of the points its block can have, found without meshing.
class CCheckedModel : public CN5PtfDb {
 public:
  long long SegmentPointBound(int s) {
    CN5ObjSg* sg = GetSegObj(s);
    if (!sg) return 0;
    const long long steps = LongSteps(*sg);
    long long faces = 0;
    for (CN5Obj* o : sg->walls)
      if (auto* ws = dynamic_cast<CN5ObjWs*>(o); ws && ws->faces.size() >= 5) faces += 3 * steps + 2;
    for (int b = 0; b + 1 < sg->NoTractions(); ++b) {
      CN5ObjFs* band = sg->GetFsObj(b);
      if (!band || !SurfacePieces(*sg, *band, sg->GetFsObj(b + 1), pieceScratch_)) continue;
      for (const F_SInfo& p : pieceScratch_) faces += steps * LatCells(*sg, p);
    }
    return 4 * faces;  // a face has at most four points of its own
  }
};

// The vertices of the largest object a game writer would make from a block:
// one object per material (faces without one: per texture), each with the
// points its textured faces use.
long long LargestObject(const CGlFaceArray& faces, const CGlMaterialArray& materials, std::string& name) {
  std::vector<std::pair<int32_t, int32_t>> used;  // (object key, point)
  for (const CGlFace& f : faces) {
    if (f.GetUVCount() == 0) continue;
    const int32_t key = f.materialIndex >= 0 ? f.materialIndex : -2 - f.mipIndex;
    for (int c = 0; c < f.GetVertexCount(); ++c) used.emplace_back(key, f.vertices[c]);
  }
  std::sort(used.begin(), used.end());
  used.erase(std::unique(used.begin(), used.end()), used.end());
  long long best = 0;
  int32_t bestKey = -1;
  for (size_t i = 0; i < used.size();) {
    size_t j = i;
    while (j < used.size() && used[j].first == used[i].first) ++j;
    if (static_cast<long long>(j - i) > best) {
      best = static_cast<long long>(j - i);
      bestKey = used[i].first;
    }
    i = j;
  }
  name.clear();
  if (bestKey >= 0 && bestKey < materials.GetSize()) name = materials[bestKey].materialName;
  return best;
}

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

  void RefusedRows();
  void Sections();
  void Textures();
  void MaterialMaps(const std::string& descriptionPath);
  void Model();

 private:
  void BlockSizes(CCheckedModel& model);
  void Placement(CCheckedModel& model, double length);
  void BlockFileNames(CCheckedModel& model);

  const TrkDsc& db_;
  std::vector<CheckFinding>& out_;
  int refused_ = 0;
  std::vector<int> segmentSection_;  // section index of each segment the build makes
};

void CChecker::RefusedRows() {
  using T = TrkDsc;
  if (db_.TrackSummary.Count() > 0)
    Required(*db_.TrackSummary[0].Raw(),
             {T::kTrackSummary_StartAngle, T::kTrackSummary_X_Origin, T::kTrackSummary_Y_Origin,
              T::kTrackSummary_Z_Origin},
             "TrackSummary", 0, -1);
  for (int i = 0; i < db_.TractionTex.Count(); ++i)
    Required(*db_.TractionTex[i].Raw(), {T::kTractionTex_Grip, T::kTractionTex_Tex}, "TractionTex", i, -1);
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
  for (int s = 0; s < db_.Section.Count(); ++s) {
    TrkDsc::SectionRow sec = db_.Section[s];
    if (!Required(*sec.Raw(), {T::kSection_Type, T::kSection_Length, T::kSection_Angle_Change}, "Section", s, s))
      continue;
    int k = 0;
    for (const TrkDsc::TractionRow& t : sec.GetTractionRows()) {
      Required(*t.Raw(), {T::kTraction_Lat_Start, T::kTraction_Grip, T::kTraction_TextureIndex}, "Traction", k, s);
      int c = 0;
      for (const TrkDsc::TractionTexCoordRow& tc : t.GetTractionTexCoordRows())
        Required(*tc.Raw(), {T::kTractionTexCoord_Surface, T::kTractionTexCoord_UCoord, T::kTractionTexCoord_VCoord},
                 "TractionTexCoord", c++, s);
      ++k;
    }
    const double length = sec.Length(), split = sec.IsSplitNull() ? 0.0 : sec.Split();
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
      Required(*b.Raw(), {T::kPtfBumpRef_index, T::kPtfBumpRef_lat_start, T::kPtfBumpRef_lat_end}, "PtfBumpRef",
               k++, s);
    k = 0;
    for (const TrkDsc::PtfBumpScaleRow& b : sec.GetPtfBumpScaleRows())
      Required(*b.Raw(),
               {T::kPtfBumpScale_lat_start, T::kPtfBumpScale_lat_end, T::kPtfBumpScale_scale_start,
                T::kPtfBumpScale_scale_end},
               "PtfBumpScale", k++, s);
  }
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

void CChecker::Sections() {
  struct Edge {
    double start, end;
    int grip, row;
  };
  std::vector<Edge> bands, walls;
  for (int s = 0; s < db_.Section.Count(); ++s) {
    TrkDsc::SectionRow sec = db_.Section[s];
    if (!sec.IsLengthNull()) {
      const double length = sec.Length();
      if (!std::isfinite(length))
        Error("Section", s, s, "the section's length is not a number");
      else if (length <= 0)
        Error("Section", s, s, StrFormat("the section has no length (%g m)", length));
    }
    if (!sec.IsTypeNull() && sec.Type() == 1 && !sec.IsAngle_ChangeNull()) {
      const double turn = sec.Angle_Change();
      if (!std::isfinite(turn))
        Error("Section", s, s, "the arc's heading change is not a number");
      else if (turn == 0)
        Error("Section", s, s, "the arc turns by 0 degrees: an arc needs a heading change");
    }

    // Bands must be listed from right to left: each edge at or left of the
    // one before it, at the start and at the end of the section.
    bands.clear();
    walls.clear();
    int k = 0;
    for (const TrkDsc::TractionRow& t : sec.GetTractionRows()) {
      const int row = k++;
      if (t.IsLat_StartNull() || t.IsGripNull()) continue;
      const Edge e{t.Lat_Start(), t.IsLat_EndNull() ? t.Lat_Start() : t.Lat_End(), t.Grip(), row};
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
  std::set<std::string> materials;
  for (int i = 0; i < db_.Material.Count(); ++i) {
    TrkDsc::MaterialRow m = db_.Material[i];
    if (!m.IsMateralNameNull() && !m.IsMapNameNull()) materials.insert(ToLower(m.MateralName()));
  }
  std::set<int> reportedGrips;
  std::set<std::string> reportedTextures;
  auto textureHasMaterial = [&](const std::string& tex, int row, int section) {
    if (tex.empty() || materials.count(ToLower(tex)) || !reportedTextures.insert(ToLower(tex)).second) return;
    Error("Traction", row, section,
          StrFormat("the texture \"%s\" used by this row has no Material row, so the game finds no map for it",
                    tex.c_str()));
  };
  auto noEntry = [&](int grip, bool wall, int row, int section) {
    if (!reportedGrips.insert(grip).second) return;
    Error("Traction", row, section,
          StrFormat("grip %d has no %s row, so its surface gets no texture of the track's own", grip,
                    wall ? "WallTex" : "TractionTex"));
  };

  // Rows with the same grip and texture index get the same answer, so each
  // pair is looked up once (a long track repeats a handful of pairs).
  std::set<std::pair<int, int>> seen;
  for (int s = 0; s < db_.Section.Count(); ++s) {
    int k = 0;
    for (const TrkDsc::TractionRow& t : db_.Section[s].GetTractionRows()) {
      const int row = k++;
      if (t.IsGripNull()) continue;
      const int grip = t.Grip();
      const int index = t.IsTextureIndexNull() ? 0 : t.TextureIndex();
      if (!seen.insert({grip, index}).second) continue;
      if (grip < 2048) {
        std::vector<std::string> used, all;
        for (int i = 0; i < db_.TractionTex.Count(); ++i) {
          TrkDsc::TractionTexRow e = db_.TractionTex[i];
          if (e.IsGripNull() || e.Grip() != grip) continue;
          const std::string tex = e.IsTexNull() ? std::string() : e.Tex();
          all.push_back(tex);
          if (e.IsTextureIndexNull() || e.TextureIndex() < 0 || e.TextureIndex() == index) used.push_back(tex);
        }
        if (all.empty()) {
          noEntry(grip, false, row, s);
          continue;
        }
        for (const std::string& tex : used.empty() ? all : used) textureHasMaterial(tex, row, s);
        continue;
      }
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
          if (e.IsTextureIndexNull() || e.TextureIndex() < 0 || e.TextureIndex() == idx ||
              e.TextureIndex() == idx % 100)
            used.push_back(e);
        }
        if (all.empty()) {
          noEntry(g, true, row, s);
          continue;
        }
        for (const TrkDsc::WallTexRow& e : used.empty() ? all : used) {
          if (!e.IsTexLeftNull()) textureHasMaterial(e.TexLeft(), row, s);
          if (!e.IsTexRightNull()) textureHasMaterial(e.TexRight(), row, s);
          if (!e.IsTexTopNull()) textureHasMaterial(e.TexTop(), row, s);
          if (!e.IsTexEndNull()) textureHasMaterial(e.TexEnd(), row, s);
        }
      }
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
                        m.IsMateralNameNull() ? "" : m.MateralName().c_str()));
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
    for (int s = 0; s < db_.Section.Count(); ++s)
      if (!db_.Section[s].IsAngle_ChangeNull()) turn += db_.Section[s].Angle_Change();
    // A loop: the turns add up to whole turns, or the end comes back near
    // the start. A track that runs off elsewhere is open and is not judged.
    const double offTurn = std::fabs(turn - 360.0 * std::round(turn / 360.0));
    const bool loop = (std::fabs(turn) > 180 && offTurn < 30) || gap < 0.05 * length;
    if (loop && (gap > CTrackCheck::kGapTolerance || std::fabs(heading) > CTrackCheck::kHeadingTolerance)) {
      const int lastSection = db_.Section.Count() - 1;
      Error("Section", lastSection, lastSection,
            StrFormat("the track's end misses its start by %.3f m, with the heading %.2f degrees off", gap,
                      heading));
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

void CChecker::BlockSizes(CCheckedModel& model) {
  const int segments = model.NoSegments();
  auto report = [&](const char* table, int row, int section, const std::string& block, long long count,
                    const std::string& material) {
    Error(table, row, section,
          StrFormat("the block %s would have %lld vertices in one game object (material \"%s\"), more than the "
                    "%lld a game object can hold: raise the mesh resolutions or split the section",
                    block.c_str(), count, material.c_str(), CTrackCheck::kVertexLimit));
  };
  CGlMipArray textures;
  CGlMaterialArray materials;
  std::string material;
  for (int s = 0; s < segments; ++s) {
    if (model.SegmentPointBound(s) <= CTrackCheck::kVertexLimit) continue;
    CGlPointArray points;
    CGlFaceArray faces;
    model.GetGlFaces(s, points, faces, textures, materials);
    const long long n = LargestObject(faces, materials, material);
    const int section = s < static_cast<int>(segmentSection_.size()) ? segmentSection_[static_cast<size_t>(s)] : -1;
    if (n > CTrackCheck::kVertexLimit) report("Section", section, section, StrFormat("TrackObj%3.3d", s), n, material);
  }
  for (int i = 0; i < model.NoTrackDetails(); ++i) {
    CGlPointArray points;
    CGlFaceArray faces;
    model.GetGlTrackDetailFaces(i, points, faces, textures, materials);
    const long long n = LargestObject(faces, materials, material);
    if (n > CTrackCheck::kVertexLimit) report("TrackDetail", i, -1, StrFormat("Trd%3.3d", i), n, material);
  }
  auto scenery = [&](const char* table, int i, const std::string& title, auto make) {
    CGlPointArray points;
    CGlFaceArray faces;
    make(faces, points);
    const long long n = LargestObject(faces, materials, material);
    if (n > CTrackCheck::kVertexLimit) report(table, i, -1, title, n, material);
  };
  for (size_t i = 0; i < model.verticalObjects.size(); ++i)
    scenery("VerticalObj", static_cast<int>(i), model.verticalObjects[i].title,
            [&](CGlFaceArray& f, CGlPointArray& p) { model.CreateTreeObject(model.verticalObjects[i], f, p, materials); });
  for (size_t i = 0; i < model.infieldObjects.size(); ++i)
    scenery("InfieldObj", static_cast<int>(i), model.infieldObjects[i].title, [&](CGlFaceArray& f, CGlPointArray& p) {
      model.CreateInfieldObject(model.infieldObjects[i], f, p, materials);
    });
  for (size_t i = 0; i < model.outfieldObjects.size(); ++i)
    scenery("OutfieldObj", static_cast<int>(i), model.outfieldObjects[i].title,
            [&](CGlFaceArray& f, CGlPointArray& p) {
              model.CreateOutfieldObject(model.outfieldObjects[i], f, p, materials);
            });
}

void CChecker::Placement(CCheckedModel& model, double length) {
  auto outside = [length](double lng) { return !(lng >= 0 && lng <= length); };
  for (int i = 0; i < db_.AIInfo.Count(); ++i) {
    TrkDsc::AIInfoRow r = db_.AIInfo[i];
    const std::pair<const char*, bool> columns[] = {{"MergePitIn", r.IsMergePitInNull()},
                                                    {"MergePitOut", r.IsMergePitOutNull()},
                                                    {"StallsLongStart", r.IsStallsLongStartNull()},
                                                    {"StallsLongEnd", r.IsStallsLongEndNull()}};
    const double values[] = {r.IsMergePitInNull() ? 0.0 : r.MergePitIn(), r.IsMergePitOutNull() ? 0.0 : r.MergePitOut(),
                             r.IsStallsLongStartNull() ? 0.0 : r.StallsLongStart(),
                             r.IsStallsLongEndNull() ? 0.0 : r.StallsLongEnd()};
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
  checker.RefusedRows();
  checker.Sections();
  checker.Textures();
  checker.MaterialMaps(descriptionPath);
  checker.Model();
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
  return line + f.message;
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
