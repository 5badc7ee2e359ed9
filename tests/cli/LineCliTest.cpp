// lapforge line, aiw without LP files and map --line as a user runs them on
// the sample circuit: what each writes, and that a failure exits 1 with
// nothing written.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "tests/support/CliRun.h"

namespace lapforge {

namespace {

const std::string kSample = "'" LAPFORGE_SOURCE_DIR "/examples/sample-circuit.xml'";

struct LineCliCase {
  const char* name;
  const char* command;  // before the output
  const char* output;   // file name in the test folder
  const char* options;  // after the output
  int status;
  const char* start;    // what the file starts with (status 0) or stderr holds (status 1)
  const char* contains;  // also in the file (status 0) or stderr (status 1); may be empty
};

void PrintTo(const LineCliCase& c, std::ostream* os) { *os << c.name; }

// The sample is 2028.3185 m long: 677 LP records (0x2a5), the first two at
// 0 and 3 m (0x40400000).
const std::string kLpStart("\x02\x00\x01\x00\xa5\x02\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00", 16);

const LineCliCase kCases[] = {
    {"Csv", "line", "line.csv", "", 0, "distance,offset,x,y,z,curvature,speed\r\n0.000,", "\r\n# lap time "},
    {"CsvWiderStep", "line", "line.csv", "--step 4 --grip 1.0", 0, "distance,offset,x,y,z,curvature,speed\r\n",
     "\r\n4.000,"},
    {"Lp", "line", "race.lp", "", 0, kLpStart.c_str(), ""},
    {"AiwWithoutLp", "aiw", "track.aiw", "", 0, "[Features]\r\n", "wp_path=("},
    {"AiwAutoLine", "aiw", "track.aiw", "--auto-line --margin 1.5", 0, "[Features]\r\n", "wp_path=("},
    {"MapWithLine", "map", "map.svg", "--line", 0, "<?xml", "<polyline class=\"line\""},
    {"NoRoomForTheMargin", "line", "line.csv", "--margin 7.1", 1, "No room for a racing line",
     "0.0 m along the track, in section 0 (row 1)"},
    {"MapNoRoom", "map", "map.svg", "--line --margin 7.1", 1, "No room for a racing line", "section 0"},
    {"AiwNoRoom", "aiw", "track.aiw", "--margin 7.1", 1, "No room for a racing line", "section 0"},
    {"WrongExtension", "line", "line.txt", "", 1, "the racing line is written as .csv or .lp", ""},
};

class LineCli : public ::testing::TestWithParam<LineCliCase> {};

TEST_P(LineCli, WritesWhatWasAskedOrExitsOneWithNothingWritten) {
  const LineCliCase& c = GetParam();
  CTempDir dir;
  const std::string out = dir.File(c.output);
  CliResult r = RunCli(LAPFORGE_CLI, dir, std::string(c.command) + " " + kSample + " '" + out + "' " + c.options);
  ASSERT_EQ(r.status, c.status) << r.err;
  if (c.status == 0) {
    EXPECT_NE(r.out.find("1 File(s) written"), std::string::npos) << r.out;
    const std::string text = ReadText(out);
    EXPECT_EQ(text.substr(0, std::string(c.start).size()), c.start);
    EXPECT_NE(text.find(c.contains), std::string::npos);
  } else {
    EXPECT_NE(r.err.find(c.start), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(c.contains), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(out));
  }
}

INSTANTIATE_TEST_SUITE_P(Sample, LineCli, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The sample's waypoints from the computed line: every race waypoint's path
// offset (minus half the racing line's lateral, the waypoint lying halfway
// to it) puts the line inside the strip less the margin (-5 to 5), on the
// outside of its left-hand corners on the straights and on the inside at
// the corners.
TEST(LineCliAiw, RaceWaypointsFollowTheComputedLine) {
  CTempDir dir;
  CliResult r = RunCli(LAPFORGE_CLI, dir, "aiw " + kSample + " '" + dir.File("track.aiw") + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string text = ReadText(dir.File("track.aiw"));
  // 2028.3185 / 6 = 338 race waypoints; the pit lane from 1900 across the
  // line to 150 (278.3 m) 47 more; 25 grid slots and 13 stalls.
  EXPECT_NE(text.find("\r\nnumber_waypoints=423\r\n"), std::string::npos);
  double least = 0, most = 0;
  size_t at = 0;
  for (int k = 0; k < 338; ++k) {
    at = text.find("wp_path=(", at);
    ASSERT_NE(at, std::string::npos) << k;
    at += 9;
    const double lateral = -2 * std::strtod(text.c_str() + at, nullptr);
    EXPECT_GE(lateral, -5.001) << k;
    EXPECT_LE(lateral, 5.001) << k;
    least = std::min(least, lateral), most = std::max(most, lateral);
  }
  EXPECT_LT(least, -4.9);
  EXPECT_GT(most, 4.9);
}

}  // namespace

}  // namespace lapforge
