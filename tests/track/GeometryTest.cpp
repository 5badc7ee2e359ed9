// Segment geometry and the position queries of the track model, against
// values worked out by hand.
#include <gtest/gtest.h>

#include <cmath>

#include "support/Errors.h"
#include "tests/support/track/TrackBuilders.h"
#include "track/N5Ptf.h"

namespace lapforge {

namespace {

constexpr double kHalfPi = 1.5707963267948966;
constexpr double kPi = 3.141592653589793;

struct XYZ {
  double x = -1, y = -1, z = -1;
};

XYZ At(CN5Ptf& ptf, double lng, double lat) {
  XYZ p;
  ptf.GetXYZ(lng, lat, p.x, p.y, p.z);
  return p;
}

TEST(SegmentGeometry, StraightPointIsToTheLeftOfTheDrivingDirection) {
  CN5Ptf ptf;
  ChainSegments(ptf, {{0, 100, 0}});
  EXPECT_DOUBLE_EQ(ptf.GetTrackLength(), 100);
  XYZ p = At(ptf, 50, 2);
  EXPECT_NEAR(p.x, 50, 1e-5);
  EXPECT_NEAR(p.y, 2, 1e-5);
  EXPECT_EQ(p.z, 0);  // no bank lines: flat at 0

  // Heading 90 degrees: forward is +Y, left is -X.
  CN5Ptf north;
  ChainSegments(north, {{0, 100, 0}}, {10, 20, kHalfPi, 0});
  p = At(north, 30, 4);
  EXPECT_NEAR(p.x, 10 - 4, 1e-4);
  EXPECT_NEAR(p.y, 20 + 30, 1e-4);
}

TEST(SegmentGeometry, LeftArcCentreEndAndRadius) {
  CN5Ptf ptf;
  TrackCursor end = ChainSegments(ptf, {{1, 100, kHalfPi}});
  const double r = 100 / kHalfPi;  // 63.6619772...
  CN5ObjSg* sg = ptf.GetSegObj(0);
  EXPECT_NEAR(sg->radius, r, 1e-9);
  // The end formula turns by 1.570796325: within a micrometre of (r, r).
  EXPECT_NEAR(end.x, r, 1e-6);
  EXPECT_NEAR(end.y, r, 1e-6);
  EXPECT_NEAR(end.heading, kHalfPi, 1e-12);

  EXPECT_NEAR(ptf.GetTrackLength(), 100, 1e-5);
  EXPECT_NEAR(sg->sweep, kHalfPi, 1e-12);
  EXPECT_NEAR(sg->centreX, 0, 1e-6);
  EXPECT_NEAR(sg->centreY, r, 1e-6);

  // At lat = radius every distance along the arc is the centre.
  for (double d : {0.0, 37.0, 100.0}) {
    XYZ c = At(ptf, d, r);
    EXPECT_NEAR(c.x, 0, 1e-5);
    EXPECT_NEAR(c.y, r, 1e-5);
  }
  // The point formula turns by 1.570795 where the centre was found with
  // 1.570796325: the start point lies r * 1.325e-6 = 8.435e-5 m off the axis.
  XYZ s = At(ptf, 0, 0);
  EXPECT_NEAR(s.x, r * (std::cos(1.570795) - std::cos(1.570796325)), 1e-9);
  EXPECT_NEAR(s.x, 8.435e-5, 1e-8);
  EXPECT_NEAR(s.y, 0, 1e-5);
  // Half way the heading is 45 degrees and the point lies on the arc.
  XYZ m = At(ptf, 50, 0);
  EXPECT_NEAR(std::hypot(m.x - 0, m.y - r), r, 1e-4);
  double heading, pitch, roll;
  ptf.GetAngles(50, 0, heading, pitch, roll);
  EXPECT_NEAR(heading, kPi / 4, 1e-8);
  EXPECT_EQ(pitch, 0);
  EXPECT_EQ(roll, 0);
}

TEST(SegmentGeometry, RightArcTurnsClockwiseWithNegativeRadius) {
  CN5Ptf ptf;
  TrackCursor end = ChainSegments(ptf, {{1, 100, -kHalfPi}});
  const double r = 100 / kHalfPi;
  EXPECT_NEAR(ptf.GetSegObj(0)->radius, -r, 1e-9);
  EXPECT_NEAR(end.x, r, 1e-6);
  EXPECT_NEAR(end.y, -r, 1e-6);
  // The end heading is brought into [0, 2pi].
  EXPECT_NEAR(end.heading, 6.2831853 - kHalfPi, 1e-12);
  EXPECT_GE(end.heading, 0);
  ptf.GetTrackLength();
  EXPECT_NEAR(ptf.GetSegObj(0)->sweep, -kHalfPi, 1e-5);
  EXPECT_NEAR(ptf.GetSegObj(0)->centreY, -r, 1e-4);
}

TEST(SegmentGeometry, ArcLengthUsesItsOwnHalfTurnConstants) {
  // Heading 0.1 turning right across 0 ends at 6.2: the turn is recovered
  // as -(6.28318 - 6.1) = -0.18318, not the -0.1831853 it was built with.
  CN5ObjSg sg;
  sg.startAngle = 0.1;
  sg.CalcEnd(1, 50, -0.1831853);
  EXPECT_NEAR(sg.endAngle, 6.2, 1e-12);
  sg.CalcLength(0);
  EXPECT_NEAR(sg.sweep, -0.18318, 1e-12);
  EXPECT_NEAR(sg.length, 50 * 0.18318 / 0.1831853, 1e-3);
}

TEST(SegmentGeometry, ArcWithoutTurnIsRejected) {
  CN5ObjSg sg;
  EXPECT_THROW(sg.CalcEnd(1, 100, 0), CInvalidArgument);
  CN5ObjSg read;  // as if read from a file: an arc with equal headings
  read.segType = 1;
  read.startAngle = read.endAngle = 1.0;
  read.endX = 10;
  EXPECT_THROW(read.CalcLength(0), CInvalidArgument);
  EXPECT_EQ(read.CheckForErrors(), 1);
  // A straight given a turn turns only its end heading.
  CN5ObjSg st;
  st.CalcEnd(0, 10, 0.5);
  EXPECT_DOUBLE_EQ(st.endX, 10);
  EXPECT_DOUBLE_EQ(st.endAngle, 0.5);
  EXPECT_DOUBLE_EQ(st.CalcLength(5), 10);
  EXPECT_EQ(st.sweep, 0);
  EXPECT_EQ(st.endLong, 15);
}

TEST(TrackPositions, BoundaryBelongsToTheEarlierSegmentForPointsAndTheLaterForSegments) {
  // A straight east, then a straight north from its end: the corner is
  // where the two disagree about lat.
  CN5Ptf ptf;
  ChainSegments(ptf, {{0, 100, kHalfPi}, {0, 100, 0}});
  XYZ p = At(ptf, 100, 2);
  EXPECT_NEAR(p.x, 100, 1e-5);  // end of the first segment, 2 m left = north
  EXPECT_NEAR(p.y, 2, 1e-5);
  int index;
  CN5ObjSg* seg = nullptr;
  double t = -1;
  EXPECT_EQ(ptf.GetSegAt(100, index, seg, t), 1);
  EXPECT_EQ(index, 1);
  EXPECT_EQ(seg, ptf.GetSegObj(1));
  EXPECT_EQ(t, 0);
  EXPECT_EQ(ptf.GetSegAt(99.5, index, seg, t), 1);
  EXPECT_EQ(index, 0);
  EXPECT_DOUBLE_EQ(t, 0.995);
  // The heading at a boundary is the later segment's start.
  double heading, pitch, roll;
  ptf.GetAngles(100, 0, heading, pitch, roll);
  EXPECT_NEAR(heading, kHalfPi, 1e-12);
}

TEST(TrackPositions, DistancesWrapAroundTheTrack) {
  CN5Ptf ptf;
  ChainSegments(ptf, {{0, 400, 0}, {0, 600, 0}});
  EXPECT_DOUBLE_EQ(ptf.GetTrackLength(), 1000);
  EXPECT_NEAR(At(ptf, -10, 0).x, 990, 1e-4);
  EXPECT_NEAR(At(ptf, 2500, 0).x, 500, 1e-4);
  EXPECT_NEAR(At(ptf, -2010, 0).x, 990, 1e-4);
  int index;
  CN5ObjSg* seg;
  double t;
  EXPECT_EQ(ptf.GetSegAt(-10, index, seg, t), 1);
  EXPECT_EQ(index, 1);
  EXPECT_DOUBLE_EQ(t, 590.0 / 600);
  EXPECT_EQ(ptf.GetSegAt(1000, index, seg, t), 1);  // the end is the start again
  EXPECT_EQ(index, 0);
  EXPECT_DOUBLE_EQ(ptf.GetNormalizedLength(-10), 990);
  EXPECT_DOUBLE_EQ(ptf.GetNormalizedLength(2500), 500);
  // The normalised length adds the track length only once.
  EXPECT_DOUBLE_EQ(ptf.GetNormalizedLength(-2500), -500);
}

TEST(TrackPositions, NothingFoundLeavesTheOutputs) {
  CN5Ptf empty;
  XYZ p = At(empty, 10, 0);
  EXPECT_EQ(p.x, -1);
  int index = 7;
  CN5ObjSg* seg = nullptr;
  double t = 3;
  EXPECT_EQ(empty.GetSegAt(10, index, seg, t), 0);
  EXPECT_EQ(index, -1);
  EXPECT_EQ(t, 0);
  std::vector<double> lats{1};
  std::vector<uint16_t> grips{1};
  empty.GetTractionsAt(0, lats, grips);
  EXPECT_TRUE(lats.empty());
  float x, y, z;
  EXPECT_THROW(empty.GetOutsideXYZ(0, 1, 0, x, y, z), CInvalidArgument);
}

TEST(TrackHeights, BankLinesBlendAcrossAndClampBeyond) {
  CN5Ptf ptf;
  ChainSegments(ptf, {{0, 100, 0}});
  ptf.CreateNewBank(0, 10, 10, 2, 2, 0, 0);
  ptf.CreateNewBank(0, -10, -10, 0, 0, 0, 0);
  for (double d : {0.0, 30.0, 100.0}) {
    EXPECT_NEAR(At(ptf, d, 0).z, 1, 1e-6) << d;
    EXPECT_NEAR(At(ptf, d, 5).z, 1.5, 1e-6);
    EXPECT_NEAR(At(ptf, d, 25).z, 2, 1e-6);   // beyond the left line
    EXPECT_NEAR(At(ptf, d, -30).z, 0, 1e-6);  // beyond the right line
    EXPECT_NEAR(ptf.GetSegObj(0)->GetBanking(d, 0), 0.1, 1e-4);
  }
  double heading, pitch, roll;
  ptf.GetAngles(50, 0, heading, pitch, roll);
  EXPECT_NEAR(roll, 0.1, 1e-4);
  EXPECT_NEAR(pitch, 0, 1e-6);
}

TEST(TrackHeights, CubicMeetsHeightsAndGradientsAtBothEnds) {
  // Heights 1 to 3 over 40 m, gradients 0.1 and -0.05 per metre:
  // c = 4, b = 6 - 12 + 6 = 0, a = 2 - 0 - 4 = -2.
  CN5ObjXs xs;
  xs.heightStart = 1;
  xs.heightEnd = 3;
  xs.gradStart = 0.1;
  xs.gradEnd = -0.05;
  xs.CalcFactors(40, 123);
  EXPECT_DOUBLE_EQ(xs.cubicC, 4);
  EXPECT_NEAR(xs.cubicB, 0, 1e-12);
  EXPECT_DOUBLE_EQ(xs.cubicA, -2);
  EXPECT_DOUBLE_EQ(xs.GetHeight(0.5), 2.75);
  // Along a segment, with the cubic recomputed from the laid-out length.
  CN5Ptf ptf;
  ChainSegments(ptf, {{0, 40, 0}});
  ptf.CreateNewBank(0, -5, -5, 1, 3, 0.1, -0.05);
  EXPECT_NEAR(At(ptf, 20, 0).z, 2.75, 1e-6);
  double x, y, z;
  ptf.GetSegObj(0)->GetXYZ(40.0, 0.0, x, y, z);
  EXPECT_NEAR(z, 3, 1e-6);
  EXPECT_NEAR(At(ptf, 40, 0).z, 1, 1e-6);  // the end of the lap is its start
  double heading, pitch, roll;
  ptf.GetAngles(0, 0, heading, pitch, roll);
  EXPECT_NEAR(pitch, 0.1, 1e-3);
}

TEST(TrackHeights, BankLinesFollowTheirLateralPositionAlongTheSegment) {
  // A line from lat 0 to lat 10 at height 1 beside one at 20 (height 3):
  // at the start lat 5 is a quarter of the way across; half way the first
  // line lies at lat 5, and lat 12.5 is half way between.
  CN5Ptf ptf;
  ChainSegments(ptf, {{0, 100, 0}});
  ptf.CreateNewBank(0, 0, 10, 1, 1, 0, 0);
  ptf.CreateNewBank(0, 20, 20, 3, 3, 0, 0);
  EXPECT_NEAR(At(ptf, 50, 12.5).z, 2, 1e-6);
  EXPECT_NEAR(At(ptf, 0, 5).z, 1.5, 1e-6);
}

TEST(TrackPositions, LatPosInvertsPointsOnStraightsAndArcs) {
  CN5Ptf ptf;
  ChainSegments(ptf, {{0, 100, 0}, {1, 100, kHalfPi}, {0, 50, 0}});
  ptf.CreateNewBank(0, -10, -10, 1, 1, 0, 0);
  double lng, lat, dz;
  // On the reference line of the straight, 5 m above a surface at 1 m.
  ASSERT_EQ(ptf.GetLatPos(50, 0, 6, lng, lat, dz), 1);
  EXPECT_NEAR(lng, 50, 1e-9);
  EXPECT_NEAR(lat, 0, 1e-9);
  EXPECT_NEAR(dz, 5, 1e-6);
  // Points of the arc and the last straight come back where they were made.
  for (auto [l0, a0] : {std::pair{150.0, 3.0}, {120.0, -4.0}, {230.0, 6.0}}) {
    XYZ p = At(ptf, l0, a0);
    ASSERT_EQ(ptf.GetLatPos(p.x, p.y, 0, lng, lat, dz), 1);
    EXPECT_NEAR(lng, l0, 1e-3);
    EXPECT_NEAR(lat, a0, 1e-3);
    EXPECT_NEAR(dz, 0, 1e-6);
  }
  // A point beside no segment finds nothing.
  EXPECT_EQ(ptf.GetLatPos(-500, -500, 0, lng, lat, dz), 0);
  EXPECT_EQ(lat, 1.9685e10);
}

TEST(TrackLayout, ClosedCircuitsEndWhereTheyStart) {
  // A stadium oval with half-turn arcs, a circle of radius 100 cut into
  // three unequal arcs (one of more than half a turn) and a rounded square.
  const double circle = 2 * kPi * 100;
  std::vector<std::vector<TrackPiece>> circuits = {
      {{0, 500, 0}, {1, 300, kPi}, {0, 500, 0}, {1, 300, kPi}},
      {{1, 100, 1.0}, {1, 200, 2.0}, {1, circle - 300, (circle - 300) / 100}},
      {{0, 120, 0},
       {1, 80, kHalfPi},
       {0, 60, 0},
       {1, 80, kHalfPi},
       {0, 120, 0},
       {1, 80, kHalfPi},
       {0, 60, 0},
       {1, 80, kHalfPi}},
  };
  for (const auto& pieces : circuits) {
    CN5Ptf ptf;
    TrackCursor start{12.5, -7.25, 0.3, 0};
    TrackCursor end = ChainSegments(ptf, pieces, start);
    EXPECT_LT(std::hypot(end.x - start.x, end.y - start.y), 0.001);
    double total = 0;
    for (const TrackPiece& p : pieces) total += p.length;
    // Arc lengths come back from the end points within a fraction of a mm.
    EXPECT_NEAR(ptf.GetTrackLength(), total, 1e-3);
    // The start recorded by the layout is the track point at 0.
    EXPECT_NEAR(ptf.trackStartX, start.x, 1e-3);
    EXPECT_NEAR(ptf.trackStartY, start.y, 1e-3);
    EXPECT_DOUBLE_EQ(ptf.trackStartHeading, start.heading);
    // The last point of the lap meets the first.
    XYZ a = At(ptf, 0, 3), b = At(ptf, ptf.GetTrackLength() - 1e-9, 3);
    EXPECT_NEAR(a.x, b.x, 2e-3);
    EXPECT_NEAR(a.y, b.y, 2e-3);
  }
}

TEST(TrackRecords, CountsAndAccessorsStopAtTheEnd) {
  CN5Ptf ptf;
  EXPECT_EQ(ptf.GetTk(), nullptr);
  EXPECT_EQ(ptf.GetSegObj(0), nullptr);
  EXPECT_EQ(ptf.NoTrackDetails(), 0);
  ChainSegments(ptf, {{0, 10, 0}, {0, 10, 0}});
  EXPECT_NE(ptf.GetTk(), nullptr);
  EXPECT_EQ(ptf.NoSegments(), 2);
  ChainSegments(ptf, {{0, 10, 0}});
  EXPECT_EQ(ptf.NoSegments(), 2);  // cached
  EXPECT_EQ(ptf.NoSegments(true), 3);
  EXPECT_EQ(ptf.GetSegObj(3), nullptr);
  EXPECT_EQ(ptf.GetSegObj(-1), nullptr);
  EXPECT_EQ(ptf.GetSegObj(2)->index, 2);
  EXPECT_TRUE(ptf.IsRtName(0, "CN5ObjTk"));
  EXPECT_TRUE(ptf.IsRtName(1, "CN5ObjSg"));
  EXPECT_FALSE(ptf.IsRtName(1, "CN5ObjTk"));
  EXPECT_FALSE(ptf.IsRtName(99, "CN5ObjSg"));
  CN5ObjSg* sg = ptf.GetSegObj(0);
  EXPECT_EQ(sg->GetFsObj(0), nullptr);
  ptf.CreateNewTraction(0, 0, 0, 1, 0, 0, 0, {});
  EXPECT_NE(sg->GetFsObj(0), nullptr);
  EXPECT_EQ(sg->GetFsObj(1), nullptr);
  EXPECT_EQ(sg->GetWsObj(0), nullptr);
  EXPECT_EQ(sg->GetXsObj(0), nullptr);
  EXPECT_EQ(ptf.GetTrackDetailObj(0), nullptr);
  EXPECT_THROW(ptf.CreateNewTraction(3, 0, 0, 1, 0, 0, 0, {}), CInvalidArgument);
  EXPECT_THROW(ptf.FinishTractionTextures(-1), CInvalidArgument);
}

}  // namespace

}  // namespace lapforge
