// F1 MTS: object building (per material, palette object, shared vertices,
// extension policy, vertex limit) and the file layout pinned byte for byte.
#include <gtest/gtest.h>

#include "formats/gmt/GmtModel.h"
#include "formats/mts/MtsModel.h"
#include "support/ByteWriter.h"
#include "tests/support/TestSupport.h"
#include "tests/support/formats/WriterBlocks.h"

namespace lapforge {

using namespace writertest;

namespace {

// The expected material section of one object with one texture, no frames.
void ExpectedF1Material(CByteWriter& e, const std::string& upperName, const std::string& map, bool chroma) {
  e.FixedString(upperName, 32);
  e.U16(0);       // not blended, depth writes on
  e.U16(0x4890);
  e.F32(1), e.F32(1), e.F32(1);
  e.Zeroes(4);
  e.F32(1), e.F32(1), e.F32(1), e.F32(1);
  for (int i = 0; i < 8; ++i) e.U32(0x00003F80);  // bytes 80 3F 00 00
  e.U16(2), e.U16(1);
  e.F32(1);
  e.U32(1);
  e.FixedString(map, 32);
  e.U16(chroma ? 0x88 : 0x08), e.U16(0);
  e.I32(-1), e.I32(1);
  e.U32(0x00100000), e.U32(4);
  e.Zeroes(16);
  e.F32(1), e.F32(1);
  e.U32(chroma ? 0x00FF00FF : 0);
}

void ExpectedModelHeader(CByteWriter& e, float far, float ox, float oy, float oz) {
  e.FixedString("CUBE_MTS_4.10", 16);
  e.Zeroes(4);
  e.I32(0x8000);
  e.F32(1);
  e.Zeroes(220);
  e.F32(far);
  e.U32(6);
  e.F32(ox), e.F32(oy), e.F32(oz);
  e.Zeroes(12);
}

void ExpectedDescriptor(CByteWriter& e, int index, int vertices, int vertexOffset, int indices, int indexOffset) {
  e.I32(129), e.I32(index), e.I32(vertices), e.I32(vertexOffset), e.I32(indices), e.I32(indexOffset);
  e.Zeroes(40);
}

void ExpectedTriangle(CByteWriter& e, int a, int b, int c, int object, int number) {
  e.U16(uint16_t(a)), e.U16(uint16_t(b)), e.U16(uint16_t(c)), e.U16(0);
  e.I32(object), e.I32(number);
  e.Zeroes(20);
}

void ExpectedVertex(CByteWriter& e, float x, float y, float z, float u, float v) {
  e.F32(x), e.F32(y), e.F32(z);  // already in file order
  e.F32(0), e.F32(1), e.F32(0);  // up
  e.U32(0x00FFFFFF), e.U32(0);
  e.F32(u), e.F32(v);
  e.Zeroes(8);
}

}  // namespace

TEST(MtsWriter, QuadWithOneTexturedMaterialByteForByte) {
  CGlPointArray points;
  CGlFaceArray faces;
  CGlMaterialArray materials;
  MakeQuadBlock(points, faces, materials);
  CZMts mts;
  ASSERT_EQ(mts.MakeObject(points, faces, CGlMipArray(), materials, 0, 0, 0), 1);  // UV clamp on
  ASSERT_EQ(mts.objects.size(), 1u);  // no face for the palette: no palette object

  // Centred on (1, 0.5, 0); the quad's fan (0,1,3) (1,2,3) shares the two
  // diagonal corners, so four vertices: p0 p1 p3 p2.
  CByteWriter e;
  e.FixedString("CUBE_MTS_4.10", 16);
  e.U32(1);
  ExpectedF1Material(e, "ROAD", "asphalt.bmp", false);
  ASSERT_EQ(e.Size(), 212u);
  ExpectedModelHeader(e, 500.0f, 1.0f, 0.0f, 0.5f);
  e.I32(1), e.I32(328), e.I32(2), e.I32(392), e.I32(2), e.I32(464), e.I32(0), e.I32(496);
  e.Zeroes(16);
  ExpectedDescriptor(e, 0, 4, 496, 6, 688);
  ExpectedTriangle(e, 0, 1, 2, 0, 0);
  ExpectedTriangle(e, 1, 3, 2, 0, 1);
  for (int i = 0; i < 2; ++i) e.F32(0), e.F32(1), e.F32(0), e.U32(0);
  ASSERT_EQ(e.Size(), 212u + 496u);
  // Exactly 1.0 is written as 0.99 with the clamp on.
  ExpectedVertex(e, -1, 0, -0.5f, 0, 0);
  ExpectedVertex(e, 1, 0, -0.5f, 0.99f, 0);
  ExpectedVertex(e, -1, 0, 0.5f, 0, 0.99f);
  ExpectedVertex(e, 1, 0, 0.5f, 0.99f, 0.99f);
  for (int i : {0, 1, 2, 1, 3, 2}) e.U16(uint16_t(i));

  EXPECT_EQ(FirstDifference(mts.F1FileBytes(0), e.Buffer()), "");
}

TEST(MtsWriter, TwoMaterialsOneChromaKeyedByteForByte) {
  CGlPointArray points;
  CGlFaceArray faces;
  CGlMaterialArray materials;
  MakeTwoMaterialBlock(points, faces, materials);
  CZMts mts;
  mts.MakeObject(points, faces, CGlMipArray(), materials, 0, 1, 0);  // as the road calls it: no clamp

  CByteWriter e;
  e.FixedString("CUBE_MTS_4.10", 16);
  e.U32(2);
  ExpectedF1Material(e, "GRASS", "grass.bmp", false);
  ExpectedF1Material(e, "FENCE", "fence.bmp", true);  // no DDS for F1
  ASSERT_EQ(e.Size(), 404u);
  ExpectedModelHeader(e, 500.0f, 0.5f, 0.0f, 0.5f);
  e.I32(2), e.I32(328), e.I32(2), e.I32(456), e.I32(2), e.I32(528), e.I32(0), e.I32(560);
  e.Zeroes(16);
  ExpectedDescriptor(e, 0, 3, 560, 3, 704);
  ExpectedDescriptor(e, 1, 3, 710, 3, 854);
  ExpectedTriangle(e, 0, 1, 2, 0, 0);
  ExpectedTriangle(e, 0, 1, 2, 1, 1);
  for (int i = 0; i < 2; ++i) e.F32(0), e.F32(1), e.F32(0), e.U32(0);
  ExpectedVertex(e, -0.5f, 0, -0.5f, 0, 0);
  ExpectedVertex(e, 0.5f, 0, -0.5f, 1, 0);  // clamp off: 1.0 stays
  ExpectedVertex(e, -0.5f, 0, 0.5f, 0, 1);
  for (int i : {0, 1, 2}) e.U16(uint16_t(i));
  ExpectedVertex(e, 0.5f, 0, -0.5f, 1, 0);
  ExpectedVertex(e, 0.5f, 0, 0.5f, 1, 1);
  ExpectedVertex(e, -0.5f, 0, 0.5f, 0, 1);
  for (int i : {0, 1, 2}) e.U16(uint16_t(i));

  EXPECT_EQ(FirstDifference(mts.F1FileBytes(0), e.Buffer()), "");
}

// The object flags of a triangle list have bit 0 set (the games draw 128 as
// a strip); texture parameters start 00 00 10 00; vertex colour FF FF FF 00.
TEST(MtsWriter, ListFlagTextureWordAndVertexColourBytes) {
  CGlPointArray points;
  CGlFaceArray faces;
  CGlMaterialArray materials;
  MakeQuadBlock(points, faces, materials);
  CZMts mts;
  mts.MakeObject(points, faces, CGlMipArray(), materials, 0, 1, 0);
  const std::vector<uint8_t> bytes = mts.F1FileBytes(0);
  auto four = [&](size_t at) { return std::vector<uint8_t>(bytes.begin() + long(at), bytes.begin() + long(at) + 4); };
  // Descriptor 0 at 212 + 328; parameters of the first texture at 20 + 108 + 4 + 44.
  EXPECT_EQ(four(540), (std::vector<uint8_t>{0x81, 0x00, 0x00, 0x00}));
  EXPECT_EQ(four(176), (std::vector<uint8_t>{0x00, 0x00, 0x10, 0x00}));
  // First vertex at 212 + 496, colour after position and normal.
  EXPECT_EQ(four(708 + 24), (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0x00}));
  // Index count of a list object is three per triangle (T at 212 + 288).
  EXPECT_EQ(I32At(bytes, 540 + 16), 3 * I32At(bytes, 500));
}

TEST(MtsWriter, UpNormalsAndFarDistance) {
  CGlPointArray points;
  CGlFaceArray faces;
  CGlMaterialArray materials;
  MakeQuadBlock(points, faces, materials);
  // A wall facing -y: its normals would be (0, -1, 0).
  for (CGlPoint& p : points) std::swap(p.y, p.z);
  for (CGlPoint& p : points) p.x *= 200.0f;  // 400 across: far 4000
  CZMts mts;
  mts.MakeObject(points, faces, CGlMipArray(), materials, 0, 1, 0);
  std::vector<uint8_t> bytes = mts.F1FileBytes(0);
  EXPECT_EQ(F32At(bytes, 212 + 248), 4000.0f);
  const size_t normals = 212 + 464;
  EXPECT_EQ(F32At(bytes, normals + 8), -1.0f);  // file (x, z, y): y last
  bytes = mts.F1FileBytes(1);
  for (int t = 0; t < 2; ++t) {
    EXPECT_EQ(F32At(bytes, normals + 16 * t + 4), 1.0f);
    EXPECT_EQ(F32At(bytes, normals + 16 * t + 8), 0.0f);
  }
}

TEST(MtsWriter, ExtensionPolicy) {
  CZMts f1;
  CZGmt gmt;
  EXPECT_EQ(f1.AdjustedMapName("C:\\Maps\\Grass.PNG", true), "grass.bmp");
  EXPECT_EQ(gmt.AdjustedMapName("C:/maps/grass.png", true), "grass.tga");
  EXPECT_EQ(f1.AdjustedMapName("sky.dds", true), "sky.bmp");
  EXPECT_EQ(gmt.AdjustedMapName("sky.dds", true), "sky.dds");
  EXPECT_EQ(gmt.AdjustedMapName("sky.dds", false), "sky.dds");
  EXPECT_EQ(f1.AdjustedMapName("intro.bik", true), "intro.bik");
  EXPECT_EQ(f1.AdjustedMapName("intro.bik", false), "intro.bmp");
  EXPECT_EQ(gmt.AdjustedMapName("photo.jpg", true), "photo.jpg");
  EXPECT_EQ(gmt.AdjustedMapName("photo.jpg", false), "photo.tga");
  EXPECT_EQ(f1.AdjustedMapName("wall.tga", false), "wall.tga");
  // The palette follows the image the rFactor road writes beside the meshes.
  EXPECT_EQ(gmt.AdjustedMapName("_rgbmap.tga", true), "_rgbmap.dds");
  EXPECT_EQ(f1.AdjustedMapName("_rgbmap.tga", true), "_rgbmap.tga");
  EXPECT_EQ(f1.GetTextID(), "F1");
  EXPECT_EQ(gmt.GetTextID(), "RFACTOR");
}

TEST(MtsWriter, ObjectsFromMaterialsShapesAndSharedVertices) {
  CGlPointArray points;
  CGlFaceArray faces;
  CGlMaterialArray materials;
  MakeTwoMaterialBlock(points, faces, materials);
  // A third face without material, and a deleted one.
  CGlFace loose;
  for (int v : {0, 1, 3}) loose.AddVertex(v);
  loose.faceColour = {1.0f, 0.0f, 0.0f, 1.0f};
  faces.Add(loose);
  CGlFace gone = faces[0];
  gone.deleted = 1;
  faces.Add(gone);
  // Point 1 of the Grass face gets a second UV in another face of Grass.
  CGlFace again;
  for (int v : {1, 3, 0}) again.AddVertex(v);
  again.AddUV(0.5f, 0.5f), again.AddUV(1, 1), again.AddUV(0, 0);
  again.hasUVs = 1;
  again.materialIndex = 0;
  faces.Add(again);
  materials[1].transparencyMode = -1;
  materials[1].fallbackTransparencyMode = 2;

  CZMts mts;
  mts.MakeObject(points, faces, CGlMipArray(), materials, 0, 1, 0);
  ASSERT_EQ(mts.objects.size(), 3u);
  EXPECT_EQ(mts.triangleCount, 4);
  EXPECT_EQ(mts.TotalTriangles(), 4);
  // Grass: (0,1,2) then (1,3,0): point 1 again with another UV is a new
  // vertex, point 0 with the same UV is shared.
  EXPECT_EQ(mts.objects[0].points.GetSize(), 5);
  EXPECT_EQ(mts.objects[0].faces[1].vertices[2], 0);
  EXPECT_EQ(mts.objects[1].material.transparencyMode, 2);  // fallback
  for (const CGlFace& t : mts.objects[1].faces) EXPECT_EQ(t.mipIndex, 1);
  // The face without material lands on the palette object with palette UVs.
  EXPECT_EQ(mts.objects[2].objectName, "_RGBMAP");
  ASSERT_EQ(mts.objects[2].faces.GetSize(), 1);
  EXPECT_FLOAT_EQ(mts.objects[2].points[0].u, float(4 * 7 + 1) / 256.0f);
}

// An object of more vertices than 16-bit indices reach is split, without a
// message: nothing is lost.
TEST(MtsWriter, VertexLimitSplitsTheObjectWithoutAMessage) {
  CRecordingUI ui;
  CGlPointArray points;
  CGlFaceArray faces;
  CGlMaterialArray materials;
  CGlMaterial m;
  m.materialName = "Big";
  m.SetMapName("big.tga");
  materials.Add(m);
  const int triangles = 21846;  // 65538 own vertices: 21845 triangles fill 65535
  points.Reserve(3 * triangles);
  for (int i = 0; i < triangles; ++i) {
    CGlFace f;
    for (int c = 0; c < 3; ++c) {
      f.AddVertex(points.Add(CGlPoint(float(i), float(c), 0)));
      f.AddUV(float(c), float(i));
    }
    f.hasUVs = 1;
    f.materialIndex = 0;
    faces.Add(f);
  }
  CZMts mts;
  mts.MakeObject(points, faces, CGlMipArray(), materials, 0, 1, 0);
  EXPECT_TRUE(ui.shown.empty());
  ASSERT_EQ(mts.objects.size(), 2u);
  EXPECT_EQ(mts.objects[0].objectName, "Big");
  EXPECT_EQ(mts.objects[1].objectName, "Big_2");
  EXPECT_EQ(mts.objects[0].points.GetSize(), 65535);
  EXPECT_EQ(mts.objects[1].faces.GetSize(), 1);
  for (const CGlFace& t : mts.objects[1].faces) EXPECT_EQ(t.mipIndex, 1);
  const std::vector<uint8_t> bytes = mts.F1FileBytes(0);
  EXPECT_EQ(I32At(bytes, 2 * 192 + 20 + 328 + 8), 65535);
  EXPECT_EQ(I32At(bytes, 2 * 192 + 20 + 328 + 64 + 8), 3);
}

TEST(MtsWriter, LongNamesStayTerminatedAndFilesAreWritten) {
  CGlPointArray points;
  CGlFaceArray faces;
  CGlMaterialArray materials;
  MakeQuadBlock(points, faces, materials);
  materials[0].materialName = std::string(40, 'n');
  materials[0].SetMapName(std::string(40, 'm') + ".tga");
  CZMts mts;
  mts.MakeObject(points, faces, CGlMipArray(), materials, 0, 1, 0);
  CTempDir dir;
  ASSERT_TRUE(mts.WriteF1File(dir.File("block.mts"), 0));
  const std::vector<uint8_t> bytes = ReadBytes(dir.File("block.mts"));
  EXPECT_EQ(TextAt(bytes, 20, 32), std::string(31, 'N'));
  EXPECT_EQ(bytes[20 + 31], 0);
  EXPECT_EQ(TextAt(bytes, 20 + 112, 32), std::string(31, 'm'));
  EXPECT_EQ(bytes[20 + 112 + 31], 0);
  EXPECT_FALSE(mts.WriteF1File(dir.File("missing/block.mts"), 0));
}

}  // namespace lapforge
