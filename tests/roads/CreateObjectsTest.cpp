// The export blocks of a built track: names, order, name lists, object tags,
// collision-only boards, material transparency; and insert angles.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>

#include "description/TrkDsc.h"
#include "mapping/PtfMapping.h"
#include "mesh/GlBlockArray.h"
#include "mesh/GlInsert.h"
#include "mesh/GlMaterialArray.h"
#include "mesh/GlMipArray.h"
#include "roads/Lapforge.h"
#include "support/TextFormat.h"
#include "tests/support/ResultCheck.h"
#include "tests/support/TestSupport.h"
#include "tests/support/description/CheckedTracks.h"
#include "tests/support/description/Descriptions.h"

namespace lapforge {

namespace {

struct Export {
  CN5PtfDb model;
  CGlBlockArray blocks;
  CGlMaterialArray materials;
  CGlMipArray textures;
  std::vector<std::string> trackNames, verticalNames, otherNames;
};

// A 12-section circuit (2 km, two details) with four boards, an infield and
// an outfield.
void BuildTwelve(TrkDsc& ds) {
  CircuitOptions o;
  o.sections = 12;
  o.detailEvery = 6;
  FillGeneratedCircuit(ds, o);
  ds.VerticalObj.AddVerticalObjRow("XPit_Entry", 10.0f, -12.0f, 20.0f, -12.0f, 0.0f, 2.0f, "hedge");
  ds.VerticalObj.AddVerticalObjRow("boardxpit", 30.0f, -12.0f, 40.0f, -12.0f, 0.0f, 2.0f, "hedge");
  ds.VerticalObj.AddVerticalObjRow("XSector1", 50.0f, -12.0f, 60.0f, -12.0f, 0.0f, 2.0f, "hedge");
  ds.VerticalObj.AddVerticalObjRow("xfinish", 70.0f, -12.0f, 80.0f, -12.0f, 0.0f, 2.0f, "hedge");
  ds.InfieldObj.AddInfieldObjRow("inner", true, 100.0f, 300.0f, 0.0f, 0.0f, 1.0f, 10.0f, "grass", 10.0f);
  ds.OutfieldObj.AddOutfieldObjRow("bank", 400.0f, 500.0f, -20.0f, -20.0f, 0.0f, 2.0f, 1.0f, 10.0f, "grass", 10.0f);
}

void BuildAndMesh(TrkDsc& ds, Export& e) {
  CRecordingUI ui;
  std::string error;
  ASSERT_TRUE(Ok(PTFObjFromDataBase(ds, e.model, ""), error)) << error;
  CLapforge().CreateObjects(e.model, e.blocks, e.materials, e.textures, e.trackNames, e.verticalNames, e.otherNames);
}

}  // namespace

TEST(CreateObjects, BlocksInOrderWithTheirNamesListsAndTags) {
  TrkDsc ds;
  BuildTwelve(ds);
  Export e;
  BuildAndMesh(ds, e);
  std::vector<std::string> track;
  for (int i = 0; i < 12; ++i) track.push_back(StrFormat("TrackObj%03d", i));
  const std::vector<std::string> vertical = {"xpit_entry", "boardxpit", "xsector1", "xfinish"};
  const std::vector<std::string> other = {"Trd000", "Trd001", "inner", "bank"};
  EXPECT_EQ(e.trackNames, track);
  EXPECT_EQ(e.verticalNames, vertical);
  EXPECT_EQ(e.otherNames, other);
  std::vector<std::string> all = track;
  all.insert(all.end(), {"Trd000", "Trd001", "xpit_entry", "boardxpit", "xsector1", "xfinish", "inner", "bank"});
  ASSERT_EQ(e.blocks.GetSize(), static_cast<int>(all.size()));
  for (int i = 0; i < e.blocks.GetSize(); ++i) {
    const CGlBlock& b = e.blocks[i];
    EXPECT_EQ(b.name, all[static_cast<size_t>(i)]);
    EXPECT_EQ(b.attrib1, 1) << b.name;
    EXPECT_GT(b.faces.GetSize(), 0) << b.name;
    const bool isTrack = i < 12;
    EXPECT_EQ(b.tag.visible2, isTrack ? 1 : 0) << b.name;
    EXPECT_EQ(b.tag.hatTarget, isTrack ? 1 : 0) << b.name;
    EXPECT_EQ(b.tag.shadowReceiver, isTrack ? 1 : 0) << b.name;
  }
  // The track blocks are collision targets with a normal on every corner.
  for (int i = 0; i < 12; ++i) {
    const CGlBlock& b = e.blocks[i];
    EXPECT_EQ(b.tag.collisionTarget, 1);
    EXPECT_EQ(b.tag.render, 1);
    for (const CGlFace& f : b.faces)
      for (int k = 0; k < f.GetVertexCount(); ++k) ASSERT_EQ(b.points[f.vertices[k]].hasNormal, 1) << b.name;
  }
  // Timing and pit boards by the start of their titles only.
  struct Expect {
    int block, render, collision, response;
  };
  for (const Expect& x : {Expect{14, 0, 1, 2}, Expect{15, 1, 0, 0}, Expect{16, 0, 1, 1}, Expect{17, 0, 1, 1}}) {
    const CGlObjTag& t = e.blocks[x.block].tag;
    EXPECT_EQ(t.render, x.render) << e.blocks[x.block].name;
    EXPECT_EQ(t.collisionTarget, x.collision) << e.blocks[x.block].name;
    EXPECT_EQ(t.responseKind, x.response) << e.blocks[x.block].name;
  }
}

TEST(CreateObjects, TrackMaterialsTakeTheTransparencyOfTheMaterialTable) {
  TrkDsc ds;
  BuildTwelve(ds);
  // Distinct values per row; "hedge" is used by the boards only.
  int value = 2;
  for (int i = 0; i < ds.Material.Count(); ++i) ds.Material[i].SetTransparency(value++);
  ds.Material.AddMaterialRow("hedge", "maps\\hedge.dds", 9, nullptr, nullptr);
  Export e;
  BuildAndMesh(ds, e);
  std::vector<bool> byTrack(static_cast<size_t>(e.materials.GetSize()), false);
  for (int b = 0; b < 12; ++b)
    for (const CGlFace& f : e.blocks[b].faces)
      if (f.materialIndex >= 0) byTrack[static_cast<size_t>(f.materialIndex)] = true;
  int matched = 0;
  for (int k = 0; k < e.materials.GetSize(); ++k) {
    const CGlMaterial& m = e.materials[k];
    for (int i = 0; i < ds.Material.Count(); ++i) {
      if (!EqualsNoCase(ds.Material[i].MateralName(), m.materialName)) continue;
      // Materials first used by scenery come after the transparency pass.
      EXPECT_EQ(m.transparencyMode, byTrack[static_cast<size_t>(k)] ? ds.Material[i].Transparency() : -1)
          << m.materialName;
      matched += byTrack[static_cast<size_t>(k)];
    }
  }
  EXPECT_GE(matched, 3);  // surfaces and walls
  int hedge = -1;
  ASSERT_TRUE(e.materials.Lookup("hedge", hedge));
  EXPECT_EQ(e.materials[hedge].transparencyMode, -1);
}

// The count made without meshing bounds every block CreateObjects meshes,
// and each of its game objects (the points of one material's textured
// faces), closely: a quad has four points, a triangle three of them.
TEST(CreateObjects, CountsBoundTheMeshClosely) {
  TrkDsc twelve, banked;
  BuildTwelve(twelve);
  CircuitOptions o;
  o.sections = 20;
  o.banked = true;
  o.bands = 6;
  o.latRes = 1.5;
  o.longRes = 3;
  o.detailEvery = 4;
  FillGeneratedCircuit(banked, o);
  std::unique_ptr<TrkDsc> sample = CLapforge().DataBaseFromXML(LAPFORGE_SOURCE_DIR "/examples/sample-circuit.xml");
  ASSERT_TRUE(sample);
  for (TrkDsc* ds : {&twelve, &banked, sample.get()}) {
    Export e;
    BuildAndMesh(*ds, e);
    const std::vector<GlBlockCount> counts = e.model.CountGlBlocks();
    ASSERT_EQ(counts.size(), static_cast<size_t>(e.blocks.GetSize()));
    for (size_t i = 0; i < counts.size(); ++i) {
      const CGlBlock& b = e.blocks[static_cast<int>(i)];
      const GlBlockCount& c = counts[i];
      EXPECT_EQ(c.Faces(), b.faces.GetSize()) << b.name;
      EXPECT_GE(c.Points(), b.points.GetSize()) << b.name;
      EXPECT_LE(c.Points(), b.points.GetSize() * 4 / 3 + 4) << b.name;
      std::map<std::string, std::set<int32_t>> used;
      for (const CGlFace& f : b.faces)
        for (int k = 0; f.GetUVCount() > 0 && k < f.GetVertexCount(); ++k)
          used[e.materials[f.materialIndex].materialName].insert(f.vertices[k]);
      ASSERT_EQ(c.materials.size(), used.size()) << b.name;
      for (const GlMaterialCount& m : c.materials) {
        const long long actual = static_cast<long long>(used[m.material].size());
        EXPECT_GE(m.points, actual) << b.name << " " << m.material;
        EXPECT_LE(m.points, actual * 4 / 3 + 4) << b.name << " " << m.material;
      }
    }
  }
}

TEST(CreateObjects, MeshBeyondTheMemoryIsRefusedBeforeMeshing) {
  TrkDsc ds;
  FillCheckedLoop(ds);
  // Eight blocks of 10^7 rows of a dozen faces: hundreds of GB.
  ds.TrackSummary[0].SetLongitudinalResolution(1e-6f);
  Export e;
  CRecordingUI ui;
  ASSERT_TRUE(PTFObjFromDataBase(ds, e.model, ""));
  EXPECT_FALSE(CLapforge().CreateObjects(e.model, e.blocks, e.materials, e.textures, e.trackNames, e.verticalNames,
                                         e.otherNames));
  EXPECT_EQ(e.blocks.GetSize(), 0);
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].caption, "Out of memory");
  EXPECT_NE(ui.shown[0].text.find("meshing the track would need about"), std::string::npos) << ui.shown[0].text;
}

TEST(Inserts, AnglesBecomeRadiansWithPiTakenAsFiveDigitsAndPitchNegated) {
  CN5PtfDb model;
  CGlInsert insert;
  insert.name = "tree";
  insert.x = 1, insert.y = 2, insert.z = 3;
  insert.a = 90, insert.b = 10, insert.c = -20;
  CN5ObjRo* ref = model.AddGlInsert(insert, 7);
  ASSERT_NE(ref, nullptr);
  EXPECT_EQ(ref->placement[0], 1);
  EXPECT_EQ(ref->placement[1], 2);
  EXPECT_EQ(ref->placement[2], 3);
  // 3.14159 / 180 = 0.0174532777...: 90 degrees give 1.570795, not pi / 2.
  EXPECT_DOUBLE_EQ(ref->placement[3], 1.570795);
  EXPECT_DOUBLE_EQ(ref->placement[4], -0.1745327777777778);
  EXPECT_DOUBLE_EQ(ref->placement[5], -0.3490655555555556);
  EXPECT_GT(1.5707963267948966 - ref->placement[3], 1e-6);
}

}  // namespace lapforge
