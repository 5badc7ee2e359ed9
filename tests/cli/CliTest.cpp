// The command line as a user runs it: exit status, stdout, stderr, files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "tests/support/CliRun.h"
#include "tests/support/TestSupport.h"

namespace lapforge {

namespace {

using Result = CliResult;

// Runs `lapforge args` through the shell with its own settings file.
Result Lapforge(const CTempDir& dir, const std::string& args, const std::string& prefix = "") {
  return RunCli(LAPFORGE_CLI, dir, args, prefix);
}

const std::string kSample = LAPFORGE_SOURCE_DIR "/examples/sample-circuit.xml";

}  // namespace

TEST(CliExportXml, SampleTrackWritesBackTheSameDocument) {
  CTempDir dir;
  Result r = Lapforge(dir, "export xml '" + kSample + "' '" + dir.File("out.xml") + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("1 File(s) written"), std::string::npos);
  EXPECT_EQ(ReadText(dir.File("out.xml")), ReadText(kSample));
}

TEST(CliExportXml, MistypedValueFailsWithTheXmlMessageAndWritesNothing) {
  CTempDir dir;
  WriteText(dir.File("bad.xml"),
            "<TrkDsc xmlns=\"http://tempuri.org/TrkDsc.xsd\"><Section><Traction><Grip>high</Grip></Traction></Section>"
            "</TrkDsc>");
  Result r = Lapforge(dir, "export xml '" + dir.File("bad.xml") + "' '" + dir.File("out.xml") + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Error in XML: There is a incorrectly typed value in your xml\nUsing Open XML you should be "
                       "able to see from the tables where the error occurred"),
            std::string::npos)
      << r.err;
  EXPECT_FALSE(Exists(dir.File("out.xml")));
}

TEST(CliExportXml, MissingInputFailsWithItsOwnText) {
  CTempDir dir;
  Result r = Lapforge(dir, "export xml '" + dir.File("none.xml") + "' '" + dir.File("out.xml") + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("none.xml"), std::string::npos) << r.err;
  EXPECT_FALSE(Exists(dir.File("out.xml")));
}

TEST(CliExportXml, FailedWriteLeavesTheExistingFileIntact) {
  CTempDir dir;
  WriteText(dir.File("out.xml"), "old contents");
  // A file-size limit of 4 KB makes the write of the 60 KB sample fail part-way.
  Result r = Lapforge(dir, "export xml '" + kSample + "' '" + dir.File("out.xml") + "'", "trap '' XFSZ; ulimit -f 4; ");
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_EQ(ReadText(dir.File("out.xml")), "old contents");
}

TEST(CliOptions, ListsDefaultsThenStoredValue) {
  CTempDir dir;
  Result r = Lapforge(dir, "options");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "TSOXYZ 0\nTRKFromGPLTRK 1\nISIMaterials 1\nWriteN4PTF 0\n");
  ASSERT_EQ(Lapforge(dir, "options WriteN4PTF 1").status, 0);
  EXPECT_EQ(Lapforge(dir, "options").out, "TSOXYZ 0\nTRKFromGPLTRK 1\nISIMaterials 1\nWriteN4PTF 1\n");
  EXPECT_EQ(Lapforge(dir, "options WriteN4PTF").out, "WriteN4PTF 1\n");
  EXPECT_EQ(Lapforge(dir, "options WriteN4PTF on").status, 1);
  ASSERT_EQ(Lapforge(dir, "options --any-name LastFolder /tracks/").status, 0);
  EXPECT_EQ(Lapforge(dir, "options").out,
            "TSOXYZ 0\nTRKFromGPLTRK 1\nISIMaterials 1\nWriteN4PTF 1\nLastFolder /tracks/\n");
}

TEST(CliUsage, HelpAndUsageErrors) {
  CTempDir dir;
  for (const char* cmd :
       {"--help", "export --help", "export xml --help", "options --help", "import --help", "inspect --help"}) {
    Result r = Lapforge(dir, cmd);
    EXPECT_EQ(r.status, 0) << cmd;
    EXPECT_NE(r.out.find("Usage"), std::string::npos) << cmd;
  }
  EXPECT_EQ(Lapforge(dir, "").status, 2);
  EXPECT_EQ(Lapforge(dir, "export xml only-one.xml").status, 2);
  EXPECT_EQ(Lapforge(dir, "frobnicate").status, 2);
}

// The 3DS question: answered by --short-names, else (no terminal) by its
// default with a note on stderr; a value that is neither is a usage error.
TEST(CliExport3ds, ShortNamesFlagOrDefault) {
  CTempDir dir;
  Result r = Lapforge(dir, "export 3ds '" + kSample + "' '" + dir.File("a.3ds") + "' --short-names no");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err.find("Short Names"), std::string::npos) << r.err;
  EXPECT_EQ(r.out.rfind("1 File(s) written", 0), 0u) << r.out;  // one 3DS file, whatever the blocks
  EXPECT_TRUE(Exists(dir.File("a.3ds")));

  r = Lapforge(dir, "export 3ds '" + kSample + "' '" + dir.File("b.3ds") + "'");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("Use Short Names in .3DS"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("[no terminal: answered Yes]"), std::string::npos) << r.err;

  r = Lapforge(dir, "export 3ds '" + kSample + "' '" + dir.File("c.3ds") + "' --short-names maybe");
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_FALSE(Exists(dir.File("c.3ds")));
}

// A game file that cannot be written is named on stderr and the export
// fails.
TEST(CliExportGames, FailedFileIsNamedAndExitsOne) {
  CTempDir dir;
  WriteText(dir.File("blocked"), "a file where a folder should be");
  Result r = Lapforge(dir, "export gtl '" + kSample + "' '" + dir.File("blocked") + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find(dir.File("blocked")), std::string::npos) << r.err;
}

// The completion line counts every file written: block files, the scene
// file and the side files.
TEST(CliExportRFactor, SampleTrackIntoANewFolder) {
  CTempDir dir;
  Result r = Lapforge(dir, "export rfactor '" + kSample + "' '" + dir.File("out/rfactor") + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  int blocks = 0, files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.File("out/rfactor"))) {
    blocks += entry.path().extension() == ".gmt" ? 1 : 0;
    ++files;
  }
  EXPECT_GT(blocks, 1);
  EXPECT_EQ(files, blocks + 4);
  EXPECT_NE(r.out.find(std::to_string(files) + " File(s) written"), std::string::npos) << r.out;
  EXPECT_TRUE(Exists(dir.File("out/rfactor/_Lapforge.scn")));
}

TEST(CliExportMts, UncreatableFolderFailsBeforeBuilding) {
  CTempDir dir;
  WriteText(dir.File("plain"), "x");
  Result r = Lapforge(dir, "export mts '" + kSample + "' '" + dir.File("plain/mts") + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Output Folder: The output folder cannot be created: " + dir.File("plain/mts")),
            std::string::npos)
      << r.err;
  EXPECT_EQ(r.out, "");
}

TEST(CliExportRFactor, FilesThatFailAreNamedAndTheRunFails) {
  CTempDir dir;
  // A file-size limit of 64 KB: the large block files fail, the small ones
  // and the side files are written.
  Result r = Lapforge(dir, "export rfactor '" + kSample + "' '" + dir.File("rf") + "'", "trap '' XFSZ; ulimit -f 64; ");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Write Error: These files could not be written:\n" + dir.File("rf/")), std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find(".gmt"), std::string::npos);
  EXPECT_EQ(r.out.find("File(s) written"), std::string::npos);
  EXPECT_TRUE(Exists(dir.File("rf/_Lapforge.scn")));
  EXPECT_TRUE(Exists(dir.File("rf/_rgbmap.dds")));
}

}  // namespace lapforge
