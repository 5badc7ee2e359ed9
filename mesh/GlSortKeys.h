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

namespace lapforge {

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

// Cells ascending or descending, then index ascending (a strict order).
template <typename Record>
struct CellsBefore {
  bool descending;
  bool operator()(const Record& a, const Record& b) const {
    if (a.kx != b.kx) return descending ? a.kx > b.kx : a.kx < b.kx;
    if (a.ky != b.ky) return descending ? a.ky > b.ky : a.ky < b.ky;
    if (a.kz != b.kz) return descending ? a.kz > b.kz : a.kz < b.kz;
    return a.index < b.index;
  }
};

// Sorts records (QPoint or QPointXYZ) by their cells, ascending or
// descending, and by index (ascending) among equal cells, given records in
// any order. One bucket pass on the leading axis that varies splits the
// records into cache-sized runs, each then sorted by comparison: O(n log n)
// at worst, and one pass through memory for large meshes.
template <typename Record>
void SortRunByCells(Record* records, size_t n, bool descending) {
  const CellsBefore<Record> before{descending};
  if (n < 4096) {
    std::sort(records, records + n, before);
    return;
  }
  int32_t lo[3] = {INT32_MAX, INT32_MAX, INT32_MAX}, hi[3] = {INT32_MIN, INT32_MIN, INT32_MIN};
  for (size_t i = 0; i < n; ++i) {
    const Record& q = records[i];
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
  for (size_t i = 0; i < n; ++i) ++start[bucket(records[i]) + 1];
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
    if (start[b + 1] - start[b] > 1) std::sort(records + start[b], records + start[b + 1], before);
  }
}

template <typename Record>
void SortByCells(std::vector<Record>& records, bool descending) {
  SortRunByCells(records.data(), records.size(), descending);
}

// Fills out[0..n) with the records of n points in the order SortByCells
// gives them. xyz holds the points' positions (x, y, z of point i at 3 i);
// make(i, x, y, z) returns the record of point i, whose cells must be Cell32
// of that position for cell size t. out is only written.
//
// The records are written straight into their buckets: one sequential read
// of the positions and independent writes, which the processor overlaps.
// Moving records into their buckets in place instead chains every move on
// the cache miss of the one before, which on meshes larger than the caches
// costs a memory round trip per record.
template <typename Record, typename Make>
void FillSortedByCells(Record* out, const float* xyz, size_t n, double t, bool descending, Make make) {
  const CellsBefore<Record> before{descending};
  if (n < 4096) {
    for (size_t i = 0; i < n; ++i) out[i] = make(i, xyz[3 * i], xyz[3 * i + 1], xyz[3 * i + 2]);
    std::sort(out, out + n, before);
    return;
  }
  // The cells' range per axis from the positions' range (Cell32 is monotone;
  // NaN has the lowest cell).
  float mn[3] = {INFINITY, INFINITY, INFINITY}, mx[3] = {-INFINITY, -INFINITY, -INFINITY};
  bool nan[3] = {false, false, false}, finiteOrInf[3] = {false, false, false};
  for (size_t i = 0; i < n; ++i) {
    for (int a = 0; a < 3; ++a) {
      const float v = xyz[3 * i + static_cast<size_t>(a)];
      if (std::isnan(v)) {
        nan[a] = true;
      } else {
        mn[a] = std::min(mn[a], v);
        mx[a] = std::max(mx[a], v);
        finiteOrInf[a] = true;
      }
    }
  }
  int32_t lo[3], hi[3];
  for (int a = 0; a < 3; ++a) {
    lo[a] = nan[a] ? INT32_MIN : Cell32(mn[a], t);
    hi[a] = finiteOrInf[a] ? Cell32(mx[a], t) : INT32_MIN;
  }
  int axis = 0;
  while (axis < 3 && lo[axis] == hi[axis]) ++axis;
  if (axis == 3) {  // every cell equal: index order is the order
    for (size_t i = 0; i < n; ++i) out[i] = make(i, xyz[3 * i], xyz[3 * i + 1], xyz[3 * i + 2]);
    return;
  }
  // The same buckets as SortByCells: the leading axis that varies, as a
  // distance from the first cell in sort order, cut to at most 4096. Each
  // bucket is then sorted in place (bucketed again first when it is large,
  // while it sits in the cache). Fewer, larger buckets here measured slower.
  const uint64_t range = static_cast<uint64_t>(static_cast<int64_t>(hi[axis]) - lo[axis]);
  int shift = 0;
  while ((range >> shift) >= 4096) ++shift;
  auto bucket = [&](int32_t cell) {
    const uint64_t key = static_cast<uint64_t>(descending ? static_cast<int64_t>(hi[axis]) - cell
                                                          : static_cast<int64_t>(cell) - lo[axis]);
    return static_cast<size_t>(key >> shift);
  };
  const size_t buckets = static_cast<size_t>(range >> shift) + 1;
  std::vector<size_t> start(buckets + 1, 0);
  for (size_t i = 0; i < n; ++i) ++start[bucket(Cell32(xyz[3 * i + static_cast<size_t>(axis)], t)) + 1];
  for (size_t b = 0; b < buckets; ++b) start[b + 1] += start[b];
  std::vector<size_t> next(start.begin(), start.end() - 1);
  for (size_t i = 0; i < n; ++i) {
    const Record r = make(i, xyz[3 * i], xyz[3 * i + 1], xyz[3 * i + 2]);
    const int32_t cell = axis == 0 ? r.kx : (axis == 1 ? r.ky : r.kz);
    out[next[bucket(cell)]++] = r;
  }
  for (size_t b = 0; b < buckets; ++b) SortRunByCells(out + start[b], start[b + 1] - start[b], descending);
}

// Ascending by cells, then by index (a strict order).
inline bool CellsAscending(const QPoint& a, const QPoint& b) {
  if (a.kx != b.kx) return a.kx < b.kx;
  if (a.ky != b.ky) return a.ky < b.ky;
  if (a.kz != b.kz) return a.kz < b.kz;
  return a.index < b.index;
}

}  // namespace glsort

}  // namespace lapforge
