// Face normals, faceted and smooth vertex normals, vertex alpha and tangents
// of a face array.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

#include "mesh/GlFaceArray.h"
#include "mesh/GlSortKeys.h"

namespace lapforge {

namespace {

// Scratch memory for one operation, not cleared. Large blocks are mapped
// from the system directly and marked for huge pages: fresh memory of a
// large mesh then takes one page fault per 2 MiB instead of one per 4 KiB,
// which otherwise costs as much as a fifth of the work on millions of
// points. Smaller blocks come from the heap.
class CScratch {
 public:
  explicit CScratch(size_t size) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (size >= kHugePage * 2) {
      mappedSize_ = size + kHugePage;  // room to start on a huge page
      void* p = mmap(nullptr, mappedSize_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
      if (p != MAP_FAILED) {
        mapped_ = static_cast<std::byte*>(p);
        const uintptr_t at = (reinterpret_cast<uintptr_t>(p) + kHugePage - 1) / kHugePage * kHugePage;
        data_ = mapped_ + (at - reinterpret_cast<uintptr_t>(p));
        madvise(data_, size, MADV_HUGEPAGE);
        return;
      }
    }
#endif
    heap_.reset(new std::byte[size]);
    data_ = heap_.get();
  }
  ~CScratch() {
#if defined(__linux__)
    if (mapped_ != nullptr) munmap(mapped_, mappedSize_);
#endif
  }
  CScratch(const CScratch&) = delete;
  CScratch& operator=(const CScratch&) = delete;

  std::byte* data() const { return data_; }

 private:
  static constexpr size_t kHugePage = size_t{1} << 21;
  std::unique_ptr<std::byte[]> heap_;
  std::byte* mapped_ = nullptr;
  size_t mappedSize_ = 0;
  std::byte* data_ = nullptr;
};

}  // namespace

namespace {

// The points' sort records, made at `at`, in sorted order. They carry the
// position too: the walk visits the points in sorted order and compares
// coordinates without going back to them.
glsort::QPointXYZ* SortRecords(std::byte* at, const float* xyz, size_t count) {
  using glsort::QPointXYZ;
  QPointXYZ* const order = new (at) QPointXYZ[count];
  glsort::FillSortedByCells(order, xyz, count, kGlPosTolerance, false, [](size_t i, float x, float y, float z) {
    return QPointXYZ{glsort::Cell32(x, kGlPosTolerance),
                     glsort::Cell32(y, kGlPosTolerance),
                     glsort::Cell32(z, kGlPosTolerance),
                     static_cast<int32_t>(i),
                     x,
                     y,
                     z};
  });
  return order;
}

// Shared vertices from the sorted points: runs of points within 0.001 of
// their predecessor share one. weld gets each point's shared vertex; the
// count of shared vertices is returned.
size_t WeldSorted(const glsort::QPointXYZ* order, size_t count, int32_t* weld) {
  int32_t shared = -1;
  for (size_t i = 0; i < count; ++i) {
    const glsort::QPointXYZ& q = order[i];
    if (i == 0 || std::fabs(q.x - order[i - 1].x) > 0.001f || std::fabs(q.y - order[i - 1].y) > 0.001f ||
        std::fabs(q.z - order[i - 1].z) > 0.001f) {
      ++shared;
    }
    weld[static_cast<size_t>(q.index)] = shared;
  }
  return static_cast<size_t>(shared + 1);
}

// Per shared vertex the sum of the normals of the faces that use it, and a
// mark that one does; deleted faces add the normal they last stored.
void SumFaceNormals(const std::vector<CGlFace>& faces, const int32_t* weld, size_t count, double* sums,
                    uint8_t* marked) {
  for (const CGlFace& f : faces) {
    const int n = f.GetVertexCount();
    for (int k = 0; k < n; ++k) {
      const int32_t v = f.vertices[k];
      // A deleted face may still name a point that a weld removed.
      if (v < 0 || static_cast<size_t>(v) >= count) continue;
      const size_t s = static_cast<size_t>(weld[static_cast<size_t>(v)]);
      sums[3 * s] += f.normal.x;
      sums[3 * s + 1] += f.normal.y;
      sums[3 * s + 2] += f.normal.z;
      marked[s] = 1;
    }
  }
}

// Normalised in place: the sums of marked vertices become the shared
// normals.
void NormaliseSums(double* sums, const uint8_t* marked, size_t sharedCount) {
  for (size_t sv = 0; sv < sharedCount; ++sv) {
    if (!marked[sv]) continue;
    double* n = &sums[3 * sv];
    const double len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (len > 0.0 && std::isfinite(len)) {
      n[0] /= len;
      n[1] /= len;
      n[2] /= len;
    } else {
      n[0] = n[1] = n[2] = 0.5773;
    }
  }
}

}  // namespace

void CGlFaceArray::FaceOnlyNormals(const CGlPointArray& points, bool onlyMissing, int firstFace) {
  const size_t first = firstFace > 0 ? static_cast<size_t>(firstFace) : 0;
  for (size_t i = first; i < items_.size(); ++i) {
    CGlFace& f = items_[i];
    if (f.deleted || (onlyMissing && f.normalValid)) continue;
    f.FaceNormal(points);
  }
}

void CGlFaceArray::FacetNormals(CGlPointArray& points, bool onlyMissing, int firstFace) {
  const size_t entryCount = points.size();
  std::vector<uint8_t> reached(entryCount, 0);
  // Copies are appended after the points present at entry, in the order
  // they are made (the same array as filling pre-grown slots and trimming).
  bool copied = false;
  const size_t first = firstFace > 0 ? static_cast<size_t>(firstFace) : 0;
  for (size_t i = first; i < items_.size(); ++i) {
    CGlFace& f = items_[i];
    if (f.deleted || (onlyMissing && f.normalValid)) continue;
    const int n = f.GetVertexCount();
    _float_xyz normal{0.0f, 0.0f, 1.0f};
    if (n >= 3) {
      const CGlPoint& p0 = points.Get(f.vertices[0]);
      const CGlPoint& p1 = points.Get(f.vertices[1]);
      const CGlPoint& p2 = points.Get(f.vertices[2]);
      const double ax = static_cast<double>(p1.x) - p0.x, ay = static_cast<double>(p1.y) - p0.y,
                   az = static_cast<double>(p1.z) - p0.z;
      const double bx = static_cast<double>(p2.x) - p1.x, by = static_cast<double>(p2.y) - p1.y,
                   bz = static_cast<double>(p2.z) - p1.z;
      const double nx = ay * bz - az * by, ny = az * bx - ax * bz, nz = ax * by - ay * bx;
      const double len = std::sqrt(nx * nx + ny * ny + nz * nz);
      if (len > 0.0 && std::isfinite(len)) {
        normal = {static_cast<float>(nx / len), static_cast<float>(ny / len), static_cast<float>(nz / len)};
      }
    }
    f.normal = normal;
    f.normalValid = 1;
    for (int k = 0; k < n; ++k) {
      const int32_t v = f.vertices[k];
      CGlPoint& p = points.Get(v);
      const bool fresh = static_cast<size_t>(v) < entryCount && !reached[static_cast<size_t>(v)];
      if (fresh) {
        p.nx = normal.x;
        p.ny = normal.y;
        p.nz = normal.z;
        p.hasNormal = 1;
        reached[static_cast<size_t>(v)] = 1;
      } else {
        CGlPoint copy = p;
        copy.nx = normal.x;
        copy.ny = normal.y;
        copy.nz = normal.z;
        copy.hasNormal = 1;
        f.vertices[k] = points.Add(copy);
        copied = true;
      }
    }
  }
  if (copied && !triangleLists.empty()) CreateTriangleArrays();
}

void CGlFaceArray::UpNormals(CGlPointArray& points) {
  for (CGlFace& f : items_) {
    if (f.deleted) continue;
    f.normal = {0.0f, 0.0f, 1.0f};
    f.normalValid = 1;
    const int n = f.GetVertexCount();
    for (int k = 0; k < n; ++k) {
      CGlPoint& p = points.Get(f.vertices[k]);
      p.nx = 0.0f;
      p.ny = 0.0f;
      p.nz = 1.0f;
      p.hasNormal = 1;
    }
  }
}

void CGlFaceArray::VertexShading(CGlPointArray& points) {
  const size_t count = points.size();
  CGlPoint* pts = points.data();
  // Every live face's vertices are checked before anything changes.
  for (const CGlFace& f : items_) {
    if (f.deleted) continue;
    const int n = f.GetVertexCount();
    for (int k = 0; k < n; ++k) CheckIndex(f.vertices[k], count, "shading: face vertex");
  }

  // One scratch allocation serves every pass. Its first part holds the
  // positions (12 bytes a point) and then each point's shared vertex (4);
  // the second the sort records (28) and then, once the walk has used them,
  // each shared vertex's normal sum (24) and mark (1). Nothing in it is
  // cleared that is written before it is read.
  using glsort::QPointXYZ;
  const size_t firstBytes = (count * 3 * sizeof(float) + 7) / 8 * 8;
  const CScratch scratch(firstBytes + count * sizeof(QPointXYZ));
  std::byte* const first = scratch.data();
  std::byte* const second = first + firstBytes;

  float* const xyz = new (first) float[count * 3];
  for (size_t i = 0; i < count; ++i) {
    xyz[3 * i] = pts[i].x;
    xyz[3 * i + 1] = pts[i].y;
    xyz[3 * i + 2] = pts[i].z;
  }
  // Live faces' normals from the compact positions: the point array, many
  // times larger, is then read once here and written once at the end.
  for (CGlFace& f : items_) {
    if (!f.deleted) f.FaceNormal(xyz);
  }
  const QPointXYZ* const order = SortRecords(second, xyz, count);

  // Shared vertices, and their normals: the normalised sums of the normals
  // of the faces around them.
  int32_t* const weld = new (first) int32_t[count];
  const size_t sharedCount = WeldSorted(order, count, weld);
  double* const sums = new (second) double[sharedCount * 3];
  uint8_t* const marked = new (second + sharedCount * 3 * sizeof(double)) uint8_t[sharedCount];
  std::fill(sums, sums + sharedCount * 3, 0.0);
  std::fill(marked, marked + sharedCount, uint8_t{0});
  SumFaceNormals(items_, weld, count, sums, marked);
  NormaliseSums(sums, marked, sharedCount);
  for (size_t i = 0; i < count; ++i) {
    const double* n = &sums[3 * static_cast<size_t>(weld[i])];
    pts[i].weldIndex = weld[i];
    pts[i].nx = static_cast<float>(n[0]);
    pts[i].ny = static_cast<float>(n[1]);
    pts[i].nz = static_cast<float>(n[2]);
    pts[i].hasNormal = 1;
  }
}

void CGlFaceArray::SetVertexAlpha(CGlPointArray& points, int material, int mode) {
  if (ExtentsNotComputed()) FacesExtent(points);
  float range = maxPoint.z - minPoint.z;
  float largestNz = -1.0f, smallestNz = 1.0f, largestDist = 0.0f;
  for (const CGlPoint& p : points) {
    largestNz = std::max(largestNz, p.nz);
    smallestNz = std::min(smallestNz, p.nz);
    const float dx = p.x - centrePoint.x, dy = p.y - centrePoint.y;
    largestDist = std::max(largestDist, std::sqrt(dx * dx + dy * dy));
  }
  if (mode == 2) range = largestNz - smallestNz;
  if (!(range > 0.0f)) range = 1.0f;
  // Every point on the centre: no distance to scale by, so all get 0, the
  // value of a point on the centre.
  if (!(largestDist > 0.0f)) largestDist = 1.0f;
  for (const CGlFace& f : items_) {
    if (f.deleted || f.materialIndex != material) continue;
    const int n = f.GetVertexCount();
    for (int k = 0; k < n; ++k) {
      CGlPoint& p = points.Get(f.vertices[k]);
      switch (mode) {
        case 0:
          // The generator's 15-bit range, so the value stays in 0..1.
          p.alpha = static_cast<float>(std::rand() & 0x7FFF) * (1.0f / 32767.0f);
          break;
        case 1:
          p.alpha = (p.z - minPoint.z) / range;
          break;
        case 2:
          p.alpha = (p.nz - smallestNz) / range;
          break;
        case 3: {
          const float dx = p.x - centrePoint.x, dy = p.y - centrePoint.y;
          p.alpha = std::sqrt(dx * dx + dy * dy) / largestDist;
          break;
        }
        default:
          break;
      }
    }
  }
}

namespace {

// Normalises and flips y and z; a zero vector stays as it is.
_float_xyz TangentFrameVector(double x, double y, double z) {
  const double len = std::sqrt(x * x + y * y + z * z);
  if (len > 0.0 && std::isfinite(len)) {
    return {static_cast<float>(x / len), static_cast<float>(-y / len), static_cast<float>(-z / len)};
  }
  return {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
}

}  // namespace

void CGlFaceArray::TangentVectors(CGlPointArray& points, std::vector<_float_xyz>& bitangents, int material) {
  bitangents.resize(points.size());
  for (const CGlFace& f : items_) {
    if (f.deleted || (material != -1 && f.materialIndex != material)) continue;
    if (f.GetFloatCount() < 6 || f.GetVertexCount() < 3) continue;
    const int32_t i0 = f.vertices[0], i1 = f.vertices[1], i2 = f.vertices[2];
    CGlPoint& p0 = points.Get(i0);
    CGlPoint& p1 = points.Get(i1);
    CGlPoint& p2 = points.Get(i2);
    const double e1x = static_cast<double>(p2.x) - p0.x, e1y = static_cast<double>(p2.y) - p0.y,
                 e1z = static_cast<double>(p2.z) - p0.z;
    const double e2x = static_cast<double>(p1.x) - p0.x, e2y = static_cast<double>(p1.y) - p0.y,
                 e2z = static_cast<double>(p1.z) - p0.z;
    const double s0 = f.uvs[0], t0 = f.uvs[1], s1 = f.uvs[2], t1 = f.uvs[3], s2 = f.uvs[4], t2 = f.uvs[5];
    const double ds1 = s1 - s0, ds2 = s2 - s0, dt1 = t1 - t0, dt2 = t2 - t0;
    const _float_xyz t = TangentFrameVector(dt2 * e2x - dt1 * e1x, dt2 * e2y - dt1 * e1y, dt2 * e2z - dt1 * e1z);
    const _float_xyz b = TangentFrameVector(ds2 * e2x - ds1 * e1x, ds2 * e2y - ds1 * e1y, ds2 * e2z - ds1 * e1z);
    for (CGlPoint* p : {&p0, &p1, &p2}) {
      p->tangent = t;
      p->tangentState = 1;
    }
    bitangents[static_cast<size_t>(i0)] = b;
    bitangents[static_cast<size_t>(i1)] = b;
    bitangents[static_cast<size_t>(i2)] = b;
  }
}

}  // namespace lapforge
