#include "tests/support/mesh/MeshBuilders.h"

namespace lapforge {

namespace meshtest {

int AddPoint(CGlPointArray& points, float x, float y, float z) { return points.Add(CGlPoint(x, y, z)); }

int AddFace(CGlFaceArray& faces, std::initializer_list<int> vertices, int material) {
  CGlFace f;
  for (int v : vertices) f.AddVertex(v);
  f.materialIndex = material;
  return faces.Add(f);
}

int AddFaceUV(CGlFaceArray& faces, std::initializer_list<int> vertices, std::initializer_list<float> uvs,
              int material) {
  const int index = AddFace(faces, vertices, material);
  for (float value : uvs) faces[index].AddFloat(value);
  return index;
}

void MakeCube(CGlPointArray& points, CGlFaceArray& faces) {
  struct Side {
    float c[4][3];
  };
  const Side sides[6] = {
      {{{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}}},  // bottom, -z
      {{{0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}}},  // top, +z
      {{{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}}},  // front, -y
      {{{0, 1, 0}, {0, 1, 1}, {1, 1, 1}, {1, 1, 0}}},  // back, +y
      {{{0, 0, 0}, {0, 0, 1}, {0, 1, 1}, {0, 1, 0}}},  // left, -x
      {{{1, 0, 0}, {1, 1, 0}, {1, 1, 1}, {1, 0, 1}}},  // right, +x
  };
  for (const Side& s : sides) {
    const int first = points.GetSize();
    for (const auto& c : s.c) AddPoint(points, c[0], c[1], c[2]);
    AddFace(faces, {first, first + 1, first + 2, first + 3}, 0);
  }
}

void MakeGrid(CGlPointArray& points, CGlFaceArray& faces, int nx, int ny, bool shared) {
  if (shared) {
    const int first = points.GetSize();
    for (int j = 0; j <= ny; ++j) {
      for (int i = 0; i <= nx; ++i) AddPoint(points, static_cast<float>(i), static_cast<float>(j), 0.0f);
    }
    auto at = [&](int i, int j) { return first + j * (nx + 1) + i; };
    for (int j = 0; j < ny; ++j) {
      for (int i = 0; i < nx; ++i) AddFace(faces, {at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)}, 0);
    }
    return;
  }
  for (int j = 0; j < ny; ++j) {
    for (int i = 0; i < nx; ++i) {
      const float x = static_cast<float>(i), y = static_cast<float>(j);
      const int a = AddPoint(points, x, y, 0.0f);
      const int b = AddPoint(points, x + 1, y, 0.0f);
      const int c = AddPoint(points, x + 1, y + 1, 0.0f);
      const int d = AddPoint(points, x, y + 1, 0.0f);
      AddFace(faces, {a, b, c, d}, 0);
    }
  }
}

}  // namespace meshtest

}  // namespace lapforge
