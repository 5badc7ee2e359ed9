#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>

#include "gpl/TrkReader.h"
#include "support/Errors.h"
#include "tests/support/TestSupport.h"
#include "tests/support/gpl/TrkBuilder.h"

namespace lapforge {

namespace {

constexpr double kU = kTrkMetresPerUnit;

TrkBuildSection Straight(double len, double kink = 0) {
  TrkBuildSection s;
  s.length = len;
  s.kinkDeg = kink;
  return s;
}

TrkBuildSection Curve(double len, double turn) {
  TrkBuildSection s;
  s.curve = true;
  s.length = len;
  s.turnDeg = turn;
  return s;
}

// A straight of 100 m heading along +X from the origin, then a 90 degree
// left-hand curve of radius 50 m, then a closing run (not closed; enough
// for the queries).
TrkBuildTrack StraightAndCurve() {
  TrkBuildTrack t;
  t.columns = {-10, 0, 10};
  t.sections = {Straight(100), Curve(50 * 1.570795, 90), Straight(100)};
  t.sections[0].heights = {1, 2, 3};
  t.sections[1].heights = {3, 4, 5};
  t.sections[0].walls = {TrkBuildWall{1, -12, -12}, TrkBuildWall{1, 10, 14}};
  t.sections[0].tractions = StandardTractions();
  return t;
}

void Load(CNTrk& trk, const std::vector<uint8_t>& bytes) { trk.SetDataPtr(bytes.data(), bytes.size()); }

}  // namespace

TEST(NTrk, HeaderAndSections) {
  CNTrk trk;
  std::vector<uint8_t> bytes = BuildTrk(StraightAndCurve());
  Load(trk, bytes);
  EXPECT_EQ(trk.GetNumberOfSections(), 3);
  EXPECT_EQ(trk.GetNumberOfColumns(), 3);
  EXPECT_EQ(trk.GetColumnPosition(2), 196850);
  EXPECT_THROW(trk.GetColumnPosition(3), CInvalidArgument);
  const int32_t len = TrkMetresToUnits(100) * 2 + TrkMetresToUnits(50 * 1.570795);
  EXPECT_EQ(trk.GetTrackLength(), len);

  // Index S is section 0 again; a negative index is none.
  auto s0 = trk.GetSection(0), s3 = trk.GetSection(3);
  ASSERT_TRUE(s0 && s3);
  EXPECT_EQ(std::memcmp(&*s0, &*s3, sizeof(NTRK_SECTION)), 0);
  EXPECT_FALSE(trk.GetSection(-1));
  EXPECT_EQ(trk.GetSection(1)->kind, 2);
  EXPECT_EQ(trk.GetSection(1)->start, TrkMetresToUnits(100));
  EXPECT_EQ(trk.GetSection(1)->headingChange, 1 << 29);

  NTRK_SECTION h;
  std::vector<NTRK_TRACTION> tr;
  EXPECT_EQ(trk.GetSectionInfoN4(0, h, tr), 1);
  ASSERT_EQ(tr.size(), 7u);
  EXPECT_EQ(tr[1].surface, 2051);
  EXPECT_EQ(tr[1].latStart, -12 * 19685);
  EXPECT_EQ(tr[6].textureGplTrk, 100);
  // A section without tractions adds none; the list is appended to.
  EXPECT_EQ(trk.GetSectionInfoN4(1, h, tr), 1);
  EXPECT_EQ(tr.size(), 7u);
  EXPECT_EQ(trk.GetSectionInfoN4(-2, h, tr), 0);
}

TEST(NTrk, Type3000HeadersMatchTheClassicOnes) {
  TrkBuildTrack classic = StraightAndCurve();
  TrkBuildTrack shifted = classic;
  shifted.type = 3000;
  CNTrk a, b;
  std::vector<uint8_t> ba = BuildTrk(classic), bb = BuildTrk(shifted);
  Load(a, ba);
  Load(b, bb);
  EXPECT_EQ(b.GetType(), 4);
  for (int i = 0; i < 3; ++i) {
    NTRK_SECTION ha, hb;
    std::vector<NTRK_TRACTION> ta, tb;
    a.GetSectionInfoN4(i, ha, ta);
    b.GetSectionInfoN4(i, hb, tb);
    EXPECT_EQ(std::memcmp(&ha, &hb, sizeof ha), 0) << i;
    ASSERT_EQ(ta.size(), tb.size());
    if (!ta.empty()) EXPECT_EQ(std::memcmp(ta.data(), tb.data(), ta.size() * sizeof ta[0]), 0);
  }
}

TEST(NTrk, Type2000IsReportedAndStillRead) {
  TrkBuildTrack t = StraightAndCurve();
  t.type = 2000;
  CNTrk trk;
  std::vector<uint8_t> bytes = BuildTrk(t);
  Load(trk, bytes);
  ASSERT_EQ(trk.Warnings().size(), 1u);
  EXPECT_EQ(trk.Warnings()[0], "Unsupported TRK type");
  EXPECT_EQ(trk.GetType(), 4);
  EXPECT_EQ(trk.GetNumberOfSections(), 3);
}

TEST(NTrk, DistancesWrapAroundTheTrack) {
  CNTrk trk;
  std::vector<uint8_t> bytes = BuildTrk(StraightAndCurve());
  Load(trk, bytes);
  const double L = trk.GetTrackLength();
  double h0 = 0, hL = 0, hneg = 0, hlast = 0;
  trk.GetAngles(0, h0);
  trk.GetAngles(L, hL);
  EXPECT_EQ(h0, hL);
  trk.GetAngles(-1, hneg);
  trk.GetAngles(L - 1, hlast);
  EXPECT_EQ(hneg, hlast);
  // The last section runs at 90 degrees (the reader's binary-angle scale).
  EXPECT_NEAR(hlast, 1.570795, 1e-6);

  double x0, y0, z0, x1, y1, z1;
  trk.GetXYZOfBank(0, 0, x0, y0, z0, false);
  trk.GetXYZOfBank(static_cast<int32_t>(L), 0, x1, y1, z1, false);
  EXPECT_EQ(x0, x1);
  EXPECT_EQ(y0, y1);
}

TEST(NTrk, PositionsHeadingsAndHeights) {
  CNTrk trk;
  std::vector<uint8_t> bytes = BuildTrk(StraightAndCurve());
  Load(trk, bytes);
  double x, y, z, h;

  // Straight along +X: 50 m along, 5 m to the left.
  trk.GetXYZOfBankM(50, 5, x, y, z, false);
  EXPECT_NEAR(x, 50, 1e-3);
  EXPECT_NEAR(y, 5, 1e-3);
  // Heights: columns 0 m and 10 m at half way: 3 and 4; halfway between.
  EXPECT_NEAR(z, 3.5, 1e-3);
  // Right of the rightmost column: that column alone, or the outer pair
  // extrapolated.
  trk.GetXYZOfBankM(50, -20, x, y, z, false);
  EXPECT_NEAR(z, 2, 1e-3);
  trk.GetXYZOfBankM(50, -20, x, y, z, true);
  EXPECT_NEAR(z, 1, 1e-3);
  trk.GetXYZOfBankM(50, 30, x, y, z, false);
  EXPECT_NEAR(z, 4, 1e-3);

  // The curve: centre (100, 50), radius 50; half way the heading is 45
  // degrees and the reference line is at (100 + 50 sin 45, 50 - 50 cos 45).
  const double half = 100 + 50 * 1.570795 / 2;
  trk.GetAngles(half * 19685, h);
  EXPECT_NEAR(h * kTrkRadToDeg, 45, 1e-3);
  trk.GetXYZOfBankM(half, 0, x, y, z, false);
  EXPECT_NEAR(x, 135.3553, 1e-3);
  EXPECT_NEAR(y, 14.6447, 1e-3);
  trk.GetXYZOfBankM(half, 10, x, y, z, false);  // 10 m nearer the centre
  EXPECT_NEAR(x, 128.2843, 1e-3);
  EXPECT_NEAR(y, 21.7157, 1e-3);
  // Straight again, heading +Y from (150, 50).
  trk.GetXYZOfBankM(100 + 50 * 1.570795 + 20, 0, x, y, z, false);
  EXPECT_NEAR(x, 150, 1e-3);
  EXPECT_NEAR(y, 70, 1e-3);
}

TEST(NTrk, LateralLimitsStandForTheWalls) {
  CNTrk trk;
  std::vector<uint8_t> bytes = BuildTrk(StraightAndCurve());
  Load(trk, bytes);
  double x, y, z;
  // Last wall of section 0 runs from 10 m to 14 m: 12 m at half way.
  trk.GetXYZOfBank(50 * 19685, INT32_MAX, x, y, z, false);
  EXPECT_NEAR(y * kU, 12, 1e-3);
  trk.GetXYZOfBank(50 * 19685, INT32_MIN, x, y, z, false);
  EXPECT_NEAR(y * kU, -12, 1e-3);
  // Section 1 has no walls: the query is refused, not read past them.
  EXPECT_THROW(trk.GetXYZOfBank(110 * 19685, INT32_MAX, x, y, z, false), CFormatError);
}

TEST(NTrk, WallsAreCheckedOnlyWhenQueried) {
  TrkBuildTrack t = StraightAndCurve();
  t.sections[2].walls = {TrkBuildWall{1, -5, -5}, TrkBuildWall{1, 5, 5}};
  std::vector<uint8_t> bytes = BuildTrk(t);
  bytes.resize(bytes.size() - 15);  // cut into the last section's second wall
  CNTrk trk;
  Load(trk, bytes);  // the headers are all there
  double x, y, z;
  EXPECT_THROW(trk.GetXYZOfBank(trk.GetTrackLength() - 100, INT32_MAX, x, y, z, false), CFormatError);
  // The first wall is whole: 5 m right of the straight that heads along +Y
  // from (150, 50).
  trk.GetXYZOfBank(trk.GetTrackLength() - 100, INT32_MIN, x, y, z, false);
  EXPECT_NEAR(x * kU, 155, 1e-3);
}

TEST(NTrk, DamagedLayoutsAreRefused) {
  TrkLayout lay;
  const std::vector<uint8_t> good = BuildTrk(StraightAndCurve(), &lay);
  auto refused = [&](std::vector<uint8_t> bytes) {
    CNTrk trk;
    try {
      trk.SetDataPtr(bytes.data(), bytes.size());
    } catch (const CFormatError&) {
      return true;
    }
    // Loading may pass when only the tractions are broken; reading them must not.
    try {
      NTRK_SECTION h;
      std::vector<NTRK_TRACTION> tr;
      for (int i = 0; i < trk.GetNumberOfSections(); ++i) trk.GetSectionInfoN4(i, h, tr);
    } catch (const CFormatError&) {
      return true;
    }
    return false;
  };
  auto patched = [&](size_t at, int32_t v) {
    std::vector<uint8_t> b = good;
    std::memcpy(b.data() + at, &v, 4);
    return b;
  };
  EXPECT_FALSE(refused(good));
  EXPECT_TRUE(refused({}));
  for (int32_t v : {INT32_MAX, -1, 0, 1 << 28}) EXPECT_TRUE(refused(patched(16, v))) << "sections " << v;
  for (int32_t v : {INT32_MAX, -1, 0, 1 << 26}) EXPECT_TRUE(refused(patched(12, v))) << "columns " << v;
  for (int32_t v : {INT32_MAX, -32, 1 << 20}) EXPECT_TRUE(refused(patched(20, v))) << "tractions " << v;
  for (int32_t v : {INT32_MAX, -4, 1 << 20}) EXPECT_TRUE(refused(patched(lay.sectionOffsets + 4, v))) << v;
  const size_t h0 = lay.sectionHeaders[0];
  EXPECT_TRUE(refused(patched(h0 + 44, 1)));  // first traction index past the table
  EXPECT_TRUE(refused(patched(h0 + 44, -1)));
  EXPECT_TRUE(refused(patched(h0 + 40, 8)));  // one record too many
  EXPECT_TRUE(refused(patched(h0 + 40, -1)));
  EXPECT_TRUE(refused(patched(h0 + 40, INT32_MAX)));
  EXPECT_TRUE(refused(patched(8, 0)));  // no track length

  // Every prefix shorter than the last section header is refused.
  const size_t needed = lay.sectionHeaders.back() + 52;
  for (size_t n = 0; n < needed; ++n) {
    std::vector<uint8_t> prefix(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
    EXPECT_TRUE(refused(prefix)) << n;
  }
}

}  // namespace lapforge
