// Face texture coordinates: planar projection, colour-palette coordinates,
// rescaling and snapping, and the tie between materials and textures.
#include <cmath>

#include "mesh/GlFaceArray.h"
#include "mesh/GlMaterialArray.h"
#include "mesh/GlMipArray.h"
#include "support/FileString.h"
#include "support/TextFormat.h"

namespace lapforge {

namespace {

// A projection scale that can be divided by: zero or non-finite becomes 1.
double UsableScale(double scale) { return (scale != 0.0 && std::isfinite(scale)) ? scale : 1.0; }

// A quotient stored as float32 that must stay finite (a tiny scale may overflow).
float FiniteOrZero(double value) {
  const float f = static_cast<float>(value);
  return std::isfinite(f) ? f : 0.0f;
}

// u' = u * s + o, then replaced by to when strictly within 0.001 of from
// (only when to differs from from).
float Snapped(float value, float s, float o, float from, float to) {
  float r = value * s + o;
  if (to != from && r > from - 0.001f && r < from + 0.001f) r = to;
  return r;
}

}  // namespace

void CGlFaceArray::SetPaletteUVs(CGlFace& face, float r, float g, float b) { face.SetPaletteUVs(r, g, b); }

void CGlFaceArray::SetUVScale(const CGlPointArray& points, float scale) {
  const float s = static_cast<float>(UsableScale(scale));
  for (CGlFace& f : items_) {
    f.hasUVs = 1;
    f.RemoveAllFloats();
    const int n = f.GetVertexCount();
    for (int k = 0; k < n; ++k) {
      const CGlPoint& p = points.Get(f.vertices[k]);
      f.AddUV(FiniteOrZero(p.x / s), FiniteOrZero(p.y / s));
    }
  }
}

void CGlFaceArray::AutoMakeMips(const CGlPointArray& points, const CGlMipArray& textures, const std::string& title,
                                double scale) {
  int found = -1;
  for (int i = 0; i < textures.GetSize(); ++i) {
    if (EqualsNoCase(textures[i].mipTitle, title)) {
      found = i;
      break;
    }
  }
  if (found < 0) return;
  const double s = UsableScale(scale);
  for (CGlFace& f : items_) {
    if (f.mipIndex >= 0) continue;
    f.mipIndex = found;
    f.hasUVs = 1;
    f.RemoveAllFloats();
    const int n = f.GetVertexCount();
    for (int k = 0; k < n; ++k) {
      const CGlPoint& p = points.Get(f.vertices[k]);
      f.AddUV(FiniteOrZero(p.x / s), FiniteOrZero(p.y / s));
    }
  }
}

void CGlFaceArray::CreateTextureCoordsFromDiffuseMaterial(CGlMaterialArray& materials) {
  std::vector<uint8_t> used;
  materials.MarkUsed(*this, used);
  materials.ClearUsed();
  for (int m = 0; m < materials.GetSize(); ++m) {
    materials[m].used = used[static_cast<size_t>(m)];
  }
  std::vector<uint8_t> palette(used.size(), 0);
  for (int m = 0; m < materials.GetSize(); ++m) {
    CGlMaterial& mat = materials[m];
    if (!used[static_cast<size_t>(m)] || !mat.mapName.empty()) continue;
    mat.SetMapName(CGlMaterialArray::kRGBMapFile);
    palette[static_cast<size_t>(m)] = 1;
  }
  for (CGlFace& f : items_) {
    const int32_t m = f.materialIndex;
    if (m < 0 || m >= materials.GetSize() || !palette[static_cast<size_t>(m)]) continue;
    const _float_rgba& c = materials[m].diffuse;
    f.SetPaletteUVs(c.r, c.g, c.b);
  }
}

void CGlFaceArray::CreateTextureCoordsFromRGB(CGlMaterialArray& materials, const std::string& /*name*/) {
  bool any = false;
  for (const CGlFace& f : items_) {
    if (f.materialIndex < 0) {
      any = true;
      break;
    }
  }
  if (!any) return;
  const int palette = materials.AddRGBMapMaterial();
  if (palette < 0) return;
  for (CGlFace& f : items_) {
    if (f.materialIndex >= 0) continue;
    f.SetPaletteUVs(f.faceColour.r, f.faceColour.g, f.faceColour.b);
    f.materialIndex = palette;
  }
}

void CGlFaceArray::ReScaleTextures(CGlPointArray& points, int channel, int material, float su, float sv, float ou,
                                   float ov, float uFrom, float uTo, float vFrom, float vTo) {
  if (channel == 0) {
    for (CGlFace& f : items_) {
      if (f.deleted || f.materialIndex != material) continue;
      const int pairs = f.GetUVCount();
      for (int k = 0; k < pairs; ++k) {
        f.uvs[2 * k] = Snapped(f.uvs[2 * k], su, ou, uFrom, uTo);
        f.uvs[2 * k + 1] = Snapped(f.uvs[2 * k + 1], sv, ov, vFrom, vTo);
      }
    }
  }
  if (channel < 0 || channel > 3) return;
  std::vector<uint8_t> marked;
  for (const CGlTriangles& t : triangleLists) {
    if (t.materialIndex != material) continue;
    marked.assign(points.size(), 0);
    for (int32_t v : t.indices) {
      CheckIndex(v, points.size(), "rescale: triangle list");
      marked[static_cast<size_t>(v)] = 1;
    }
    CGlPoint* pts = points.data();
    for (size_t i = 0; i < marked.size(); ++i) {
      if (!marked[i]) continue;
      CGlPoint& p = pts[i];
      const float u = Snapped(p.u, su, ou, uFrom, uTo);
      const float v = Snapped(p.v, sv, ov, vFrom, vTo);
      if (channel == 0) {
        p.u = u;
        p.v = v;
      } else {
        CGlUVChannel& c = p.channels[channel - 1];
        c.set = 1;
        c.u = u;
        c.v = v;
      }
    }
  }
}

void CGlFaceArray::ReplaceTexturesFromMaterials(CGlMipArray& textures, const CGlMaterialArray& materials) {
  std::vector<uint8_t> used;
  materials.MarkUsed(*this, used);
  std::vector<int32_t> mipOf(used.size(), -1);
  for (int m = 0; m < materials.GetSize(); ++m) {
    if (!used[static_cast<size_t>(m)]) continue;
    const CGlMaterial& mat = materials[m];
    int index = -1;
    if (!textures.Lookup(mat.mapTitle, index)) {
      CGlMip mip;
      mip.mipName = mat.mapName;
      mip.mipFileName = FileString::FileName(mat.mapName);
      mip.mipTitle = mat.mapTitle;
      index = textures.LookupAdd(mip);
    }
    mipOf[static_cast<size_t>(m)] = index;
  }
  for (CGlFace& f : items_) {
    if (f.deleted || f.materialIndex < 0 || f.materialIndex >= static_cast<int32_t>(mipOf.size())) continue;
    const int32_t mip = mipOf[static_cast<size_t>(f.materialIndex)];
    if (mip >= 0) f.mipIndex = mip;
  }
  for (CGlTriangles& t : triangleLists) {
    if (t.materialIndex >= 0 && t.materialIndex < static_cast<int32_t>(mipOf.size())) {
      const int32_t mip = mipOf[static_cast<size_t>(t.materialIndex)];
      if (mip >= 0) t.mipIndex = mip;
    }
  }
}

}  // namespace lapforge
