// The track map's layout: the course of a closed loop closes, every
// section is labelled once, the north arrow turns with NS_Angle and the
// scale bar is as long as it says.
#include <gtest/gtest.h>

#include <cmath>

#include "roads/TrackMap.h"
#include "tests/support/description/CheckedTracks.h"

namespace lapforge {

namespace {

std::vector<const MapShape*> Role(const CTrackMap& map, const std::string& role) {
  std::vector<const MapShape*> found;
  for (const MapShape& s : map.Shapes())
    if (s.role == role) found.push_back(&s);
  return found;
}

}  // namespace

TEST(TrackMap, LoopCourseClosesAndEachSectionIsLabelledOnce) {
  TrkDsc ds;
  FillCheckedLoop(ds);
  CTrackMap map;
  ASSERT_TRUE(map.Build(ds, 800));
  EXPECT_EQ(map.Width(), 800);
  const auto course = Role(map, "outline");
  ASSERT_EQ(course.size(), 1u);
  const std::vector<double>& xy = course[0]->xy;
  ASSERT_GE(xy.size(), 4u);
  // To a hundredth of a pixel: the engine's rounded angle constants leave
  // the loop open by well under a millimetre.
  EXPECT_NEAR(xy.front(), xy[xy.size() - 2], 0.01);
  EXPECT_NEAR(xy[1], xy.back(), 0.01);

  const auto labels = Role(map, "section");
  ASSERT_EQ(labels.size(), 8u);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(labels[static_cast<size_t>(i)]->label, std::to_string(i));
  // Three surfaces per section between its four band edges.
  EXPECT_EQ(Role(map, "surface").size(), 24u);
  EXPECT_EQ(Role(map, "wall").size(), 16u);
}

TEST(TrackMap, NorthArrowTurnsWithTheNorthSouthAngle) {
  // The arrow's first point is its tip; it points up (smaller y) at 0
  // degrees and, north being +Y turned anticlockwise, to the left at 90.
  auto tipOffset = [](double ns, double& dx, double& dy) {
    TrkDsc ds;
    FillCheckedLoop(ds);
    ds.TrackSummary[0].SetNS_Angle(ns);
    CTrackMap map;
    ASSERT_TRUE(map.Build(ds, 600));
    const auto arrow = Role(map, "north");
    ASSERT_FALSE(arrow.empty());
    const std::vector<double>& xy = arrow[0]->xy;
    ASSERT_EQ(xy.size(), 8u);
    const double cx = (xy[2] + xy[6]) / 2, cy = (xy[3] + xy[7]) / 2;  // middle of the base
    dx = xy[0] - cx;
    dy = xy[1] - cy;
  };
  double dx, dy;
  tipOffset(0, dx, dy);
  EXPECT_NEAR(dx, 0, 1e-6);
  EXPECT_LT(dy, -20);
  tipOffset(90, dx, dy);
  EXPECT_LT(dx, -20);
  EXPECT_NEAR(dy, 0, 1e-4);
}

TEST(TrackMap, ScaleBarIsAsLongAsItsLabel) {
  TrkDsc ds;
  FillCheckedLoop(ds);
  CTrackMap map;
  ASSERT_TRUE(map.Build(ds, 1000));
  const auto scale = Role(map, "scale");
  ASSERT_EQ(scale.size(), 2u);
  const std::vector<double>& bar = scale[0]->xy;  // tick, base line, tick
  ASSERT_EQ(bar.size(), 8u);
  const double metres = (bar[4] - bar[2]) * map.MetresPerPixel();
  // The loop spans about 220 m; a quarter of the picture is 55 m, so the
  // round length below it is 50 m.
  EXPECT_NEAR(metres, 50, 1e-9);
  EXPECT_EQ(scale[1]->label, "50 m");
}

// Values that are not finite, or that lie far beyond the track, leave no
// "nan" or "inf" in the picture and do not shrink the track to a dot.
TEST(TrackMap, NonFiniteAndFarValuesStayOutOfThePicture) {
  TrkDsc ds;
  FillCheckedLoop(ds);
  ds.TrackSummary[0].SetNS_Angle(std::nan(""));
  ds.TSO[0].SetWorldXYZ(true);
  ds.TSO[0].SetX(-HUGE_VAL);
  ds.TSO.AddTSORow("far.3do", true, 1e30, 1e30, 0.0, false, 0.0f, 0.0f, 0.0f, nullptr);
  ds.AIInfo[0].SetStallsLatStart(1e9f);
  CTrackMap map;
  ASSERT_TRUE(map.Build(ds, 600));
  EXPECT_TRUE(Role(map, "tso").empty());
  EXPECT_LT(map.MetresPerPixel(), 1.0);  // the loop, about 220 m across, still fills the picture
  const std::string svg = map.ToSvg();
  for (const char* bad : {"nan", "inf"}) EXPECT_EQ(svg.find(bad), std::string::npos) << bad;
}

}  // namespace lapforge
