#include <gtest/gtest.h>
#include <sys/stat.h>
#ifndef _WIN32
#include <sys/resource.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "support/FileIO.h"
#include "support/OutputCheck.h"
#include "tests/support/ResultCheck.h"
#include "tests/support/TestSupport.h"

namespace lapforge {

namespace {

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

#ifndef _WIN32
// Limits the size of files this process may write, for the lifetime of the
// object; a write beyond it fails (EFBIG) instead of raising a signal.
class CFileSizeLimit {
 public:
  explicit CFileSizeLimit(rlim_t bytes) {
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit limit = previous_;
    limit.rlim_cur = bytes;
    ok_ = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
  }
  ~CFileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousHandler_);
  }
  bool Ok() const { return ok_; }

 private:
  rlimit previous_{};
  void (*previousHandler_)(int) = nullptr;
  bool ok_ = false;
};
#endif

}  // namespace

TEST(FileIO, ReplaceFileWritesAndReplacesWhole) {
  CTempDir dir;
  std::string file = dir.File("track.xml");
  std::string error;
  ASSERT_TRUE(Ok(ReplaceFile(file, std::string("a much longer old content\r\n")), error)) << error;
  ASSERT_TRUE(Ok(ReplaceFile(file, std::string("new\r\n")), error)) << error;
  EXPECT_EQ(ReadText(file), "new\r\n");
  ASSERT_TRUE(Ok(ReplaceFile(file, std::vector<uint8_t>{}), error)) << error;
  EXPECT_EQ(ReadText(file), "");
  EXPECT_EQ(FolderEntries(dir.Path()), (std::vector<std::string>{"track.xml"}));
}

// Pieces of a scratch file copied into a replacing file in any order
// (patched headers between them); a piece reaching past the scratch file's
// end fails the file, which then replaces nothing.
TEST(FileIO, ScratchPiecesMakeTheFileAndAPieceBeyondItsEndFails) {
  CTempDir dir;
  const std::string file = dir.File("t.3ds");
  {
    CScratchFile scratch;
    ASSERT_TRUE(scratch.Open(dir.Path()));
    scratch.Append("0123456789", 10);
    CReplacingFile out;
    ASSERT_TRUE(out.Open(file));
    out.Append("<", 1);
    out.AppendFile(scratch, 6, 4);
    out.AppendFile(scratch, 0, 3);
    out.AppendFile(scratch, 10, 0);
    out.AppendFile(scratch);
    EXPECT_EQ(out.Size(), 18u);
    ASSERT_TRUE(out.Commit());
    EXPECT_EQ(ReadText(file), "<67890120123456789");
    CReplacingFile beyond;
    ASSERT_TRUE(beyond.Open(file));
    beyond.AppendFile(scratch, 8, 3);
    EXPECT_FALSE(beyond.Commit());
    EXPECT_EQ(ReadText(file), "<67890120123456789");
  }
  // The scratch file is gone with its object (on Windows it has a name
  // while it is open).
  EXPECT_EQ(FolderEntries(dir.Path()), (std::vector<std::string>{"t.3ds"}));
}

// A batch replaces nothing until it is committed, then every file it wrote
// in full; one it could not write is refused at once and left out; a batch
// dropped uncommitted leaves the folder as it was, without temporary files.
class ReplacingBatch : public ::testing::TestWithParam<bool> {};

TEST_P(ReplacingBatch, ReplacesAllOnCommitAndNothingWhenDropped) {
  const bool commit = GetParam();
  CTempDir dir;
  std::string error;
  ASSERT_TRUE(Ok(ReplaceFile(dir.File("a.gmt"), std::string("old a, longer than the new")), error)) << error;
  {
    CReplacingBatch batch;
    EXPECT_TRUE(Ok(batch.Write(dir.File("a.gmt"), std::vector<uint8_t>{'n', 'e', 'w', 0, 'a'}), error)) << error;
    EXPECT_TRUE(Ok(batch.Write(dir.File("b.gmt"), std::vector<uint8_t>{'b'}), error)) << error;
    EXPECT_FALSE(Ok(batch.Write(dir.File("missing/c.gmt"), std::vector<uint8_t>{'c'}), error));
    EXPECT_NE(error.find("missing/c.gmt"), std::string::npos) << error;
    EXPECT_EQ(ReadText(dir.File("a.gmt")), "old a, longer than the new");
    EXPECT_FALSE(FileExists(dir.File("b.gmt")));
    if (commit) { EXPECT_TRUE(batch.Commit().empty()); }
  }
  if (commit) {
    EXPECT_EQ(ReadText(dir.File("a.gmt")), std::string("new\0a", 5));
    EXPECT_EQ(ReadText(dir.File("b.gmt")), "b");
    EXPECT_EQ(FolderEntries(dir.Path()), (std::vector<std::string>{"a.gmt", "b.gmt"}));
  } else {
    EXPECT_EQ(ReadText(dir.File("a.gmt")), "old a, longer than the new");
    EXPECT_EQ(FolderEntries(dir.Path()), (std::vector<std::string>{"a.gmt"}));
  }
}

INSTANTIATE_TEST_SUITE_P(CommittedOrDropped, ReplacingBatch, ::testing::Bool());

TEST(FileIO, ReplaceFileIntoAMissingFolderFails) {
  CTempDir dir;
  std::string error;
  EXPECT_FALSE(Ok(ReplaceFile(dir.File("missing/out.gmt"), std::string("x")), error));
  EXPECT_NE(error.find("missing/out.gmt"), std::string::npos) << error;
  EXPECT_TRUE(FolderEntries(dir.Path()).empty());
}

TEST(FileIO, AFailedWriteLeavesTheOldFileUnchanged) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows has no limit on file size (setrlimit) to make a write fail";
#else
  CTempDir dir;
  std::string file = dir.File("track.ptf");
  WriteText(file, "old contents");
  std::vector<uint8_t> big(256 * 1024, 0xab);
  std::string error;
  bool written = true;
  {
    CFileSizeLimit limit(4096);
    ASSERT_TRUE(limit.Ok());
    written = Ok(ReplaceFile(file, big), error);
  }
  EXPECT_FALSE(written);
  EXPECT_NE(error.find("track.ptf"), std::string::npos) << error;
  EXPECT_EQ(ReadText(file), "old contents");
  // The partial temporary file is gone.
  EXPECT_EQ(FolderEntries(dir.Path()), (std::vector<std::string>{"track.ptf"}));
#endif
}

TEST(FileIO, AFolderInTheWayIsNotReplaced) {
  CTempDir dir;
  std::string target = dir.File("out.xml");
  std::filesystem::create_directory(target);
  WriteText(target + "/keep", "k");
  std::string error;
  EXPECT_FALSE(Ok(ReplaceFile(target, std::string("x")), error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(ReadText(target + "/keep"), "k");
  EXPECT_EQ(FolderEntries(dir.Path()), (std::vector<std::string>{"out.xml"}));
}

TEST(FileIO, AReadOnlyFolderKeepsItsFile) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows folders have no POSIX permission bits (chmod)";
#else
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
  CTempDir dir;
  std::string sub = dir.File("ro");
  std::filesystem::create_directory(sub);
  WriteText(sub + "/track.ptf", "old");
  ::chmod(sub.c_str(), 0555);
  std::string error;
  EXPECT_FALSE(Ok(ReplaceFile(sub + "/track.ptf", std::string("new")), error));
  ::chmod(sub.c_str(), 0755);
  EXPECT_EQ(ReadText(sub + "/track.ptf"), "old");
#endif
}

TEST(FileIO, ReadWholeFile) {
  CTempDir dir;
  std::string bytes("a\0b\r\n", 5);
  WriteText(dir.File("f.bin"), bytes);
  std::string text, error;
  ASSERT_TRUE(Ok(ReadWholeFile(dir.File("f.bin"), text), error)) << error;
  EXPECT_EQ(text, bytes);
  std::vector<uint8_t> raw;
  ASSERT_TRUE(Ok(ReadWholeFile(dir.File("f.bin"), raw), error)) << error;
  EXPECT_EQ(raw, (std::vector<uint8_t>{'a', 0, 'b', '\r', '\n'}));

  EXPECT_FALSE(Ok(ReadWholeFile(dir.File("none.bin"), raw), error));
  EXPECT_NE(error.find("none.bin"), std::string::npos) << error;
  EXPECT_TRUE(raw.empty());
  EXPECT_FALSE(Ok(ReadWholeFile(dir.Path(), text), error));
  EXPECT_FALSE(FileExists(dir.Path()));
  EXPECT_TRUE(FileExists(dir.File("f.bin")));
}

TEST(FileIO, EndlessAndHugeFilesAreRefused) {
#ifdef _WIN32
  GTEST_SKIP() << "needs /dev/zero, a FIFO (mkfifo) and a sparse file (truncate)";
#else
  CTempDir dir;
  std::string text, error;
  std::vector<uint8_t> raw;
  // A device or a pipe could be endless: only regular files are read.
  EXPECT_FALSE(Ok(ReadWholeFile("/dev/zero", raw), error));
  EXPECT_NE(error.find("'/dev/zero': it is not a regular file"), std::string::npos) << error;
  EXPECT_TRUE(raw.empty());
  const std::string fifo = dir.File("pipe");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(Ok(ReadWholeFile(fifo, text), error));  // no writer: must not hang either
  EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
  // Larger than the limit, by its size before any byte is read (a sparse
  // file of 1 GiB and a byte costs no disk).
  const std::string big = dir.File("big.trk");
  WriteText(big, "x");
  ASSERT_EQ(::truncate(big.c_str(), static_cast<off_t>(kMaxReadBytes + 1)), 0);
  EXPECT_FALSE(Ok(ReadWholeFile(big, raw), error));
  EXPECT_NE(error.find("larger than 1073741824 bytes"), std::string::npos) << error;
  // The limit itself is still read; a smaller one given by the caller binds.
  WriteText(big, "12345");
  ASSERT_TRUE(Ok(ReadWholeFile(big, text, 5), error)) << error;
  EXPECT_EQ(text, "12345");
  EXPECT_FALSE(Ok(ReadWholeFile(big, text, 4), error));
  EXPECT_TRUE(text.empty());
#endif
}

TEST(FileIO, CompanionFilesAreFoundWithoutRegardToCase) {
  CTempDir dir;
  WriteText(dir.File("Track.INI"), "x");
  EXPECT_EQ(FindFileNoCase(dir.Path(), "track.ini"), dir.File("Track.INI"));
  EXPECT_EQ(FindFileNoCase(dir.Path() + "/", "TRACK.ini"), dir.Path() + "/Track.INI");
  EXPECT_EQ(FindFileNoCase(dir.Path(), "track.in"), "");
  EXPECT_EQ(FindFileNoCase(dir.File("missing"), "track.ini"), "");
#ifndef _WIN32
  // An exact match is preferred over another spelling (a folder on Windows
  // cannot hold both).
  WriteText(dir.File("track.ini"), "y");
  EXPECT_EQ(FindFileNoCase(dir.Path(), "track.ini"), dir.File("track.ini"));
#endif
  // A folder of that name is not a file.
  std::filesystem::create_directory(dir.File("Sub"));
  EXPECT_EQ(FindFileNoCase(dir.Path(), "sub"), "");

  EXPECT_EQ(JoinPath("", "a.txt"), "a.txt");
  EXPECT_EQ(JoinPath("out", "a.txt"), "out/a.txt");
  EXPECT_EQ(JoinPath("out\\", "a.txt"), "out\\a.txt");
  EXPECT_EQ(JoinPath("out/", "a.txt"), "out/a.txt");
}

// A symlink is followed, a relative one from its own folder and through a
// chain, and its target replaced with its permission bits kept; the links
// stay, and a link to a missing file makes that file. A FIFO, directly or
// at the end of a link, and an endless chain are refused untouched.
TEST(FileIO, ReplaceFileFollowsLinksAndRefusesWhatIsNotAFile) {
#ifdef _WIN32
  GTEST_SKIP() << "needs symlinks, a FIFO (mkfifo) and permission bits (chmod)";
#else
  CTempDir dir;
  std::filesystem::create_directory(dir.File("sub"));
  WriteText(dir.File("sub/t.txt"), "old");
  ::chmod(dir.File("sub/t.txt").c_str(), 0600);
  std::filesystem::create_symlink("sub/t.txt", dir.File("one"));
  std::filesystem::create_symlink("one", dir.File("two"));
  std::filesystem::create_symlink("new.txt", dir.File("sub/dangling"));
  std::string error;
  ASSERT_TRUE(Ok(ReplaceFile(dir.File("two"), std::string("new")), error)) << error;
  ASSERT_TRUE(Ok(ReplaceFile(dir.File("sub/dangling"), std::string("made")), error)) << error;
  EXPECT_EQ(ReadText(dir.File("sub/t.txt")), "new");
  EXPECT_EQ(ReadText(dir.File("sub/new.txt")), "made");
  EXPECT_EQ(std::filesystem::status(dir.File("sub/t.txt")).permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  for (const char* link : {"one", "two", "sub/dangling"}) EXPECT_TRUE(std::filesystem::is_symlink(dir.File(link)));
  EXPECT_EQ(FolderEntries(dir.File("sub")), (std::vector<std::string>{"dangling", "new.txt", "t.txt"}));

  ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0644), 0);
  std::filesystem::create_symlink("fifo", dir.File("to-fifo"));
  std::filesystem::create_symlink("loop", dir.File("loop"));
  const std::pair<std::string, std::string> refused[] = {
      {"fifo", "it is a FIFO"},
      {"to-fifo", "it leads to '" + dir.File("fifo") + "', which is a FIFO"},
      {"loop", "Too many levels of symbolic links"}};
  for (const auto& [name, says] : refused) {
    EXPECT_FALSE(Ok(ReplaceFile(dir.File(name), std::string("x")), error)) << name;
    EXPECT_EQ(error, "Could not write file '" + dir.File(name) + "': " + says);
  }
  EXPECT_TRUE(std::filesystem::is_fifo(dir.File("fifo")));
  EXPECT_EQ(FolderEntries(dir.Path()), (std::vector<std::string>{"fifo", "loop", "one", "sub", "to-fifo", "two"}));
#endif
}

// An output is the same file as an input however it is named: the same
// path, another spelling of it, a hard link. A new name passes. After a
// run, the files it replaced are told by their changed identity.
TEST(OutputCheck, AnOutputThatIsAnInputIsRefused) {
  CTempDir dir;
  WriteText(dir.File("a.xml"), "a");
  std::filesystem::create_hard_link(dir.File("a.xml"), dir.File("hard.xml"));
  std::filesystem::create_directory(dir.File("sub"));
  std::string error;
  for (const std::string& out : {dir.File("a.xml"), dir.File("sub/../a.xml"), dir.File("hard.xml")}) {
    EXPECT_FALSE(Ok(CheckOutputs({"", dir.File("other"), dir.File("a.xml")}, {out}), error)) << out;
    EXPECT_EQ(error, "The output '" + out + "' is the input '" + dir.File("a.xml") + "'; nothing was written");
  }
  EXPECT_TRUE(Ok(CheckOutputs({dir.File("a.xml")}, {dir.File("b.xml"), ""}), error)) << error;
  // A replaced file is told from one left alone, also when it was a hard
  // link of the other.
  const std::vector<OutputStamp> stamps = StampExisting({dir.File("b.xml"), dir.File("hard.xml"), dir.File("a.xml")});
  EXPECT_EQ(stamps.size(), 2u);
  ASSERT_TRUE(Ok(ReplaceFile(dir.File("hard.xml"), std::string("b")), error)) << error;
  EXPECT_EQ(ReplacedSince(stamps), std::vector<std::string>{dir.File("hard.xml")});
  EXPECT_EQ(ReplacedLines(ReplacedSince(stamps)), "\nThis file was replaced:\n" + dir.File("hard.xml"));
}

// Bytes reach the disk and come back exactly, under names outside ASCII
// too: no LF turns into CR LF and 0x1A ends no read (the C library's text
// mode on Windows), writing a name that exists replaces that file, and the
// folder holds nothing else afterwards.
namespace {

struct RoundTripCase {
  const char8_t* name;
  std::vector<uint8_t> bytes;
};

std::vector<uint8_t> EveryByte() {
  std::vector<uint8_t> bytes(256);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i);
  return bytes;
}

class FileRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

}  // namespace

TEST_P(FileRoundTrip, BytesAndNamesSurviveAReplacement) {
  const RoundTripCase& c = GetParam();
  const std::u8string name8 = c.name;
  const std::string name(name8.begin(), name8.end());
  CTempDir dir;
  const std::string path = dir.File(name);
  std::string error;
  ASSERT_TRUE(Ok(ReplaceFile(path, std::string(300, 'o')), error)) << error;
  ASSERT_TRUE(Ok(ReplaceFile(path, c.bytes), error)) << error;
  std::vector<uint8_t> read;
  ASSERT_TRUE(Ok(ReadWholeFile(path, read), error)) << error;
  EXPECT_EQ(read, c.bytes);
  // The name on disk is the one given (a path made from char8_t is UTF-8
  // on every system), and so is the size.
  const std::filesystem::path onDisk = std::filesystem::path(dir.Path()) / std::filesystem::path(name8);
  EXPECT_EQ(std::filesystem::file_size(onDisk), c.bytes.size());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
  std::string upper = name;
  for (char& ch : upper)
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
  EXPECT_EQ(FindFileNoCase(dir.Path(), upper), path);
}

INSTANTIATE_TEST_SUITE_P(
    Files, FileRoundTrip,
    ::testing::Values(RoundTripCase{u8"track.ptf", {0x0a}}, RoundTripCase{u8"empty.xml", {}},
                      RoundTripCase{u8"track.gmt", {0x1a, 0x0a, 0x00, 0x0d, 0x0a, 0x1a}},
                      RoundTripCase{u8"трасса.mts", {'M', 'T', 'S', 0x0d, 0x0a, 0x1a, 0x0a}},
                      RoundTripCase{u8"piste-é.glb", {'g', 'l', 'T', 'F', 0x1a, 0x0a}},
                      RoundTripCase{u8"Übung 1.3ds", EveryByte()}));

}  // namespace lapforge
