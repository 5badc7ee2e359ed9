#include "mesh/GlPointArray.h"

#include <cmath>

#include "mesh/GlFace.h"
#include "mesh/GlFaceArray.h"

namespace lapforge {

void CGlPointArray::RotatePoints(double a, double b, double c) {
  if (a == 0.0 && b == 0.0 && c == 0.0) return;
  // One cosine and sine per angle for the whole array.
  const double ca = std::cos(a), sa = std::sin(a);
  const double cb = std::cos(b), sb = std::sin(b);
  const double cc = std::cos(c), sc = std::sin(c);
  for (CGlPoint& p : items_) {
    if (c != 0.0) {
      GlRotateInPlane(p.y, p.z, cc, sc);
      if (p.hasNormal) GlRotateInPlane(p.ny, p.nz, cc, sc);
    }
    if (b != 0.0) {
      GlRotateInPlane(p.x, p.z, cb, sb);
      if (p.hasNormal) GlRotateInPlane(p.nx, p.nz, cb, sb);
    }
    if (a != 0.0) {
      GlRotateInPlane(p.x, p.y, ca, sa);
      if (p.hasNormal) GlRotateInPlane(p.nx, p.ny, ca, sa);
    }
  }
}

void CGlPointArray::RotatePointsDegrees(double a, double b, double c) {
  RotatePoints(a * kGlDegToRad, b * kGlDegToRad, c * kGlDegToRad);
}

void CGlPointArray::MovePoints(float dx, float dy, float dz) {
  if (dx == 0.0f && dy == 0.0f && dz == 0.0f) return;
  for (CGlPoint& p : items_) {
    p.x += dx;
    p.y += dy;
    p.z += dz;
  }
}

void CGlPointArray::Scale(float s) {
  for (CGlPoint& p : items_) {
    p.x *= s;
    p.y *= s;
    p.z *= s;
  }
}

void CGlPointArray::Scale(float sx, float sy, float sz) {
  if (sx == 1.0f && sy == 1.0f && sz == 1.0f) return;
  for (CGlPoint& p : items_) {
    p.x *= sx;
    p.y *= sy;
    p.z *= sz;
  }
}

void CGlPointArray::MoveZ(float dz, float limit) {
  for (CGlPoint& p : items_) {
    if (p.z < limit) p.z += dz;
  }
}

void CGlPointArray::Mirror(bool mx, bool my, bool mz) {
  for (CGlPoint& p : items_) {
    if (mx) {
      p.x = -p.x;
      p.nx = -p.nx;
    }
    if (my) {
      p.y = -p.y;
      p.ny = -p.ny;
    }
    if (mz) {
      p.z = -p.z;
      p.nz = -p.nz;
    }
  }
}

double CGlPointArray::FlatDistance(int i) const {
  if (i < 1) return 0.0;
  const CGlPoint& p = Get(i - 1);
  const CGlPoint& q = Get(i);
  const float dx = q.x - p.x;
  const float dy = q.y - p.y;
  return std::sqrt(dx * dx + dy * dy);
}

void CGlPointArray::CentrePoint(const std::vector<int32_t>& indices, CGlPoint& out) const {
  double sx = 0.0, sy = 0.0, sz = 0.0;
  for (int32_t index : indices) {
    const CGlPoint& p = Get(index);
    sx += p.x;
    sy += p.y;
    sz += p.z;
  }
  if (indices.empty()) {
    out.x = out.y = out.z = 0.0f;
    return;
  }
  const double n = static_cast<double>(indices.size());
  out.x = static_cast<float>(sx / n);
  out.y = static_cast<float>(sy / n);
  out.z = static_cast<float>(sz / n);
}

void CGlPointArray::InitVertexNormals() {
  for (CGlPoint& p : items_) {
    p.nx = p.ny = p.nz = 0.0f;
    p.hasNormal = 0;
  }
}

int CGlPointArray::AddPointIfNeeded(int index, CGlPoint p) {
  CGlPoint& q = Get(index);
  if (q.hasNormal && p.hasNormal &&
      (std::fabs(q.nx - p.nx) >= kGlNormalTolerance || std::fabs(q.ny - p.ny) >= kGlNormalTolerance ||
       std::fabs(q.nz - p.nz) >= kGlNormalTolerance)) {
    return Add(p);
  }
  if (q.hasUV && p.hasUV && (std::fabs(q.u - p.u) >= kGlUVTolerance || std::fabs(q.v - p.v) >= kGlUVTolerance)) {
    return Add(p);
  }
  q = p;
  return index;
}

void CGlPointArray::TexCoordsFromFaces(CGlFaceArray& faces) {
  for (CGlFace& face : faces) {
    if (face.deleted || face.materialIndex < 0) continue;
    const int pairs = face.GetUVCount();
    for (int k = 0; k < face.GetVertexCount() && k < pairs; ++k) {
      CGlPoint copy = Get(face.vertices[k]);
      copy.u = face.uvs[2 * k];
      copy.v = face.uvs[2 * k + 1];
      copy.hasUV = 1;
      face.vertices[k] = AddPointIfNeeded(face.vertices[k], copy);
    }
  }
}

void CGlPointArray::PointUVs(CGlFaceArray& faces) {
  for (CGlFace& face : faces) {
    const int pairs = face.GetUVCount();
    for (int k = 0; k < face.GetVertexCount() && k < pairs; ++k) {
      const int32_t index = face.vertices[k];
      if (!InBounds(index)) continue;
      const float u = face.uvs[2 * k];
      const float v = face.uvs[2 * k + 1];
      CGlPoint& p = items_[static_cast<size_t>(index)];
      if (!p.hasUV) {
        p.u = u;
        p.v = v;
        p.hasUV = 1;
      } else if (p.u != u || p.v != v) {
        CGlPoint copy = p;
        copy.u = u;
        copy.v = v;
        face.vertices[k] = Add(copy);
      }
    }
  }
}

void CGlPointArray::PointNormals(const CGlFaceArray& faces) {
  for (const CGlFace& face : faces) {
    for (int k = 0; k < face.GetVertexCount(); ++k) {
      CGlPoint& p = Get(face.vertices[k]);
      if (p.hasNormal) continue;
      p.nx = face.normal.x;
      p.ny = face.normal.y;
      p.nz = face.normal.z;
      p.hasNormal = 1;
    }
  }
}

bool CGlPointArray::CheckNoDupPts(const CGlFace& face) const {
  for (int i = 0; i < face.GetVertexCount(); ++i) {
    const CGlPoint& p = Get(face.vertices[i]);
    for (int j = i + 1; j < face.GetVertexCount(); ++j) {
      if (p.CompareXYZ(Get(face.vertices[j])) == 0) return false;
    }
  }
  return true;
}

void CGlPointArray::ReverseFace(CGlFace& face) {
  int32_t added[CGlFace::kMaxVertices];
  const int n = face.GetVertexCount();
  for (int k = 0; k < n; ++k) {
    CGlPoint copy = Get(face.vertices[k]);
    copy.nx = -copy.nx;
    copy.ny = -copy.ny;
    copy.nz = -copy.nz;
    added[k] = Add(copy);
  }
  const int pairs = face.GetUVCount();
  float uv[CGlFace::kMaxFloats];
  for (int k = 0; k < pairs; ++k) {
    uv[2 * k] = 1.0f - face.uvs[2 * k];
    uv[2 * k + 1] = face.uvs[2 * k + 1];
  }
  face.normal.x = -face.normal.x;
  face.normal.y = -face.normal.y;
  face.normal.z = -face.normal.z;
  face.RemoveAllVertices();
  for (int k = n - 1; k >= 0; --k) face.AddVertex(added[k]);
  face.RemoveAllFloats();
  for (int k = pairs - 1; k >= 0; --k) face.AddUV(uv[2 * k], uv[2 * k + 1]);
}

}  // namespace lapforge
