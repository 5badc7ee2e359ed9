// The point array of a mesh: its vertices in one contiguous block, with the
// whole-array transforms and the texture-coordinate and normal bookkeeping
// that ties vertices to the faces using them.
#pragma once

#include <cstdint>
#include <vector>

#include "mesh/GlArray.h"
#include "mesh/GlPoint.h"

namespace lapforge {

class CGlFace;
class CGlFaceArray;

// Bounds carried for the 3SE format only; no mesh operation touches them.
struct CGlExtraBounds {
  float values[6] = {0, 0, 0, 0, 0, 0};
  int32_t flag = 0;
};

class CGlPointArray : public CGlArray<CGlPoint> {
 public:
  // Rotation by radians, steps c (Y-Z), b (X-Z), a (X-Y), each skipped when
  // zero; normals follow when hasNormal is set.
  void RotatePoints(double a, double b, double c);
  void RotatePointsDegrees(double a, double b, double c);
  void MovePoints(float dx, float dy, float dz);
  void Scale(float s);
  void Scale(float sx, float sy, float sz);
  // Adds dz to every point strictly below limit.
  void MoveZ(float dz, float limit);
  void Mirror(bool mx, bool my, bool mz);
  // X-Y distance between point i-1 and point i; 0 for i < 1.
  double FlatDistance(int i) const;
  void CentrePoint(const std::vector<int32_t>& indices, CGlPoint& out) const;
  void InitVertexNormals();
  // Gives vertex index the attributes of p, or appends p when the vertex
  // already carries a different normal or texture coordinate.
  int AddPointIfNeeded(int index, CGlPoint p);
  void TexCoordsFromFaces(CGlFaceArray& faces);
  void PointUVs(CGlFaceArray& faces);
  void PointNormals(const CGlFaceArray& faces);
  // False when two vertices of the face are at the same position.
  bool CheckNoDupPts(const CGlFace& face) const;
  // Gives the face its own mirrored-normal copies of its vertices, reversed.
  void ReverseFace(CGlFace& face);

  CGlExtraBounds extraBounds;
};

}  // namespace lapforge
