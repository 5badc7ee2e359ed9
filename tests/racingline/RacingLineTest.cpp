// The minimum-curvature line on synthetic reference lines, against offsets
// worked out by hand, and its faults.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "tests/support/racingline/ReferenceLines.h"
#include "track/racingline/RacingLine.h"

namespace lapforge {

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kG = 9.80665;

std::vector<double> Zeros(size_t n) { return std::vector<double>(n, 0.0); }

TEST(RacingLine, OnAStraightTheLineIsTheMiddleOfTheBand) {
  // Band -4 to 6 less 1 m each side: -3 to 5, middle 1.
  auto st = ChainStations({{200, 0}}, 1, -4, 6, false);
  _rl_options options;
  options.closed = false;
  CRacingLine line;
  ASSERT_EQ(line.Optimise(st, options), 1) << line.error.message;
  for (size_t i = 0; i < st.size(); ++i) {
    EXPECT_NEAR(line.offset[i], 1, 1e-9);
    EXPECT_NEAR(line.curvature[i], 0, 1e-12);
    EXPECT_NEAR(line.y[i], 1, 1e-9);
  }
  EXPECT_NEAR(line.length, 200, 1e-9);

  // Middle 1 for the first 100 m and -1 for the rest: every straight line
  // from -3..3 fits, and the pull picks the one closest to the middles, the
  // least-squares line through a unit step, a(s) = -3 (s - L/2) / L: from
  // 1.5 to -1.5 (1.49993 over these 201 stations).
  for (size_t i = 0; i < st.size(); ++i) {
    st[i].lo = i < 100 ? -4 : i > 100 ? -6 : -5;
    st[i].hi = st[i].lo + 10;
  }
  ASSERT_EQ(line.Optimise(st, options), 1) << line.error.message;
  for (size_t i = 0; i < st.size(); ++i) EXPECT_NEAR(line.offset[i], 1.5 - 0.015 * static_cast<double>(i), 1e-3);
}

// A circle of radius 100 m and width 12 m less 1 m a side: the least
// curvature is the outermost circle, radius 105 (offset -5 turning left,
// +5 turning right), curvature 1/105 < 1/100. It is also the longer way
// round: at the grip limit the lap takes 2 pi r / sqrt(mu g r), which grows
// with r, 18.0319 s against the centre's 17.5974 s.
class Circle : public testing::TestWithParam<int> {};

TEST_P(Circle, KeepsToTheOutsideAtAConstantOffset) {
  const int turn = GetParam();
  const auto st = ChainStations({{kTwoPi * 100, turn * kTwoPi}}, 1, -6, 6, true);
  CRacingLine line, centre;
  ASSERT_EQ(line.Optimise(st, _rl_options{}), 1) << line.error.message;
  ASSERT_EQ(centre.Evaluate(st, _rl_options{}, Zeros(st.size())), 1);
  for (size_t i = 0; i < st.size(); ++i) {
    EXPECT_NEAR(line.offset[i], -5.0 * turn, 1e-6);
    EXPECT_NEAR(line.curvature[i], turn / 105.0, 1e-8);
    EXPECT_LE(std::abs(line.curvature[i]), std::abs(centre.curvature[i]));
  }
  EXPECT_NEAR(line.lapTime, kTwoPi * 105 / std::sqrt(1.3 * kG * 105), 1e-3);
  EXPECT_NEAR(centre.lapTime, 17.5974, 1e-3);
}

INSTANTIATE_TEST_SUITE_P(LeftAndRight, Circle, testing::Values(1, -1));

// A square of 300 m straights and 90-degree corners of 30 m radius, 12 m
// wide less 1 m a side, starting halfway along a straight. By hand: between
// two corners the line lies on the outside edge (-5 turning left), since
// both the exit of one corner and the entry of the next want it there and a
// straight line along the edge costs nothing; in the corner it touches the
// inside edge (+5) at the apex, halfway round the arc, the one point where
// the problem is symmetric. The stations nearest the apex lie 0.5 m either
// side of it, where the line (radius about 50 m) is 0.5^2 / (2 * 50) =
// 0.0025 m off its apex offset, so they must reach 5 - 0.01. Entry and exit
// mirror each other about the apex, and from edge to apex the offset only
// grows. The pull towards the middle bows the line on a 300 m straight
// inwards by about 3e-5 m (a beam under a load of 1e-12 * 5 per metre:
// 5e-12 * 300^4 / 384), hence the 1e-4 m tolerance along the edge.
class Corner : public testing::TestWithParam<int> {};

TEST_P(Corner, GoesOutsideInsideOutside) {
  const int turn = GetParam();
  const double spacing = 1;
  const auto st = ChainStations(RoundedSquare(300, 30, turn), spacing, -6, 6, true);
  CRacingLine line;
  ASSERT_EQ(line.Optimise(st, _rl_options{}), 1) << line.error.message;
  const double step = st[1].distance;
  const double arcStart = 150, apex = 150 + 30 * kTwoPi / 8, arcEnd = 150 + 30 * kTwoPi / 4;
  auto at = [&](double s) { return turn * line.offset[static_cast<size_t>(std::lround(s / step))]; };
  // Outside from halfway along the straight to 100 m before the corner,
  // and from 100 m after it to halfway along the next.
  for (double s = 0; s <= arcStart - 100; s += 1) EXPECT_NEAR(at(s), -5, 1e-4) << s;
  for (double s = arcEnd + 100; s <= arcEnd + 150; s += 1) EXPECT_NEAR(at(s), -5, 1e-4) << s;
  EXPECT_GE(at(apex - 0.5), 5 - 0.01);
  EXPECT_GE(at(apex + 0.5), 5 - 0.01);
  for (double u = 0.5; u < 150; u += 1) EXPECT_NEAR(at(apex - u), at(apex + u), 2e-3) << u;
  for (double s = 0; s + 1 < apex; s += 1) EXPECT_LE(at(s), at(s + 1) + 1e-4) << s;
}

INSTANTIATE_TEST_SUITE_P(LeftAndRight, Corner, testing::Values(1, -1));

struct Track {
  const char* name;
  std::vector<_rl_station> stations;
  bool closed;
};

std::vector<Track> Tracks() {
  std::vector<Track> t;
  t.push_back({"squareLeft", ChainStations(RoundedSquare(300, 30, 1), 1, -6, 6, true), true});
  t.push_back({"squareRight", ChainStations(RoundedSquare(200, 15, -1), 2, -5, 4, true), true});
  t.push_back({"generated", GeneratedCircuit(2000, 1, 6), true});
  t.push_back({"narrow", GeneratedCircuit(3000, 1.5, 3.5), true});
  // A chicane as an open line: left, right, left between straights.
  t.push_back({"chicane", ChainStations({{100, 0}, {40, 0.8}, {60, -1.6}, {40, 0.8}, {100, 0}}, 1, -5, 5, false),
               false});
  return t;
}

class EveryTrack : public testing::TestWithParam<size_t> {};

TEST_P(EveryTrack, StaysInsideTheMarginAndBeatsTheCentreLine) {
  const Track track = Tracks()[GetParam()];
  _rl_options options;
  options.closed = track.closed;
  CRacingLine line, centre;
  ASSERT_EQ(line.Optimise(track.stations, options), 1) << line.error.message;
  ASSERT_EQ(centre.Evaluate(track.stations, options, Zeros(track.stations.size())), 1);
  for (size_t i = 0; i < track.stations.size(); ++i) {
    const _rl_station& s = track.stations[i];
    EXPECT_GE(line.offset[i], s.lo + options.margin) << i;
    EXPECT_LE(line.offset[i], s.hi - options.margin) << i;
    EXPECT_NEAR(line.x[i], s.x + line.offset[i] * s.nx, 1e-9);
    EXPECT_GT(line.speed[i], 0);
  }
  EXPECT_LT(line.objective, centre.objective);
  EXPECT_LT(line.lapTime, centre.lapTime);
}

INSTANTIATE_TEST_SUITE_P(Tracks, EveryTrack, testing::Range(size_t{0}, Tracks().size()),
                         [](const testing::TestParamInfo<size_t>& i) { return std::string(Tracks()[i.param].name); });

struct Fault {
  const char* name;
  void (*spoil)(std::vector<_rl_station>&, _rl_options&);
  ERlStatus status;
  int station;
};

class Faults : public testing::TestWithParam<Fault> {};

TEST_P(Faults, NameTheStationAndLeaveNoResult) {
  const Fault& f = GetParam();
  auto st = ChainStations(RoundedSquare(100, 20, 1), 1, -6, 6, true);
  _rl_options options;
  f.spoil(st, options);
  CRacingLine line;
  EXPECT_EQ(line.Optimise(st, options), 0);
  EXPECT_EQ(line.error.status, f.status) << line.error.message;
  EXPECT_EQ(line.error.station, f.station);
  if (f.station >= 0) {
    EXPECT_EQ(line.error.distance, st[static_cast<size_t>(f.station)].distance);
    EXPECT_NE(line.error.message.find("station " + std::to_string(f.station)), std::string::npos)
        << line.error.message;
  }
  EXPECT_TRUE(line.offset.empty());
  EXPECT_TRUE(line.speed.empty());
  EXPECT_EQ(line.Evaluate(st, options, Zeros(st.size())), 0);
  EXPECT_EQ(line.error.status, f.status);
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Cases, Faults,
    testing::Values(
        // 2.2 m of band at station 37 and 2.4 m of margin: the first
        // station without room is named, not the later one.
        Fault{"noRoom", [](auto& s, auto& o) { s[37].lo = -1.1, s[37].hi = 1.1, s[90].hi = -7, o.margin = 1.2; },
              ERlStatus::NoRoom, 37},
        Fault{"reversedBand", [](auto& s, auto& o) { s[5].lo = 1, s[5].hi = -1, o.margin = 0; }, ERlStatus::NoRoom, 5},
        Fault{"nanPoint", [](auto& s, auto&) { s[12].x = kNaN; }, ERlStatus::NonFinite, 12},
        Fault{"infiniteBound",
              [](auto& s, auto&) { s[8].hi = std::numeric_limits<double>::infinity(); }, ERlStatus::NonFinite, 8},
        Fault{"noNormal", [](auto& s, auto&) { s[3].nx = s[3].ny = 0; }, ERlStatus::BadStation, 3},
        Fault{"distanceBack", [](auto& s, auto&) { s[20].distance = s[19].distance; }, ERlStatus::BadStation, 20},
        Fault{"twoStations", [](auto& s, auto&) { s.resize(2); }, ERlStatus::TooFewStations, -1},
        Fault{"noGrip", [](auto&, auto& o) { o.car.grip = 0; }, ERlStatus::BadOptions, -1},
        Fault{"nanMargin", [](auto&, auto& o) { o.margin = kNaN; }, ERlStatus::BadOptions, -1}),
    [](const testing::TestParamInfo<Fault>& i) { return std::string(i.param.name); });

}  // namespace

}  // namespace lapforge
