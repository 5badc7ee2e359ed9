// Face texture coordinates: planar projection, palette coordinates,
// rescaling with snapping, and the material-to-texture tie.
#include <gtest/gtest.h>

#include <cmath>

#include "mesh/GlFaceArray.h"
#include "mesh/GlMaterialArray.h"
#include "mesh/GlMipArray.h"
#include "support/Errors.h"
#include "tests/support/mesh/MeshBuilders.h"

namespace lapforge {

using meshtest::AddFace;
using meshtest::AddFaceUV;
using meshtest::AddPoint;

namespace {

CGlMaterial Named(const std::string& name, const std::string& map = std::string()) {
  CGlMaterial m;
  m.materialName = name;
  if (!map.empty()) m.SetMapName(map);
  return m;
}

}  // namespace

TEST(GlTexCoords, PaletteCellsOfWhiteBlackAndAMixedColour) {
  CGlFace quad;
  for (int i = 0; i < 4; ++i) quad.AddVertex(i);
  quad.AddUV(9, 9);
  CGlFaceArray::SetPaletteUVs(quad, 1, 1, 1);
  // qR = qB = 255 / 32 = 7, qG = 255 / 16 = 15: u = (28 + 224 + 1) / 256, v = (240 + 1) / 256.
  const float u = 253.0f / 256.0f, v = 241.0f / 256.0f;
  ASSERT_EQ(quad.GetFloatCount(), 8);
  const float expected[8] = {u, v, u + 0.0078f, v, u, v + 0.04f, u + 0.0078f, v + 0.04f};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(quad.uvs[i], expected[i]) << i;
  CGlFaceArray::SetPaletteUVs(quad, 0, 0, 0);
  EXPECT_EQ(quad.uvs[0], 1.0f / 256.0f);
  EXPECT_EQ(quad.uvs[1], 1.0f / 256.0f);
  // R 0.5 -> trunc(127.5) = 127 / 32 = 3; G 0.25 -> 63 / 16 = 3; B 0.2 -> 51 / 32 = 1.
  CGlFaceArray::SetPaletteUVs(quad, 0.5f, 0.25f, 0.2f);
  EXPECT_EQ(quad.uvs[0], (12.0f + 32.0f + 1.0f) / 256.0f);
  EXPECT_EQ(quad.uvs[1], 49.0f / 256.0f);
  // Components outside 0..1 stay inside the palette.
  CGlFaceArray::SetPaletteUVs(quad, 7.0f, -1.0f, NAN);
  EXPECT_EQ(quad.uvs[0], (28.0f + 1.0f) / 256.0f);
  EXPECT_EQ(quad.uvs[1], 1.0f / 256.0f);
}

TEST(GlTexCoords, SetUVScaleProjectsEveryFaceAndGuardsZeroScale) {
  CGlPointArray pts;
  AddPoint(pts, 40, -10, 3);
  AddPoint(pts, 0, 20, 0);
  CGlFaceArray faces;
  AddFaceUV(faces, {0, 1}, {5, 5, 5, 5, 5, 5});
  faces[0].deleted = 1;  // deleted faces too
  faces.SetUVScale(pts, 20.0f);
  EXPECT_EQ(faces[0].hasUVs, 1);
  ASSERT_EQ(faces[0].GetFloatCount(), 4);
  EXPECT_EQ(faces[0].uvs[0], 2.0f);
  EXPECT_EQ(faces[0].uvs[1], -0.5f);
  EXPECT_EQ(faces[0].uvs[3], 1.0f);
  faces.SetUVScale(pts, 0.0f);  // taken as 1
  EXPECT_EQ(faces[0].uvs[0], 40.0f);
  faces.SetUVScale(pts, 1e-44f);  // would overflow: stays finite
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(std::isfinite(faces[0].uvs[i]));
}

TEST(GlTexCoords, AutoMakeMipsFindsTitleIgnoringCase) {
  CGlPointArray pts;
  AddPoint(pts, 10, 5, 0);
  CGlMipArray mips;
  CGlMip a, b;
  a.mipTitle = "grass";
  b.mipTitle = "Road";
  mips.Add(a);
  mips.Add(b);
  CGlFaceArray faces;
  AddFace(faces, {0});
  AddFace(faces, {0});
  faces[1].mipIndex = 0;
  faces.AutoMakeMips(pts, mips, "missing", 2.0);
  EXPECT_EQ(faces[0].mipIndex, -1);
  EXPECT_EQ(faces[0].GetFloatCount(), 0);
  faces.AutoMakeMips(pts, mips, "ROAD", 2.0);
  EXPECT_EQ(faces[0].mipIndex, 1);
  EXPECT_EQ(faces[0].hasUVs, 1);
  EXPECT_EQ(faces[0].uvs[0], 5.0f);
  EXPECT_EQ(faces[0].uvs[1], 2.5f);
  EXPECT_EQ(faces[1].mipIndex, 0);  // already textured
  EXPECT_EQ(faces[1].GetFloatCount(), 0);
  faces[0].mipIndex = -1;
  faces.AutoMakeMips(pts, mips, "road", 0.0);
  EXPECT_EQ(faces[0].uvs[0], 10.0f);
}

TEST(GlTexCoords, DiffuseMaterialsWithoutMapGetThePalette) {
  CGlMaterialArray mats;
  CGlMaterial red = Named("red");
  red.diffuse = {1, 0, 0, 1};
  mats.Add(red);
  mats.Add(Named("wood", "c:\\tex\\Wood.tga"));
  mats.Add(Named("unused"));
  CGlFaceArray faces;
  AddFace(faces, {0, 1, 2}, 0);
  AddFace(faces, {0, 1, 2}, 1);
  AddFace(faces, {0, 1, 2}, 0);
  faces[2].deleted = 1;
  faces.CreateTextureCoordsFromDiffuseMaterial(mats);
  EXPECT_EQ(mats[0].mapName, "_rgbmap.tga");
  EXPECT_EQ(mats[0].mapTitle, "_rgbmap");
  EXPECT_EQ(mats[1].mapName, "c:\\tex\\Wood.tga");
  EXPECT_TRUE(mats[2].mapName.empty());
  EXPECT_EQ(mats[2].used, 0);
  EXPECT_EQ(mats[0].used, 1);
  // Red: qR = 7, others 0.
  EXPECT_EQ(faces[0].uvs[0], 29.0f / 256.0f);
  EXPECT_EQ(faces[2].uvs[0], 29.0f / 256.0f);  // deleted faces of the material too
  EXPECT_EQ(faces[1].GetFloatCount(), 0);
}

TEST(GlTexCoords, CreateTextureCoordsFromRGBMakesThePaletteMaterialOnce) {
  CGlMaterialArray mats;
  mats.Add(Named("stone"));
  CGlFaceArray faces;
  AddFace(faces, {0, 1, 2}, 0);
  faces.CreateTextureCoordsFromRGB(mats, "ignored");
  EXPECT_EQ(mats.GetSize(), 1);  // no face without material: nothing
  AddFace(faces, {0, 1, 2});
  faces[1].faceColour = {0, 0, 1, 1};
  faces.CreateTextureCoordsFromRGB(mats, "ignored");
  ASSERT_EQ(mats.GetSize(), 2);
  EXPECT_EQ(mats[1].materialName, "_rgbmap");
  EXPECT_EQ(mats[1].mapName, "_rgbmap.tga");
  EXPECT_EQ(faces[1].materialIndex, 1);
  EXPECT_EQ(faces[1].uvs[0], (224.0f + 1.0f) / 256.0f);
  AddFace(faces, {0, 1, 2});
  faces.CreateTextureCoordsFromRGB(mats, "ignored");
  EXPECT_EQ(mats.GetSize(), 2);
  EXPECT_EQ(faces[2].materialIndex, 1);
  // Colour 0.6 grey: qR = qB = 153 / 32 = 4, qG = 153 / 16 = 9.
  EXPECT_EQ(faces[2].uvs[0], (16.0f + 128.0f + 1.0f) / 256.0f);
  EXPECT_EQ(faces[2].uvs[1], (144.0f + 1.0f) / 256.0f);
}

TEST(GlTexCoords, ReScaleTexturesOnFacesAndPointsWithSnapping) {
  CGlPointArray pts;
  AddPoint(pts, 0, 0, 0);
  AddPoint(pts, 1, 0, 0);
  AddPoint(pts, 1, 1, 0);
  AddPoint(pts, 5, 5, 5);
  pts[0].u = 0.5f;
  pts[1].u = 1.0f;
  pts[1].v = 2.0f;
  pts[2].u = 0.25f;
  CGlFaceArray faces;
  AddFaceUV(faces, {0, 1, 2}, {0.5f, 0, 1, 2, 0.25f, 0}, 1);
  AddFaceUV(faces, {3, 3, 3}, {0.5f, 0, 0.5f, 0, 0.5f, 0}, 0);
  faces.CreateTriangleArrays();
  // u' = 2u + 0, then within 0.001 of 1 snapped to 0.
  faces.ReScaleTextures(pts, 0, 1, 2, 1, 0, 0.5f, 1, 0, 0, 0);
  EXPECT_EQ(faces[0].uvs[0], 0.0f);  // 2 * 0.5 = 1 -> snapped
  EXPECT_EQ(faces[0].uvs[1], 0.5f);  // v: from = to, no snap
  EXPECT_EQ(faces[0].uvs[2], 2.0f);
  EXPECT_EQ(faces[0].uvs[3], 2.5f);
  EXPECT_EQ(faces[1].uvs[0], 0.5f);  // other material
  EXPECT_EQ(pts[0].u, 0.0f);         // shared points once each
  EXPECT_EQ(pts[1].u, 2.0f);
  EXPECT_EQ(pts[2].u, 0.5f);
  EXPECT_EQ(pts[3].u, 0.0f);

  // No snap when from equals to, even at from.
  faces.ReScaleTextures(pts, 0, 1, 1, 1, 0.5f, 0, 1, 1, 0, 0);
  EXPECT_EQ(faces[0].uvs[4], 1.0f);
  // An extra channel: base coordinates kept, channel 2 filled.
  faces.ReScaleTextures(pts, 2, 1, 10, 10, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(pts[1].u, 2.5f);
  EXPECT_EQ(pts[1].channels[1].set, 1);
  EXPECT_EQ(pts[1].channels[1].u, 25.0f);
  EXPECT_EQ(pts[1].channels[1].v, 25.0f);
  EXPECT_EQ(pts[1].channels[0].set, 0);
  EXPECT_EQ(faces[0].uvs[2], 2.5f);                            // faces only for channel 0
  faces.ReScaleTextures(pts, 4, 1, 10, 10, 0, 0, 0, 0, 0, 0);  // above 3: nothing
  EXPECT_EQ(pts[1].channels[2].set, 0);
}

TEST(GlTexCoords, ReplaceTexturesFromMaterials) {
  CGlMipArray mips;
  CGlMip grass;
  grass.mipTitle = "grass";
  mips.Add(grass);
  CGlMaterialArray mats;
  mats.Add(Named("a", "tex\\Road.TGA"));
  mats.Add(Named("b", "grass.tga"));
  mats.Add(Named("c", "unused.tga"));
  CGlFaceArray faces;
  AddFace(faces, {0, 1, 2}, 0);
  AddFace(faces, {0, 1, 2}, 1);
  AddFace(faces, {0, 1, 2}, -1);
  AddFace(faces, {0, 1, 2}, 2);
  faces[3].deleted = 1;
  faces.CreateTriangleArrays();
  faces.ReplaceTexturesFromMaterials(mips, mats);
  ASSERT_EQ(mips.GetSize(), 2);
  EXPECT_EQ(mips[1].mipTitle, "road");
  EXPECT_EQ(mips[1].mipName, "tex\\Road.TGA");
  EXPECT_EQ(mips[1].mipFileName, "road.tga");
  EXPECT_EQ(faces[0].mipIndex, 1);
  EXPECT_EQ(faces[1].mipIndex, 0);
  EXPECT_EQ(faces[2].mipIndex, -1);
  EXPECT_EQ(faces[3].mipIndex, -1);
  EXPECT_EQ(faces.triangleLists[1].materialIndex, 0);
  EXPECT_EQ(faces.triangleLists[1].mipIndex, 1);
  EXPECT_EQ(faces.triangleLists[0].mipIndex, -1);
  // A face naming a material that does not exist is an index fault.
  faces[2].materialIndex = 7;
  EXPECT_THROW(faces.ReplaceTexturesFromMaterials(mips, mats), CInvalidArgument);
}

}  // namespace lapforge
