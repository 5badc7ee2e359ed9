// Trackside object files built from meshes: the switch trees, the shapes per
// material, texture and colour, and the front and back fans of each face.
#include <gtest/gtest.h>

#include <cstring>

#include "mesh/GlFaceArray.h"
#include "mesh/GlMaterialArray.h"
#include "mesh/GlMipArray.h"
#include "mesh/GlPointArray.h"
#include "ptf/Descriptors.h"
#include "ptf/TracksideObject.h"
#include "tests/support/ResultCheck.h"
#include "tests/support/TestSupport.h"
#include "tests/support/mesh/MeshBuilders.h"

namespace lapforge {

using meshtest::AddFace;
using meshtest::AddFaceUV;
using meshtest::AddPoint;

namespace {

template <class T>
std::vector<T*> All(const CN5Root& root) {
  std::vector<T*> out;
  for (auto& o : root.All())
    if (auto* t = dynamic_cast<T*>(o.get())) out.push_back(t);
  return out;
}

// One triangle in the plane z = 0, wound counter-clockwise seen from above.
void Triangle(CGlPointArray& p, CGlFaceArray& f, float x0) {
  int a = AddPoint(p, x0, 0, 0), b = AddPoint(p, x0 + 1, 0, 0), c = AddPoint(p, x0, 1, 0);
  AddFace(f, {a, b, c});
}

std::vector<uint32_t> Triangles(const CN5ObjSh* shape) {
  for (CN5Obj* c : shape->children)
    if (auto* gm = dynamic_cast<CN5ObjGm*>(c)) return gm->triangles;
  return {};
}

}  // namespace

TEST(TsoTree, PopulationWeekendAndLodLayout) {
  CGlPointArray p;
  CGlFaceArray f;
  Triangle(p, f, 0);
  CTempDir dir;
  for (int option : {0, 1, 2, 3, 4, 7}) {
    for (double lod : {150.0, 350.0}) {
      for (bool extra : {false, true}) {
        CN5Tso tso;
        tso.lodDistance = lod;
        ASSERT_TRUE(tso.MkTso(dir.File("tree.3do"), p, f, CGlMipArray(), option, false, extra));
        auto* top = dynamic_cast<CN5ObjSw*>(tso.Root());
        ASSERT_NE(top, nullptr);
        EXPECT_EQ(top->switchName, "Population");
        EXPECT_EQ(top->values, (std::vector<double>{1.0, 2.9}));
        ASSERT_EQ(top->children.size(), 1u);
        auto* weekend = dynamic_cast<CN5ObjSw*>(top->children[0]);
        ASSERT_NE(weekend, nullptr);
        EXPECT_EQ(weekend->switchName, "Weekend");
        const std::vector<double> expected[] = {{0.0, 2.9}, {1.0, 2.9}, {0.0, 0.9}, {1.0, 1.9}, {2.0, 2.9}};
        EXPECT_EQ(weekend->values, expected[option <= 4 ? option : 0]) << option;
        ASSERT_EQ(weekend->children.size(), 1u);
        auto* lodSw = dynamic_cast<CN5ObjLw*>(weekend->children[0]);
        ASSERT_NE(lodSw, nullptr);
        EXPECT_EQ(lodSw->values, (std::vector<double>{0.0, lod < 200 ? 200.0 : lod}));
        ASSERT_EQ(lodSw->children.size(), 2u);
        auto* group = dynamic_cast<CN5ObjGp*>(lodSw->children[0]);
        ASSERT_NE(group, nullptr);
        if (extra)
          EXPECT_EQ(lodSw->children[1], group);
        else
          EXPECT_NE(dynamic_cast<CN5ObjEm*>(lodSw->children[1]), nullptr);
        EXPECT_EQ(tso.horizon, 0);
      }
    }
  }
}

TEST(TsoTree, HorizonPanelHasWeatherSwitchAndNoLod) {
  CGlPointArray p;
  CGlFaceArray f;
  Triangle(p, f, 0);
  CTempDir dir;
  CN5Tso tso;
  ASSERT_TRUE(tso.MkTso(dir.File("Sky_Horiz.3do"), p, f, CGlMipArray(), 1, false, false));
  auto* top = dynamic_cast<CN5ObjSw*>(tso.Root());
  ASSERT_NE(top, nullptr);
  EXPECT_EQ(top->switchName, "Weather");
  EXPECT_EQ(top->values, (std::vector<double>{0.0, 1.0, 2.0}));
  ASSERT_EQ(top->children.size(), 2u);
  EXPECT_NE(dynamic_cast<CN5ObjGp*>(top->children[0]), nullptr);
  EXPECT_EQ(top->children[1], top->children[0]);
  EXPECT_TRUE(All<CN5ObjLw>(tso).empty());
  EXPECT_EQ(tso.horizon, 1);
}

TEST(TsoFans, CoincidentOppositeFacesInDoubleSidedObjectGetFrontFansOnly) {
  CGlPointArray p;
  CGlFaceArray f;
  int a = AddPoint(p, 0, 0, 0), b = AddPoint(p, 1, 0, 0), c = AddPoint(p, 0, 1, 0);
  AddFace(f, {a, b, c});
  AddFace(f, {c, b, a});
  CTempDir dir;
  CN5Tso tso;
  ASSERT_TRUE(tso.MkTso(dir.File("o.3do"), p, f, CGlMipArray(), 0, true, false));
  EXPECT_TRUE(tso.HasTwin(0));
  EXPECT_TRUE(tso.HasTwin(1));
  auto shapes = All<CN5ObjSh>(tso);
  ASSERT_EQ(shapes.size(), 1u);
  EXPECT_EQ(Triangles(shapes[0]), (std::vector<uint32_t>{0, 1, 2, 3, 4, 5}));
}

TEST(TsoFans, DoubleSidedFaceWithoutTwinGetsBothFans) {
  CGlPointArray p;
  CGlFaceArray f;
  int a = AddPoint(p, 0, 0, 0), b = AddPoint(p, 1, 0, 0), c = AddPoint(p, 1, 1, 0), d = AddPoint(p, 0, 1, 0);
  AddFace(f, {a, b, c, d});
  CTempDir dir;
  CN5Tso tso;
  ASSERT_TRUE(tso.MkTso(dir.File("o.3do"), p, f, CGlMipArray(), 0, true, false));
  auto shapes = All<CN5ObjSh>(tso);
  ASSERT_EQ(shapes.size(), 1u);
  EXPECT_EQ(Triangles(shapes[0]), (std::vector<uint32_t>{0, 1, 2, 0, 2, 3, 2, 1, 0, 3, 2, 0}));
}

TEST(TsoFans, QuadWhoseNormalOpposesItsWindingGetsOnlyTheBackFan) {
  CGlPointArray p;
  CGlFaceArray f;
  int a = AddPoint(p, 0, 0, 0), b = AddPoint(p, 1, 0, 0), c = AddPoint(p, 1, 1, 0), d = AddPoint(p, 0, 1, 0);
  int q = AddFace(f, {a, b, c, d});
  // A face pointing down whose corners wind counter-clockwise seen from above.
  f[q].normal = {0, 0, -1};
  f[q].normalValid = 1;
  Triangle(p, f, 5);  // no stored normal: front fan
  CTempDir dir;
  CN5Tso tso;
  tso.singleShape = 1;
  ASSERT_TRUE(tso.MkTso(dir.File("o.3do"), p, f, CGlMipArray(), 0, false, false));
  auto shapes = All<CN5ObjSh>(tso);
  ASSERT_EQ(shapes.size(), 1u);
  EXPECT_EQ(Triangles(shapes[0]), (std::vector<uint32_t>{2, 1, 0, 3, 2, 0, 4, 5, 6}));
}

TEST(TsoShapes, UntexturedFacesSplitByColourUnlessSingleShape) {
  CGlPointArray p;
  CGlFaceArray f;
  const _float_rgba colours[] = {{1, 0, 0, 1}, {0, 1, 0, 1}, {1, 0, 0, 1}, {0, 0, 1, 1}, {0, 1, 0, 0.5f}};
  for (int i = 0; i < 5; ++i) {
    Triangle(p, f, float(2 * i));
    f[i].faceColour = colours[i];
  }
  CTempDir dir;
  {
    CN5Tso tso;
    ASSERT_TRUE(tso.MkTso(dir.File("o.3do"), p, f, CGlMipArray(), 0, false, false));
    auto shapes = All<CN5ObjSh>(tso);
    ASSERT_EQ(shapes.size(), 3u);
    // Red (faces 2 and 0, in that order), then green (4 and 1; alpha is not
    // compared), then blue.
    const size_t sizes[] = {6, 6, 3};
    const double red[] = {1, 0, 0};
    for (size_t s = 0; s < 3; ++s) {
      EXPECT_EQ(Triangles(shapes[s]).size(), sizes[s]);
      auto* ap = dynamic_cast<CN5ObjAp*>(shapes[s]->children[0]);
      ASSERT_NE(ap, nullptr);
      EXPECT_EQ(ap->lighting[0], red[s]);
      EXPECT_EQ(ap->lighting[3], 1.0);
      EXPECT_EQ(ap->lighting[8], 1.0);
      EXPECT_EQ(ap->GetPrimaryTexture(), "rgbmap");
    }
    auto* vl = All<CN5ObjVl>(tso)[0];
    ASSERT_EQ(vl->positions.size(), 6u);
    EXPECT_EQ(vl->positions[0].x, 4.0);  // face 2 first
    EXPECT_EQ(vl->positions[3].x, 0.0);
  }
  {
    CN5Tso tso;
    tso.singleShape = 1;
    ASSERT_TRUE(tso.MkTso(dir.File("o.3do"), p, f, CGlMipArray(), 0, false, false));
    EXPECT_EQ(All<CN5ObjSh>(tso).size(), 1u);
  }
}

TEST(TsoShapes, TexturedFacesGroupByMipWithTheirCoordinates) {
  CGlPointArray p;
  CGlFaceArray f;
  int a = AddPoint(p, 0, 0, 0), b = AddPoint(p, 1, 0, 0), c = AddPoint(p, 0, 1, 0);
  p[a].hasNormal = 1;
  p[a].nz = 1;
  AddFaceUV(f, {a, b, c}, {0, 0, 1, 0, 0, 1});
  AddFaceUV(f, {c, b, a}, {0.5f, 0.5f, 1, 1, 0, 0.25f});
  AddFace(f, {a, b, c});  // untextured
  f[0].mipIndex = 1;
  f[0].hasUVs = 1;
  f[1].mipIndex = 1;  // coordinates not generated: untextured
  f[2].deleted = 0;
  CGlMipArray mips;
  CGlMip m0, m1;
  m0.mipTitle = "unused";
  m1.mipTitle = "Bricks";
  mips.Add(m0);
  mips.Add(m1);
  CTempDir dir;
  CN5Tso tso;
  ASSERT_TRUE(tso.MkTso(dir.File("o.3do"), p, f, mips, 0, false, false));
  auto shapes = All<CN5ObjSh>(tso);
  ASSERT_EQ(shapes.size(), 2u);  // one colour of untextured faces, one textured
  auto* ap = dynamic_cast<CN5ObjAp*>(shapes[1]->children[0]);
  ASSERT_NE(ap, nullptr);
  EXPECT_EQ(ap->GetPrimaryTexture(), "bricks");
  auto vls = All<CN5ObjVl>(tso);
  ASSERT_EQ(vls.size(), 2u);
  ASSERT_EQ(vls[1]->uvs.size(), 3u);
  EXPECT_EQ(vls[1]->uvs[1].u, 1.0);
  EXPECT_EQ(vls[1]->uvs[2].v, 1.0);
  ASSERT_EQ(vls[1]->normals.size(), 3u);
  EXPECT_EQ(vls[1]->normals[0].z, 1.0);
  EXPECT_EQ(vls[1]->normals[1].z, 1.0);  // points without a normal get the upward default
}

TEST(TsoShapes, MaterialsFormGivesPaletteMaterialToFacesWithout) {
  CGlPointArray p;
  CGlFaceArray f;
  Triangle(p, f, 0);
  Triangle(p, f, 2);
  Triangle(p, f, 4);
  CGlMaterialArray materials;
  CGlMaterial wood;
  wood.materialName = "wood";
  wood.SetMapName("wood.tga");
  materials.Add(wood);
  f[1].materialIndex = 0;
  f[2].deleted = 1;
  CTempDir dir;
  CN5Tso tso;
  ASSERT_TRUE(tso.MkTso(dir.File("o.3do"), p, f, materials, 0, false, false));
  ASSERT_EQ(materials.GetSize(), 2);
  EXPECT_EQ(materials[1].materialName, "_rgbmap");
  auto shapes = All<CN5ObjSh>(tso);
  ASSERT_EQ(shapes.size(), 2u);
  auto* ap0 = dynamic_cast<CN5ObjAp*>(shapes[0]->children[0]);
  auto* ap1 = dynamic_cast<CN5ObjAp*>(shapes[1]->children[0]);
  EXPECT_EQ(ap0->GetPrimaryTexture(), "wood");
  EXPECT_EQ(ap1->GetPrimaryTexture(), "_rgbmap");
  EXPECT_EQ(Triangles(shapes[1]).size(), 3u);  // the deleted face is left out
}

TEST(TsoFile, EmptyMeshStillWritesOneShapeAndFileReadsBack) {
  CTempDir dir;
  const std::string path = dir.File("empty.3do");
  CN5Tso tso;
  ASSERT_TRUE(tso.MkTso(path, CGlPointArray(), CGlFaceArray(), CGlMipArray(), 0, false, false));
  std::vector<uint8_t> bytes = ReadBytes(path);
  ASSERT_FALSE(bytes.empty());
  CN5Root back;
  std::string error;
  ASSERT_TRUE(Ok(back.ReadFromFile(path), error)) << error;
  EXPECT_EQ(back.BytesRead(), bytes.size());
  auto shapes = All<CN5ObjSh>(back);
  ASSERT_EQ(shapes.size(), 1u);
  auto gms = All<CN5ObjGm>(back);
  ASSERT_EQ(gms.size(), 1u);
  EXPECT_EQ(gms[0]->triangles, (std::vector<uint32_t>{0, 1, 2}));
  auto vls = All<CN5ObjVl>(back);
  ASSERT_EQ(vls.size(), 1u);
  EXPECT_EQ(vls[0]->positions.size(), 3u);
  // Rewriting what was read gives the same bytes.
  back.ResetWriteIds();
  EXPECT_EQ(back.WriteToBuffer(), bytes);
}

TEST(TsoFile, NoShapeWritesNothing) {
  CGlPointArray p;
  CGlFaceArray f;
  Triangle(p, f, 0);
  f[0].deleted = 1;
  CTempDir dir;
  CN5Tso tso;
  EXPECT_FALSE(tso.MkTso(dir.File("none.3do"), p, f, CGlMipArray(), 0, false, false));
  EXPECT_FALSE(Exists(dir.File("none.3do")));
}

TEST(TsoFile, ObjectUsedTwiceWritesTwoCompleteFiles) {
  CGlPointArray p;
  CGlFaceArray f;
  Triangle(p, f, 0);
  CTempDir dir;
  CN5Tso tso;
  ASSERT_TRUE(tso.MkTso(dir.File("a.3do"), p, f, CGlMipArray(), 0, false, false));
  ASSERT_TRUE(tso.MkTso(dir.File("b.3do"), p, f, CGlMipArray(), 0, false, false));
  std::vector<uint8_t> a = ReadBytes(dir.File("a.3do")), b = ReadBytes(dir.File("b.3do"));
  EXPECT_EQ(a, b);
  // The root switch is object 1 of class 2, its class named.
  ASSERT_GT(b.size(), 40u);
  EXPECT_EQ(b[0], 1);
  EXPECT_EQ(b[4], 2);
  EXPECT_EQ(b[8], 22);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.data() + 12)), "StateSwitchDescriptor");
  // Its own header (1, 0, 1), the 56-byte block (1 at 0 and at 52), the
  // name, the child count block, the two values and a child array of one:
  // the "Weekend" switch, object 3 of the same class, so without a name.
  auto u32 = [&](size_t off) {
    uint32_t v;
    std::memcpy(&v, b.data() + off, 4);
    return v;
  };
  auto f64 = [&](size_t off) {
    double v;
    std::memcpy(&v, b.data() + off, 8);
    return v;
  };
  EXPECT_EQ(u32(34), 1u);
  EXPECT_EQ(u32(38), 0u);
  EXPECT_EQ(u32(42), 1u);
  EXPECT_EQ(u32(46), 1u);
  EXPECT_EQ(u32(46 + 52), 1u);
  EXPECT_EQ(u32(102), 11u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.data() + 106)), "Population");
  EXPECT_EQ(u32(117), 1u);
  EXPECT_EQ(u32(129), 16u);
  EXPECT_EQ(f64(133), 1.0);
  EXPECT_EQ(f64(141), 2.9);
  EXPECT_EQ(u32(149), 4u);
  EXPECT_EQ(u32(153), 3u);
  EXPECT_EQ(u32(157), 2u);
  EXPECT_EQ(u32(161), 1u);  // its header follows at once
  EXPECT_EQ(u32(165), 0u);
  EXPECT_EQ(u32(169), 1u);
}

}  // namespace lapforge
