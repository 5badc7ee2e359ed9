// Small helpers shared by the surface, wall and detail meshing of the track
// model: grid counts, interpolation that lands exactly on its end values,
// and the values of a track detail record.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "ptf/Descriptors.h"

namespace lapforge {

// A grid count from a real value: truncated, 0 for a value that is not a
// finite positive number, and held below a bound that keeps products of
// counts inside 64 bits and each count inside an int.
inline int MeshCount(double value) {
  constexpr double kMax = 1e7;
  if (!(value > 0)) return 0;
  if (!(value < kMax)) return static_cast<int>(kMax);
  return static_cast<int>(std::trunc(value));
}

// Sums and products of mesh counts, held at a ceiling instead of
// overflowing: a count of a crafted description can be astronomical, and it
// only has to stay larger than anything a machine can hold.
constexpr long long kCountCeiling = 1LL << 60;
inline long long CountSum(long long a, long long b) { return a >= kCountCeiling - b ? kCountCeiling : a + b; }
inline long long CountProduct(long long a, long long b) {
  if (a <= 0 || b <= 0) return 0;
  return a >= kCountCeiling / b ? kCountCeiling : a * b;
}

// a + k (b - a) / n, but exactly b at k = n (and a at k = 0), so that the
// last row of one segment and the first of the next meet exactly.
inline double MeshLerp(double a, double b, int k, int n) {
  if (k == n) return b;
  return a + k * ((b - a) / n);
}

// The values of a detail record's block that the meshing reads.
struct DetailBlock {
  double lng = 0, lat = 0, width = 0, length = 0, heading = 0;
  double uStart = 0, uEnd = 0, vStart = 0, vEnd = 0;
};

inline DetailBlock ReadDetailBlock(const CN5ObjTd& td) {
  auto at = [&](size_t off) {
    double v;
    std::memcpy(&v, td.block.data() + off, 8);
    return v;
  };
  DetailBlock d;
  d.lng = at(0);
  d.lat = at(8);
  d.width = at(16);
  d.length = at(24);
  d.heading = at(32);
  d.uStart = at(44);
  d.uEnd = at(60);
  d.vStart = at(80);
  d.vEnd = at(96);
  return d;
}

// Makes room for n more elements in one step: the exact count when the
// arrays were sized for the whole track beforehand, else at least double
// the capacity so that appending piece after piece stays linear.
template <typename T>
void MeshGrow(std::vector<T>& v, size_t n) {
  if (v.capacity() - v.size() >= n) return;
  v.reserve(std::max(v.size() + n, 2 * v.capacity()));
}

}  // namespace lapforge
