// Sort keys for welding vertices. Equality within a tolerance is not an
// ordering a sort may rely on (it is not transitive), so vertices are sorted
// by their values snapped to cells of the tolerance, which is a true order
// that keeps values closer than the tolerance next to each other in all but
// the rare case of a cell boundary between them; the walk after the sort
// then applies the real tolerance.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

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

// The cell as a 32-bit number, clamped (still monotone). For positions at
// 1e-4 this covers 214 km either side of the origin; farther points share
// the end cells and are ordered by their other coordinates.
inline int32_t Cell32(float v, double t) {
  const int64_t c = Cell(v, t);
  if (c < INT32_MIN) return INT32_MIN;
  if (c > INT32_MAX) return INT32_MAX;
  return static_cast<int32_t>(c);
}

// A compact sort record: the position's cells and the point's index.
struct QPoint {
  int32_t kx, ky, kz;
  int32_t index;
};

inline QPoint MakeQPoint(float x, float y, float z, int32_t index, double t) {
  return {Cell32(x, t), Cell32(y, t), Cell32(z, t), index};
}

// The same with the position itself, for walks that compare coordinates
// without going back to the point records.
struct QPointXYZ {
  int32_t kx, ky, kz;
  int32_t index;
  float x, y, z;
};

// Sorts records (QPoint or QPointXYZ) by their cells, ascending or
// descending, and by index (ascending) among equal cells, given records in
// ascending index order. A stable radix sort, linear in the record count;
// small arrays use a comparison sort giving the same order.
template <typename Record>
void SortByCells(std::vector<Record>& records, bool descending) {
  const size_t n = records.size();
  if (n < 2) return;
  if (n < 4096) {
    std::sort(records.begin(), records.end(), [descending](const Record& a, const Record& b) {
      if (a.kx != b.kx) return descending ? a.kx > b.kx : a.kx < b.kx;
      if (a.ky != b.ky) return descending ? a.ky > b.ky : a.ky < b.ky;
      if (a.kz != b.kz) return descending ? a.kz > b.kz : a.kz < b.kz;
      return a.index < b.index;
    });
    return;
  }
  // Each axis as its distance from the first cell in sort order (so that
  // the unused high digits of a small range are all zero and skipped), in
  // 11-bit digits: few enough buckets to stay in cache while scattering.
  int32_t lo[3] = {INT32_MAX, INT32_MAX, INT32_MAX}, hi[3] = {INT32_MIN, INT32_MIN, INT32_MIN};
  for (const Record& q : records) {
    lo[0] = std::min(lo[0], q.kx), hi[0] = std::max(hi[0], q.kx);
    lo[1] = std::min(lo[1], q.ky), hi[1] = std::max(hi[1], q.ky);
    lo[2] = std::min(lo[2], q.kz), hi[2] = std::max(hi[2], q.kz);
  }
  auto axisKey = [&](const Record& q, int axis) {
    const int64_t cell = axis == 0 ? q.kx : (axis == 1 ? q.ky : q.kz);
    return static_cast<uint32_t>(descending ? static_cast<int64_t>(hi[axis]) - cell
                                            : cell - static_cast<int64_t>(lo[axis]));
  };
  constexpr int kBits = 11;
  constexpr int kPerAxis = 3;  // 33 bits cover one 32-bit axis
  constexpr int kDigits = 3 * kPerAxis;
  constexpr size_t kBuckets = size_t{1} << kBits;
  // Digit d (0 = lowest): z first, then y, then x.
  auto digit = [&](const Record& q, int d) {
    const int axis = 2 - d / kPerAxis;
    return static_cast<size_t>((axisKey(q, axis) >> ((d % kPerAxis) * kBits)) & (kBuckets - 1));
  };
  std::vector<size_t> counts(kDigits * kBuckets, 0);
  for (const Record& q : records) {
    for (int d = 0; d < kDigits; ++d) ++counts[static_cast<size_t>(d) * kBuckets + digit(q, d)];
  }
  std::vector<Record> buffer(n);
  std::vector<Record>* from = &records;
  std::vector<Record>* to = &buffer;
  for (int d = 0; d < kDigits; ++d) {
    size_t* c = counts.data() + static_cast<size_t>(d) * kBuckets;
    // A digit that every record shares orders nothing.
    if (c[digit((*from)[0], d)] == n) continue;
    size_t sum = 0;
    for (size_t b = 0; b < kBuckets; ++b) {
      const size_t here = c[b];
      c[b] = sum;
      sum += here;
    }
    for (const Record& q : *from) (*to)[c[digit(q, d)]++] = q;
    std::swap(from, to);
  }
  if (from != &records) records.swap(buffer);
}

// Ascending by cells, then by index (a strict order).
inline bool CellsAscending(const QPoint& a, const QPoint& b) {
  if (a.kx != b.kx) return a.kx < b.kx;
  if (a.ky != b.ky) return a.ky < b.ky;
  if (a.kz != b.kz) return a.kz < b.kz;
  return a.index < b.index;
}

}  // namespace glsort
