// Blocks, inserts, object tags and waypoints: placing and exploding blocks,
// extents through inserts, purging unused blocks.
#include <gtest/gtest.h>

#include "mesh/GlBlockArray.h"
#include "mesh/GlMaterialArray.h"
#include "mesh/GlMipArray.h"
#include "mesh/GlWayPoint.h"
#include "support/Errors.h"
#include "tests/support/mesh/MeshBuilders.h"

namespace lapforge {

using meshtest::AddFace;
using meshtest::AddPoint;

namespace {

// A block holding one triangle of material `material` at (1,0,0), (0,1,0), (0,0,1).
int TriangleBlock(CGlBlockArray& blocks, const std::string& name, int material = 0) {
  const int index = blocks.AddNew();
  CGlBlock& b = blocks[index];
  b.name = name;
  AddPoint(b.points, 1, 0, 0);
  AddPoint(b.points, 0, 1, 0);
  AddPoint(b.points, 0, 0, 1);
  AddFace(b.faces, {0, 1, 2}, material);
  b.FindExtents();
  return index;
}

CGlInsert Placing(int block, float x = 0, float y = 0, float z = 0) {
  CGlInsert ins;
  ins.blockIndex = block;
  ins.x = x;
  ins.y = y;
  ins.z = z;
  return ins;
}

CGlMaterial Named(const std::string& name) {
  CGlMaterial m;
  m.materialName = name;
  return m;
}

}  // namespace

TEST(GlBlock, RecordDefaults) {
  const CGlInsert ins;
  EXPECT_EQ(ins.attrib0, -1);
  EXPECT_EQ(ins.attrib1, 0);
  EXPECT_EQ(ins.blockIndex, -1);
  EXPECT_EQ(ins.sx, 1.0f);
  EXPECT_EQ(ins.sz, 1.0f);
  EXPECT_EQ(ins.deleted, 0);
  EXPECT_EQ(ins.insertFlag, 1);
  EXPECT_EQ(ins.attrib7, -1);
  CGlObjTag tag;
  tag.name = "keep";
  tag.flag = 0;
  tag.shadowSize = 3;
  tag.nearDistance = 5.0f;
  tag.responseKind = 2;
  tag.ClearObjTag();
  EXPECT_EQ(tag.flag, 1);
  EXPECT_EQ(tag.render, 1);
  EXPECT_EQ(tag.shadowSize, 256);
  EXPECT_EQ(tag.nearDistance, 0.0f);
  EXPECT_EQ(tag.responseKind, 0);
  EXPECT_EQ(tag.name, "keep");
  const CGlBlock b;
  EXPECT_EQ(b.minPoint.x, 1e10f);
  EXPECT_EQ(b.maxPoint.y, -1e10f);
  CGlWayPointArray w;
  w.Add(CGlWayPoint{});
  EXPECT_EQ(w.GetSize(), 1);
}

TEST(GlBlock, ExplodeWithInsertScalesRotatesThenMoves) {
  CGlBlockArray blocks;
  const int t = TriangleBlock(blocks, "tri");
  CGlPointArray pts;
  AddPoint(pts, 0, 0, 0);
  CGlFaceArray faces;
  CGlInsert ins = Placing(t, 10, 0, 0);
  ins.a = 90;
  ins.sx = ins.sy = ins.sz = 2;
  blocks[t].Explode(pts, faces, &ins);
  ASSERT_EQ(pts.GetSize(), 4);
  EXPECT_NEAR(pts[1].x, 10.0f, 1e-5);  // (1,0,0) -> (2,0,0) -> (0,2,0) -> (10,2,0)
  EXPECT_NEAR(pts[1].y, 2.0f, 1e-5);
  EXPECT_NEAR(pts[1].z, 0.0f, 1e-5);
  EXPECT_NEAR(pts[3].z, 2.0f, 1e-5);
  ASSERT_EQ(faces.GetSize(), 1);
  EXPECT_EQ(faces[0].vertices[0], 1);
  EXPECT_EQ(faces[0].vertices[2], 3);
  // Without an insert the points are taken as they are.
  blocks[t].Explode(pts, faces, nullptr);
  EXPECT_EQ(pts[4].x, 1.0f);
  EXPECT_EQ(faces[1].vertices[0], 4);
  EXPECT_EQ(blocks[t].points[0].x, 1.0f);  // the block itself is unchanged
}

TEST(GlBlock, NestedInsertIsNotMovedByTheParentScale) {
  CGlBlockArray blocks;
  const int leaf = TriangleBlock(blocks, "leaf", 1);
  const int parent = blocks.AddNew();
  blocks[parent].inserts.Add(Placing(leaf, 1, 0, 0));
  CGlInsert deleted = Placing(leaf, 50, 0, 0);
  deleted.deleted = 1;
  blocks[parent].inserts.Add(deleted);
  CGlInsert top = Placing(parent, 5, 5, 0);
  top.sx = top.sy = top.sz = 2;
  top.a = 90;
  CGlMaterialArray source, dest;
  source.Add(Named("zero"));
  source.Add(Named("one"));
  dest.Add(Named("existing"));
  CGlPointArray pts;
  CGlFaceArray faces;
  AddFace(faces, {0, 0, 0}, 0);  // a face already in the destination, of dest material 0
  AddPoint(pts, 0, 0, 0);
  blocks[parent].Explode(pts, faces, dest, source, blocks, &top, true);
  // The nested insert sits at parent position + (1,0,0) rotated by 90: (5, 6, 0),
  // its points scaled by 2 and rotated by 90: (1,0,0) -> (0,2,0) -> (5, 8, 0).
  ASSERT_EQ(pts.GetSize(), 4);
  EXPECT_NEAR(pts[1].x, 5.0f, 1e-5);
  EXPECT_NEAR(pts[1].y, 8.0f, 1e-5);
  EXPECT_NEAR(pts[3].z, 2.0f, 1e-5);
  ASSERT_EQ(faces.GetSize(), 2);
  // Materials merged once: the placed face refers to "one" in the
  // destination, and the face that was there keeps "existing".
  ASSERT_EQ(dest.GetSize(), 2);
  EXPECT_EQ(dest[1].materialName, "one");
  EXPECT_EQ(faces[1].materialIndex, 1);
  EXPECT_EQ(faces[0].materialIndex, 0);
  // Without the recurse flag only the parent's own (empty) mesh is placed.
  blocks[parent].Explode(pts, faces, dest, source, blocks, &top, false);
  EXPECT_EQ(faces.GetSize(), 2);
}

TEST(GlBlock, SelfPlacingBlockDoesNotRecurseForever) {
  CGlBlockArray blocks;
  const int b = TriangleBlock(blocks, "loop");
  blocks[b].inserts.Add(Placing(b, 1, 0, 0));
  CGlMaterialArray source, dest;
  source.Add(Named("m"));
  CGlPointArray pts;
  CGlFaceArray faces;
  CGlInsert top = Placing(b);
  blocks[b].Explode(pts, faces, dest, source, blocks, &top, true);
  EXPECT_GT(faces.GetSize(), 1);
  EXPECT_LE(faces.GetSize(), 64);
  for (const CGlFace& f : faces) EXPECT_EQ(f.materialIndex, 0);
  CGlPoint lo, hi;
  blocks[b].GetBlockExtents(blocks, lo, hi);
  EXPECT_EQ(lo.x, 0.0f);
  std::vector<uint8_t> used;
  blocks[b].inserts.FindUsed(blocks, used);
  EXPECT_EQ(used, (std::vector<uint8_t>{1}));
}

TEST(GlBlock, ExtentsThroughInserts) {
  CGlBlockArray blocks;
  const int t = TriangleBlock(blocks, "tri");
  EXPECT_EQ(blocks[t].maxPoint.x, 1.0f);
  EXPECT_EQ(blocks[t].minPoint.x, 0.0f);
  EXPECT_FLOAT_EQ(blocks[t].cx, 0.5f);
  const int holder = blocks.AddNew();
  blocks[holder].inserts.Add(Placing(t, 10, 0, 0));
  CGlInsert far = Placing(t, 100, 0, 0);
  far.deleted = 1;
  blocks[holder].inserts.Add(far);
  blocks[holder].inserts.Add(Placing(7));  // not a block: ignored
  CGlPoint lo, hi;
  blocks[holder].GetBlockExtents(blocks, lo, hi);
  EXPECT_EQ(lo.x, 10.0f);
  EXPECT_EQ(hi.x, 11.0f);
  EXPECT_EQ(hi.z, 1.0f);
  CGlInsertArray list;
  CGlInsert scaled = Placing(t, 0, 0, -1);
  scaled.sz = 3;
  list.Add(scaled);
  list.FindExtents(blocks, lo, hi);
  EXPECT_EQ(lo.z, -1.0f);
  EXPECT_EQ(hi.z, 2.0f);
  CGlInsertArray none;
  none.FindExtents(blocks, lo, hi);
  EXPECT_EQ(lo.x, 1e10f);
  EXPECT_EQ(hi.x, -1e10f);
}

TEST(GlBlock, CopyClearAndInsertRotation) {
  CGlBlockArray blocks;
  const int t = TriangleBlock(blocks, "tri");
  CGlBlock& src = blocks[t];
  src.title = "not copied";
  src.fileName = "tri.gmt";
  src.attrib1 = 4;
  src.tag.shadowSize = 9;
  src.inserts.Add(Placing(0, 3));
  CGlBlockArray copy;
  copy.Copy(blocks);
  ASSERT_EQ(copy.GetSize(), 1);
  EXPECT_EQ(copy[0].name, "tri");
  EXPECT_EQ(copy[0].fileName, "tri.gmt");
  EXPECT_TRUE(copy[0].title.empty());
  EXPECT_EQ(copy[0].attrib1, 4);
  EXPECT_EQ(copy[0].tag.shadowSize, 256);
  EXPECT_EQ(copy[0].points.GetSize(), 3);
  EXPECT_EQ(copy[0].faces.maxPoint.x, 1.0f);
  ASSERT_EQ(copy[0].inserts.GetSize(), 1);
  EXPECT_EQ(copy[0].inserts[0].x, 3.0f);
  blocks.Copy(blocks);  // onto itself: doubles once
  EXPECT_EQ(blocks.GetSize(), 2);
  copy[0].ClearBlock();
  EXPECT_EQ(copy[0].points.GetSize(), 0);
  EXPECT_EQ(copy[0].faces.GetSize(), 0);
  EXPECT_EQ(copy[0].inserts.GetSize(), 0);
  EXPECT_THROW(copy.Get(1), CInvalidArgument);
  EXPECT_THROW(copy.RemoveAt(-1), CInvalidArgument);

  CGlInsert ins = Placing(0, 1, 0, 0);
  ins.a = 10;
  ins.RotatePointsDegrees(0, 0, 0);
  EXPECT_EQ(ins.a, 10.0f);
  ins.RotatePointsDegrees(90, 0, 0);
  EXPECT_NEAR(ins.x, 0.0f, 1e-6);
  EXPECT_NEAR(ins.y, 1.0f, 1e-6);
  EXPECT_EQ(ins.a, 100.0f);
  ins.RotatePointsDegrees(0, 0, 90);  // Y-Z: (0,1,0) -> (0,0,1)
  EXPECT_NEAR(ins.z, 1.0f, 1e-6);
  EXPECT_EQ(ins.c, 90.0f);
}

TEST(GlBlockArray, FindMatchingTitleAndPurge) {
  CGlBlockArray blocks;
  TriangleBlock(blocks, "models\\tree.gmt");
  TriangleBlock(blocks, "rock.gmt");
  TriangleBlock(blocks, "tree.gmt");
  EXPECT_EQ(blocks.FindMatchingTitle("C:\\Scenery\\TREE.GMT", -4), 0);
  EXPECT_EQ(blocks.FindMatchingTitle("TREE.GMT", 1), 2);
  EXPECT_EQ(blocks.FindMatchingTitle("bush.gmt", 0), -1);
  EXPECT_EQ(blocks.FindMatchingTitle("tree.gmt", 3), -1);

  // Block 1 is reached only through block 2; block 0 only by a deleted insert.
  blocks[2].inserts.Add(Placing(1));
  CGlInsertArray inserts;
  inserts.Add(Placing(2));
  CGlInsert gone = Placing(0);
  gone.deleted = 1;
  inserts.Add(gone);
  std::vector<uint8_t> used;
  inserts.FindUsed(blocks, used);
  EXPECT_EQ(used, (std::vector<uint8_t>{0, 1, 1}));
  EXPECT_TRUE(blocks.Purge(inserts));
  ASSERT_EQ(blocks.GetSize(), 2);
  EXPECT_EQ(blocks[0].name, "rock.gmt");
  EXPECT_EQ(inserts[0].blockIndex, 1);
  EXPECT_EQ(inserts[1].blockIndex, -1);
  EXPECT_EQ(blocks[1].inserts[0].blockIndex, 0);
  EXPECT_FALSE(blocks.Purge(inserts));
  EXPECT_EQ(blocks.GetSize(), 2);
}

TEST(GlInsertArray, ExtractEditAndPerBlockOperations) {
  CGlInsertArray inserts;
  EXPECT_FALSE(inserts.SomethingToEdit());
  CGlInsert gone = Placing(0);
  gone.deleted = 1;
  inserts.Add(gone);
  EXPECT_FALSE(inserts.SomethingToEdit());
  inserts.Add(Placing(0, 1));
  inserts.Add(Placing(0, 2));  // the same block placed twice
  EXPECT_TRUE(inserts.SomethingToEdit());
  CGlInsertArray saved;
  inserts.ExtractSaveInserts(saved);
  ASSERT_EQ(saved.GetSize(), 2);
  EXPECT_EQ(saved[1].x, 2.0f);
  inserts.RenumberBlocks({4});
  EXPECT_EQ(inserts[1].blockIndex, 4);
  inserts.RenumberBlocks({0, 0, 0, 0, 0});

  CGlBlockArray blocks;
  const int t = TriangleBlock(blocks, "tri", 0);
  CGlBlock& b = blocks[t];
  for (int i = 0; i < 3; ++i) b.points[i].u = 0.25f;
  b.faces[0].AddUV(0, 0);
  b.faces[0].AddUV(1, 0);
  b.faces[0].AddUV(0, 1);
  b.faces.CreateTriangleArrays();
  // Rescaled once per block, though placed by two inserts.
  inserts.ReScaleTextures(blocks, 0, 0, 2, 2, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(b.points[0].u, 0.5f);
  EXPECT_EQ(b.faces[0].uvs[2], 2.0f);
  std::vector<_float_xyz> bitangents;
  inserts.TangentVectors(blocks, bitangents, -1);
  EXPECT_EQ(b.points[0].tangentState, 1);
  EXPECT_EQ(bitangents.size(), 3u);
}

TEST(GlBlockArray, TextureOperationsOnEveryBlock) {
  CGlBlockArray blocks;
  TriangleBlock(blocks, "a", -1);
  TriangleBlock(blocks, "b", -1);
  CGlMaterialArray mats;
  blocks.CreateTextureCoordsFromRGB(mats, "");
  ASSERT_EQ(mats.GetSize(), 1);
  EXPECT_EQ(blocks[0].faces[0].materialIndex, 0);
  EXPECT_EQ(blocks[1].faces[0].materialIndex, 0);
  CGlMipArray mips;
  blocks.ReplaceTexturesFromMaterials(mips, mats);
  ASSERT_EQ(mips.GetSize(), 1);
  EXPECT_EQ(mips[0].mipTitle, "_rgbmap");
  EXPECT_EQ(blocks[1].faces[0].mipIndex, 0);
}

}  // namespace lapforge
