#include "track/racingline/SpeedProfile.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

bool Finite(double v) { return std::isfinite(v); }

}  // namespace

double CSpeedProfile::Compute(std::span<const double> curvature, std::span<const double> step, bool closed,
                              const _rl_vehicle& car, std::vector<double>& speed) {
  speed.clear();
  rounds_ = 0;
  const size_t n = curvature.size();
  if (n < 2 || step.size() != (closed ? n : n - 1)) return -1;
  if (!Finite(car.grip) || car.grip <= 0 || !Finite(car.gravity) || car.gravity <= 0 || !Finite(car.topSpeed) ||
      car.topSpeed <= 0 || !Finite(car.powerPerMass) || car.powerPerMass < 0)
    return -1;
  for (double k : curvature)
    if (!Finite(k)) return -1;
  for (double s : step)
    if (!Finite(s) || s <= 0) return -1;

  const double amax = car.grip * car.gravity;
  limit_.resize(n);
  for (size_t i = 0; i < n; ++i) {
    const double k = std::abs(curvature[i]);
    limit_[i] = k > 0 ? std::min(car.topSpeed, std::sqrt(amax / k)) : car.topSpeed;
  }
  // The grip left for the longitudinal direction at speed v on curvature k.
  auto along = [&](double v, double k) {
    const double lateral = v * v * std::abs(k);
    return lateral >= amax ? 0.0 : std::sqrt(amax * amax - lateral * lateral);
  };
  auto drive = [&](double v, double k) {
    const double a = along(v, k);
    return car.powerPerMass > 0 && v > 0 ? std::min(a, car.powerPerMass / v) : a;
  };
  // Each step uses the grip left at the station it computes, at the speed
  // of the station it comes from: braking on the straight before a corner
  // and accelerating on the straight after it get the whole grip.
  auto forward = [&](size_t from, size_t to) {
    const double v = speed[from];
    return std::min(limit_[to], std::sqrt(v * v + 2 * drive(v, curvature[to]) * step[from]));
  };
  auto backward = [&](size_t from, size_t to) {  // from = to + 1 (mod n)
    const double v = speed[from];
    return std::sqrt(v * v + 2 * along(v, curvature[to]) * step[to]);
  };

  speed.assign(n, 0.0);
  if (!closed) {
    speed[0] = limit_[0];
    for (size_t i = 0; i + 1 < n; ++i) speed[i + 1] = forward(i, i + 1);
    for (size_t i = n - 1; i-- > 0;) speed[i] = std::min(speed[i], backward(i + 1, i));
  } else {
    // Start at the slowest station: its speed is its limit, and both passes
    // arrive back at it with the same speed, so one round normally settles
    // it. The loop covers the cases where the power limit or the explicit
    // steps leave a small difference.
    const size_t k0 = static_cast<size_t>(std::min_element(limit_.begin(), limit_.end()) - limit_.begin());
    speed[k0] = limit_[k0];
    constexpr int kMaxRounds = 50;
    for (rounds_ = 1; rounds_ <= kMaxRounds; ++rounds_) {
      const double start = speed[k0];
      double arrival = start;
      for (size_t j = 1; j <= n; ++j) {
        const size_t from = (k0 + j - 1) % n, to = (k0 + j) % n;
        const double v = forward(from, to);
        if (to == k0)
          arrival = v;
        else
          speed[to] = v;
      }
      speed[k0] = std::min(start, arrival);
      for (size_t j = 1; j <= n; ++j) {
        const size_t to = (k0 + n - j) % n, from = (to + 1) % n;
        speed[to] = std::min(speed[to], backward(from, to));
      }
      if (speed[k0] >= start * (1 - 1e-12)) break;
    }
    rounds_ = std::min(rounds_, kMaxRounds);
  }

  double time = 0;
  const size_t steps = closed ? n : n - 1;
  for (size_t i = 0; i < steps; ++i) time += 2 * step[i] / (speed[i] + speed[(i + 1) % n]);
  return time;
}
