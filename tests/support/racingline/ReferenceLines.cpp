#include "tests/support/racingline/ReferenceLines.h"

#include <algorithm>
#include <cmath>

namespace lapforge {

namespace {

constexpr double kTwoPi = 6.283185307179586;

_rl_station Station(double x, double y, double heading, double distance, double lo, double hi) {
  _rl_station s;
  s.x = x;
  s.y = y;
  SetHeading(s, heading);
  s.distance = distance;
  s.lo = lo;
  s.hi = hi;
  return s;
}

}  // namespace

std::vector<_rl_station> ChainStations(const std::vector<RlPiece>& pieces, double spacing, double lo, double hi,
                                       bool closed) {
  double total = 0;
  for (const RlPiece& p : pieces) total += p.length;
  const long count = std::max(2L, std::lround(total / spacing));
  const double step = total / static_cast<double>(count);
  std::vector<_rl_station> out;
  out.reserve(static_cast<size_t>(count) + 1);
  size_t j = 0;
  double start = 0, px = 0, py = 0, ph = 0;  // the current piece's start
  for (long i = 0; i <= count - (closed ? 1 : 0); ++i) {
    const double s = std::min(i * step, total);
    while (j + 1 < pieces.size() && s >= start + pieces[j].length) {
      const RlPiece& p = pieces[j];
      if (p.turn == 0) {
        px += p.length * std::cos(ph);
        py += p.length * std::sin(ph);
      } else {
        const double k = p.turn / p.length;
        px += (std::sin(ph + p.turn) - std::sin(ph)) / k;
        py -= (std::cos(ph + p.turn) - std::cos(ph)) / k;
        ph += p.turn;
      }
      start += p.length;
      ++j;
    }
    const RlPiece& p = pieces[j];
    const double u = s - start;
    if (p.turn == 0) {
      out.push_back(Station(px + u * std::cos(ph), py + u * std::sin(ph), ph, s, lo, hi));
    } else {
      const double k = p.turn / p.length, h = ph + k * u;
      out.push_back(Station(px + (std::sin(h) - std::sin(ph)) / k, py - (std::cos(h) - std::cos(ph)) / k, h, s, lo,
                            hi));
    }
  }
  return out;
}

std::vector<RlPiece> RoundedSquare(double straight, double radius, int turn) {
  const double quarter = turn * kTwoPi / 4;
  std::vector<RlPiece> pieces{{straight / 2, 0}};
  for (int i = 0; i < 4; ++i) {
    pieces.push_back({radius * kTwoPi / 4, quarter});
    pieces.push_back({i < 3 ? straight : straight / 2, 0});
  }
  return pieces;
}

std::vector<_rl_station> GeneratedCircuit(double length, double spacing, double halfWidth) {
  // r(theta) = 1 + a sin(k theta) + b sin(2 k theta + 0.9), scaled to the
  // length: the lobes bulge out into left corners and pinch in between into
  // tighter right ones.
  const int k = std::max(3, static_cast<int>(std::lround(length / 500)));
  const double a = 0.9 / k, b = 0.15 / k;
  auto radius = [&](double t, double& dr) {
    dr = a * k * std::cos(k * t) + 2 * k * b * std::cos(2 * k * t + 0.9);
    return 1 + a * std::sin(k * t) + b * std::sin(2 * k * t + 0.9);
  };
  const long count = std::max(3L, std::lround(length / spacing));
  const size_t samples = static_cast<size_t>(std::max(20000L, 16 * count));
  std::vector<double> arc(samples + 1, 0.0);
  for (size_t j = 0; j < samples; ++j) {
    double dr = 0;
    const double t = kTwoPi * (static_cast<double>(j) + 0.5) / static_cast<double>(samples);
    const double r = radius(t, dr);
    arc[j + 1] = arc[j] + std::sqrt(r * r + dr * dr) * kTwoPi / static_cast<double>(samples);
  }
  const double scale = length / arc[samples];
  std::vector<_rl_station> out;
  out.reserve(static_cast<size_t>(count));
  size_t j = 0;
  for (long i = 0; i < count; ++i) {
    const double s = arc[samples] * static_cast<double>(i) / static_cast<double>(count);
    while (j + 1 < samples && arc[j + 1] <= s) ++j;
    const double t = kTwoPi * (static_cast<double>(j) + (s - arc[j]) / (arc[j + 1] - arc[j])) /
                     static_cast<double>(samples);
    double dr = 0;
    const double r = radius(t, dr);
    const double dx = dr * std::cos(t) - r * std::sin(t), dy = dr * std::sin(t) + r * std::cos(t);
    out.push_back(Station(scale * r * std::cos(t), scale * r * std::sin(t), std::atan2(dy, dx), s * scale,
                          -halfWidth, halfWidth));
  }
  return out;
}

}  // namespace lapforge
