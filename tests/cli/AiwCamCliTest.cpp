// lapforge aiw and lapforge cam as a user runs them: exit status, the
// summary on stdout, the messages on stderr, and no file left by a failure.
#include <gtest/gtest.h>

#include "tests/support/CliRun.h"
#include "tests/support/formats/LpCamFiles.h"

namespace lapforge {

namespace {

const std::string kSample = "'" LAPFORGE_SOURCE_DIR "/examples/sample-circuit.xml'";

CliResult Lapforge(const CTempDir& dir, const std::string& args, const std::string& prefix = "") {
  return RunCli(LAPFORGE_CLI, dir, args, prefix);
}

std::string Q(const std::string& path) { return "'" + path + "'"; }

TEST(CliAiw, WritesFromTheRacingLinesBesideTheGivenFile) {
  CTempDir dir;
  WriteLpFile(dir.Path(), "RACE.LP", BuildLp(LpLaterals(1000, 2)));
  WriteLpFile(dir.Path(), "pit.lp", BuildLp(LpLaterals(1000, -6)));
  CliResult r = Lapforge(dir, "aiw " + kSample + " " + Q(dir.File("Race.lp")) + " " + Q(dir.File("out.aiw")));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("1 File(s) written"), std::string::npos) << r.out;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(ReadText(dir.File("out.aiw")).substr(0, 12), "[Features]\r\n");
}

TEST(CliAiw, FailuresSayWhatFailedExitOneAndKeepTheOldFile) {
  CTempDir dir;
  WriteText(dir.File("out.aiw"), "old");
  CliResult r = Lapforge(dir, "aiw " + kSample + " " + Q(dir.File("race.lp")) + " " + Q(dir.File("out.aiw")));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("race.lp"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "");

  WriteLpFile(dir.Path(), "pit0.lp", BuildLp(LpLaterals(1000, -6)));
  // The write itself failing part-way (a 4 KB file-size limit).
  WriteLpFile(dir.Path(), "race.lp", BuildLp(LpLaterals(1000, 2)));
  r = Lapforge(dir, "aiw " + kSample + " " + Q(dir.File("race.lp")) + " " + Q(dir.File("out.aiw")),
               "trap '' XFSZ; ulimit -f 4; ");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("out.aiw"), std::string::npos) << r.err;
  EXPECT_EQ(ReadText(dir.File("out.aiw")), "old");
}

TEST(CliCam, ConvertsACameraListAndRefusesAWrongOne) {
  CTempDir dir;
  SourceCam cam;
  cam.distance = 50;
  cam.height = 4;
  WriteLpFile(dir.Path(), "tv.cam", BuildCamList({cam}));
  CliResult r = Lapforge(dir, "cam " + kSample + " " + Q(dir.File("tv.cam")) + " " + Q(dir.File("out.cam")));
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string text = ReadText(dir.File("out.cam"));
  EXPECT_EQ(text.substr(0, 21), "StaticCam=STATIC001\r\n");

  std::vector<uint8_t> wrong = BuildCamList({cam});
  wrong[0] = 'm';
  WriteLpFile(dir.Path(), "wrong.cam", wrong);
  r = Lapforge(dir, "cam " + kSample + " " + Q(dir.File("wrong.cam")) + " " + Q(dir.File("out.cam")));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("MACT"), std::string::npos) << r.err;
  EXPECT_EQ(ReadText(dir.File("out.cam")), text);
}

}  // namespace

}  // namespace lapforge
