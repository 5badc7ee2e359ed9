// The polygon record of a mesh (at most four vertices with their own texture
// coordinates, colour, normal, material and texture), and the per-material
// triangle index list kept for rendering-style writers.
#pragma once

#include <cstdint>
#include <vector>

#include "mesh/GlTypes.h"

namespace lapforge {

class CGlPointArray;

class CGlFace {
 public:
  static constexpr int kMaxVertices = 4;
  static constexpr int kMaxFloats = 8;

  // Appends while fewer than 4 vertices are present; a fifth is ignored.
  void AddVertex(int32_t index) {
    if (vertexCount < kMaxVertices) vertices[vertexCount++] = index;
  }
  // Appends while fewer than 8 floats are present.
  void AddFloat(float value) {
    if (uvCount < kMaxFloats) uvs[uvCount++] = value;
  }
  void AddUV(float u, float v) {
    AddFloat(u);
    AddFloat(v);
  }
  // The counts, clamped to the capacity so that a damaged record read from
  // a file can never send a loop outside the fixed arrays.
  int GetVertexCount() const { return vertexCount < 0 ? 0 : (vertexCount > kMaxVertices ? kMaxVertices : vertexCount); }
  int GetFloatCount() const { return uvCount < 0 ? 0 : (uvCount > kMaxFloats ? kMaxFloats : uvCount); }
  int GetUVCount() const { return GetFloatCount() / 2; }
  void RemoveAllVertices() { vertexCount = 0; }
  void RemoveAllFloats() { uvCount = 0; }
  // Vertex k (checked against the vertex count).
  int32_t GetVertex(int k) const;

  // Plane of the first three vertices, in double precision. A face without
  // area gets the normal (0, 0, 1) so that no non-finite value is stored.
  void FaceNormal(const CGlPointArray& points);
  // The same from a compact copy of the positions (x, y, z of point i at
  // 3 i), for passes that have one; the vertices must be checked before.
  void FaceNormal(const float* positions);
  // Reverses the winding: vertices in reverse order, UV pairs in reverse
  // pair order (each pair intact). The normal is not changed.
  void ReverseWinding();
  // Rebuilds the UV list with the colour-palette coordinates of a colour
  // (components in 0..1) inside "_rgbmap.tga".
  void SetPaletteUVs(float r, float g, float b);

  int32_t keep = 1;
  int32_t sourceIndex = -1;
  int32_t hasUVs = 0;
  int16_t uvCount = 0;  // floats in uvs
  float uvs[kMaxFloats] = {0, 0, 0, 0, 0, 0, 0, 0};
  int32_t vertexCount = 0;
  int32_t vertices[kMaxVertices] = {0, 0, 0, 0};
  _float_rgba faceColour{0.6f, 0.6f, 0.6f, 1.0f};
  _float_xyz normal;
  float planeD = 0.0f;
  int32_t normalValid = 0;
  int32_t deleted = 0;
  int32_t mipIndex = -1;
  int32_t materialIndex = -1;
  int32_t group = -1;
  int32_t sourceGroup = -1;

 private:
  void SetPlane(float x0, float y0, float z0, float x1, float y1, float z1, float x2, float y2, float z2);
};

// Kind 1 = triangle list (three indices per triangle), 2 = strip, 3 = fan;
// 0 = an empty record.
class CGlTriangles {
 public:
  int32_t kind = 0;
  int32_t materialIndex = -1;
  int32_t mipIndex = -1;
  std::vector<int32_t> indices;
};

}  // namespace lapforge
