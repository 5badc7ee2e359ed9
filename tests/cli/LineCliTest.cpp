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
  const char* input;    // the description's text; null for the sample circuit
  const char* command;  // before the output
  const char* output;   // file name in the test folder
  const char* options;  // after the output
  int status;
  const char* start;     // what the file starts with (status 0) or stderr holds (status 1)
  const char* contains;  // also in the file (status 0) or stderr (status 1); may be empty
};

void PrintTo(const LineCliCase& c, std::ostream* os) { *os << c.name; }

// The sample is 2028.3185 m long: 677 LP records (0x2a5), the first two at
// 0 and 3 m (0x40400000).
const std::string kLpStart("\x02\x00\x01\x00\xa5\x02\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00", 16);

// A straight 100 m long whose right band edge is not a number: the strip's
// right bound falls to the model's far value.
const char kFarBound[] = R"(<?xml version="1.0" standalone="yes"?>
<TrkDsc xmlns="http://tempuri.org/TrkDsc.xsd">
  <Section><Index>0</Index><Type>0</Type><Start>0</Start><Length>100</Length><Angle_Start>0</Angle_Start>
    <Angle_Change>0</Angle_Change><Radius>0</Radius><Split>0</Split>
    <Traction><Lat_Start>NaN</Lat_Start><Lat_End>NaN</Lat_End><Grip>1</Grip><TextureIndex>0</TextureIndex></Traction>
    <Traction><Lat_Start>6</Lat_Start><Lat_End>6</Lat_End><Grip>5</Grip><TextureIndex>0</TextureIndex></Traction>
  </Section>
</TrkDsc>
)";
const char kNoTrack[] = R"(<?xml version="1.0" standalone="yes"?>
<TrkDsc xmlns="http://tempuri.org/TrkDsc.xsd"></TrkDsc>
)";

const LineCliCase kCases[] = {
    {"Csv", nullptr, "line", "line.csv", "", 0, "distance,offset,x,y,z,curvature,speed\r\n0.000,", "\r\n# lap time "},
    // 2028.3185 m in 508 steps of 3.99275 m.
    {"CsvWiderStep", nullptr, "line", "line.csv", "--step 4 --grip 1.0", 0, "distance,offset,x,y,z,curvature,speed\r\n",
     "\r\n3.993,"},
    {"Lp", nullptr, "line", "race.lp", "", 0, kLpStart.c_str(), ""},
    {"AiwWithoutLp", nullptr, "aiw", "track.aiw", "", 0, "[Features]\r\n", "wp_path=("},
    {"AiwAutoLine", nullptr, "aiw", "track.aiw", "--auto-line --margin 1.5", 0, "[Features]\r\n", "wp_path=("},
    {"MapWithLine", nullptr, "map", "map.svg", "--line", 0, "<?xml", "<polyline class=\"line\""},
    // The sample's strip is 14 m wide everywhere: the first point fails.
    {"NoRoomForTheMargin", nullptr, "line", "line.csv", "--margin 7.1", 1, "No room for a racing line",
     "0.0 m along the track, in section 0 (row 1)"},
    {"MapNoRoom", nullptr, "map", "map.svg", "--line --margin 7.1", 1, "No room for a racing line", "section 0"},
    {"AiwNoRoom", nullptr, "aiw", "track.aiw", "--margin 7.1", 1, "No room for a racing line", "section 0"},
    {"FarBound", kFarBound, "line", "line.csv", "", 1, "a bound that is not a usable number",
     "0.0 m along the track, in section 0 (row 1)"},
    {"NoTrack", kNoTrack, "line", "line.csv", "", 1, "does not make a track", ""},
    {"WrongExtension", nullptr, "line", "line.txt", "", 1, "the racing line is written as .csv or .lp", ""},
};

class LineCli : public ::testing::TestWithParam<LineCliCase> {};

TEST_P(LineCli, WritesWhatWasAskedOrExitsOneWithNothingWritten) {
  const LineCliCase& c = GetParam();
  CTempDir dir;
  std::string in = kSample;
  if (c.input) {
    WriteText(dir.File("in.xml"), c.input);
    in = "'" + dir.File("in.xml") + "'";
  }
  const std::string out = dir.File(c.output);
  CliResult r = RunCli(LAPFORGE_CLI, dir, std::string(c.command) + " " + in + " '" + out + "' " + c.options);
  ASSERT_EQ(r.status, c.status) << r.err;
  if (c.status == 0) {
    if (std::string(c.command) != "map") EXPECT_NE(r.out.find("1 File(s) written"), std::string::npos) << r.out;
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
// to it) puts the line inside the strip (-7 to 7) less the 1 m margin, on
// the outside of its left-hand corners on the straights and on the inside
// at the corners.
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
    EXPECT_GE(lateral, -6.001) << k;
    EXPECT_LE(lateral, 6.001) << k;
    least = std::min(least, lateral), most = std::max(most, lateral);
  }
  EXPECT_LT(least, -5.9);
  EXPECT_GT(most, 5.9);
}

}  // namespace

}  // namespace lapforge
