// AI waypoint files on a straight 3000 m track along +X with a flat cross
// section (drivable from -10 to 10, wall limits at -12 and 12), so that
// every position and width can be worked out by hand: the point at
// (long, lat) is (long, lat, 0) and every heading is 0.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "formats/aiw/AiwFile.h"
#include "support/Errors.h"
#include "tests/support/ResultCheck.h"
#include "tests/support/TestSupport.h"
#include "tests/support/formats/LpCamFiles.h"
#include "tests/support/track/TrackBuilders.h"

namespace lapforge {

namespace {

void BuildFlatStraight(CN5Ptf& ptf, double length) {
  FillTextureTables(ptf);
  ChainSegments(ptf, {TrackPiece{0, length, 0}});
  ptf.CreateNewTraction(0, -12, -12, 5, 0, 0, 0, {});
  ptf.CreateNewTraction(0, -10, -10, 1, 0, 0, 0, {});
  ptf.CreateNewTraction(0, 10, 10, 5, 0, 0, 0, {});
  ptf.CreateNewTraction(0, 12, 12, 5, 0, 0, 0, {});
  // Walls 0.5 m wide: their inner limits are at -12 and 12.
  ptf.CreateNewWall(0, -12.5, -12.5, 2049, 1, {}, 0.5, 0.5, 0, 0, 0, 0);
  ptf.CreateNewWall(0, 12.5, 12.5, 2049, 1, {}, 0.5, 0.5, 0, 0, 0, 0);
  ptf.FinishTractionTextures(0);
}

// The pit lane runs from 2700 across the start line to 100 (400 m, 67
// waypoints); the stalls from 2950 to 50 at lateral -15.
VARS_AIW_TRACK_INFO StandardInfo() {
  VARS_AIW_TRACK_INFO info;
  info.mergePitIn = 2700;
  info.mergePitOut = 100;
  info.stallsLongStart = 2950;
  info.stallsLongEnd = 50;
  info.stallsLatStart = -15;
  info.stallsLatEnd = -15;
  info.gridLat = 0;
  info.pollPositionLeft = 1;
  return info;
}

// The 16 lines of waypoint k in the waypoint list at the end of the file.
std::string Waypoint(const std::string& text, int k) {
  size_t at = text.find("CheatDelta=(0.0000,0.0000,0.0000)\r\n");
  EXPECT_NE(at, std::string::npos);
  at += 35;
  for (int i = 0; i < k; ++i) at = text.find("WP_PTRS=", at) + 8;
  if (k > 0) at = text.find("\r\n", at) + 2;
  size_t end = text.find("WP_PTRS=", at);
  end = text.find("\r\n", end) + 2;
  return text.substr(at, end - at);
}

std::string Block(std::initializer_list<const char*> lines) {
  std::string s;
  for (const char* l : lines) s += std::string(l) + "\r\n";
  return s;
}

class AiwTrack : public ::testing::Test {
 protected:
  void SetUp() override {
    BuildFlatStraight(track, 3000);
    lp.spacing = 3;
    lp.lines.resize(1000);
    for (size_t i = 0; i < lp.lines.size(); ++i) {
      lp.lines[i].race = 4;
      lp.lines[i].pit = -8;
    }
    lp.intervals = 999;
  }
  std::string Build(const VARS_AIW_TRACK_INFO& info = StandardInfo(), int extras = 1) {
    return writer.BuildAiw(track, info, lp, extras);
  }

  CN5Ptf track;
  CLReadLP lp;
  CZWriteAIW writer;
};

TEST(NormAng, QuarterTurnAddedThenMirroredIntoHalfTurns) {
  EXPECT_EQ(StrFormat("%.7f", CZWriteAIW::NormAng(0)), "-1.5707963");
  EXPECT_NEAR(CZWriteAIW::NormAng(0), -1.570796325, 1e-12);
  // -3 + 1.570796325 = -1.429203675, raised to 4.853981625, mirrored to 1.429203675.
  EXPECT_NEAR(CZWriteAIW::NormAng(-3), 1.429203675, 1e-12);
  // 0.5 + 1.570796325 mirrored is 4.212388975, above a half turn: -2.070796325.
  EXPECT_NEAR(CZWriteAIW::NormAng(0.5), -2.070796325, 1e-12);
  EXPECT_NEAR(CZWriteAIW::NormAng(-1.570796325), 0, 1e-12);
  // Many turns below zero give what one turn below gives, without a long climb.
  EXPECT_NEAR(CZWriteAIW::NormAng(-1e6 * 6.2831853), CZWriteAIW::NormAng(0), 1e-6);
  EXPECT_EQ(CZWriteAIW::NormAng(-std::numeric_limits<double>::infinity()), 0);
}

TEST_F(AiwTrack, WaypointListIsRaceThenPitLaneThenGridThenStalls) {
  const std::string text = Build();
  ASSERT_EQ(writer.waypoints.size(), 500u + 67 + 25 + 13);
  for (size_t i = 0; i < writer.waypoints.size(); ++i) {
    const int branch = writer.waypoints[i].branch;
    if (i < 500)
      EXPECT_EQ(branch, 0) << i;
    else if (i < 567)
      EXPECT_EQ(branch, 1) << i;
    else if (i < 592)
      EXPECT_EQ(branch, i == 591 ? 105 : static_cast<int>(i - 567) + 2) << i;
    else
      EXPECT_EQ(branch, i == 604 ? 157 : static_cast<int>(i - 592) + 106) << i;
  }
  EXPECT_NE(text.find("number_waypoints=605\r\n"), std::string::npos);
  // One wp_pos per waypoint.
  size_t count = 0;
  for (size_t at = 0; (at = text.find("wp_pos=", at)) != std::string::npos; ++at) ++count;
  EXPECT_EQ(count, 605u);
  EXPECT_EQ(writer.grid.size(), 25u);
  EXPECT_EQ(writer.teleport.size(), 102u);
  EXPECT_EQ(writer.stalls.size(), 13u);
  EXPECT_TRUE(writer.warning.empty());
}

TEST_F(AiwTrack, RaceWaypointHalfwayToTheRacingLineWithItsWidths) {
  const std::string text = Build();
  // Racing line at 4: the waypoint lies at 2, 8 m from the drive edge on the
  // left, 12 on the right, 10 and 14 from the wall limits.
  EXPECT_EQ(Waypoint(text, 250), Block({"wp_pos=(1500.0000,0.0000,2.0000)", "wp_perp=(0.0000,0.0000,-1.0000)",
                                        "wp_vect=(6.0000,0.0000,0.0000)", "wp_width=(8.000,12.000,10.000,14.000)",
                                        "wp_dwidth=(10.000,14.000,0,0)", "wp_path=(-2.0000,-1.6000)",
                                        "wp_alpha=(0.0000)", "wp_galpha=(0.04000)", "wp_score=(1,1500.000)",
                                        "wp_marks=(0)", "wp_groove_lat=(0.5000)", "wp_wpse=(0,0)", "wp_dswpse=(0,0)",
                                        "wp_branchID=(0)", "wp_bitfields=(0)", "WP_PTRS=(249,251,-1,0)"}));
  // Sectors change after a third of the lap and after 0.6666 of it.
  EXPECT_NE(Waypoint(text, 166).find("wp_score=(0,996.000)"), std::string::npos);
  EXPECT_NE(Waypoint(text, 167).find("wp_score=(1,1002.000)"), std::string::npos);
  EXPECT_NE(Waypoint(text, 333).find("wp_score=(1,1998.000)"), std::string::npos);
  EXPECT_NE(Waypoint(text, 334).find("wp_score=(2,2004.000)"), std::string::npos);
  // The first waypoint follows the last, and grid slot 103 (10 m after the
  // line) is reached from it.
  EXPECT_NE(Waypoint(text, 0).find("WP_PTRS=(499,1,591,0)"), std::string::npos);
  EXPECT_NE(Waypoint(text, 499).find("WP_PTRS=(498,0,-1,0)"), std::string::npos);
}

TEST_F(AiwTrack, WaypointIsKeptAMetreInsideTheStripAroundTheRacingLine) {
  // Beyond the left wall limit (12) both drive edges are at 12: halfway (15)
  // is raised to 13, then lowered to 11; the right width -1 becomes 0.2.
  for (auto& l : lp.lines) l.race = 30;
  Build();
  EXPECT_EQ(writer.waypoints[10].lat, 11);
  EXPECT_EQ(writer.waypoints[10].pathOffset, 11 - 30);
  EXPECT_EQ(writer.waypoints[10].width[0], 1);
  EXPECT_EQ(writer.waypoints[10].width[1], 0.2);
}

TEST_F(AiwTrack, PitLaneAcrossTheStartLineBlendsAndLinks) {
  const std::string text = Build();
  // Merge-in at 2700, merge-out at 100: 100 - 2700 + 3000 = 400 m, 66 steps.
  EXPECT_EQ(writer.waypoints[566].dist, 96);
  // Entry: on the racing line, leaving race waypoint 450, reached from 448.
  EXPECT_EQ(Waypoint(text, 500), Block({"wp_pos=(2700.0000,0.0000,4.0000)", "wp_perp=(0.0000,0.0000,-1.0000)",
                                        "wp_vect=(6.0000,0.0000,0.0000)", "wp_width=(6.000,14.000,8.000,16.000)",
                                        "wp_dwidth=(8.000,16.000,0,0)", "wp_path=(0.0000,0.0000)",
                                        "wp_alpha=(0.0000)", "wp_galpha=(0.04000)", "wp_score=(2,2700.000)",
                                        "wp_marks=(0)", "wp_groove_lat=(-0.0000)", "wp_wpse=(0,0)", "wp_dswpse=(0,0)",
                                        "wp_branchID=(1)", "wp_bitfields=(0)", "WP_PTRS=(448,501,450,1)"}));
  EXPECT_NE(Waypoint(text, 448).find("WP_PTRS=(447,449,500,0)"), std::string::npos);
  // Halfway through the blend: (5 x 4 + 5 x -8) / 10 = -2; widths need no minimum.
  EXPECT_NE(Waypoint(text, 505).find("wp_pos=(2730.0000,0.0000,-2.0000)"), std::string::npos);
  EXPECT_NE(Waypoint(text, 505).find("wp_width=(12.000,8.000,14.000,10.000)"), std::string::npos);
  EXPECT_NE(Waypoint(text, 505).find("WP_PTRS=(504,506,455,1)"), std::string::npos);
  // At 3000 the lane has crossed the line: distance 0 on the pit line.
  EXPECT_EQ(writer.waypoints[550].dist, 0);
  EXPECT_NEAR(writer.waypoints[550].x, 0, 1e-6);
  EXPECT_NE(Waypoint(text, 550).find(",0.0000,-8.0000)\r\n"), std::string::npos);
  EXPECT_NE(Waypoint(text, 550).find("wp_width=(18.000,2.000,20.000,4.000)"), std::string::npos);
  EXPECT_NE(Waypoint(text, 550).find("wp_score=(0,0.000)"), std::string::npos);
  EXPECT_NE(Waypoint(text, 550).find("WP_PTRS=(549,551,-1,1)"), std::string::npos);
  // Exit at 96, back on the racing line, joining race waypoint 17.
  EXPECT_NE(Waypoint(text, 566).find("wp_pos=(96.0000,0.0000,4.0000)"), std::string::npos);
  EXPECT_NE(Waypoint(text, 566).find("WP_PTRS=(565,17,17,1)"), std::string::npos);
}

TEST_F(AiwTrack, PitEntryJustAfterTheLineLinksBackAcrossIt) {
  VARS_AIW_TRACK_INFO info = StandardInfo();
  info.mergePitIn = 5;
  info.mergePitOut = 400;
  info.stallsLongStart = 100;
  info.stallsLongEnd = 200;
  Build(info);
  const aiwe& entry = writer.waypoints[500];
  EXPECT_EQ(entry.link, 0);
  EXPECT_EQ(entry.prev, 498);
  EXPECT_EQ(writer.waypoints[498].link, 500);
}

TEST_F(AiwTrack, GridTeleportStallsAndAuxiliaryLocations) {
  const std::string text = Build();
  EXPECT_EQ(text.find("[Features]\r\npitlanes=1\r\nstartinggrid=104\r\npitspots=52\r\ngaragespots=3\r\n\r\n"
                      "[GRID]\r\nGridIndex=0\r\nPos=(2980.0000,0.0000,2.2500)\r\nOri=(0.0000,-1.5708,0.0000)\r\n"
                      "GridIndex=1\r\nPos=(2972.0000,0.0000,-2.2500)\r\nOri=(0.0000,-1.5708,0.0000)\r\n"),
            0u);
  // The last waypoint is stall 51, then one more line end.
  const std::string tail = "wp_branchID=(157)\r\nwp_bitfields=(1)\r\nWP_PTRS=(556,604,562,157)\r\n\r\n";
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
  EXPECT_NE(text.find("GridIndex=103\r\nPos=(10.0000,0.0000,0.0000)\r\nOri=(0.0000,-1.5708,0.0000)\r\n\r\n\r\n"
                      "[ALTGRID]\r\n\r\n\r\n\r\n[TELEPORT]\r\nGridIndex=0\r\nPos=(2750.0000,0.0000,2.2500)\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("GridIndex=101\r\nPos=(1942.0000,0.0000,-2.2500)\r\nOri=(0.0000,-1.5708,0.0000)\r\n\r\n"
                      "[PITS]\r\nTeamIndex=0\r\n"),
            std::string::npos);
  // Stall 0 at 2950 + 100 / 12; its garages 2 m behind it, 100 / 48 apart,
  // turned half a radian towards the stalls' side.
  EXPECT_NE(text.find(Block({"TeamIndex=0", "PitPos=(2958.3333,0.0000,-15.0000)", "PitOri=(0.0000,-1.5708,0.0000)",
                             "GarPos=(0,2952.1667,0.0000,-15.0000)", "GarOri=(0,0.0000,-2.0708,0.0000)",
                             "GarPos=(1,2954.2500,0.0000,-15.0000)", "GarOri=(1,0.0000,-2.0708,0.0000)",
                             "GarPos=(2,2956.3333,0.0000,-15.0000)", "GarOri=(2,0.0000,-2.0708,0.0000)",
                             "TeamIndex=1"})),
            std::string::npos);
  EXPECT_NE(text.find(Block({"", "", "[AUX]", "LocationIndex=0", "Pos=(10.0000,0.0000,0.0000)",
                             "Ori=(0.0000,-1.5708,0.0000)", "LocationIndex=1", "Pos=(58.3333,0.0000,-15.0000)",
                             "Ori=(0.0000,-1.5708,0.0000)", "", "[Waypoint]"})),
            std::string::npos);
  // Grid slot 0 is reached from race waypoint 491, 30 m behind it.
  EXPECT_NE(Waypoint(text, 567).find("wp_branchID=(2)\r\nwp_bitfields=(1)\r\nWP_PTRS=(491,567,-1,2)"),
            std::string::npos);
  EXPECT_NE(Waypoint(text, 491).find("WP_PTRS=(490,492,567,0)"), std::string::npos);
  // Stall 0: path offset from the pit line (-8) to the stall (-15); linked to
  // pit waypoint 546 and reached from 540.
  EXPECT_NE(Waypoint(text, 592).find("wp_path=(7.0000,5.6000)"), std::string::npos);
  EXPECT_NE(Waypoint(text, 592).find("wp_groove_lat=(-1.7500)"), std::string::npos);
  EXPECT_NE(Waypoint(text, 592).find("WP_PTRS=(540,592,546,106)"), std::string::npos);
  EXPECT_NE(Waypoint(text, 540).find("WP_PTRS=(539,541,592,1)"), std::string::npos);
}

TEST_F(AiwTrack, PoleOnTheRightAndNoExtras) {
  VARS_AIW_TRACK_INFO info = StandardInfo();
  info.pollPositionLeft = 0;
  info.gridLat = 1;
  info.stallsLatStart = 5;
  info.stallsLatEnd = 17;
  const std::string text = Build(info, 0);
  EXPECT_EQ(writer.waypoints.size(), 500u + 67 + 24 + 12);
  EXPECT_NE(text.find("GridIndex=0\r\nPos=(2980.0000,0.0000,-1.2500)\r\n"), std::string::npos);
  EXPECT_NE(text.find("GridIndex=1\r\nPos=(2972.0000,0.0000,3.2500)\r\n"), std::string::npos);
  // Stall laterals step by a twelfth of the spread: stall 3 at 5 + 3.
  EXPECT_FLOAT_EQ(writer.stalls[3].lat, 8);
  // The last slot and the last stall are the auxiliary locations.
  EXPECT_EQ(writer.aux[0].dist, writer.grid[23].dist);
  EXPECT_EQ(writer.aux[1].dist, writer.stalls[11].dist);
  // Stalls on the left: left-handed pits, garages turned the other way.
  EXPECT_NE(text.find("LeftHandedPits=1\r\n"), std::string::npos);
  EXPECT_NE(text.find("GarOri=(0,0.0000,-1.0708,0.0000)"), std::string::npos);
}

TEST_F(AiwTrack, LapData) {
  const std::string text = Build();
  EXPECT_NE(text.find(Block({"", "[Waypoint]", "trackstate=497", "times=(99999.9922,99999.92)", "number_waypoints=605",
                             "lap_length=3000.0000", "sector_1_length=999.0000", "sector_2_length=1998.0000",
                             "LeftHandedPits=0", "FuelUse=27300.0000", "GrooveWidth=6.200000",
                             "GrooveWidthWet=4.000000", "WorstTime=(0.0000)", "MidTime=(0.0000)", "BestTime=(0.0000)",
                             "WorstAdjust=(0.8780)", "MidAdjust=(1.0330)", "BestAdjust=(1.1360)",
                             "RaceQualRatio=(0.9880)", "CheatDelta=(0.0000,0.0000,0.0000)"}) +
                        "wp_pos="),
            std::string::npos);
}

TEST_F(AiwTrack, ShortRacingLineClampsToItsLastRecordAndWarnsOnce) {
  lp.lines.resize(990);  // 2970 m
  lp.lines.back().race = 6;
  lp.intervals = 989;
  const std::string text = Build();
  // Race waypoint 499 at 2994 takes the last record: halfway to 6 is 3.
  EXPECT_EQ(writer.waypoints[499].lat, 3);
  EXPECT_NE(writer.warning.find("2970.0 m"), std::string::npos) << writer.warning;
  EXPECT_NE(writer.warning.find("3000.0 m"), std::string::npos) << writer.warning;
}

// A pit line shorter than the pit lane's reach leaves the lane on the
// reference line beyond its end: warned of, as a short racing line is.
TEST_F(AiwTrack, ShortPitLineWarns) {
  lp.pitRecords = 900;  // 2700 m; the pit lane starts at 2700 m
  Build();
  EXPECT_NE(writer.warning.find("pit line covers 2700.0 m (900 records)"), std::string::npos) << writer.warning;
  lp.pitRecords = 1000;
  Build();
  EXPECT_TRUE(writer.warning.empty()) << writer.warning;
}

TEST_F(AiwTrack, ValuesThatCannotPlaceAWaypointAreRefused) {
  VARS_AIW_TRACK_INFO info = StandardInfo();
  info.mergePitOut = std::numeric_limits<float>::quiet_NaN();
  EXPECT_THROW(Build(info), CInvalidArgument);
  info = StandardInfo();
  info.mergePitOut = 1e9f;  // a pit lane longer than the track
  EXPECT_THROW(Build(info), CInvalidArgument);
  CN5Ptf tiny;
  BuildFlatStraight(tiny, 5);
  EXPECT_THROW(writer.BuildAiw(tiny, StandardInfo(), lp, 1), CInvalidArgument);
  // Grid slots and stalls kilometres beside the track; 10 km is not beyond.
  info = StandardInfo();
  info.stallsLatEnd = 1e30f;
  EXPECT_THROW(Build(info), CInvalidArgument);
  info.stallsLatEnd = info.stallsLatStart = -10000;
  EXPECT_NO_THROW(Build(info));
  info.gridLat = 1e9f;
  try {
    Build(info);
    ADD_FAILURE();
  } catch (const CInvalidArgument& e) {
    EXPECT_NE(std::string(e.what()).find("GridLat of 1e+09 m lies more than 10 km"), std::string::npos) << e.what();
  }
}

class AiwFile : public AiwTrack {
 protected:
  CTempDir dir;
  std::string error;  // the message of the last write
};

TEST_F(AiwFile, WritesFromTheLpFilesBesideThePath) {
  WriteLpFile(dir.Path(), "Race.lp", BuildLp(LpLaterals(1000, 4)));
  WriteLpFile(dir.Path(), "PIT.LP", BuildLp(LpLaterals(1000, -8), 3));
  const std::string out = dir.File("Track.AIW");
  ASSERT_TRUE(Ok(writer.AIWFromLP(track, StandardInfo(), dir.File("race.lp"), out, 1), error)) << error;
  const std::string text = ReadText(out);
  EXPECT_EQ(text, Build());
  EXPECT_TRUE(writer.warning.empty());
}

TEST_F(AiwFile, MissingOrDamagedRacingLineWritesNothingAndSaysWhy) {
  const std::string out = dir.File("track.aiw");
  WriteText(out, "old");
  EXPECT_FALSE(Ok(writer.AIWFromLP(track, StandardInfo(), dir.File("race.lp"), out, 1), error));
  EXPECT_NE(error.find("race.lp"), std::string::npos) << error;

  std::vector<uint8_t> cut = BuildLp(LpLaterals(1000, 4));
  cut.resize(100);
  WriteLpFile(dir.Path(), "race.lp", cut);
  WriteLpFile(dir.Path(), "pit.lp", BuildLp(LpLaterals(1000, -8)));
  EXPECT_FALSE(Ok(writer.AIWFromLP(track, StandardInfo(), dir.File("race.lp"), out, 1), error));
  EXPECT_NE(error.find("race.lp"), std::string::npos) << error;
  EXPECT_EQ(ReadText(out), "old");

  // An output that cannot be created.
  WriteLpFile(dir.Path(), "race.lp", BuildLp(LpLaterals(1000, 4)));
  EXPECT_FALSE(Ok(writer.AIWFromLP(track, StandardInfo(), dir.File("race.lp"), dir.File("none/track.aiw"), 1), error));
  EXPECT_NE(error.find("track.aiw"), std::string::npos) << error;
}

}  // namespace

}  // namespace lapforge
