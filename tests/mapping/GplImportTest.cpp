#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <random>

#include "description/TrkDsc.h"
#include "mapping/GplMapping.h"
#include "roads/Lapforge.h"
#include "tests/support/TestSupport.h"
#include "tests/support/gpl/TrkBuilder.h"

namespace lapforge {

namespace {

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  WriteText(path, std::string(bytes.begin(), bytes.end()));
}

std::unique_ptr<TrkDsc> Import(const CTempDir& dir, const std::string& name, const TrkBuildTrack& track,
                               bool gplTrk = false) {
  std::string path = dir.File(name);
  WriteBytes(path, BuildTrk(track));
  Result read;
  return DataBaseFromGplTrk(path, gplTrk, true, read);
}

TrkBuildSection Straight(double len, double kink = 0) {
  TrkBuildSection s;
  s.length = len;
  s.kinkDeg = kink;
  return s;
}

TrkBuildTraction Band(double lat, int surface, int texture) {
  TrkBuildTraction t;
  t.latStart = t.latEnd = lat;
  t.surface = surface;
  t.texture = texture;
  t.textureGplTrk = texture + 100;
  return t;
}

}  // namespace

TEST(GplImport, ClosedCircuitClassicAndType3000GiveTheSameDescription) {
  CTempDir a, b;
  std::unique_ptr<TrkDsc> classic = Import(a, "circuit.trk", ClosedCircuit(1));
  std::unique_ptr<TrkDsc> shifted = Import(b, "circuit.trk", ClosedCircuit(3000));
  ASSERT_TRUE(classic && shifted);
  EXPECT_EQ(classic->GetXml(), shifted->GetXml());

  const TrkDsc& ds = *classic;
  ASSERT_EQ(ds.TrackSummary.Count(), 1);
  auto sum = ds.TrackSummary[0];
  EXPECT_EQ(sum.Name(), "circuit");
  EXPECT_NEAR(sum.StartAngle(), 200, 1e-3);
  EXPECT_NEAR(sum.X_Origin(), 1000, 1e-3);
  EXPECT_NEAR(sum.Y_Origin(), -500, 1e-3);
  EXPECT_EQ(sum.Ambient(), 0.6);
  EXPECT_EQ(sum.LongitudinalResolution(), 5.0f);
  EXPECT_FALSE(sum.Night_Track());
  EXPECT_TRUE(sum.IsCommentNull());
  EXPECT_NEAR(sum.LengthMiles(), sum.LengthMetres() / 1609.344, 1e-6);

  ASSERT_EQ(ds.Section.Count(), 14);
  double length = 0, turn = 0;
  for (int i = 0; i < ds.Section.Count(); ++i) {
    auto s = ds.Section[i];
    EXPECT_EQ(s.Index(), i);
    EXPECT_NEAR(s.Start(), length, 1e-3) << i;
    length += s.Length();
    turn += s.Angle_Change();
  }
  EXPECT_NEAR(length, sum.LengthMetres(), 0.01);
  EXPECT_NEAR(std::fabs(turn), 360, 0.01);

  // A straight, a left and a right curve of the chicane, a quarter turn.
  EXPECT_EQ(ds.Section[0].Type(), 0);
  EXPECT_NEAR(ds.Section[0].Length(), 150, 1e-3);
  EXPECT_EQ(ds.Section[0].Radius(), 0);
  EXPECT_NEAR(ds.Section[0].Angle_Start(), 0, 1e-9);
  EXPECT_EQ(ds.Section[1].Type(), 1);
  EXPECT_NEAR(ds.Section[1].Length(), 40, 1e-3);
  EXPECT_NEAR(ds.Section[1].Angle_Change(), 30, 1e-3);
  EXPECT_NEAR(ds.Section[1].Radius(), 40 / (30 * 0.0174532925), 0.01);
  EXPECT_NEAR(ds.Section[2].Angle_Change(), -30, 1e-3);
  EXPECT_NEAR(ds.Section[2].Radius(), -40 / (30 * 0.0174532925), 0.01);
  EXPECT_NEAR(ds.Section[2].Angle_Start(), 30, 1e-3);
  EXPECT_NEAR(ds.Section[4].Length(), 80, 1e-3);
  EXPECT_NEAR(ds.Section[5].Angle_Start(), 90, 1e-3);
  // Past 360 degrees of heading the start angle still counts up from the start.
  EXPECT_NEAR(ds.Section[13].Angle_Start(), 270 - 360, 1e-3);

  // Every section holds its bands and one contour per height column.
  for (int i = 0; i < ds.Section.Count(); ++i) {
    EXPECT_EQ(ds.Section[i].GetTractionRows().size(), 7u);
    EXPECT_EQ(ds.Section[i].GetContourRows().size(), 5u);
  }
  ASSERT_EQ(ds.AIInfo.Count(), 1);
  EXPECT_EQ(ds.AIInfo[0].MergePitIn(), 0.0f);
}

TEST(GplImport, StraightThroughNorthTurnsTheShortWay) {
  TrkBuildTrack t;
  t.startHeadingDeg = 350;
  t.sections = {Straight(100, 20), Straight(100)};
  CTempDir dir;
  auto ds = Import(dir, "kink.trk", t);
  ASSERT_TRUE(ds);
  EXPECT_NEAR(ds->Section[0].Angle_Change(), 20, 1e-3);
  EXPECT_NEAR(ds->Section[0].Angle_Start(), 0, 1e-9);
  // Start angles are plain differences of headings: 10 - 350.
  EXPECT_NEAR(ds->Section[1].Angle_Start(), -340, 1e-3);
  // The last straight leads back to the first: from 10 to 350 degrees.
  EXPECT_NEAR(ds->Section[1].Angle_Change(), -20, 1e-3);
  EXPECT_NEAR(ds->Section[0].Length(), 100, 1e-3);
}

TEST(GplImport, TractionsWallsAndContours) {
  TrkBuildTrack t;
  t.columns = {-10, 0, 10};
  t.sections = {Straight(100), Straight(100)};
  t.sections[0].tractions = StandardTractions();
  t.sections[0].heights = {1, 2, 3};
  t.sections[1].heights = {4, 5, 7};
  // Section 1: a wall followed by a band that closes in from 2 m to 1 m.
  t.sections[1].tractions = {Band(-12, 2049, 0), Band(-10, 1, 0)};
  t.sections[1].tractions[1].latEnd = -11;
  CTempDir dir;
  auto ds = Import(dir, "bands.trk", t);
  ASSERT_TRUE(ds);

  auto tr = ds->Section[0].GetTractionRows();
  ASSERT_EQ(tr.size(), 7u);
  EXPECT_NEAR(tr[0].Lat_Start(), -15, 1e-6);
  EXPECT_EQ(tr[0].Width(), 0.0f);
  // The wall at -12 before the kerb at -10 moves to -11 and is 1 m wide.
  EXPECT_EQ(tr[1].Grip(), 2051);
  EXPECT_NEAR(tr[1].Lat_Start(), -11, 1e-6);
  EXPECT_NEAR(tr[1].Lat_End(), -11, 1e-6);
  EXPECT_NEAR(tr[1].Width(), 1, 1e-6);
  EXPECT_NEAR(tr[1].WidthEnd(), 1, 1e-6);
  EXPECT_NEAR(tr[1].Height(), 1, 1e-4);
  EXPECT_NEAR(tr[1].HeightEnd(), 1, 1e-4);
  EXPECT_FALSE(tr[1].Straighten());
  EXPECT_EQ(tr[3].Grip(), 1);
  EXPECT_EQ(tr[3].TextureIndex(), 3);
  EXPECT_NEAR(tr[3].Lat_Start(), -8, 1e-6);  // surfaces stay where they are
  EXPECT_NEAR(tr[6].Lat_Start(), 12, 1e-6);

  auto tr1 = ds->Section[1].GetTractionRows();
  ASSERT_EQ(tr1.size(), 2u);
  EXPECT_NEAR(tr1[0].Width(), 1, 1e-6);
  EXPECT_NEAR(tr1[0].WidthEnd(), 0.5, 1e-6);
  EXPECT_NEAR(tr1[0].Lat_End(), -11.5, 1e-6);

  // Contours: heights at the start of this and of the next section; the
  // last section's end values come from section 0.
  auto c0 = ds->Section[0].GetContourRows();
  auto c1 = ds->Section[1].GetContourRows();
  ASSERT_EQ(c0.size(), 3u);
  ASSERT_EQ(c1.size(), 3u);
  EXPECT_NEAR(c0[2].Latitude(), 10, 1e-6);
  EXPECT_NEAR(c0[2].Latitude_End(), 10, 1e-6);
  EXPECT_NEAR(c0[2].Z(), 3, 1e-4);
  EXPECT_NEAR(c0[2].Z_End(), 7, 1e-4);
  EXPECT_NEAR(c0[2].Grad(), 4.0 / 100, 1e-6);  // 4 m over 100 m
  EXPECT_NEAR(c0[2].Grad_End(), -4.0 / 100, 1e-6);
  EXPECT_NEAR(c1[0].Z(), 4, 1e-4);
  EXPECT_NEAR(c1[0].Z_End(), 1, 1e-4);
  EXPECT_NEAR(c1[0].Grad_End(), 3.0 / 100, 1e-6);
}

TEST(GplImport, TextureEntriesMaterialsAndBlankList) {
  CTempDir dir;
  auto ds = Import(dir, "circuit.trk", ClosedCircuit());
  ASSERT_TRUE(ds);

  // Once per (surface code, texture index), sorted, with the first section
  // that used it; the names are material names.
  struct Expect {
    int grip, index, first;
    const char* tex;
  };
  const Expect surf[] = {{1, 3, 0, "road01"},  {1, 13, 1, "road02"}, {3, 2, 0, "rmbl01"},
                         {3, 12, 1, "rmbl02"}, {6, 0, 0, "grvl01"},  {6, 10, 1, "grvl02"}};
  ASSERT_EQ(ds->TractionTex.Count(), 6);
  for (int i = 0; i < 6; ++i) {
    auto r = ds->TractionTex[i];
    EXPECT_EQ(r.Grip(), surf[i].grip) << i;
    EXPECT_EQ(r.TextureIndex(), surf[i].index) << i;
    EXPECT_EQ(r.FirstSection(), surf[i].first) << i;
    EXPECT_EQ(r.Tex(), surf[i].tex) << i;
    EXPECT_EQ(r.GripOverride(), -1);
    EXPECT_EQ(r.RaceType(), 0);
    EXPECT_TRUE(r.ContourFlag());
    EXPECT_FALSE(r.R90());
    EXPECT_EQ(r.ClampHint(), 0);
  }
  const Expect walls[] = {
      {2051, 1, 0, "twal01"}, {2051, 11, 1, "twal04"}, {2053, 4, 0, "safer01"}, {2053, 14, 1, "safer04"}};
  ASSERT_EQ(ds->WallTex.Count(), 4);
  for (int i = 0; i < 4; ++i) {
    auto r = ds->WallTex[i];
    EXPECT_EQ(r.Grip(), walls[i].grip) << i;
    EXPECT_EQ(r.TextureIndex(), walls[i].index) << i;
    EXPECT_EQ(r.FirstSection(), walls[i].first) << i;
    EXPECT_EQ(r.TexLeft(), walls[i].tex) << i;
    EXPECT_EQ(r.TexRight(), walls[i].tex) << i;
    EXPECT_TRUE(r.Vertical());
    EXPECT_EQ(r.MinTexV(), 0.0f);
    EXPECT_EQ(r.MaxTexV(), 1.0f);
    EXPECT_NEAR(r.Width(), 1, 1e-6);
  }
  EXPECT_EQ(ds->WallTex[0].TexTop(), "twal02");
  EXPECT_EQ(ds->WallTex[0].TexEnd(), "twal03");
  EXPECT_NEAR(ds->WallTex[0].Height(), 1, 1e-4);

  ASSERT_EQ(ds->Material.Count(), 18);
  EXPECT_EQ(ds->Material[0].MateralName(), "road01");
  EXPECT_EQ(ds->Material[0].MapName(), "error");
  EXPECT_EQ(ds->Material[0].Comment(), "TGrip 1 Index 3 Surface Section 0");
  EXPECT_EQ(ds->Material[0].LLE_String(), "LLE 15.000 0.000 0.000");
  EXPECT_EQ(ds->Material[0].Transparency(), 0);

  // "_blank.tex": one CRLF line per material, in material order.
  std::string blank = ReadText(dir.File("_blank.tex"));
  size_t lines = 0;
  for (size_t p = 0; (p = blank.find("\r\n", p)) != std::string::npos; p += 2) ++lines;
  EXPECT_EQ(lines, 18u);
  EXPECT_EQ(blank.substr(0, blank.find("\r\n")),
            "1 3 0 10.0 10.0 error // TGrip 1 Index 3 Surface Section 0 LLE 15.000 0.000 0.000");
  // The first wall: 75 m along section 0, moved to -11 m.
  EXPECT_NE(blank.find("\r\n2051 1 1 10.0 10.0 error // WGrip 2051 Index 1 Side Section 0 LLE 75.000 -11.000 "
                       "0.200\r\n2051 1 2 10.0 10.0 error // WGrip 2051 Index 1 Top Section 0 LLE 75.000 -11.000 "
                       "0.200\r\n"),
            std::string::npos);
}

TEST(GplImport, TextureListBesideTheTrack) {
  TrkBuildTrack t;
  t.sections = {Straight(100), Straight(100)};
  t.sections[0].tractions = {Band(-10, 1, 0), Band(-8, 3, 1), Band(-5, 2051, 1), Band(-3, 6, 2)};
  t.sections[1].tractions = t.sections[0].tractions;
  CTempDir dir;
  // Found without regard to the letter case of its name.
  WriteText(dir.File("CIRCUIT.TEX"),
            "// texture list\n"
            "3 1 0 12.5 4.0 asphalt // kerb\r\n"
            "2051 1 1 3.0 0 brick\n"
            "2051 1 2 0 0 cap\n"
            "2051 1 5 0 0 endcap\n"
            "0 2 0 1 1 skipped\n"
            "6 2 0 1.0 skipped\n"
            "6 2 0 7 8 /grass\n"
            "1 0 0 1 1 tarmac\n");
  auto ds = Import(dir, "Circuit.trk", t);
  ASSERT_TRUE(ds);
  ASSERT_EQ(ds->TractionTex.Count(), 3);
  auto kerb = ds->TractionTex[1];
  EXPECT_EQ(kerb.Grip(), 3);
  EXPECT_EQ(kerb.TextureIndex(), 1);
  EXPECT_EQ(kerb.RepeatLength(), 12.5);
  EXPECT_EQ(kerb.RepeatWidth(), 4.0);
  EXPECT_EQ(kerb.Tex(), "rmbl01");
  EXPECT_EQ(ds->TractionTex[0].Tex(), "road01");
  EXPECT_EQ(ds->TractionTex[2].Tex(), "grvl01");  // its lines were skipped
  EXPECT_EQ(ds->TractionTex[2].RepeatLength(), 0);

  ASSERT_EQ(ds->WallTex.Count(), 1);
  auto wall = ds->WallTex[0];
  EXPECT_EQ(wall.RepeatLength(), 3.0);
  EXPECT_EQ(wall.TexLeft(), "twal01");
  EXPECT_EQ(wall.TexRight(), "twal01");
  EXPECT_EQ(wall.TexTop(), "twal02");
  EXPECT_EQ(wall.TexEnd(), "twal03");

  ASSERT_EQ(ds->Material.Count(), 6);
  EXPECT_EQ(ds->Material[0].MapName(), "tarmac");
  EXPECT_EQ(ds->Material[1].MapName(), "asphalt");
  EXPECT_EQ(ds->Material[1].MateralName(), "rmbl01");
  EXPECT_EQ(ds->Material[3].MapName(), "brick");
  EXPECT_EQ(ds->Material[4].MapName(), "cap");
  EXPECT_EQ(ds->Material[5].MapName(), "endcap");
  std::string blank = ReadText(dir.File("_blank.tex"));
  EXPECT_EQ(blank.find("1 0 0 10.0 10.0 tarmac // TGrip 1 Index 0 Surface Section 0 LLE "), 0u);
  EXPECT_NE(blank.find("\r\n3 1 0 10.0 10.0 asphalt // TGrip 3 Index 1 Surface Section 0 LLE "), std::string::npos);
}

TEST(GplImport, TextureEntriesInDescendingOrderComeOutSortedWithTheirFirstSection) {
  // Pairs arriving in falling order, repeated in a later section: one
  // entry per pair, sorted by (surface code, texture index), each naming
  // the first section that uses it.
  TrkBuildTrack t;
  t.sections = {Straight(100), Straight(100), Straight(100)};
  t.sections[0].tractions = {Band(-10, 6, 3), Band(-8, 6, 1), Band(-5, 2052, 2), Band(-3, 1, 0)};
  t.sections[1].tractions = {Band(-10, 6, 2), Band(-8, 6, 1), Band(-5, 2052, 0), Band(-4, 2051, 5), Band(-3, 1, 0)};
  t.sections[2].tractions = {Band(-10, 6, 3), Band(-8, 3, 9), Band(-5, 2052, 2), Band(-3, 1, 0)};
  CTempDir dir;
  auto ds = Import(dir, "falling.trk", t);
  ASSERT_TRUE(ds);
  const std::vector<std::array<int, 3>> surfaces = {{1, 0, 0}, {3, 9, 2}, {6, 1, 0}, {6, 2, 1}, {6, 3, 0}};
  ASSERT_EQ(ds->TractionTex.Count(), static_cast<int>(surfaces.size()));
  for (size_t i = 0; i < surfaces.size(); ++i) {
    auto r = ds->TractionTex[static_cast<int>(i)];
    EXPECT_EQ(r.Grip(), surfaces[i][0]) << i;
    EXPECT_EQ(r.TextureIndex(), surfaces[i][1]) << i;
    EXPECT_EQ(r.FirstSection(), surfaces[i][2]) << i;
  }
  const std::vector<std::array<int, 3>> walls = {{2051, 5, 1}, {2052, 0, 1}, {2052, 2, 0}};
  ASSERT_EQ(ds->WallTex.Count(), static_cast<int>(walls.size()));
  for (size_t i = 0; i < walls.size(); ++i) {
    auto r = ds->WallTex[static_cast<int>(i)];
    EXPECT_EQ(r.Grip(), walls[i][0]) << i;
    EXPECT_EQ(r.TextureIndex(), walls[i][1]) << i;
    EXPECT_EQ(r.FirstSection(), walls[i][2]) << i;
  }
}

TEST(GplImport, TrackIniFillsTheAiRow) {
  TrkBuildTrack t;
  t.sections = {Straight(100), Straight(100)};
  CTempDir dir;
  std::string ini = "[pit_lane_0]\nmerge_to_pit_line_dlong = 50.5\n";
  for (int i = 0; i <= 23; ++i)
    ini += "stall_" + std::to_string(i) + " = " + std::to_string(100 + 10 * i) + " -7.25 0\n";
  ini += "[ai_track]\nmerge_from_pit_line_dlong = 900\n";
  WriteText(dir.File("Track.INI"), ini);
  auto ds = Import(dir, "t.trk", t);
  ASSERT_TRUE(ds);
  ASSERT_EQ(ds->AIInfo.Count(), 1);
  auto a = ds->AIInfo[0];
  EXPECT_EQ(a.MergePitIn(), 50.5f);
  EXPECT_EQ(a.MergePitOut(), 900.0f);
  EXPECT_EQ(a.StallsLongEnd(), 100.0f);  // stall_0
  EXPECT_EQ(a.StallsLatEnd(), -7.25f);
  EXPECT_EQ(a.StallsLongStart(), 330.0f);  // stall_23
  EXPECT_EQ(a.StallsLatStart(), -7.25f);
  EXPECT_EQ(a.GridLat(), 0.0f);
  EXPECT_FALSE(a.PollPositionLeft());
}

TEST(GplImport, GplTrkFilesUseTheirOwnTextureIndexAndFlags) {
  TrkBuildTrack t;
  t.sections = {Straight(100), Straight(100)};
  std::vector<TrkBuildTraction> b = {Band(-10, 1, 0), Band(-8, 2, 1), Band(3, 3, 2), Band(5, 2051, 3), Band(9, 5, 4)};
  b[0].flagsB = 8;       // -10: 7
  b[1].flagsB = 512;     // -8: 5
  b[2].flagsB = 2;       // 3: 1
  b[3].flagsB = 131072;  // the wall gets no top and end textures
  b[4].flagsB = 8;       // 9: 3
  b[4].flagsA = 16;      // used only without the GPLTRK flag
  t.sections[0].tractions = b;
  CTempDir d1, d2;
  auto gpl = Import(d1, "g.trk", t, true);
  auto plain = Import(d2, "g.trk", t, false);
  ASSERT_TRUE(gpl && plain);
  ASSERT_EQ(gpl->TractionTex.Count(), 4);
  const int hints[] = {7, 5, 1, 3};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(gpl->TractionTex[i].TextureIndex(), 100 + (i < 3 ? i : 4)) << i;
    EXPECT_EQ(gpl->TractionTex[i].ClampHint(), hints[i]) << i;
    EXPECT_TRUE(gpl->TractionTex[i].R90());
  }
  EXPECT_EQ(gpl->Section[0].GetTractionRows()[0].TextureIndex(), 100);
  ASSERT_EQ(gpl->WallTex.Count(), 1);
  EXPECT_EQ(gpl->WallTex[0].TexTop(), "");
  EXPECT_EQ(gpl->WallTex[0].TexEnd(), "");
  EXPECT_EQ(gpl->WallTex[0].TextureIndex(), 103);

  for (int i = 0; i < 3; ++i) EXPECT_EQ(plain->TractionTex[i].ClampHint(), 0) << i;
  EXPECT_EQ(plain->TractionTex[3].ClampHint(), 1);
  EXPECT_FALSE(plain->TractionTex[3].R90());
  EXPECT_EQ(plain->TractionTex[3].TextureIndex(), 4);
  EXPECT_EQ(plain->WallTex[0].TexTop(), "twal02");
}

TEST(GplTrktoXML, WritesTheDescription) {
  CTempDir dir;
  WriteBytes(dir.File("circuit.trk"), BuildTrk(ClosedCircuit()));
  CRecordingUI ui;
  CLapforge lf;
  ASSERT_EQ(lf.GplTrktoXML(dir.File("circuit.trk"), dir.File("out.xml"), false, true), 1);
  EXPECT_TRUE(ui.shown.empty());
  std::unique_ptr<TrkDsc> back = lf.DataBaseFromXML(dir.File("out.xml"));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->Section.Count(), 14);
  EXPECT_EQ(back->Traction.Count(), 14 * 7);
  EXPECT_EQ(back->Material.Count(), 18);
  EXPECT_EQ(back->TrackSummary[0].Name(), "circuit");
}

TEST(GplTrktoXML, DamagedFilesWriteNothing) {
  CTempDir dir;
  TrkLayout lay;
  const std::vector<uint8_t> good = BuildTrk(ClosedCircuit(), &lay);
  CLapforge lf;
  auto run = [&](const std::vector<uint8_t>& bytes, std::string* message) {
    WriteBytes(dir.File("bad.trk"), bytes);
    std::remove(dir.File("bad.xml").c_str());
    CRecordingUI ui;
    int r = lf.GplTrktoXML(dir.File("bad.trk"), dir.File("bad.xml"), false, true);
    if (r == 0) {
      EXPECT_FALSE(Exists(dir.File("bad.xml")));
      EXPECT_GE(ui.shown.size(), 1u);
      if (message && !ui.shown.empty()) *message = ui.shown[0].caption + ": " + ui.shown[0].text;
    }
    return r;
  };

  std::string msg;
  EXPECT_EQ(run({}, &msg), 0);
  EXPECT_NE(msg.find("bad.trk"), std::string::npos) << msg;
  EXPECT_NE(msg.find("header"), std::string::npos) << msg;

  // Truncated anywhere before the last section header: refused.
  for (size_t n : {size_t{4}, size_t{27}, size_t{28}, size_t{100}, lay.heightBlock + 10, lay.tractionTable + 33,
                   lay.sectionArea, lay.sectionHeaders.back() + 51}) {
    EXPECT_EQ(run(std::vector<uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n)), &msg), 0) << n;
  }
  // A traction index outside the table.
  std::vector<uint8_t> bad = good;
  int32_t v = 1000;
  std::memcpy(bad.data() + lay.sectionHeaders[3] + 44, &v, 4);
  EXPECT_EQ(run(bad, &msg), 0);
  EXPECT_NE(msg.find("section 3"), std::string::npos) << msg;

  // A missing file.
  CRecordingUI ui;
  EXPECT_EQ(lf.GplTrktoXML(dir.File("none.trk"), dir.File("none.xml"), false, true), 0);
  EXPECT_EQ(ui.shown.size(), 1u);
  EXPECT_FALSE(Exists(dir.File("none.xml")));

  // Random damage: either a clean import or a refusal, never a crash.
  std::mt19937 rng(7);
  for (int round = 0; round < 300; ++round) {
    std::vector<uint8_t> b = good;
    int flips = 1 + static_cast<int>(rng() % 8);
    for (int f = 0; f < flips; ++f) {
      size_t at = rng() % 2 ? rng() % 200 : rng() % b.size();  // the header and offsets often
      b[at] = static_cast<uint8_t>(rng());
    }
    if (round % 5 == 0) b.resize(rng() % b.size());
    int r = run(b, nullptr);
    if (r == 1) { EXPECT_TRUE(Exists(dir.File("bad.xml"))); }
  }
}

TEST(GplTrktoXML, SectionsThatAllClaimTheWholeTractionTableAreRefused) {
  CTempDir dir;
  TrkLayout lay;
  std::vector<uint8_t> bytes = BuildTrk(ClosedCircuit(), &lay);
  const int32_t records = 14 * 7;
  for (size_t h : lay.sectionHeaders) {
    int32_t zero = 0;
    std::memcpy(bytes.data() + h + 40, &records, 4);
    std::memcpy(bytes.data() + h + 44, &zero, 4);
  }
  WriteBytes(dir.File("claims.trk"), bytes);
  CRecordingUI ui;
  EXPECT_EQ(CLapforge().GplTrktoXML(dir.File("claims.trk"), dir.File("claims.xml"), false, true), 0);
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_NE(ui.shown[0].text.find("refer to 1372 traction records in all, but the table holds 98"), std::string::npos)
      << ui.shown[0].text;
  EXPECT_FALSE(Exists(dir.File("claims.xml")));
}

}  // namespace lapforge
