#include "mesh/GlFace.h"

#include <algorithm>
#include <cmath>

#include "mesh/GlPointArray.h"
#include "support/Errors.h"

namespace lapforge {

int32_t CGlFace::GetVertex(int k) const {
  CheckIndex(k, static_cast<size_t>(GetVertexCount()), "face vertex");
  return vertices[k];
}

void CGlFace::FaceNormal(const CGlPointArray& points) {
  if (GetVertexCount() < 3) {
    normal = {0.0f, 0.0f, 1.0f};
    planeD = GetVertexCount() > 1 ? -points.Get(vertices[1]).z : 0.0f;
    normalValid = 1;
    return;
  }
  const CGlPoint& p0 = points.Get(vertices[0]);
  const CGlPoint& p1 = points.Get(vertices[1]);
  const CGlPoint& p2 = points.Get(vertices[2]);
  SetPlane(p0.x, p0.y, p0.z, p1.x, p1.y, p1.z, p2.x, p2.y, p2.z);
}

void CGlFace::FaceNormal(const float* positions) {
  auto at = [positions](int32_t v) { return positions + 3 * static_cast<size_t>(v); };
  if (GetVertexCount() < 3) {
    normal = {0.0f, 0.0f, 1.0f};
    planeD = GetVertexCount() > 1 ? -at(vertices[1])[2] : 0.0f;
    normalValid = 1;
    return;
  }
  const float* p0 = at(vertices[0]);
  const float* p1 = at(vertices[1]);
  const float* p2 = at(vertices[2]);
  SetPlane(p0[0], p0[1], p0[2], p1[0], p1[1], p1[2], p2[0], p2[1], p2[2]);
}

void CGlFace::SetPlane(float x0, float y0, float z0, float x1, float y1, float z1, float x2, float y2, float z2) {
  const double ax = static_cast<double>(x1) - x0, ay = static_cast<double>(y1) - y0, az = static_cast<double>(z1) - z0;
  const double bx = static_cast<double>(x2) - x1, by = static_cast<double>(y2) - y1, bz = static_cast<double>(z2) - z1;
  const double nx = ay * bz - az * by;
  const double ny = az * bx - ax * bz;
  const double nz = ax * by - ay * bx;
  const double len = std::sqrt(nx * nx + ny * ny + nz * nz);
  if (len > 0.0 && std::isfinite(len)) {
    normal = {static_cast<float>(nx / len), static_cast<float>(ny / len), static_cast<float>(nz / len)};
  } else {
    // A face without area has no plane of its own; up keeps the files finite.
    normal = {0.0f, 0.0f, 1.0f};
  }
  planeD = -(normal.x * x1 + normal.y * y1 + normal.z * z1);
  normalValid = 1;
}

void CGlFace::ReverseWinding() {
  const int n = GetVertexCount();
  std::reverse(vertices, vertices + n);
  const int pairs = GetUVCount();
  for (int i = 0, j = pairs - 1; i < j; ++i, --j) {
    std::swap(uvs[2 * i], uvs[2 * j]);
    std::swap(uvs[2 * i + 1], uvs[2 * j + 1]);
  }
}

void CGlFace::SetPaletteUVs(float r, float g, float b) {
  auto level = [](float c) {
    if (!(c > 0.0f)) return 0;  // also NaN
    if (c > 1.0f) c = 1.0f;
    return static_cast<int>(c * 255.0f);
  };
  const int qr = level(r) / 32;
  const int qb = level(b) / 32;
  const int qg = level(g) / 16;
  const float uBase = static_cast<float>(4 * qr + 32 * qb + 1) / 256.0f;
  const float vBase = static_cast<float>(16 * qg + 1) / 256.0f;
  RemoveAllFloats();
  const int n = GetVertexCount();
  for (int k = 0; k < n; ++k) {
    AddUV((k & 1) ? uBase + 0.0078f : uBase, (k & 2) ? vBase + 0.04f : vBase);
  }
}

}  // namespace lapforge
