#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "formats/gmt/GtlFile.h"
#include "formats/gmt/GtrFile.h"
#include "support/ByteWriter.h"
#include "tests/support/TestSupport.h"

namespace lapforge {

namespace {

// One object of one triangle in the plane z = 2, normal +z, over three
// points with UVs, as the object builder leaves it.
CMtsObj Triangle(const std::string& mapName) {
  CMtsObj o;
  o.mapName = mapName;
  o.objectName = "Road";
  const float xy[3][2] = {{0, 0}, {3, 0}, {0, 3}};
  for (int i = 0; i < 3; ++i) {
    CGlPoint p(xy[i][0], xy[i][1], 2.0f);
    p.nz = 1.0f;
    p.hasNormal = 1;
    p.u = 0.5f * i;
    p.v = 1.0f;
    o.points.Add(p);
  }
  CGlFace f;
  f.AddVertex(0);
  f.AddVertex(1);
  f.AddVertex(2);
  f.normal = {0, 0, 1};
  f.mipIndex = 0;
  o.faces.Add(f);
  o.material.materialName = "Road";
  o.material.SetMapName(mapName);
  return o;
}

uint32_t U32At(const std::vector<uint8_t>& b, size_t at) {
  uint32_t v = 0;
  if (at + 4 <= b.size()) std::memcpy(&v, b.data() + at, 4);
  return v;
}

std::vector<uint8_t> Slice(const std::vector<uint8_t>& b, size_t at, size_t n) {
  if (at + n > b.size()) return {};
  return std::vector<uint8_t>(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at + n));
}

}  // namespace

// The whole GTR file of one triangle: header, descriptor, triangle record,
// normal, vertices, indices, then a blended material with a cube map and
// two diffuse maps (main texture and the cube map: count 2).
TEST(GtrFile, OneTriangleFile) {
  CZGtrFile gtr;
  CMtsObj o = Triangle("road.tga");
  CGlMaterial& m = o.material;
  m.transparencyMode = 2;
  m.noDepthWrite = 0;
  m.exponent = 7.5f;
  m.textureBias = 0.25f;
  m.shader.maps[0].stageType = 1;
  m.shader.maps[1].stageType = 11;
  m.shader.maps[1].textureName = "C:\\env\\cube.dds";
  m.shader.maps[1].uScale = 2;
  m.shader.maps[1].vScale = 3;
  m.shader.maps[2].stageType = 1;
  gtr.objects.push_back(o);
  gtr.origin[0] = 1, gtr.origin[1] = 2, gtr.origin[2] = 3;
  gtr.largestExtent = 60;  // far = 10 x 60
  gtr.uvClamp = 0;         // as the export builds GTR objects: v = 1.0 stays
  const std::vector<uint8_t> bytes = gtr.GTRFileBytes(false);

  CByteWriter e;
  e.U32(598 - 4);  // material section at 332 + 64 + 36 + 16 + 3 * 48 + 6
  for (uint32_t w : {0xD8D2CFC8u, 0xC3E6D8CEu, 0xBDD8DED6u, 0x90BFA6BBu}) e.U32(w);
  e.Zeroes(5);
  e.U8(0x80);
  e.Zeroes(252 - 26);
  e.F32(600.0f);
  e.Zeroes(4);
  for (float f : {1.f, 2.f, 3.f}) e.F32(f);
  e.Zeroes(284 - 272);
  for (int32_t v : {1, 328, 1, 392, 1, 428, 0, 444}) e.I32(v);
  e.Zeroes(332 - 316);
  // Descriptor: flag 1, object 0, 3 vertices at 444, 3 indices at 444 + 144.
  for (int32_t v : {1, 0, 3, 444, 3, 588}) e.I32(v);
  e.Zeroes(40);
  // Triangle record.
  for (uint16_t v : {0, 1, 2, 0}) e.U16(v);
  e.I32(0);
  e.I32(0);
  e.Zeroes(20);
  // Normal (x, z, y, 0).
  for (float f : {0.f, 1.f, 0.f, 0.f}) e.F32(f);
  // Vertices.
  const float xy[3][2] = {{0, 0}, {3, 0}, {0, 3}};
  for (int i = 0; i < 3; ++i) {
    for (float f : {xy[i][0], 2.0f, xy[i][1], 0.f, 1.f, 0.f}) e.F32(f);
    e.U32(0x00FFFFFF);
    e.U32(0);
    e.F32(0.5f * i);
    e.F32(1.0f);
    e.Zeroes(8);
  }
  for (uint16_t v : {0, 1, 2}) e.U16(v);
  ASSERT_EQ(e.Size(), 598u);
  // Material section.
  e.U32(1);
  e.FixedString("ROAD", 32);
  e.U16(0x0023);
  e.U16(0x6890);
  for (int i = 0; i < 3; ++i) e.F32(1.0f);
  e.Zeroes(4);
  for (int i = 0; i < 4; ++i) e.F32(1.0f);
  for (int i = 0; i < 8; ++i) e.Bytes("\x80\x3F\x00\x00", 4);
  e.U16(5);
  e.U16(6);
  e.F32(7.5f);
  e.U32(2);
  e.FixedString("road.tga", 32);
  e.U16(0x0018);
  e.U16(0);
  e.I32(-1);
  e.I32(1);
  for (uint32_t v : {0x00100000u, 4u, 1u, 0u, 0u, 0u}) e.U32(v);
  e.F32(1.0f);
  e.F32(1.0f);
  e.U32(0x01000000);
  e.F32(0.25f);
  e.FixedString("cube.dds", 32);
  e.U16(0x0018);
  e.U16(0);
  e.I32(-1);
  e.I32(1);
  for (uint32_t v : {0x00800000u, 4u, 1u, 0u, 0u, 0u}) e.U32(v);
  e.F32(2.0f);
  e.F32(3.0f);
  e.U32(0x01000000);
  e.F32(0.25f);
  ASSERT_EQ(bytes.size(), e.Size());
  for (size_t i = 0; i < bytes.size(); ++i) ASSERT_EQ(bytes[i], e.Buffer()[i]) << "at " << i;
}

// Titles starting with sky, cloud or horiz get up-normals: descriptors
// start with 0 and every normal is (0, 1, 0, 0). Two cube maps are both
// counted. Animated materials write their frame list. Long names are cut.
TEST(GtrFile, UpNormalsCubeMapsAndAnimation) {
  EXPECT_TRUE(CZGtrFile::UpNormalsTitle("sky_dome"));
  EXPECT_TRUE(CZGtrFile::UpNormalsTitle("Clouds"));
  EXPECT_TRUE(CZGtrFile::UpNormalsTitle("horizon"));
  EXPECT_FALSE(CZGtrFile::UpNormalsTitle("track_sky"));

  CTempDir dir;
  CZGtrFile gtr;
  CMtsObj o = Triangle("road.tga");
  o.faces[0].normal = {1, 0, 0};
  o.material.shader.maps[0].stageType = 11;
  o.material.shader.maps[1].stageType = 11;
  o.material.frameCount = 3;
  o.material.frameList[0] = 2;
  o.material.frameList[1] = 4;
  o.material.frameList[2] = 5;
  o.material.textureKind = 1;
  o.material.animationRate = 2.0f;
  o.material.materialName = std::string(40, 'm');
  gtr.objects.push_back(o);
  ASSERT_TRUE(gtr.WriteGTRFile(dir.File("sky_dome.gmt"), 0));
  const std::vector<uint8_t> bytes = ReadBytes(dir.File("sky_dome.gmt"));
  EXPECT_EQ(U32At(bytes, 332), 0u);
  const std::vector<uint8_t> up = Slice(bytes, 432, 16);
  const float expected[4] = {0, 1, 0, 0};
  ASSERT_EQ(up.size(), 16u);
  EXPECT_EQ(std::memcmp(up.data(), expected, 16), 0);

  const size_t p = U32At(bytes, 0) + 4;
  ASSERT_EQ(p, 598u);
  // The name is cut to its field, NUL-terminated.
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data() + p + 4)), std::string(31, 'M'));
  EXPECT_EQ(U32At(bytes, p + 4 + 108), 3u);  // main texture and two cube maps
  const size_t main = p + 4 + 108 + 4;
  EXPECT_EQ(U32At(bytes, main + 40), 3u);  // frame count
  EXPECT_EQ(U32At(bytes, main + 44), 2u);  // list length
  EXPECT_EQ(U32At(bytes, main + 48), 4u);
  EXPECT_EQ(U32At(bytes, main + 52), 5u);
  EXPECT_EQ(U32At(bytes, main + 56), 257u);  // kind + 256
  // Main texture (44 + 20 animation + 40), then two cube map pairs (84 each).
  EXPECT_EQ(bytes.size(), main + 44 + 20 + 40 + 2 * 84);
  EXPECT_EQ(U32At(bytes, main + 104 + 44), 0x00800000u);

  gtr.objects[0].material.shader.maps[0].stageType = 1;
  ASSERT_TRUE(gtr.WriteGTRFile(dir.File("track.gmt"), 0));
  const std::vector<uint8_t> flat = ReadBytes(dir.File("track.gmt"));
  EXPECT_EQ(U32At(flat, 332), 1u);
  EXPECT_EQ(U32At(flat, 432), 0x3F800000u);  // normal (1, 0, 0) keeps its x
  EXPECT_FALSE(gtr.WriteGTRFile(dir.File("none/track.gmt"), 0));
}

// GTL: the 532-byte header, a 108-byte descriptor and a 36-byte collision
// triangle with its plane distance; vertex, UV and index blocks without a
// second UV block; the first word gives the material section.
TEST(GtlFile, HeaderDescriptorAndCollision) {
  CTempDir dir;
  CZGTLFile gtl;
  gtl.objects.push_back(Triangle("road.tga"));
  gtl.corners[0][0] = 3, gtl.corners[0][1] = 4;  // radius 5 from the centre (0, 0, 0)
  gtl.origin[0] = 1, gtl.origin[1] = 2, gtl.origin[2] = 3;
  CGlObjTag tag;
  tag.nearDistance = 10;
  tag.farDistance = 500;
  ASSERT_TRUE(gtl.WriteGTLFile(dir.File("Blk.gmt"), tag));
  const std::vector<uint8_t> bytes = ReadBytes(dir.File("Blk.gmt"));
  ASSERT_GT(bytes.size(), 800u);

  CByteWriter e;
  // Header, from byte 4.
  e.I16(32);
  e.I16(1024);
  e.Bytes("\xC8\xCF\xD2\xD8\xCE\xD8\xE6\xC3\xD6\xDE\xD8\xBE\xBB\xA7\xBF\x90", 16);
  e.F32(5.0f);
  for (float f : {3.f, 0.f, 4.f}) e.F32(f);  // first corner, file order
  e.Zeroes(220 - 40);
  e.Zeroes(24);  // centre twice
  e.F32(10.0f);
  e.F32(500.0f);
  e.Zeroes(308 - 252);
  for (float f : {1.f, 2.f, 3.f}) e.F32(f);
  e.Zeroes(8);
  for (float f : {1.f, 2.f, 3.f}) e.F32(f);
  e.Zeroes(364 - 340);
  // 1 object at 528; 1 triangle at 528 + 108 = 636; normals at 636 + 36 =
  // 672; vertices at 672 + 16 = 688.
  for (int32_t v : {1, 528, 1, 636, 1, 672, 0, 688}) e.I32(v);
  e.Zeroes(8);
  e.FixedString("blk", 64);
  e.Zeroes(532 - 468);
  // Descriptor: vertex block 688, UV block 688 + 96, index block + 96 more.
  e.U32(0x20004011);
  for (int32_t v : {0, 3, 688, 0, 784, 0, 0, 0, 3, 880}) e.I32(v);
  e.Zeroes(16);
  e.I32(-1);
  e.Zeroes(44);
  // Collision triangle: indices, facing code 2 (+z), object, number, plane
  // distance 2 (normal . centroid (1, 1, 2)), centroid (x, z, y), radius.
  for (uint16_t v : {0, 1, 2, 2}) e.U16(v);
  e.I32(0);
  e.I32(0);
  for (float f : {2.f, 1.f, 2.f, 1.f, std::sqrt(5.0f)}) e.F32(f);
  // Normal.
  for (float f : {0.f, 1.f, 0.f, 0.f}) e.F32(f);
  ASSERT_EQ(e.Size() + 4, 692u);
  EXPECT_EQ(Slice(bytes, 4, e.Size()), e.Buffer());

  // Vertex block: position and normal in file order, colour, zero.
  EXPECT_EQ(U32At(bytes, 692 + 32 + 0), 0x40400000u);  // x = 3
  EXPECT_EQ(U32At(bytes, 692 + 32 + 4), 0x40000000u);  // file y = z = 2
  EXPECT_EQ(U32At(bytes, 692 + 32 + 24), 0xFFFFFFFFu);
  // UV block of point 1: (0.5, 1) four times.
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(U32At(bytes, 788 + 32 + 8 * k), 0x3F000000u);
    EXPECT_EQ(U32At(bytes, 788 + 32 + 8 * k + 4), 0x3F800000u);
  }
  // Index block, then the material section straight after: no second UV block.
  EXPECT_EQ(Slice(bytes, 884, 6), (std::vector<uint8_t>{0, 0, 1, 0, 2, 0}));
  EXPECT_EQ(U32At(bytes, 0), 890u - 4);
  EXPECT_EQ(U32At(bytes, 890), 1u);  // one write material
}

// A bump map adds the tangent block (24 bytes per vertex) and flag 0x4;
// the second UV block never comes, whatever the material asks for.
TEST(GtlFile, BumpMapAddsTangentsOnly) {
  CZGTLFile gtl;
  CMtsObj o = Triangle("road.tga");
  o.material.shader.maps[1].stageType = 5;
  o.material.shader.maps[1].textureName = "road_bump.tga";
  gtl.objects.push_back(o);
  const std::vector<uint8_t> bytes = gtl.GTLFileBytes(CGlObjTag());
  EXPECT_EQ(U32At(bytes, 532), 0x20004015u);
  EXPECT_EQ(U32At(bytes, 532 + 28), 688u + 192u);        // tangents after vertex and UV blocks
  EXPECT_EQ(U32At(bytes, 532 + 40), 688u + 192u + 72u);  // indices after the tangents
  EXPECT_EQ(U32At(bytes, 0), 692u + 192u + 72u + 6u - 4u);
  // A DX9 level of more than 4 entries gives rFactor files the second UV
  // block, never GTL files.
  gtl.writeMaterials.at(0).record.levels[2].entryCount = 5;
  EXPECT_EQ(gtl.DescriptorFlags(0), 0x20004015u);
}

}  // namespace lapforge
