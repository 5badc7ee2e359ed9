// The polygon record of a mesh (at most four vertices with their own texture
// coordinates, colour, normal, material and texture), and the per-material
// triangle index list kept for rendering-style writers.
#pragma once

#include <cstdint>
#include <vector>

#include "mesh/GlTypes.h"

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
  int GetVertexCount() const { return vertexCount; }
  int GetFloatCount() const { return uvCount; }
  int GetUVCount() const { return uvCount / 2; }
  void RemoveAllVertices() { vertexCount = 0; }
  void RemoveAllFloats() { uvCount = 0; }
  // Vertex k (checked against the vertex count).
  int32_t GetVertex(int k) const;

  // Plane of the first three vertices, in double precision.
  void FaceNormal(const CGlPointArray& points);

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
