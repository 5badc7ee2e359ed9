// Sort keys for welding vertices. Equality within a tolerance is not an
// ordering a sort may rely on (it is not transitive), so vertices are sorted
// by their values snapped to cells of the tolerance, which is a true order
// that keeps values closer than the tolerance next to each other in all but
// the rare case of a cell boundary between them; the walk after the sort
// then applies the real tolerance.
#pragma once

#include <cmath>
#include <cstdint>

namespace glsort {

// The cell of value v for a cell size t (monotone in v; NaN goes first).
inline int64_t Cell(float v, double t) {
  const double q = std::floor(static_cast<double>(v) / t + 0.5);
  if (!(q > -9.0e18)) return INT64_MIN;
  if (q > 9.0e18) return INT64_MAX;
  return static_cast<int64_t>(q);
}

// -1 / 0 / 1 comparing the cells of a and b.
inline int CellOrder(float a, float b, double t) {
  if (a == b) return 0;
  const int64_t ca = Cell(a, t), cb = Cell(b, t);
  return ca < cb ? -1 : (ca > cb ? 1 : 0);
}

// A compact sort record: position and the point's index.
struct QPoint {
  float x, y, z;
  int32_t index;
};

}  // namespace glsort
