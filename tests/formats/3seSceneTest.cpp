#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "formats/3se/3seScene.h"
#include "support/ByteWriter.h"
#include "tests/support/mesh/MeshBuilders.h"

namespace lapforge {

namespace {

// Expected bytes, written field by field from the record layout.
struct Expect {
  CByteWriter w;
  void Rec(uint32_t tag, uint32_t version) {
    w.U32(tag);
    w.U32(version);
  }
  void I(int32_t v) { w.I32(v); }
  void F(std::initializer_list<float> vs) {
    for (float v : vs) w.F32(v);
  }
  void Txt(const std::string& s, size_t n) {
    w.Bytes(s.data(), s.size());
    w.Zeroes(n - s.size());
  }
  void DefaultTag() {
    Rec(16, 2);
    I(1);       // flag
    F({0, 0});  // near, far
    I(1);       // render
    I(0);       // collision target
    I(0);       // HAT target
    I(0);       // response kind
    I(0);       // moveable
    I(0);       // visibility flags
    I(0);
    I(0);          // following byte
    I(0);          // shadow kind
    I(0);          // receiver
    I(256);        // shadow size
    I(0);          // dynamic shadow
    I(0);          // texture shadow
    F({0, 0, 0});  // position
  }
};

void SetExtents(CGlFaceArray& faces, float base) {
  faces.minPoint = CGlPoint(base, base + 1, base + 2);
  faces.maxPoint = CGlPoint(base + 3, base + 4, base + 5);
  faces.centrePoint = CGlPoint(base + 6, base + 7, base + 8);
}

}  // namespace

// A mip, an empty main mesh with one live and one deleted insert and one
// deleted face, one block of one point and one face: the whole image.
TEST(Z3se, SmallModelImage) {
  CGlMipArray mips;
  CGlMip mip;
  mip.label = "L";
  mip.mipTitle = "road";
  mip.mipFileName = "road.bmp";
  mip.mipName = "C:/m/road.bmp";
  mip.mipFlag = 5;
  mips.Add(mip);

  CGlPointArray mainPoints;
  CGlFaceArray mainFaces;
  SetExtents(mainFaces, 1);
  mainFaces[meshtest::AddFace(mainFaces, {0, 0, 0})].deleted = 1;
  CGlObjTag mainTag;
  mainTag.responseKind = -2;
  CGlInsertArray mainInserts;
  CGlInsert ins;
  ins.name = "ins";
  ins.blockIndex = 0;
  ins.x = 1, ins.y = 2, ins.z = 3;
  ins.b = 90;
  ins.sz = 2;
  ins.afterScale = 7;
  mainInserts.Add(ins);
  ins.deleted = 1;
  mainInserts.Add(ins);

  CGlBlockArray blocks;
  CGlBlock& b = blocks[blocks.AddNew()];
  b.attrib1 = 1;
  b.cx = 0.5f;
  b.name = "b0";
  b.title = "t0";
  meshtest::AddPoint(b.points, 1, 2, 3);
  SetExtents(b.faces, 10);
  int f = meshtest::AddFaceUV(b.faces, {0, 0, 0}, {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f});
  b.faces[f].hasUVs = 1;
  b.faces[f].normal = {0, 0, 1};
  b.faces[f].normalValid = 1;
  b.faces[f].mipIndex = 0;
  CGlTriangles list;
  list.kind = 1;
  list.mipIndex = 0;
  list.indices = {0, 0, 0};
  b.faces.triangleLists.push_back(list);

  CZ3se writer;
  std::vector<uint8_t> image = writer.ModelImage(mainPoints, mainFaces, CGlMaterialArray(), mips, mainInserts, blocks,
                                                 mainTag, "C:/t/lapforge.ptf");

  Expect e;
  e.Rec(10, 1);
  e.I(1);
  e.Rec(11, 2);
  e.Txt("L", 64);
  e.Txt("road", 64);
  e.Txt("road.bmp", 64);
  e.Txt("C:/m/road.bmp", 261);
  e.I(5);
  e.Rec(12, 1);
  e.I(0);
  // Main mesh.
  e.Rec(0, 1);
  e.I(0);
  e.F({0, 0, 0, 0, 0, 0});
  e.Rec(1, 4);
  e.Rec(2, 10);
  e.I(0);  // the deleted face is left out
  e.F({1, 2, 3, 4, 5, 6, 7, 8, 9});
  e.Rec(15, 1);
  e.I(0);
  {
    Expect t;
    t.DefaultTag();
    std::vector<uint8_t> tag = t.w.Take();
    std::memcpy(tag.data() + 8 + 6 * 4, "\xFE\xFF\xFF\xFF", 4);  // response kind -2, sign-extended
    e.w.Bytes(tag.data(), tag.size());
  }
  e.Rec(6, 2);
  e.I(1);
  e.Rec(7, 2);
  e.Txt("ins", 64);
  e.I(-1);  // first int32
  e.I(-1);  // third int32
  e.I(0);   // block index
  e.F({1, 2, 3, 0, 90, 0});
  e.I(7);  // after the scale
  e.I(1);  // insert flag
  e.F({1, 1, 2});
  // Blocks.
  e.Rec(8, 1);
  e.I(1);
  e.Rec(9, 1);
  e.I(1);
  e.F({0.5f, 0, 0});
  e.I(0);
  e.Txt("b0", 64);
  e.Txt("t0", 261);
  e.Rec(0, 1);
  e.I(1);
  e.F({0, 0, 0, 0, 0, 0});
  e.Rec(1, 4);
  e.F({1, 2, 3, 0, 0, 0});  // position, normal
  e.I(0);                   // has normal
  e.F({0, 0, 1});           // u, v, alpha
  e.I(0);                   // has UV
  e.F({0, 0, 0});           // tangent
  e.I(0);                   // tangent state
  e.I(0);                   // has colour
  e.w.U32(0xFFFFFFFF);      // colour bytes
  for (int c = 0; c < 3; ++c) {
    e.I(0);
    e.F({0, 0});
  }
  e.Rec(2, 10);
  e.I(1);
  e.F({10, 11, 12, 13, 14, 15, 16, 17, 18});
  e.Rec(3, 1);
  e.I(1);   // keep
  e.I(-1);  // source index
  e.I(1);   // has UVs
  e.F({0.6f, 0.6f, 0.6f, 1.0f, 0, 0, 1});
  e.I(1);   // normal valid
  e.I(0);   // mip
  e.I(-1);  // material
  e.I(-1);  // group
  e.I(-1);  // source group
  e.Rec(4, 1);
  e.I(3);
  e.I(0), e.I(0), e.I(0);
  e.Rec(5, 1);
  e.I(3);
  e.F({0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f});
  e.Rec(15, 1);
  e.I(1);
  e.I(1);   // kind
  e.I(0);   // mip
  e.I(-1);  // material
  e.I(3);
  e.I(0), e.I(0), e.I(0);
  e.DefaultTag();
  e.Rec(6, 2);
  e.I(0);
  e.Rec(14, 1);
  e.Txt("C:/t/lapforge.ptf", 260);

  EXPECT_EQ(image, e.w.Buffer());
}

// A material record is 1452 bytes; texts are cut to their field minus the
// NUL; 16-bit values are sign-extended; the stage value keeps its low 16
// bits; a non-finite float is written as 0.
TEST(Z3se, MaterialRecordFields) {
  CGlMaterialArray materials;
  CGlMaterial m;
  m.materialName = std::string(80, 'n');
  m.mapName = std::string(300, 'p');
  m.exponent = std::numeric_limits<float>::infinity();
  m.shader.maps[0].value = 0x12345678;
  m.shader.maps[2].channel = -3;
  materials.Add(m);
  CZ3se writer;
  const std::vector<uint8_t> none =
      writer.ModelImage(CGlPointArray(), CGlFaceArray(), CGlMaterialArray(), CGlMipArray(), CGlInsertArray(),
                        CGlBlockArray(), CGlObjTag(), "");
  const std::vector<uint8_t> one = writer.ModelImage(CGlPointArray(), CGlFaceArray(), materials, CGlMipArray(),
                                                     CGlInsertArray(), CGlBlockArray(), CGlObjTag(), "");
  ASSERT_EQ(one.size(), none.size() + 1452);
  const uint8_t* r = one.data() + 12 + 12;  // after the mip list and the material list header
  auto u32 = [&](size_t off) {
    uint32_t v;
    std::memcpy(&v, r + off, 4);
    return v;
  };
  EXPECT_EQ(u32(0), 13u);
  EXPECT_EQ(u32(4), 10u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(r + 8)), std::string(63, 'n'));
  EXPECT_EQ(u32(72), 0xFFFFFFFFu);  // transparency -1
  EXPECT_EQ(u32(76), 255u);         // no-depth-write byte
  EXPECT_EQ(u32(84 + 64), 0u);      // infinite exponent
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(r + 240)), std::string(260, 'p'));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(r + 501)), "NONE");
  EXPECT_EQ(u32(585 + 261 + 8), 0x5678u);
  EXPECT_EQ(u32(585 + 2 * 289 + 261 + 24), 0xFFFFFFFDu);
}

// Progress once per block; no blocks still gives the block list and the
// trailer; text is cut cleanly before a split UTF-8 character.
TEST(Z3se, BlocksProgressAndTrailer) {
  CGlBlockArray blocks;
  blocks.AddNew();
  blocks.AddNew();
  blocks[1].name = std::string(62, 'a') + "\xC3\xA9";  // 64 bytes, the last character two bytes
  std::vector<std::pair<int, int>> calls;
  CZ3se writer;
  writer.SetProgressUpdatePointers(
      [](int i, int n, void* ctx) {
        static_cast<std::vector<std::pair<int, int>>*>(ctx)->push_back({i, n});
      },
      &calls);
  std::vector<uint8_t> image = writer.ModelImage(CGlPointArray(), CGlFaceArray(), CGlMaterialArray(), CGlMipArray(),
                                                 CGlInsertArray(), blocks, CGlObjTag(), "x.ptf");
  EXPECT_EQ(calls, (std::vector<std::pair<int, int>>{{0, 2}, {1, 2}}));
  const std::string text(image.begin(), image.end());
  EXPECT_NE(text.find(std::string(62, 'a') + '\0'), std::string::npos);

  std::vector<uint8_t> empty = writer.ModelImage(CGlPointArray(), CGlFaceArray(), CGlMaterialArray(), CGlMipArray(),
                                                 CGlInsertArray(), CGlBlockArray(), CGlObjTag(), "x.ptf");
  ASSERT_GE(empty.size(), 280u);
  const uint8_t* tail = empty.data() + empty.size() - 280;
  const uint8_t expected[20] = {8, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 14, 0, 0, 0, 1, 0, 0, 0};
  EXPECT_EQ(std::memcmp(tail, expected, 20), 0);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(tail + 20)), "x.ptf");
}

}  // namespace lapforge
