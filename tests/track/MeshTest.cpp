// Meshing single segments: longitudinal steps and lateral cells, cuts along
// bank lines, triangles where a surface ends in a point, walls (without
// width, plumb and leaning), details and their cell floor, the texture and
// material lists, face colours, and resolutions that would divide by zero.
#include <gtest/gtest.h>

#include <cmath>

#include "mesh/GlFaceArray.h"
#include "mesh/GlMaterialArray.h"
#include "mesh/GlMipArray.h"
#include "mesh/GlPointArray.h"
#include "tests/support/track/TrackBuilders.h"
#include "track/N5Ptf.h"

namespace lapforge {

namespace {

struct Mesh {
  CGlPointArray points;
  CGlFaceArray faces;
  CGlMipArray textures;
  CGlMaterialArray materials;
};

const CGlPoint& Vertex(const Mesh& m, int face, int k) { return m.points[m.faces[face].vertices[k]]; }

void ExpectAt(const CGlPoint& p, double x, double y, double z, double tol = 1e-4) {
  EXPECT_NEAR(p.x, x, tol);
  EXPECT_NEAR(p.y, y, tol);
  EXPECT_NEAR(p.z, z, tol);
}

// One segment with the bands given as (lateral, grip) edges; the last edge
// only closes the surface before it.
void OneSegment(CN5Ptf& ptf, TrackPiece piece, const std::vector<std::pair<double, int>>& edges) {
  ChainSegments(ptf, {piece});
  for (auto [lat, grip] : edges) ptf.CreateNewTraction(0, lat, lat, grip, 0, 0, 0, {});
  ptf.FinishTractionTextures(0);
}

CN5ObjWs* AddWall(CN5Ptf& ptf, double lat, double width, double height) {
  VARS_TRACK_WALL_TEX wall;
  wall.grip = 2049;
  wall.textureIndex = -1;
  wall.texRight = "wall";
  wall.texTop = "walltop";
  wall.texEnd = "walltop";
  wall.width = width;
  wall.height = height;
  ptf.wallTex.Add(wall);
  ptf.CreateNewWall(0, lat, lat, 2049, 1, {}, 0, 0, 0, 0, 0, 0);
  return ptf.GetSegObj(0)->GetWsObj(0);
}

}  // namespace

TEST(SurfaceMesh, StepsFollowTheLongitudinalAndArcResolutions) {
  // 100 m at 15 m: trunc(6.67) + 1 = 7 steps of 14.2857 m.
  CN5Ptf straight;
  straight.longResolution = 15;
  OneSegment(straight, {0, 100, 0}, {{0, 1}, {10, 1}});
  Mesh m;
  straight.GetGlFaces(0, m.points, m.faces, m.textures, m.materials);
  ASSERT_EQ(m.faces.GetSize(), 7);
  EXPECT_EQ(m.points.GetSize(), 28);
  for (int i = 0; i < 7; ++i) {
    ExpectAt(Vertex(m, i, 0), i * 100.0 / 7, 0, 0);
    ExpectAt(Vertex(m, i, 1), (i + 1) * 100.0 / 7, 0, 0);
    ExpectAt(Vertex(m, i, 2), (i + 1) * 100.0 / 7, 10, 0);
    ExpectAt(Vertex(m, i, 3), i * 100.0 / 7, 10, 0);
  }

  // A quarter turn of 50 m at 4 degrees: 22.5 truncated, plus one. The
  // right edge on the reference line ends at the segment's end point.
  CN5Ptf arc;
  arc.arcResolution = 4 * _ang_to_rad;
  OneSegment(arc, {1, 50, 90 * _ang_to_rad}, {{0, 1}, {10, 1}});
  Mesh a;
  arc.GetGlFaces(0, a.points, a.faces, a.textures, a.materials);
  ASSERT_EQ(a.faces.GetSize(), 23);
  const CN5ObjSg* sg = arc.GetSegObj(0);
  ExpectAt(Vertex(a, 22, 1), sg->endX, sg->endY, 0);
  // Radius 31.83: the left edge 10 m inside it ends at (21.83, 31.83).
  const double r = 50 / (90 * _ang_to_rad);
  ExpectAt(Vertex(a, 22, 2), r - 10, r, 0);
}

TEST(SurfaceMesh, CellsAcrossFollowTheLateralResolution) {
  // 10 m at 20 m: trunc(0.5 + 1) = 1 cell; 45 m: trunc(2.25 + 1) = 3 cells
  // of 15 m.
  for (auto [width, cells] : {std::pair{10.0, 1}, std::pair{45.0, 3}}) {
    CN5Ptf ptf;
    OneSegment(ptf, {0, 20, 0}, {{0, 1}, {width, 1}});
    Mesh m;
    ptf.GetGlFaces(0, m.points, m.faces, m.textures, m.materials);
    ASSERT_EQ(m.faces.GetSize(), cells) << width;
    for (int j = 0; j < cells; ++j) {
      ExpectAt(Vertex(m, j, 0), 0, j * width / cells, 0);
      ExpectAt(Vertex(m, j, 2), 20, (j + 1) * width / cells, 0);
    }
  }
}

TEST(SurfaceMesh, StraightenedEdgeFollowsTheChordAndRotatedTexturesSwapUV) {
  // A quarter turn of 50 m (23 steps at 4 degrees) from (0, 0): radius
  // 31.83, end (31.83, 31.83). The right edge on the reference line is
  // straightened; the left edge 10 m inside keeps to its arc.
  CN5Ptf ptf;
  ptf.arcResolution = 4 * _ang_to_rad;
  VARS_TRACK_TRACTION_TEX rotated;
  rotated.grip = 1;
  rotated.textureIndex = -1;
  rotated.tex = "road";
  rotated.r90 = 1;
  ptf.tractionTex.Add(rotated);
  ChainSegments(ptf, {{1, 50, 90 * _ang_to_rad}});
  ptf.CreateNewTraction(0, 0, 0, 1, 0, 0, 1, {});
  ptf.CreateNewTraction(0, 10, 10, 1, 0, 0, 0, {});
  ptf.FinishTractionTextures(0);
  Mesh m;
  ptf.GetGlFaces(0, m.points, m.faces, m.textures, m.materials);
  ASSERT_EQ(m.faces.GetSize(), 23);
  const double r = 50 / (90 * _ang_to_rad);
  for (int i = 0; i < 23; ++i) {
    const double u = i / 23.0;
    ExpectAt(Vertex(m, i, 0), u * r, u * r, 0);
    const CGlPoint& left = Vertex(m, i, 3);
    EXPECT_NEAR(std::hypot(left.x, left.y - r), r - 10, 1e-3) << i;
  }
  // U runs 0 to 2 across (5 m repeat), V 0 to 2.5 along (20 m repeat);
  // rotated, each pair is stored as (V, U).
  const CGlFace& last = m.faces[22];
  EXPECT_NEAR(last.uvs[2], 2.5, 1e-5);  // P1: V 2.5, U 0
  EXPECT_NEAR(last.uvs[3], 0, 1e-5);
  EXPECT_NEAR(last.uvs[4], 2.5, 1e-5);  // P2: V 2.5, U 2
  EXPECT_NEAR(last.uvs[5], 2, 1e-5);
}

TEST(SurfaceMesh, BankLineCutsABandOnlyWhenMoreThan8cmFromItsRightEdge) {
  auto mesh = [](double bankLat, Mesh& m) {
    CN5Ptf ptf;
    OneSegment(ptf, {0, 20, 0}, {{0, 1}, {10, 1}});
    ptf.CreateNewBank(0, bankLat, bankLat, 0, 0, 0, 0);
    ptf.MoveDuplicateXS(0);
    ptf.GetGlFaces(0, m.points, m.faces, m.textures, m.materials);
  };
  Mesh near;
  mesh(0.05, near);
  ASSERT_EQ(near.faces.GetSize(), 1);
  EXPECT_FLOAT_EQ(near.faces[0].faceColour.b, 0.9f);

  Mesh cut;
  mesh(0.10, cut);
  ASSERT_EQ(cut.faces.GetSize(), 2);
  // The band keeps the right part; the new piece runs from the line to the
  // left edge. Both are marked blue 0.2.
  ExpectAt(Vertex(cut, 0, 0), 0, 0, 0);
  ExpectAt(Vertex(cut, 0, 3), 0, 0.1, 0);
  ExpectAt(Vertex(cut, 1, 0), 0, 0.1, 0);
  ExpectAt(Vertex(cut, 1, 3), 0, 10, 0);
  for (int f = 0; f < 2; ++f) {
    EXPECT_FLOAT_EQ(cut.faces[f].faceColour.b, 0.2f);
    EXPECT_FLOAT_EQ(cut.faces[f].faceColour.g, 0.9f);
  }
  // U across the band runs 0 to 2 (10 m at the default 5 m repeat width):
  // the cut at a hundredth of the width has U 0.02 on both sides of it, and
  // V runs 0 to 1 over the 20 m repeat length.
  EXPECT_NEAR(cut.faces[0].uvs[6], 0.02, 1e-6);
  EXPECT_NEAR(cut.faces[1].uvs[0], 0.02, 1e-6);
  EXPECT_NEAR(cut.faces[1].uvs[4], 2, 1e-6);
  EXPECT_NEAR(cut.faces[1].uvs[3], 1, 1e-6);
}

TEST(SurfaceMesh, PointLikeEndsMakeTriangles) {
  CN5Ptf ptf;
  ptf.longResolution = 15;
  ChainSegments(ptf, {{0, 30, 0}});
  ptf.GetTrackLength();
  CN5ObjSg* sg = ptf.GetSegObj(0);
  // Narrowing from 10 m to nothing over 3 steps of 10 m, one cell across.
  F_SInfo piece;
  piece.rightStart = 0;
  piece.leftStart = 10;
  piece.rightEnd = 0;
  piece.leftEnd = 0;
  const double corners[4][2] = {{0, 0}, {0, 1}, {2, 1}, {2, 0}};
  for (int c = 0; c < 4; ++c) piece.corner[c][0] = corners[c][0], piece.corner[c][1] = corners[c][1];
  piece.grip = 1;
  Mesh m;
  ptf.GetF_SInfoFaces(0, sg, piece, m.points, m.faces, 3, 4);
  ASSERT_EQ(m.faces.GetSize(), 3);
  EXPECT_EQ(m.points.GetSize(), 12);  // four reserved per face, one left unused
  EXPECT_EQ(m.faces[0].vertexCount, 4);
  EXPECT_EQ(m.faces[1].vertexCount, 4);
  const CGlFace& tri = m.faces[2];
  ASSERT_EQ(tri.vertexCount, 3);
  EXPECT_EQ(tri.uvCount, 6);
  EXPECT_EQ(tri.mipIndex, 3);
  EXPECT_EQ(tri.materialIndex, 4);
  // P0, P1 and P3: the end-left corner coincides with the end-right one.
  ExpectAt(Vertex(m, 2, 0), 20, 0, 0);
  ExpectAt(Vertex(m, 2, 1), 30, 0, 0);
  ExpectAt(Vertex(m, 2, 2), 20, 10.0 / 3, 0);
  // P3 takes the left-edge V of its row (2/3) and U 2 across.
  EXPECT_NEAR(tri.uvs[4], 2, 1e-6);
  EXPECT_NEAR(tri.uvs[5], 2.0 / 3, 1e-6);

  // Widening from nothing: the first row loses its start-left corner.
  std::swap(piece.leftStart, piece.leftEnd);
  Mesh w;
  ptf.GetF_SInfoFaces(0, sg, piece, w.points, w.faces, 3, 4);
  ASSERT_EQ(w.faces.GetSize(), 3);
  EXPECT_EQ(w.faces[0].vertexCount, 3);
  ExpectAt(Vertex(w, 0, 2), 10, 10.0 / 3, 0);
  EXPECT_EQ(w.faces[2].vertexCount, 4);
}

TEST(WallMesh, AWallWithoutWidthHasOnlyItsTwoSides) {
  CN5Ptf ptf;
  ptf.longResolution = 15;
  ChainSegments(ptf, {{0, 20, 0}});
  CN5ObjWs* wall = AddWall(ptf, 5, 0, 1);
  ptf.GetTrackLength();
  Mesh m;
  ptf.GetGlWallFaces(0, ptf.GetSegObj(0), wall, m.points, m.faces, m.textures, m.materials);
  // Two steps: right side twice, left side twice; no top and no caps.
  ASSERT_EQ(m.faces.GetSize(), 4);
  EXPECT_EQ(m.points.GetSize(), 16);
  ExpectAt(Vertex(m, 0, 0), 0, 5, 1);  // top-right at the start
  ExpectAt(Vertex(m, 0, 1), 0, 5, 0);
  ExpectAt(Vertex(m, 3, 2), 20, 5, 1);  // top-left at the end
  for (int f = 0; f < 4; ++f) {
    EXPECT_FLOAT_EQ(m.faces[f].faceColour.r, 0.9f);
    EXPECT_FLOAT_EQ(m.faces[f].faceColour.g, 0.9f);
    EXPECT_EQ(m.faces[f].sourceIndex, 0);
  }
}

TEST(WallMesh, BoxWithCapsAtBothEnds) {
  CN5Ptf ptf;
  ptf.longResolution = 15;
  ChainSegments(ptf, {{0, 20, 0}});
  CN5ObjWs* wall = AddWall(ptf, 5, 0.3, 1.5);
  ptf.GetTrackLength();
  Mesh m;
  ptf.GetGlWallFaces(0, ptf.GetSegObj(0), wall, m.points, m.faces, m.textures, m.materials);
  ASSERT_EQ(m.faces.GetSize(), 3 * 2 + 2);
  // Right side, top, left side (two steps each), start cap, end cap.
  ExpectAt(Vertex(m, 2, 3), 0, 5.3, 1.5);  // top: top-left at the start
  // Start cap: bottom-right, top-right, top-left, bottom-left at 0.
  ExpectAt(Vertex(m, 6, 0), 0, 4.7, 0);
  ExpectAt(Vertex(m, 6, 1), 0, 4.7, 1.5);
  ExpectAt(Vertex(m, 6, 2), 0, 5.3, 1.5);
  ExpectAt(Vertex(m, 6, 3), 0, 5.3, 0);
  // End cap the other way round at 20.
  ExpectAt(Vertex(m, 7, 0), 20, 5.3, 0);
  ExpectAt(Vertex(m, 7, 3), 20, 4.7, 0);
  // The caps take the four corners of their texture record in order.
  auto* tu = dynamic_cast<CN5ObjTu*>(wall->faces[3].textureCoords);
  ASSERT_NE(tu, nullptr);
  for (int k = 0; k < 4; ++k) {
    EXPECT_FLOAT_EQ(m.faces[6].uvs[2 * k], static_cast<float>(tu->u1[static_cast<size_t>(k)]));
    EXPECT_FLOAT_EQ(m.faces[6].uvs[2 * k + 1], static_cast<float>(tu->v1[static_cast<size_t>(k)]));
  }
}

TEST(WallMesh, VerticalWallsStayPlumbOnABankWhereOthersLean) {
  // The surface rises 0.1 m per metre to the left: Z = 2 + 0.1 lat.
  CN5Ptf ptf;
  ChainSegments(ptf, {{0, 10, 0}});
  CN5ObjWs* wall = AddWall(ptf, 5, 0.3, 1);
  ptf.CreateNewBank(0, -20, -20, 0, 0, 0, 0);
  ptf.CreateNewBank(0, 20, 20, 4, 4, 0, 0);
  ptf.MoveDuplicateXS(0);
  ptf.GetTrackLength();

  Mesh lean;
  ptf.GetGlWallFaces(0, ptf.GetSegObj(0), wall, lean.points, lean.faces, lean.textures, lean.materials);
  // The top moves right by sin(atan(0.1)) x 1 = 0.0995037 and lies 1 m
  // above the surface there.
  const double s = 0.1 / std::sqrt(1.01);
  ExpectAt(Vertex(lean, 0, 0), 0, 4.7 - s, 2 + 0.1 * (4.7 - s) + 1, 1e-3);
  ExpectAt(Vertex(lean, 0, 1), 0, 4.7, 2.47, 1e-3);

  wall->vertical = 1;
  Mesh plumb;
  ptf.GetGlWallFaces(0, ptf.GetSegObj(0), wall, plumb.points, plumb.faces, plumb.textures, plumb.materials);
  // Bottoms on the surface plane through the wall line (2.5 -/+ 0.1 x 0.3),
  // tops straight above.
  ExpectAt(Vertex(plumb, 0, 0), 0, 4.7, 3.47, 1e-3);
  ExpectAt(Vertex(plumb, 0, 1), 0, 4.7, 2.47, 1e-3);
  const int left = 2;  // right side, top, left side: one step each
  ExpectAt(Vertex(plumb, left, 0), 0, 5.3, 2.53, 1e-3);
  ExpectAt(Vertex(plumb, left, 1), 0, 5.3, 3.53, 1e-3);
}

TEST(WallMesh, AWallChangingHeightOnABankHasNoGapsBetweenSteps) {
  CN5Ptf ptf;
  ptf.longResolution = 10;
  ChainSegments(ptf, {{0, 30, 0}});
  CN5ObjWs* wall = AddWall(ptf, 5, 0.3, 1);
  wall->heightEnd = 3;
  ptf.CreateNewBank(0, -20, -20, 0, 0, 0, 0);
  ptf.CreateNewBank(0, 20, 20, 4, 4, 0, 0);
  ptf.MoveDuplicateXS(0);
  ptf.GetTrackLength();
  Mesh m;
  ptf.GetGlWallFaces(0, ptf.GetSegObj(0), wall, m.points, m.faces, m.textures, m.materials);
  const int steps = 4;
  ASSERT_EQ(m.faces.GetSize(), 3 * steps + 2);
  for (int k = 0; k + 1 < steps; ++k) {
    // The end corners of one step are the start corners of the next.
    const CGlPoint& endTop = Vertex(m, k, 3);
    const CGlPoint& nextTop = Vertex(m, k + 1, 0);
    ExpectAt(endTop, nextTop.x, nextTop.y, nextTop.z, 1e-6);
  }
  // Half way (15 m) the wall is 2 m high: the top leans 2 x 0.0995 right.
  ExpectAt(Vertex(m, 1, 3), 15, 4.7 - 2 * 0.1 / std::sqrt(1.01), 2 + 0.1 * (4.7 - 0.199007) + 2, 1e-3);
}

TEST(DetailMesh, DecalCellsNeverFallBelowHalfAMetre) {
  auto detailFaces = [](double res, Mesh& m) {
    CN5Ptf ptf;
    FillTextureTables(ptf);
    ptf.latResolution = res;
    ptf.longResolution = res * 1.5;
    ChainSegments(ptf, {{0, 100, 0}});
    ptf.CreateNewTrackDetail(50, 0, 1, 2, 0, "road", 1, 1);
    ptf.GetTrackLength();
    ptf.GetGlTrackDetailFaces(0, m.points, m.faces, m.textures, m.materials);
  };
  Mesh fine;
  detailFaces(0.2, fine);
  // Cells of 0.5 m: 4 along the 2 m length, 2 across the 1 m width.
  ASSERT_EQ(fine.faces.GetSize(), 8);
  // Heading 0 on a track heading 0 turns the detail a quarter: its length
  // runs across the track. The first cell, 1 cm above the surface:
  ExpectAt(Vertex(fine, 0, 0), 49.5, -1, 0.01);
  ExpectAt(Vertex(fine, 0, 1), 50, -1, 0.01);
  ExpectAt(Vertex(fine, 0, 2), 50, -0.5, 0.01);
  ExpectAt(Vertex(fine, 0, 3), 49.5, -0.5, 0.01);
  // U runs from the start-edge value 0 to the end-edge value 1 across, V
  // from the start-edge value 1 to the end-edge value 0 (a new record
  // leaves that one 0) along.
  const float uv[8] = {0, 1, 0.5f, 1, 0.5f, 0.75f, 0, 0.75f};
  for (int k = 0; k < 8; ++k) EXPECT_FLOAT_EQ(fine.faces[0].uvs[k], uv[k]) << k;
  EXPECT_EQ(fine.faces[0].sourceIndex, -1);

  Mesh coarse;
  detailFaces(1, coarse);
  EXPECT_EQ(coarse.faces.GetSize(), 2);  // 1 m cells
  // A detail's material is drawn with transparency.
  ASSERT_EQ(coarse.materials.GetSize(), 1);
  EXPECT_EQ(coarse.materials[0].transparencyMode, 1);
}

TEST(MeshTextures, TexturesAndMaterialsAreListedOnceAndTheGripNameSwitchKeepsGripsApart) {
  CN5Ptf ptf;
  FillTextureTables(ptf);
  ptf.folder = "/tracks/oval/";
  ChainSegments(ptf, {{0, 40, 0}, {0, 40, 0}});
  AddStandardCrossSection(ptf, 0);
  AddStandardCrossSection(ptf, 1);
  const int tableRows = ptf.materials.GetSize();
  Mesh m;
  ptf.GetGlFaces(m.points, m.faces, m.textures, m.materials);
  // road, grass, wall and walltop, each once for both segments.
  ASSERT_EQ(m.textures.GetSize(), 4);
  ASSERT_EQ(m.materials.GetSize(), 4);
  int road = -1;
  ASSERT_TRUE(m.textures.Lookup("road", road));
  EXPECT_EQ(m.textures[road].mipFileName, "trackmat\\road.bmp");
  EXPECT_EQ(m.textures[road].mipName, "/tracks/oval/trackmat/road.bmp");
  int roadMaterial = -1;
  ASSERT_TRUE(m.materials.Lookup("road", roadMaterial));
  EXPECT_EQ(m.materials[roadMaterial].mapName, "/tracks/oval/trackmat/road.bmp");
  EXPECT_EQ(m.materials[roadMaterial].transparencyMode, -1);
  // The surfaces' two materials join the model's table, the walls' do not.
  ASSERT_EQ(ptf.materials.GetSize(), tableRows + 2);
  // Every face names the road or the grass or a wall texture; the road
  // surfaces of the second segment are the odd-segment colour.
  int roadFaces = 0;
  for (const CGlFace& f : m.faces) {
    ASSERT_GE(f.mipIndex, 0);
    ASSERT_GE(f.materialIndex, 0);
    if (f.mipIndex == road && f.sourceIndex == 1) {
      ++roadFaces;
      EXPECT_FLOAT_EQ(f.faceColour.g, 0.765f);
      EXPECT_FLOAT_EQ(f.faceColour.b, 0.9f * 0.85f);
      EXPECT_EQ(f.materialIndex, roadMaterial);
    }
  }
  EXPECT_GT(roadFaces, 0);

  ptf.gripNameSwitch = 1;
  Mesh g;
  ptf.GetGlFaces(g.points, g.faces, g.textures, g.materials);
  int index;
  EXPECT_TRUE(g.textures.Lookup("grip 01 road", index));
  EXPECT_TRUE(g.textures.Lookup("grip 05 grass", index));
  EXPECT_TRUE(g.textures.Lookup("grip 2049 wall", index));
}

TEST(SurfaceMesh, ResolutionsThatAreNotPositiveGiveOneCellAndOneStep) {
  CN5Ptf ptf;
  ptf.longResolution = 0;
  ptf.latResolution = 0;
  ptf.arcResolution = 0;
  OneSegment(ptf, {0, 20, 0}, {{0, 1}, {10, 1}});
  Mesh m;
  ptf.GetGlFaces(0, m.points, m.faces, m.textures, m.materials);
  ASSERT_EQ(m.faces.GetSize(), 1);
  ExpectAt(Vertex(m, 0, 2), 20, 10, 0);
  for (float v : m.faces[0].uvs) EXPECT_TRUE(std::isfinite(v));
}

}  // namespace lapforge
