// Bands and walls at a distance, the drivable strip and points beyond the
// outermost band, and wall points straightened along their chord.
#include <gtest/gtest.h>

#include <cmath>

#include "support/Errors.h"
#include "tests/support/track/TrackBuilders.h"
#include "track/N5Ptf.h"

namespace lapforge {

namespace {

// A straight of 100 m: grass at -15, road from -10, a painted line from 8,
// grass from 10 to the edge at 15 (grips as built, not reduced), walls 0.5 m
// wide at -16 and 16.
void BuildStrip(CN5Ptf& ptf) {
  ChainSegments(ptf, {{0, 100, 0}});
  ptf.CreateNewTraction(0, -15, -15, 4, 0, 0, 0, {});
  ptf.CreateNewTraction(0, -10, -10, 1, 0, 0, 0, {});
  ptf.CreateNewTraction(0, 8, 8, 3, 0, 0, 0, {});
  ptf.CreateNewTraction(0, 10, 10, 5, 0, 0, 0, {});
  ptf.CreateNewTraction(0, 15, 15, 5, 0, 0, 0, {});
  ptf.CreateNewWall(0, -16, -16, 2049, 0, {}, 0.5, 0, 0, 0, 0, 0);
  ptf.CreateNewWall(0, 16, 16, 2049, 0, {}, 0.5, 0, 0, 0, 0, 0);
}

TEST(BandQueries, BandsAndWallsAtADistance) {
  CN5Ptf ptf;
  ChainSegments(ptf, {{0, 100, 0}});
  ptf.CreateNewTraction(0, -10, -6, 1, 0, 0, 0, {});
  ptf.CreateNewTraction(0, 10, 14, 2060, 0, 0, 0, {});
  ptf.CreateNewWall(0, 11, 15, 2049, 0, {}, 0.4, 0.8, 0, 0, 0, 0);
  std::vector<double> lats, widths;
  std::vector<uint16_t> grips, types;
  ptf.GetTractionsAt(25, lats, grips);
  ASSERT_EQ(lats.size(), 2u);
  EXPECT_DOUBLE_EQ(lats[0], -9);
  EXPECT_DOUBLE_EQ(lats[1], 11);
  EXPECT_EQ(grips[1], 2060);
  ptf.GetWallsAt(75, lats, widths, types);
  ASSERT_EQ(lats.size(), 1u);
  EXPECT_DOUBLE_EQ(lats[0], 14);
  EXPECT_DOUBLE_EQ(widths[0], 0.4);  // the start width, not interpolated
  EXPECT_EQ(types[0], 2049);
}

TEST(BandQueries, DriveBoundsStopAtNonDrivableBandsAndWalls) {
  CN5Ptf ptf;
  BuildStrip(ptf);
  double driveLeft, driveRight, wallLeft, wallRight;
  ptf.GetDriveBoundsAt(50, 0, driveLeft, driveRight, wallLeft, wallRight);
  // Walls: -16 + 0.5 and 16 - 0.5, held within the outermost bands.
  EXPECT_DOUBLE_EQ(wallRight, -15);
  EXPECT_DOUBLE_EQ(wallLeft, 15);
  // Road starts at -10 (after grass); grass starts again at 10 (the paint
  // at 8 is drivable).
  EXPECT_DOUBLE_EQ(driveRight, -10);
  EXPECT_DOUBLE_EQ(driveLeft, 10);

  // On the grass beyond 10 nothing drivable starts to the right of it
  // except the road at -10; to the left no band is above it.
  ptf.GetDriveBoundsAt(50, 12, driveLeft, driveRight, wallLeft, wallRight);
  EXPECT_DOUBLE_EQ(driveRight, -10);
  EXPECT_DOUBLE_EQ(driveLeft, 15);  // the wall side, held at the last band

  // Without walls the limits are the outermost bands.
  CN5Ptf open;
  ChainSegments(open, {{0, 100, 0}});
  open.CreateNewTraction(0, -5, -5, 1, 0, 0, 0, {});
  open.CreateNewTraction(0, 5, 5, 1, 0, 0, 0, {});
  open.GetDriveBoundsAt(10, 0, driveLeft, driveRight, wallLeft, wallRight);
  EXPECT_DOUBLE_EQ(wallRight, -5);
  EXPECT_DOUBLE_EQ(wallLeft, 5);
  EXPECT_DOUBLE_EQ(driveRight, -5);
  EXPECT_DOUBLE_EQ(driveLeft, 5);

  CN5Ptf bare;
  ChainSegments(bare, {{0, 100, 0}});
  EXPECT_THROW(bare.GetDriveBoundsAt(10, 0, driveLeft, driveRight, wallLeft, wallRight), CInvalidArgument);
}

TEST(BandQueries, PointsBeyondTheOutermostBands) {
  CN5Ptf ptf;
  BuildStrip(ptf);
  float x, y, z;
  ptf.GetOutsideXYZ(50, 1, 2, x, y, z);  // left, 2 m out
  EXPECT_FLOAT_EQ(x, 50);
  EXPECT_FLOAT_EQ(y, 17);
  ptf.GetOutsideXYZ(50, 1, 0, x, y, z);  // half a metre inside
  EXPECT_FLOAT_EQ(y, 14.5);
  ptf.GetOutsideXYZ(50, 1, -3, x, y, z);  // an inward offset too
  EXPECT_FLOAT_EQ(y, 14.5);
  ptf.GetOutsideXYZ(50, 0, -3, x, y, z);  // right, 3 m out
  EXPECT_FLOAT_EQ(y, -18);
  ptf.GetOutsideXYZ(50, 0, 1, x, y, z);
  EXPECT_FLOAT_EQ(y, -14.5);
}

TEST(WallPoints, StraightenedWallsFollowTheChordOfAnArc) {
  // A left arc of radius 100 turning 1 rad; a wall from lat 10 to 20.
  CN5Ptf ptf;
  ChainSegments(ptf, {{1, 100, 1.0}});
  ptf.GetTrackLength();
  CN5ObjSg* sg = ptf.GetSegObj(0);
  ptf.CreateNewWall(0, 10, 20, 2049, 0, {}, 0, 0, 0, 0, 0, 1);
  CN5ObjWs* w = sg->GetWsObj(0);
  double x0, y0, z0, x1, y1, z1, x, y, z;
  sg->GetXYZ(0.0, 10.5, x0, y0, z0);
  sg->GetXYZ(sg->length, 20.5, x1, y1, z1);
  w->GetXYZ(*sg, 25, 12.5, 0.5, x, y, z);
  double u = 25 / sg->length;  // a quarter of the way
  EXPECT_NEAR(u, 0.25, 1e-6);
  EXPECT_NEAR(x, (1 - u) * x0 + u * x1, 1e-9);
  EXPECT_NEAR(y, (1 - u) * y0 + u * y1, 1e-9);
  // Without the flag the point lies on the arc.
  w->straighten = 0;
  w->GetXYZ(*sg, 25, 12.5, 0.5, x, y, z);
  EXPECT_NEAR(std::hypot(x - sg->centreX, y - sg->centreY), 100 - 13, 1e-4);
}

TEST(SegmentGeometry, HalfTurnArcsKeepTheirDirection) {
  // Headings alone would read a left half turn as a right one.
  CN5ObjSg sg;
  sg.CalcEnd(1, 100, 3.141592653589793);
  EXPECT_DOUBLE_EQ(sg.CalcLength(0), 100);
  EXPECT_DOUBLE_EQ(sg.sweep, 3.141592653589793);
  EXPECT_GT(sg.radius, 0);
  float x, y, z;
  sg.GetXYZ(50.0, 0.0, x, y, z);
  EXPECT_NEAR(x, 100 / 3.141592653589793, 1e-4);
  EXPECT_NEAR(y, 100 / 3.141592653589793, 1e-4);
}

}  // namespace

}  // namespace lapforge
