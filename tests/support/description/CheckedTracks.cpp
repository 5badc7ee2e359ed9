#include "tests/support/description/CheckedTracks.h"

namespace lapforge {

namespace {

constexpr double kStraight = 100;
constexpr double kArc = 78.53981633974483;  // a quarter of a 50 m circle

}  // namespace

void FillCheckedLoop(TrkDsc& ds) {
  ds.TrackSummary.AddTrackSummaryRow("Checked loop", "test", 4 * kStraight + 4 * kArc, nullptr, 0.0, 0.0, 0.0, 0.0,
                                     0.0, false, 0.5, 15.0f, 4.0f, 5.0f);
  double start = 0, heading = 0;
  for (int i = 0; i < 8; ++i) {
    const bool arc = i % 2 == 1;
    auto s = ds.Section.AddSectionRow(static_cast<uint16_t>(i), static_cast<int8_t>(arc ? 1 : 0), start,
                                      arc ? kArc : kStraight, heading, arc ? 90.0 : 0.0, arc ? 50.0 : 0.0, 0.0);
    const double lats[] = {-8, -6, 6, 8};
    const uint16_t grips[] = {5, 1, 5, 5};
    for (int b = 0; b < 4; ++b)
      ds.Traction.AddTractionRow(lats[b], lats[b], grips[b], static_cast<uint16_t>(0), false, nullptr, nullptr,
                                 nullptr, nullptr, s);
    for (double lat : {-9.0, 9.0})
      ds.Traction.AddTractionRow(lat, lat, static_cast<uint16_t>(2049), static_cast<uint16_t>(0), false, 1.0f, 1.0f,
                                 0.3f, 0.3f, s);
    start += arc ? kArc : kStraight;
    heading += arc ? 90.0 : 0.0;
  }
  auto tex = [&](uint16_t grip, const char* name) {
    TrkDsc::TractionTexRow r = ds.TractionTex.NewTractionTexRow();
    r.SetGrip(grip);
    r.SetTextureIndex(0);
    r.SetTex(name);
    ds.TractionTex.AddTractionTexRow(r);
  };
  tex(1, "asphalt");
  tex(5, "grass");
  TrkDsc::WallTexRow w = ds.WallTex.NewWallTexRow();
  w.SetGrip(2049);
  w.SetTextureIndex(0);
  w.SetTexLeft("wall");
  w.SetTexRight("wall");
  w.SetTexTop("walltop");
  w.SetWidth(0.3);
  w.SetHeight(1.0);
  ds.WallTex.AddWallTexRow(w);
  for (const char* name : {"asphalt", "grass", "wall", "walltop"})
    ds.Material.AddMaterialRow(name, std::string(name) + ".dds", 0, nullptr, nullptr);
  ds.AIInfo.AddAIInfoRow(600.0f, 50.0f, 10.0f, -12.0f, 40.0f, -12.0f, 0.0f, true);
  ds.TrackDetail.AddTrackDetailRow(5.0, 0.0, 1.0, 12.0, 0.0, 1.0, 1.0, "startline");
  TrkDsc::TSORow t = ds.TSO.NewTSORow();
  t.SetName("tree.3do");
  t.SetWorldXYZ(false);
  t.SetX(50);
  t.SetY(-15);
  ds.TSO.AddTSORow(t);
  ds.VerticalObj.AddVerticalObjRow("board", 150.0f, 10.0f, 160.0f, 10.0f, 0.0f, 2.0f, "wall");
}

TrkDsc::TractionRow TractionOf(const TrkDsc& ds, int section, int n) {
  return ds.Section[section].GetTractionRows()[static_cast<size_t>(n)];
}

namespace fault {

void LongFirstStraight(TrkDsc& ds) { ds.Section[0].SetLength(kStraight + 3); }
void ShortLastArc(TrkDsc& ds) { ds.Section[7].SetAngle_Change(88.0); }
void ZeroLengthSection(TrkDsc& ds, int section) { ds.Section[section].SetLength(0.0); }
void ArcWithoutSweep(TrkDsc& ds, int section) { ds.Section[section].SetAngle_Change(0.0); }

void GripWithoutEntry(TrkDsc& ds) {
  TractionOf(ds, 2, 2).SetGrip(7);
  TractionOf(ds, 4, 2).SetGrip(7);
}

void TextureWithoutMaterial(TrkDsc& ds) { ds.TractionTex[0].SetTex("tarmac"); }

void BandsSwapped(TrkDsc& ds) {
  TractionOf(ds, 3, 1).SetLat_Start(6.0);
  TractionOf(ds, 3, 1).SetLat_End(6.0);
  TractionOf(ds, 3, 2).SetLat_Start(-6.0);
  TractionOf(ds, 3, 2).SetLat_End(-6.0);
}

void TractionWithoutLateral(TrkDsc& ds) { TractionOf(ds, 5, 1).SetLat_StartNull(); }

void BumpDefBeyondList(TrkDsc& ds) {
  ds.PtfBumpDef.AddPtfBumpDefRow(int64_t{2}, 0.1f, 0.1f, 0.1f, 0.1f, 1.0f, 1.0f, 1.0f, 1.0f);
}

void FineMeshOnSection2(TrkDsc& ds) { ds.Mesh.AddMeshRow(0.5f, 5.0f, 0.0625f, ds.Section[2]); }

void PitBeyondEnd(TrkDsc& ds) { ds.AIInfo[0].SetMergePitIn(900.0f); }

void ObjectsBeyondTrack(TrkDsc& ds) {
  ds.TrackDetail.AddTrackDetailRow(-20.0, 0.0, 1.0, 2.0, 0.0, 1.0, 1.0, "arrow");
  TrkDsc::TSORow t = ds.TSO.NewTSORow();
  t.SetName("far.3do");
  t.SetWorldXYZ(false);
  t.SetX(2000);
  ds.TSO.AddTSORow(t);
}

void WallOnAsphalt(TrkDsc& ds) {
  ds.Traction.AddTractionRow(2.0, 2.0, static_cast<uint16_t>(2049), static_cast<uint16_t>(0), false, 1.0f, 1.0f, 0.3f,
                             0.3f, ds.Section[6]);
}

}  // namespace fault

}  // namespace lapforge
