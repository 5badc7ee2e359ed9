#include "tests/support/formats/WriterBlocks.h"

#include <gtest/gtest.h>

#include <cstring>

namespace lapforge {

namespace writertest {

namespace {

int AddTexturedFace(CGlFaceArray& faces, std::initializer_list<int> vertices, std::initializer_list<float> uvs,
                    int material) {
  CGlFace f;
  for (int v : vertices) f.AddVertex(v);
  for (float value : uvs) f.AddFloat(value);
  f.hasUVs = 1;
  f.materialIndex = material;
  return faces.Add(f);
}

CGlMaterial NamedMaterial(const std::string& name, const std::string& map) {
  CGlMaterial m;
  m.materialName = name;
  m.SetMapName(map);
  m.noDepthWrite = 0;
  return m;
}

}  // namespace

void MakeQuadBlock(CGlPointArray& points, CGlFaceArray& faces, CGlMaterialArray& materials) {
  points.Add(CGlPoint(0, 0, 0));
  points.Add(CGlPoint(2, 0, 0));
  points.Add(CGlPoint(2, 1, 0));
  points.Add(CGlPoint(0, 1, 0));
  AddTexturedFace(faces, {0, 1, 2, 3}, {0, 0, 1, 0, 1, 1, 0, 1}, 0);
  materials.Add(NamedMaterial("Road", "tex/asphalt.png"));
}

void MakeTwoMaterialBlock(CGlPointArray& points, CGlFaceArray& faces, CGlMaterialArray& materials) {
  points.Add(CGlPoint(0, 0, 0));
  points.Add(CGlPoint(1, 0, 0));
  points.Add(CGlPoint(0, 1, 0));
  points.Add(CGlPoint(1, 1, 0));
  AddTexturedFace(faces, {0, 1, 2}, {0, 0, 1, 0, 0, 1}, 0);
  AddTexturedFace(faces, {1, 3, 2}, {1, 0, 1, 1, 0, 1}, 1);
  materials.Add(NamedMaterial("Grass", "maps/grass.png"));
  CGlMaterial fence = NamedMaterial("Fence", "fence.dds");
  fence.transparencyMode = 1;
  fence.chromaKey = 0x102030;
  materials.Add(fence);
}

std::string FirstDifference(const std::vector<uint8_t>& actual, const std::vector<uint8_t>& expected) {
  const size_t n = std::min(actual.size(), expected.size());
  for (size_t i = 0; i < n; ++i) {
    if (actual[i] != expected[i])
      return "first difference at byte " + std::to_string(i) + ": " + std::to_string(actual[i]) + " instead of " +
             std::to_string(expected[i]);
  }
  if (actual.size() != expected.size())
    return "size " + std::to_string(actual.size()) + " instead of " + std::to_string(expected.size());
  return "";
}

namespace {
template <typename T>
T At(const std::vector<uint8_t>& bytes, size_t offset) {
  T v{};
  if (offset > bytes.size() || bytes.size() - offset < sizeof(T)) {
    ADD_FAILURE() << "read past the end at " << offset;
    return v;
  }
  std::memcpy(&v, bytes.data() + offset, sizeof(T));
  return v;
}
}  // namespace

uint32_t U32At(const std::vector<uint8_t>& bytes, size_t offset) { return At<uint32_t>(bytes, offset); }
int32_t I32At(const std::vector<uint8_t>& bytes, size_t offset) { return At<int32_t>(bytes, offset); }
uint16_t U16At(const std::vector<uint8_t>& bytes, size_t offset) { return At<uint16_t>(bytes, offset); }
float F32At(const std::vector<uint8_t>& bytes, size_t offset) { return At<float>(bytes, offset); }
std::string TextAt(const std::vector<uint8_t>& bytes, size_t offset, size_t field) {
  if (offset > bytes.size() || bytes.size() - offset < field) {
    ADD_FAILURE() << "text past the end at " << offset;
    return "";
  }
  const char* p = reinterpret_cast<const char*>(bytes.data() + offset);
  return std::string(p, strnlen(p, field));
}

}  // namespace writertest

}  // namespace lapforge
