// Scenery meshes of the exporters (infield fans, outfield banks, boards)
// against positions worked out by hand on a straight track.
#include <gtest/gtest.h>

#include <cmath>

#include "mesh/GlFaceArray.h"
#include "mesh/GlMaterialArray.h"
#include "mesh/GlPointArray.h"
#include "tests/support/track/TrackBuilders.h"
#include "track/N5Ptf.h"

namespace {

// A 1000 m straight along +X from the origin, flat at height 0, with its
// right edge at lat -10 and its left edge at +10. Edge points (offset 0)
// lie 0.5 m inside: y = -9.5 on the right, +9.5 on the left.
void StraightTrack(CN5Ptf& ptf) {
  ChainSegments(ptf, {{0, 1000, 0}});
  ptf.CreateNewTraction(0, -10, -10, 1, 0, 0, 0, {});
  ptf.CreateNewTraction(0, 10, 10, 5, 0, 0, 0, {});
}

struct Mesh {
  CGlPointArray points;
  CGlFaceArray faces;
  CGlMaterialArray materials;
};

void ExpectPoint(const CGlPoint& p, double x, double y, double z, const char* what) {
  EXPECT_NEAR(p.x, x, 1e-3) << what;
  EXPECT_NEAR(p.y, y, 1e-3) << what;
  EXPECT_NEAR(p.z, z, 1e-3) << what;
}

void ExpectTriangle(const CGlFace& f, int a, int b, int c) {
  ASSERT_EQ(f.GetVertexCount(), 3);
  EXPECT_EQ(f.vertices[0], a);
  EXPECT_EQ(f.vertices[1], b);
  EXPECT_EQ(f.vertices[2], c);
}

// Z of the plane normal by the winding of the first three corners.
double WindingUp(const CGlPointArray& pts, const CGlFace& f) {
  const CGlPoint &a = pts[f.vertices[0]], &b = pts[f.vertices[1]], &c = pts[f.vertices[2]];
  return (double(b.x) - a.x) * (double(c.y) - a.y) - (double(b.y) - a.y) * (double(c.x) - a.x);
}

_vars_infield_obj Infield(float start, float end, float excludeStart, float excludeEnd) {
  _vars_infield_obj in;
  in.title = "infield";
  in.start = start;
  in.end = end;
  in.excludeStart = excludeStart;
  in.excludeEnd = excludeEnd;
  in.peakHeight = 2;
  in.tilingScale = 10;
  in.material = "grass";
  in.textureMappingScale = 10;
  return in;
}

}  // namespace

TEST(InfieldMesh, WrapsPastTheStartLineFrom900To1100) {
  CN5Ptf ptf;
  StraightTrack(ptf);
  Mesh m;
  ptf.CreateInfieldObject(Infield(900, 100, 0, 0), m.faces, m.points, m.materials);
  // Centre, the edge at 900, every 10 m from 910 to 1090, and 1100.
  ASSERT_EQ(m.points.GetSize(), 1 + 1 + 19 + 1);
  ASSERT_EQ(m.faces.GetSize(), 20 + 1);
  // Samples 900..990 and (past the line) 0..90: the box runs 0..990.
  ExpectPoint(m.points[0], 495, -9.5, 2, "centre");
  ExpectPoint(m.points[1], 900, -9.5, 0, "first edge point");
  ExpectPoint(m.points[11], 0, -9.5, 0, "the start line, at 1000");
  ExpectPoint(m.points[21], 100, -9.5, 0, "end, at 1100");
  ExpectTriangle(m.faces[0], 1, 0, 2);
  ExpectTriangle(m.faces[19], 20, 0, 21);
  ExpectTriangle(m.faces[20], 21, 0, 1);  // closing
  int grass = -1;
  ASSERT_TRUE(m.materials.Lookup("grass", grass));
  for (const CGlFace& f : m.faces) {
    EXPECT_EQ(f.materialIndex, grass);
    EXPECT_EQ(f.GetFloatCount(), 6);  // planar texture coordinates
  }
  // At mapping scale 10 a point's coordinates are x / 10, y / 10.
  EXPECT_NEAR(m.faces[0].uvs[0], 90, 1e-4);
  EXPECT_NEAR(m.faces[0].uvs[1], -0.95, 1e-4);
}

TEST(InfieldMesh, WithoutExclusionOnlyAnEndBeforeTheStartWraps) {
  CN5Ptf ptf;
  StraightTrack(ptf);
  Mesh m;
  ptf.CreateInfieldObject(Infield(100, 500, 0, 0), m.faces, m.points, m.materials);
  // 100..500 and no further: centre, 100, 110..490, 500.
  ASSERT_EQ(m.points.GetSize(), 1 + 1 + 39 + 1);
  ExpectPoint(m.points[0], 295, -9.5, 2, "centre");
  ExpectPoint(m.points.Items().back(), 500, -9.5, 0, "end");
}

TEST(InfieldMesh, OneTriangleBridgesTheExcludedStretch) {
  CN5Ptf ptf;
  StraightTrack(ptf);
  Mesh m;
  ptf.CreateInfieldObject(Infield(100, 500, 200, 300), m.faces, m.points, m.materials);
  // Centre, 100, 110..190, 200, 300..490, 500.
  ASSERT_EQ(m.points.GetSize(), 1 + 1 + 9 + 1 + 20 + 1);
  ASSERT_EQ(m.faces.GetSize(), 31 + 1);
  // The excluded samples are left out of the centre: 100..190 and 300..490.
  ExpectPoint(m.points[0], 295, -9.5, 2, "centre");
  int bridges = 0;
  for (int i = 0; i + 1 < m.faces.GetSize(); ++i) {
    const CGlFace& f = m.faces[i];
    const double span = m.points[f.vertices[2]].x - m.points[f.vertices[0]].x;
    if (span > 10.001) {
      ++bridges;
      EXPECT_NEAR(m.points[f.vertices[0]].x, 200, 1e-3);
      EXPECT_NEAR(m.points[f.vertices[2]].x, 300, 1e-3);
    } else {
      EXPECT_NEAR(span, 10, 1e-3) << "face " << i;
    }
  }
  EXPECT_EQ(bridges, 1);
}

TEST(InfieldMesh, LeftSideRunsAlongTheLeftEdgeWithEveryFaceReversed) {
  CN5Ptf ptf;
  StraightTrack(ptf);
  Mesh m;
  _vars_infield_obj in = Infield(100, 140, 0, 0);
  in.left = 1;
  ptf.CreateInfieldObject(in, m.faces, m.points, m.materials);
  ASSERT_EQ(m.points.GetSize(), 6);  // centre, 100, 110, 120, 130, 140
  ExpectPoint(m.points[0], 115, 9.5, 2, "centre");
  ExpectPoint(m.points[1], 100, 9.5, 0, "first edge point");
  ExpectTriangle(m.faces[0], 2, 0, 1);
  ExpectTriangle(m.faces[4], 1, 0, 5);  // the closing triangle, reversed
}

TEST(InfieldMesh, StepNotAboveZeroTakesTenMetres) {
  CN5Ptf ptf;
  StraightTrack(ptf);
  Mesh m;
  _vars_infield_obj in = Infield(100, 140, 0, 0);
  in.tilingScale = 0;  // would never advance
  ptf.CreateInfieldObject(in, m.faces, m.points, m.materials);
  EXPECT_EQ(m.points.GetSize(), 6);
}

namespace {

_vars_outfield_obj Outfield(float widthStart, float widthEnd) {
  _vars_outfield_obj out;
  out.title = "bank";
  out.start = 100;
  out.end = 200;
  out.widthStart = widthStart;
  out.widthEnd = widthEnd;
  out.elevationStart = 0;
  out.elevationEnd = 2;
  out.peakHeight = 1;
  out.tilingScale = 10;
  out.material = "grass";
  out.textureMappingScale = 5;
  return out;
}

}  // namespace

TEST(OutfieldMesh, NegativeWidthLiesOnTheRightRisingToItsElevation) {
  CN5Ptf ptf;
  StraightTrack(ptf);
  Mesh m;
  ptf.CreateOutfieldObject(Outfield(-20, -20), m.faces, m.points, m.materials);
  // n = trunc(100 / 10 + 1) = 11 steps of 100/11 m: 12 inner and 12 outer
  // points after the centre.
  ASSERT_EQ(m.points.GetSize(), 1 + 12 + 12);
  ASSERT_EQ(m.faces.GetSize(), 11 + 1 + 11 + 1);
  // Inner edge y = -9.5; outer edge at lat -10 - 20 = -30, rising 0 -> 2.
  // The box: x 100..200, y -30..-9.5, z 0..2; raised by 1.
  ExpectPoint(m.points[0], 150, -19.75, 2, "centre");
  ExpectPoint(m.points[1], 100, -9.5, 0, "inner start");
  ExpectPoint(m.points[2], 100 + 100.0 / 11, -9.5, 0, "inner step 1");
  ExpectPoint(m.points[12], 200, -9.5, 0, "inner end");
  ExpectPoint(m.points[13], 100, -30, 0, "outer start");
  ExpectPoint(m.points[14], 100 + 100.0 / 11, -30, 2.0 / 11, "outer step 1");
  ExpectPoint(m.points[24], 200, -30, 2, "outer end");
  ExpectTriangle(m.faces[0], 1, 0, 2);    // inner fan
  ExpectTriangle(m.faces[11], 0, 1, 13);  // inner start to outer start
  ExpectTriangle(m.faces[12], 0, 13, 14); // outer fan
  ExpectTriangle(m.faces[23], 24, 12, 0); // closing
  for (const CGlFace& f : m.faces) EXPECT_GT(WindingUp(m.points, f), 0);
}

TEST(OutfieldMesh, PositiveWidthLiesOnTheLeftStillFacingUp) {
  CN5Ptf ptf;
  StraightTrack(ptf);
  Mesh m;
  ptf.CreateOutfieldObject(Outfield(20, 10), m.faces, m.points, m.materials);
  ASSERT_EQ(m.points.GetSize(), 25);
  ExpectPoint(m.points[1], 100, 9.5, 0, "inner start");
  ExpectPoint(m.points[13], 100, 30, 0, "outer start at lat 10 + 20");
  ExpectPoint(m.points[24], 200, 20, 2, "outer end at lat 10 + 10");
  ExpectTriangle(m.faces[0], 2, 0, 1);
  ExpectTriangle(m.faces[11], 13, 1, 0);
  ExpectTriangle(m.faces[23], 0, 12, 24);
  for (const CGlFace& f : m.faces) EXPECT_GT(WindingUp(m.points, f), 0);
  // Planar coordinates at mapping scale 5.
  const CGlFace& f = m.faces[11];
  EXPECT_NEAR(f.uvs[0], 20, 1e-4);
  EXPECT_NEAR(f.uvs[1], 6, 1e-4);
}

TEST(TreeMesh, UprightQuadRaisedByItsElevation) {
  CN5Ptf ptf;
  StraightTrack(ptf);
  Mesh m;
  _vars_vertical_obj v;
  v.title = "board";
  v.longStart = 10;
  v.latStart = -5;
  v.longEnd = 30;
  v.latEnd = -5;
  v.elevation = 1;
  v.height = 3;
  v.material = "Ad01";
  ptf.CreateTreeObject(v, m.faces, m.points, m.materials);
  ASSERT_EQ(m.faces.GetSize(), 1);
  const CGlFace& f = m.faces[0];
  ASSERT_EQ(f.GetVertexCount(), 4);
  // (P0, P1, P2, P3) whatever the side.
  ExpectPoint(m.points[f.vertices[0]], 10, -5, 1, "P0");
  ExpectPoint(m.points[f.vertices[1]], 30, -5, 1, "P1");
  ExpectPoint(m.points[f.vertices[2]], 30, -5, 4, "P2");
  ExpectPoint(m.points[f.vertices[3]], 10, -5, 4, "P3");
  const float uv[8] = {1, 1, 0, 1, 0, 0, 1, 0};
  ASSERT_EQ(f.GetFloatCount(), 8);
  for (int k = 0; k < 8; ++k) EXPECT_EQ(f.uvs[k], uv[k]) << k;
  // Facet normal: (P1 - P0) x (P2 - P1) = (20, 0, 0) x (0, 0, 3) points to -Y.
  for (int k = 0; k < 4; ++k) {
    const CGlPoint& p = m.points[f.vertices[k]];
    EXPECT_EQ(p.hasNormal, 1);
    EXPECT_NEAR(p.ny, -1, 1e-6);
  }
  int index = -1;
  EXPECT_TRUE(m.materials.Lookup("ad01", index));  // named by the lower-cased title
  EXPECT_EQ(f.materialIndex, index);
}
