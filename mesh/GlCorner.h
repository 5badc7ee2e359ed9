// What a drawing-style writer (the glTF buffer, the 3D preview) reads of a
// face's corner: its position, a unit normal (the point's own, else the
// face's plane normal, made once per face when a corner first needs it) and
// its texture coordinates (the face's, else the point's, else 0). Every
// value is finite, in game coordinates; the writer turns them its way.
#pragma once

#include <cmath>

#include "mesh/GlFace.h"
#include "mesh/GlPoint.h"

namespace lapforge {

// A value as written: 0 for one that is not finite.
inline float GlFinite(float v) { return std::isfinite(v) ? v : 0.0f; }

// A unit normal from any vector; straight up (game Z) when it has no length.
inline void GlUnitNormal(double x, double y, double z, float out[3]) {
  const double len = std::sqrt(x * x + y * y + z * z);
  if (!(len > 1e-12) || !std::isfinite(len)) {
    out[0] = 0, out[1] = 0, out[2] = 1;
    return;
  }
  out[0] = static_cast<float>(x / len), out[1] = static_cast<float>(y / len), out[2] = static_cast<float>(z / len);
}

struct GlCorner {
  float position[3];
  float normal[3];
  float uv[2];
};

class CGlCornerReader {
 public:
  // The face's corners must be points of pts.
  CGlCornerReader(const CGlFace& face, const CGlPoint* pts)
      : face_(face), pts_(pts), faceUVs_(face.hasUVs && face.GetFloatCount() >= 2 * face.GetVertexCount()) {}

  void Read(int k, GlCorner& out) {
    const CGlPoint& p = pts_[face_.vertices[k]];
    out.position[0] = GlFinite(p.x), out.position[1] = GlFinite(p.y), out.position[2] = GlFinite(p.z);
    if (p.hasNormal) {
      GlUnitNormal(p.nx, p.ny, p.nz, out.normal);
    } else {
      if (!planeDone_) PlaneNormal(), planeDone_ = true;
      out.normal[0] = plane_[0], out.normal[1] = plane_[1], out.normal[2] = plane_[2];
    }
    if (faceUVs_) {
      out.uv[0] = GlFinite(face_.uvs[2 * k]), out.uv[1] = GlFinite(face_.uvs[2 * k + 1]);
    } else if (p.hasUV) {
      out.uv[0] = GlFinite(p.u), out.uv[1] = GlFinite(p.v);
    } else {
      out.uv[0] = out.uv[1] = 0;
    }
  }

 private:
  // The face's own normal when set, else that of its first three corners.
  void PlaneNormal() {
    const CGlFace& f = face_;
    if (f.normalValid) return GlUnitNormal(f.normal.x, f.normal.y, f.normal.z, plane_);
    const CGlPoint& a = pts_[f.vertices[0]];
    const CGlPoint& b = pts_[f.vertices[1]];
    const CGlPoint& c = pts_[f.vertices[2]];
    const double ux = double(b.x) - a.x, uy = double(b.y) - a.y, uz = double(b.z) - a.z;
    const double vx = double(c.x) - a.x, vy = double(c.y) - a.y, vz = double(c.z) - a.z;
    GlUnitNormal(uy * vz - uz * vy, uz * vx - ux * vz, ux * vy - uy * vx, plane_);
  }

  const CGlFace& face_;
  const CGlPoint* pts_;
  const bool faceUVs_;
  bool planeDone_ = false;
  float plane_[3] = {0, 0, 0};
};

}  // namespace lapforge
