// Faces and face arrays: the fixed-size record, extents, the two
// triangulations, ordering, merging, mirroring, purging and welding.
#include <gtest/gtest.h>

#include <type_traits>

#include "mesh/GlFaceArray.h"
#include "mesh/GlMaterialArray.h"
#include "support/Errors.h"
#include "tests/support/mesh/MeshBuilders.h"

namespace lapforge {

using meshtest::AddFace;
using meshtest::AddFaceUV;
using meshtest::AddPoint;

namespace {

std::vector<int32_t> Vertices(const CGlFace& f) { return std::vector<int32_t>(f.vertices, f.vertices + f.vertexCount); }

CGlMaterialArray Materials(int n) {
  CGlMaterialArray m;
  for (int i = 0; i < n; ++i) {
    CGlMaterial mat;
    mat.materialName = "m" + std::to_string(i);
    m.Add(mat);
  }
  return m;
}

}  // namespace

TEST(GlFace, FixedSizeRecordDefaultsAndListLimits) {
  static_assert(std::is_trivially_copyable_v<CGlFace>, "faces are plain records without heap parts");
  CGlFace f;
  EXPECT_EQ(f.keep, 1);
  EXPECT_EQ(f.sourceIndex, -1);
  EXPECT_EQ(f.mipIndex, -1);
  EXPECT_EQ(f.materialIndex, -1);
  EXPECT_EQ(f.group, -1);
  EXPECT_EQ(f.sourceGroup, -1);
  EXPECT_EQ(f.faceColour.r, 0.6f);
  EXPECT_EQ(f.faceColour.a, 1.0f);
  for (int i = 0; i < 5; ++i) f.AddVertex(i);
  EXPECT_EQ(f.GetVertexCount(), 4);
  EXPECT_EQ(f.vertices[3], 3);
  f.AddUV(1, 2);
  f.AddUV(3, 4);
  f.AddUV(5, 6);
  f.AddFloat(7);
  f.AddUV(8, 9);  // only the 8 fits: a pair cut in half
  EXPECT_EQ(f.GetFloatCount(), 8);
  EXPECT_EQ(f.GetUVCount(), 4);
  EXPECT_EQ(f.uvs[7], 8.0f);
  EXPECT_EQ(f.GetVertex(3), 3);
  EXPECT_THROW(f.GetVertex(4), CInvalidArgument);
  // A damaged count from a file is clamped, never used as a loop bound.
  f.vertexCount = 1000;
  f.uvCount = -3;
  EXPECT_EQ(f.GetVertexCount(), 4);
  EXPECT_EQ(f.GetUVCount(), 0);
  CGlTriangles t;
  EXPECT_EQ(t.kind, 0);
  EXPECT_EQ(t.materialIndex, -1);
  EXPECT_EQ(t.mipIndex, -1);
}

TEST(GlFaceArray, ExtentsCountsAndElementAccess) {
  CGlFaceArray faces;
  EXPECT_TRUE(faces.ExtentsNotComputed());
  EXPECT_EQ(faces.minPoint.x, 1e10f);
  EXPECT_EQ(faces.maxPoint.z, -1e10f);
  CGlPointArray pts;
  faces.FacesExtent(pts);  // empty: all zeros
  EXPECT_EQ(faces.minPoint.x, 0.0f);
  EXPECT_EQ(faces.maxPoint.x, 0.0f);

  AddPoint(pts, -1, 2, 3);
  AddPoint(pts, 5, -2, 7);
  AddPoint(pts, 100, 100, 100);  // used only by a deleted face
  AddFace(faces, {0, 1});
  AddFace(faces, {2});
  faces[1].deleted = 1;
  EXPECT_EQ(faces.CountFaces(), 1);
  faces.FacesExtent(pts);
  EXPECT_EQ(faces.minPoint.x, -1.0f);
  EXPECT_EQ(faces.maxPoint.x, 5.0f);
  EXPECT_EQ(faces.centrePoint.x, 2.0f);
  EXPECT_EQ(faces.centrePoint.y, 0.0f);
  EXPECT_EQ(faces.centrePoint.z, 5.0f);

  faces[0].deleted = 1;  // all deleted: still marked not computed, centre 0
  faces.FacesExtent(pts);
  EXPECT_TRUE(faces.ExtentsNotComputed());
  EXPECT_EQ(faces.minPoint.y, 1e10f);
  EXPECT_EQ(faces.centrePoint.x, 0.0f);

  faces[0].deleted = 0;
  faces.ResetExtents();
  CGlPoint lo, hi;
  faces.GetExtents(pts, lo, hi);
  EXPECT_EQ(lo.z, 3.0f);
  EXPECT_EQ(hi.z, 7.0f);

  EXPECT_THROW(faces.Get(2), CInvalidArgument);
  EXPECT_THROW(faces.Duplicate(-1), CInvalidArgument);
  EXPECT_EQ(faces.Duplicate(0), 2);
  EXPECT_EQ(Vertices(faces[2]), (std::vector<int32_t>{0, 1}));
}

TEST(GlFaceArray, CentreFacesMovesAllPoints) {
  CGlPointArray pts;
  AddPoint(pts, 0, 0, 2);
  AddPoint(pts, 4, 2, 6);
  AddPoint(pts, 10, 10, 10);  // not used by any face, moved anyway
  CGlFaceArray faces;
  AddFace(faces, {0, 1});
  float cx, cy, cz;
  faces.CentreFaces(pts, cx, cy, cz, 0);
  EXPECT_EQ(cx, 2.0f);
  EXPECT_EQ(cy, 1.0f);
  EXPECT_EQ(cz, 2.0f);  // minimum z when the flag is 0
  EXPECT_EQ(pts[0].z, 0.0f);
  EXPECT_EQ(pts[2].x, 8.0f);
  faces.CentreFaces(pts, cx, cy, cz, 1);
  EXPECT_EQ(cz, 2.0f);  // centre of 0..4
}

TEST(GlFaceArray, TriangulationDiagonalsDiffer) {
  CGlFaceArray quads;
  AddFaceUV(quads, {10, 11, 12, 13}, {0, 0, 1, 0, 1, 1, 0, 1}, 2);
  AddFace(quads, {1, 2});  // too few vertices: dropped
  AddFace(quads, {3, 4, 5}, 1);
  AddFace(quads, {6, 7, 8, 9});
  quads[3].deleted = 1;
  CGlFaceArray tris;
  AddFace(tris, {0, 0, 0});  // appended after what is there
  tris.ToTriangles(quads);
  ASSERT_EQ(tris.GetSize(), 4);
  // Fan around the last vertex: (a, b, d), (b, c, d), with the matching UVs.
  EXPECT_EQ(Vertices(tris[1]), (std::vector<int32_t>{10, 11, 13}));
  EXPECT_EQ(Vertices(tris[2]), (std::vector<int32_t>{11, 12, 13}));
  EXPECT_EQ(tris[2].uvCount, 6);
  const float uv2[6] = {1, 0, 1, 1, 0, 1};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(tris[2].uvs[i], uv2[i]);
  EXPECT_EQ(tris[2].materialIndex, 2);
  EXPECT_EQ(Vertices(tris[3]), (std::vector<int32_t>{3, 4, 5}));

  // The triangle lists cut the same quad along the other diagonal.
  quads.CreateTriangleArrays();
  // Material -1 has only a two-vertex face and a deleted quad: no list.
  ASSERT_EQ(quads.triangleLists.size(), 2u);
  EXPECT_EQ(quads.triangleLists[0].materialIndex, 1);
  const CGlTriangles& m2 = quads.triangleLists[1];
  EXPECT_EQ(m2.materialIndex, 2);
  EXPECT_EQ(m2.kind, 1);
  EXPECT_EQ(m2.mipIndex, -1);
  EXPECT_EQ(m2.indices, (std::vector<int32_t>{10, 11, 12, 12, 13, 10}));
}

TEST(GlFaceArray, TriangleListsOrderedByMaterialWithUnusedSlotsLeftOut) {
  CGlFaceArray faces;
  AddFace(faces, {0, 1, 2}, 2);
  AddFace(faces, {3, 4, 5}, -1);
  AddFace(faces, {6, 7, 8}, 0);
  AddFace(faces, {9, 10, 11}, 7);
  faces[3].deleted = 1;
  AddFace(faces, {1, 2}, 5);  // no triangle: no list
  faces.CreateTriangleArrays();
  ASSERT_EQ(faces.triangleLists.size(), 3u);
  EXPECT_EQ(faces.triangleLists[0].materialIndex, -1);
  EXPECT_EQ(faces.triangleLists[1].materialIndex, 0);
  EXPECT_EQ(faces.triangleLists[2].materialIndex, 2);
  EXPECT_EQ(faces.triangleLists[1].indices, (std::vector<int32_t>{6, 7, 8}));
  faces[0].materialIndex = -2;
  EXPECT_THROW(faces.CreateTriangleArrays(), CInvalidArgument);
}

TEST(GlFaceArray, AllTrianglesOnEmptyArrayCopiesExtents) {
  CGlFaceArray empty;
  EXPECT_TRUE(empty.AllTriangles());
  empty.minPoint.x = -3.0f;
  CGlFaceArray dest;
  AddFace(dest, {0, 1, 2, 3});
  dest.ToTriangles(empty);  // a copy: the quad is gone
  EXPECT_EQ(dest.GetSize(), 0);
  EXPECT_EQ(dest.minPoint.x, -3.0f);
  AddFace(empty, {0, 1, 2, 3});
  EXPECT_FALSE(empty.AllTriangles());
  empty.ToTriangles(empty);  // in place, appended after the source
  EXPECT_EQ(empty.GetSize(), 3);
}

TEST(GlFaceArray, SortByMaterialStableAndRestricted) {
  CGlFaceArray src;
  AddFace(src, {0}, 2);
  AddFace(src, {1}, 1);
  AddFace(src, {2}, 0);
  AddFace(src, {3}, -1);
  AddFace(src, {4}, 1);
  AddFace(src, {5}, 9);
  src[4].deleted = 1;  // copied too
  const CGlMaterialArray mats = Materials(3);
  CGlFaceArray out;
  out.SortByMaterial(src, mats, 1);
  ASSERT_EQ(out.GetSize(), 3);
  EXPECT_EQ(out[0].vertices[0], 1);
  EXPECT_EQ(out[1].vertices[0], 4);
  EXPECT_EQ(out[1].deleted, 1);
  EXPECT_EQ(out[2].vertices[0], 0);
  CGlFaceArray all;
  all.SortByMaterial(src, mats, 0);
  EXPECT_EQ(all.GetSize(), 4);
  EXPECT_EQ(all[0].vertices[0], 2);
}

TEST(GlFaceArray, AppendExtractFindAndMark) {
  CGlPointArray destPts, srcPts;
  AddPoint(destPts, 0, 0, 0);
  AddPoint(destPts, 1, 0, 0);
  AddPoint(srcPts, 5, 5, 5);
  AddPoint(srcPts, 6, 6, 6);
  CGlFaceArray src, dest;
  AddFace(src, {0, 1});
  AddFace(src, {1});
  src[1].deleted = 1;
  dest.AppendFaces(src, srcPts, destPts);
  EXPECT_EQ(dest.GetSize(), 2);
  EXPECT_EQ(Vertices(dest[0]), (std::vector<int32_t>{2, 3}));
  EXPECT_EQ(dest[1].vertices[0], 3);
  EXPECT_EQ(destPts.GetSize(), 4);
  EXPECT_EQ(destPts[3].x, 6.0f);

  CGlFaceArray keepers;
  AddFace(keepers, {0}, 0);
  AddFace(keepers, {1}, 1);
  AddFace(keepers, {2}, 2);
  keepers[1].keep = 0;
  keepers[2].deleted = 1;
  CGlFaceArray saved;
  keepers.ExtractSaveFaces(saved, false);
  EXPECT_EQ(saved.GetSize(), 1);
  keepers.ExtractSaveFaces(saved, true);
  EXPECT_EQ(saved.GetSize(), 3);
  EXPECT_EQ(saved[2].vertices[0], 1);

  CGlFaceArray mesh;
  AddFace(mesh, {0, 1, 2});
  AddFace(mesh, {2, 3, 4});
  AddFace(mesh, {5, 6, 7});
  AddFace(mesh, {4, 8, 100});
  mesh[3].deleted = 1;
  CGlFaceArray found;
  AddFace(found, {9});
  mesh.FindFacesMatching({4, 2}, found);
  ASSERT_EQ(found.GetSize(), 2);  // cleared first, each face once
  EXPECT_EQ(found[1].vertices[0], 2);

  std::vector<uint8_t> used;
  mesh[3].deleted = 0;
  EXPECT_EQ(mesh.MarkUsedPoints(used, 9), 9);  // 100 is beyond the point count: ignored
  ASSERT_EQ(used.size(), 9u);
  mesh[2].deleted = 1;
  EXPECT_EQ(mesh.MarkUsedPoints(used, 9), 6);
  EXPECT_EQ(used[6], 0);
}

TEST(GlFaceArray, ReverseAndMirrorWinding) {
  CGlPointArray pts;
  AddPoint(pts, 0, 0, 0);
  AddPoint(pts, 1, 0, 0);
  AddPoint(pts, 1, 1, 0);
  CGlFaceArray faces;
  AddFaceUV(faces, {0, 1, 2}, {0, 0, 1, 0, 1, 1});
  faces[0].normal = {0, 0, 1};
  faces[0].normalValid = 1;
  faces.Reverse(0);
  EXPECT_EQ(Vertices(faces[0]), (std::vector<int32_t>{2, 1, 0}));
  const float rev[6] = {1, 1, 1, 0, 0, 0};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(faces[0].uvs[i], rev[i]);
  EXPECT_EQ(faces[0].normalValid, 0);
  EXPECT_EQ(faces[0].normal.z, 1.0f);
  EXPECT_THROW(faces.Reverse(1), CInvalidArgument);
  faces.ReverseAll();
  EXPECT_EQ(Vertices(faces[0]), (std::vector<int32_t>{0, 1, 2}));
  ASSERT_EQ(faces.triangleLists.size(), 1u);

  // One axis: winding reversed (and the lists with it); two axes: kept.
  faces[0].normalValid = 1;
  faces.Mirror(pts, true, false, false);
  EXPECT_EQ(pts[1].x, -1.0f);
  EXPECT_EQ(Vertices(faces[0]), (std::vector<int32_t>{2, 1, 0}));
  EXPECT_EQ(faces[0].normalValid, 1);
  EXPECT_EQ(faces.triangleLists[0].indices, (std::vector<int32_t>{2, 1, 0}));
  faces.Mirror(pts, true, false, true);
  EXPECT_EQ(Vertices(faces[0]), (std::vector<int32_t>{2, 1, 0}));
  EXPECT_EQ(faces[0].normal.z, -1.0f);
  EXPECT_EQ(pts[1].x, 1.0f);
  faces.Mirror(pts, false, false, false);
  EXPECT_EQ(pts[1].x, 1.0f);
}

TEST(GlFaceArray, RenumberAndDeleteMaterials) {
  CGlFaceArray faces;
  AddFace(faces, {0, 1, 2}, 0);
  AddFace(faces, {0, 1, 2}, 1);
  AddFace(faces, {0, 1, 2}, 5);
  AddFace(faces, {0, 1, 2}, 1);
  faces.CreateTriangleArrays();
  faces[3].deleted = 1;
  EXPECT_EQ(faces.RenumberMaterials({3, 0}), 1);
  EXPECT_EQ(faces[0].materialIndex, 3);
  EXPECT_EQ(faces[1].materialIndex, 0);
  EXPECT_EQ(faces[2].materialIndex, 5);  // outside the map: left alone
  EXPECT_EQ(faces[3].materialIndex, 1);  // deleted: left alone
  EXPECT_EQ(faces.triangleLists[0].materialIndex, 3);
  EXPECT_EQ(faces.triangleLists[1].materialIndex, 0);
  faces.DeleteMaterialIndex(0);
  EXPECT_EQ(faces[1].deleted, 1);
  ASSERT_EQ(faces.triangleLists.size(), 2u);
  EXPECT_EQ(faces.triangleLists[0].materialIndex, 3);
  EXPECT_EQ(faces.triangleLists[1].materialIndex, 5);
}

TEST(GlFaceArray, PurgeZeroSizeFaces) {
  CGlPointArray pts;
  AddPoint(pts, 0, 0, 0);
  AddPoint(pts, 1, 0, 0);
  AddPoint(pts, 1, 0.00009f, 0);
  AddPoint(pts, 0, 1, 0);
  CGlFaceArray faces;
  AddFace(faces, {0, 1, 3});
  AddFace(faces, {0, 1, 2});
  faces.PurgeZeroSizeFaces(pts);
  EXPECT_EQ(faces[0].deleted, 0);
  EXPECT_EQ(faces[1].deleted, 1);
  ASSERT_EQ(faces.triangleLists.size(), 1u);
  EXPECT_EQ(faces.triangleLists[0].indices.size(), 3u);
}

TEST(GlFaceArray, PurgeDuplicatePointsWeldsAndDropsUnused) {
  CGlPointArray three;
  AddPoint(three, 0, 0, 0);
  AddPoint(three, 0, 0, 0);
  AddPoint(three, 1, 0, 0);
  CGlFaceArray f3;
  AddFace(f3, {0, 1, 2});
  f3.PurgeDuplicatePoints(three, true);  // fewer than 4 points: untouched
  EXPECT_EQ(three.GetSize(), 3);
  EXPECT_EQ(f3[0].vertices[1], 1);

  CGlPointArray pts;
  AddPoint(pts, 0, 0, 0);         // 0
  AddPoint(pts, 5, 0, 0);         // 1
  AddPoint(pts, 0.00003f, 0, 0);  // 2, same place as 0 within 1e-4
  AddPoint(pts, 9, 9, 9);         // 3, unused
  pts[2].sourceIndex = 22;
  CGlFaceArray faces;
  AddFace(faces, {0, 1, 2});
  faces.CreateTriangleArrays();
  faces.PurgeDuplicatePoints(pts, true);
  ASSERT_EQ(pts.GetSize(), 2);
  // Descending order: x = 5 first, then the pair at 0 whose first member in
  // sorted order (the lower index within one cell) is copied.
  EXPECT_EQ(pts[0].x, 5.0f);
  EXPECT_EQ(pts[1].x, 0.0f);
  EXPECT_EQ(Vertices(faces[0]), (std::vector<int32_t>{1, 0, 1}));
  EXPECT_EQ(faces.triangleLists[0].indices, (std::vector<int32_t>{1, 0, 1}));
}

TEST(GlFaceArray, PurgeDuplicatePointsFullCompareKeepsUVSeams) {
  CGlPointArray pts;
  for (int i = 0; i < 4; ++i) AddPoint(pts, 1, 1, 1);
  pts[1].u = 0.5f;  // a seam: same place, other texture coordinate
  pts[2].u = 0.0004f;
  CGlFaceArray faces;
  AddFace(faces, {0, 1, 2, 3});
  AddFace(faces, {3, 3, 3});
  faces[1].deleted = 1;
  faces.PurgeDuplicatePoints(pts, false);
  ASSERT_EQ(pts.GetSize(), 2);
  EXPECT_EQ(pts[0].u, 0.5f);
  const std::vector<int32_t> v = Vertices(faces[0]);
  EXPECT_EQ(v[1], 0);
  EXPECT_EQ(v[0], 1);
  EXPECT_EQ(v[2], 1);
  EXPECT_EQ(v[3], 1);
  EXPECT_EQ(faces[1].vertices[0], 1);  // deleted faces are renumbered too
}

TEST(GlFaceArray, PurgeDuplicatePointsWeldsNoisyGrid) {
  // Coincident corners carry float noise far below the tolerance, and other
  // points lie between them in exact x order; they still weld.
  CGlPointArray pts;
  CGlFaceArray faces;
  meshtest::MakeGrid(pts, faces, 40, 40, false);  // 6400 points: the bucket sort
  for (int i = 0; i < pts.GetSize(); ++i) pts[i].x += (i % 3) * 1e-6f;
  faces.PurgeDuplicatePoints(pts, true);
  EXPECT_EQ(pts.GetSize(), 41 * 41);
  EXPECT_EQ(faces.CountFaces(), 1600);
  for (const CGlFace& f : faces) {
    for (int k = 0; k < 4; ++k) ASSERT_TRUE(pts.InBounds(f.vertices[k]));
  }
}

TEST(GlFaceArray, PurgeDuplicatePointsRejectsBadIndicesBeforeChanging) {
  CGlPointArray pts;
  for (int i = 0; i < 5; ++i) AddPoint(pts, 0, 0, 0);
  CGlFaceArray faces;
  AddFace(faces, {0, 1, 2});
  AddFace(faces, {3, 4, 5});
  EXPECT_THROW(faces.PurgeDuplicatePoints(pts, true), CInvalidArgument);
  EXPECT_EQ(pts.GetSize(), 5);
  EXPECT_EQ(faces[0].vertices[2], 2);
}

}  // namespace lapforge
