// Racing-line files: the layout the test files follow, finding the files
// beside a path in any letter case, the pit line fallback, the pass lines,
// and damaged files refused before anything is sized from them.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>

#include "formats/aiw/LpFile.h"
#include "support/Errors.h"
#include "tests/support/ResultCheck.h"
#include "tests/support/TestSupport.h"
#include "tests/support/formats/LpCamFiles.h"

namespace lapforge {

namespace {

// The builder's bytes for two 20-byte records with laterals 1.5 and -2,
// worked out from the layout: type 2, version 1, count 2, then per record
// distance (0, 3), filler 777, lateral, two more fillers.
TEST(LpFile, TestBuilderFollowsTheLayout) {
  const std::vector<uint8_t> expected = {
      0x02, 0x00, 0x01, 0x00, 0x02, 0x00, 0x00, 0x00,  // type 2, version 1, count 2
      0x00, 0x00, 0x00, 0x00, 0x00, 0x40, 0x42, 0x44,  // 0.0, 777.0
      0x00, 0x00, 0xC0, 0x3F,                          // lateral 1.5
      0x00, 0x40, 0x42, 0x44, 0x00, 0x40, 0x42, 0x44,  // 777.0, 777.0
      0x00, 0x00, 0x40, 0x40, 0x00, 0x40, 0x42, 0x44,  // 3.0, 777.0
      0x00, 0x00, 0x00, 0xC0,                          // lateral -2.0
      0x00, 0x40, 0x42, 0x44, 0x00, 0x40, 0x42, 0x44,
  };
  EXPECT_EQ(BuildLp({1.5f, -2.0f}), expected);
  // Type 3 records are 24 bytes: one more filler each.
  EXPECT_EQ(BuildLp({1.5f, -2.0f}, 3).size(), 8u + 2 * 24);
}

// The writer's bytes for laterals 1.5 and -2.25: the same layout with the
// unused words zero; -2.25 is 0xC0100000.
TEST(LpFile, WriterFollowsTheLayoutAndReadsBack) {
  const std::vector<uint8_t> expected = {
      0x02, 0x00, 0x01, 0x00, 0x02, 0x00, 0x00, 0x00,  // type 2, version 1, count 2
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // 0.0, 0
      0x00, 0x00, 0xC0, 0x3F,                          // lateral 1.5
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // 0, 0
      0x00, 0x00, 0x40, 0x40, 0x00, 0x00, 0x00, 0x00,  // 3.0, 0
      0x00, 0x00, 0x10, 0xC0,                          // lateral -2.25
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
  };
  const std::vector<float> laterals = {1.5f, -2.25f};
  EXPECT_EQ(LpFileBytes(laterals), expected);
  std::vector<float> back;
  EXPECT_EQ(CLReadLP::ParseLP(expected, "race.lp", back), 2);
  EXPECT_EQ(back, laterals);
}

TEST(LpFile, OtherTypeOrVersionGivesNoRecordsAndSaysWhy) {
  for (auto [type, version] : {std::pair<uint16_t, uint16_t>{1, 1}, {4, 1}, {2, 2}, {3, 0}}) {
    std::vector<float> lats = {9};
    std::string note;
    EXPECT_EQ(CLReadLP::ParseLP(BuildLp({1, 2}, type, version), "race.lp", lats, &note), 0);
    EXPECT_TRUE(lats.empty());
    EXPECT_NE(note.find("race.lp"), std::string::npos) << note;
  }
}

// Every prefix shorter than the whole file is refused with the file's name,
// read from a buffer that ends exactly where the prefix ends (so that the
// sanitizer sees any read beyond it).
TEST(LpFile, CutShortHugeCountOrNonFiniteFilesAreRefused) {
  const std::vector<uint8_t> whole = BuildLp({1, 2, 3}, 3);
  for (size_t n = 0; n < whole.size(); ++n) {
    std::unique_ptr<uint8_t[]> exact(new uint8_t[n ? n : 1]);
    std::memcpy(exact.get(), whole.data(), n);
    std::vector<float> lats;
    try {
      CLReadLP::ParseLP({exact.get(), n}, "cut.lp", lats);
      ADD_FAILURE() << "prefix of " << n << " bytes accepted";
    } catch (const CFormatError& e) {
      EXPECT_NE(std::string(e.what()).find("cut.lp"), std::string::npos) << e.what();
    }
  }
  std::vector<float> lats;
  EXPECT_EQ(CLReadLP::ParseLP(whole, "whole.lp", lats), 3);

  // A count far beyond the file is refused before anything is sized from it.
  std::vector<uint8_t> huge = BuildLp({1});
  const uint32_t count = 0xFFFFFFFFu;
  std::memcpy(huge.data() + 4, &count, 4);
  lats.clear();
  EXPECT_THROW(CLReadLP::ParseLP(huge, "huge.lp", lats), CFormatError);
  EXPECT_TRUE(lats.empty());
  // A lateral that is not a number would end up in the waypoint file.
  EXPECT_THROW(CLReadLP::ParseLP(BuildLp({1, std::numeric_limits<float>::quiet_NaN()}), "nan.lp", lats), CFormatError);
  EXPECT_THROW(CLReadLP::ParseLP(BuildLp({std::numeric_limits<float>::infinity()}), "inf.lp", lats), CFormatError);
}

class LpFolder : public ::testing::Test {
 protected:
  CTempDir dir;
  std::string error;  // the message of the last read
  std::string Path() const { return dir.File("whatever.lp"); }
};

TEST_F(LpFolder, ReadsTheLinesBesideThePathInAnyLetterCase) {
  WriteLpFile(dir.Path(), "RACE.LP", BuildLp({2, 4, 6, 8}));
  WriteLpFile(dir.Path(), "Pit0.lp", BuildLp({-8, -8, -9, -9}));
  WriteLpFile(dir.Path(), "MaxRace.Lp", BuildLp({10, 10, 10, 10}));
  WriteLpFile(dir.Path(), "minrace.lp", BuildLp({-10, -10, -10, -10}, 3));
  CLReadLP lp;
  ASSERT_TRUE(Ok(lp.ReadLPLines(Path()), error)) << error;
  EXPECT_EQ(lp.intervals, 3);
  EXPECT_EQ(lp.spacing, 3);
  ASSERT_EQ(lp.lines.size(), 4u);
  EXPECT_EQ(lp.lines[2].distance, 6);
  EXPECT_EQ(lp.lines[2].pitDistance, 6);
  double race, pit, outer, inner;
  // Distance 7.5 lies in the third 3-metre station.
  lp.GetRaceLine(7.5, race, pit);
  EXPECT_EQ(race, 6);
  EXPECT_EQ(pit, -9);
  lp.GetPassLines(7.5, outer, inner);
  EXPECT_EQ(outer, 8);   // halfway between 6 and 10
  EXPECT_EQ(inner, -2);  // halfway between 6 and -10
  lp.GetRaceLine(0, race, pit);
  EXPECT_EQ(race, 2);
  EXPECT_EQ(lp.ClampCount(), 0);
}

TEST_F(LpFolder, MissingPit0FallsBackToPitAndMissingPassLinesStayZero) {
  WriteLpFile(dir.Path(), "race.lp", BuildLp({1, 1, 1}));
  WriteLpFile(dir.Path(), "pit.lp", BuildLp({-5, -6, -7}));
  CLReadLP lp;
  ASSERT_TRUE(Ok(lp.ReadLPLines(Path()), error)) << error;
  double race, pit, outer, inner;
  lp.GetRaceLine(3, race, pit);
  EXPECT_EQ(pit, -6);
  lp.GetPassLines(3, outer, inner);
  EXPECT_EQ(outer, 0);
  EXPECT_EQ(inner, 0);

  // A pit0 of another layout has no records, so pit is used as well.
  WriteLpFile(dir.Path(), "pit0.lp", BuildLp({-1, -1, -1}, 2, 7));
  ASSERT_TRUE(Ok(lp.ReadLPLines(Path()), error)) << error;
  lp.GetRaceLine(3, race, pit);
  EXPECT_EQ(pit, -6);
}

TEST_F(LpFolder, MissingRaceOrPitLineFailsNamingTheFile) {
  CLReadLP lp;
  EXPECT_FALSE(Ok(lp.ReadLPLines(Path()), error));
  EXPECT_NE(error.find("race.lp"), std::string::npos) << error;

  WriteLpFile(dir.Path(), "race.lp", BuildLp({1, 1}));
  EXPECT_FALSE(Ok(lp.ReadLPLines(Path()), error));
  EXPECT_NE(error.find("pit0.lp"), std::string::npos) << error;
  EXPECT_NE(error.find("pit.lp"), std::string::npos) << error;
  EXPECT_TRUE(lp.lines.empty());

  // An empty race line is as good as none.
  WriteLpFile(dir.Path(), "race.lp", BuildLp({}));
  WriteLpFile(dir.Path(), "pit.lp", BuildLp({1}));
  EXPECT_FALSE(Ok(lp.ReadLPLines(Path()), error));
  // ...and the message names it, as it names every empty line tried.
  EXPECT_NE(error.find("race.lp: the file holds no records"), std::string::npos) << error;
  WriteLpFile(dir.Path(), "race.lp", BuildLp({1, 1}));
  WriteLpFile(dir.Path(), "pit0.lp", BuildLp({}));
  WriteLpFile(dir.Path(), "pit.lp", BuildLp({}));
  EXPECT_FALSE(Ok(lp.ReadLPLines(Path()), error));
  EXPECT_NE(error.find("pit0.lp: the file holds no records"), std::string::npos) << error;
  EXPECT_NE(error.find("pit.lp: the file holds no records"), std::string::npos) << error;
}

TEST_F(LpFolder, DistanceBeyondTheLastRecordTakesItAndIsCounted) {
  WriteLpFile(dir.Path(), "race.lp", BuildLp({1, 2, 3}));
  WriteLpFile(dir.Path(), "pit.lp", BuildLp({-1, -2, -3, -4, -5}));  // longer: cut to the race line
  CLReadLP lp;
  ASSERT_TRUE(Ok(lp.ReadLPLines(Path()), error));
  EXPECT_EQ(lp.CoveredLength(), 9);
  double race, pit;
  lp.GetRaceLine(8.9, race, pit);
  EXPECT_EQ(lp.ClampCount(), 0);
  lp.GetRaceLine(9, race, pit);
  EXPECT_EQ(race, 3);
  EXPECT_EQ(pit, -3);
  lp.GetRaceLine(1e300, race, pit);
  EXPECT_EQ(race, 3);
  EXPECT_EQ(lp.ClampCount(), 2);
  EXPECT_EQ(lp.FurthestClamped(), 1e300);
  // A negative distance takes the first record.
  lp.GetRaceLine(-4, race, pit);
  EXPECT_EQ(race, 1);
}

}  // namespace

}  // namespace lapforge
