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
#include "support/UserInterface.h"

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

int PTFObjFromDataBase(const TrkDsc& db, CN5PtfDb& model, const std::string& outputPath) {
  CurrentRow at;
  int section = -1;
  const bool forPtf = !outputPath.empty();
  CWorkStep step("building the track");
  try {
    // 1. The summary.
    VARS_PTF_DB_SUMMARY summary;
    summary.arcRes = 5;
    summary.longRes = 15;
    if (db.TrackSummary.Count() > 0) {
      TrkDsc::TrackSummaryRow r = db.TrackSummary[0];
      at.Set("TrackSummary", r);
      summary.startAngle = r.StartAngle();
      summary.xOrigin = r.X_Origin();
      summary.yOrigin = r.Y_Origin();
      summary.zOrigin = r.Z_Origin();
      if (!r.IsNight_TrackNull()) summary.night = r.Night_Track() ? 1 : 0;
      if (!r.IsNS_AngleNull()) summary.nsAngle = r.NS_Angle();
      if (!r.IsAmbientNull()) summary.ambient = r.Ambient();
      if (!r.IsArcResolutionNull()) summary.arcRes = r.ArcResolution();
      if (!r.IsLongitudinalResolutionNull()) summary.longRes = r.LongitudinalResolution();
      if (!r.IsLateralResolutionNull()) summary.latRes = r.LateralResolution();
    }
    model.DbSetSummary(summary);

    // 2-5. Materials, texture tables and bump definitions.
    for (int i = 0; i < db.Material.Count(); ++i) {
      TrkDsc::MaterialRow r = db.Material[i];
      at.Set("Material", r);
      if (!r.IsMateralNameNull() && !r.IsMapNameNull())
        model.DbSetMaterial(r.MateralName(), r.MapName(), r.Transparency());
    }
    bool anyContourFlag = false;
    for (int i = 0; i < db.TractionTex.Count(); ++i) {
      TrkDsc::TractionTexRow r = db.TractionTex[i];
      at.Set("TractionTex", r);
      VARS_TRACK_TRACTION_TEX e;
      e.grip = r.Grip();
      if (!r.IsClampHintNull()) e.clampHint = static_cast<int16_t>(r.ClampHint());
      if (!r.IsGripOverrideNull()) e.gripOverride = r.GripOverride();
      if (!r.IsRaceTypeNull()) e.raceType = r.RaceType();
      if (!r.IsRepeatLengthNull()) e.repeatLength = r.RepeatLength();
      if (!r.IsRepeatWidthNull()) e.repeatWidth = r.RepeatWidth();
      if (!r.IsTextureIndexNull()) e.textureIndex = r.TextureIndex();
      if (!r.IsContourFlagNull()) {
        e.contourFlag = r.ContourFlag() ? 1 : 0;
        anyContourFlag = anyContourFlag || r.ContourFlag();
      }
      if (!r.IsR90Null()) e.r90 = r.R90() ? 1 : 0;
      e.tex = r.Tex();
      model.DbSetTractionTex(e);
    }
    for (int i = 0; i < db.WallTex.Count(); ++i) {
      TrkDsc::WallTexRow r = db.WallTex[i];
      at.Set("WallTex", r);
      VARS_TRACK_WALL_TEX e;
      e.grip = r.Grip();
      if (!r.IsGripOverrideNull()) e.gripOverride = r.GripOverride();
      if (!r.IsRaceTypeNull()) e.raceType = r.RaceType();
      if (!r.IsRepeatLengthNull()) e.repeatLength = r.RepeatLength();
      if (!r.IsTexEndNull()) e.texEnd = r.TexEnd();
      if (!r.IsTexLeftNull()) e.texLeft = r.TexLeft();
      if (!r.IsTexRightNull()) e.texRight = r.TexRight();
      if (!r.IsTexTopNull()) e.texTop = r.TexTop();
      if (!r.IsTextureIndexNull()) e.textureIndex = r.TextureIndex();
      if (!r.IsHeightNull()) e.height = r.Height();
      if (!r.IsWidthNull()) e.width = r.Width();
      if (!r.IsVerticalNull()) e.vertical = r.Vertical() ? 1 : 0;
      if (!r.IsCatchFenceNull()) e.catchFence = r.CatchFence();
      if (!r.IsRepeatModulusNull()) e.repeatModulus = r.RepeatModulus();
      if (!r.IsMinTexVNull()) e.minTexV = r.MinTexV();
      if (!r.IsMaxTexVNull()) e.maxTexV = r.MaxTexV();
      model.DbSetWallTex(e);
    }
    for (int i = 0; i < db.PtfBumpDef.Count(); ++i) {
      TrkDsc::PtfBumpDefRow r = db.PtfBumpDef[i];
      at.Set("PtfBumpDef", r);
      VARS_PTF_DB_BUMP_DEF d;
      d.sizes[0] = r.size1(), d.sizes[1] = r.size2(), d.sizes[2] = r.size3(), d.sizes[3] = r.size4();
      d.distances[0] = r.distance1(), d.distances[1] = r.distance2();
      d.distances[2] = r.distance3(), d.distances[3] = r.distance4();
      model.DbSetBumpDefs(IntValue(r.index(), "The PtfBumpDef index"), d);
    }

    // 6. The sections, each one segment or, when split, two.
    std::vector<TrkDsc::TractionRow> lastTractions;
    std::vector<TractionValues> values;
    std::vector<VARS_PTF_DB_CONTOUR> contours;
    for (section = 0; section < db.Section.Count(); ++section) {
      TrkDsc::SectionRow s = db.Section[section];
      VARS_PTF_DB_SECTION sec;
      for (const TrkDsc::MeshRow& m : s.GetMeshRows()) {
        at.Set("Mesh", m);
        if (!m.IsLongitudinalResolutionNull()) sec.longRes = m.LongitudinalResolution();
        if (!m.IsArcResolutionNull()) sec.arcRes = m.ArcResolution();
        if (!m.IsLateralResolutionNull()) sec.latRes = m.LateralResolution();
      }
      at.Set("Section", s);
      const double length = s.Length();
      const double angleChange = s.Angle_Change();
      sec.type = s.Type();
      const double split = s.IsSplitNull() ? 0.0 : s.Split();
      const double f = split / length;
      const bool isSplit = f > 0 && f < 1;

      // The section's bands and walls, or the previous section's.
      std::vector<TrkDsc::TractionRow> rows = s.GetTractionRows();
      if (rows.empty())
        rows = lastTractions;
      else
        lastTractions = rows;
      values.clear();
      for (const TrkDsc::TractionRow& t : rows) {
        at.Set("Traction", t);
        TractionValues v;
        v.straighten = !t.IsStraightenNull() && t.Straighten();
        v.height = t.IsHeightNull() ? 0.0 : t.Height();
        v.heightEnd = t.IsHeightEndNull() ? v.height : t.HeightEnd();
        v.width = t.IsWidthNull() ? 0.0 : t.Width();
        v.widthEnd = t.IsWidthEndNull() ? v.width : t.WidthEnd();
        v.latStart = t.Lat_Start();
        v.latEnd = t.IsLat_EndNull() ? v.latStart : t.Lat_End();
        for (const TrkDsc::TractionTexCoordRow& c : t.GetTractionTexCoordRows()) {
          at.Set("TractionTexCoord", c);
          v.coords.push_back({static_cast<uint8_t>(c.Surface()), c.UCoord(), c.VCoord()});
        }
        at.Set("Traction", t);
        v.grip = t.Grip();
        v.textureIndex = t.TextureIndex();
        values.push_back(std::move(v));
      }
      at.Set("Section", s);

      // Each segment gets its bands and walls before the next one is made,
      // so that wall textures run on from one to the next.
      const int parts = isSplit ? 2 : 1;
      int first = -1;
      for (int part = 0; part < parts; ++part) {
        const double share = !isSplit ? 1.0 : part == 0 ? f : 1 - f;
        sec.length = length * share;
        sec.angleChange = angleChange * share;
        at.Set("Section", s);
        const int seg = model.DbSetSection(sec);
        if (part == 0) first = seg;
        for (size_t k = 0; k < values.size(); ++k) {
          at.Set("Traction", rows[k]);
          if (!isSplit) {
            CreateTraction(model, seg, values[k]);
            continue;
          }
          // The boundary at the cut, interpolated; explicit coordinates no
          // longer fit either half.
          TractionValues half = values[k];
          half.coords.clear();
          auto cut = [&](double a, double b) { return a + f * (b - a); };
          const TractionValues& v = values[k];
          if (part == 0) {
            half.latEnd = cut(v.latStart, v.latEnd);
            half.widthEnd = cut(v.width, v.widthEnd);
            half.heightEnd = cut(v.height, v.heightEnd);
          } else {
            half.latStart = cut(v.latStart, v.latEnd);
            half.width = cut(v.width, v.widthEnd);
            half.height = cut(v.height, v.heightEnd);
          }
          CreateTraction(model, seg, half);
        }
        if (!isSplit) {
          contours.clear();
          for (const TrkDsc::ContourRow& c : s.GetContourRows()) {
            at.Set("Contour", c);
            contours.push_back({c.Latitude(), c.Z(), c.Grad(), c.Latitude_End(), c.Z_End(), c.Grad_End()});
          }
          model.DbSetContours(seg, contours);
        }
        for (const TrkDsc::PtfBumpRefRow& b : s.GetPtfBumpRefRows()) {
          at.Set("PtfBumpRef", b);
          model.DbSetBumpRef(seg, {b.lat_start(), b.lat_end(), IntValue(b.index(), "The PtfBumpRef index")});
        }
        for (const TrkDsc::PtfBumpScaleRow& b : s.GetPtfBumpScaleRows()) {
          at.Set("PtfBumpScale", b);
          model.DbSetBumpScale(seg, {b.lat_start(), b.lat_end(), b.scale_start(), b.scale_end()});
        }
        at.Set("Section", s);
        model.FinishTractionTextures(seg);
      }
      if (forPtf && anyContourFlag)
        model.BanksFromGrips(first);
      else
        model.BanksFromContours(first);
    }
    section = -1;
    at = CurrentRow();

    // 7. Bank lines for the segments that have none.
    model.MakeMissingBanks();

    // 8-9. Trackside objects and details.
    for (int i = 0; i < db.TSO.Count(); ++i) {
      TrkDsc::TSORow r = db.TSO[i];
      at.Set("TSO", r);
      VARS_PTF_DB_TSO t;
      t.name = r.Name();
      t.worldXYZ = r.WorldXYZ() ? 1 : 0;
      t.x = r.X(), t.y = r.Y(), t.z = r.Z();
      t.worldAngle = r.IsWorldAngleNull() ? 1 : (r.WorldAngle() ? 1 : 0);
      t.a = r.A(), t.b = r.B(), t.c = r.C();
      model.DbSetTso(t);
    }
    for (int i = 0; i < db.TrackDetail.Count(); ++i) {
      TrkDsc::TrackDetailRow r = db.TrackDetail[i];
      at.Set("TrackDetail", r);
      VARS_PTF_DB_DETAIL d;
      d.lng = r.longtiude();
      d.lat = r.latitude();
      d.length = r.length();
      d.width = r.width();
      d.angle = r.angle();
      d.tex = r.tex();
      d.u = r.u();
      d.v = r.v();
      model.DbSetDetails(d);
    }

    // 10. Scenery: object files beside the PTF, or lists for the meshers.
    if (forPtf) {
      const std::string folder = FileString::Path(outputPath);
      for (int i = 0; i < db.InfieldObj.Count(); ++i) {
        TrkDsc::InfieldObjRow r = db.InfieldObj[i];
        at.Set("InfieldObj", r);
        model.AddInfield(folder, r.Title(), 0.5, IntValue(r.Start(), "The InfieldObj Start"),
                         IntValue(r.End(), "The InfieldObj End"),
                         IntValue(r.ExcludeStart(), "The InfieldObj ExcludeStart"),
                         IntValue(r.ExcludeEnd(), "The InfieldObj ExcludeEnd"), "grass");
      }
      for (int i = 0; i < db.VerticalObj.Count(); ++i) {
        TrkDsc::VerticalObjRow r = db.VerticalObj[i];
        at.Set("VerticalObj", r);
        model.AddVerticalObject(folder, r.Title(), r.LongSart(), r.LatStart(), r.LongEnd(), r.LatEnd(), r.Height(),
                                r.Material());
      }
    } else {
      for (int i = 0; i < db.VerticalObj.Count(); ++i) {
        TrkDsc::VerticalObjRow r = db.VerticalObj[i];
        at.Set("VerticalObj", r);
        _vars_vertical_obj v;
        v.title = ToLower(r.Title());
        v.longStart = r.LongSart();
        v.latStart = r.LatStart();
        v.longEnd = r.LongEnd();
        v.latEnd = r.LatEnd();
        v.elevation = r.Elevation();
        v.height = r.Height();
        v.material = r.Material();
        model.verticalObjects.push_back(std::move(v));
      }
      for (int i = 0; i < db.InfieldObj.Count(); ++i) {
        TrkDsc::InfieldObjRow r = db.InfieldObj[i];
        at.Set("InfieldObj", r);
        _vars_infield_obj v;
        v.title = r.Title();
        v.left = r.Left() ? 1 : 0;
        v.start = r.Start();
        v.end = r.End();
        v.excludeStart = r.ExcludeStart();
        v.excludeEnd = r.ExcludeEnd();
        v.peakHeight = r.IsPeakHeightNull() ? 0.0f : r.PeakHeight();
        v.material = r.Material();
        v.tilingScale = r.IsTilingScaleNull() ? 10.0f : r.TilingScale();
        v.textureMappingScale = r.IsTextureMappingScaleNull() ? 10.0f : r.TextureMappingScale();
        model.infieldObjects.push_back(std::move(v));
      }
      for (int i = 0; i < db.OutfieldObj.Count(); ++i) {
        TrkDsc::OutfieldObjRow r = db.OutfieldObj[i];
        at.Set("OutfieldObj", r);
        _vars_outfield_obj v;
        v.title = r.Title();
        v.start = r.Start();
        v.end = r.End();
        v.widthStart = r.WidthStart();
        v.widthEnd = r.WidthEnd();
        v.elevationStart = r.ElevationStart();
        v.elevationEnd = r.ElevationEnd();
        v.peakHeight = r.IsPeakHeightNull() ? 0.0f : r.PeakHeight();
        v.material = r.Material();
        v.tilingScale = r.IsTilingScaleNull() ? 10.0f : r.TilingScale();
        v.textureMappingScale = r.IsTextureMappingScaleNull() ? 10.0f : r.TextureMappingScale();
        model.outfieldObjects.push_back(std::move(v));
      }
    }
  } catch (const std::exception& e) {
    UI().Message(ErrorText(e), "");
    UI().Message(RowError(at, section), "");
    return 0;
  }

  // 11. A track was built when it has a length.
  const double length = model.GetTrackLength();
  if (!(length > 0) || !std::isfinite(length)) {
    UI().Message("The description does not make a track: it has no sections with a length", "");
    return 0;
  }
  return 1;
}
