// CZGmtFile: preparing one block for the rFactor file, and the geometric
// pieces of the file (visibility, bounds, facing codes, tangents).
#include "formats/gmt/GmtFile.h"

#include <algorithm>
#include <cmath>

namespace lapforge {

int CZGmtFile::MakeObject(const CGlPointArray& pointList, const CGlFaceArray& faceList, const CGlMipArray&,
                          const CGlMaterialArray& materialList, const CGlObjTag& tag) {
  faces.Copy(faceList);
  objects.clear();
  origin[0] = tag.x;
  origin[1] = tag.z;
  origin[2] = tag.y;
  // The points are copied only when they have to move: blocks of the export
  // roads sit at the origin already.
  const bool moved = tag.x != 0.0f || tag.y != 0.0f || tag.z != 0.0f;
  points.RemoveAll();
  if (moved) {
    points = pointList;
    points.MovePoints(-tag.x, -tag.y, -tag.z);
  }
  const CGlPointArray& source = moved ? points : pointList;

  faces.FacesExtent(source);
  // Faces that are all deleted leave the extents at their not-computed
  // marker; such a block has no size.
  if (faces.ExtentsNotComputed()) {
    faces.minPoint.x = faces.minPoint.y = faces.minPoint.z = 0.0f;
    faces.maxPoint.x = faces.maxPoint.y = faces.maxPoint.z = 0.0f;
  }
  faces.FaceOnlyNormals(source, false, 0);
  const CGlPoint& lo = faces.minPoint;
  const CGlPoint& hi = faces.maxPoint;
  centre[0] = (lo.x + hi.x) / 2.0f;
  centre[1] = (lo.z + hi.z) / 2.0f;
  centre[2] = (lo.y + hi.y) / 2.0f;

  const float ex = hi.x - lo.x, ey = hi.y - lo.y, ez = hi.z - lo.z;
  const float px = ex < 0.01f ? 0.01f : 0.0f, py = ey < 0.01f ? 0.01f : 0.0f, pz = ez < 0.01f ? 0.01f : 0.0f;
  const float minx = lo.x - px, miny = lo.y - py, minz = lo.z - pz;
  const float maxx = hi.x + px, maxy = hi.y + py, maxz = hi.z + pz;
  const float c[8][3] = {{maxx, miny, minz}, {maxx, maxy, minz}, {minx, maxy, minz}, {minx, miny, minz},
                         {maxx, miny, maxz}, {maxx, maxy, maxz}, {minx, maxy, maxz}, {minx, miny, maxz}};
  std::copy(&c[0][0], &c[0][0] + 24, &corners[0][0]);
  largestExtent = std::max({-1.0, static_cast<double>(ex), static_cast<double>(ey), static_cast<double>(ez)});

  MakeMaterialObjects(source, materialList);
  return 1;
}

void CZGmtFile::TranslateWrite(double dx, double dy, double dz) {
  CZGmt::TranslateWrite(dx, dy, dz);
  const float fx = static_cast<float>(dx), fy = static_cast<float>(dy), fz = static_cast<float>(dz);
  centre[0] += fx;
  centre[1] += fz;
  centre[2] += fy;
  for (auto& corner : corners) {
    corner[0] += fx;
    corner[1] += fy;
    corner[2] += fz;
  }
}

void CZGmtFile::VisibilityDistances(const CGlObjTag& tag, float& nearDistance, float& farDistance) const {
  nearDistance = 0.0f;
  farDistance = FarDistance();
  if (tag.farDistance > tag.nearDistance) {
    farDistance = tag.farDistance > 0.0f ? tag.farDistance : 0.0f;
    nearDistance = tag.nearDistance > 0.0f ? tag.nearDistance : 0.0f;
  }
}

float CZGmtFile::BoundingRadius() const {
  double best = 0.0;
  for (const auto& corner : corners) {
    // The centre is kept in file order, the corners in mesh order.
    const double dx = corner[0] - centre[0], dy = corner[1] - centre[2], dz = corner[2] - centre[1];
    best = std::max(best, std::sqrt(dx * dx + dy * dy + dz * dz));
  }
  return static_cast<float>(best);
}

bool CZGmtFile::HasBumpMap(int object) const {
  for (const CGlShaderTex& map : objects[static_cast<size_t>(object)].material.shader.maps)
    if (map.stageType == 5) return true;
  return false;
}

uint32_t CZGmtFile::DescriptorFlags(int object) const {
  uint32_t flags = kObjectFlags;
  if (HasBumpMap(object)) flags |= kBumpFlag;
  if (HasSecondUVBlock() && static_cast<size_t>(object) < writeMaterials.size() &&
      writeMaterials[static_cast<size_t>(object)].record.levels[2].entryCount > 4)
    flags |= kSecondUVFlag;
  return flags;
}

uint16_t CZGmtFile::FacingCode(float nx, float ny, float nz) {
  const float a = std::fabs(nx), b = std::fabs(ny), c = std::fabs(nz);
  if (b > a) {
    if (c > b) return nz > 0 ? 2 : 3;
    return ny > 0 ? 4 : 5;
  }
  if (c > a) return nz > 0 ? 2 : 3;
  return nx < 0 ? 1 : 0;
}

namespace {

// Normalises v; false (v untouched) when its length is zero or not finite.
bool Normalise(double v[3]) {
  const double len = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  if (!(len > 0.0) || !std::isfinite(len)) return false;
  for (int i = 0; i < 3; ++i) v[i] /= len;
  return true;
}

}  // namespace

void CZGmtFile::CalculateTangentVectors(CGlPointArray& pointList, const CGlFaceArray& triangles,
                                        std::vector<std::array<float, 6>>& out) {
  out.assign(pointList.size(), std::array<float, 6>{0, 0, 0, 0, 0, 0});
  for (const CGlFace& f : triangles) {
    if (f.GetVertexCount() < 3) continue;
    const CGlPoint& p0 = pointList.Get(f.vertices[0]);
    const CGlPoint& p1 = pointList.Get(f.vertices[1]);
    const CGlPoint& p2 = pointList.Get(f.vertices[2]);
    float uv[6] = {0, 0, 0, 0, 0, 0};
    for (int i = 0; i < std::min(6, f.GetFloatCount()); ++i) uv[i] = f.uvs[i];
    const double e1[3] = {double{p2.x} - p0.x, double{p2.y} - p0.y, double{p2.z} - p0.z};
    const double e2[3] = {double{p1.x} - p0.x, double{p1.y} - p0.y, double{p1.z} - p0.z};
    const double dv2 = double{uv[5]} - uv[1], dv1 = double{uv[3]} - uv[1];
    const double du2 = double{uv[4]} - uv[0], du1 = double{uv[2]} - uv[0];
    double t[3], b[3];
    for (int i = 0; i < 3; ++i) {
      t[i] = dv2 * e2[i] - dv1 * e1[i];
      b[i] = du2 * e2[i] - du1 * e1[i];
    }
    // A triangle without area or with collapsed coordinates has no tangent
    // frame; it gets the texture axes of a flat, unrotated map.
    if (!Normalise(t)) t[0] = 1.0, t[1] = 0.0, t[2] = 0.0;
    if (!Normalise(b)) b[0] = 0.0, b[1] = 1.0, b[2] = 0.0;
    const std::array<float, 6> record = {static_cast<float>(t[0]),  static_cast<float>(-t[2]),
                                         static_cast<float>(-t[1]), static_cast<float>(b[0]),
                                         static_cast<float>(-b[2]), static_cast<float>(-b[1])};
    for (int c = 0; c < 3; ++c) {
      const int32_t v = f.vertices[c];
      out[static_cast<size_t>(v)] = record;
      CGlPoint& p = pointList.Get(v);
      p.tangent = {static_cast<float>(t[0]), static_cast<float>(-t[1]), static_cast<float>(-t[2])};
      p.tangentState = 1;
    }
  }
}

}  // namespace lapforge
