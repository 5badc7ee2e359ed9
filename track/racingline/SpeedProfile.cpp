#include "track/racingline/SpeedProfile.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace lapforge {

namespace {

bool Finite(double v) { return std::isfinite(v); }

// Inputs as Compute takes them: a step per gap, the car's values finite
// and positive (power at least 0), every curvature finite and every step
// positive.
bool ValidInputs(std::span<const double> curvature, std::span<const double> step, bool closed,
                 const _rl_vehicle& car) {
  const size_t n = curvature.size();
  if (n < 2 || step.size() != (closed ? n : n - 1)) return false;
  if (!Finite(car.grip) || car.grip <= 0 || !Finite(car.gravity) || car.gravity <= 0 || !Finite(car.topSpeed) ||
      car.topSpeed <= 0 || !Finite(car.powerPerMass) || car.powerPerMass < 0)
    return false;
  for (double k : curvature)
    if (!Finite(k)) return false;
  for (double s : step)
    if (!Finite(s) || s <= 0) return false;
  return true;
}

// The forward (accelerating) and backward (braking) passes over the
// stations, each speed held to its station's limit.
class CPasses {
 public:
  CPasses(std::span<const double> curvature, std::span<const double> step, const _rl_vehicle& car,
          const std::vector<double>& limit, std::vector<double>& speed)
      : curvature_(curvature), step_(step), car_(car), limit_(limit), speed_(speed), amax_(car.grip * car.gravity) {}

  // An open line: from the first station's limit forward, then back from
  // the last.
  void Open() {
    const size_t n = curvature_.size();
    speed_[0] = limit_[0];
    for (size_t i = 0; i + 1 < n; ++i) speed_[i + 1] = Forward(i, i + 1);
    for (size_t i = n - 1; i-- > 0;) speed_[i] = std::min(speed_[i], Backward(i + 1, i));
  }

  // A closed lap. Start at the slowest station: its speed is its limit,
  // and both passes arrive back at it with the same speed, so one round
  // normally settles it. The loop covers the cases where the power limit
  // or the explicit steps leave a small difference. Returns the rounds.
  int Closed() {
    const size_t n = curvature_.size();
    const size_t k0 = static_cast<size_t>(std::min_element(limit_.begin(), limit_.end()) - limit_.begin());
    speed_[k0] = limit_[k0];
    constexpr int kMaxRounds = 50;
    int rounds;
    for (rounds = 1; rounds <= kMaxRounds; ++rounds) {
      const double start = speed_[k0];
      double arrival = start;
      for (size_t j = 1; j <= n; ++j) {
        const size_t from = (k0 + j - 1) % n, to = (k0 + j) % n;
        const double v = Forward(from, to);
        if (to == k0)
          arrival = v;
        else
          speed_[to] = v;
      }
      speed_[k0] = std::min(start, arrival);
      for (size_t j = 1; j <= n; ++j) {
        const size_t to = (k0 + n - j) % n, from = (to + 1) % n;
        speed_[to] = std::min(speed_[to], Backward(from, to));
      }
      if (speed_[k0] >= start * (1 - 1e-12)) break;
    }
    return std::min(rounds, kMaxRounds);
  }

 private:
  // The grip left for the longitudinal direction at speed v on curvature k.
  double Along(double v, double k) const {
    const double lateral = v * v * std::abs(k);
    return lateral >= amax_ ? 0.0 : std::sqrt(amax_ * amax_ - lateral * lateral);
  }
  double Drive(double v, double k) const {
    const double a = Along(v, k);
    return car_.powerPerMass > 0 && v > 0 ? std::min(a, car_.powerPerMass / v) : a;
  }
  // Each step uses the grip left at the station it computes, at the speed
  // of the station it comes from: braking on the straight before a corner
  // and accelerating on the straight after it get the whole grip.
  double Forward(size_t from, size_t to) const {
    const double v = speed_[from];
    return std::min(limit_[to], std::sqrt(v * v + 2 * Drive(v, curvature_[to]) * step_[from]));
  }
  double Backward(size_t from, size_t to) const {  // from = to + 1 (mod n)
    const double v = speed_[from];
    return std::sqrt(v * v + 2 * Along(v, curvature_[to]) * step_[to]);
  }

  std::span<const double> curvature_, step_;
  const _rl_vehicle& car_;
  const std::vector<double>& limit_;
  std::vector<double>& speed_;
  const double amax_;
};

}  // namespace

double CSpeedProfile::Compute(std::span<const double> curvature, std::span<const double> step, bool closed,
                              const _rl_vehicle& car, std::vector<double>& speed) {
  speed.clear();
  rounds_ = 0;
  if (!ValidInputs(curvature, step, closed, car)) return -1;
  const size_t n = curvature.size();
  const double amax = car.grip * car.gravity;
  limit_.resize(n);
  for (size_t i = 0; i < n; ++i) {
    const double k = std::abs(curvature[i]);
    limit_[i] = k > 0 ? std::min(car.topSpeed, std::sqrt(amax / k)) : car.topSpeed;
  }
  speed.assign(n, 0.0);
  CPasses passes(curvature, step, car, limit_, speed);
  if (!closed)
    passes.Open();
  else
    rounds_ = passes.Closed();

  double time = 0;
  const size_t steps = closed ? n : n - 1;
  for (size_t i = 0; i < steps; ++i) time += 2 * step[i] / (speed[i] + speed[(i + 1) % n]);
  return time;
}

}  // namespace lapforge
