#include "tests/support/description/Descriptions.h"

#include <limits>

namespace lapforge {

void FillEveryTable(TrkDsc& ds) {
  const double inf = std::numeric_limits<double>::infinity();
  ds.TrackSummary.AddTrackSummaryRow("Test & <Track>", "comment", 1234.5, 0.767, 1.0, -2.0, 3.25, 90.0, 0.0, true, 0.5,
                                     15.0f, 4.0f, 5.0f);
  auto s0 = ds.Section.AddSectionRow(0, 0, 0.0, 100.0, 0.0, 0.0, 0.0, 0.0);
  auto s1 = ds.Section.AddSectionRow(1, 1, 100.0, 157.07963267948966, 0.0, 90.0, 100.0, 30.0);
  auto t0 = ds.Traction.AddTractionRow(-6.0, -6.5, 1, 0, false, 0.1f, 0.2f, 0.0f, 0.0f, s0);
  ds.TractionTexCoord.AddTractionTexCoordRow(0, 0.25f, 0.5f, t0);
  ds.TractionTexCoord.AddTractionTexCoordRow(2, 0.75f, 1.0f, t0);
  ds.Traction.AddTractionRow(15.0, 15.0, 2049, 3, true, 1.2f, 1.5f, 0.5f, 0.25f, s0);
  ds.Contour.AddContourRow(-16.0, 0.0, 0.01, -16.0, 1.0, 0.01, s0);
  ds.PtfBumpRef.AddPtfBumpRefRow(int64_t{1} << 40, -3.0f, 3.0f, s1);
  ds.PtfBumpScale.AddPtfBumpScaleRow(-3.0f, 3.0f, 1.0f, 0.5f, s1);
  ds.Mesh.AddMeshRow(10.0f, 5.0f, 2.0f, s1);
  ds.WallTex.AddWallTexRow(2049, 0, -1, 0, "twal01", "twal01", "twal02", "twal03", 0.5, 1.2, true, 0.0f, 1.0f, 0, 10.0,
                           1000, 0);
  ds.TractionTex.AddTractionTexRow(1, 0, -1, 0, "road01", 20.0, 5.0, 0, true, false, 0);
  ds.Material.AddMaterialRow("road01", "asphalt.dds", 0, "road01 asphalt", "surface");
  ds.TrackDetail.AddTrackDetailRow(5.0, 0.0, 1.0, 12.0, 0.0, 1.0, 1.0, "startline");
  ds.InfieldObj.AddInfieldObjRow("infield", false, 0.0f, 100.0f, 10.0f, 20.0f, 2.0f, 10.0f, "grass01", 10.0f);
  ds.OutfieldObj.AddOutfieldObjRow("outfield", 0.0f, 100.0f, 5.0f, 6.0f, 0.0f, 1.0f, 2.0f, 10.0f, "grass01", 10.0f);
  ds.VerticalObj.AddVerticalObjRow("stand", 10.0f, 20.0f, 30.0f, 20.0f, 0.0f, 8.0f, "stand01");
  ds.AIInfo.AddAIInfoRow(1900.0f, 150.0f, 20.0f, -20.0f, 200.0f, -20.0f, 0.0f, true);
  ds.TSO.AddTSORow("tree01.3do", false, inf, -inf, std::numeric_limits<double>::quiet_NaN(), true, 30.0f, 0.0f, 0.0f,
                   "a tree");
  ds.PtfBumpDef.AddPtfBumpDefRow(int64_t{7}, 0.1f, 0.2f, 0.3f, 0.4f, 1.0f, 2.0f, 3.0f, 4.0f);
}

void FillCircuit(TrkDsc& ds, int sections, int tractions) {
  // Half the sections are straights of 100 m, half arcs of radius 100 whose
  // turns add up to one full circle.
  const int arcs = sections / 2;
  const double sweep = arcs > 0 ? 360.0 / arcs : 0.0;
  const double arcLength = 100.0 * sweep * 3.14159265358979323846 / 180.0;
  double start = 0, heading = 0;
  ds.TrackSummary.AddTrackSummaryRow("Circuit", "generated", 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, false, 0.5, 15.0f, 4.0f,
                                     5.0f);
  for (int i = 0; i < sections; ++i) {
    bool arc = (i % 2) == 1;
    double length = arc ? arcLength : 100.0;
    double change = arc ? sweep : 0.0;
    auto s = ds.Section.AddSectionRow(i, arc ? 1 : 0, start, length, heading, change, arc ? 100.0 : 0.0, 0.0);
    for (int t = 0; t < tractions; ++t) {
      double lat = -15.0 + 30.0 * t / (tractions > 1 ? tractions - 1 : 1);
      bool wall = t == 0 || t == tractions - 1;
      auto tr = ds.Traction.AddTractionRow(lat, lat + 0.125, wall ? 2049 : 1 + t % 13, t % 3, false, wall ? 1.2f : 0.0f,
                                           wall ? 1.2f : 0.0f, wall ? 0.5f : 0.0f, wall ? 0.5f : 0.0f, s);
      if (t == 1) {
        ds.TractionTexCoord.AddTractionTexCoordRow(0, 0.0f, 0.0f, tr);
        ds.TractionTexCoord.AddTractionTexCoordRow(0, 0.99f, 1.0f, tr);
      }
    }
    ds.Contour.AddContourRow(-16.0, 0.0, 0.0, -16.0, arc ? 0.8 : 0.0, 0.0, s);
    ds.Contour.AddContourRow(16.0, 0.0, 0.0, 16.0, 0.0, 0.0, s);
    start += length;
    heading += change;
  }
  ds.TrackSummary[0].SetLengthMetres(start);
}

void FillGeneratedCircuit(TrkDsc& ds, const CircuitOptions& o) {
  const int sections = o.sections < 2 ? 2 : o.sections + (o.sections % 2);
  const int arcs = sections / 2;
  const double each = o.length / sections;
  const double sweep = 360.0 / arcs;  // degrees
  const double radius = each / (sweep * 3.14159265358979323846 / 180.0);
  const double width = o.bands * o.bandWidth;
  const double right = -width / 2, left = width / 2;
  ds.TrackSummary.AddTrackSummaryRow("Generated circuit", "generated", o.length, o.length / 1609.344, 0.0, 0.0, 0.0,
                                     0.0, 0.0, false, 0.5, static_cast<float>(o.longRes), static_cast<float>(o.latRes),
                                     static_cast<float>(o.arcRes));
  TrkDsc::WallTexRow wt = ds.WallTex.NewWallTexRow();
  wt.SetGrip(2049);
  wt.SetTextureIndex(-1);
  wt.SetTexRight("wall");
  wt.SetTexTop("walltop");
  wt.SetTexEnd("walltop");
  wt.SetWidth(0.3);
  wt.SetHeight(1.0);
  wt.SetRepeatLength(10);
  ds.WallTex.AddWallTexRow(wt);
  for (const char* name : {"asphalt", "grass", "curbing", "wall", "walltop"})
    ds.Material.AddMaterialRow(name, std::string("maps\\") + name + ".dds", 0, nullptr, nullptr);

  // Height of the outer (right) edge above the inner one at full banking.
  const double rise = o.banked ? o.bank * (width + 2) : 0.0;
  double start = 0, heading = 0;
  for (int i = 0; i < sections; ++i) {
    const bool arc = i % 2 == 1 && !o.straightOnly;
    auto s = ds.Section.AddSectionRow(static_cast<uint16_t>(i), static_cast<int8_t>(arc ? 1 : 0), start, each, heading,
                                      arc ? sweep : 0.0, arc ? radius : 0.0, 0.0);
    for (int b = 0; b <= o.bands; ++b) {
      int grip = b == 0 || b == o.bands - 1 ? 5 : (b == 1 || b == o.bands - 2 ? 13 : 1);
      if (o.bands < 3) grip = 1;
      if (b == o.bands) grip = 5;  // the left edge only
      const double lat = right + b * o.bandWidth;
      ds.Traction.AddTractionRow(lat, lat, static_cast<uint16_t>(grip), static_cast<uint16_t>(0), false, nullptr,
                                 nullptr, nullptr, nullptr, s);
    }
    ds.Traction.AddTractionRow(right - 0.5, right - 0.5, static_cast<uint16_t>(2049), static_cast<uint16_t>(0), false,
                               1.0f, 1.0f, 0.3f, 0.3f, s);
    ds.Traction.AddTractionRow(left + 0.5, left + 0.5, static_cast<uint16_t>(2049), static_cast<uint16_t>(0), false,
                               1.0f, 1.0f, 0.3f, 0.3f, s);
    // Arcs bank up towards their end, straights level out again.
    const double zStart = arc ? 0.0 : rise, zEnd = arc ? rise : 0.0;
    const double middle = right + o.bandWidth * 0.5;
    if (o.contours) {
      ds.Contour.AddContourRow(right - 1, zStart, 0.0, right - 1, zEnd, 0.0, s);
      ds.Contour.AddContourRow(middle, zStart * (left + 1 - middle) / (width + 2), 0.0, middle,
                               zEnd * (left + 1 - middle) / (width + 2), 0.0, s);
      ds.Contour.AddContourRow(left + 1, 0.0, 0.0, left + 1, 0.0, 0.0, s);
    }
    if (o.detailEvery > 0 && i % o.detailEvery == 0)
      ds.TrackDetail.AddTrackDetailRow(start + each / 2, 0.0, 4.0, 2.0, 90.0, 1.0, 1.0, "start");
    start += each;
    heading += arc ? sweep : 0.0;
  }
}

}  // namespace lapforge
