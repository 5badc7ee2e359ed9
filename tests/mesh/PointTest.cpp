// Points and point arrays: record defaults, the welding order, transforms,
// and the bookkeeping that moves texture coordinates and normals between
// faces and vertices.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "mesh/GlFaceArray.h"
#include "mesh/GlPointArray.h"
#include "support/Errors.h"
#include "tests/support/mesh/MeshBuilders.h"

namespace lapforge {

using meshtest::AddFace;
using meshtest::AddFaceUV;
using meshtest::AddPoint;

TEST(GlPoint, DefaultsAndPositionConstructor) {
  const CGlPoint p;
  EXPECT_EQ(p.sourceIndex, -1);
  EXPECT_EQ(p.weldIndex, -1);
  EXPECT_EQ(p.alpha, 1.0f);
  EXPECT_EQ(p.hasNormal, 0);
  EXPECT_EQ(p.hasUV, 0);
  EXPECT_EQ(p.tangentState, 0);
  EXPECT_EQ(p.hasColour, 0);
  EXPECT_EQ(p.colour.r, 255);
  EXPECT_EQ(p.colour.a, 255);
  for (const CGlUVChannel& c : p.channels) EXPECT_EQ(c.set, 0);
  const CGlPoint q(1, 2, 3);
  EXPECT_EQ(q.x, 1.0f);
  EXPECT_EQ(q.z, 3.0f);
  EXPECT_EQ(q.weldIndex, -1);
  EXPECT_EQ(q.alpha, 1.0f);
  CGlPointArray a;
  for (float v : a.extraBounds.values) EXPECT_EQ(v, 0.0f);
  EXPECT_EQ(a.extraBounds.flag, 0);
}

TEST(GlPoint, CompareIsDescendingWithToleranceAndIgnoresFlags) {
  CGlPoint a(1.0f, 0, 0), b(1.0f + 0.5e-4f, 0, 0);
  EXPECT_EQ(a.Compare(b), 0);
  EXPECT_EQ(a.CompareXYZ(b), 0);
  CGlPoint c(1.0f + 2e-4f, 0, 0);
  EXPECT_EQ(c.Compare(a), -1);  // larger sorts first
  EXPECT_EQ(a.Compare(c), 1);
  // Normals compare at 1e-5, texture coordinates at 0.001.
  CGlPoint n1 = a, n2 = a;
  n2.nz = 5e-5f;
  EXPECT_EQ(n1.Compare(n2), 1);
  EXPECT_EQ(n1.CompareXYZ(n2), 0);
  CGlPoint u1 = a, u2 = a;
  u2.u = 0.0005f;
  EXPECT_EQ(u1.Compare(u2), 0);
  u2.u = 0.002f;
  EXPECT_EQ(u1.Compare(u2), 1);
  CGlPoint t1 = a, t2 = a;
  t2.tangent.y = -1.0f;
  EXPECT_EQ(t1.Compare(t2), -1);
  // Alpha, colour and flags are not compared.
  CGlPoint f1 = a, f2 = a;
  f2.alpha = 0.0f;
  f2.hasUV = 1;
  f2.colour.r = 0;
  f2.channels[0].u = 9.0f;
  EXPECT_EQ(f1.Compare(f2), 0);
  // Position decides before the normal.
  CGlPoint p1(0, 1, 0), p2(0, 0, 0);
  p2.nx = 1.0f;
  EXPECT_EQ(p1.Compare(p2), -1);
}

TEST(GlPoint, RotateStepsAndMinMax) {
  CGlPoint p(1, 0, 0);
  p.nx = 1.0f;
  p.Rotate(90, 0, 0);  // X-Y plane: (1,0,0) -> (0,1,0)
  EXPECT_NEAR(p.x, 0.0f, 1e-6);
  EXPECT_NEAR(p.y, 1.0f, 1e-6);
  EXPECT_EQ(p.nx, 1.0f);  // the normal is not touched
  CGlPoint q(0, 1, 0);
  q.Rotate(0, 0, 90);  // Y-Z plane: y' = y cos - z sin = 0, z' = z cos + y sin = 1
  EXPECT_NEAR(q.y, 0.0f, 1e-6);
  EXPECT_NEAR(q.z, 1.0f, 1e-6);
  CGlPoint r(1, 0, 0);
  r.Rotate(0, 90, 0);  // X-Z plane: x' = 0, z' = x sin = 1
  EXPECT_NEAR(r.x, 0.0f, 1e-6);
  EXPECT_NEAR(r.z, 1.0f, 1e-6);
  // Order c, then b, then a: (0,1,0) -c90-> (0,0,1) -b90-> (-1,0,0) -a90-> (0,-1,0).
  CGlPoint s(0, 1, 0);
  s.Rotate(90, 90, 90);
  EXPECT_NEAR(s.x, 0.0f, 1e-6);
  EXPECT_NEAR(s.y, -1.0f, 1e-6);
  EXPECT_NEAR(s.z, 0.0f, 1e-6);

  CGlPoint m;
  m.sourceIndex = 7;
  m.SetToMin(CGlPoint(1, 5, -2), CGlPoint(3, -1, 0));
  EXPECT_EQ(m.x, 1.0f);
  EXPECT_EQ(m.y, -1.0f);
  EXPECT_EQ(m.z, -2.0f);
  EXPECT_EQ(m.sourceIndex, 7);
  m.SetToMax(CGlPoint(1, 5, -2), CGlPoint(3, -1, 0));
  EXPECT_EQ(m.x, 3.0f);
  EXPECT_EQ(m.y, 5.0f);
  EXPECT_EQ(m.z, 0.0f);
}

TEST(GlPointArray, RotatePointsZeroIsBitIdenticalAndNormalsFollowOnlyWhenSet) {
  CGlPointArray pts;
  AddPoint(pts, 0.1f, 0.2f, 0.3f);
  pts[0].nx = 0.3f;
  pts[0].hasNormal = 1;
  const CGlPointArray before = pts;
  pts.RotatePoints(0, 0, 0);
  EXPECT_EQ(std::memcmp(&pts[0], &before[0], sizeof(CGlPoint)), 0);

  CGlPointArray q;
  AddPoint(q, 1, 0, 0);
  AddPoint(q, 1, 0, 0);
  for (int i = 0; i < 2; ++i) {
    q[i].nx = 1.0f;
    q[i].hasNormal = static_cast<uint8_t>(i);
  }
  q.RotatePointsDegrees(90, 0, 0);
  for (int i = 0; i < 2; ++i) {
    EXPECT_NEAR(q[i].x, 0.0f, 1e-6);
    EXPECT_NEAR(q[i].y, 1.0f, 1e-6);
  }
  EXPECT_EQ(q[0].nx, 1.0f);  // no normal: kept
  EXPECT_EQ(q[0].ny, 0.0f);
  EXPECT_NEAR(q[1].nx, 0.0f, 1e-6);  // normal rotated with the position
  EXPECT_NEAR(q[1].ny, 1.0f, 1e-6);
  // The degree factor is the truncated one: 90 * 0.0174532925 rad.
  CGlPointArray r;
  AddPoint(r, 1, 0, 0);
  r.RotatePointsDegrees(90, 0, 0);
  EXPECT_EQ(r[0].x, static_cast<float>(std::cos(90 * 0.0174532925)));
}

TEST(GlPointArray, MovesScalesMirrorAndDistances) {
  CGlPointArray pts;
  AddPoint(pts, 1, 2, 3);
  AddPoint(pts, 4, 6, -1);
  pts[1].ny = 0.5f;
  pts.MovePoints(1, 0, -1);
  EXPECT_EQ(pts[0].x, 2.0f);
  EXPECT_EQ(pts[0].z, 2.0f);
  pts.Scale(2.0f);
  EXPECT_EQ(pts[1].y, 12.0f);
  pts.Scale(1.0f, 0.5f, 1.0f);
  EXPECT_EQ(pts[1].y, 6.0f);
  pts.MoveZ(10.0f, 4.0f);  // z = 4 and -4: only the one strictly below moves
  EXPECT_EQ(pts[0].z, 4.0f);
  EXPECT_EQ(pts[1].z, 6.0f);
  pts.Mirror(false, true, false);
  EXPECT_EQ(pts[1].y, -6.0f);
  EXPECT_EQ(pts[1].ny, -0.5f);
  EXPECT_EQ(pts[1].x, 10.0f);

  CGlPointArray d;
  AddPoint(d, 0, 0, 0);
  AddPoint(d, 3, 4, 100);
  EXPECT_EQ(d.FlatDistance(0), 0.0);
  EXPECT_EQ(d.FlatDistance(-3), 0.0);
  EXPECT_DOUBLE_EQ(d.FlatDistance(1), 5.0);  // z ignored
  EXPECT_THROW(d.FlatDistance(2), CInvalidArgument);
}

TEST(GlPointArray, CentrePointAndNormalsReset) {
  CGlPointArray pts;
  AddPoint(pts, 0, 0, 0);
  AddPoint(pts, 2, 4, 6);
  AddPoint(pts, 100, 100, 100);
  CGlPoint out(9, 9, 9);
  out.u = 0.25f;
  pts.CentrePoint({0, 1}, out);
  EXPECT_EQ(out.x, 1.0f);
  EXPECT_EQ(out.y, 2.0f);
  EXPECT_EQ(out.z, 3.0f);
  EXPECT_EQ(out.u, 0.25f);
  pts.CentrePoint({}, out);
  EXPECT_EQ(out.x, 0.0f);
  EXPECT_EQ(out.z, 0.0f);
  EXPECT_THROW(pts.CentrePoint({0, 3}, out), CInvalidArgument);

  pts[2].nz = 1.0f;
  pts[2].hasNormal = 1;
  pts.InitVertexNormals();
  EXPECT_EQ(pts[2].nz, 0.0f);
  EXPECT_EQ(pts[2].hasNormal, 0);
}

TEST(GlPointArray, AddPointIfNeededAppendsOnlyForDifferingAttributes) {
  CGlPointArray pts;
  AddPoint(pts, 0, 0, 0);
  pts[0].hasNormal = 1;
  CGlPoint p = pts[0];
  p.nx = 1e-5f;  // exactly the tolerance: different
  EXPECT_EQ(pts.AddPointIfNeeded(0, p), 1);
  EXPECT_EQ(pts.GetSize(), 2);
  p.nx = 0.5e-5f;  // within: overwrites
  p.sourceIndex = 42;
  EXPECT_EQ(pts.AddPointIfNeeded(0, p), 0);
  EXPECT_EQ(pts[0].sourceIndex, 42);
  // Texture coordinates: 0.001 or more apart appends, unless one side has none.
  pts[0].hasUV = 1;
  p = pts[0];
  p.u = 0.001f;
  EXPECT_EQ(pts.AddPointIfNeeded(0, p), 2);
  p.hasUV = 0;
  EXPECT_EQ(pts.AddPointIfNeeded(0, p), 0);
  EXPECT_THROW(pts.AddPointIfNeeded(3, p), CInvalidArgument);
  EXPECT_THROW(pts.AddPointIfNeeded(-1, p), CInvalidArgument);
}

TEST(GlPointArray, TexCoordsFromFacesSplitsSharedVerticesWithDifferentUVs) {
  CGlPointArray pts;
  for (int i = 0; i < 4; ++i) AddPoint(pts, static_cast<float>(i), 0, 0);
  CGlFaceArray faces;
  AddFaceUV(faces, {0, 1, 2}, {0, 0, 1, 0, 1, 1}, 0);
  AddFaceUV(faces, {2, 1, 3}, {0.5f, 0.5f, 1.0005f, 0, 0, 0}, 0);  // vertex 1 within 0.001; vertex 2 differs
  AddFaceUV(faces, {3, 0, 1}, {7, 7, 7, 7, 7, 7}, -1);             // no material: skipped
  pts.TexCoordsFromFaces(faces);
  EXPECT_EQ(pts.GetSize(), 5);
  EXPECT_EQ(faces[1].vertices[0], 4);  // point 2 copied with (0.5, 0.5)
  EXPECT_EQ(pts[4].u, 0.5f);
  EXPECT_EQ(faces[1].vertices[1], 1);  // overwritten in place
  EXPECT_EQ(pts[1].u, 1.0005f);
  EXPECT_EQ(faces[1].vertices[2], 3);
  EXPECT_EQ(pts[3].hasUV, 1);
  EXPECT_EQ(pts[2].u, 1.0f);
  EXPECT_EQ(faces[2].vertices[0], 3);
  // Only as many vertices as the face has UV pairs.
  CGlFaceArray short_;
  AddFaceUV(short_, {0, 1, 2}, {0.25f, 0.25f}, 0);
  pts.TexCoordsFromFaces(short_);
  EXPECT_EQ(short_[0].vertices[1], 1);
}

TEST(GlPointArray, PointUVsComparesExactlyAndSkipsInvalidIndices) {
  CGlPointArray pts;
  AddPoint(pts, 0, 0, 0);
  AddPoint(pts, 1, 0, 0);
  CGlFaceArray faces;
  AddFaceUV(faces, {0, 1, 99}, {0.5f, 0.5f, 1, 1, 3, 3});
  AddFaceUV(faces, {0, 1}, {0.5f, 0.5f, 1.0001f, 1});
  faces[1].deleted = 1;  // deleted faces take part too
  pts.PointUVs(faces);
  EXPECT_EQ(pts.GetSize(), 3);
  EXPECT_EQ(faces[0].vertices[2], 99);
  EXPECT_EQ(faces[1].vertices[0], 0);
  EXPECT_EQ(faces[1].vertices[1], 2);
  EXPECT_EQ(pts[2].u, 1.0001f);
  EXPECT_EQ(pts[2].x, 1.0f);
}

TEST(GlPointArray, PointNormalsFirstFaceDecides) {
  CGlPointArray pts;
  for (int i = 0; i < 3; ++i) AddPoint(pts, static_cast<float>(i), 0, 0);
  CGlFaceArray faces;
  AddFace(faces, {0, 1});
  AddFace(faces, {1, 2});
  faces[0].normal = {1, 0, 0};
  faces[0].deleted = 1;
  faces[1].normal = {0, 1, 0};
  pts.PointNormals(faces);
  EXPECT_EQ(pts[1].nx, 1.0f);
  EXPECT_EQ(pts[2].ny, 1.0f);
  EXPECT_EQ(pts[2].hasNormal, 1);
  AddFace(faces, {5});
  EXPECT_THROW(pts.PointNormals(faces), CInvalidArgument);
}

TEST(GlPointArray, CheckNoDupPtsUsesPositionTolerance) {
  CGlPointArray pts;
  AddPoint(pts, 0, 0, 0);
  AddPoint(pts, 1, 0, 0);
  AddPoint(pts, 0, 0.00005f, 0);
  CGlFace f;
  f.AddVertex(0);
  f.AddVertex(1);
  EXPECT_TRUE(pts.CheckNoDupPts(f));
  f.AddVertex(2);
  EXPECT_FALSE(pts.CheckNoDupPts(f));
  f.vertices[2] = 3;
  EXPECT_THROW(pts.CheckNoDupPts(f), CInvalidArgument);
}

TEST(GlPointArray, ReverseFaceOnQuad) {
  CGlPointArray pts;
  for (int i = 0; i < 4; ++i) {
    AddPoint(pts, static_cast<float>(i), 0, 0);
    pts[i].nz = 1.0f;
    pts[i].hasNormal = 1;
  }
  CGlFaceArray faces;
  AddFaceUV(faces, {0, 1, 2, 3}, {0, 0, 1, 0, 1, 1, 0, 1});
  faces[0].normal = {0, 0, 1};
  pts.ReverseFace(faces[0]);
  ASSERT_EQ(pts.GetSize(), 8);
  const CGlFace& f = faces[0];
  EXPECT_EQ(f.GetVertexCount(), 4);
  EXPECT_EQ(f.vertices[0], 7);
  EXPECT_EQ(f.vertices[3], 4);
  EXPECT_EQ(pts[7].x, 3.0f);
  EXPECT_EQ(pts[7].nz, -1.0f);
  EXPECT_EQ(pts[3].nz, 1.0f);  // the original stays
  const float expected[8] = {1, 1, 0, 1, 0, 0, 1, 0};
  ASSERT_EQ(f.GetFloatCount(), 8);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(f.uvs[i], expected[i]) << i;
  EXPECT_EQ(f.normal.z, -1.0f);
}

}  // namespace lapforge
