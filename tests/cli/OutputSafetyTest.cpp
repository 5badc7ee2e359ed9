// Outputs as a hostile or careless user gives them, for every command that
// writes: a FIFO, socket or device in place of the file, a symlink, an
// output that is one of the command's inputs, a 3SE export that cannot
// write all its files, settings stored concurrently, and the usage messages.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <ostream>
#include <string>

#include "tests/support/CliRun.h"
#include "tests/support/formats/LpCamFiles.h"
#include "tests/support/gpl/TrkBuilder.h"
#include "tests/support/ptf/RecordTrees.h"

namespace lapforge {

namespace {

namespace fs = std::filesystem;

const std::string kSample = LAPFORGE_SOURCE_DIR "/examples/sample-circuit.xml";

// '@' in a command line or a text stands for the test's folder.
std::string Expand(const std::string& text, const CTempDir& dir) {
  std::string out;
  for (char c : text) out += c == '@' ? dir.Path() + "/" : std::string(1, c);
  return out;
}

CliResult Lapforge(const CTempDir& dir, const std::string& args, const std::string& prefix = "") {
  return RunCli(LAPFORGE_CLI, dir, Expand(args, dir), prefix);
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  WriteText(path, std::string(bytes.begin(), bytes.end()));
}

// What the commands read: the sample description (also under the names of
// files the exports write), racing lines, a camera list, a PTF track with
// its track.ini and a GPL track with its texture list.
void MakeInputs(const CTempDir& dir) {
  for (const char* name : {"a.xml", "a.svg", "Lapforge.ptf", "_NoName.gdb"}) fs::copy_file(kSample, dir.File(name));
  fs::create_symlink("a.xml", dir.File("a-link.xml"));
  WriteLpFile(dir.Path(), "race.lp", BuildLp(LpLaterals(1000, 2)));
  WriteLpFile(dir.Path(), "pit.lp", BuildLp(LpLaterals(1000, -6)));
  SourceCam cam;
  cam.distance = 50;
  cam.height = 4;
  WriteLpFile(dir.Path(), "tv.cam", BuildCamList({cam}));
  WriteBytes(dir.File("x.ptf"), MakeStraightTrackFile(3));
  WriteText(dir.File("track.ini"), "[pit_lane_0]\r\nstall_0=10 2 0\r\n");
  WriteBytes(dir.File("x.trk"), BuildTrk(ClosedCircuit()));
  WriteText(dir.File("x.tex"), "");
}

// Every file under dir with its size, but the runner's own.
std::map<std::string, uintmax_t> Files(const CTempDir& dir) {
  std::map<std::string, uintmax_t> files;
  for (const auto& e : fs::recursive_directory_iterator(dir.Path())) {
    const std::string name = e.path().lexically_relative(dir.Path()).string();
    if (e.is_regular_file() && !e.is_symlink() && name != "stdout" && name != "stderr") files[name] = e.file_size();
  }
  return files;
}

mode_t KindAt(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 ? (st.st_mode & S_IFMT) : 0;
}

// A command and the file it writes (one of several for the exports that
// write more than one).
struct Writer {
  const char* name;
  const char* args;
  const char* out;
};

const Writer kWriters[] = {
    {"options", "options TSOXYZ 1", "settings.ini"},
    {"xml", "export xml @a.xml @out.xml", "out.xml"},
    {"gltf", "export gltf @a.xml @out.gltf", "out.gltf"},
    {"ptf", "export ptf @a.xml @out.ptf", "out.ptf"},
    {"max", "export 3ds @a.xml @out.3ds --short-names no", "out.3ds"},
    {"se", "export 3se @a.xml @se/out.3se", "se/out.3se"},
    {"se_track", "export 3se @a.xml @se/out.3se", "se/Lapforge.ptf"},
    {"rfactor_scene", "export rfactor @a.xml @rf", "rf/_Lapforge.scn"},
    {"gtr2_template", "export gtr2 @a.xml @g2", "g2/_NoName.grd"},
    {"mts_block", "export mts @a.xml @mts", "mts/TrackObj000.mts"},
    {"aiw", "aiw @a.xml @race.lp @out.aiw", "out.aiw"},
    {"cam", "cam @a.xml @tv.cam @out.cam", "out.cam"},
    {"import_ptf", "import ptf @x.ptf @out.xml", "out.xml"},
    {"import_gpl", "import gpl @x.trk @out.xml", "out.xml"},
    {"import_gpl_blank", "import gpl @x.trk @out.xml", "_blank.tex"},
    {"rewrite", "inspect --rewrite @x.ptf @out.ptf", "out.ptf"},
    {"map", "map @a.xml @out.svg", "out.svg"},
};

enum class Kind { Fifo, Socket, CharDevice, Link };

struct KindCase {
  Kind kind;
  const char* name;
  mode_t type;
  const char* says;
};

const KindCase kKinds[] = {{Kind::Fifo, "fifo", S_IFIFO, "it is a FIFO"},
                           {Kind::Socket, "socket", S_IFSOCK, "it is a socket"},
                           {Kind::CharDevice, "chardevice", S_IFCHR, "it is a character device"},
                           {Kind::Link, "link", S_IFLNK, ""}};

// Failures name the case, not its bytes.
void PrintTo(const Writer& w, std::ostream* os) { *os << w.name; }
void PrintTo(const KindCase& k, std::ostream* os) { *os << k.name; }

class CliSpecialOutput : public ::testing::TestWithParam<std::tuple<Writer, KindCase>> {};

// A FIFO, socket or device is refused with its path and kind, nothing
// written, the node left as it was. A symlink (relative, from its own
// folder) is followed: its target is replaced and the link stays.
TEST_P(CliSpecialOutput, IsRefusedOrFollowed) {
  const auto& [writer, kind] = GetParam();
  CTempDir dir;
  MakeInputs(dir);
  const std::string out = dir.File(writer.out);
  fs::create_directories(fs::path(out).parent_path());
  const std::string target = out + ".target";
  switch (kind.kind) {
    case Kind::Fifo:
      ASSERT_EQ(::mkfifo(out.c_str(), 0644), 0);
      break;
    case Kind::Socket:
      ASSERT_EQ(::mknod(out.c_str(), S_IFSOCK | 0644, 0), 0);
      break;
    case Kind::CharDevice:
      // A null device of the test's own; making one takes privileges.
      if (::mknod(out.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) GTEST_SKIP() << "cannot make a device node";
      break;
    case Kind::Link:
      WriteText(target, "old");
      fs::create_symlink(fs::path(target).filename(), out);
      break;
  }
  const auto before = Files(dir);
  const CliResult r = Lapforge(dir, writer.args);
  EXPECT_EQ(KindAt(out), kind.type) << r.err;
  if (kind.kind == Kind::Link) {
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(fs::read_symlink(out), fs::path(target).filename());
    EXPECT_NE(ReadText(target), "old");
    EXPECT_GT(ReadText(target).size(), 3u);
    return;
  }
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("'" + out + "': " + kind.says), std::string::npos) << r.err;
  EXPECT_EQ(Files(dir), before) << r.err;
}

INSTANTIATE_TEST_SUITE_P(EveryWriter, CliSpecialOutput,
                         ::testing::Combine(::testing::ValuesIn(kWriters), ::testing::ValuesIn(kKinds)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
                         });

// A command whose output is one of the files it reads, or a companion it
// reads beside one: refused before anything is written.
struct SameFile {
  const char* name;
  const char* args;
  const char* input;
};

const SameFile kSameFiles[] = {
    {"xml", "export xml @a.xml @a.xml", "a.xml"},
    {"xml_through_link", "export xml @a.xml @a-link.xml", "a.xml"},
    {"gltf", "export gltf @a.xml @a.xml", "a.xml"},
    {"ptf", "export ptf @a.xml @a.xml", "a.xml"},
    {"max", "export 3ds @a.xml @a.xml --short-names no", "a.xml"},
    {"se", "export 3se @a.xml @a.xml", "a.xml"},
    {"se_track_file", "export 3se @Lapforge.ptf @out.3se", "Lapforge.ptf"},
    {"rfactor_template", "export rfactor @_NoName.gdb @", "_NoName.gdb"},
    {"aiw", "aiw @a.xml @race.lp @race.lp", "race.lp"},
    {"aiw_pit_line", "aiw @a.xml @race.lp @pit.lp", "pit.lp"},
    {"aiw_description", "aiw @a.xml @race.lp @a.xml", "a.xml"},
    {"cam", "cam @a.xml @tv.cam @tv.cam", "tv.cam"},
    {"import_ptf", "import ptf @x.ptf @x.ptf", "x.ptf"},
    {"import_ptf_ini", "import ptf @x.ptf @track.ini", "track.ini"},
    {"import_gpl", "import gpl @x.trk @x.trk", "x.trk"},
    {"import_gpl_textures", "import gpl @x.trk @x.tex", "x.tex"},
    {"rewrite", "inspect --rewrite @x.ptf @x.ptf", "x.ptf"},
    {"map", "map @a.svg @a.svg", "a.svg"},
};

void PrintTo(const SameFile& c, std::ostream* os) { *os << c.name; }

class CliOutputIsInput : public ::testing::TestWithParam<SameFile> {};

TEST_P(CliOutputIsInput, IsRefusedAndTheInputKept) {
  const SameFile& c = GetParam();
  CTempDir dir;
  MakeInputs(dir);
  const std::string input = ReadText(dir.File(c.input));
  const auto before = Files(dir);
  const CliResult r = Lapforge(dir, c.args);
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.err.find("is the input '" + dir.File(c.input) + "'; nothing was written"), std::string::npos) << r.err;
  EXPECT_EQ(ReadText(dir.File(c.input)), input);
  EXPECT_EQ(Files(dir), before);
}

INSTANTIATE_TEST_SUITE_P(EveryCommand, CliOutputIsInput, ::testing::ValuesIn(kSameFiles),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

// The 3SE export writes three files. A scene name that is a folder is
// refused before any is written; a write that fails later (a file-size
// limit the track file fits and the scene does not) names the file it
// could not write and the one it had already replaced.
TEST(CliExport3se, ChecksEveryFileFirstAndNamesWhatAFailureReplaced) {
  CTempDir dir;
  MakeInputs(dir);
  fs::create_directories(dir.File("se/x.3se"));
  WriteText(dir.File("se/Lapforge.ptf"), "old track");
  WriteText(dir.File("se/_Lapforge.scn"), "old scene");
  CliResult r = Lapforge(dir, "export 3se @a.xml @se/x.3se");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("'" + dir.File("se/x.3se") + "': it is a folder"), std::string::npos) << r.err;
  EXPECT_EQ(ReadText(dir.File("se/Lapforge.ptf")), "old track");
  EXPECT_EQ(ReadText(dir.File("se/_Lapforge.scn")), "old scene");

  fs::remove(dir.File("se/x.3se"));
  r = Lapforge(dir, "export 3se @a.xml @se/x.3se", "trap '' XFSZ; ulimit -f 400; ");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find(Expand("Write Error: Could not write file '@se/x.3se': File too large\n"
                              "This file was replaced:\n@se/Lapforge.ptf\n",
                              dir)),
            std::string::npos)
      << r.err;
  EXPECT_NE(ReadText(dir.File("se/Lapforge.ptf")), "old track");
  EXPECT_EQ(ReadText(dir.File("se/_Lapforge.scn")), "old scene");
  EXPECT_FALSE(Exists(dir.File("se/x.3se")));
}

// Ten settings stored at once, each by its own run: every one lands.
TEST(CliOptions, ConcurrentStoresAllLand) {
  CTempDir dir;
  const char* names[] = {"TSOXYZ",  "TRKFromGPLTRK", "ISIMaterials", "WriteN4PTF", "LastPapyTrack",
                         "XMLName", "PTFName",       "TRKName",      "3DSName",    "3SEName"};
  std::string script;
  for (const char* name : names)
    script += "(LAPFORGE_CONFIG='" + dir.File("settings.ini") + "' '" LAPFORGE_CLI "' options " + name +
              " 7 >/dev/null || echo " + name + " >>'" + dir.File("failed") + "') & ";
  ASSERT_EQ(std::system(("bash -c \"" + script + "wait\"").c_str()), 0);
  EXPECT_FALSE(Exists(dir.File("failed"))) << ReadText(dir.File("failed"));
  const std::string stored = ReadText(dir.File("settings.ini"));
  for (const char* name : names) EXPECT_NE(stored.find(std::string(name) + "=dword:7\n"), std::string::npos) << name;
}

namespace {

struct Usage {
  const char* name;
  const char* args;
  const char* prefix;
  int status;
  const char* says;
};

const Usage kUsages[] = {
    {"empty_out", "export xml @a.xml ''", "", 2, "OUT: an empty name is not a file"},
    {"unknown_format", "export foo @a.xml @o", "", 2,
     "export: unknown format foo; the formats are: xml, ptf, gltf, rfactor, mts, gtr, gtr2, gtl, 3se, 3ds\n"},
    {"unknown_setting", "options Fast 1", "", 2,
     "Options: \"Fast\" is not a setting; the settings are: TSOXYZ, TRKFromGPLTRK, ISIMaterials, WriteN4PTF, "
     "LastPapyTrack, XMLName, PTFName, TRKName, 3DSName, 3SEName, AIWName, CAMName, rFactorFolder, MTSFolder, "
     "GTRFolder, GTR2Folder, GTLFolder (give --any-name to use another name)\n"},
    {"unknown_setting_shown", "options Fast", "", 2, "Options: \"Fast\" is not a setting;"},
    {"any_name", "options --any-name Fast 1", "", 0, ""},
    {"file_as_folder", "export gtl @a.xml @x.tex", "", 1,
     "Output Folder: The output folder cannot be created: @x.tex is an existing file\n"},
    {"ptf_reason", "export ptf @a.xml @full.ptf", "trap '' XFSZ; ulimit -f 16; ", 1,
     "The track file cannot be written: Could not write file '@full.ptf': File too large\n"},
    {"max_reason", "export 3ds @a.xml @full.3ds --short-names no", "trap '' XFSZ; ulimit -f 16; ", 1,
     "Write Error: Could not write file '@full.3ds': File too large\n"},
};

void PrintTo(const Usage& u, std::ostream* os) { *os << u.name; }

class CliUsageMessage : public ::testing::TestWithParam<Usage> {};

TEST_P(CliUsageMessage, SaysWhatIsWrong) {
  const Usage& u = GetParam();
  CTempDir dir;
  MakeInputs(dir);
  const CliResult r = Lapforge(dir, u.args, u.prefix);
  EXPECT_EQ(r.status, u.status) << r.err;
  EXPECT_NE(r.err.find(Expand(u.says, dir)), std::string::npos) << r.err;
  // Nothing is stored under a refused name.
  if (u.status != 0) EXPECT_EQ(ReadText(dir.File("settings.ini")).find("Fast"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Commands, CliUsageMessage, ::testing::ValuesIn(kUsages),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

}  // namespace lapforge
