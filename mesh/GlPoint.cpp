#include "mesh/GlPoint.h"

#include <algorithm>
#include <cmath>

namespace lapforge {

namespace {

// One step of the descending tolerance ordering: -1 when a is larger by more
// than t, 1 when smaller by more than t, 0 when within t.
inline int CompareField(float a, float b, float t) {
  if (a - b > t) return -1;
  if (b - a > t) return 1;
  return 0;
}

}  // namespace

int CGlPoint::Compare(const CGlPoint& other) const {
  int r;
  if ((r = CompareField(x, other.x, kGlPosTolerance)) != 0) return r;
  if ((r = CompareField(y, other.y, kGlPosTolerance)) != 0) return r;
  if ((r = CompareField(z, other.z, kGlPosTolerance)) != 0) return r;
  if ((r = CompareField(nx, other.nx, kGlNormalTolerance)) != 0) return r;
  if ((r = CompareField(ny, other.ny, kGlNormalTolerance)) != 0) return r;
  if ((r = CompareField(nz, other.nz, kGlNormalTolerance)) != 0) return r;
  if ((r = CompareField(u, other.u, kGlUVTolerance)) != 0) return r;
  if ((r = CompareField(v, other.v, kGlUVTolerance)) != 0) return r;
  if ((r = CompareField(tangent.x, other.tangent.x, kGlNormalTolerance)) != 0) return r;
  if ((r = CompareField(tangent.y, other.tangent.y, kGlNormalTolerance)) != 0) return r;
  return CompareField(tangent.z, other.tangent.z, kGlNormalTolerance);
}

int CGlPoint::CompareXYZ(const CGlPoint& other) const {
  int r;
  if ((r = CompareField(x, other.x, kGlPosTolerance)) != 0) return r;
  if ((r = CompareField(y, other.y, kGlPosTolerance)) != 0) return r;
  return CompareField(z, other.z, kGlPosTolerance);
}

void CGlPoint::Rotate(float a, float b, float c) {
  const float factor = static_cast<float>(kGlDegToRad);
  const float ra = a * factor;
  const float rb = b * factor;
  const float rc = c * factor;
  if (rc != 0.0f) GlRotateInPlane(y, z, std::cos(rc), std::sin(rc));
  if (rb != 0.0f) GlRotateInPlane(x, z, std::cos(rb), std::sin(rb));
  if (ra != 0.0f) GlRotateInPlane(x, y, std::cos(ra), std::sin(ra));
}

void CGlPoint::SetToMin(const CGlPoint& p, const CGlPoint& q) {
  x = std::min(p.x, q.x);
  y = std::min(p.y, q.y);
  z = std::min(p.z, q.z);
}

void CGlPoint::SetToMax(const CGlPoint& p, const CGlPoint& q) {
  x = std::max(p.x, q.x);
  y = std::max(p.y, q.y);
  z = std::max(p.z, q.z);
}

}  // namespace lapforge
