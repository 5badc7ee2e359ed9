// The AI waypoint and camera roads on the sample circuit: the AIInfo row
// they need, what they say when it is missing or incomplete, and that a
// failure never leaves a file behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "description/TrkDsc.h"
#include "mapping/PtfMapping.h"
#include "roads/Lapforge.h"
#include "support/TextFormat.h"
#include "tests/support/TestSupport.h"
#include "tests/support/formats/LpCamFiles.h"

namespace lapforge {

namespace {

const std::string kSample = LAPFORGE_SOURCE_DIR "/examples/sample-circuit.xml";

class AiwRoad : public ::testing::Test {
 protected:
  void SetUp() override {
    db = CLapforge().DataBaseFromXML(kSample);
    ASSERT_TRUE(db);
    ASSERT_EQ(db->AIInfo.Count(), 1);
    WriteLpFile(dir.Path(), "race.lp", BuildLp(LpLaterals(1000, 2)));
    WriteLpFile(dir.Path(), "pit0.lp", BuildLp(LpLaterals(1000, -6)));
  }
  int Run() { return CLapforge().AIWFromDataBase(*db, dir.File("race.lp"), out); }
  std::string Shown() const {
    std::string s;
    for (const auto& m : ui.shown) s += m.caption + ": " + m.text + "\n";
    return s;
  }

  CScopedSettings settings;
  CRecordingUI ui;
  CTempDir dir;
  std::unique_ptr<TrkDsc> db;
  std::string out = dir.File("track.aiw");
};

TEST_F(AiwRoad, WritesEveryWaypointOfTheSampleCircuit) {
  ASSERT_EQ(Run(), 1) << Shown();
  EXPECT_TRUE(ui.shown.empty()) << Shown();
  CN5PtfDb model;
  ASSERT_TRUE(PTFObjFromDataBase(*db, model, ""));
  const double L = model.GetTrackLength();
  // The sample's pit lane runs from 1900 across the line to 150.
  const int race = static_cast<int>(L / 6), pit = static_cast<int>(150 - 1900 + L) / 6 + 1;
  const std::string text = ReadText(out);
  EXPECT_EQ(text.substr(0, 12), "[Features]\r\n");
  EXPECT_NE(text.find("\r\nnumber_waypoints=" + std::to_string(race + pit + 25 + 13) + "\r\n"), std::string::npos);
}

TEST_F(AiwRoad, MissingRowOrEmptyRequiredValueWritesNothingAndSaysWhat) {
  db->AIInfo.RemoveAIInfoRow(db->AIInfo[0]);
  EXPECT_EQ(Run(), 0);
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "Lapforge requires a row in the AIInfo Table");
  EXPECT_EQ(ui.shown[0].caption, "Missing Data");
  EXPECT_FALSE(Exists(out));

  for (const char* column :
       {"MergePitIn", "MergePitOut", "StallsLatEnd", "StallsLatStart", "StallsLongEnd", "StallsLongStart"}) {
    db = CLapforge().DataBaseFromXML(kSample);
    TrkDsc::AIInfoRow row = db->AIInfo[0];
    row.Raw()->SetNull(db->AIInfo.Table().FindColumn(column));
    ui.shown.clear();
    EXPECT_EQ(Run(), 0) << column;
    ASSERT_EQ(ui.shown.size(), 1u) << column;
    EXPECT_NE(ui.shown[0].text.find(column), std::string::npos) << ui.shown[0].text;
    EXPECT_FALSE(Exists(out)) << column;
  }
}

TEST_F(AiwRoad, EmptyGridLateralIsZero) {
  db->AIInfo[0].SetGridLat(0.0f);
  ASSERT_EQ(Run(), 1) << Shown();
  const std::string withZero = ReadText(out);
  db->AIInfo[0].SetGridLatNull();
  ASSERT_EQ(Run(), 1) << Shown();
  EXPECT_EQ(ReadText(out), withZero);
  db->AIInfo[0].SetGridLat(3.0f);
  ASSERT_EQ(Run(), 1) << Shown();
  EXPECT_NE(ReadText(out), withZero);
}

TEST_F(AiwRoad, ValueThatCannotBePlacedIsShownWithTheCompletenessMessage) {
  WriteText(out, "old");
  db->AIInfo[0].SetMergePitOut(1e9f);
  EXPECT_EQ(Run(), 0);
  ASSERT_EQ(ui.shown.size(), 2u) << Shown();
  EXPECT_NE(ui.shown[0].text.find("MergePitOut"), std::string::npos) << Shown();
  EXPECT_EQ(ui.shown[1].text, "Lapforge requires the AIInfo row to be complete");
  EXPECT_EQ(ReadText(out), "old");
}

// The warning goes through the user-interface port (stderr in the command
// line, the completion report in the desktop program).
TEST_F(AiwRoad, ShortRacingLineIsWrittenWithOneWarning) {
  WriteLpFile(dir.Path(), "race.lp", BuildLp(LpLaterals(100, 2)));  // 300 m
  const int written = Run();
  EXPECT_EQ(written, 1) << Shown();
  ASSERT_EQ(ui.shown.size(), 1u) << Shown();
  const std::string err = ui.shown[0].text;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 0) << err;
  EXPECT_NE(err.find("300.0 m"), std::string::npos) << err;
  CN5PtfDb model;
  ASSERT_TRUE(PTFObjFromDataBase(*db, model, ""));
  EXPECT_NE(err.find(StrFormat("%.1f m", model.GetTrackLength())), std::string::npos) << err;
}

TEST_F(AiwRoad, DescriptionWithoutATrackWritesNeitherFile) {
  TrkDsc empty;
  empty.AIInfo.AddAIInfoRow(db->AIInfo[0].MergePitIn(), 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, false);
  EXPECT_EQ(CLapforge().AIWFromDataBase(empty, dir.File("race.lp"), out), 0);
  WriteLpFile(dir.Path(), "tv.cam", BuildCamList({SourceCam{}}));
  EXPECT_EQ(CLapforge().CamFromDataBase(empty, dir.File("tv.cam"), dir.File("out.cam")), 0);
  EXPECT_FALSE(Exists(out));
  EXPECT_FALSE(Exists(dir.File("out.cam")));
}

}  // namespace

}  // namespace lapforge
