#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/Profile.h"
#include "support/TrackIni.h"
#include "tests/support/TestSupport.h"

namespace lapforge {

TEST(Profile, SectionsAndKeysIgnoreCaseAndTheFirstMatchWins) {
  CProfile ini;
  ini.Parse(
      "orphan=1\n"
      "[Pit_Lane_0]\n"
      "Stall_0 = 1 2 3\n"
      "stall_0 = 9 9 9\n"
      "[other]\n"
      "stall_0 = 7\n"
      "[PIT_LANE_0]\n"
      "stall_0 = 5\n"
      "late = 6\n");
  EXPECT_EQ(ini.GetString("pit_lane_0", "STALL_0"), "1 2 3");
  EXPECT_EQ(ini.GetString("OTHER", "Stall_0"), "7");
  // Only the first of two sections of the same name is read.
  EXPECT_EQ(ini.GetString("pit_lane_0", "late", "none"), "none");
  EXPECT_EQ(ini.KeyNames("pit_lane_0"), (std::vector<std::string>{"Stall_0", "stall_0"}));
  // Keys before the first section belong to none.
  EXPECT_EQ(ini.GetString("", "orphan", "d"), "d");
  EXPECT_EQ(ini.GetString("missing", "x", "def"), "def");
  EXPECT_EQ(ini.GetString("other", "missing", "def"), "def");
  EXPECT_TRUE(ini.HasSection("Other"));
  EXPECT_FALSE(ini.HasSection("oth"));
  EXPECT_TRUE(ini.KeyNames("missing").empty());
}

TEST(Profile, LineEndsBlanksAndComments) {
  for (const char* eol : {"\n", "\r\n"}) {
    std::string e = eol;
    CProfile ini;
    ini.Parse("; a comment line" + e + "[ pit_lane_0 ]" + e + "   ; indented comment = 1" + e + e +
              "  key one  =  value with  inner  blanks   " + e + "\tnumber=12.5" + e + "empty=" + e + "no equals sign" +
              e + "[\tai_track\t]" + e + "x=1");
    EXPECT_EQ(ini.GetString("pit_lane_0", "key one"), "value with  inner  blanks") << int(e.size());
    EXPECT_EQ(ini.GetString("pit_lane_0", "number"), "12.5") << int(e.size());
    EXPECT_EQ(ini.GetString("pit_lane_0", "empty", "def"), "") << int(e.size());
    EXPECT_EQ(ini.GetString("ai_track", "x"), "1") << int(e.size());
    EXPECT_EQ(ini.KeyNames("pit_lane_0"), (std::vector<std::string>{"key one", "number", "empty"})) << int(e.size());
  }
}

TEST(Profile, LongValuesAreCutToTheBuffer) {
  CProfile ini;
  ini.Parse("[s]\nk=" + std::string(20000, 'a') + "\n");
  EXPECT_EQ(ini.GetString("s", "k").size(), 16383u);
  EXPECT_EQ(ini.GetString("s", "k", "", 5), "aaaa");
}

TEST(Profile, MissingFileIsAnEmptyProfile) {
  CTempDir dir;
  CProfile ini;
  ini.Parse("[s]\nk=v\n");
  EXPECT_FALSE(ini.Load(dir.File("none.ini")));
  EXPECT_FALSE(ini.HasSection("s"));
  EXPECT_EQ(ini.GetString("s", "k", "d"), "d");
}

namespace {

VARS_AIW_TRACK_INFO ReadIni(const std::string& text, VARS_AIW_TRACK_INFO info = {}) {
  CTempDir dir;
  WriteText(dir.File("track.ini"), text);
  EXPECT_FALSE(ReadTrackIni(dir.File("track.ini"), info));
  return info;
}

}  // namespace

TEST(TrackIni, StallsFromTheFirstAndTheLastStallKey) {
  std::string text = "[pit_lane_0]\r\nmerge_to_pit_line_dlong=120.5\r\nlane_merge_dlong = 880.25\r\n";
  for (int i = 0; i <= 23; ++i)
    text += "stall_" + std::to_string(i) + "=" + std::to_string(200 + 10 * i) + " -" + std::to_string(i) + ".5 7\r\n";
  text += "pit_speed=22\r\n";
  VARS_AIW_TRACK_INFO preset;
  preset.gridLat = 3.5f;
  preset.pollPositionLeft = 1;
  VARS_AIW_TRACK_INFO info = ReadIni(text, preset);
  EXPECT_FLOAT_EQ(info.mergePitIn, 120.5f);
  EXPECT_FLOAT_EQ(info.mergePitOut, 880.25f);
  EXPECT_FLOAT_EQ(info.stallsLongEnd, 200.0f);
  EXPECT_FLOAT_EQ(info.stallsLatEnd, -0.5f);
  EXPECT_FLOAT_EQ(info.stallsLongStart, 430.0f);
  EXPECT_FLOAT_EQ(info.stallsLatStart, -23.5f);
  // Grid and pole side are not the track.ini's.
  EXPECT_FLOAT_EQ(info.gridLat, 3.5f);
  EXPECT_EQ(info.pollPositionLeft, 1);
}

TEST(TrackIni, MergeValuesFallBackToTheAiTrackSection) {
  VARS_AIW_TRACK_INFO info = ReadIni(
      "[AI_Track]\npit_lane_start_dlong = 55\nmerge_from_pit_line_dlong = 1500.5\n"
      "[Pit_Lane_0]\nLane_Merge_Dlong=\n");
  EXPECT_FLOAT_EQ(info.mergePitIn, 55.0f);
  EXPECT_FLOAT_EQ(info.mergePitOut, 1500.5f);
  EXPECT_FLOAT_EQ(info.stallsLongStart, 0.0f);
  EXPECT_FLOAT_EQ(info.stallsLongEnd, 0.0f);

  // The pit-lane keys win over the fallbacks.
  info = ReadIni(
      "[pit_lane_0]\nmerge_to_pit_line_dlong=1\nlane_merge_dlong=2\n"
      "[ai_track]\npit_lane_start_dlong=3\nmerge_from_pit_line_dlong=4\n");
  EXPECT_FLOAT_EQ(info.mergePitIn, 1.0f);
  EXPECT_FLOAT_EQ(info.mergePitOut, 2.0f);
}

TEST(TrackIni, NumbersAreReadFromTheStartOfAValue) {
  VARS_AIW_TRACK_INFO preset;
  preset.stallsLatEnd = 9;
  preset.stallsLatStart = 8;
  VARS_AIW_TRACK_INFO info = ReadIni(
      "[ pit_lane_0 ]\nmerge_to_pit_line_dlong=12.75m past the line\nlane_merge_dlong=  -3e2\n"
      "stall_0=100\nstall_5 = 250.5 4.25 0 trailing words\n",
      preset);
  EXPECT_FLOAT_EQ(info.mergePitIn, 12.75f);
  EXPECT_FLOAT_EQ(info.mergePitOut, -300.0f);
  // A stall with one number sets only the longitudinal value.
  EXPECT_FLOAT_EQ(info.stallsLongEnd, 100.0f);
  EXPECT_FLOAT_EQ(info.stallsLatEnd, 9.0f);
  EXPECT_FLOAT_EQ(info.stallsLongStart, 250.5f);
  EXPECT_FLOAT_EQ(info.stallsLatStart, 4.25f);

  float f[3] = {-1, -1, -1};
  EXPECT_EQ(ScanFloats("  1.5\t2 x 3", f, 3), 2);
  EXPECT_FLOAT_EQ(f[0], 1.5f);
  EXPECT_FLOAT_EQ(f[1], 2.0f);
  EXPECT_FLOAT_EQ(f[2], -1.0f);
  EXPECT_EQ(ScanFloats("", f, 3), 0);
  EXPECT_EQ(ScanFloats("1 2 3 4", f, 3), 3);
}

TEST(TrackIni, MissingFileLeavesTheRecord) {
  CTempDir dir;
  VARS_AIW_TRACK_INFO info;
  info.mergePitIn = 4;
  info.stallsLongEnd = 5;
  EXPECT_FALSE(ReadTrackIni(dir.File("track.ini"), info));
  EXPECT_FLOAT_EQ(info.mergePitIn, 4.0f);
  EXPECT_FLOAT_EQ(info.stallsLongEnd, 5.0f);

  VARS_AIW_TRACK_INFO fresh;
  EXPECT_EQ(fresh.mergePitIn, 0.0f);
  EXPECT_EQ(fresh.mergePitOut, 0.0f);
  EXPECT_EQ(fresh.stallsLongStart, 0.0f);
  EXPECT_EQ(fresh.stallsLatStart, 0.0f);
  EXPECT_EQ(fresh.stallsLongEnd, 0.0f);
  EXPECT_EQ(fresh.stallsLatEnd, 0.0f);
  EXPECT_EQ(fresh.gridLat, 0.0f);
  EXPECT_EQ(fresh.pollPositionLeft, 0);
}

}  // namespace lapforge
