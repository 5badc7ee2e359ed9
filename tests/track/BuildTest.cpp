// Building the track: band, wall and bank line insertion, band textures and
// grips, catch fences, wall faces and their texture coordinates, details.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/ptf/RecordBytes.h"
#include "tests/support/track/TrackBuilders.h"
#include "track/N5Ptf.h"

namespace lapforge {

namespace {

std::vector<double> LatStarts(const std::vector<CN5Obj*>& list) {
  std::vector<double> v;
  for (CN5Obj* o : list) {
    if (auto* fs = dynamic_cast<CN5ObjFs*>(o)) v.push_back(fs->latStart);
    if (auto* ws = dynamic_cast<CN5ObjWs*>(o)) v.push_back(ws->latStart);
    if (auto* xs = dynamic_cast<CN5ObjXs*>(o)) v.push_back(xs->latStart);
  }
  return v;
}
std::vector<double> LatEnds(const std::vector<CN5Obj*>& list) {
  std::vector<double> v;
  for (CN5Obj* o : list) {
    if (auto* fs = dynamic_cast<CN5ObjFs*>(o)) v.push_back(fs->latEnd);
    if (auto* ws = dynamic_cast<CN5ObjWs*>(o)) v.push_back(ws->latEnd);
    if (auto* xs = dynamic_cast<CN5ObjXs*>(o)) v.push_back(xs->latEnd);
  }
  return v;
}

void ExpectValues(const std::vector<double>& got, const std::vector<double>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], want[i], 1e-9) << "entry " << i;
}

// The texture record under an appearance, or empty.
std::string TextureOf(const CN5Obj* ap) {
  if (!ap || ap->children.empty()) return {};
  auto* tx = dynamic_cast<const CN5ObjTx*>(ap->children[0]);
  return tx ? tx->textureName : std::string();
}

void ExpectCorners(const CN5Obj* obj, std::vector<double> u, std::vector<double> v) {
  auto* tu = dynamic_cast<const CN5ObjTu*>(obj);
  ASSERT_NE(tu, nullptr);
  ASSERT_EQ(tu->u1.size(), 4u);
  ASSERT_EQ(tu->v1.size(), 4u);
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_NEAR(tu->u1[i], u[i], 1e-9) << "u of corner " << i;
    EXPECT_NEAR(tu->v1[i], v[i], 1e-9) << "v of corner " << i;
  }
}

TEST(BuildBands, InsertionKeepsBandsSortedAndNudgesSharedEdges) {
  CN5Ptf ptf;
  ChainSegments(ptf, {{0, 100, 0}});
  ptf.CreateNewTraction(0, 0, 10, -3, 4, 0, 1, {{0, 0.5f, 0.25f}});
  ptf.CreateNewTraction(0, 0, 12, 1, 0, 0, 0, {});  // after, unchanged
  ptf.CreateNewTraction(0, 0, 8, 1, 0, 0, 0, {});   // before, as (-0.01, 8)
  ptf.CreateNewTraction(0, -5, 3, 1, 0, 0, 0, {});  // before, as (-5, 2.99)
  ptf.CreateNewTraction(0, 0, 10, 2, 0, 0, 0, {});  // already there
  CN5ObjSg* sg = ptf.GetSegObj(0);
  ExpectValues(LatStarts(sg->bands), {-5, -0.01, 0, 0});
  ExpectValues(LatEnds(sg->bands), {2.99, 8, 10, 12});
  CN5ObjFs* first = sg->GetFsObj(2);
  EXPECT_EQ(first->grip, 3);  // stored without sign
  EXPECT_EQ(first->textureIndex, 4);
  EXPECT_EQ(first->straighten, 1);
  ASSERT_EQ(first->texCoords.size(), 1u);
  EXPECT_EQ(first->texCoords[0].u, 0.5f);
}

TEST(BuildBands, DefaultTexturesByGripAndGripReduction) {
  CN5Ptf ptf;
  ChainSegments(ptf, {{0, 100, 0}}, {0, 0, 0, 50});
  const int grips[] = {2, 3, 4, 8, 13, 103, 22, 12, 0, 14, 1};
  for (int i = 0; i < 11; ++i) ptf.CreateNewTraction(0, i, i, grips[i], 0, 0, 0, {});
  ptf.FinishTractionTextures(0);
  CN5ObjSg* sg = ptf.GetSegObj(0);
  const char* names[] = {"concrete", "paint",   "grass",   "grass",   "curbing",
                         "paint",    "asphalt", "asphalt", "asphalt", "asphalt"};
  const int reduced[] = {2, 3, 4, 8, 3, 3, 2, 12, 1, 4};
  for (int i = 0; i < 10; ++i) {
    CN5ObjFs* b = sg->GetFsObj(i);
    EXPECT_EQ(TextureOf(b->appearance), std::string("trackmat\\") + names[i]) << i;
    EXPECT_EQ(b->grip, reduced[i]) << i;
    EXPECT_EQ(b->children.size(), 2u);
  }
  // The last band is only the left edge of the last surface.
  CN5ObjFs* last = sg->GetFsObj(10);
  EXPECT_EQ(last->appearance, nullptr);
  ASSERT_EQ(last->children.size(), 1u);
  EXPECT_EQ(last->children[0], nullptr);

  // Curbing (13) is clamped across: right corners 0, left 0.99 (no R90).
  // V runs on from the segment start at 50 m with the default 20 m repeat.
  CN5ObjFs* curb = sg->GetFsObj(4);
  ExpectCorners(curb->textureCoords, {0, 0, 0.99, 0.99}, {0.5, 5.5, 5.5, 0.5});
  EXPECT_EQ(dynamic_cast<CN5ObjAp*>(curb->appearance)->appearanceName, "Curbing");
  // Asphalt at lat 6 to the next band at 7, default 5 m repeat width.
  ExpectCorners(sg->GetFsObj(6)->textureCoords, {1.2, 1.2, 1.4, 1.4}, {0.5, 5.5, 5.5, 0.5});
}

TEST(BuildBands, TextureTableEntriesMaterialsClampsAndPitLane) {
  CN5Ptf ptf;
  VARS_TRACK_TRACTION_TEX a, b, c, d;
  a.grip = 1, a.textureIndex = -1, a.tex = "road_a", a.repeatLength = 10, a.repeatWidth = 4;
  b.grip = 1, b.textureIndex = 7, b.tex = "road_b", b.repeatLength = 40, b.repeatWidth = 8;
  b.raceType = 5, b.r90 = 1, b.clampHint = 1, b.contourFlag = 0;
  c.grip = 1, c.textureIndex = 9;  // no texture
  d.grip = 5, d.textureIndex = -1, d.tex = "grass", d.clampHint = 6, d.repeatWidth = 5;
  for (auto& e : {a, b, c, d}) ptf.tractionTex.Add(e);
  _vars_track_material m;
  m.name = "road_b";
  m.mapName = "Maps\\RoadB.BMP";
  ptf.materials.Add(m);

  ChainSegments(ptf, {{0, 100, 0}});
  ptf.CreateNewTraction(0, -10, -10, 5, 0, 0, 0, {});
  ptf.CreateNewTraction(0, -5, -5, 1, 0, 0, 0, {{0, 0.1f, 0.2f}, {0, 0.3f, 0.4f}, {0, 0.5f, 0.6f}, {0, 0.7f, 0.8f}});
  ptf.CreateNewTraction(0, 2, 3, 1, 3, 0, 0, {});
  ptf.CreateNewTraction(0, 6, 8, 1, 7, 0, 0, {});
  ptf.CreateNewTraction(0, 10, 11, 1, 9, 0, 0, {});
  ptf.CreateNewTraction(0, 12, 12, 1, 0, 0, 0, {});
  ptf.FinishTractionTextures(0);
  CN5ObjSg* sg = ptf.GetSegObj(0);

  // Grass clamps V to one repeat and mirrors U: 0.99 - lat / 5.
  ExpectCorners(sg->GetFsObj(0)->textureCoords, {2.99, 2.99, 1.99, 1.99}, {0, 1, 1, 0});
  // Four explicit coordinates replace the corners.
  ExpectCorners(sg->GetFsObj(1)->textureCoords, {0.1f, 0.3f, 0.5f, 0.7f}, {0.2f, 0.4f, 0.6f, 0.8f});
  // The entry for any texture index: repeat 10 m along, 4 m across.
  CN5ObjFs* ra = sg->GetFsObj(2);
  EXPECT_EQ(TextureOf(ra->appearance), "trackmat\\road_a");
  ExpectCorners(ra->textureCoords, {0.5, 0.75, 2, 1.5}, {0, 10, 10, 0});
  EXPECT_EQ(ra->bandKind, 0);
  // Its own entry (the last match) for texture index 7: the map name from
  // the material table, clamped with R90 set, pit lane kind.
  CN5ObjFs* rb = sg->GetFsObj(3);
  EXPECT_EQ(TextureOf(rb->appearance), "trackmat\\roadb.bmp");
  EXPECT_EQ(dynamic_cast<CN5ObjAp*>(rb->appearance)->appearanceName, "road_b");
  ExpectCorners(rb->textureCoords, {0.99, 0.99, 0, 0}, {0, 2.5, 2.5, 0});
  EXPECT_EQ(dynamic_cast<CN5ObjTu*>(rb->textureCoords)->rotation, 1);
  EXPECT_EQ(rb->bandKind, 5);
  EXPECT_EQ(rb->contourFlag, 0);
  // An entry without a texture name leaves the surface untextured.
  CN5ObjFs* none = sg->GetFsObj(4);
  EXPECT_EQ(none->appearance, nullptr);
  ASSERT_EQ(none->children.size(), 1u);
  EXPECT_EQ(none->children[0], nullptr);
}

TEST(BuildBands, FirstBandReachesUnderTheFirstWallAndSharedEdgesSeparate) {
  CN5Ptf ptf;
  ChainSegments(ptf, {{0, 100, 0}});
  ptf.CreateNewTraction(0, -9, -8, 1, 0, 0, 0, {});
  ptf.CreateNewTraction(0, 4, 5, 1, 0, 0, 0, {});
  ptf.CreateNewTraction(0, 9, 9, 1, 0, 0, 0, {});
  ptf.CreateNewWall(0, -10, -11, 2049, 0, {}, 0.5, 0, 0, 0, 0, 0);
  CN5ObjSg* sg = ptf.GetSegObj(0);
  sg->GetFsObj(1)->latEnd = 9;  // shares its end with the last band
  ptf.FinishTractionTextures(0);
  ExpectValues(LatStarts(sg->bands), {-10.5, 4, 9});
  ExpectValues(LatEnds(sg->bands), {-11.5, 8.99, 9});
}

TEST(BuildWalls, CatchFencesStandOutsideTheirWall) {
  CN5Ptf ptf;
  ChainSegments(ptf, {{0, 100, 0}});
  // Without texture entries the fence has no width and moves out by 1 cm.
  ptf.CreateNewWall(0, 10, 10, 2070, 5, {}, 0, 0, 0, 0, 0, 0);
  CN5ObjSg* sg = ptf.GetSegObj(0);
  ASSERT_EQ(sg->NoWalls(), 2);
  ExpectValues(LatStarts(sg->walls), {10, 10.41});
  EXPECT_EQ(sg->GetWsObj(0)->wallType, 2049);
  EXPECT_EQ(sg->GetWsObj(1)->wallType, 2053);
  EXPECT_EQ(sg->GetWsObj(1)->heightStart, 1.2);

  // With entries: the fence (any index) 0.3 m wide moves out by its width;
  // the wall finds its entry through the last two digits of index 2060.
  CN5Ptf t;
  VARS_TRACK_WALL_TEX fence, wall;
  fence.grip = 2053, fence.textureIndex = -1, fence.width = 0.3, fence.texRight = "fence";
  wall.grip = 2049, wall.textureIndex = 60, wall.width = 0.5, wall.height = 2, wall.texRight = "wall";
  wall.gripOverride = 2051, wall.raceType = 3, wall.vertical = 1, wall.catchFence = 1;
  t.wallTex.Add(fence);
  t.wallTex.Add(wall);
  ChainSegments(t, {{0, 100, 0}});
  t.CreateNewWall(0, -10, -12, 2070, 0, {}, 0, 0, 0, 0, 0, 0);
  CN5ObjSg* s = t.GetSegObj(0);
  ASSERT_EQ(s->NoWalls(), 2);
  CN5ObjWs* f = s->GetWsObj(0);
  CN5ObjWs* w = s->GetWsObj(1);
  EXPECT_DOUBLE_EQ(f->latStart, -10.7);
  EXPECT_DOUBLE_EQ(f->latEnd, -12.7);
  EXPECT_EQ(f->wallType, 2053);
  EXPECT_EQ(f->widthStart, 0.3);
  EXPECT_EQ(TextureOf(f->faces[0].appearance), "trackmat\\fence");
  EXPECT_EQ(w->latStart, -10);
  EXPECT_EQ(w->wallType, 2051);
  EXPECT_EQ(w->widthStart, 0.5);
  EXPECT_EQ(w->boundWidthEnd, 0.5);
  EXPECT_EQ(w->heightStart, 2);
  EXPECT_EQ(w->heightEnd, 2);
  EXPECT_EQ(w->raceType, 3);
  EXPECT_EQ(w->vertical, 1);
  EXPECT_EQ(w->catchFence, 1);
  EXPECT_EQ(w->repeatModulus, 1000);
  EXPECT_EQ(TextureOf(w->faces[0].appearance), "trackmat\\wall");
}

TEST(BuildWalls, FacesWidthsAndHeights) {
  CN5Ptf ptf;
  VARS_TRACK_WALL_TEX e;
  e.grip = 2049, e.texRight = "r", e.texTop = "t", e.texEnd = "e";
  ptf.wallTex.Add(e);
  ChainSegments(ptf, {{0, 100, 0}});
  // No width: only the two sides; the left side takes the right texture.
  ptf.CreateNewWall(0, -10, -10, 2049, 0, {}, 0, 0, 0, 0, 0, 0);
  CN5ObjWs* thin = ptf.GetSegObj(0)->GetWsObj(0);
  ASSERT_EQ(thin->faces.size(), 5u);
  EXPECT_EQ(TextureOf(thin->faces[0].appearance), "trackmat\\r");
  EXPECT_EQ(thin->faces[1].appearance, nullptr);
  EXPECT_EQ(thin->faces[1].textureCoords, nullptr);
  EXPECT_EQ(TextureOf(thin->faces[2].appearance), "trackmat\\r");
  EXPECT_EQ(thin->faces[3].appearance, nullptr);
  EXPECT_EQ(thin->faces[4].appearance, nullptr);
  // Given widths and heights replace the entry's.
  ptf.CreateNewWall(0, 10, 10, 2049, 0, {}, 0.5, 0.8, 3, 4, 0, 1);
  CN5ObjWs* wide = ptf.GetSegObj(0)->GetWsObj(1);
  EXPECT_EQ(wide->widthStart, 0.5);
  EXPECT_EQ(wide->boundWidthStart, 0.5);
  EXPECT_EQ(wide->widthEnd, 0.8);
  EXPECT_EQ(wide->boundWidthEnd, 0.8);
  EXPECT_EQ(wide->heightStart, 3);
  EXPECT_EQ(wide->heightEnd, 4);
  EXPECT_EQ(wide->straighten, 1);
  const char* names[] = {"trackmat\\r", "trackmat\\t", "trackmat\\r", "trackmat\\e", "trackmat\\e"};
  for (int f = 0; f < 5; ++f) EXPECT_EQ(TextureOf(wide->faces[f].appearance), names[f]) << f;
  // End faces span the whole texture across.
  ExpectCorners(wide->faces[3].textureCoords, {1, 1, 0, 0}, {1, 0, 0, 1});
  // The default height is 1.2 m.
  EXPECT_EQ(thin->heightStart, 1.2);
  EXPECT_EQ(thin->heightEnd, 1.2);
}

TEST(BuildWalls, WallsWithinTwoCentimetresAreDuplicates) {
  CN5Ptf ptf;
  ChainSegments(ptf, {{0, 100, 0}});
  ptf.CreateNewWall(0, 5, 5, 2049, 0, {}, 0, 0, 0, 0, 0, 0);
  ptf.CreateNewWall(0, 5.015, 4.99, 2049, 0, {}, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(ptf.GetSegObj(0)->NoWalls(), 1);
  ptf.CreateNewWall(0, 5.03, 5, 2049, 0, {}, 0, 0, 0, 0, 0, 0);
  ptf.CreateNewWall(0, 4.99, 6, 2049, 0, {}, 0, 0, 0, 0, 0, 0);
  ptf.CreateNewWall(0, 5, 5.5, 2049, 0, {}, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(LatStarts(ptf.GetSegObj(0)->walls), (std::vector<double>{4.99, 5, 5, 5.03}));
  EXPECT_EQ(LatEnds(ptf.GetSegObj(0)->walls), (std::vector<double>{6, 5, 5.5, 5}));
}

TEST(BuildWalls, TextureRunsOnForwardsOnRightFacesAndBackwardsOnLeftFaces) {
  CN5Ptf ptf;
  VARS_TRACK_WALL_TEX e;
  e.grip = 2049, e.texRight = "wall", e.texTop = "top", e.repeatLength = 30;
  ptf.wallTex.Add(e);
  // 100 m then 50 m: spans of 3.333... and 1.666... repeats.
  TrackCursor c = ChainSegments(ptf, {{0, 100, 0}});
  ptf.CreateNewWall(0, -10, -10, 2049, 0, {}, 0.2, 0, 0, 0, 0, 0);
  ptf.CreateNewWall(0, 10, 10, 2049, 0, {}, 0.2, 0, 0, 0, 0, 0);
  CN5ObjWs* r0 = ptf.GetSegObj(0)->GetWsObj(0);
  CN5ObjWs* l0 = ptf.GetSegObj(0)->GetWsObj(1);
  ExpectCorners(r0->faces[0].textureCoords, {0, 3.333, 3.333, 0}, {1, 1, 0, 0});
  ExpectCorners(r0->faces[1].textureCoords, {3.333, 0, 0, 3.333}, {0, 0, 1, 1});
  ExpectCorners(r0->faces[2].textureCoords, {3.333, 0, 0, 3.333}, {0, 0, 1, 1});
  ExpectCorners(l0->faces[1].textureCoords, {0, 3.333, 3.333, 0}, {1, 1, 0, 0});

  ChainSegments(ptf, {{0, 50, 0}}, c);
  ptf.CreateNewWall(1, -10, -10, 2049, 0, {}, 0.2, 0, 0, 0, 0, 0);
  ptf.CreateNewWall(1, 10, 10, 2049, 0, {}, 0.2, 0, 0, 0, 0, 0);
  ptf.CreateNewWall(1, 10.5, 10.5, 2049, 0, {}, 0.2, 0, 0, 0, 0, 0);
  CN5ObjWs* r1 = ptf.GetSegObj(1)->GetWsObj(0);
  CN5ObjWs* l1 = ptf.GetSegObj(1)->GetWsObj(1);
  CN5ObjWs* other = ptf.GetSegObj(1)->GetWsObj(2);
  // Right faces: on from 3.333 to 3.333 + 1.6667, cut to 1/1000.
  ExpectCorners(r1->faces[0].textureCoords, {3.333, 4.999, 4.999, 3.333}, {1, 1, 0, 0});
  // Left faces: back from 0 to -1.6667, cut towards zero.
  ExpectCorners(r1->faces[2].textureCoords, {0, -1.666, -1.666, 0}, {0, 0, 1, 1});
  ExpectCorners(r1->faces[1].textureCoords, {0, -1.666, -1.666, 0}, {0, 0, 1, 1});
  // The top of a wall on the left runs with the right faces.
  ExpectCorners(l1->faces[1].textureCoords, {3.333, 4.999, 4.999, 3.333}, {1, 1, 0, 0});
  // A wall that starts where none ended starts again.
  ExpectCorners(other->faces[0].textureCoords, {0, 1.666, 1.666, 0}, {1, 1, 0, 0});
}

TEST(BuildWalls, ArcFactorQuantisationAndExplicitCoordinates) {
  CN5Ptf ptf;
  VARS_TRACK_WALL_TEX e;
  e.grip = 2049, e.texRight = "wall", e.repeatLength = 30, e.minTexV = 0.25f, e.maxTexV = 0.75f;
  ptf.wallTex.Add(e);
  VARS_TRACK_WALL_TEX coarse = e;
  coarse.textureIndex = 4, coarse.repeatModulus = 100;
  ptf.wallTex.Add(coarse);
  // A left arc of radius 100: the texture keeps its size along each wall.
  ChainSegments(ptf, {{1, 100, 1.0}, {0, 0.01, 0}});
  ptf.CreateNewWall(0, 25, 25, 2049, 0, {}, 0, 0, 0, 0, 0, 0);
  ptf.CreateNewWall(0, -10, -10, 2049, 4, {}, 0, 0, 0, 0, 0, 0);
  ptf.CreateNewWall(0, 30, 30, 2049, 0, {{0, 0.25f, 0.1f}, {0, 0.75f, 0.9f}, {2, 0.5f, 0.2f}}, 0, 0, 0, 0, 0, 0);
  CN5ObjSg* arc = ptf.GetSegObj(0);
  // 25 m to the left of a 100 m arc of radius 100: 100 / 30 * 0.75 = 2.5.
  ExpectCorners(arc->GetWsObj(1)->faces[0].textureCoords, {0, 2.5, 2.5, 0}, {0.75, 0.75, 0.25, 0.25});
  // 10 m to the right: 100 / 30 * 1.1 = 3.6667, cut to 1/100 with the
  // entry's repeat modulus.
  EXPECT_EQ(arc->GetWsObj(0)->repeatModulus, 100);
  ExpectCorners(arc->GetWsObj(0)->faces[0].textureCoords, {0, 3.66, 3.66, 0}, {0.75, 0.75, 0.25, 0.25});
  // Explicit coordinates of the right face replace s and t there only.
  CN5ObjWs* x = arc->GetWsObj(2);
  ExpectCorners(x->faces[0].textureCoords, {0.25f, 0.75f, 0.75f, 0.25f}, {0.9f, 0.9f, 0.1f, 0.1f});
  // The left face: 100 / 30 * 0.7 = 2.3333, running back from there.
  ExpectCorners(x->faces[2].textureCoords, {2.333, 0, 0, 2.333}, {0.25, 0.25, 0.75, 0.75});
  // 1 cm of wall is less than 1/1000 of a repeat: it gets one step.
  ptf.CreateNewWall(1, -5, -5, 2049, 0, {}, 0, 0, 0, 0, 0, 0);
  ExpectCorners(ptf.GetSegObj(1)->GetWsObj(0)->faces[0].textureCoords, {0, 0.001, 0.001, 0}, {0.75, 0.75, 0.25, 0.25});
}

TEST(BuildBanks, SortedDuplicatesSeparatedAndClampedOnArcs) {
  CN5Ptf ptf;
  ChainSegments(ptf, {{0, 40, 0}, {1, 100, 1.0}, {1, 100, -1.0}});
  ptf.CreateNewBank(0, 0, 10, 1, 1, 0.5, 0);
  ptf.CreateNewBank(0, 0, 12, 0, 0, 0, 0);
  ptf.CreateNewBank(0, 0, 10, 7, 7, 0, 0);  // same laterals: ignored
  ptf.CreateNewBank(0, -5, 0, 0, 0, 0, 0);
  CN5ObjSg* sg = ptf.GetSegObj(0);
  ExpectValues(LatStarts(sg->bankLines), {-5, 0, 0});
  EXPECT_EQ(sg->GetXsObj(1)->heightStart, 1);
  ptf.MoveDuplicateXS(0);
  ExpectValues(LatStarts(sg->bankLines), {-5, -0.005, 0});
  ExpectValues(LatEnds(sg->bankLines), {0, 10, 12});
  EXPECT_DOUBLE_EQ(sg->GetXsObj(1)->cubicC, 0.5 * 40);

  // Left arc (radius 100): nothing beyond the centre on the left; right
  // arc (radius -100) likewise on the right.
  ptf.CreateNewBank(1, 50, 150, 0, 0, 0, 0);
  EXPECT_EQ(ptf.GetSegObj(1)->GetXsObj(0)->latStart, 50);
  EXPECT_DOUBLE_EQ(ptf.GetSegObj(1)->GetXsObj(0)->latEnd, 100);
  ptf.CreateNewBank(2, -150, -50, 0, 0, 0, 0);
  EXPECT_DOUBLE_EQ(ptf.GetSegObj(2)->GetXsObj(0)->latStart, -100);
  EXPECT_EQ(ptf.GetSegObj(2)->GetXsObj(0)->latEnd, -50);
}

TEST(BuildDetails, DetailBlockAndUnprefixedTexture) {
  CN5Ptf ptf;
  ptf.CreateNewTrackDetail(120.5, -3, 2, 4, 0.25, "Arrow", 0.5, 0.75);
  ASSERT_EQ(ptf.NoTrackDetails(), 1);
  CN5ObjTd* td = ptf.GetTrackDetailObj(0);
  CRecordBytes expected;
  expected.F64(120.5).F64(-3).F64(2).F64(4).F64(0.25).I32(32).F64(0).F64(0.5).F64(0.5).F64(0);
  expected.I32(32).F64(0.75).F64(0.75).F64(0).F64(0);
  ASSERT_EQ(expected.Size(), 112u);
  EXPECT_EQ(std::memcmp(td->block.data(), expected.Bytes().data(), 112), 0);
  ASSERT_FALSE(td->children.empty());
  auto* ap = dynamic_cast<CN5ObjAp*>(td->children[0]);
  ASSERT_NE(ap, nullptr);
  EXPECT_EQ(TextureOf(ap), "arrow");
  EXPECT_EQ(ap->mode, 3);
}

TEST(BuildSegments, SegmentsAreNumberedInTheTrackRecord) {
  CN5Ptf ptf;
  EXPECT_EQ(ptf.CreateSegment(), 0);
  EXPECT_EQ(ptf.CreateSegment(), 1);
  CN5ObjTk* tk = ptf.GetWriteTk();
  ASSERT_EQ(tk->segments.size(), 2u);
  EXPECT_EQ(tk, ptf.GetTk());
  EXPECT_EQ(ptf.GetSegObj(1)->index, 1);
  EXPECT_EQ(ptf.GetSegObj(1)->parent, tk);
}

}  // namespace

}  // namespace lapforge
