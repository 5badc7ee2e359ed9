// `lapforge import gpl` as a user runs it: exit status, messages, files.
#include <gtest/gtest.h>

#ifdef LAPFORGE_CLI
#include <cstdlib>

#include "tests/support/CliRun.h"
#include "tests/support/TestSupport.h"
#include "tests/support/gpl/TrkBuilder.h"

namespace lapforge {

namespace {

using Result = CliResult;

Result Lapforge(const CTempDir& dir, const std::string& args) { return RunCli(LAPFORGE_CLI, dir, args); }

void WriteTrk(const std::string& path, const std::vector<uint8_t>& bytes) {
  WriteText(path, std::string(bytes.begin(), bytes.end()));
}

}  // namespace

TEST(CliImportGpl, WritesTheDescriptionAndReportsOneFile) {
  CTempDir dir;
  WriteTrk(dir.File("circuit.trk"), BuildTrk(ClosedCircuit()));
  Result r = Lapforge(dir, "import gpl '" + dir.File("circuit.trk") + "' '" + dir.File("out.xml") + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("1 File(s) written"), std::string::npos) << r.out;
  EXPECT_NE(ReadText(dir.File("out.xml")).find("<Name>circuit</Name>"), std::string::npos);
  EXPECT_TRUE(Exists(dir.File("_blank.tex")));
}

TEST(CliImportGpl, FlagsDefaultToTheSettings) {
  TrkBuildTrack t;
  t.sections.resize(2);
  TrkBuildTraction band;
  band.texture = 1;
  band.textureGplTrk = 42;
  t.sections[0].tractions = {band};
  CTempDir dir;
  WriteTrk(dir.File("t.trk"), BuildTrk(t));
  auto index = [&](const std::string& flags) {
    Result r = Lapforge(dir, "import gpl '" + dir.File("t.trk") + "' '" + dir.File("o.xml") + "' " + flags);
    EXPECT_EQ(r.status, 0) << r.err;
    std::string xml = ReadText(dir.File("o.xml"));
    size_t p = xml.find("<TextureIndex>");
    return p == std::string::npos ? std::string() : xml.substr(p + 14, 2);
  };
  EXPECT_EQ(index(""), "42");  // TRKFromGPLTRK defaults to on
  EXPECT_EQ(index("--gpltrk off"), "1<");
  WriteText(dir.File("settings.ini"), "TRKFromGPLTRK=dword:0\n");
  EXPECT_EQ(index(""), "1<");
  EXPECT_EQ(index("--gpltrk on --auto-materials off"), "42");
  Result bad = Lapforge(dir, "import gpl '" + dir.File("t.trk") + "' '" + dir.File("o.xml") + "' --gpltrk maybe");
  EXPECT_EQ(bad.status, 2);
}

TEST(CliImportGpl, DamagedTracksFailWithAMessageAndWriteNothing) {
  CTempDir dir;
  TrkLayout lay;
  std::vector<uint8_t> good = BuildTrk(ClosedCircuit(), &lay);
  const std::vector<std::vector<uint8_t>> bad = {
      {},
      std::vector<uint8_t>(good.begin(), good.begin() + 20),
      std::vector<uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(lay.tractionTable + 40)),
      std::vector<uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(lay.sectionHeaders.back() + 8)),
  };
  for (size_t i = 0; i < bad.size(); ++i) {
    WriteTrk(dir.File("bad.trk"), bad[i]);
    Result r = Lapforge(dir, "import gpl '" + dir.File("bad.trk") + "' '" + dir.File("out.xml") + "'");
    EXPECT_EQ(r.status, 1) << i;
    EXPECT_NE(r.err.find("GPL .TRK to XML: The track file cannot be read: " + dir.File("bad.trk")), std::string::npos)
        << r.err;
    EXPECT_FALSE(Exists(dir.File("out.xml"))) << i;
    EXPECT_TRUE(r.out.empty()) << r.out;
  }
  Result missing = Lapforge(dir, "import gpl '" + dir.File("none.trk") + "' '" + dir.File("out.xml") + "'");
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("none.trk"), std::string::npos);
  EXPECT_FALSE(Exists(dir.File("out.xml")));
}

TEST(CliImportGpl, EndlessInputIsRefusedAtOnce) {
  CTempDir dir;
  // Endless: would otherwise be read until memory runs out.
  Result r = Lapforge(dir, "import gpl /dev/zero '" + dir.File("out.xml") + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("'/dev/zero': it is not a regular file"), std::string::npos) << r.err;
  EXPECT_FALSE(Exists(dir.File("out.xml")));
}

}  // namespace lapforge
#endif

