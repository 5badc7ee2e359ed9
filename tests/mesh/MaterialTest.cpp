// Materials, shaders, textures (mips) and their name-indexed lists.
#include <gtest/gtest.h>

#include "mesh/GlBlockArray.h"
#include "mesh/GlFaceArray.h"
#include "mesh/GlMatMap.h"
#include "mesh/GlMaterialArray.h"
#include "mesh/GlMipArray.h"
#include "support/Errors.h"
#include "tests/support/mesh/MeshBuilders.h"

namespace lapforge {

using meshtest::AddFace;

namespace {

CGlMaterial Named(const std::string& name) {
  CGlMaterial m;
  m.materialName = name;
  return m;
}

// Stands in for the shader dictionary, which sits above the mesh model.
int MatchAny(CGlMatShader& shader) {
  shader.shaderName = "MATCHED";
  return 1;
}

CGlMip Titled(const std::string& title) {
  CGlMip m;
  m.mipTitle = title;
  return m;
}

}  // namespace

TEST(GlMaterial, RecordDefaults) {
  const CGlMaterial m;
  EXPECT_EQ(m.attrib0, 0);
  EXPECT_EQ(m.used, 0);
  EXPECT_EQ(m.transparencyMode, -1);
  EXPECT_EQ(m.fallbackTransparencyMode, -1);
  EXPECT_EQ(m.noDepthWrite, -1);  // stored 0xFF: not set, off
  EXPECT_EQ(m.doubleSided, -1);
  EXPECT_EQ(m.mapMode, 1);
  EXPECT_EQ(m.firstColour.a, 0.0f);
  EXPECT_EQ(m.diffuse.a, 1.0f);
  EXPECT_EQ(m.thirdColour.r, 0.0f);
  EXPECT_EQ(m.fourthColour.a, 1.0f);
  EXPECT_EQ(m.exponent, 5.0f);
  EXPECT_EQ(m.animationRate, 1.0f);
  for (uint8_t b : m.frameList) EXPECT_EQ(b, 0);
  EXPECT_EQ(m.shader.shaderName, "NONE");
  EXPECT_EQ(m.shader.shaderValue, 0.5f);
  for (const CGlShaderTex& t : m.shader.maps) {
    EXPECT_EQ(t.stageType, 0);
    EXPECT_EQ(t.blend, -1);
    EXPECT_EQ(t.uScale, 1.0f);
    EXPECT_EQ(t.vScale, 1.0f);
    EXPECT_EQ(t.channel, -1);
    EXPECT_EQ(t.scalePending, 1);
  }
  CGlShaderTex t;
  for (int type : {1, 2, 5, 11}) {
    t.stageType = type;
    EXPECT_TRUE(t.IsTexMap()) << type;
  }
  for (int type : {0, 3, 4, 6, 10, 12}) {
    t.stageType = type;
    EXPECT_FALSE(t.IsTexMap()) << type;
  }
  CGlMatMap map;
  EXPECT_EQ(map.mapType, -1);
  EXPECT_EQ(map.amount, 0.5f);
  for (int type : {11, 111, 211, 311, 411}) {
    map.mapType = static_cast<int16_t>(type);
    EXPECT_TRUE(map.ReflectionMap()) << type;
  }
  map.mapType = 511;
  EXPECT_FALSE(map.ReflectionMap());
  const CGlMip mip;
  EXPECT_EQ(mip.attribA, -1);
  EXPECT_EQ(mip.attribB, -1);
  EXPECT_EQ(mip.attribC, -1);
  EXPECT_EQ(mip.attribs[4], 0);
  EXPECT_EQ(mip.mipFlag, 0);
}

TEST(GlMaterial, SetMapNameKeepsPathAndTitle) {
  CGlMaterial m;
  m.SetMapName("C:\\Tracks\\Maps/Asphalt.Dark.TGA");
  EXPECT_EQ(m.GetMapName(), "C:\\Tracks\\Maps/Asphalt.Dark.TGA");
  EXPECT_EQ(m.GetMapTitle(), "asphalt.dark");
}

TEST(GlMaterialArray, AddLookupAndRepeatedNames) {
  CGlMaterialArray mats(MatchAny);
  CGlMaterial a = Named("wall");
  a.exponent = 1.0f;
  CGlMaterial b = Named("wall");
  b.exponent = 2.0f;
  EXPECT_EQ(mats.Add(a), 0);
  EXPECT_EQ(mats.Add(b), 1);  // both kept, the name maps to the newest
  int index = -1;
  ASSERT_TRUE(mats.Lookup("wall", index));
  EXPECT_EQ(index, 1);
  EXPECT_FALSE(mats.Lookup("WALL", index));
  EXPECT_EQ(mats.LookupAdd(a), 1);
  EXPECT_EQ(mats.GetSize(), 2);
  EXPECT_EQ(mats[0].shader.shaderName, "NONE");  // a shader name is kept as given
  EXPECT_THROW(mats.Get(2), CInvalidArgument);

  CGlMaterial noShader = Named("plain");
  noShader.shader.shaderName.clear();
  const int p = mats.Add(noShader);
  EXPECT_EQ(mats[p].shader.shaderName, "MATCHED");  // the matcher chose one
  CGlMaterialArray copy = mats;
  EXPECT_EQ(copy[copy.Add(noShader)].shader.shaderName, "MATCHED");  // a copy keeps the matcher
  CGlMaterialArray unmatched;
  EXPECT_EQ(unmatched[unmatched.Add(noShader)].shader.shaderName, "");  // none: kept as given

  const int c = mats.Add(Named("_gpl_collision_mat"));
  EXPECT_EQ(mats[c].diffuse.r, 1.0f);
  EXPECT_EQ(mats[c].diffuse.g, 0.0f);
  EXPECT_EQ(mats[c].diffuse.b, 0.0f);
  EXPECT_EQ(mats[c].diffuse.a, 0.3f);

  const int t = mats.AddByTexName("maps\\Kerb.tga");
  EXPECT_EQ(mats[t].materialName, "kerb");
  EXPECT_EQ(mats[t].mapName, "maps\\Kerb.tga");
  EXPECT_EQ(mats.AddByTexName("other\\KERB.dds"), t);

  const int r = mats.AddRGBMapMaterial("out\\");
  EXPECT_EQ(mats[r].materialName, "_rgbmap");
  EXPECT_EQ(mats[r].mapName, "out\\_rgbmap.tga");
  EXPECT_EQ(mats.AddRGBMapMaterial(), r);
  CGlMaterialArray other;
  EXPECT_EQ(other[other.AddRGBMapMaterial()].mapName, "_rgbmap.tga");
  other.RemoveAll();
  EXPECT_FALSE(other.Lookup("_rgbmap", index));
}

TEST(GlMaterialArray, MarkUsed) {
  CGlMaterialArray mats;
  for (const char* n : {"a", "b", "c"}) mats.Add(Named(n));
  CGlFaceArray faces;
  AddFace(faces, {0}, 2);
  AddFace(faces, {0}, 0);
  AddFace(faces, {0}, -1);
  faces[1].deleted = 1;
  mats[0].used = 1;
  mats.ClearUsed();
  mats.MarkUsed(faces);
  EXPECT_EQ(mats[0].used, 0);
  EXPECT_EQ(mats[2].used, 1);
  std::vector<uint8_t> table;
  mats.MarkUsed(faces, table);
  EXPECT_EQ(table, (std::vector<uint8_t>{0, 0, 1}));
  AddFace(faces, {0}, 3);
  EXPECT_THROW(mats.MarkUsed(faces, table), CInvalidArgument);
}

TEST(GlMaterialArray, PurgeMaterialsRenumbersFacesAndBlocks) {
  CGlMaterialArray mats;
  for (const char* n : {"a", "b", "c", "d"}) mats.Add(Named(n));
  CGlFaceArray faces;
  AddFace(faces, {0, 1, 2}, 3);
  CGlBlockArray blocks;
  CGlBlock& blk = blocks[blocks.AddNew()];
  AddFace(blk.faces, {0, 1, 2}, 1);
  AddFace(blk.faces, {0, 1, 2}, 0);
  blk.faces[1].deleted = 1;  // does not keep material 0
  EXPECT_TRUE(mats.PurgeMaterials(faces, blocks));
  ASSERT_EQ(mats.GetSize(), 2);
  EXPECT_EQ(mats[0].materialName, "b");
  EXPECT_EQ(mats[1].materialName, "d");
  EXPECT_EQ(faces[0].materialIndex, 1);
  EXPECT_EQ(blk.faces[0].materialIndex, 0);
  int index = -1;
  ASSERT_TRUE(mats.Lookup("d", index));
  EXPECT_EQ(index, 1);
  EXPECT_FALSE(mats.Lookup("a", index));
  // Everything used: nothing changes.
  EXPECT_FALSE(mats.PurgeMaterials(faces, blocks));
  EXPECT_EQ(mats.GetSize(), 2);
  EXPECT_EQ(faces[0].materialIndex, 1);
}

TEST(GlMaterialArray, CreateFromMipsAndMergeArrays) {
  CGlMipArray mips;
  CGlMip m;
  m.mipName = "Maps\\Grass.TGA";
  m.mipTitle = "grass";
  mips.Add(m);
  CGlMaterialArray mats;
  mats.CreateFromMips(mips);
  ASSERT_EQ(mats.GetSize(), 1);
  EXPECT_EQ(mats[0].mapName, "maps\\grass.tga");
  EXPECT_EQ(mats[0].mapTitle, "grass");
  EXPECT_EQ(mats[0].materialName, "grass");

  CGlMaterialArray source;
  for (const char* n : {"x", "grass", "y"}) source.Add(Named(n));
  CGlFaceArray faces;
  AddFace(faces, {0}, 2);
  AddFace(faces, {0}, 1);
  AddFace(faces, {0}, 0);
  faces[2].deleted = 1;
  mats.AddMaterialArray(source, faces);
  ASSERT_EQ(mats.GetSize(), 2);  // y added; grass merged; x unused
  EXPECT_EQ(mats[1].materialName, "y");
  EXPECT_EQ(faces[0].materialIndex, 1);
  EXPECT_EQ(faces[1].materialIndex, 0);
  EXPECT_EQ(faces[2].materialIndex, 0);  // deleted: left alone
}

TEST(GlMipArray, LookupAddNormalisesTitles) {
  EXPECT_EQ(CGlMipArray::NormaliseTitle("C:\\Maps\\Wall.A.TGA"), "wall");
  EXPECT_EQ(CGlMipArray::NormaliseTitle(".hidden.tga"), ".hidden");
  EXPECT_EQ(CGlMipArray::NormaliseTitle(".tga"), ".tga");
  EXPECT_EQ(CGlMipArray::NormaliseTitle("maps/ROCK.dds"), "rock");
  CGlMipArray mips;
  EXPECT_EQ(mips.LookupAdd(Titled("D:\\Tracks\\Wall.A.TGA")), 0);
  EXPECT_EQ(mips.LookupAdd(Titled("wall.tga")), 0);
  EXPECT_EQ(mips.GetSize(), 1);
  EXPECT_EQ(mips[0].mipTitle, "wall");
  EXPECT_EQ(mips.LookupAdd(Titled(".sky")), 1);
  int index = -1;
  EXPECT_TRUE(mips.Lookup(".sky", index));
  EXPECT_EQ(mips.Add(Titled("Raw")), 2);  // Add stores the title as given
  EXPECT_TRUE(mips.Lookup("Raw", index));

  CGlMaterial mat;
  mat.SetMapName("maps\\Tyre.tga");
  const int t = mips.AddFromMaterial(mat);
  EXPECT_EQ(mips[t].mipTitle, "tyre");
  EXPECT_EQ(mips[t].mipFileName, "tyre");
  EXPECT_EQ(mips[t].mipName, "maps\\Tyre.tga");
  EXPECT_EQ(mips.AddFromMaterial(mat), t);
  mips.RemoveAll();
  EXPECT_FALSE(mips.Lookup("wall", index));
}

TEST(GlMipArray, MarkUsedAndMerge) {
  CGlMipArray source;
  for (const char* n : {"a", "b", "c"}) source.Add(Titled(n));
  CGlMipArray dest;
  dest.Add(Titled("c"));
  CGlFaceArray faces;
  AddFace(faces, {0, 1, 2});
  AddFace(faces, {0, 1, 2});
  AddFace(faces, {0, 1, 2});
  faces[0].mipIndex = 2;
  faces[1].mipIndex = 1;
  faces[2].mipIndex = 0;
  faces[2].deleted = 1;
  source.ClearUsed();
  source.MarkUsed(faces);
  EXPECT_EQ(source[0].used, 0);
  EXPECT_EQ(source[1].used, 1);
  dest.AddMipArray(source, faces);
  ASSERT_EQ(dest.GetSize(), 2);
  EXPECT_EQ(dest[1].mipTitle, "b");
  EXPECT_EQ(faces[0].mipIndex, 0);
  EXPECT_EQ(faces[1].mipIndex, 1);
  faces[0].mipIndex = 5;
  std::vector<uint8_t> table;
  EXPECT_THROW(dest.MarkUsed(faces, table), CInvalidArgument);
}

}  // namespace lapforge
