// Small helpers shared by the surface, wall and detail meshing of the track
// model: grid counts, interpolation that lands exactly on its end values,
// and the values of a track detail record.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "ptf/N5Descriptors.h"

// A grid count from a real value: truncated, 0 for a value that is not a
// finite positive number, and held below a bound that keeps products of
// counts inside 64 bits and each count inside an int.
inline int MeshCount(double value) {
  constexpr double kMax = 1e7;
  if (!(value > 0)) return 0;
  if (!(value < kMax)) return static_cast<int>(kMax);
  return static_cast<int>(std::trunc(value));
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
