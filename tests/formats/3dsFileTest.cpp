#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "formats/3ds/3dsFile.h"
#include "support/ByteWriter.h"
#include "support/FileIO.h"
#include "tests/support/TestSupport.h"
#include "tests/support/formats/MaxChunkReader.h"
#include "tests/support/mesh/MeshBuilders.h"

namespace lapforge {

using formatstest::MaxChunk;
using formatstest::ParseMaxFile;
using meshtest::AddFace;
using meshtest::AddFaceUV;
using meshtest::AddPoint;

namespace {

CGlMaterial Material(const std::string& name, const std::string& map) {
  CGlMaterial m;
  m.materialName = name;
  if (!map.empty()) m.SetMapName(map);
  return m;
}

MaxChunk Parse(CZMaxFile& file) {
  std::vector<uint8_t> bytes;
  EXPECT_TRUE(file.FileImage(bytes));
  std::string error;
  MaxChunk root;
  EXPECT_TRUE(ParseMaxFile(bytes, root, error)) << error;
  EXPECT_EQ(root.length, bytes.size());
  return root;
}

void Header(CByteWriter& w, uint16_t id, uint32_t length) {
  w.U16(id);
  w.U32(length);
}
void Text(CByteWriter& w, const char* s) { w.Bytes(s, std::strlen(s) + 1); }
void White(CByteWriter& w, uint16_t id) {
  Header(w, id, 15);
  Header(w, 0x0011, 9);
  w.U8(255);
  w.U8(255);
  w.U8(255);
}

}  // namespace

// One triangle with one textured material: the whole file, every length
// summed by hand from the chunk sizes (header 6 + own data + children).
TEST(MaxFile, OneTriangleFile) {
  CGlPointArray points;
  CGlFaceArray faces;
  CGlMaterialArray materials;
  materials.Add(Material("road", "C:\\maps\\road.png"));
  AddPoint(points, 0, 0, 0);
  AddPoint(points, 1, 0, 0);
  AddPoint(points, 0, 2, 3);
  AddFaceUV(faces, {0, 1, 2}, {0.25f, 0.75f, 1.0f, 0.5f, 0.0f, 1.0f}, 0);

  CZMaxFile file;
  file.AddGlObject(points, faces, materials, "blk", false, false);
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(file.FileImage(bytes));

  CByteWriter w;
  Header(w, 0x4D4D, 246);  // 16 + edit 230
  Header(w, 0x0002, 10);
  w.U32(3);
  Header(w, 0x3D3D, 230);  // 6 + 10 + material 91 + object 123
  Header(w, 0x3D3E, 10);
  w.U32(3);
  Header(w, 0xAFFF, 91);  // 6 + name 11 + colours 45 + map 29
  Header(w, 0xA000, 11);
  Text(w, "road");
  White(w, 0xA010);
  White(w, 0xA020);
  White(w, 0xA030);
  Header(w, 0xA200, 29);  // 6 + 8 + 15
  Header(w, 0x0030, 8);
  w.U16(100);
  Header(w, 0xA300, 15);
  Text(w, "road.tga");
  Header(w, 0x4000, 123);  // 10 + mesh 113
  Text(w, "blk");
  Header(w, 0x4100, 113);  // 6 + 44 + 32 + 31
  Header(w, 0x4110, 44);
  w.U16(3);
  for (float v : {0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 2.f, 3.f}) w.F32(v);
  Header(w, 0x4140, 32);
  w.U16(3);
  for (float v : {0.25f, -0.75f, 1.0f, -0.5f, 0.0f, -1.0f}) w.F32(v);
  Header(w, 0x4120, 31);  // 16 + group 15
  w.U16(1);
  for (uint16_t v : {0, 1, 2, 0x15}) w.U16(v);
  Header(w, 0x4130, 15);
  Text(w, "road");
  w.U16(1);
  w.U16(0);
  EXPECT_EQ(bytes, w.Buffer());
}

// A quad becomes two triangles (a fan around its last vertex) over six
// unshared points; faces without a material go to "_NoMap"; a face
// without UV pairs maps to (0, 0).
TEST(MaxFile, TrianglesPointsAndGroups) {
  CGlPointArray points;
  CGlFaceArray faces;
  CGlMaterialArray materials;
  materials.Add(Material("grass", "grass.bmp"));
  materials.Add(Material("unused", ""));
  for (int i = 0; i < 5; ++i) AddPoint(points, static_cast<float>(i), 10.0f * i, 0);
  AddFaceUV(faces, {0, 1, 2, 3}, {0, 0.1f, 1, 0.2f, 2, 0.3f, 3, 0.4f}, 0);
  AddFace(faces, {2, 3, 4}, -1);
  AddFace(faces, {0, 1}, 0);                        // too few vertices: skipped
  faces[AddFace(faces, {0, 1, 4}, 0)].deleted = 1;  // deleted: skipped

  CZMaxFile file;
  file.AddGlObject(points, faces, materials, "", false, false);
  MaxChunk root = Parse(file);
  const MaxChunk& edit = root.Child(0x3D3D);
  ASSERT_EQ(edit.All(0x4000).size(), 1u);
  const MaxChunk& named = edit.Child(0x4000);
  EXPECT_EQ(named.Text(), "Obj0001");
  const MaxChunk& mesh = named.Child(0x4100);
  ASSERT_EQ(mesh.children.size(), 3u);
  EXPECT_EQ(mesh.children[0].id, 0x4110);
  EXPECT_EQ(mesh.children[1].id, 0x4140);
  EXPECT_EQ(mesh.children[2].id, 0x4120);

  const MaxChunk& pts = mesh.children[0];
  ASSERT_EQ(pts.U16(0), 9);
  const int order[9] = {0, 1, 3, 1, 2, 3, 2, 3, 4};
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(pts.F32(2 + 12 * i), static_cast<float>(order[i]));
    EXPECT_EQ(pts.F32(2 + 12 * i + 4), 10.0f * order[i]);
  }
  const MaxChunk& map = mesh.children[1];
  ASSERT_EQ(map.U16(0), 9);
  const float v[9] = {-0.1f, -0.2f, -0.4f, -0.2f, -0.3f, -0.4f, 0, 0, 0};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(map.F32(2 + 8 * i + 4), v[i]) << i;
  EXPECT_EQ(map.F32(2 + 8 * 2), 3.0f);

  const MaxChunk& tri = mesh.children[2];
  ASSERT_EQ(tri.U16(0), 3);
  for (int t = 0; t < 3; ++t) {
    EXPECT_EQ(tri.U16(2 + 8 * t), 3 * t);
    EXPECT_EQ(tri.U16(4 + 8 * t), 3 * t + 1);
    EXPECT_EQ(tri.U16(6 + 8 * t), 3 * t + 2);
    EXPECT_EQ(tri.U16(8 + 8 * t), 0x15);
  }
  // One group per material of the list (an unused one is empty), then _NoMap.
  ASSERT_EQ(tri.children.size(), 3u);
  EXPECT_EQ(tri.children[0].Text(), "grass");
  EXPECT_EQ(tri.children[0].U16(6), 2);
  EXPECT_EQ(tri.children[0].U16(8), 0);
  EXPECT_EQ(tri.children[0].U16(10), 1);
  EXPECT_EQ(tri.children[1].Text(), "unused");
  EXPECT_EQ(tri.children[1].U16(7), 0);
  EXPECT_EQ(tri.children[2].Text(), "_NoMap");
  EXPECT_EQ(tri.children[2].U16(7), 1);
  EXPECT_EQ(tri.children[2].U16(9), 2);

  // Material entries precede the objects; a map keeps bmp, _NoMap has none.
  const auto entries = edit.All(0xAFFF);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(edit.children[1].id, 0xAFFF);
  EXPECT_EQ(edit.children.back().id, 0x4000);
  EXPECT_EQ(entries[0]->Child(0xA200).Child(0xA300).Text(), "grass.bmp");
  EXPECT_TRUE(entries[1]->All(0xA200).empty());
  EXPECT_EQ(entries[2]->Child(0xA000).Text(), "_NoMap");
  EXPECT_TRUE(entries[2]->All(0xA200).empty());
}

// Materials shared by several objects are listed once; short names cut the
// material name and the map title to 8 characters (5 + check number).
TEST(MaxFile, SharedMaterialsAndShortNames) {
  CGlPointArray points;
  CGlFaceArray faces;
  CGlMaterialArray materials;
  materials.Add(Material("asphalt_main", "C:\\Tex\\LongTexture.BMP"));
  materials.Add(Material("kerb", "D:/t/kerb.jpg"));
  for (int i = 0; i < 3; ++i) AddPoint(points, static_cast<float>(i), 0, 1);
  AddFace(faces, {0, 1, 2}, 0);
  AddFace(faces, {0, 1, 2}, 1);

  CZMaxFile file;
  file.AddGlObject(points, faces, materials, "a", true, false);
  file.AddGlObject(points, faces, materials, "b", true, false);
  file.AddGlObject(points, CGlFaceArray(), materials, "empty", true, false);
  EXPECT_EQ(file.ObjectCount(), 2);
  MaxChunk root = Parse(file);
  const MaxChunk& edit = root.Child(0x3D3D);
  const auto entries = edit.All(0xAFFF);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0]->Child(0xA000).Text(), "aspha029");
  EXPECT_EQ(entries[0]->Child(0xA200).Child(0xA300).Text(), "longt084.bmp");
  EXPECT_EQ(entries[1]->Child(0xA000).Text(), "kerb");
  EXPECT_EQ(entries[1]->Child(0xA200).Child(0xA300).Text(), "kerb.tga");
  const auto objects = edit.All(0x4000);
  ASSERT_EQ(objects.size(), 2u);
  EXPECT_EQ(objects[1]->Text(), "b");
  EXPECT_EQ(objects[1]->Child(0x4100).Child(0x4120).children[0].Text(), "aspha029");
}

// The point count is 16 bits: a block of more triangles than fit is split
// into objects NAME, NAME_2; coordinates that are not finite become 0.
TEST(MaxFile, LargeBlockSplitAndNonFinite) {
  CGlPointArray points;
  CGlFaceArray faces;
  CGlMaterialArray materials;
  materials.Add(Material("m", ""));
  AddPoint(points, 0, 0, 0);
  AddPoint(points, 1, 0, 0);
  AddPoint(points, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), 2);
  const int total = CZMaxFile::kMaxTriangles + 1;
  faces.Reserve(total);
  for (int i = 0; i < total; ++i) AddFace(faces, {0, 1, 2}, 0);

  CZMaxFile file;
  file.AddGlObject(points, faces, materials, "big", false, false);
  MaxChunk root = Parse(file);
  const auto objects = root.Child(0x3D3D).All(0x4000);
  ASSERT_EQ(objects.size(), 2u);
  EXPECT_EQ(objects[0]->Text(), "big");
  EXPECT_EQ(objects[1]->Text(), "big_2");
  const MaxChunk& first = objects[0]->Child(0x4100);
  EXPECT_EQ(first.Child(0x4110).U16(0), 65535);
  EXPECT_EQ(first.Child(0x4120).U16(0), 21845);
  const MaxChunk& second = objects[1]->Child(0x4100);
  EXPECT_EQ(second.Child(0x4110).U16(0), 3);
  EXPECT_EQ(second.Child(0x4120).U16(0), 1);
  const MaxChunk& group = second.Child(0x4120).children.at(0);
  EXPECT_EQ(group.U16(2), 1);
  EXPECT_EQ(group.U16(4), 0);
  EXPECT_EQ(second.Child(0x4110).F32(2 + 24), 0.0f);
  EXPECT_EQ(second.Child(0x4110).F32(2 + 28), 0.0f);
  EXPECT_EQ(second.Child(0x4110).F32(2 + 32), 2.0f);
}

// Streamed, each block's objects are written when the export's material
// list may still grow: the file must be the one made from the whole list
// given to every block. Each case is the blocks' triangles by material
// index (-1 none), the list growing by a material per block; a block past
// the triangle limit (0 in the list: 21,846 triangles of material 0) is
// split and gets its groups in each part.
class MaxStream : public ::testing::TestWithParam<std::vector<std::vector<int>>> {};

TEST_P(MaxStream, GrowingMaterialListWritesWhatTheWholeListWould) {
  const std::vector<std::vector<int>>& blocks = GetParam();
  CGlMaterialArray whole;
  for (size_t b = 0; b < blocks.size(); ++b)
    whole.Add(Material("material" + std::to_string(b), b % 2 ? "map" + std::to_string(b) + ".png" : ""));
  std::vector<CGlPointArray> points(blocks.size());
  std::vector<CGlFaceArray> faces(blocks.size());
  for (size_t b = 0; b < blocks.size(); ++b) {
    for (int i = 0; i < 3; ++i) AddPoint(points[b], static_cast<float>(b + i), static_cast<float>(i), 1.0f);
    for (int m : blocks[b]) {
      if (m == 0 && blocks[b].size() == 1)
        for (int t = 0; t < CZMaxFile::kMaxTriangles; ++t) AddFaceUV(faces[b], {0, 1, 2}, {0, 0, 1, 0, 1, 1}, 0);
      AddFaceUV(faces[b], {0, 1, 2}, {0, 0, 1, 0, 1, 1}, m);
    }
  }
  CTempDir dir;
  CZMaxFile streamed;
  ASSERT_TRUE(streamed.StartStream(dir.File("s.3ds"), true));
  CGlMaterialArray growing;
  for (size_t b = 0; b < blocks.size(); ++b) {
    growing.Add(whole.Get(static_cast<int>(b)));
    streamed.AddGlObject(points[b], faces[b], growing, "block" + std::to_string(b), true, false);
    streamed.FlushObjects();
  }
  ASSERT_TRUE(streamed.FinishStream(growing));
  CZMaxFile held;
  for (size_t b = 0; b < blocks.size(); ++b)
    held.AddGlObject(points[b], faces[b], whole, "block" + std::to_string(b), true, false);
  std::vector<uint8_t> expected, written;
  ASSERT_TRUE(held.FileImage(expected));
  ASSERT_TRUE(ReadWholeFile(dir.File("s.3ds"), written));
  EXPECT_EQ(written, expected);
  std::string error;
  MaxChunk root;
  EXPECT_TRUE(ParseMaxFile(written, root, error)) << error;
}

INSTANTIATE_TEST_SUITE_P(Blocks, MaxStream,
                         ::testing::Values(std::vector<std::vector<int>>{{0}, {0, 1}, {2, 1, 0}},
                                           std::vector<std::vector<int>>{{-1, 0}, {}, {1, -1}, {3}},
                                           std::vector<std::vector<int>>{{}, {}},
                                           std::vector<std::vector<int>>{{0}}));

}  // namespace lapforge
