// Lookups, start-up adjustments, shader matching and map conversion of the
// shader dictionary.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "formats/shaders/ShaderDictionary.h"
#include "formats/shaders/ShaderDictionaryNames.h"
#include "support/Errors.h"

namespace lapforge {

TEST(ShaderDictionary, LookupIgnoresCaseAndTakesLastDuplicate) {
  _gfxSimEDShader rec{};
  std::string found;
  EXPECT_EQ(CGfxDictionary::LookupShader("notshader", rec, found), 1);
  EXPECT_EQ(found, "NOTSHADER");
  // The last of the four separator records.
  EXPECT_EQ(std::memcmp(&rec, &CGfxDictionary::GetShader(70), sizeof rec), 0);
  EXPECT_EQ(CGfxDictionary::LookupShader("no such shader", rec, found), 0);
  EXPECT_EQ(found, "DIFFUSET0");
  EXPECT_EQ(CGfxDictionary::GetDefaultShaderIndex(), 0);
}

TEST(ShaderDictionary, StartUpAdjustments) {
  _gfxSimEDShader rec{};
  std::string found;
  ASSERT_EQ(CGfxDictionary::LookupShader("RainReflect", rec, found), 1);
  EXPECT_STREQ(rec.dx9Name, "L2DIFFUSET0T1XT2XT3");
  EXPECT_EQ(rec.dx9Index, 37);
  EXPECT_EQ(rec.dx7Index, 122);
  for (const char* name : {"DIFFUSET0T1XT2", "DIFFUSET0XT1T2", "NOLIGHTING"}) {
    ASSERT_EQ(CGfxDictionary::LookupShader(name, rec, found), 1);
    EXPECT_STREQ(rec.dx9Name, "L2USEVERTEXPIXEL") << name;
    EXPECT_EQ(rec.dx9Index, 125) << name;
  }
  CGfxDictionary::GetDefaultShader(rec);
  EXPECT_STREQ(rec.longDescription, "Diffuse tex1 only.");
  for (int i = 0; i < CGfxDictionary::GetShaderCount(); ++i) {
    std::string d = CGfxDictionary::GetShader(i).longDescription;
    EXPECT_FALSE(d.size() >= 6 && d.substr(d.size() - 6) == ", dx9.") << i;
  }
}

TEST(ShaderDictionary, LookupDXShLeavesMissingLevelsUnchanged) {
  _gfxDXShader dx7{}, dx8{}, dx9{};
  std::strcpy(dx7.name, "KEEP");
  ASSERT_EQ(CGfxDictionary::LookupDXSh("notshader", dx7, dx8, dx9), 1);
  EXPECT_STREQ(dx7.name, "KEEP");
  EXPECT_STREQ(dx9.name, "L2NOTSHADER");
  _gfxDXShader a{};
  EXPECT_EQ(CGfxDictionary::LookupDXSh("bogus", dx7, dx8, a), 0);
  EXPECT_STREQ(a.name, "");
  ASSERT_EQ(CGfxDictionary::LookupDXSh("l0specularmapt0", a), 1);
  EXPECT_EQ(a.stages[1].blend, kSpecularBlend);
  EXPECT_EQ(CGfxDictionary::LookupDXSh("", a), 0);
}

TEST(ShaderDictionary, IndexOutOfRangeRaises) {
  EXPECT_THROW(CGfxDictionary::GetShader(74), CInvalidArgument);
  EXPECT_THROW(CGfxDictionary::GetDXShader(-1), CInvalidArgument);
  CGlMatMap two[2];
  CGlMatShader sh;
  EXPECT_THROW(CGfxDictionary::ConvertMatMapsToMatShader(two, sh), CInvalidArgument);
}

TEST(ShaderDictionary, AllShaderNamesInOrder) {
  std::vector<std::string> names;
  std::vector<std::pair<std::string, std::string>> pairs;
  CGfxDictionary::AllShaderNames(names, pairs);
  ASSERT_EQ(names.size(), 74u);
  ASSERT_EQ(pairs.size(), 74u);
  EXPECT_EQ(names[73], "RAINREFLECT");
  EXPECT_EQ(pairs[37].second, "cube map t1");
}

TEST(ShaderDictionary, FindShaderMatch) {
  CGlMatShader sh;
  sh.maps[0].stageType = 1;
  sh.maps[0].blend = 2;
  EXPECT_EQ(CGfxDictionary::FindShaderMatch(sh), 1);
  EXPECT_EQ(sh.shaderName, "DIFFUSET0T1");
  // Asking for specular skips the non-specular record.
  CGlMatShader shiny;
  shiny.specular = 1;
  shiny.maps[0].stageType = 1;
  shiny.maps[0].blend = 2;
  EXPECT_EQ(CGfxDictionary::FindShaderMatch(shiny), 1);
  EXPECT_EQ(shiny.shaderName, "SPECULART0T1");
  // No record has a bump map in the third slot alone.
  CGlMatShader none;
  none.maps[2].stageType = 5;
  EXPECT_EQ(CGfxDictionary::FindShaderMatch(none), 0);
  EXPECT_EQ(none.shaderName, "DIFFUSET0");
  EXPECT_EQ(none.maps[2].stageType, 0);
  EXPECT_EQ(none.maps[2].blend, -1);
}

TEST(ShaderDictionary, ConvertMatMaps) {
  CGlMatMap maps[3];
  maps[0].mapType = 211;
  maps[0].mapName = "env";
  maps[1].mapType = 5;
  maps[1].mapName = "bump";
  maps[2].mapType = 2;
  maps[2].mapName = "shine";
  CGlMatShader sh;
  EXPECT_EQ(CGfxDictionary::ConvertMatMapsToMatShader(maps, sh), 1);
  EXPECT_EQ(sh.shaderName, "BUMPCMAPSPECMAPT0");
  EXPECT_EQ(sh.maps[0].textureName, "shine");
  EXPECT_EQ(sh.maps[1].textureName, "bump");
  EXPECT_EQ(sh.maps[2].textureName, "env");

  CGlMatMap rain[3];
  rain[2].mapType = 511;
  rain[0].secondaryName = "a";
  rain[1].secondaryName = "b";
  rain[2].secondaryName = "c";
  CGlMatShader r;
  CGfxDictionary::ConvertMatMapsToMatShader(rain, r);
  EXPECT_EQ(r.shaderName, "RAINREFLECT");
  EXPECT_EQ(r.maps[2].textureName, "c");
  // A missing secondary name is no rain material; nothing to fill either.
  rain[1].secondaryName.clear();
  CGlMatShader n;
  CGfxDictionary::ConvertMatMapsToMatShader(rain, n);
  EXPECT_EQ(n.shaderName, "NONE");
}

TEST(GfxNames, Names) {
  EXPECT_EQ(CGfxNames::GmtBlendEnumString(0), "");
  EXPECT_EQ(CGfxNames::GmtBlendEnumString(-1), "NoBlend ");
  EXPECT_EQ(CGfxNames::GmtBlendEnumString(0x04040404), "GmtSpecularBlend");
  EXPECT_EQ(CGfxNames::GmtMapEnumString(3), "");
  EXPECT_EQ(CGfxNames::GmtMapEnumString(15), "GmtMath");
  EXPECT_EQ(CGfxNames::GmtMapTypeToString(11), "Cube Map");
  EXPECT_EQ(CGfxNames::GmtMapTypeToString(9), "");
}

}  // namespace lapforge
