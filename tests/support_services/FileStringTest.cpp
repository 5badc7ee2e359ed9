#include <gtest/gtest.h>

#include "support/FileString.h"

namespace lapforge {

// Folders keep their letter case (they are needed to open the file); the file
// name that comes out of a helper is lower-cased.
TEST(FileString, SplitsAPathWithEitherSeparator) {
  for (const char* p : {"C:\\Tracks\\Monza.Old.TRK", "C:/Tracks/Monza.Old.TRK", "C:/Tracks\\Monza.Old.TRK"}) {
    std::string path = p;
    EXPECT_EQ(FileString::Path(path), path.substr(0, 10)) << p;
    EXPECT_EQ(FileString::FileName(path), "monza.old.trk") << p;
    EXPECT_EQ(FileString::Title(path), "monza.old") << p;
    EXPECT_EQ(FileString::Extension(path), "trk") << p;
    EXPECT_EQ(FileString::LowerFileName(path), path.substr(0, 10) + "monza.old.trk") << p;
  }
  EXPECT_EQ(FileString::Path("C:\\Tracks\\Monza.Old.TRK"), "C:\\Tracks\\");
  EXPECT_EQ(FileString::Path("/home/User/tracks\\Sub/x.ptf"), "/home/User/tracks\\Sub/");
}

TEST(FileString, NamesWithoutFolderDotOrName) {
  EXPECT_EQ(FileString::Path("Track.XML"), "");
  EXPECT_EQ(FileString::FileName("Track.XML"), "track.xml");
  EXPECT_EQ(FileString::Title("README"), "readme");
  EXPECT_EQ(FileString::Extension("README"), "");
  // A dot in a folder name is not an extension.
  EXPECT_EQ(FileString::Title("C:\\My.Tracks\\Readme"), "readme");
  EXPECT_EQ(FileString::Extension("C:/My.Tracks/Readme"), "");
  // A path ending in a separator has an empty file name.
  EXPECT_EQ(FileString::Path("out/Blocks/"), "out/Blocks/");
  EXPECT_EQ(FileString::FileName("out/Blocks/"), "");
  EXPECT_EQ(FileString::Title("out\\Blocks\\"), "");
  EXPECT_EQ(FileString::Extension("out\\Blocks\\"), "");
  EXPECT_EQ(FileString::Extension("name."), "");
  EXPECT_EQ(FileString::Title("name."), "name");
  EXPECT_EQ(FileString::Title(".gdb"), "");
  EXPECT_EQ(FileString::Extension(".gdb"), "gdb");
  EXPECT_EQ(FileString::Path(""), "");
  EXPECT_EQ(FileString::FileName(""), "");
}

TEST(FileString, ChangeExtension) {
  EXPECT_EQ(FileString::ChangeExtension("", "xml"), "");
  EXPECT_EQ(FileString::ChangeExtension("C:\\Tracks\\Monza.Old.PTF", "xml"), "C:\\Tracks\\monza.old.xml");
  EXPECT_EQ(FileString::ChangeExtension("C:/Tracks/Monza", "xml"), "C:/Tracks/monza.xml");
  EXPECT_EQ(FileString::ChangeExtension("C:/My.Tracks\\Monza", "xml"), "C:/My.Tracks\\monza.xml");
  EXPECT_EQ(FileString::ChangeExtension("Monza.", "gmt"), "monza.gmt");
  EXPECT_EQ(FileString::ChangeExtension("monza.trk", ""), "monza.");
}

TEST(FileString, ShortName) {
  EXPECT_EQ(FileString::ShortName(""), "");
  EXPECT_EQ(FileString::ShortName("abcdefgh"), "abcdefgh");
  EXPECT_EQ(FileString::ShortName("ABCdefgh"), "ABCdefgh");
  // a..i: codes 97..105, sum 909; 909 - 9 * 103 = -18, made positive: 18.
  EXPECT_EQ(FileString::ShortName("abcdefghi"), "abcde018");
  // 60 times 'z': 60 * (122 - 103) = 1140, modulo 1000: 140.
  EXPECT_EQ(FileString::ShortName(std::string(60, 'z')), "zzzzz140");
  // "wall_left": 119 97 108 108 95 108 101 102 116 = 954; 954 - 927 = 27.
  EXPECT_EQ(FileString::ShortName("wall_left"), "wall_027");
  // 1000 times 'g' (code 103): sum 0.
  EXPECT_EQ(FileString::ShortName(std::string(1000, 'g')), "ggggg000");
  // A longer name is lower-cased first, letters and check number alike, so
  // that names differing only in case share their short form.
  EXPECT_EQ(FileString::ShortName("Wall_Left"), "wall_027");
  EXPECT_EQ(FileString::ShortName("ABCDEFGHI"), "abcde018");
  // "ASPHALT01": lower-cased codes 97 115 112 104 97 108 116 48 49 = 846;
  // 846 - 927 = -81, made positive: 81.
  EXPECT_EQ(FileString::ShortName("ASPHALT01"), "aspha081");
}

}  // namespace lapforge
