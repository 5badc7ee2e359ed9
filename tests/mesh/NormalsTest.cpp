// Face normals, faceted and smooth shading, vertex alpha and tangents.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "mesh/GlFaceArray.h"
#include "support/Errors.h"
#include "tests/support/mesh/MeshBuilders.h"

namespace lapforge {

using meshtest::AddFace;
using meshtest::AddFaceUV;
using meshtest::AddPoint;

namespace {

bool AllFinite(const CGlPoint& p) {
  return std::isfinite(p.nx) && std::isfinite(p.ny) && std::isfinite(p.nz) && std::isfinite(p.alpha);
}

}  // namespace

TEST(GlNormals, FaceNormalOfATriangleAndOfDegenerateFaces) {
  CGlPointArray pts;
  AddPoint(pts, 0, 0, 0);
  AddPoint(pts, 1, 0, 0);
  AddPoint(pts, 1, 1, 0);
  AddPoint(pts, 2, 0, 0);
  CGlFaceArray faces;
  AddFace(faces, {0, 1, 2});
  faces[0].FaceNormal(pts);
  EXPECT_EQ(faces[0].normal.x, 0.0f);
  EXPECT_EQ(faces[0].normal.y, 0.0f);
  EXPECT_EQ(faces[0].normal.z, 1.0f);
  EXPECT_EQ(faces[0].planeD, 0.0f);
  EXPECT_EQ(faces[0].normalValid, 1);
  // Plane constant -(n . P1): the triangle lifted to z = 2 gives -2.
  CGlPointArray up = pts;
  up.MovePoints(0, 0, 2);
  faces[0].FaceNormal(up);
  EXPECT_EQ(faces[0].planeD, -2.0f);
  // Collinear and two-vertex faces get a finite upward normal.
  AddFace(faces, {0, 1, 3});
  AddFace(faces, {0, 1});
  faces[1].FaceNormal(pts);
  faces[2].FaceNormal(pts);
  for (int i = 1; i < 3; ++i) {
    EXPECT_EQ(faces[i].normal.z, 1.0f);
    EXPECT_TRUE(std::isfinite(faces[i].planeD));
  }
  AddFace(faces, {0, 1, 9});
  EXPECT_THROW(faces[3].FaceNormal(pts), CInvalidArgument);
}

TEST(GlNormals, FaceOnlyNormalsRespectsFirstFaceAndMissingFlag) {
  CGlPointArray pts;
  AddPoint(pts, 0, 0, 0);
  AddPoint(pts, 1, 0, 0);
  AddPoint(pts, 1, 1, 0);
  CGlFaceArray faces;
  for (int i = 0; i < 4; ++i) AddFace(faces, {0, 1, 2});
  faces[2].normalValid = 1;
  faces[2].normal = {1, 0, 0};
  faces[3].deleted = 1;
  faces.FaceOnlyNormals(pts, true, 1);
  EXPECT_EQ(faces[0].normalValid, 0);
  EXPECT_EQ(faces[1].normal.z, 1.0f);
  EXPECT_EQ(faces[2].normal.x, 1.0f);
  EXPECT_EQ(faces[3].normalValid, 0);
  faces.FaceOnlyNormals(pts, false, -5);
  EXPECT_EQ(faces[0].normal.z, 1.0f);
  EXPECT_EQ(faces[2].normal.x, 0.0f);
}

TEST(GlNormals, FacetNormalsSplitsSharedEdgeAndRebuildsLists) {
  // Two triangles folded along the edge (0,0,0)-(1,0,0): one flat, one upright.
  CGlPointArray pts;
  AddPoint(pts, 0, 0, 0);
  AddPoint(pts, 1, 0, 0);
  AddPoint(pts, 0, 1, 0);
  AddPoint(pts, 0, 0, 1);
  CGlFaceArray faces;
  AddFace(faces, {0, 1, 2});
  AddFace(faces, {1, 0, 3});
  AddFace(faces, {0, 0, 0});  // degenerate
  faces.CreateTriangleArrays();
  faces.FacetNormals(pts, false, 0);
  ASSERT_EQ(pts.GetSize(), 4 + 2 + 3);
  EXPECT_EQ(faces[0].vertices[0], 0);
  EXPECT_EQ(faces[1].vertices[0], 4);  // copy of point 1
  EXPECT_EQ(faces[1].vertices[1], 5);  // copy of point 0
  EXPECT_EQ(faces[1].vertices[2], 3);
  EXPECT_EQ(pts[4].x, 1.0f);
  EXPECT_EQ(pts[0].nz, 1.0f);
  // (1,0,0) -> (0,0,0) -> (0,0,1): a = (-1,0,0), b = (0,0,1), a x b = (0,1,0).
  EXPECT_EQ(pts[4].ny, 1.0f);
  EXPECT_EQ(pts[3].ny, 1.0f);
  EXPECT_EQ(faces[2].normal.z, 1.0f);
  EXPECT_EQ(faces.triangleLists[0].indices[3], 4);
  for (const CGlPoint& p : pts) EXPECT_TRUE(AllFinite(p));
}

TEST(GlNormals, UpNormals) {
  CGlPointArray pts;
  for (int i = 0; i < 4; ++i) AddPoint(pts, static_cast<float>(i), 0, static_cast<float>(i));
  CGlFaceArray faces;
  AddFace(faces, {0, 1, 2});
  AddFace(faces, {3});
  faces[1].deleted = 1;
  faces.UpNormals(pts);
  EXPECT_EQ(faces[0].normal.z, 1.0f);
  EXPECT_EQ(faces[0].normalValid, 1);
  EXPECT_EQ(pts[2].nz, 1.0f);
  EXPECT_EQ(pts[2].hasNormal, 1);
  EXPECT_EQ(pts[3].hasNormal, 0);
  EXPECT_EQ(faces[1].normalValid, 0);
}

TEST(GlNormals, VertexShadingOfACubeGivesCornerDiagonals) {
  CGlPointArray pts;
  CGlFaceArray faces;
  meshtest::MakeCube(pts, faces);
  faces.VertexShading(pts);
  ASSERT_EQ(pts.GetSize(), 24);
  const float k = 1.0f / std::sqrt(3.0f);
  for (const CGlPoint& p : pts) {
    EXPECT_EQ(p.hasNormal, 1);
    EXPECT_NEAR(p.nx, p.x > 0.5f ? k : -k, 1e-6);
    EXPECT_NEAR(p.ny, p.y > 0.5f ? k : -k, 1e-6);
    EXPECT_NEAR(p.nz, p.z > 0.5f ? k : -k, 1e-6);
  }
  // Eight shared vertices; points at one corner share one weld index.
  EXPECT_EQ(pts[0].weldIndex, pts[8].weldIndex);  // (0,0,0) on bottom and front
  EXPECT_NE(pts[0].weldIndex, pts[1].weldIndex);
  int highest = 0;
  for (const CGlPoint& p : pts) highest = std::max(highest, p.weldIndex);
  EXPECT_EQ(highest, 7);
}

TEST(GlNormals, VertexShadingCancellingNormalsAndTolerance) {
  // Two copies of one triangle facing opposite ways: their normals cancel.
  CGlPointArray pts;
  AddPoint(pts, 0, 0, 0);
  AddPoint(pts, 1, 0, 0);
  AddPoint(pts, 1, 1, 0);
  AddPoint(pts, 0.0005f, 0, 0);  // within 0.001 of point 0: the same vertex
  AddPoint(pts, 1, 1, 0);
  AddPoint(pts, 1, 0, 0);
  AddPoint(pts, 7, 7, 7);  // used by no face
  CGlFaceArray faces;
  AddFace(faces, {0, 1, 2});
  AddFace(faces, {3, 4, 5});
  faces.VertexShading(pts);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(pts[i].nx, 0.5773f) << i;
    EXPECT_EQ(pts[i].nz, 0.5773f) << i;
  }
  EXPECT_EQ(pts[0].weldIndex, pts[3].weldIndex);
  EXPECT_EQ(pts[0].x, 0.0f);  // positions and faces unchanged
  EXPECT_EQ(faces[1].vertices[0], 3);
  EXPECT_TRUE(AllFinite(pts[6]));
}

TEST(GlNormals, SetVertexAlphaModes) {
  CGlPointArray pts;
  AddPoint(pts, -2, 0, 0);
  AddPoint(pts, 2, 0, 4);
  AddPoint(pts, 0, 1, 1);
  AddPoint(pts, 50, 50, 50);  // not in a face of the material
  CGlFaceArray faces;
  AddFace(faces, {0, 1, 2}, 3);
  AddFace(faces, {3, 3, 3}, 4);
  faces.SetVertexAlpha(pts, 3, 1);  // height: extents include point 3, z 0..50
  EXPECT_FLOAT_EQ(pts[1].alpha, 4.0f / 50.0f);
  EXPECT_EQ(pts[3].alpha, 1.0f);

  faces[1].deleted = 1;
  faces.ResetExtents();
  faces.SetVertexAlpha(pts, 3, 1);  // z 0..4
  EXPECT_EQ(pts[0].alpha, 0.0f);
  EXPECT_EQ(pts[1].alpha, 1.0f);
  EXPECT_EQ(pts[2].alpha, 0.25f);

  // Steepness: normal z from the points (range starts at -1..1).
  pts[0].nz = 0.0f;
  pts[1].nz = 1.0f;
  pts[2].nz = 0.5f;
  pts[3].nz = 0.0f;
  faces.SetVertexAlpha(pts, 3, 2);
  EXPECT_EQ(pts[2].alpha, 0.5f);

  // Distance from the centre (0, 0.5) over the largest such distance.
  faces.SetVertexAlpha(pts, 3, 3);
  EXPECT_FLOAT_EQ(pts[2].alpha, 0.5f / std::sqrt(50.0f * 50.0f + 49.5f * 49.5f));

  for (int i = 0; i < 20; ++i) {
    faces.SetVertexAlpha(pts, 3, 0);
    EXPECT_GE(pts[0].alpha, 0.0f);
    EXPECT_LE(pts[0].alpha, 1.0f);
  }
  // An unknown mode changes no point.
  std::vector<float> before;
  for (const CGlPoint& p : pts) before.push_back(p.alpha);
  faces.SetVertexAlpha(pts, 3, 9);
  for (size_t i = 0; i < before.size(); ++i) EXPECT_EQ(pts[i].alpha, before[i]) << i;
}

TEST(GlNormals, SetVertexAlphaOnFlatOrCentredMeshStaysFinite) {
  CGlPointArray pts;
  for (int i = 0; i < 3; ++i) AddPoint(pts, 1, 1, 1);
  CGlFaceArray faces;
  AddFace(faces, {0, 1, 2}, 0);
  faces.SetVertexAlpha(pts, 0, 1);  // range 0 becomes 1
  EXPECT_EQ(pts[0].alpha, 0.0f);
  faces.SetVertexAlpha(pts, 0, 3);  // every point on the centre
  for (const CGlPoint& p : pts) EXPECT_EQ(p.alpha, 0.0f);
  pts[1].nz = 1.0f;
  pts[0].nz = pts[2].nz = 1.0f;
  faces.SetVertexAlpha(pts, 0, 2);  // normal z from 1 to 1: range becomes 1
  for (const CGlPoint& p : pts) EXPECT_TRUE(AllFinite(p));
}

TEST(GlNormals, TangentVectors) {
  CGlPointArray pts;
  AddPoint(pts, 0, 0, 0);
  AddPoint(pts, 2, 0, 0);
  AddPoint(pts, 0, 3, 0);
  AddPoint(pts, 9, 9, 9);
  CGlFaceArray faces;
  // u runs along x, v along y.
  AddFaceUV(faces, {0, 1, 2}, {0, 0, 1, 0, 0, 1}, 5);
  AddFaceUV(faces, {3, 1, 2}, {0, 0, 1, 0}, 5);  // fewer than three pairs: skipped
  std::vector<_float_xyz> bitangents;
  faces.TangentVectors(pts, bitangents, -1);
  ASSERT_EQ(bitangents.size(), 4u);
  // e1 = P2 - P0 = (0,3,0), e2 = P1 - P0 = (2,0,0); ds1 = 1, ds2 = 0, dt1 = 0, dt2 = 1.
  // T = dt2 e2 - dt1 e1 = (2,0,0) -> (1, -0, -0); B = ds2 e2 - ds1 e1 = (0,-3,0) -> (0, 1, 0).
  EXPECT_EQ(pts[0].tangent.x, 1.0f);
  EXPECT_EQ(pts[0].tangent.y, 0.0f);
  EXPECT_EQ(pts[2].tangentState, 1);
  EXPECT_EQ(bitangents[1].y, 1.0f);
  EXPECT_EQ(bitangents[1].x, 0.0f);
  EXPECT_EQ(pts[3].tangentState, 0);
  // Another material is not touched; a zero tangent stays unnormalised.
  CGlPointArray flat;
  for (int i = 0; i < 3; ++i) AddPoint(flat, 0, 0, 0);
  CGlFaceArray f2;
  AddFaceUV(f2, {0, 1, 2}, {0, 0, 1, 0, 0, 1}, 2);
  f2.TangentVectors(flat, bitangents, 1);
  EXPECT_EQ(flat[0].tangentState, 0);
  f2.TangentVectors(flat, bitangents, 2);
  EXPECT_EQ(flat[0].tangentState, 1);
  EXPECT_EQ(flat[0].tangent.x, 0.0f);
  EXPECT_TRUE(std::isfinite(bitangents[0].y));
}

}  // namespace lapforge
