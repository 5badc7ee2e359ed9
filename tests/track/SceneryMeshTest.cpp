// Scenery meshes of the exporters (infield fans, outfield banks, boards)
// against positions worked out by hand on a straight track.
#include <gtest/gtest.h>

#include <vector>

#include "mesh/GlFaceArray.h"
#include "mesh/GlMaterialArray.h"
#include "mesh/GlPointArray.h"
#include "tests/support/track/TrackBuilders.h"
#include "track/N5Ptf.h"

namespace lapforge {

namespace {

// A flat 1000 m straight along +X with its right edge at lat -10 and its
// left edge at +10: edge points (0.5 m inside) at y = -9.5 and +9.5.
struct Scenery : ::testing::Test {
  CN5Ptf ptf;
  CGlPointArray points;
  CGlFaceArray faces;
  CGlMaterialArray materials;
  Scenery() {
    ChainSegments(ptf, {{0, 1000, 0}});
    ptf.CreateNewTraction(0, -10, -10, 1, 0, 0, 0, {});
    ptf.CreateNewTraction(0, 10, 10, 5, 0, 0, 0, {});
  }
  void ExpectPoint(int i, double x, double y, double z) {
    EXPECT_NEAR(points[i].x, x, 1e-3) << "point " << i;
    EXPECT_NEAR(points[i].y, y, 1e-3) << "point " << i;
    EXPECT_NEAR(points[i].z, z, 1e-3) << "point " << i;
  }
  std::vector<int> Corners(int face) {
    const CGlFace& f = faces[face];
    return std::vector<int>(f.vertices, f.vertices + f.GetVertexCount());
  }
  // Z of the plane normal by the winding of a face's first three corners.
  double WindingUp(int face) {
    const CGlFace& f = faces[face];
    const CGlPoint &a = points[f.vertices[0]], &b = points[f.vertices[1]], &c = points[f.vertices[2]];
    return (double(b.x) - a.x) * (double(c.y) - a.y) - (double(b.y) - a.y) * (double(c.x) - a.x);
  }
};

_vars_infield_obj Infield(float start, float end, float excludeStart, float excludeEnd, int left = 0) {
  return {"infield", left, start, end, excludeStart, excludeEnd, 2, 10, "grass", 10};
}

}  // namespace

TEST_F(Scenery, InfieldWrapsFrom900To1100) {
  ptf.CreateInfieldObject(Infield(900, 100, 0, 0), faces, points, materials);
  // Centre, the edge at 900, every 10 m from 910 to 1090, and 1100.
  ASSERT_EQ(points.GetSize(), 22);
  ASSERT_EQ(faces.GetSize(), 21);
  ExpectPoint(0, 495, -9.5, 2);  // samples 900..990 and 0..90, raised by 2
  ExpectPoint(1, 900, -9.5, 0);
  ExpectPoint(21, 100, -9.5, 0);  // 1100 is 100 past the line
  EXPECT_EQ(Corners(0), (std::vector<int>{1, 0, 2}));
  EXPECT_EQ(Corners(20), (std::vector<int>{21, 0, 1}));  // closing
  int grass = -1;
  ASSERT_TRUE(materials.Lookup("grass", grass));
  EXPECT_EQ(faces[7].materialIndex, grass);
  // Planar texture coordinates at scale 10: point 1 maps to (90, -0.95).
  EXPECT_NEAR(faces[0].uvs[0], 90, 1e-4);
  EXPECT_NEAR(faces[0].uvs[1], -0.95, 1e-4);
}

TEST_F(Scenery, InfieldWithoutExclusionWrapsOnlyAnEndBeforeItsStart) {
  ptf.CreateInfieldObject(Infield(100, 500, 0, 0), faces, points, materials);
  ASSERT_EQ(points.GetSize(), 42);  // centre, 100, 110..490, 500: not a lap further
  ExpectPoint(41, 500, -9.5, 0);
  // A step not above 0 would never advance: 10 m are taken.
  CGlPointArray again;
  CGlFaceArray againFaces;
  _vars_infield_obj in = Infield(100, 140, 0, 0);
  in.tilingScale = 0;
  ptf.CreateInfieldObject(in, againFaces, again, materials);
  EXPECT_EQ(again.GetSize(), 6);
}

TEST_F(Scenery, InfieldBridgesTheExcludedStretchWithOneTriangle) {
  ptf.CreateInfieldObject(Infield(100, 500, 200, 300), faces, points, materials);
  // Centre, 100, 110..190, 200, 300..490, 500.
  ASSERT_EQ(points.GetSize(), 33);
  ASSERT_EQ(faces.GetSize(), 32);
  ExpectPoint(0, 295, -9.5, 2);  // excluded samples left out of the box
  std::vector<double> spans;
  for (int i = 0; i + 1 < faces.GetSize(); ++i)
    if (points[faces[i].vertices[2]].x - points[faces[i].vertices[0]].x > 10.001)
      spans.push_back(points[faces[i].vertices[0]].x);
  EXPECT_EQ(spans, (std::vector<double>{200}));
}

TEST_F(Scenery, LeftInfieldRunsAlongTheLeftEdgeReversed) {
  ptf.CreateInfieldObject(Infield(100, 140, 0, 0, 1), faces, points, materials);
  ASSERT_EQ(points.GetSize(), 6);
  ExpectPoint(0, 115, 9.5, 2);
  EXPECT_EQ(Corners(0), (std::vector<int>{2, 0, 1}));
  EXPECT_EQ(Corners(4), (std::vector<int>{1, 0, 5}));
}

TEST_F(Scenery, OutfieldSideFollowsTheSignOfItsWidthAndFacesUp) {
  // Right: width -20. n = trunc(100 / 10 + 1) = 11 steps of 100/11 m.
  _vars_outfield_obj out{"bank", 100, 200, -20, -20, 0, 2, 1, 10, "grass", 5};
  ptf.CreateOutfieldObject(out, faces, points, materials);
  ASSERT_EQ(points.GetSize(), 1 + 12 + 12);
  ASSERT_EQ(faces.GetSize(), 11 + 1 + 11 + 1);
  // Inner y -9.5, outer at lat -30 rising 0 -> 2; box centre raised by 1.
  ExpectPoint(0, 150, -19.75, 2);
  ExpectPoint(13, 100, -30, 0);
  ExpectPoint(14, 100 + 100.0 / 11, -30, 2.0 / 11);
  ExpectPoint(24, 200, -30, 2);
  EXPECT_EQ(Corners(11), (std::vector<int>{0, 1, 13}));
  EXPECT_EQ(Corners(23), (std::vector<int>{24, 12, 0}));
  for (int i = 0; i < faces.GetSize(); ++i) EXPECT_GT(WindingUp(i), 0) << i;

  // Left: width +20 narrowing to +10, every triangle mirrored.
  CGlPointArray lp;
  CGlFaceArray lf;
  out.widthStart = 20, out.widthEnd = 10;
  ptf.CreateOutfieldObject(out, lf, lp, materials);
  ASSERT_EQ(lp.GetSize(), 25);
  EXPECT_NEAR(lp[13].y, 30, 1e-3);
  EXPECT_NEAR(lp[24].y, 20, 1e-3);
  points = lp, faces = lf;
  EXPECT_EQ(Corners(11), (std::vector<int>{13, 1, 0}));
  for (int i = 0; i < faces.GetSize(); ++i) EXPECT_GT(WindingUp(i), 0) << i;
  EXPECT_NEAR(faces[11].uvs[0], 20, 1e-4);  // (100, 30) at scale 5
  EXPECT_NEAR(faces[11].uvs[1], 6, 1e-4);
}

TEST_F(Scenery, BoardIsOneUprightQuadRaisedByItsElevation) {
  _vars_vertical_obj v{"board", -5, -5, 10, 30, 1, 3, "Ad01"};
  ptf.CreateTreeObject(v, faces, points, materials);
  ASSERT_EQ(faces.GetSize(), 1);
  // (P0, P1, P2, P3) on either side of the track.
  const std::vector<int> c = Corners(0);
  ASSERT_EQ(c.size(), 4u);
  ExpectPoint(c[0], 10, -5, 1);
  ExpectPoint(c[1], 30, -5, 1);
  ExpectPoint(c[2], 30, -5, 4);
  ExpectPoint(c[3], 10, -5, 4);
  EXPECT_EQ(std::vector<float>(faces[0].uvs, faces[0].uvs + 8), (std::vector<float>{1, 1, 0, 1, 0, 0, 1, 0}));
  // Facet normal (P1 - P0) x (P2 - P1) = (20, 0, 0) x (0, 0, 3): -Y.
  for (int k : c) EXPECT_NEAR(points[k].ny, -1, 1e-6);
  int ad = -1;
  EXPECT_TRUE(materials.Lookup("ad01", ad));
  EXPECT_EQ(faces[0].materialIndex, ad);
}

}  // namespace lapforge
