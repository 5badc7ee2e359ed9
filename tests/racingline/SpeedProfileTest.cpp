// The point-mass speed profile against speeds and lap times worked out by
// hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "track/racingline/SpeedProfile.h"

namespace lapforge {

namespace {

constexpr double kG = 9.80665;
constexpr double kTwoPi = 6.283185307179586;

TEST(SpeedProfile, CircleAtTheGripLimit) {
  // R = 100, grip 1.3: v = sqrt(1.3 g R) = 35.7052 m/s all round, and the
  // lap 2 pi R / v = 17.5974 s.
  const size_t n = 628;
  std::vector<double> curvature(n, 0.01), step(n, kTwoPi * 100 / n), speed;
  CSpeedProfile profile;
  const double time = profile.Compute(curvature, step, true, _rl_vehicle{}, speed);
  ASSERT_EQ(speed.size(), n);
  for (double v : speed) EXPECT_NEAR(v, 35.70524, 1e-4);
  EXPECT_NEAR(time, 17.59737, 1e-4);
  EXPECT_EQ(profile.Rounds(), 1);
}

// A 300 m line with one slow station in the middle (limit 15 m/s), top
// speed 30, grip 1, no power limit: braking and accelerating on the straight
// use the whole grip, so v = min(30, sqrt(15^2 + 2 g d)) at d metres from
// it. Lap: 34.4154 m at each side to reach 30, taking (30 - 15)/g each, and
// the rest at 30: 10.76479 s. The cap is met in mid-step, where the
// constant-acceleration time per step is off by less than 1e-4 s.
class SlowStation : public testing::TestWithParam<bool> {};

TEST_P(SlowStation, BrakesAndAcceleratesWithTheWholeGrip) {
  const bool closed = GetParam();
  const size_t n = closed ? 300 : 301;
  std::vector<double> curvature(n, 0.0), step(closed ? n : n - 1, 1.0), speed;
  curvature[150] = 1.0 * kG / (15 * 15);
  _rl_vehicle car;
  car.grip = 1;
  car.topSpeed = 30;
  car.powerPerMass = 0;
  CSpeedProfile profile;
  const double time = profile.Compute(curvature, step, closed, car, speed);
  ASSERT_EQ(speed.size(), n);
  for (size_t i = 0; i < n; ++i) {
    const double d = std::abs(static_cast<double>(i) - 150);
    const double around = closed ? std::min(d, 300 - d) : d;
    EXPECT_NEAR(speed[i], std::min(30.0, std::sqrt(225 + 2 * kG * around)), 1e-9) << i;
  }
  EXPECT_NEAR(time, 10.76479, 1e-3);

  // With 50 W/kg the car leaves the slow station at 50/15 = 3.33 m/s^2:
  // sqrt(225 + 2 * 3.333) = 15.2206 m/s one metre on.
  car.powerPerMass = 50;
  EXPECT_GT(profile.Compute(curvature, step, closed, car, speed), time);
  EXPECT_NEAR(speed[151], 15.220600, 1e-6);
  EXPECT_NEAR(speed[149], std::sqrt(225 + 2 * kG), 1e-9);  // braking is not power-limited
}

INSTANTIATE_TEST_SUITE_P(OpenAndClosed, SlowStation, testing::Bool());

TEST(SpeedProfile, RefusesWhatItCannotUse) {
  std::vector<double> curvature(10, 0.0), step(10, 1.0), speed{1, 2};
  CSpeedProfile profile;
  _rl_vehicle car;
  EXPECT_EQ(profile.Compute(curvature, std::span<const double>(step.data(), 9), true, car, speed), -1);
  EXPECT_TRUE(speed.empty());
  step[3] = 0;
  EXPECT_EQ(profile.Compute(curvature, step, true, car, speed), -1);
  step[3] = 1;
  car.grip = 0;
  EXPECT_EQ(profile.Compute(curvature, step, true, car, speed), -1);
  car = _rl_vehicle{};
  car.topSpeed = std::nan("");
  EXPECT_EQ(profile.Compute(curvature, step, true, car, speed), -1);
}

}  // namespace

}  // namespace lapforge
