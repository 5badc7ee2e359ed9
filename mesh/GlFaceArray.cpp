#include "mesh/GlFaceArray.h"

#include <algorithm>

#include "mesh/GlMaterialArray.h"
#include "mesh/GlSortKeys.h"

namespace lapforge {

namespace {

constexpr float kNotComputed = 1e10f;

}  // namespace

CGlFaceArray::CGlFaceArray() { ResetExtents(); }

void CGlFaceArray::ResetExtents() {
  minPoint.x = minPoint.y = minPoint.z = kNotComputed;
  maxPoint.x = maxPoint.y = maxPoint.z = -kNotComputed;
}

int CGlFaceArray::CountFaces() const {
  int n = 0;
  for (const CGlFace& f : items_) n += f.deleted ? 0 : 1;
  return n;
}

bool CGlFaceArray::AllTriangles() const {
  for (const CGlFace& f : items_) {
    if (f.vertexCount != 3) return false;
  }
  return true;
}

void CGlFaceArray::FacesExtent(const CGlPointArray& points) {
  if (items_.empty()) {
    minPoint.x = minPoint.y = minPoint.z = 0.0f;
    maxPoint.x = maxPoint.y = maxPoint.z = 0.0f;
    centrePoint.x = centrePoint.y = centrePoint.z = 0.0f;
    return;
  }
  ResetExtents();
  for (const CGlFace& f : items_) {
    if (f.deleted) continue;
    const int n = f.GetVertexCount();
    for (int k = 0; k < n; ++k) {
      const CGlPoint& p = points.Get(f.vertices[k]);
      minPoint.SetToMin(minPoint, p);
      maxPoint.SetToMax(maxPoint, p);
    }
  }
  centrePoint.x = (minPoint.x + maxPoint.x) / 2.0f;
  centrePoint.y = (minPoint.y + maxPoint.y) / 2.0f;
  centrePoint.z = (minPoint.z + maxPoint.z) / 2.0f;
}

void CGlFaceArray::GetExtents(const CGlPointArray& points, CGlPoint& outMin, CGlPoint& outMax) {
  if (ExtentsNotComputed()) FacesExtent(points);
  outMin = minPoint;
  outMax = maxPoint;
}

void CGlFaceArray::CentreFaces(CGlPointArray& points, float& cx, float& cy, float& cz, int centreZ) {
  FacesExtent(points);
  cx = centrePoint.x;
  cy = centrePoint.y;
  cz = centrePoint.z;
  // Without a single live vertex the minimum is the not-computed marker;
  // the centre (0) is the only offset that means anything then.
  if (centreZ == 0 && !ExtentsNotComputed()) cz = minPoint.z;
  points.MovePoints(-cx, -cy, -cz);
}

void CGlFaceArray::Copy(const CGlFaceArray& source) {
  if (&source == this) return;
  items_ = source.items_;
  minPoint = source.minPoint;
  maxPoint = source.maxPoint;
  centrePoint = source.centrePoint;
}

int CGlFaceArray::Duplicate(int index) {
  const CGlFace copy = Get(index);
  return Add(copy);
}

void CGlFaceArray::AppendFaces(const CGlFaceArray& sourceFaces, const CGlPointArray& sourcePoints,
                               CGlPointArray& destPoints) {
  const int32_t offset = destPoints.GetSize();
  const size_t count = sourceFaces.size();
  items_.reserve(items_.size() + count);
  // Indexing (not iterators): the source may be this array.
  for (size_t i = 0; i < count; ++i) {
    CGlFace f = sourceFaces.items_[i];
    const int n = f.GetVertexCount();
    for (int k = 0; k < n; ++k) f.vertices[k] += offset;
    items_.push_back(f);
  }
  const size_t pointCount = sourcePoints.size();
  destPoints.Reserve(static_cast<long long>(destPoints.size() + pointCount));
  for (size_t i = 0; i < pointCount; ++i) destPoints.Items().push_back(sourcePoints.Items()[i]);
}

void CGlFaceArray::ExtractSaveFaces(CGlFaceArray& destination, bool all) const {
  if (&destination == this) return;
  for (const CGlFace& f : items_) {
    if (!f.deleted && (all || f.keep)) destination.items_.push_back(f);
  }
}

void CGlFaceArray::ToTriangles(const CGlFaceArray& source) {
  if (&source == this) {
    const CGlFaceArray copy = source;
    ToTriangles(copy);
    return;
  }
  if (source.AllTriangles()) {
    Copy(source);
    return;
  }
  items_.reserve(items_.size() + source.items_.size() * 2);
  for (const CGlFace& f : source.items_) {
    if (f.deleted) continue;
    const int n = f.GetVertexCount();
    if (n < 3) continue;
    if (n == 3) {
      items_.push_back(f);
      continue;
    }
    // A fan around the last vertex.
    for (int i = 0; i + 2 < n; ++i) {
      CGlFace t = f;
      t.vertexCount = 3;
      t.vertices[0] = f.vertices[i];
      t.vertices[1] = f.vertices[i + 1];
      t.vertices[2] = f.vertices[n - 1];
      if (f.GetFloatCount() > 0) {
        const int from[3] = {i, i + 1, n - 1};
        for (int k = 0; k < 3; ++k) {
          t.uvs[2 * k] = f.uvs[2 * from[k]];
          t.uvs[2 * k + 1] = f.uvs[2 * from[k] + 1];
        }
        t.uvCount = 6;
      }
      items_.push_back(t);
    }
  }
}

void CGlFaceArray::SortByMaterial(const CGlFaceArray& source, const CGlMaterialArray& materials, int first) {
  if (&source == this) {
    const CGlFaceArray copy = source;
    SortByMaterial(copy, materials, first);
    return;
  }
  const long long count = materials.GetSize();
  if (first >= count) return;
  // A stable counting sort over the material slots first .. count-1.
  const size_t slots = static_cast<size_t>(count - first);
  std::vector<size_t> start(slots + 1, 0);
  for (const CGlFace& f : source.items_) {
    const long long m = f.materialIndex;
    if (m >= first && m < count) ++start[static_cast<size_t>(m - first) + 1];
  }
  for (size_t s = 0; s < slots; ++s) start[s + 1] += start[s];
  const size_t base = items_.size();
  items_.resize(base + start[slots]);
  for (const CGlFace& f : source.items_) {
    const long long m = f.materialIndex;
    if (m >= first && m < count) items_[base + start[static_cast<size_t>(m - first)]++] = f;
  }
}

void CGlFaceArray::FindFacesMatching(const std::vector<int32_t>& indices, CGlFaceArray& destination) const {
  std::vector<int32_t> sorted(indices);
  std::sort(sorted.begin(), sorted.end());
  const CGlFaceArray* self = this;
  CGlFaceArray copy;
  if (&destination == this) {
    copy = *this;
    self = &copy;
  }
  destination.RemoveAll();
  for (const CGlFace& f : self->items_) {
    if (f.deleted) continue;
    const int n = f.GetVertexCount();
    for (int k = 0; k < n; ++k) {
      if (std::binary_search(sorted.begin(), sorted.end(), f.vertices[k])) {
        destination.items_.push_back(f);
        break;
      }
    }
  }
}

int CGlFaceArray::MarkUsedPoints(std::vector<uint8_t>& used, int pointCount) const {
  used.assign(pointCount > 0 ? static_cast<size_t>(pointCount) : 0, 0);
  int marked = 0;
  for (const CGlFace& f : items_) {
    if (f.deleted) continue;
    const int n = f.GetVertexCount();
    for (int k = 0; k < n; ++k) {
      const int32_t v = f.vertices[k];
      if (v < 0 || v >= pointCount || used[static_cast<size_t>(v)]) continue;
      used[static_cast<size_t>(v)] = 1;
      ++marked;
    }
  }
  return marked;
}

void CGlFaceArray::CreateTriangleArrays() {
  triangleLists.clear();
  int32_t highest = -1;
  for (const CGlFace& f : items_) {
    if (f.deleted) continue;
    if (f.materialIndex < -1) ThrowInvalidArgument("triangle lists: material index below -1");
    highest = std::max(highest, f.materialIndex);
  }
  // Slot s holds material s - 1.
  const size_t slots = static_cast<size_t>(highest) + 2;
  std::vector<size_t> counts(slots, 0);
  for (const CGlFace& f : items_) {
    if (f.deleted) continue;
    const int n = f.GetVertexCount();
    counts[static_cast<size_t>(f.materialIndex + 1)] += n == 3 ? 3 : (n == 4 ? 6 : 0);
  }
  std::vector<int32_t> listOf(slots, -1);
  for (size_t s = 0; s < slots; ++s) {
    if (counts[s] == 0) continue;
    CGlTriangles t;
    t.kind = 1;
    t.materialIndex = static_cast<int32_t>(s) - 1;
    t.mipIndex = -1;
    t.indices.reserve(counts[s]);
    listOf[s] = static_cast<int32_t>(triangleLists.size());
    triangleLists.push_back(std::move(t));
  }
  for (const CGlFace& f : items_) {
    if (f.deleted) continue;
    const int n = f.GetVertexCount();
    if (n < 3) continue;
    const int32_t l = listOf[static_cast<size_t>(f.materialIndex + 1)];
    if (l < 0) continue;  // a face of 5 or more vertices cannot be stored; nothing counted
    std::vector<int32_t>& idx = triangleLists[static_cast<size_t>(l)].indices;
    idx.push_back(f.vertices[0]);
    idx.push_back(f.vertices[1]);
    idx.push_back(f.vertices[2]);
    if (n == 4) {
      idx.push_back(f.vertices[2]);
      idx.push_back(f.vertices[3]);
      idx.push_back(f.vertices[0]);
    }
  }
}

void CGlFaceArray::Reverse(int index) {
  CGlFace& f = Get(index);
  f.ReverseWinding();
  f.normalValid = 0;
}

void CGlFaceArray::ReverseAll() {
  for (CGlFace& f : items_) {
    f.ReverseWinding();
    f.normalValid = 0;
  }
  CreateTriangleArrays();
}

void CGlFaceArray::Mirror(CGlPointArray& points, bool mx, bool my, bool mz) {
  if (!mx && !my && !mz) return;
  points.Mirror(mx, my, mz);
  const bool odd = ((mx ? 1 : 0) + (my ? 1 : 0) + (mz ? 1 : 0)) % 2 == 1;
  for (CGlFace& f : items_) {
    if (mx) f.normal.x = -f.normal.x;
    if (my) f.normal.y = -f.normal.y;
    if (mz) f.normal.z = -f.normal.z;
    // A reflection turns the winding inside out; reversing restores it.
    if (odd) f.ReverseWinding();
  }
  if (odd && !triangleLists.empty()) CreateTriangleArrays();
}

void CGlFaceArray::PurgeZeroSizeFaces(const CGlPointArray& points) {
  bool any = false;
  for (CGlFace& f : items_) {
    if (f.deleted) continue;
    if (!points.CheckNoDupPts(f)) {
      f.deleted = 1;
      any = true;
    }
  }
  if (any) CreateTriangleArrays();
}

namespace {

// Descending order by the full welding comparison, cell-snapped.
int CompareFullCells(const CGlPoint& a, const CGlPoint& b) {
  using glsort::CellOrder;
  const double tp = kGlPosTolerance, tn = kGlNormalTolerance, tu = kGlUVTolerance;
  int r;
  if ((r = CellOrder(a.x, b.x, tp)) != 0) return -r;
  if ((r = CellOrder(a.y, b.y, tp)) != 0) return -r;
  if ((r = CellOrder(a.z, b.z, tp)) != 0) return -r;
  if ((r = CellOrder(a.nx, b.nx, tn)) != 0) return -r;
  if ((r = CellOrder(a.ny, b.ny, tn)) != 0) return -r;
  if ((r = CellOrder(a.nz, b.nz, tn)) != 0) return -r;
  if ((r = CellOrder(a.u, b.u, tu)) != 0) return -r;
  if ((r = CellOrder(a.v, b.v, tu)) != 0) return -r;
  if ((r = CellOrder(a.tangent.x, b.tangent.x, tn)) != 0) return -r;
  if ((r = CellOrder(a.tangent.y, b.tangent.y, tn)) != 0) return -r;
  return -CellOrder(a.tangent.z, b.tangent.z, tn);
}

// Descending by position cells.
int ComparePosCells(const glsort::QPoint& a, const glsort::QPoint& b) {
  if (a.kx != b.kx) return a.kx > b.kx ? -1 : 1;
  if (a.ky != b.ky) return a.ky > b.ky ? -1 : 1;
  if (a.kz != b.kz) return a.kz > b.kz ? -1 : 1;
  return 0;
}

// Within each run of equal position cells of the sorted order, the rest
// of the full comparison, then the index.
void SortRunsByFullCells(std::vector<glsort::QPoint>& order, const CGlPoint* pts) {
  size_t runStart = 0;
  for (size_t i = 1; i <= order.size(); ++i) {
    if (i < order.size() && ComparePosCells(order[i - 1], order[i]) == 0) continue;
    if (i - runStart > 1) {
      std::sort(order.begin() + static_cast<long>(runStart), order.begin() + static_cast<long>(i),
                [pts](const glsort::QPoint& a, const glsort::QPoint& b) {
                  const int s = CompareFullCells(pts[a.index], pts[b.index]);
                  return s != 0 ? s < 0 : a.index < b.index;
                });
    }
    runStart = i;
  }
}

}  // namespace

void CGlFaceArray::PurgeDuplicatePoints(CGlPointArray& points, bool positionOnly) {
  const int count = points.GetSize();
  if (count < 4) return;
  // Every index is checked before anything changes.
  for (const CGlFace& f : items_) {
    const int n = f.GetVertexCount();
    for (int k = 0; k < n; ++k) CheckIndex(f.vertices[k], points.size(), "weld: face vertex");
  }
  for (const CGlTriangles& t : triangleLists) {
    for (int32_t v : t.indices) CheckIndex(v, points.size(), "weld: triangle list");
  }

  std::vector<uint8_t> used;
  MarkUsedPoints(used, count);

  // Only the used points take part; the others get no output point.
  std::vector<glsort::QPoint> order;
  order.reserve(static_cast<size_t>(count));
  CGlPoint* pts = points.data();
  for (int i = 0; i < count; ++i) {
    if (used[static_cast<size_t>(i)])
      order.push_back(glsort::MakeQPoint(pts[i].x, pts[i].y, pts[i].z, i, kGlPosTolerance));
  }
  glsort::SortByCells(order, true);
  if (!positionOnly) SortRunsByFullCells(order, pts);

  for (int i = 0; i < count; ++i) {
    if (!used[static_cast<size_t>(i)]) pts[i].weldIndex = -1;
  }
  CGlPointArray output;
  output.Reserve(static_cast<long long>(order.size()));
  const CGlPoint* previous = nullptr;
  for (const glsort::QPoint& q : order) {
    CGlPoint& p = pts[q.index];
    const bool same = previous && (positionOnly ? p.CompareXYZ(*previous) : p.Compare(*previous)) == 0;
    if (same) {
      p.weldIndex = output.GetSize() - 1;
    } else {
      p.weldIndex = output.GetSize();
      output.Items().push_back(p);
    }
    previous = &p;
  }

  // Faces of removed points (only deleted faces can have them) get -1.
  for (CGlFace& f : items_) {
    const int n = f.GetVertexCount();
    for (int k = 0; k < n; ++k) f.vertices[k] = pts[f.vertices[k]].weldIndex;
  }
  for (CGlTriangles& t : triangleLists) {
    for (int32_t& v : t.indices) v = pts[v].weldIndex;
  }
  points.Items().swap(output.Items());
}

int CGlFaceArray::RenumberMaterials(const std::vector<int32_t>& map) {
  const long long n = static_cast<long long>(map.size());
  for (CGlFace& f : items_) {
    if (!f.deleted && f.materialIndex >= 0 && f.materialIndex < n) f.materialIndex = map[f.materialIndex];
  }
  for (CGlTriangles& t : triangleLists) {
    if (t.materialIndex >= 0 && t.materialIndex < n) t.materialIndex = map[t.materialIndex];
  }
  return 1;
}

void CGlFaceArray::DeleteMaterialIndex(int material) {
  for (CGlFace& f : items_) {
    if (f.materialIndex == material) f.deleted = 1;
  }
  for (size_t i = triangleLists.size(); i > 0; --i) {
    if (triangleLists[i - 1].materialIndex == material) triangleLists.erase(triangleLists.begin() + (i - 1));
  }
}

}  // namespace lapforge
