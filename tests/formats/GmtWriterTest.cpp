// rFactor GMT: the file pinned byte for byte for a tiny block, the texture
// entries chosen through the shader dictionary, facing codes, visibility,
// tangents, and a read-back by a reader written here from the layout.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "formats/gmt/GmtFile.h"
#include "support/ByteWriter.h"
#include "tests/support/TestSupport.h"
#include "tests/support/formats/WriterBlocks.h"
#include "tests/support/mesh/MeshBuilders.h"

namespace lapforge {

using namespace writertest;

namespace {

void ExpectedDescriptor(CByteWriter& e, uint32_t flags, int vertexBlock, int uv1, int uv2, int tangents,
                        int vertices, int indices, int indexBlock, int index) {
  e.U32(flags), e.I32(vertexBlock), e.U32(0), e.I32(uv1), e.I32(uv2), e.I32(tangents), e.I32(vertices), e.U32(0);
  e.I32(indices), e.I32(indexBlock);
  e.Zeroes(16);
  e.I32(index);
  e.Zeroes(16);
  e.I32(-1);
  e.Zeroes(52);
}

// A material record with the plain defaults of a one-entry-per-level material.
void ExpectedRecord(CByteWriter& e, const std::string& name) {
  e.FixedString(name, 64);
  e.U16(0x0003);  // 3: neither no-depth-write nor double-sided
  e.U16(0x6890);
  for (float f : {1.f, 1.f, 1.f, 1.f, 1.f, 1.f, 1.f, 1.f, 0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 1.f}) e.F32(f);
  e.I32(2), e.I32(1);
  e.F32(5.0f);
  for (int level = 0; level < 3; ++level) {
    e.I32(level), e.I32(1);
    e.Zeroes(256);
  }
  e.Zeroes(32);
}

void ExpectedEntry(CByteWriter& e, const std::string& name, uint16_t flags1, int stage, const uint8_t chroma[3],
                   int levels) {
  e.FixedString(name, 64);
  e.U16(flags1), e.U16(0x2);
  e.I32(-1), e.I32(1);
  e.I32(1), e.I32(3), e.F32(1.0f), e.I32(stage), e.U32(0);
  e.Bytes(chroma, 3), e.U8(0);
  e.I32(levels), e.F32(0.0f);
  e.Zeroes(64);
}

const uint8_t kNoChroma[3] = {0, 0, 0};

std::vector<uint8_t> GmtBytes(CZGmtFile& gmt, const std::string& name, const CGlObjTag& tag) {
  gmt.SetFilePath("out/" + name);
  return gmt.RFactorFileBytes(tag);
}

}  // namespace

TEST(GmtWriter, QuadWithOneTexturedMaterialByteForByte) {
  CGlPointArray points;
  CGlFaceArray faces;
  CGlMaterialArray materials;
  MakeQuadBlock(points, faces, materials);
  CGlObjTag tag;
  tag.ClearObjTag();
  CZGmtFile gmt;
  ASSERT_EQ(gmt.MakeObject(points, faces, CGlMipArray(), materials, tag), 1);

  CByteWriter e;
  e.U32(1232);  // material section at 1236
  e.I16(32), e.I16(1024);
  // Extents 2 x 1 x 0: z padded by 0.01 both ways; centre (1, 0.5, 0).
  e.F32(static_cast<float>(std::sqrt(1.0 + 0.25 + double(0.01f) * double(0.01f))));
  const float lo = -0.01f, hi = 0.01f;
  const float corners[8][3] = {{2, lo, 0}, {2, lo, 1}, {0, lo, 1}, {0, lo, 0},
                               {2, hi, 0}, {2, hi, 1}, {0, hi, 1}, {0, hi, 0}};
  for (const auto& c : corners) e.F32(c[0]), e.F32(c[1]), e.F32(c[2]);
  e.Zeroes(96);
  for (int i = 0; i < 2; ++i) e.F32(1), e.F32(0), e.F32(0.5f);
  e.F32(0), e.F32(500);  // 2 across: 10 x 50
  e.Zeroes(60);
  e.Zeroes(12), e.Zeroes(8), e.Zeroes(12), e.Zeroes(44);  // origin (0, 0, 0) twice
  e.I32(1), e.I32(736), e.I32(2), e.I32(868), e.I32(2), e.I32(932), e.I32(0), e.I32(964);
  e.FixedString("road_a", 64);
  e.U32(0xD8D2CFC8), e.U32(0xC3E6D8CE), e.U32(0xBED8DED6), e.U32(0x90BFA8BB);
  e.Zeroes(256);
  ASSERT_EQ(e.Size(), 740u);
  ExpectedDescriptor(e, 0x20004011, 964, 1092, 0, 0, 4, 6, 1220, 0);  // no palette object
  // Collision triangles: up-facing (code 2); centroid and the largest
  // corner distance (to (2,0,0) and to (0,1,0) respectively).
  const float k = 0.33333334f;
  {
    const float cx = 2 * k, cy = 1 * k;
    e.U16(0), e.U16(1), e.U16(2), e.U16(2), e.I32(0), e.I32(0);
    e.F32(cx), e.F32(0), e.F32(cy);
    const float dx = 2 - cx, dy = 0 - cy;
    e.F32(std::sqrt(dx * dx + dy * dy));
  }
  {
    const float cx = 4 * k, cy = 2 * k;
    e.U16(1), e.U16(3), e.U16(2), e.U16(2), e.I32(0), e.I32(1);
    e.F32(cx), e.F32(0), e.F32(cy);
    const float dx = 0 - cx, dy = 1 - cy;
    e.F32(std::sqrt(dx * dx + dy * dy));
  }
  for (int i = 0; i < 2; ++i) e.F32(0), e.F32(1), e.F32(0), e.U32(0);
  ASSERT_EQ(e.Size(), 968u);
  // Vertices p0 p1 p3 p2 in file order, up normal, opaque white.
  const float position[4][3] = {{0, 0, 0}, {2, 0, 0}, {0, 0, 1}, {2, 0, 1}};
  const float uv[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
  for (const auto& p : position) {
    e.F32(p[0]), e.F32(p[1]), e.F32(p[2]), e.F32(0), e.F32(1), e.F32(0);
    e.U32(0xFFFFFFFF), e.U32(0);
  }
  for (const auto& t : uv)
    for (int i = 0; i < 4; ++i) e.F32(t[0]), e.F32(t[1]);
  for (int i : {0, 1, 2, 1, 3, 2}) e.U16(uint16_t(i));
  ASSERT_EQ(e.Size(), 1236u);
  e.U32(1);
  ExpectedRecord(e, "ROAD");
  e.U32(3);
  for (int level = 0; level < 3; ++level) ExpectedEntry(e, "asphalt.tga", 0x18, 0, kNoChroma, 1);

  EXPECT_EQ(FirstDifference(GmtBytes(gmt, "Road_A.gmt", tag), e.Buffer()), "");
}

TEST(GmtWriter, ChromaKeyedSecondMaterialEntries) {
  CGlPointArray points;
  CGlFaceArray faces;
  CGlMaterialArray materials;
  MakeTwoMaterialBlock(points, faces, materials);
  CGlObjTag tag;
  tag.ClearObjTag();
  tag.flag = 0;
  CZGmtFile gmt;
  gmt.MakeObject(points, faces, CGlMipArray(), materials, tag);
  const std::vector<uint8_t> bytes = GmtBytes(gmt, "b.gmt", tag);
  EXPECT_EQ(I32At(bytes, 4), 32 | (0 << 16));  // 32, then 0 without the tag flag
  const size_t section = U32At(bytes, 0) + 4;
  ASSERT_EQ(U32At(bytes, section), 2u);
  // Grass: 968 + 4 + 3 x 172; then Fence's record and count.
  const size_t fence = section + 4 + 1488;
  EXPECT_EQ(TextAt(bytes, fence, 64), "FENCE");
  EXPECT_EQ(U16At(bytes, fence + 64), 0x0003);  // chroma key is not blending
  CByteWriter e;
  const uint8_t chroma[3] = {0x10, 0x20, 0x30};
  for (int level = 0; level < 3; ++level) ExpectedEntry(e, "fence.dds", 0x98, 0, chroma, 191);
  const std::vector<uint8_t> entries(bytes.begin() + long(fence + 972), bytes.begin() + long(fence + 972 + 516));
  EXPECT_EQ(FirstDifference(entries, e.Buffer()), "");
  EXPECT_EQ(TextAt(bytes, section + 4 + 972, 64), "grass.tga");
}

TEST(GmtWriter, AlphaBlendedRecordAndAnimationData) {
  CGlPointArray points;
  CGlFaceArray faces;
  CGlMaterialArray materials;
  MakeQuadBlock(points, faces, materials);
  CGlMaterial& m = materials[0];
  m.transparencyMode = 2;
  m.noDepthWrite = 1;
  m.doubleSided = 0;
  m.renderFlags[0] = 1;
  m.diffuse.a = 0.5f;
  m.textureKind = 3;
  m.frameCount = 2;
  m.frameList[0] = 2, m.frameList[1] = 7, m.frameList[2] = 9;
  m.animationRate = 4.0f;
  CGlObjTag tag;
  tag.ClearObjTag();
  CZGmtFile gmt;
  gmt.MakeObject(points, faces, CGlMipArray(), materials, tag);
  const std::vector<uint8_t> bytes = GmtBytes(gmt, "b.gmt", tag);
  const size_t record = U32At(bytes, 0) + 8;
  EXPECT_EQ(U16At(bytes, record + 64), 3 | 0x20 | 0x100);
  EXPECT_EQ(U16At(bytes, record + 66), 0x6891);
  EXPECT_EQ(F32At(bytes, record + 84 + 12), 0.5f);
  EXPECT_EQ(I32At(bytes, record + 132), 5);
  EXPECT_EQ(I32At(bytes, record + 136), 6);
  // Entry 0 of DX7: animation count 2, then N, the frames, the kind, the rate.
  const size_t entry = record + 968 + 4;
  EXPECT_EQ(I32At(bytes, entry + 72), 2);
  EXPECT_EQ(U32At(bytes, entry + 76), 2u);
  EXPECT_EQ(U32At(bytes, entry + 80), 7u);
  EXPECT_EQ(U32At(bytes, entry + 84), 9u);
  EXPECT_EQ(U32At(bytes, entry + 88), 3u);
  EXPECT_EQ(F32At(bytes, entry + 92), 4.0f);
  EXPECT_EQ(I32At(bytes, entry + 96), 1);  // parameters follow: source blend
}

TEST(GmtWriter, DictionaryShaderWithFiveDx9Entries) {
  CGlPointArray points;
  CGlFaceArray faces;
  CGlMaterialArray materials;
  MakeQuadBlock(points, faces, materials);
  CGlMaterial& m = materials[0];
  m.shader.shaderName = "BUMPSPECMAPT0";
  m.shader.maps[0].stageType = 2;
  m.shader.maps[0].textureName = "maps/format.png";
  m.shader.maps[0].bias = 0.5f;
  m.shader.maps[0].uScale = 2.0f;
  m.shader.maps[0].vScale = 0.0f;  // unusable: taken as 1
  m.shader.maps[1].stageType = 5;
  m.shader.maps[1].textureName = "bump.dds";
  points[0].channels[1] = {1, 0.25f, 0.75f};
  CGlObjTag tag;
  tag.ClearObjTag();
  CZGmtFile gmt;
  gmt.MakeObject(points, faces, CGlMipArray(), materials, tag);
  const std::vector<uint8_t> bytes = GmtBytes(gmt, "b.gmt", tag);

  ASSERT_EQ(gmt.writeMaterials.size(), 1u);
  const gmtr_write_material& wm = gmt.writeMaterials[0];
  EXPECT_EQ(wm.record.levels[0].hardwareShader, "L0DIFFUSET0");
  EXPECT_EQ(wm.record.levels[2].hardwareShader, "L2BUMPSPECMAPT0");
  EXPECT_EQ(wm.record.levels[0].entryCount, 1);
  EXPECT_EQ(wm.record.levels[1].firstEntry, 1);
  EXPECT_EQ(wm.record.levels[1].entryCount, 4);
  EXPECT_EQ(wm.record.levels[2].firstEntry, 5);
  EXPECT_EQ(wm.record.levels[2].entryCount, 5);
  // DX9 stages: diffuse, specular map, bump map, two computed stages.
  const char* names[5] = {"asphalt.tga", "format.tga", "bump.dds", "MATH", "MATH"};
  const int kinds[5] = {1, 2, 5, 15, 15};
  for (int j = 0; j < 5; ++j) {
    const gmt_combined_texture& t = wm.textures[size_t(5 + j)];
    EXPECT_EQ(t.name, names[j]);
    EXPECT_EQ(t.sourceBlend, kinds[j]);
    EXPECT_EQ(t.stage, j);
  }
  EXPECT_EQ(wm.textures[6].bias, 0.5f);
  EXPECT_EQ(wm.textures[6].destinationBlend, 4);
  // DX8's last stage is a power map (kind 9), which samples the specular map.
  EXPECT_EQ(wm.textures[4].sourceBlend, 9);
  EXPECT_EQ(wm.textures[4].name, "format.tga");
  EXPECT_EQ(wm.uvSources[0], 1);
  EXPECT_EQ(wm.uvSources[1], 2);
  EXPECT_EQ(wm.uvSources[2], 0);

  // Descriptor: bump and second UV block; blocks follow each other.
  const size_t d = 740;
  EXPECT_EQ(U32At(bytes, d), 0x20004035u);
  const int32_t vertexBlock = I32At(bytes, d + 4);
  EXPECT_EQ(I32At(bytes, d + 12), vertexBlock + 128);
  EXPECT_EQ(I32At(bytes, d + 16), vertexBlock + 256);
  EXPECT_EQ(I32At(bytes, d + 20), vertexBlock + 384);
  EXPECT_EQ(I32At(bytes, d + 36), vertexBlock + 384 + 96);
  // UV pairs of vertex 1 (u, v = 1, 0): pair 1 scaled by stage 1 (2, 1);
  // vertex 0: pair 2 from its set channel 2.
  const size_t uv = size_t(I32At(bytes, d + 12)) + 4;
  EXPECT_EQ(F32At(bytes, uv + 32 + 8), 2.0f);
  EXPECT_EQ(F32At(bytes, uv + 32 + 12), 0.0f);
  EXPECT_EQ(F32At(bytes, uv + 16), 0.25f);
  EXPECT_EQ(F32At(bytes, uv + 20), 0.75f);
  // Tangent records: T = (1,0,0), B = (0,-1,0) in mesh axes, written in
  // file order with the second and third components negated (a negated
  // zero is written as zero).
  CByteWriter e;
  for (int i = 0; i < 4; ++i) e.F32(1), e.F32(0), e.F32(0), e.F32(0), e.F32(0), e.F32(1);
  const size_t tangents = size_t(I32At(bytes, d + 20)) + 4;
  const std::vector<uint8_t> block(bytes.begin() + long(tangents), bytes.begin() + long(tangents + 96));
  EXPECT_EQ(FirstDifference(block, e.Buffer()), "");
}

TEST(GmtWriter, ShaderNotInCatalogueGivesTheMainMapAtEveryLevel) {
  CGlPointArray points;
  CGlFaceArray faces;
  CGlMaterialArray materials;
  MakeQuadBlock(points, faces, materials);
  materials[0].shader.shaderName = "NO SUCH SHADER";
  materials[0].textureKind = 8;
  materials[0].frameCount = 3;
  CZGmtFile gmt;
  CGlObjTag tag;
  gmt.MakeObject(points, faces, CGlMipArray(), materials, tag);
  gmt.MakeWriteMaterials();
  const gmtr_write_material& wm = gmt.writeMaterials[0];
  ASSERT_EQ(wm.textures.size(), 3u);
  for (const gmt_combined_texture& t : wm.textures) {
    EXPECT_EQ(t.name, "asphalt.tga");
    EXPECT_EQ(t.flags1, 0x8000 | 0x8 | 0x1);  // frame list: "Co", no filter, "Nd"
    EXPECT_EQ(t.mipCount, 1);
    EXPECT_EQ(t.animationCount, 3);
  }
}

TEST(GmtWriter, FacingCodesVisibilityAndPadding) {
  EXPECT_EQ(CZGmtFile::FacingCode(0, 0, -1), 3);
  EXPECT_EQ(CZGmtFile::FacingCode(-1, 0, 0), 1);
  EXPECT_EQ(CZGmtFile::FacingCode(0.6f, 0.8f, 0), 4);
  EXPECT_EQ(CZGmtFile::FacingCode(0, -1, 0), 5);
  EXPECT_EQ(CZGmtFile::FacingCode(1, 0, 0), 0);
  EXPECT_EQ(CZGmtFile::FacingCode(0, 0, 1), 2);
  EXPECT_EQ(CZGmtFile::FacingCode(0.5f, 0.5f, 0.5f), 0);  // ties fall through

  struct Case {
    float across;
    float far;
  };
  for (Case c : {Case{30, 500}, Case{400, 4000}, Case{2000, 10000}}) {
    CGlPointArray points;
    CGlFaceArray faces;
    CGlMaterialArray materials;
    MakeQuadBlock(points, faces, materials);
    for (CGlPoint& p : points) p.x *= c.across / 2;
    CGlObjTag tag;
    CZGmtFile gmt;
    gmt.MakeObject(points, faces, CGlMipArray(), materials, tag);
    float nearDistance = -1, farDistance = -1;
    gmt.VisibilityDistances(tag, nearDistance, farDistance);
    EXPECT_EQ(nearDistance, 0.0f);
    EXPECT_EQ(farDistance, c.far) << c.across;
    tag.nearDistance = 20;
    tag.farDistance = 800;
    gmt.VisibilityDistances(tag, nearDistance, farDistance);
    EXPECT_EQ(nearDistance, 20.0f);
    EXPECT_EQ(farDistance, 800.0f);
  }
  // An empty block: every extent 0, corners 0.01 out, far 5000, finite bytes.
  CZGmtFile empty;
  CGlObjTag tag;
  empty.MakeObject(CGlPointArray(), CGlFaceArray(), CGlMipArray(), CGlMaterialArray(), tag);
  EXPECT_EQ(empty.corners[0][0], 0.01f);
  EXPECT_EQ(empty.corners[3][2], -0.01f);
  const std::vector<uint8_t> bytes = GmtBytes(empty, "e.gmt", tag);
  EXPECT_EQ(F32At(bytes, 232), 5000.0f);
  EXPECT_EQ(I32At(bytes, 372), 0);  // no object: the road writes no such file
}

TEST(GmtWriter, DegenerateTrianglesGiveFiniteTangents) {
  CGlPointArray points;
  CGlFaceArray faces;
  for (int i = 0; i < 3; ++i) points.Add(CGlPoint(1, 1, 1));
  meshtest::AddFaceUV(faces, {0, 1, 2}, {0, 0, 0, 0, 0, 0});
  std::vector<std::array<float, 6>> records;
  CZGmtFile::CalculateTangentVectors(points, faces, records);
  ASSERT_EQ(records.size(), 3u);
  for (const auto& r : records)
    for (float f : r) EXPECT_TRUE(std::isfinite(f));
  EXPECT_EQ(records[0][0], 1.0f);
  EXPECT_EQ(points[2].tangentState, 1);
  EXPECT_EQ(points[2].tangent.x, 1.0f);
}

TEST(GmtWriter, LongTitleIsCutAndTerminatedAndFirstWordPointsAtTheMaterials) {
  CGlPointArray points;
  CGlFaceArray faces;
  CGlMaterialArray materials;
  MakeTwoMaterialBlock(points, faces, materials);
  CGlObjTag tag;
  CZGmtFile gmt;
  gmt.MakeObject(points, faces, CGlMipArray(), materials, tag);
  CTempDir dir;
  const std::string name = std::string(80, 'w') + ".gmt";
  ASSERT_TRUE(gmt.WriteRFactorFile(dir.File(name), tag));
  const std::vector<uint8_t> bytes = ReadBytes(dir.File(name));
  EXPECT_EQ(TextAt(bytes, 404, 64), std::string(63, 'w'));
  EXPECT_EQ(bytes[404 + 63], 0);
  const uint32_t first = U32At(bytes, 0);
  EXPECT_EQ(U32At(bytes, first + 4), 2u);
  EXPECT_FALSE(gmt.WriteRFactorFile(dir.File("no/such/folder/x.gmt"), tag));
}

// Reads the file back with nothing but the layout and compares every written
// vertex with the mesh it came from.
TEST(GmtWriter, IndependentReaderGetsTheMeshBack) {
  CGlPointArray points;
  CGlFaceArray faces;
  meshtest::MakeCube(points, faces);
  CGlMaterialArray materials;
  CGlMaterial m;
  m.materialName = "Box";
  m.SetMapName("box.tga");
  materials.Add(m);
  for (CGlFace& f : faces) {
    for (int k = 0; k < f.GetVertexCount(); ++k) {
      const CGlPoint& p = points[f.vertices[k]];
      f.AddUV(p.x + 0.5f * p.z, p.y - 0.25f * p.z);
    }
    f.hasUVs = 1;
  }
  points[5].alpha = 0.5f;
  CGlObjTag tag;
  tag.ClearObjTag();
  tag.x = 10, tag.y = 20, tag.z = 5;
  CZGmtFile gmt;
  gmt.MakeObject(points, faces, CGlMipArray(), materials, tag);
  const std::vector<uint8_t> b = GmtBytes(gmt, "cube.gmt", tag);

  const float ox = F32At(b, 296), oy = F32At(b, 304), oz = F32At(b, 300);
  EXPECT_EQ(ox, 10.0f);
  EXPECT_EQ(oy, 20.0f);
  EXPECT_EQ(oz, 5.0f);
  const int32_t objects = I32At(b, 372);
  const size_t descriptors = size_t(I32At(b, 376)) + 4;
  const int32_t triangles = I32At(b, 380);
  const size_t normals = size_t(I32At(b, 392)) + 4;
  ASSERT_EQ(objects, 1);
  ASSERT_EQ(triangles, 12);
  int checkedVertices = 0, triangle = 0;
  for (int o = 0; o < objects; ++o) {
    const size_t d = descriptors + 132 * size_t(o);
    const size_t vertexBlock = size_t(I32At(b, d + 4)) + 4;
    const size_t uvBlock = size_t(I32At(b, d + 12)) + 4;
    const int32_t vertices = I32At(b, d + 24);
    const int32_t indices = I32At(b, d + 32);
    const size_t indexBlock = size_t(I32At(b, d + 36)) + 4;
    for (int i = 0; i < indices; i += 3, ++triangle) {
      float p[3][3], n[3][3];
      for (int c = 0; c < 3; ++c) {
        const int v = U16At(b, indexBlock + 2 * size_t(i + c));
        ASSERT_LT(v, vertices);
        const size_t at = vertexBlock + 32 * size_t(v);
        // File order (x, z, y) back to mesh axes, plus the origin.
        p[c][0] = F32At(b, at) + ox, p[c][1] = F32At(b, at + 8) + oy, p[c][2] = F32At(b, at + 4) + oz;
        n[c][0] = F32At(b, at + 12), n[c][1] = F32At(b, at + 20), n[c][2] = F32At(b, at + 16);
        // Stored relative to the origin; back in place they are cube corners.
        for (int a = 0; a < 3; ++a)
          EXPECT_TRUE(std::fabs(p[c][a]) < 1e-5f || std::fabs(p[c][a] - 1.0f) < 1e-5f) << p[c][a];
        const float x = p[c][0], y = p[c][1], z = p[c][2];
        const size_t uvAt = uvBlock + 32 * size_t(v);
        EXPECT_NEAR(F32At(b, uvAt), x + 0.5f * z, 1e-5);
        EXPECT_NEAR(F32At(b, uvAt + 4), y - 0.25f * z, 1e-5);
        ++checkedVertices;
      }
      // The vertex normals and the triangle normal are the plane of the
      // triangle as read back.
      const double ax = p[1][0] - p[0][0], ay = p[1][1] - p[0][1], az = p[1][2] - p[0][2];
      const double bx = p[2][0] - p[1][0], by = p[2][1] - p[1][1], bz = p[2][2] - p[1][2];
      double cx = ay * bz - az * by, cy = az * bx - ax * bz, cz = ax * by - ay * bx;
      const double len = std::sqrt(cx * cx + cy * cy + cz * cz);
      cx /= len, cy /= len, cz /= len;
      const size_t tn = normals + 16 * size_t(triangle);
      EXPECT_NEAR(F32At(b, tn), cx, 1e-5);
      EXPECT_NEAR(F32At(b, tn + 8), cy, 1e-5);
      EXPECT_NEAR(F32At(b, tn + 4), cz, 1e-5);
      for (const auto& nc : n) {
        EXPECT_NEAR(nc[0], cx, 1e-5);
        EXPECT_NEAR(nc[1], cy, 1e-5);
        EXPECT_NEAR(nc[2], cz, 1e-5);
      }
    }
  }
  EXPECT_EQ(checkedVertices, 36);
  // Point 5's half alpha is in the top byte of its colour.
  bool halfAlpha = false;
  const size_t vb = size_t(I32At(b, descriptors + 4)) + 4;
  for (int v = 0; v < I32At(b, descriptors + 24); ++v) halfAlpha |= U32At(b, vb + 32 * size_t(v) + 24) == 0x7FFFFFFFu;
  EXPECT_TRUE(halfAlpha);
}

TEST(GmtWriter, NonFiniteInputIsWrittenAsDefinedValues) {
  CGlPointArray points;
  CGlFaceArray faces;
  CGlMaterialArray materials;
  MakeQuadBlock(points, faces, materials);
  points[3].z = std::nanf("");
  points[1].alpha = std::numeric_limits<float>::infinity();
  materials[0].exponent = std::numeric_limits<float>::quiet_NaN();
  CGlObjTag tag;
  CZGmtFile gmt;
  gmt.MakeObject(points, faces, CGlMipArray(), materials, tag);
  const std::vector<uint8_t> b = GmtBytes(gmt, "n.gmt", tag);
  // Header floats, vertex positions and normals, collision centroids and
  // radii, triangle normals and the specular value are all finite.
  for (size_t at = 8; at < 236; at += 4) EXPECT_TRUE(std::isfinite(F32At(b, at))) << at;
  const size_t vertices = size_t(I32At(b, 740 + 4)) + 4;
  for (int v = 0; v < 4; ++v)
    for (int f = 0; f < 6; ++f) EXPECT_TRUE(std::isfinite(F32At(b, vertices + 32 * size_t(v) + 4 * size_t(f))));
  for (int t = 0; t < 2; ++t)
    for (int f = 0; f < 4; ++f) EXPECT_TRUE(std::isfinite(F32At(b, 740 + 132 + 32 * size_t(t) + 16 + 4 * size_t(f))));
  for (size_t at = 740 + 132 + 64; at < 740 + 132 + 64 + 32; at += 4) EXPECT_TRUE(std::isfinite(F32At(b, at)));
  EXPECT_EQ(F32At(b, U32At(b, 0) + 8 + 140), 0.0f);
  // Infinite alpha is full alpha.
  EXPECT_EQ(U32At(b, vertices + 32 + 24), 0xFFFFFFFFu);
}

}  // namespace lapforge
