// The per-material objects every 16-bit-index writer (MTS, GTR, rFactor
// GMT, GTL) builds, read back from the file by its layout: no object
// without triangles, the material flag words, and objects too large for
// 16-bit indices split into pieces of whole triangles.
#include <gtest/gtest.h>

#include "formats/gmt/GtlFile.h"
#include "formats/gmt/GtrFile.h"
#include "formats/mts/MtsModel.h"
#include "tests/support/formats/ModelFiles.h"

namespace lapforge {

using namespace writertest;

namespace {

struct Writer {
  const char* name;
  ModelLayout layout;
  // The file of a block as its export road makes it; objects is set to the
  // number of objects the writer built.
  std::vector<uint8_t> (*file)(const CGlPointArray&, const CGlFaceArray&, const CGlMaterialArray&, size_t& objects);
  // The flag words of an opaque road, a chroma-keyed fence and a
  // double-sided board, worked out from the material record layouts.
  uint16_t words[3];
};

std::vector<uint8_t> MtsFile(const CGlPointArray& p, const CGlFaceArray& f, const CGlMaterialArray& m, size_t& n) {
  CZMts mts;
  mts.MakeObject(p, f, CGlMipArray(), m, 0, 1, 0);
  n = mts.objects.size();
  return mts.F1FileBytes(0);
}

std::vector<uint8_t> GtrFile(const CGlPointArray& p, const CGlFaceArray& f, const CGlMaterialArray& m, size_t& n) {
  CZGtrFile gtr;
  gtr.MakeObject(p, f, CGlMipArray(), m, 0, 1, 0);
  n = gtr.objects.size();
  return gtr.GTRFileBytes(false);
}

std::vector<uint8_t> GmtFile(const CGlPointArray& p, const CGlFaceArray& f, const CGlMaterialArray& m, size_t& n) {
  CGlObjTag tag;
  tag.ClearObjTag();
  CZGmtFile gmt;
  gmt.MakeObject(p, f, CGlMipArray(), m, tag);
  n = gmt.objects.size();
  gmt.SetFilePath("block.gmt");
  return gmt.RFactorFileBytes(tag);
}

std::vector<uint8_t> GtlFile(const CGlPointArray& p, const CGlFaceArray& f, const CGlMaterialArray& m, size_t& n) {
  CGlObjTag tag;
  tag.ClearObjTag();
  CZGTLFile gtl;
  gtl.MakeObject(p, f, CGlMipArray(), m, tag);
  n = gtl.objects.size();
  gtl.SetFilePath("block.gmt");
  return gtl.GTLFileBytes(tag);
}

// MTS: 0x20 blended, 0x100 no depth write, nothing else. GTR: low bits 3
// besides. GMT records (rFactor, GTL): low bits 3, 0x800 double-sided.
const Writer kWriters[] = {
    {"MTS", ModelLayout::Mts, MtsFile, {0x0000, 0x0000, 0x0000}},
    {"GTR", ModelLayout::Gtr, GtrFile, {0x0003, 0x0003, 0x0003}},
    {"rFactor", ModelLayout::RFactor, GmtFile, {0x0003, 0x0003, 0x0803}},
    {"GTL", ModelLayout::Gtl, GtlFile, {0x0003, 0x0003, 0x0803}},
};

class ObjectBuilding : public ::testing::TestWithParam<Writer> {
 protected:
  void AddTriangle(std::initializer_list<int> corners, int material) {
    CGlFace f;
    for (int v : corners) {
      f.AddVertex(v);
      f.AddUV(points[v].x, points[v].y);
    }
    f.hasUVs = 1;
    f.materialIndex = material;
    faces.Add(f);
  }
  std::vector<uint8_t> File(size_t& objects) { return GetParam().file(points, faces, materials, objects); }

  CGlPointArray points;
  CGlFaceArray faces;
  CGlMaterialArray materials;
};

}  // namespace

// Three materials as the track build makes them: nothing set on the road,
// the fence chroma-keyed, the board double-sided. Every face has a
// material, so no palette object follows; a block without textured faces
// makes no object at all.
TEST_P(ObjectBuilding, ObjectsWithTrianglesOnlyAndTheirMaterialWords) {
  for (int i = 0; i < 4; ++i) points.Add(CGlPoint(float(i % 2), float(i / 2), 0));
  CGlMaterial road, fence, board;
  road.materialName = "Road";
  road.SetMapName("asphalt.tga");
  fence.materialName = "Fence";
  fence.SetMapName("fence.tga");
  fence.transparencyMode = 1;
  board.materialName = "Board";
  board.SetMapName("board.tga");
  board.doubleSided = 1;
  for (const CGlMaterial& m : {road, fence, board}) materials.Add(m);
  AddTriangle({0, 1, 2}, 0);
  AddTriangle({1, 3, 2}, 1);
  AddTriangle({0, 3, 2}, 2);

  size_t built = 0;
  const std::vector<uint8_t> bytes = File(built);
  EXPECT_EQ(built, 3u);
  const std::vector<ModelObject> objects = ReadModelObjects(bytes, GetParam().layout);
  EXPECT_EQ(objects.size(), 3u);
  for (const ModelObject& o : objects) EXPECT_EQ(o.vertices, 3);
  const std::vector<ModelMaterial> written = ReadModelMaterials(bytes, GetParam().layout);
  EXPECT_EQ(written.size(), 3u);
  ASSERT_GE(written.size(), 3u);
  const char* names[3] = {"ROAD", "FENCE", "BOARD"};
  for (size_t k = 0; k < 3; ++k) {
    EXPECT_EQ(written[k].name, names[k]);
    EXPECT_EQ(written[k].flags, GetParam().words[k]) << names[k];
  }

  faces.RemoveAll();
  CGlFace bare;  // no texture coordinates: never reaches a file
  for (int v : {0, 1, 2}) bare.AddVertex(v);
  bare.materialIndex = 0;
  faces.Add(bare);
  File(built);
  EXPECT_EQ(built, 0u);
}

// A ladder of 32768 quads over 2 x 32769 points, each point with one UV:
// 65538 shared vertices on one material. The mesh model cuts quad i (a b c
// d) into (a b d) and (b c d); after the first quad each triangle brings
// one new corner, so after quad i the object has 2i + 4 vertices. The first
// triangle of quad 32766 makes 65535; its second would make 65536, so the
// first piece holds 65533 triangles and the second the last three, on 5
// vertices.
TEST_P(ObjectBuilding, LargeObjectIsSplitIntoPiecesOfWholeTriangles) {
  const int quads = 32768;
  points.Reserve(2 * (quads + 1));
  for (int i = 0; i <= quads; ++i) {
    points.Add(CGlPoint(float(i), 0, 0));
    points.Add(CGlPoint(float(i), 1, 0));
  }
  CGlMaterial big;
  big.materialName = "Big";
  big.SetMapName("big.tga");
  materials.Add(big);
  faces.Reserve(quads);
  for (int i = 0; i < quads; ++i) {
    CGlFace f;
    for (int v : {2 * i, 2 * i + 2, 2 * i + 3, 2 * i + 1}) {
      f.AddVertex(v);
      f.AddUV(points[v].x, points[v].y);
    }
    f.hasUVs = 1;
    f.materialIndex = 0;
    faces.Add(f);
  }

  size_t built = 0;
  const std::vector<uint8_t> bytes = File(built);
  const std::vector<ModelObject> objects = ReadModelObjects(bytes, GetParam().layout);
  ASSERT_EQ(objects.size(), 2u);
  EXPECT_EQ(objects[0].vertices, 65535);
  EXPECT_EQ(objects[0].indices.size(), 3u * 65533);
  EXPECT_EQ(objects[1].vertices, 5);
  EXPECT_EQ(objects[1].indices.size(), 3u * 3);
  for (const ModelObject& o : objects)
    for (uint16_t i : o.indices) ASSERT_LT(i, o.vertices);
  // Both pieces keep the material (the games know a surface by its name).
  const std::vector<ModelMaterial> written = ReadModelMaterials(bytes, GetParam().layout);
  ASSERT_EQ(written.size(), 2u);
  EXPECT_EQ(written[1].name, "BIG");
}

INSTANTIATE_TEST_SUITE_P(Writers, ObjectBuilding, ::testing::ValuesIn(kWriters),
                         [](const ::testing::TestParamInfo<Writer>& info) { return std::string(info.param.name); });

}  // namespace lapforge
