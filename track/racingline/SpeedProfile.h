// The speed a point-mass car can carry along a line, friction-limited: the
// lateral acceleration v^2 |kappa| never exceeds the grip, and what grip is
// left (the friction circle) is available for accelerating and braking.
// Engine power and a top speed cap the straights. A forward pass limits
// acceleration, a backward pass braking; a closed lap runs both round the
// loop until the speed where they start no longer changes. The lap time
// follows from the speeds at constant acceleration between stations.
#pragma once

#include <span>
#include <vector>

namespace lapforge {

// The car of the speed profile.
struct _rl_vehicle {
  double grip = 1.3;            // friction coefficient: the acceleration limit in g
  double topSpeed = 90;         // m/s; must be positive
  double powerPerMass = 350;    // W/kg: drive acceleration at most P/(m v); 0 for no power limit
  double gravity = 9.80665;     // m/s^2
};

class CSpeedProfile {
 public:
  // The speed at each station of a line whose signed curvature is given per
  // station; step[i] is the distance from station i to station i + 1, and
  // for a closed line step[n - 1] closes the lap back to station 0 (open
  // lines: n - 1 steps, started and ended flying, at the speed the end
  // stations allow). Returns the time for the whole line in seconds, or -1
  // when the sizes or the vehicle are unusable (speed is then empty). The
  // inputs must be finite; steps positive.
  double Compute(std::span<const double> curvature, std::span<const double> step, bool closed,
                 const _rl_vehicle& car, std::vector<double>& speed);

  // Round trips of the closed-lap iteration in the last Compute.
  int Rounds() const { return rounds_; }

 private:
  std::vector<double> limit_;
  int rounds_ = 0;
};

}  // namespace lapforge
