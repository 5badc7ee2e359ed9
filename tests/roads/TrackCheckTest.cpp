// The track checker: each fault found in a description made to have it,
// nothing in clean tracks, and the line and JSON forms of the findings.
#include <gtest/gtest.h>

#include <cmath>
#include <nlohmann/json.hpp>

#include "roads/TrackCheck.h"
#include "support/TextFormat.h"
#include "tests/support/ResultCheck.h"
#include "tests/support/TestSupport.h"
#include "tests/support/description/CheckedTracks.h"

namespace lapforge {

namespace {

std::vector<CheckFinding> CheckOf(const TrkDsc& ds) { return CTrackCheck().Check(ds, ""); }

// The findings of one severity whose table, row and section match and whose
// message holds every given text.
int Count(const std::vector<CheckFinding>& findings, CheckSeverity severity, const std::string& table, int row,
          int section, std::initializer_list<const char*> texts) {
  int n = 0;
  for (const CheckFinding& f : findings) {
    if (f.severity != severity || f.table != table || f.row != row || f.section != section) continue;
    bool all = true;
    for (const char* t : texts) all = all && f.message.find(t) != std::string::npos;
    n += all ? 1 : 0;
  }
  return n;
}

std::string Listing(const std::vector<CheckFinding>& findings) {
  std::string s;
  for (const CheckFinding& f : findings) s += CTrackCheck::FormatLine(f) + "\n";
  return s;
}

constexpr auto E = CheckSeverity::Error;
constexpr auto W = CheckSeverity::Warning;

}  // namespace

TEST(TrackCheckClean, LoopAndSampleTrackHaveNoFindings) {
  TrkDsc ds;
  FillCheckedLoop(ds);
  std::vector<CheckFinding> f = CheckOf(ds);
  EXPECT_TRUE(f.empty()) << Listing(f);
  f = CTrackCheck().CheckFile(LAPFORGE_SOURCE_DIR "/examples/sample-circuit.xml");
  EXPECT_TRUE(f.empty()) << Listing(f);
}

TEST(TrackCheckClean, OpenTrackIsNotJudgedForClosure) {
  TrkDsc ds;
  FillCheckedLoop(ds);
  while (ds.Section.Count() > 1) ds.Section.RemoveSectionRow(ds.Section[ds.Section.Count() - 1]);
  const std::vector<CheckFinding> f = CheckOf(ds);
  EXPECT_EQ(CTrackCheck::ErrorCount(f), 0) << Listing(f);
}

// ---- errors ----

TEST(TrackCheckErrors, LoopWhoseEndMissesItsStart) {
  TrkDsc ds;
  FillCheckedLoop(ds);
  fault::LongFirstStraight(ds);
  std::vector<CheckFinding> f = CheckOf(ds);
  // The first straight 3 m longer moves everything after it 3 m along +X.
  EXPECT_EQ(Count(f, E, "Section", 7, 7, {"misses its start by 3.000 m", "0.00 degrees"}), 1) << Listing(f);
  EXPECT_EQ(CTrackCheck::ErrorCount(f), 1) << Listing(f);

  TrkDsc turned;
  FillCheckedLoop(turned);
  fault::ShortLastArc(turned);
  f = CheckOf(turned);
  // 90 + 90 + 90 + 88 = 358 degrees: the end heads 2 degrees right of the start.
  EXPECT_EQ(Count(f, E, "Section", 7, 7, {"heading -2.00 degrees off"}), 1) << Listing(f);
}

TEST(TrackCheckErrors, SectionWithoutLengthAndArcWithoutSweep) {
  TrkDsc ds;
  FillCheckedLoop(ds);
  fault::ZeroLengthSection(ds, 2);
  fault::ArcWithoutSweep(ds, 3);
  const std::vector<CheckFinding> f = CheckOf(ds);
  EXPECT_EQ(Count(f, E, "Section", 2, 2, {"no length"}), 1) << Listing(f);
  EXPECT_EQ(Count(f, E, "Section", 3, 3, {"turns by 0 degrees"}), 1) << Listing(f);
}

TEST(TrackCheckErrors, GripWithoutTextureEntryIsReportedOnceAtItsFirstRow) {
  TrkDsc ds;
  FillCheckedLoop(ds);
  fault::GripWithoutEntry(ds);
  const std::vector<CheckFinding> f = CheckOf(ds);
  EXPECT_EQ(Count(f, E, "Traction", 2, 2, {"grip 7 has no TractionTex row"}), 1) << Listing(f);
  EXPECT_EQ(CTrackCheck::ErrorCount(f), 1) << Listing(f);
}

TEST(TrackCheckErrors, TextureWithoutMaterial) {
  TrkDsc ds;
  FillCheckedLoop(ds);
  fault::TextureWithoutMaterial(ds);
  const std::vector<CheckFinding> f = CheckOf(ds);
  EXPECT_EQ(Count(f, E, "Traction", 1, 0, {"\"tarmac\"", "no Material row"}), 1) << Listing(f);
  EXPECT_EQ(CTrackCheck::ErrorCount(f), 1) << Listing(f);
}

TEST(TrackCheckErrors, BandsOutOfLateralOrder) {
  TrkDsc ds;
  FillCheckedLoop(ds);
  fault::BandsSwapped(ds);
  const std::vector<CheckFinding> f = CheckOf(ds);
  EXPECT_EQ(Count(f, E, "Traction", 2, 3, {"edge at -6 m", "after the edge at 6 m"}), 1) << Listing(f);
  EXPECT_EQ(CTrackCheck::ErrorCount(f), 1) << Listing(f);
}

TEST(TrackCheckErrors, RowsTheTrackBuildRefuses) {
  TrkDsc ds;
  FillCheckedLoop(ds);
  fault::TractionWithoutLateral(ds);
  std::vector<CheckFinding> f = CheckOf(ds);
  // Named once, at the row; the failed build adds nothing more.
  EXPECT_EQ(Count(f, E, "Traction", 1, 5, {"no value for Lat_Start"}), 1) << Listing(f);
  EXPECT_EQ(CTrackCheck::ErrorCount(f), 1) << Listing(f);

  TrkDsc bumps;
  FillCheckedLoop(bumps);
  fault::BumpDefBeyondList(bumps);
  f = CheckOf(bumps);
  EXPECT_EQ(Count(f, E, "PtfBumpDef", 0, -1, {"index 2 is not between 0 and 0"}), 1) << Listing(f);
  EXPECT_EQ(CTrackCheck::ErrorCount(f), 1) << Listing(f);
}

// A mesh beyond the budget is counted, never made, and named by the row
// whose block is the largest, with the resolution it is meshed at.
struct BudgetCase {
  const char* name;
  void (*make)(TrkDsc&);
  const char* table;
  int row, section;
  const char* text;  // null: no error at all
};

class TrackCheckBudget : public testing::TestWithParam<BudgetCase> {};

TEST_P(TrackCheckBudget, FoundByCountingAndNamed) {
  const BudgetCase& c = GetParam();
  TrkDsc ds;
  FillCheckedLoop(ds);
  c.make(ds);
  CTrackCheck check;
  const std::vector<CheckFinding> f = check.Check(ds, "");
  EXPECT_EQ(CTrackCheck::ErrorCount(f), c.text ? 1 : 0) << Listing(f);
  EXPECT_EQ(check.MeshBytes() > CTrackCheck::kMeshBudget, c.text != nullptr);
  if (c.text) {
    EXPECT_EQ(Count(f, E, c.table, c.row, c.section, {c.text, "more than the 4.0 GB an export may make"}), 1)
        << Listing(f);
  }
}

void MicrometreAlong(TrkDsc& ds) { ds.TrackSummary[0].SetLongitudinalResolution(1e-6f); }
void MeshRowAcross(TrkDsc& ds) { ds.Mesh.AddMeshRow(15.0f, 5.0f, 1e-5f, ds.Section[3]); }
void HugeDetail(TrkDsc& ds) {
  ds.TrackDetail[0].Setlength(1e7);
  ds.TrackDetail[0].Setwidth(1e3);
}
void InfieldTiledFinely(TrkDsc& ds) {
  ds.InfieldObj.AddInfieldObjRow("inner", true, 100.0f, 300.0f, 0.0f, 0.0f, 1.0f, 1e-6f, "grass", 10.0f);
}
// (A resolution that is not a number is an error of its own.)
void NotAbove0(TrkDsc& ds) {
  ds.TrackSummary[0].SetLateralResolution(0.0f);
  ds.TrackSummary[0].SetLongitudinalResolution(-1.0f);
  ds.Mesh.AddMeshRow(0.0f, -5.0f, -1.0f, ds.Section[2]);
}

// Every segment meets the 10^7 rows a mesh count stops at (the first of the
// equal blocks is named); the detail is 10^7 m by 10^3 m in cells of 4 m
// (the lateral resolution); resolutions not above 0 add nothing.
INSTANTIATE_TEST_SUITE_P(
    Cases, TrackCheckBudget,
    testing::Values(BudgetCase{"MicrometreAlong", MicrometreAlong, "Section", 0, 0,
                               "10000001 rows along at LongitudinalResolution 1e-06 m of the TrackSummary"},
                    BudgetCase{"MeshRowAcross", MeshRowAcross, "Section", 3, 3,
                               "cells across at LateralResolution 1e-05 m of its Mesh row 0"},
                    BudgetCase{"HugeDetail", HugeDetail, "TrackDetail", 0, -1,
                               "this detail's, 625000000 faces: 2500000 by 250 cells of 4 m"},
                    BudgetCase{"InfieldTiledFinely", InfieldTiledFinely, "InfieldObj", 0, -1, "(its TilingScale)"},
                    BudgetCase{"NotAbove0", NotAbove0, "", -1, -1, nullptr}),
    [](const testing::TestParamInfo<BudgetCase>& info) { return std::string(info.param.name); });

TEST(TrackCheckErrors, MoreSectionsThanAnIndexHoldsIsATypingError) {
  CTempDir dir;
  std::string xml = "<TrkDsc xmlns=\"http://tempuri.org/TrkDsc.xsd\">";
  for (int i = 0; i <= 65536; ++i)
    xml += StrFormat(
        "<Section><Index>%d</Index><Type>0</Type><Length>10</Length><Angle_Change>0</Angle_Change>"
        "</Section>",
        i);
  WriteText(dir.File("long.xml"), xml + "</TrkDsc>");
  const std::vector<CheckFinding> f = CTrackCheck().CheckFile(dir.File("long.xml"));
  ASSERT_EQ(f.size(), 1u) << Listing(f);
  EXPECT_NE(f[0].message.find("There is a incorrectly typed value in your xml"), std::string::npos) << f[0].message;
}

TEST(TrackCheckErrors, UnreadableDescriptionIsOneError) {
  CTempDir dir;
  WriteText(dir.File("bad.xml"),
            "<TrkDsc xmlns=\"http://tempuri.org/TrkDsc.xsd\"><Section><Length>long</Length></Section></TrkDsc>");
  const std::vector<CheckFinding> f = CTrackCheck().CheckFile(dir.File("bad.xml"));
  ASSERT_EQ(f.size(), 1u);
  EXPECT_EQ(f[0].severity, E);
  EXPECT_NE(f[0].message.find("cannot be read"), std::string::npos) << f[0].message;
}

namespace {

// A value put into one column of a row of the checked loop: a row of a
// section's table is given by the section and its position there.
struct Placed {
  const char* table;
  int section;  // -1: row is the row of the table
  int row;
  const char* column;
  double value;
  const char* said;
};

std::vector<CheckFinding> CheckWith(const Placed& v) {
  TrkDsc ds;
  FillCheckedLoop(ds);
  CDataTable& table = *ds.FindTable(v.table);
  CDataRow* row = v.section < 0
                      ? &table.Row(v.row)
                      : ds.Section[v.section].Raw()->ChildRows(TrkDsc::ParentRelation(table.Index()))[size_t(v.row)];
  row->SetValue(table.FindColumn(v.column), CDataValue::Real(v.value));
  return CheckOf(ds);
}

}  // namespace

// Every number that is not finite is an error naming its table, row and
// column, whichever table and column it is in.
TEST(TrackCheckErrors, NumbersThatAreNotFinite) {
  const double nan = std::nan(""), inf = HUGE_VAL;
  for (const Placed& v : {Placed{"TrackSummary", -1, 0, "NS_Angle", nan, "NS_Angle is NaN"},
                          {"Section", -1, 3, "Split", inf, "Split is INF"},
                          {"Traction", 2, 1, "Lat_End", -inf, "Lat_End is -INF"},
                          {"TSO", -1, 0, "A", inf, "A is INF"},
                          {"VerticalObj", -1, 0, "Elevation", -inf, "Elevation is -INF"}}) {
    const std::vector<CheckFinding> f = CheckWith(v);
    const int section = std::string(v.table) == "Section" ? v.row : v.section;
    EXPECT_EQ(Count(f, E, v.table, v.row, section, {v.said, "must be finite"}), 1) << Listing(f);
  }
}

// ---- warnings ----

// Offsets across the track and heights beyond 10 km are slips; exactly 10
// km is not beyond.
TEST(TrackCheckWarnings, OffsetsAndHeightsFarFromTheTrack) {
  for (const Placed& v : {Placed{"AIInfo", -1, 0, "GridLat", 1e30, "GridLat is 1e+30 m"},
                          {"TrackDetail", -1, 0, "latitude", -2e4, "latitude is -20000 m"},
                          {"TSO", -1, 0, "Z", 1e6, "Z is 1e+06 m"},
                          {"TrackDetail", -1, 0, "latitude", 1e4, nullptr}}) {
    const std::vector<CheckFinding> f = CheckWith(v);
    EXPECT_EQ(Count(f, W, v.table, v.row, v.section, {v.said ? v.said : "", "more than 10 km"}), v.said ? 1 : 0)
        << Listing(f);
  }
}

TEST(TrackCheckWarnings, MaterialMapMissingBesideTheDescription) {
  CTempDir dir;
  TrkDsc ds;
  FillCheckedLoop(ds);
  std::string error;
  ASSERT_TRUE(Ok(ds.WriteXml(dir.File("loop.xml")), error)) << error;
  WriteText(dir.File("asphalt.dds"), "x");
  WriteText(dir.File("GRASS.DDS"), "x");  // found whatever its case
  WriteText(dir.File("wall.dds"), "x");
  const std::vector<CheckFinding> f = CTrackCheck().CheckFile(dir.File("loop.xml"));
  ASSERT_EQ(f.size(), 1u) << Listing(f);
  EXPECT_EQ(Count(f, W, "Material", 3, -1, {"\"walltop.dds\""}), 1) << Listing(f);
}

TEST(TrackCheckWarnings, PitLaneDetailsAndObjectsBeyondTheTrack) {
  TrkDsc ds;
  FillCheckedLoop(ds);
  fault::PitBeyondEnd(ds);
  fault::ObjectsBeyondTrack(ds);
  const std::vector<CheckFinding> f = CheckOf(ds);
  // 4 straights of 100 m and 4 quarter circles of 50 m: 714.159 m.
  EXPECT_EQ(Count(f, W, "AIInfo", 0, -1, {"MergePitIn at 900 m", "0 to 714.159 m"}), 1) << Listing(f);
  EXPECT_EQ(Count(f, W, "TrackDetail", 1, -1, {"-20 m"}), 1) << Listing(f);
  EXPECT_EQ(Count(f, W, "TSO", 1, -1, {"\"far.3do\" at 2000 m"}), 1) << Listing(f);
  EXPECT_EQ(f.size(), 3u) << Listing(f);
}

TEST(TrackCheckWarnings, WallOnTheDrivableSurface) {
  TrkDsc ds;
  FillCheckedLoop(ds);
  fault::WallOnAsphalt(ds);
  const std::vector<CheckFinding> f = CheckOf(ds);
  EXPECT_EQ(Count(f, W, "Traction", 6, 6, {"wall at 2 m", "between the band edges at -6 m and 6 m"}), 1)
      << Listing(f);
  EXPECT_EQ(f.size(), 1u) << Listing(f);
}

TEST(TrackCheckWarnings, BlockBeyondTheVertexLimitIsSplit) {
  TrkDsc ds;
  FillCheckedLoop(ds);
  fault::FineMeshOnSection2(ds);
  const std::vector<CheckFinding> f = CheckOf(ds);
  // 100 m every 0.5 m: 200 + 1 steps; the 12 m of asphalt every 0.0625 m:
  // 192 + 1 cells; four points of its own per face: 201 * 193 * 4, which
  // 65,535 goes into 2.37 times.
  EXPECT_EQ(Count(f, W, "Section", 2, 2, {"TrackObj002", "155172 vertices", "\"asphalt\"", "split into 3 objects"}), 1)
      << Listing(f);
  EXPECT_EQ(f.size(), 1u) << Listing(f);
}

// Block titles that cannot be file names as they are: the folder exports
// write them under safe, unique titles, and the check names each change.
// The track build lower-cases vertical object titles.
TEST(TrackCheckWarnings, BlockNamesWrittenUnderOtherFileNames) {
  TrkDsc ds;
  FillCheckedLoop(ds);  // vertical object 0 is "board"
  for (const char* title : {"../../escape", "Board", ""})
    ds.VerticalObj.AddVerticalObjRow(title, 150.0f, 10.0f, 160.0f, 10.0f, 0.0f, 2.0f, "wall");
  const std::vector<CheckFinding> f = CheckOf(ds);
  EXPECT_EQ(Count(f, W, "VerticalObj", 1, -1, {"block name \"../../escape\" is written as \"______escape\""}), 1)
      << Listing(f);
  EXPECT_EQ(Count(f, W, "VerticalObj", 2, -1, {"block name \"board\" is written as \"board_2\""}), 1) << Listing(f);
  EXPECT_EQ(Count(f, W, "VerticalObj", 3, -1, {"block name \"\" is written as \"Obj00"}), 1) << Listing(f);
  EXPECT_EQ(f.size(), 3u) << Listing(f);
}

// ---- forms ----

TEST(TrackCheckForms, LinesNameSeverityTableRowAndSection) {
  EXPECT_EQ(CTrackCheck::FormatLine({E, "Traction", 2, 5, "m"}), "error: Traction row 2 of section 5: m");
  EXPECT_EQ(CTrackCheck::FormatLine({E, "Section", 7, 7, "m"}), "error: Section row 7: m");
  EXPECT_EQ(CTrackCheck::FormatLine({W, "AIInfo", 0, -1, "m"}), "warning: AIInfo row 0: m");
  EXPECT_EQ(CTrackCheck::FormatLine({E, "", -1, -1, "m"}), "error: m");
}

// A message holding line breaks (a build failure's own words) stays on its
// finding's line.
TEST(TrackCheckForms, OneFindingPerLine) {
  EXPECT_EQ(CTrackCheck::FormatLine({E, "Section", -1, -1, "cannot be built: a \n\n0\r\n-225\n"}),
            "error: Section: cannot be built: a; 0; -225");
  TrkDsc ds;
  FillCheckedLoop(ds);
  ds.Section[0].SetLength(-100.0);
  EXPECT_EQ(Listing(CheckOf(ds)).find("\n0\n"), std::string::npos) << Listing(CheckOf(ds));
}

TEST(TrackCheckForms, JsonHoldsTheSameFindings) {
  TrkDsc ds;
  FillCheckedLoop(ds);
  fault::GripWithoutEntry(ds);
  fault::TextureWithoutMaterial(ds);
  fault::PitBeyondEnd(ds);
  const std::vector<CheckFinding> f = CheckOf(ds);
  ASSERT_EQ(f.size(), 3u) << Listing(f);
  const nlohmann::json j = nlohmann::json::parse(CTrackCheck::ToJson(f));
  ASSERT_TRUE(j.is_array());
  ASSERT_EQ(j.size(), f.size());
  for (size_t i = 0; i < f.size(); ++i) {
    EXPECT_EQ(j[i]["severity"], f[i].severity == E ? "error" : "warning");
    EXPECT_EQ(j[i]["table"], f[i].table);
    EXPECT_EQ(j[i]["message"], f[i].message);  // quotes in it survive
    if (f[i].row < 0)
      EXPECT_TRUE(j[i]["row"].is_null());
    else
      EXPECT_EQ(j[i]["row"], f[i].row);
    if (f[i].section < 0)
      EXPECT_TRUE(j[i]["section"].is_null());
    else
      EXPECT_EQ(j[i]["section"], f[i].section);
  }
  EXPECT_TRUE(nlohmann::json::parse(CTrackCheck::ToJson({})).empty());
}

}  // namespace lapforge
