#include <gtest/gtest.h>

#include "description/tables/MaterialTable.h"
#include "support/Errors.h"

namespace lapforge {

namespace {

VARS_TRACK_TRACTION_TEX Surface(int grip, int index, const std::string& tex, int section = 0) {
  VARS_TRACK_TRACTION_TEX t;
  t.grip = static_cast<uint16_t>(grip);
  t.textureIndex = index;
  t.tex = tex;
  t.firstSection = section;
  return t;
}

VARS_TRACK_WALL_TEX Wall(int grip, int index, const std::string& left, const std::string& right,
                         const std::string& top = "", const std::string& end = "") {
  VARS_TRACK_WALL_TEX w;
  w.grip = static_cast<uint16_t>(grip);
  w.textureIndex = index;
  w.texLeft = left;
  w.texRight = right;
  w.texTop = top;
  w.texEnd = end;
  return w;
}

}  // namespace

TEST(MaterialArray, LookupsIgnoreCaseAndReturnTheFirstMatch) {
  CTrackMaterialArray m;
  _vars_track_material a;
  a.name = "road01";
  a.mapName = "Asphalt.bmp";
  a.grip = 1;
  a.comment = "first";
  m.Add(a);
  a.name = "ROAD01";
  a.comment = "second";
  m.Add(a);
  a.name = "rmbl01";
  a.grip = 3;
  m.Add(a);

  EXPECT_EQ(m.Find("Road01"), 1);
  EXPECT_EQ(m.Find("road02"), 0);
  _vars_track_material out;
  ASSERT_EQ(m.Lookup("ROAD01", out), 1);
  EXPECT_EQ(out.comment, "first");
  EXPECT_EQ(m.Lookup("none", out), 0);

  std::string name;
  ASSERT_EQ(m.FindTexAndGrip("asphalt.BMP", 1, name), 1);
  EXPECT_EQ(name, "road01");
  ASSERT_EQ(m.FindTexAndGrip("asphalt.bmp", 3, name), 1);
  EXPECT_EQ(name, "rmbl01");
  EXPECT_EQ(m.FindTexAndGrip("asphalt.bmp", 2, name), 0);

  // Lookups stay right after the list is edited.
  m.RemoveAt(0);
  ASSERT_EQ(m.Lookup("road01", out), 1);
  EXPECT_EQ(out.comment, "second");
  a.name = "gras07";
  m.SetAt(0, a);
  EXPECT_EQ(m.Find("road01"), 0);
  EXPECT_EQ(m.Find("gras07"), 1);
  EXPECT_THROW(m.GetAt(2), CInvalidArgument);
  EXPECT_THROW(m.RemoveAt(-1), CInvalidArgument);
}

TEST(MaterialArray, RecordArraysCheckTheirIndices) {
  CTrackTractionTexArray t;
  t.Add(Surface(1, 0, "a"));
  EXPECT_THROW(t.GetAt(1), CInvalidArgument);
  EXPECT_THROW(t.InsertAt(2, Surface(1, 1, "b")), CInvalidArgument);
  t.InsertAt(1, Surface(1, 1, "b"));
  EXPECT_EQ(t[1].tex, "b");
  // Defaults of the records.
  VARS_TRACK_TRACTION_TEX d;
  EXPECT_EQ(d.grip, 1);
  EXPECT_EQ(d.textureIndex, -1);
  EXPECT_EQ(d.gripOverride, -1);
  EXPECT_EQ(d.contourFlag, 1);
  VARS_TRACK_WALL_TEX w;
  EXPECT_EQ(w.grip, 0);
  EXPECT_EQ(w.maxTexV, 1.0f);
  EXPECT_EQ(w.minTexV, 0.0f);
}

TEST(MakeMaterial, CommentLleNameAndTextureLine) {
  CTrackMaterialArray m;
  std::string name = "error";
  EXPECT_EQ(MakeMaterial(m, name, 1, 3, kMaterialSurface, 5, 120.5f, -3.0f, true), 1);
  EXPECT_EQ(name, "road01");
  ASSERT_EQ(m.GetSize(), 1);
  EXPECT_EQ(m[0].mapName, "error");
  EXPECT_EQ(m[0].comment, "TGrip 1 Index 3 Surface Section 5");
  EXPECT_EQ(m[0].lle, "LLE 120.500 -3.000 0.000");
  EXPECT_EQ(m[0].texLine, "1 3 0 10.0 10.0 error // TGrip 1 Index 3 Surface Section 5 LLE 120.500 -3.000 0.000");
  EXPECT_EQ(m[0].grip, 1);
  EXPECT_EQ(m[0].transparency, 0);

  name = "error";
  MakeMaterial(m, name, 2051, 7, kMaterialSide, 2, 120.5f, -3.0f, true);
  EXPECT_EQ(name, "twal01");
  EXPECT_EQ(m[1].comment, "WGrip 2051 Index 7 Side Section 2");
  EXPECT_EQ(m[1].lle, "LLE 120.500 -3.000 0.200");

  // No position: no LLE text, and the line ends in the blank before it.
  name = "Brick.BMP";
  MakeMaterial(m, name, 2053, 0, kMaterialEnd, 0, 0, 0, true);
  EXPECT_EQ(name, "safer01");
  EXPECT_EQ(m[2].lle, "");
  EXPECT_EQ(m[2].mapName, "Brick.BMP");
  EXPECT_EQ(m[2].texLine, "2053 0 4 10.0 10.0 Brick.BMP // WGrip 2053 Index 0 end Section 0 ");

  name = "t";
  MakeMaterial(m, name, 2050, 1, kMaterialTop, 9, 0, 1.0f, true);
  EXPECT_EQ(m[3].comment, "WGrip 2050 Index 1 Top Section 9");
  EXPECT_EQ(m[3].lle, "LLE 0.000 1.000 0.200");
  EXPECT_EQ(name, "grdr01");
}

TEST(MakeMaterial, ReuseAndGeneratedNames) {
  CTrackMaterialArray m;
  std::string a = "asphalt", b = "ASPHALT", c = "asphalt", e1 = "error", e2 = "error";
  EXPECT_EQ(MakeMaterial(m, a, 1, 0, 0, 0, 0, 0, true), 1);
  EXPECT_EQ(a, "road01");
  // Same file and surface code: the first material is shared.
  EXPECT_EQ(MakeMaterial(m, b, 1, 4, 0, 3, 0, 0, true), 0);
  EXPECT_EQ(b, "road01");
  // Another surface code: a material of its own.
  EXPECT_EQ(MakeMaterial(m, c, 2, 0, 0, 0, 0, 0, true), 1);
  EXPECT_EQ(c, "road02");
  // Placeholders are never shared.
  MakeMaterial(m, e1, 1, 0, 0, 0, 0, 0, true);
  MakeMaterial(m, e2, 1, 0, 0, 0, 0, 0, true);
  EXPECT_EQ(e1, "road03");
  EXPECT_EQ(e2, "road04");
  EXPECT_EQ(m.GetSize(), 4);

  // A name that starts with the base word stays, unless it is taken.
  std::string keep = "Road_Main", taken = "road01", other = "x";
  MakeMaterial(m, keep, 1, 0, 0, 0, 0, 0, true);
  EXPECT_EQ(keep, "road_main");
  MakeMaterial(m, taken, 2, 5, 0, 0, 0, 0, true);
  EXPECT_EQ(taken, "road05");
  MakeMaterial(m, other, 1, 0, 0, 0, 0, 0, true);
  EXPECT_EQ(other, "road06");

  // Base words of the surface codes.
  const std::pair<int, const char*> words[] = {
      {1, "road"},     {2, "road"},     {3, "rmbl"},    {12, "rmbl"},   {13, "rmbl"},   {5, "grvl"},    {8, "grvl"},
      {4, "gras"},     {0, "gras"},     {2047, "gras"}, {2050, "grdr"}, {2059, "grdr"}, {2051, "twal"}, {2052, "twal"},
      {2053, "safer"}, {2058, "safer"}, {2048, "cmwl"}, {2049, "cmwl"}, {2070, "cmwl"}};
  for (auto [grip, word] : words) EXPECT_STREQ(MaterialBaseWord(grip), word) << grip;

  // Without automatic names the lower-cased given name stays.
  CTrackMaterialArray plain;
  std::string n = "Gravel.BMP";
  MakeMaterial(plain, n, 5, 0, 0, 0, 0, 0, false);
  EXPECT_EQ(n, "gravel.bmp");
  EXPECT_EQ(plain[0].mapName, "Gravel.BMP");
}

TEST(BuildMaterialTable, ListsRewrittenToMaterialNames) {
  CTrackMaterialArray m;
  CTrackTractionTexArray t;
  t.Add(Surface(1, 0, "asphalt", 0));
  t.Add(Surface(1, 1, "asphalt", 2));  // shares road01
  t.Add(Surface(10, 0, "error"));      // surface code 10: no material
  t.Add(Surface(3, 0, "error", 1));
  CTrackWallTexArray w;
  w.Add(Wall(2051, 0, "error", "error", "error", "error"));  // right shares left
  w.Add(Wall(2049, 1, "brick", "stone"));

  BuildMaterialTable(m, t, w, true);
  EXPECT_EQ(t[0].tex, "road01");
  EXPECT_EQ(t[1].tex, "road01");
  EXPECT_EQ(t[2].tex, "error");
  EXPECT_EQ(t[3].tex, "rmbl01");
  EXPECT_EQ(w[0].texLeft, "twal01");
  EXPECT_EQ(w[0].texRight, "twal01");
  EXPECT_EQ(w[0].texTop, "twal02");
  EXPECT_EQ(w[0].texEnd, "twal03");
  EXPECT_EQ(w[1].texLeft, "cmwl01");
  EXPECT_EQ(w[1].texRight, "cmwl02");
  EXPECT_EQ(w[1].texTop, "");
  ASSERT_EQ(m.GetSize(), 7);
  EXPECT_EQ(m[2].comment, "WGrip 2051 Index 0 Side Section 0");
  EXPECT_EQ(m[3].comment, "WGrip 2051 Index 0 Top Section 0");
  EXPECT_EQ(m[4].comment, "WGrip 2051 Index 0 end Section 0");
}

TEST(BuildMaterialTable, ManyMaterialsKeepCountingInOrder) {
  CTrackMaterialArray m;
  CTrackTractionTexArray t;
  for (int i = 0; i < 250; ++i) t.Add(Surface(1, i, "error"));
  CTrackWallTexArray w;
  BuildMaterialTable(m, t, w, true);
  EXPECT_EQ(t[0].tex, "road01");
  EXPECT_EQ(t[98].tex, "road99");
  EXPECT_EQ(t[99].tex, "road100");
  EXPECT_EQ(t[249].tex, "road250");
}

}  // namespace lapforge
