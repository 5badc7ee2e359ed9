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
// any order. One bucket pass on the leading axis that varies splits the
// records into cache-sized runs, each then sorted by comparison: O(n log n)
// at worst, and one pass through memory for large meshes.
template <typename Record>
void SortByCells(std::vector<Record>& records, bool descending) {
  auto before = [descending](const Record& a, const Record& b) {
    if (a.kx != b.kx) return descending ? a.kx > b.kx : a.kx < b.kx;
    if (a.ky != b.ky) return descending ? a.ky > b.ky : a.ky < b.ky;
    if (a.kz != b.kz) return descending ? a.kz > b.kz : a.kz < b.kz;
    return a.index < b.index;
  };
  const size_t n = records.size();
  if (n < 4096) {
    std::sort(records.begin(), records.end(), before);
    return;
  }
  int32_t lo[3] = {INT32_MAX, INT32_MAX, INT32_MAX}, hi[3] = {INT32_MIN, INT32_MIN, INT32_MIN};
  for (const Record& q : records) {
    lo[0] = std::min(lo[0], q.kx), hi[0] = std::max(hi[0], q.kx);
    lo[1] = std::min(lo[1], q.ky), hi[1] = std::max(hi[1], q.ky);
    lo[2] = std::min(lo[2], q.kz), hi[2] = std::max(hi[2], q.kz);
  }
  int axis = 0;
  while (axis < 3 && lo[axis] == hi[axis]) ++axis;
  if (axis == 3) return;  // every cell equal: index order is the order
  // The leading axis as a distance from the first cell in sort order, cut
  // to at most 4096 buckets.
  const uint64_t range = static_cast<uint64_t>(static_cast<int64_t>(hi[axis]) - lo[axis]);
  int shift = 0;
  while ((range >> shift) >= 4096) ++shift;
  auto bucket = [&](const Record& q) {
    const int64_t cell = axis == 0 ? q.kx : (axis == 1 ? q.ky : q.kz);
    const uint64_t key = static_cast<uint64_t>(descending ? static_cast<int64_t>(hi[axis]) - cell
                                                          : cell - static_cast<int64_t>(lo[axis]));
    return static_cast<size_t>(key >> shift);
  };
  const size_t buckets = static_cast<size_t>(range >> shift) + 1;
  std::vector<size_t> start(buckets + 1, 0);
  for (const Record& q : records) ++start[bucket(q) + 1];
  for (size_t b = 0; b < buckets; ++b) start[b + 1] += start[b];
  // Records moved into their buckets in place (cycle by cycle), so no second
  // array of the mesh's size is needed. The order inside a bucket is set by
  // the comparison sort below, which includes the index.
  std::vector<size_t> next(start.begin(), start.end() - 1);
  for (size_t b = 0; b < buckets; ++b) {
    while (next[b] < start[b + 1]) {
      Record r = records[next[b]];
      size_t rb = bucket(r);
      while (rb != b) {
        std::swap(r, records[next[rb]++]);
        rb = bucket(r);
      }
      records[next[b]++] = r;
    }
  }
  for (size_t b = 0; b < buckets; ++b) {
    if (start[b + 1] - start[b] > 1) {
      std::sort(records.begin() + static_cast<long>(start[b]), records.begin() + static_cast<long>(start[b + 1]),
                before);
    }
  }
}

// Ascending by cells, then by index (a strict order).
inline bool CellsAscending(const QPoint& a, const QPoint& b) {
  if (a.kx != b.kx) return a.kx < b.kx;
  if (a.ky != b.ky) return a.ky < b.ky;
  if (a.kz != b.kz) return a.kz < b.kz;
  return a.index < b.index;
}

}  // namespace glsort
