// The PTF roads: a description built into a track model and written as a
// PTF, read back into a description; split sections, joined contours,
// texture tables, trackside objects, details, bumps, file versions and
// names, and the messages of descriptions that make no track.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "description/TrkDsc.h"
#include "mapping/PtfMapping.h"
#include "ptf/RecordListing.h"
#include "roads/Lapforge.h"
#include "support/FileIO.h"
#include "support/RegOption.h"
#include "tests/support/ResultCheck.h"
#include "tests/support/TestSupport.h"
#include "tests/support/ptf/RecordTrees.h"

namespace lapforge {

namespace {

using SectionRow = TrkDsc::SectionRow;

const std::string kSample = std::string(LAPFORGE_SOURCE_DIR) + "/examples/sample-circuit.xml";

SectionRow AddSection(TrkDsc& ds, int type, double length, double change, double split = 0) {
  int index = ds.Section.Count();
  return ds.Section.AddSectionRow(static_cast<uint16_t>(index), static_cast<int8_t>(type), 0.0, length, 0.0, change,
                                  0.0, split);
}

TrkDsc::TractionRow AddBand(TrkDsc& ds, const SectionRow& s, double latStart, double latEnd, int grip,
                            int textureIndex = 0) {
  return ds.Traction.AddTractionRow(latStart, latEnd, static_cast<uint16_t>(grip), static_cast<uint16_t>(textureIndex),
                                    false, nullptr, nullptr, nullptr, nullptr, s);
}

void AddContour(TrkDsc& ds, const SectionRow& s, double lat, double z, double grad, double zEnd, double gradEnd) {
  ds.Contour.AddContourRow(lat, z, grad, lat, zEnd, gradEnd, s);
}

// Three bands (two surfaces) from lat -10 to 10.
void AddRoad(TrkDsc& ds, const SectionRow& s) {
  AddBand(ds, s, -10, -10, 5);
  AddBand(ds, s, -5, -5, 1);
  AddBand(ds, s, 10, 10, 5);
}

// A short track: a straight, a section split at 30 of 100 m turning left by
// 90 degrees, and a straight; contours on the outer two only.
void MakeSplitTrack(TrkDsc& ds) {
  ds.TrackSummary.AddTrackSummaryRow("split", nullptr, nullptr, nullptr, 0.0, 0.0, 0.0, 0.0, nullptr, nullptr, nullptr,
                                     nullptr, nullptr, nullptr);
  SectionRow a = AddSection(ds, 0, 100, 0);
  AddRoad(ds, a);
  AddContour(ds, a, -20, 0, 0, 1, 0.01);
  AddContour(ds, a, 20, 0, 0, 1, 0.01);
  SectionRow b = AddSection(ds, 1, 100, 90, 30);
  AddBand(ds, b, 0, 10, 1);
  AddBand(ds, b, 20, 20, 5);
  SectionRow c = AddSection(ds, 0, 100, 0);
  AddContour(ds, c, -20, 3, 0.02, 3, 0.02);
  AddContour(ds, c, 20, 3, 0.02, 3, 0.02);
}

std::vector<CN5ObjFs*> Bands(CN5ObjSg* sg) {
  std::vector<CN5ObjFs*> v;
  for (CN5Obj* o : sg->bands) v.push_back(dynamic_cast<CN5ObjFs*>(o));
  return v;
}
std::vector<CN5ObjXs*> Banks(CN5ObjSg* sg) {
  std::vector<CN5ObjXs*> v;
  for (CN5Obj* o : sg->bankLines) v.push_back(dynamic_cast<CN5ObjXs*>(o));
  return v;
}

uint32_t U32At(const std::vector<uint8_t>& b, size_t off) {
  uint32_t v;
  std::memcpy(&v, b.data() + off, 4);
  return v;
}
double F64At(const std::vector<uint8_t>& b, size_t off) {
  double v;
  std::memcpy(&v, b.data() + off, 8);
  return v;
}

}  // namespace

TEST(PtfBuild, SplitSectionBecomesTwoSegmentsWithBoundaryAtTheCut) {
  CRecordingUI ui;
  TrkDsc ds;
  MakeSplitTrack(ds);
  CN5PtfDb model;
  std::string error;
  ASSERT_TRUE(Ok(PTFObjFromDataBase(ds, model, ""), error)) << error;
  ASSERT_EQ(model.NoSegments(true), 4);
  CN5ObjSg* first = model.GetSegObj(1);
  CN5ObjSg* second = model.GetSegObj(2);
  EXPECT_NEAR(first->length, 30, 1e-6);
  EXPECT_NEAR(second->length, 70, 1e-6);
  EXPECT_NEAR(first->sweep + second->sweep, 90 * _ang_to_rad, 1e-12);
  EXPECT_NEAR(first->sweep, 27 * _ang_to_rad, 1e-12);
  // The band from 0 to 10 ends at 3 in the first half and starts there in
  // the second.
  EXPECT_DOUBLE_EQ(Bands(first)[0]->latStart, 0);
  EXPECT_DOUBLE_EQ(Bands(first)[0]->latEnd, 3);
  EXPECT_DOUBLE_EQ(Bands(second)[0]->latStart, 3);
  EXPECT_DOUBLE_EQ(Bands(second)[0]->latEnd, 10);
  // The third section has no bands of its own: it repeats the second's rows
  // (unsplit there).
  CN5ObjSg* third = model.GetSegObj(3);
  ASSERT_EQ(third->bands.size(), 2u);
  EXPECT_DOUBLE_EQ(Bands(third)[0]->latStart, 0);
  EXPECT_DOUBLE_EQ(Bands(third)[0]->latEnd, 10);
}

TEST(PtfBuild, SegmentsWithoutContoursJoinTheirNeighboursSmoothly) {
  CRecordingUI ui;
  TrkDsc ds;
  MakeSplitTrack(ds);
  CN5PtfDb model;
  ASSERT_TRUE(PTFObjFromDataBase(ds, model, ""));
  CN5ObjSg* first = model.GetSegObj(1);
  CN5ObjSg* second = model.GetSegObj(2);
  ASSERT_FALSE(first->bankLines.empty());
  ASSERT_FALSE(second->bankLines.empty());
  // The outermost bank lines follow the cubic from (h 1, h' 0.01) at the end
  // of the first straight to (h 3, h' 0.02) 100 m later:
  // h(x) = -1e-6 x^3 + 2e-4 x^2 + 0.01 x + 1, so h(30) = 1.453 and
  // h'(30) = 0.0193.
  CN5ObjXs* a = Banks(first).front();
  CN5ObjXs* b = Banks(second).front();
  EXPECT_NEAR(a->latStart, -20, 1e-12);
  EXPECT_NEAR(a->heightStart, 1, 1e-9);
  EXPECT_NEAR(a->gradStart, 0.01, 1e-12);
  EXPECT_NEAR(a->heightEnd, 1.453, 1e-9);
  EXPECT_NEAR(a->gradEnd, 0.0193, 1e-12);
  EXPECT_NEAR(b->heightStart, 1.453, 1e-9);
  EXPECT_NEAR(b->gradStart, 0.0193, 1e-12);
  EXPECT_NEAR(b->heightEnd, 3, 1e-9);
  EXPECT_NEAR(b->gradEnd, 0.02, 1e-12);
  // The surface meets at the joins: heights just before and after them agree.
  model.GetTrackLength();
  for (double at : {100.0, 130.0, 200.0}) {
    double x, y, z0 = -1, z1 = -2;
    model.GetXYZ(at - 1e-6, 0.0, x, y, z0);
    model.GetXYZ(at + 1e-6, 0.0, x, y, z1);
    EXPECT_NEAR(z0, z1, 1e-6) << at;
  }
}

TEST(PtfBuild, SectionWithoutContoursBetweenTwoWithContoursIsJoined) {
  CRecordingUI ui;
  TrkDsc ds;
  SectionRow a = AddSection(ds, 0, 50, 0);
  AddRoad(ds, a);
  AddContour(ds, a, -20, 0, 0, 2, 0.05);
  AddContour(ds, a, 20, 0, 0, 1, 0);
  AddSection(ds, 1, 80, -45);
  SectionRow c = AddSection(ds, 0, 50, 0);
  AddContour(ds, c, -20, 4, -0.02, 4, 0);
  AddContour(ds, c, 20, 2, 0.01, 2, 0);
  CN5PtfDb model;
  ASSERT_TRUE(PTFObjFromDataBase(ds, model, ""));
  std::vector<CN5ObjXs*> mid = Banks(model.GetSegObj(1));
  ASSERT_GE(mid.size(), 2u);
  // Outermost lines: the left one meets (2, 0.05) and (4, -0.02), the right
  // one (1, 0) and (2, 0.01); the bands' edges have lines of their own.
  EXPECT_NEAR(mid.front()->heightStart, 2, 1e-9);
  EXPECT_NEAR(mid.front()->gradStart, 0.05, 1e-12);
  EXPECT_NEAR(mid.front()->heightEnd, 4, 1e-9);
  EXPECT_NEAR(mid.front()->gradEnd, -0.02, 1e-12);
  EXPECT_NEAR(mid.back()->heightStart, 1, 1e-9);
  EXPECT_NEAR(mid.back()->gradStart, 0, 1e-12);
  EXPECT_NEAR(mid.back()->heightEnd, 2, 1e-9);
  EXPECT_NEAR(mid.back()->gradEnd, 0.01, 1e-12);
  // Across the track the surface is continuous at both joins.
  model.GetTrackLength();
  const double joins[2] = {model.GetSegObj(1)->startLong, model.GetSegObj(1)->endLong};
  for (double at : joins)
    for (double lat : {-20.0, -7.0, 0.0, 12.0, 20.0}) {
      double x, y, z0 = -1, z1 = -2;
      model.GetXYZ(at - 1e-7, lat, x, y, z0);
      model.GetXYZ(at + 1e-7, lat, x, y, z1);
      EXPECT_NEAR(z0, z1, 1e-5) << at << " " << lat;
    }
}

TEST(PtfBuild, RunOfSectionsWithoutContoursIsJoinedOnlyBetweenTwoWithContours) {
  CRecordingUI ui;
  TrkDsc ds;
  // Bare, contoured, three bare, contoured, bare: only the middle run lies
  // between two sections with contours.
  for (int i = 0; i < 7; ++i) {
    SectionRow s = AddSection(ds, 0, 40, 0);
    if (i == 0) AddRoad(ds, s);
    if (i == 1 || i == 5) {
      AddContour(ds, s, -20, i, 0.01 * i, i + 1, 0);
      AddContour(ds, s, 20, 0, 0, 0.5 * i, 0.02);
    }
  }
  CN5PtfDb model;
  ASSERT_TRUE(PTFObjFromDataBase(ds, model, ""));
  for (int i = 0; i < 7; ++i) EXPECT_EQ(model.GetSegObj(i)->bankLines.empty(), i == 0 || i == 6) << i;
  model.GetTrackLength();
  for (int seg = 2; seg <= 5; ++seg)
    for (double lat : {-20.0, 0.0, 20.0}) {
      const double at = model.GetSegObj(seg)->startLong;
      double x, y, z0 = -1, z1 = -2;
      model.GetXYZ(at - 1e-7, lat, x, y, z0);
      model.GetXYZ(at + 1e-7, lat, x, y, z1);
      EXPECT_NEAR(z0, z1, 1e-5) << seg << " " << lat;
    }
}

TEST(PtfBuild, ResolutionsDefaultAndContoursTakeTheStartHeight) {
  CRecordingUI ui;
  TrkDsc ds;
  ds.TrackSummary.AddTrackSummaryRow("z", nullptr, nullptr, nullptr, 0.0, 0.0, 12.5, 0.0, nullptr, nullptr, nullptr,
                                     nullptr, nullptr, nullptr);
  SectionRow a = AddSection(ds, 0, 100, 0);
  AddRoad(ds, a);
  AddContour(ds, a, -20, 1, 0, 2, 0);
  CN5PtfDb model;
  ASSERT_TRUE(PTFObjFromDataBase(ds, model, ""));
  EXPECT_DOUBLE_EQ(model.longResolution, 15);
  EXPECT_DOUBLE_EQ(model.arcResolution, 5 * _ang_to_rad);
  EXPECT_DOUBLE_EQ(model.latResolution, 20);
  CN5ObjXs* x = Banks(model.GetSegObj(0)).front();
  EXPECT_DOUBLE_EQ(x->heightStart, 13.5);
  EXPECT_DOUBLE_EQ(x->heightEnd, 14.5);
}

TEST(PtfRoad, SampleCircuitRoundTrip) {
  CRecordingUI ui;
  CScopedSettings settings;
  CTempDir dir;
  std::filesystem::create_directories(dir.File("Out Dir"));
  const std::string ptf = dir.File("Out Dir/Sample-Circuit.PTF");
  ASSERT_EQ(CLapforge().XMLToPTF(kSample, ptf), 1) << (ui.shown.empty() ? "" : ui.shown[0].text);
  // The name is lower-cased, the folder kept.
  const std::string written = dir.File("Out Dir/sample-circuit.ptf");
  ASSERT_TRUE(Exists(written));
  // As the folder lists it (a file system that ignores case finds the
  // typed spelling too).
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.File("Out Dir")))
    names.push_back(entry.path().filename().string());
  EXPECT_EQ(names, std::vector<std::string>{"sample-circuit.ptf"});
  // The record inspector reads the whole file.
  {
    CN5Root r;
    std::string error;
    ASSERT_TRUE(Ok(r.ReadFromFile(written), error)) << error;
    EXPECT_EQ(r.BytesRead(), ReadBytes(written).size());
    std::string listing;
    ASSERT_TRUE(Ok(InspectRecordFile(written, listing), error)) << error;
    EXPECT_EQ(listing.rfind("records=", 0), 0u);
    // The inspector's rewrite is a faithful copy, walls included.
    ASSERT_TRUE(Ok(RewriteRecordFile(written, dir.File("copy.ptf")), error)) << error;
    EXPECT_EQ(ReadBytes(dir.File("copy.ptf")), ReadBytes(written));
  }

  std::unique_ptr<TrkDsc> original = CLapforge().DataBaseFromXML(kSample);
  ASSERT_TRUE(original);
  CN5PtfDb built;
  ASSERT_TRUE(PTFObjFromDataBase(*original, built, ptf));
  std::unique_ptr<TrkDsc> back = CLapforge().DataBaseFromPTF(written, false, true);
  ASSERT_TRUE(back);
  ASSERT_TRUE(ui.shown.empty()) << ui.shown[0].text;

  ASSERT_EQ(back->Section.Count(), original->Section.Count());
  for (int i = 0; i < original->Section.Count(); ++i) {
    SectionRow o = original->Section[i], b = back->Section[i];
    EXPECT_NEAR(b.Length(), o.Length(), 1e-6) << i;
    EXPECT_NEAR(b.Angle_Change(), o.Angle_Change(), 1e-6) << i;
    EXPECT_EQ(b.Type(), o.Type()) << i;
    // Bands and walls as the track holds them (catch fences added, grips
    // reduced, the first band under the first wall), laterals as stored in
    // single precision.
    CN5ObjSg* sg = built.GetSegObj(i);
    auto rows = b.GetTractionRows();
    ASSERT_EQ(rows.size(), sg->bands.size() + sg->walls.size()) << i;
    size_t k = 0;
    for (CN5Obj* f : sg->bands) {
      auto* band = dynamic_cast<CN5ObjFs*>(f);
      EXPECT_NEAR(rows[k].Lat_Start(), band->latStart, 1e-5);
      EXPECT_NEAR(rows[k].Lat_End(), band->latEnd, 1e-5);
      EXPECT_EQ(rows[k].Grip(), band->grip);
      ++k;
    }
    for (CN5Obj* w : sg->walls) {
      auto* wall = dynamic_cast<CN5ObjWs*>(w);
      EXPECT_NEAR(rows[k].Lat_Start(), wall->latStart, 1e-5);
      EXPECT_NEAR(rows[k].Lat_End(), wall->latEnd, 1e-5);
      EXPECT_EQ(rows[k].Grip(), wall->wallType);
      EXPECT_NEAR(rows[k].Height(), wall->heightStart, 1e-6);
      EXPECT_NEAR(rows[k].Width(), wall->widthStart, 1e-6);
      ++k;
    }
    // Contours come back with their absolute heights.
    auto oc = o.GetContourRows(), bc = b.GetContourRows();
    ASSERT_EQ(bc.size(), oc.size()) << i;
    for (size_t c = 0; c < oc.size(); ++c) {
      EXPECT_NEAR(bc[c].Latitude(), oc[c].Latitude(), 1e-5);
      EXPECT_NEAR(bc[c].Z(), oc[c].Z() + original->TrackSummary[0].Z_Origin(), 1e-9);
      EXPECT_NEAR(bc[c].Z_End(), oc[c].Z_End(), 1e-9);
      EXPECT_NEAR(bc[c].Grad_End(), oc[c].Grad_End(), 1e-6);
    }
  }
  // A PTF read back reports resolutions of 5 and a zero height origin.
  TrkDsc::TrackSummaryRow s = back->TrackSummary[0];
  EXPECT_EQ(s.LongitudinalResolution(), 5.0f);
  EXPECT_EQ(s.ArcResolution(), 5.0f);
  EXPECT_EQ(s.Z_Origin(), 0.0);
  EXPECT_DOUBLE_EQ(s.Ambient(), 0.6);
  EXPECT_EQ(s.Name(), "sample-circuit");

  // Trackside objects: by name without extension, at their track positions,
  // their angles now absolute (the track heads along +X there).
  ASSERT_EQ(back->TSO.Count(), original->TSO.Count());
  for (int i = 0; i < original->TSO.Count(); ++i) {
    TrkDsc::TSORow o = original->TSO[i], b = back->TSO[i];
    EXPECT_EQ(b.Name() + ".3do", o.Name());
    EXPECT_FALSE(b.WorldXYZ());
    EXPECT_NEAR(b.X(), o.X(), 1e-6);
    EXPECT_NEAR(b.Y(), o.Y(), 1e-6);
    EXPECT_NEAR(b.Z(), o.Z(), 1e-6);
    EXPECT_TRUE(b.WorldAngle());
    EXPECT_NEAR(b.A(), o.A(), 1e-4);
  }
  ASSERT_EQ(back->TrackDetail.Count(), original->TrackDetail.Count());
  for (int i = 0; i < original->TrackDetail.Count(); ++i) {
    TrkDsc::TrackDetailRow o = original->TrackDetail[i], b = back->TrackDetail[i];
    EXPECT_DOUBLE_EQ(b.longtiude(), o.longtiude());
    EXPECT_DOUBLE_EQ(b.width(), o.width());
    EXPECT_NEAR(b.angle(), o.angle(), 1e-9);
    EXPECT_EQ(b.tex(), o.tex());
  }
  EXPECT_EQ(back->AIInfo.Count(), 1);
}

TEST(PtfRoad, WorldPositionsAndAnglesOfTrackObjects) {
  CRecordingUI ui;
  TrkDsc ds;
  ds.TrackSummary.AddTrackSummaryRow("t", nullptr, nullptr, nullptr, 0.0, 0.0, 0.0, 0.0, nullptr, nullptr, nullptr,
                                     nullptr, nullptr, nullptr);
  SectionRow a = AddSection(ds, 1, 100, 90);
  AddRoad(ds, a);
  // On the track at long 50, 5 m left, 2 m up, turned 10 degrees further.
  ds.TSO.AddTSORow("Hut.3DO", false, 50.0, 5.0, 2.0, false, 10.0f, 0.0f, 0.0f, nullptr);
  // At a world position with world angles.
  ds.TSO.AddTSORow("post", true, 1.0, -30.0, 0.5, true, 45.0f, 0.0f, 0.0f, nullptr);
  CN5PtfDb model;
  ASSERT_TRUE(PTFObjFromDataBase(ds, model, ""));
  CN5ObjTk* tk = model.GetTk();
  ASSERT_EQ(tk->tsoRefs.size(), 2u);
  auto* hut = dynamic_cast<CN5ObjRo*>(tk->tsoRefs[0]);
  double x, y, z;
  model.GetXYZ(50.0, 5.0, x, y, z);
  EXPECT_DOUBLE_EQ(hut->placement[0], x);
  EXPECT_DOUBLE_EQ(hut->placement[1], y);
  EXPECT_DOUBLE_EQ(hut->placement[2], z + 2);
  EXPECT_NEAR(hut->placement[3], 45 * _ang_to_rad + 10 * _ang_to_rad, 1e-8);  // halfway round the bend
  EXPECT_EQ(dynamic_cast<CN5ObjTo*>(hut->children[0])->fileName, "hut.3do");
  auto* post = dynamic_cast<CN5ObjRo*>(tk->tsoRefs[1]);
  EXPECT_DOUBLE_EQ(post->placement[1], -30.0);
  EXPECT_DOUBLE_EQ(post->placement[3], 45 * _ang_to_rad);
  EXPECT_EQ(dynamic_cast<CN5ObjTo*>(post->children[0])->fileName, "post.3do");

  std::vector<TsoRecord> list;
  model.DbGetTso(list, true);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].name, "hut");
  EXPECT_EQ(list[0].worldXYZ, 1);
  EXPECT_DOUBLE_EQ(list[0].x, x);
  // On an arc the track point and its inverse differ by the arc formula's
  // quarter turn (1.570795 against 1.570796325): under 0.1 mm here.
  EXPECT_EQ(list[0].comment.rfind("LNG LAT 50.0000", 0), 0u) << list[0].comment;
  model.DbGetTso(list, false);
  EXPECT_NEAR(list[0].x, 50.0, 1e-4);
  EXPECT_NEAR(list[0].y, 5.0, 1e-4);
  EXPECT_NEAR(list[0].z, 2.0, 1e-6);
  EXPECT_EQ(list[0].worldAngle, 1);
  EXPECT_NEAR(list[0].a, 55.0, 1e-6);
  EXPECT_EQ(list[0].comment.rfind("XYZ ", 0), 0u);
}

TEST(PtfRoad, TextureTablesRebuiltSortedByGripWithIndicesPerGrip) {
  CRecordingUI ui;
  CScopedSettings settings;
  CTempDir dir;
  TrkDsc ds;
  ds.TrackSummary.AddTrackSummaryRow("t", nullptr, nullptr, nullptr, 0.0, 0.0, 0.0, 0.0, nullptr, nullptr, nullptr,
                                     nullptr, nullptr, nullptr);
  auto tex = [&](int grip, int index, const char* name) {
    TrkDsc::TractionTexRow r = ds.TractionTex.NewTractionTexRow();
    r.SetGrip(static_cast<uint16_t>(grip));
    r.SetTextureIndex(index);
    r.SetTex(name);
    r.SetRepeatLength(10.0);
    r.SetRepeatWidth(4.0);
    ds.TractionTex.AddTractionTexRow(r);
  };
  tex(5, 0, "grassa");
  tex(5, 1, "grassb");
  tex(1, 0, "road");
  SectionRow a = AddSection(ds, 0, 100, 0);
  AddBand(ds, a, -20, -20, 5, 0);
  AddBand(ds, a, -10, -10, 1, 0);
  AddBand(ds, a, 10, 10, 5, 1);
  AddBand(ds, a, 15, 15, 1, 0);
  AddBand(ds, a, 20, 20, 5, 0);
  const std::string ptf = dir.File("t.ptf");
  ASSERT_EQ(CLapforge().PTFFromDataBase(ds, ptf), 1);
  Result opened;
  std::unique_ptr<CN5PtfDb> model = CN5PtfDb::CreateFromFile(ptf, opened);
  ASSERT_TRUE(model);
  std::vector<TractionRecord> rows;
  model->DbGetTractions(0, rows);
  ASSERT_EQ(rows.size(), 5u);
  // grassa, road, grassb, road again, and the edge band without texture.
  EXPECT_EQ(rows[0].textureIndex, 0);
  EXPECT_EQ(rows[1].textureIndex, 0);
  EXPECT_EQ(rows[2].textureIndex, 1);
  EXPECT_EQ(rows[3].textureIndex, 0);
  EXPECT_EQ(rows[0].coordCount, 4);
  EXPECT_EQ(rows[4].coordCount, 0);
  CTrackTractionTexArray table = model->DbGetTractionTex();
  ASSERT_EQ(table.GetSize(), 3);
  EXPECT_EQ(table[0].grip, 1);
  EXPECT_EQ(table[0].tex, "road");
  EXPECT_EQ(table[1].grip, 5);
  EXPECT_EQ(table[1].tex, "grassa");
  EXPECT_EQ(table[1].textureIndex, 0);
  EXPECT_EQ(table[2].tex, "grassb");
  EXPECT_EQ(table[2].textureIndex, 1);
  // The repeat length comes back from the V span of the band: 100 m over
  // 10 repeats.
  EXPECT_NEAR(table[1].repeatLength, 10.0, 1e-9);
  EXPECT_NEAR(table[1].repeatWidth, 4.0, 1e-9);
  EXPECT_EQ(table[1].contourFlag, 1);
}

TEST(PtfRoad, VersionFiveAndSevenDifferInTheirRecords) {
  CRecordingUI ui;
  CScopedSettings settings;
  CTempDir dir;
  std::unique_ptr<TrkDsc> ds = CLapforge().DataBaseFromXML(kSample);
  ASSERT_TRUE(ds);
  ASSERT_EQ(CLapforge().PTFFromDataBase(*ds, dir.File("v7.ptf")), 1);
  ASSERT_TRUE(CRegOption::SetOption("WriteN4PTF", 1));
  ASSERT_EQ(CLapforge().PTFFromDataBase(*ds, dir.File("v5.ptf")), 1);
  std::vector<uint8_t> v7 = ReadBytes(dir.File("v7.ptf")), v5 = ReadBytes(dir.File("v5.ptf"));
  // The track record opens both: object 1, class 2, the class name, the
  // long header (tag 1, no name) and then its header value: 8 for version 7,
  // 6 for version 5; the segment count follows.
  for (const auto* b : {&v7, &v5}) {
    ASSERT_GT(b->size(), 300u);
    EXPECT_EQ(U32At(*b, 0), 1u);
    EXPECT_EQ(U32At(*b, 4), 2u);
    EXPECT_EQ(U32At(*b, 8), 16u);
    EXPECT_EQ(std::memcmp(b->data() + 12, "TrackDescriptor", 16), 0);
    EXPECT_EQ(U32At(*b, 28), 1u);
    EXPECT_EQ(U32At(*b, 32), 0u);
    EXPECT_EQ(U32At(*b, 40), 16u);
  }
  EXPECT_EQ(U32At(v7, 36), 8u);
  EXPECT_EQ(U32At(v5, 36), 6u);
  // Version 7: night byte, then the ambient light three times.
  EXPECT_EQ(v7[44], 0);
  EXPECT_DOUBLE_EQ(F64At(v7, 45), 0.6);
  EXPECT_DOUBLE_EQ(F64At(v7, 61), 0.6);
  // Version 5: a byte and the 21 values of the older summary, the first
  // -0.596574.
  EXPECT_DOUBLE_EQ(F64At(v5, 45), -0.596574);
  CN5Root r5, r7;
  std::string error;
  ASSERT_TRUE(Ok(r5.ReadFromFile(dir.File("v5.ptf")), error)) << error;
  ASSERT_TRUE(Ok(r7.ReadFromFile(dir.File("v7.ptf")), error)) << error;
  EXPECT_EQ(r5.formatVersion, 5);
  EXPECT_EQ(r7.formatVersion, 7);
  for (auto& o : r5.All()) {
    if (o->IsRtName("CN5ObjSg")) { EXPECT_EQ(o->headerValue, 1); }
    if (o->IsRtName("CN5ObjWs")) { EXPECT_EQ(o->headerValue, 5); }
    if (o->IsRtName("CN5ObjXs")) { EXPECT_EQ(o->headerValue, 2); }
  }
  for (auto& o : r7.All()) {
    if (o->IsRtName("CN5ObjSg")) { EXPECT_EQ(o->headerValue, 2); }
    if (o->IsRtName("CN5ObjWs")) { EXPECT_EQ(o->headerValue, 7); }
    if (o->IsRtName("CN5ObjXs")) { EXPECT_EQ(o->headerValue, 3); }
  }
}

TEST(PtfRoad, BumpsDetailsAndResolutionsComeBack) {
  CRecordingUI ui;
  CScopedSettings settings;
  CTempDir dir;
  TrkDsc ds;
  ds.TrackSummary.AddTrackSummaryRow("b", nullptr, nullptr, nullptr, 0.0, 0.0, 0.0, 30.0, 12.0, true, 0.4, nullptr,
                                     nullptr, nullptr);
  SectionRow a = AddSection(ds, 0, 100, 0);
  AddRoad(ds, a);
  ds.PtfBumpRef.AddPtfBumpRefRow(int64_t(3), 1.5f, 2.5f, a);
  ds.PtfBumpScale.AddPtfBumpScaleRow(-1.0f, 1.0f, 0.5f, 0.75f, a);
  SectionRow b = AddSection(ds, 1, 50, -90);
  ds.PtfBumpDef.AddPtfBumpDefRow(int64_t(0), 0.1f, 0.2f, 0.3f, 0.4f, 1.0f, 2.0f, 3.0f, 4.0f);
  ds.TrackDetail.AddTrackDetailRow(10.0, 2.0, 1.0, 8.0, 30.0, 0.5, 2.0, "Arrow");
  const std::string ptf = dir.File("b.ptf");
  ASSERT_EQ(CLapforge().PTFFromDataBase(ds, ptf), 1);
  std::unique_ptr<TrkDsc> back = CLapforge().DataBaseFromPTF(ptf, false, true);
  ASSERT_TRUE(back);
  TrkDsc::TrackSummaryRow s = back->TrackSummary[0];
  EXPECT_NEAR(s.StartAngle(), 30.0, 1e-9);
  EXPECT_NEAR(s.NS_Angle(), 12.0, 1e-5);
  EXPECT_TRUE(s.Night_Track());
  EXPECT_DOUBLE_EQ(s.Ambient(), 0.4);
  ASSERT_EQ(back->Section.Count(), 2);
  EXPECT_NEAR(back->Section[1].Angle_Change(), -90, 1e-6);  // a right turn whose end heading wrapped
  EXPECT_NEAR(back->Section[1].Angle_Start(), 0, 1e-9);
  auto refs = back->Section[0].GetPtfBumpRefRows();
  ASSERT_EQ(refs.size(), 1u);
  EXPECT_EQ(refs[0].index(), 3);
  EXPECT_EQ(refs[0].lat_start(), 1.5f);
  EXPECT_EQ(refs[0].lat_end(), 2.5f);
  auto scales = back->Section[0].GetPtfBumpScaleRows();
  ASSERT_EQ(scales.size(), 1u);
  EXPECT_EQ(scales[0].scale_end(), 0.75f);
  ASSERT_EQ(back->PtfBumpDef.Count(), 1);
  EXPECT_EQ(back->PtfBumpDef[0].size3(), 0.3f);
  EXPECT_EQ(back->PtfBumpDef[0].distance4(), 4.0f);
  ASSERT_EQ(back->TrackDetail.Count(), 1);
  TrkDsc::TrackDetailRow d = back->TrackDetail[0];
  EXPECT_NEAR(d.angle(), 30.0, 1e-9);
  EXPECT_DOUBLE_EQ(d.u(), 0.5);
  EXPECT_DOUBLE_EQ(d.v(), 2.0);
  EXPECT_DOUBLE_EQ(d.length(), 1.0);
  EXPECT_DOUBLE_EQ(d.width(), 8.0);
  EXPECT_EQ(d.tex(), "arrow");
  auto mesh = back->Section[0].GetMeshRows();
  ASSERT_EQ(mesh.size(), 1u);
  EXPECT_EQ(mesh[0].LongitudinalResolution(), 0.0f);
  (void)b;
}

TEST(PtfRoad, SceneryObjectsBecomeObjectFilesBesideThePtf) {
  CRecordingUI ui;
  CScopedSettings settings;
  CTempDir dir;
  TrkDsc ds;
  ds.TrackSummary.AddTrackSummaryRow("s", nullptr, nullptr, nullptr, 0.0, 0.0, 0.0, 0.0, nullptr, nullptr, nullptr,
                                     nullptr, nullptr, nullptr);
  for (int i = 0; i < 4; ++i) {
    SectionRow a = AddSection(ds, 0, 250, 0);
    AddRoad(ds, a);
  }
  ds.InfieldObj.AddInfieldObjRow("Infield1", true, 900.0f, 100.0f, 0.0f, 0.0f, nullptr, nullptr, "grass", nullptr);
  ds.VerticalObj.AddVerticalObjRow("Board", 10.0f, -15.0f, 30.0f, -15.0f, 0.0f, 3.0f, "ad01");
  std::filesystem::create_directories(dir.File("Track"));
  const std::string ptf = dir.File("Track/s.ptf");
  ASSERT_EQ(CLapforge().PTFFromDataBase(ds, ptf), 1) << (ui.shown.empty() ? "" : ui.shown[0].text);
  EXPECT_TRUE(Exists(dir.File("Track/infield1.3do")));
  ASSERT_TRUE(Exists(dir.File("Track/board.3do")));
  Result opened;
  std::unique_ptr<CN5PtfDb> model = CN5PtfDb::CreateFromFile(ptf, opened);
  ASSERT_TRUE(model);
  std::vector<TsoRecord> tsos;
  model->DbGetTso(tsos, true);
  ASSERT_EQ(tsos.size(), 2u);
  EXPECT_EQ(tsos[0].name, "infield1");
  EXPECT_EQ(tsos[1].name, "board");
  // The board stands right of the track (lat -15): corners P0, P3, P2, P1,
  // centred on the middle of its extent at its foot (long 20, lat -15).
  EXPECT_NEAR(tsos[1].x, 20.0, 1e-5);
  EXPECT_NEAR(tsos[1].y, -15.0, 1e-5);
  EXPECT_NEAR(tsos[1].z, 0.0, 1e-5);
  CN5Root board;
  std::string error;
  ASSERT_TRUE(Ok(board.ReadFromFile(dir.File("Track/board.3do")), error)) << error;
  const CN5ObjVl* vl = nullptr;
  for (auto& o : board.All())
    if ((vl = dynamic_cast<const CN5ObjVl*>(o.get()))) break;
  ASSERT_NE(vl, nullptr);
  ASSERT_EQ(vl->positions.size(), 4u);
  const double expect[4][3] = {{-10, 0, 0}, {-10, 0, 3}, {10, 0, 3}, {10, 0, 0}};
  for (int k = 0; k < 4; ++k) {
    EXPECT_NEAR(vl->positions[size_t(k)].x, expect[k][0], 1e-5) << k;
    EXPECT_NEAR(vl->positions[size_t(k)].y, expect[k][1], 1e-5) << k;
    EXPECT_NEAR(vl->positions[size_t(k)].z, expect[k][2], 1e-5) << k;
  }
  EXPECT_EQ(vl->uvs[1].u, 1.0);
  EXPECT_EQ(vl->uvs[1].v, 0.0);
}

TEST(PtfRoad, DescriptionsThatMakeNoTrackWriteNothing) {
  CScopedSettings settings;
  CTempDir dir;
  const std::string ptf = dir.File("bad.ptf");
  {
    // No sections at all.
    CRecordingUI ui;
    TrkDsc ds;
    EXPECT_EQ(CLapforge().PTFFromDataBase(ds, ptf), 0);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_NE(ui.shown[0].text.find("no sections"), std::string::npos);
  }
  {
    // An arc that does not turn.
    CRecordingUI ui;
    TrkDsc ds;
    SectionRow a = AddSection(ds, 0, 100, 0);
    AddRoad(ds, a);
    AddSection(ds, 1, 100, 0);
    EXPECT_EQ(CLapforge().PTFFromDataBase(ds, ptf), 0);
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_NE(ui.shown[0].text.find("arc"), std::string::npos);
    EXPECT_EQ(ui.shown[1].text, "Error in Section of Section 1\n\n1\n1\n0\n100\n0\n0\n0\n0");
  }
  {
    // A value that is not a number: a band without a grip code.
    CRecordingUI ui;
    TrkDsc ds;
    SectionRow a = AddSection(ds, 0, 100, 0);
    ds.Traction.AddTractionRow(-2.5, nullptr, nullptr, uint16_t(0), true, nullptr, nullptr, nullptr, nullptr, a);
    EXPECT_EQ(CLapforge().PTFFromDataBase(ds, ptf), 0);
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[0].text,
              "Cannot get value because it is DBNull.\n"
              "The Traction row has no value in: Lat_End, Grip, Height, HeightEnd, Width, WidthEnd");
    EXPECT_EQ(ui.shown[1].text, "Error in Traction of Section 0\n\n-2.5\n\n\n0\ntrue\n\n\n\n");
  }
  {
    // A length that is not a finite number.
    CRecordingUI ui;
    TrkDsc ds;
    AddSection(ds, 0, std::nan(""), 0);
    EXPECT_EQ(CLapforge().PTFFromDataBase(ds, ptf), 0);
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[1].text.rfind("Error in Section of Section 0\n", 0), 0u);
  }
  {
    // Outside the sections.
    CRecordingUI ui;
    TrkDsc ds;
    ds.TrackSummary.AddTrackSummaryRow("x", nullptr, nullptr, nullptr, nullptr, 0.0, 0.0, 0.0, nullptr, nullptr,
                                       nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(CLapforge().PTFFromDataBase(ds, ptf), 0);
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[1].text.rfind("Error in TrackSummary\n\nx\n", 0), 0u);
  }
  EXPECT_FALSE(Exists(ptf));
}

TEST(PtfRoad, UnreadablePtfGivesNoXml) {
  CRecordingUI ui;
  CTempDir dir;
  EXPECT_EQ(CLapforge().PTFtoXML(dir.File("missing.ptf"), dir.File("out.xml"), false, true), 0);
  EXPECT_FALSE(Exists(dir.File("out.xml")));
  WriteText(dir.File("junk.ptf"), "not a track file at all");
  EXPECT_EQ(CLapforge().PTFtoXML(dir.File("junk.ptf"), dir.File("out.xml"), false, true), 0);
  EXPECT_FALSE(Exists(dir.File("out.xml")));
  EXPECT_EQ(ui.shown.size(), 2u);
}

TEST(PtfRead, TracksMadeByOtherToolsReadIntoADescription) {
  CRecordingUI ui;
  CTempDir dir;
  // A track of three straight segments with one bank line, two bands (the second
  // without texture), two walls, a detail and a flagger, in both versions;
  // and a track of two inside a group beside other kinds of record.
  std::vector<std::unique_ptr<CN5Root>> trees;
  trees.push_back(MakeTrackTree(3, 7));
  trees.push_back(MakeTrackTree(3, 5));
  trees.push_back(MakeEveryKindTree(7));
  for (size_t i = 0; i < trees.size(); ++i) {
    // The builder's odd segments are arcs that do not turn, which the track
    // model refuses; here every segment is a straight.
    for (auto& o : trees[i]->All())
      if (auto* sg = dynamic_cast<CN5ObjSg*>(o.get())) sg->segType = 0;
    const std::string path = dir.File("other" + std::to_string(i) + ".ptf");
    std::vector<uint8_t> bytes = trees[i]->WriteToBuffer();
    std::string error;
    ASSERT_TRUE(Ok(ReplaceFile(path, bytes), error)) << error;
    std::unique_ptr<TrkDsc> ds = CLapforge().DataBaseFromPTF(path, true, true);
    ASSERT_TRUE(ds) << i << (ui.shown.empty() ? "" : ui.shown.back().text);
    EXPECT_EQ(ds->Section.Count(), i < 2 ? 3 : 2) << i;
    ASSERT_EQ(ds->TSO.Count(), 1) << i;
    EXPECT_EQ(ds->TSO[0].Name(), "flagger");
    EXPECT_DOUBLE_EQ(ds->TSO[0].X(), 100.5);
    EXPECT_NEAR(ds->TSO[0].A(), 1.25 * _rad_to_ang, 1e-4);
    EXPECT_EQ(ds->TrackDetail.Count(), 1) << i;
    auto rows = ds->Section[0].GetTractionRows();
    ASSERT_EQ(rows.size(), 4u) << i;
    EXPECT_EQ(rows[0].GetTractionTexCoordRows().size(), 4u);
    EXPECT_EQ(rows[1].GetTractionTexCoordRows().size(), 0u);
    EXPECT_EQ(ds->Section[0].GetContourRows().size(), 1u);
    EXPECT_GE(ds->WallTex.Count(), 1);
    EXPECT_GE(ds->TractionTex.Count(), 1);
  }
  EXPECT_TRUE(ui.shown.empty()) << ui.shown[0].text;
}

TEST(PtfRead, NullEntriesInTheSegmentArrayAreSkippedAndKeepTheirPosition) {
  CRecordingUI ui;
  CTempDir dir;
  // Segment arrays [null, straight, straight] and [straight, null, straight]:
  // the format allows null entries, and the import must neither crash nor
  // shift the section numbers that the texture tables refer to.
  for (size_t nullAt : {0u, 1u}) {
    std::unique_ptr<CN5Root> tree = MakeTrackTree(3, 7);
    CN5ObjTk* tk = nullptr;
    for (auto& o : tree->All()) {
      if (auto* sg = dynamic_cast<CN5ObjSg*>(o.get())) sg->segType = 0;
      if (auto* t = dynamic_cast<CN5ObjTk*>(o.get())) tk = t;
    }
    ASSERT_TRUE(tk);
    auto* first = dynamic_cast<CN5ObjSg*>(tk->segments[nullAt == 0 ? 1 : 0]);
    first->startAngle = 0.5;
    first->endAngle = 0.5;
    tk->segments[nullAt] = nullptr;
    const std::string path = dir.File("null" + std::to_string(nullAt) + ".ptf");
    std::string error;
    ASSERT_TRUE(Ok(ReplaceFile(path, tree->WriteToBuffer()), error)) << error;
    std::unique_ptr<TrkDsc> ds = CLapforge().DataBaseFromPTF(path, false, true);
    ASSERT_TRUE(ds) << nullAt;
    ASSERT_EQ(ds->Section.Count(), 2) << nullAt;
    const uint16_t want[2][2] = {{1, 2}, {0, 2}};
    EXPECT_EQ(ds->Section[0].Index(), want[nullAt][0]);
    EXPECT_EQ(ds->Section[1].Index(), want[nullAt][1]);
    // Headings are taken from the first segment record present.
    EXPECT_NEAR(ds->TrackSummary[0].StartAngle(), 0.5 * _rad_to_ang, 1e-9);
    EXPECT_NEAR(ds->Section[0].Angle_Start(), 0.0, 1e-9);
    // The first section using a texture is the first one read, by its index.
    ASSERT_GE(ds->TractionTex.Count(), 1);
    EXPECT_EQ(ds->TractionTex[0].FirstSection(), want[nullAt][0]) << nullAt;
    ASSERT_GE(ds->WallTex.Count(), 1);
    EXPECT_EQ(ds->WallTex[0].FirstSection(), want[nullAt][0]) << nullAt;
  }
  EXPECT_TRUE(ui.shown.empty()) << ui.shown[0].text;
}

TEST(PtfRead, TextureSpansThatAreNotFiniteGiveNoClampHint) {
  CRecordingUI ui;
  CTempDir dir;
  // The clamp hint comes from the U span of a band's texture corners; a
  // damaged file may hold any value there.
  const std::pair<double, int> spans[] = {
      {1.0, 1}, {0.85, 0}, {1.85, 1}, {1.95, 0}, {NAN, 0}, {1e300, 0}, {-INFINITY, 0}};
  for (auto [u3, hint] : spans) {
    std::unique_ptr<CN5Root> tree = MakeTrackTree(1, 7);
    for (auto& o : tree->All()) {
      if (auto* sg = dynamic_cast<CN5ObjSg*>(o.get())) sg->segType = 0;
      if (auto* fs = dynamic_cast<CN5ObjFs*>(o.get()); fs && fs->textureCoords)
        if (auto* tu = dynamic_cast<CN5ObjTu*>(fs->textureCoords)) tu->u1[3] = u3;
    }
    const std::string path = dir.File("span.ptf");
    std::string error;
    ASSERT_TRUE(Ok(ReplaceFile(path, tree->WriteToBuffer()), error)) << error;
    std::unique_ptr<TrkDsc> ds = CLapforge().DataBaseFromPTF(path, false, true);
    ASSERT_TRUE(ds) << u3;
    ASSERT_EQ(ds->TractionTex.Count(), 1) << u3;
    EXPECT_EQ(ds->TractionTex[0].ClampHint(), hint) << u3;
  }
  // The file the fuzzing found: such a span in a band of a damaged track.
  std::unique_ptr<TrkDsc> ds = CLapforge().DataBaseFromPTF(
      std::string(LAPFORGE_SOURCE_DIR) + "/tests/mapping/data/nan_texture_span.ptf", false, true);
  if (ds) { EXPECT_NO_THROW(ds->GetXml()); }
}

TEST(PtfRoad, InfieldFanWrapsPastTheStartAndBridgesTheExcludedStretch) {
  CRecordingUI ui;
  CScopedSettings settings;
  CTempDir dir;
  TrkDsc ds;
  ds.TrackSummary.AddTrackSummaryRow("s", nullptr, nullptr, nullptr, 0.0, 0.0, 0.0, 0.0, nullptr, nullptr, nullptr,
                                     nullptr, nullptr, nullptr);
  for (int i = 0; i < 4; ++i) AddRoad(ds, AddSection(ds, 0, 250, 0));
  ds.InfieldObj.AddInfieldObjRow("wrap", true, 900.0f, 100.0f, 0.0f, 0.0f, nullptr, nullptr, "grass", nullptr);
  ds.InfieldObj.AddInfieldObjRow("gap", true, 0.0f, 500.0f, 200.0f, 300.0f, nullptr, nullptr, "grass", nullptr);
  const std::string ptf = dir.File("s.ptf");
  ASSERT_EQ(CLapforge().PTFFromDataBase(ds, ptf), 1) << (ui.shown.empty() ? "" : ui.shown[0].text);
  auto read = [&](const std::string& name, std::vector<_dxyz>& corners) {
    CN5Root r;
    std::string error;
    ASSERT_TRUE(Ok(r.ReadFromFile(dir.File(name)), error)) << error;
    for (auto& o : r.All())
      if (auto* vl = dynamic_cast<const CN5ObjVl*>(o.get())) corners = vl->positions;
  };
  // 900 to 1100 every 20 m: nine fan triangles, one to the end and the
  // closing one; every face is written with its own three corners.
  std::vector<_dxyz> wrap;
  read("wrap.3do", wrap);
  EXPECT_EQ(wrap.size(), 11u * 3);
  // 0 to 500 every 5 m, except that 200 and 300 are joined by one triangle.
  std::vector<_dxyz> gap;
  read("gap.3do", gap);
  ASSERT_EQ(gap.size(), (39u + 1 + 40 + 1 + 1) * 3);
  int bridges = 0;
  for (size_t t = 0; t + 2 < gap.size(); t += 3) {
    double span = gap[t + 2].x - gap[t].x;
    if (std::fabs(span - 100) < 1e-4) ++bridges;
    EXPECT_TRUE(std::fabs(span - 5) < 1e-4 || std::fabs(span - 100) < 1e-4 || t + 3 == gap.size()) << t;
  }
  EXPECT_EQ(bridges, 1);
  // The centre point, half a metre up, is the middle corner of every face;
  // the object stands at the middle of its extent on its lowest point.
  EXPECT_NEAR(gap[1].z, 0.5, 1e-6);
  EXPECT_NEAR(gap[1].x, 245 - 250, 1e-4);
  Result opened;
  std::unique_ptr<CN5PtfDb> model = CN5PtfDb::CreateFromFile(ptf, opened);
  ASSERT_TRUE(model);
  std::vector<TsoRecord> tsos;
  model->DbGetTso(tsos, true);
  ASSERT_EQ(tsos.size(), 2u);
  EXPECT_NEAR(tsos[1].x, 250, 1e-4);
  EXPECT_NEAR(tsos[1].y, -9.5, 1e-4);
  EXPECT_NEAR(tsos[1].z, 0, 1e-6);
}

}  // namespace lapforge
