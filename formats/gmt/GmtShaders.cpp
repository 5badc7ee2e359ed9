// CZGmtFile write materials: the material record and the texture entries of
// the DX7, DX8 and DX9 levels, chosen through the shader dictionary.
#include <algorithm>

#include "formats/base/TextNumbers.h"
#include "formats/gmt/GmtFile.h"
#include "formats/shaders/ShaderDictionary.h"
#include "support/ByteWriter.h"
#include "support/FileString.h"
#include "support/TextFormat.h"

namespace lapforge {

void gmt_combined_texture::WriteHeader(CByteWriter& w) const {
  w.TerminatedString(name, 64);
  w.U16(flags1);
  w.U16(flags2);
  w.I32(mipCount);
  w.I32(animationCount);
}

void gmt_combined_texture::WriteParameters(CByteWriter& w) const {
  w.I32(sourceBlend);
  w.I32(destinationBlend);
  w.F32(FiniteOr0(blendFactor));
  w.I32(stage);
  w.U32(0);
  w.Bytes(chroma, 3);
  w.U8(0);
  w.I32(chromaLevels);
  w.F32(FiniteOr0(bias));
  w.Zeroes(96 - 32);
}

void gmtr_material::Write(CByteWriter& w) const {
  w.TerminatedString(name, 64);
  w.U16(flags);
  w.U16(lighting);
  for (const auto& colour : colours)
    for (float f : colour) w.F32(FiniteOr0(f));
  w.I32(sourceBlend);
  w.I32(destinationBlend);
  w.F32(FiniteOr0(specular));
  for (const gmtr_level& level : levels) {
    w.I32(level.firstEntry);
    w.I32(level.entryCount);
    w.TerminatedString(level.hardwareShader, 256);
  }
  w.Zeroes(kSize - 936);
}

void CZGmtFile::MakeWriteMaterials() {
  writeMaterials.assign(objects.size(), gmtr_write_material());
  for (size_t k = 0; k < objects.size(); ++k) {
    gmtr_write_material& wm = writeMaterials[k];
    wm.material = objects[k].material;
    wm.material.materialName = ToUpper(wm.material.materialName);
    MakeShaders(wm);
  }
}

namespace {

bool AnimatedKind(int32_t kind) { return (kind >= 1 && kind <= 6) || kind == 8 || kind == 257; }

struct DiffuseSource {
  std::string name;
  float bias;
  int32_t texCoordSet;
};

// The stages of a hardware level in use, in position order.
bool StageUsed(const _gfxStage& s) { return s.stage != -1; }

// The entry every texture entry of a material starts from.
gmt_combined_texture TemplateEntry(const CGlMaterial& m) {
  const bool chroma = m.transparencyMode == 1;
  gmt_combined_texture tmpl;
  tmpl.name = FileString::FileName(m.mapName);
  tmpl.flags1 = static_cast<uint16_t>((m.mapMode != 0 ? (2u << 2) : 0u) | (chroma ? 0x80u : 0u) |
                                      (m.renderFlags[2] ? 0x400u : 0u) | (m.renderFlags[3] ? 0x800u : 0u) | 0x10u |
                                      (m.renderFlags[1] ? 0x2u : 0u));
  tmpl.flags2 = static_cast<uint16_t>(0x2u | (m.textureKind == 7 ? 0x4u : 0u));
  tmpl.mipCount = -1;
  tmpl.animationCount = AnimatedKind(m.textureKind) ? std::max<int32_t>(1, m.frameCount) : 1;
  tmpl.sourceBlend = 1;
  tmpl.destinationBlend = 3;
  tmpl.blendFactor = 1.0f;
  tmpl.chroma[0] = static_cast<uint8_t>((m.chromaKey >> 16) & 0xFF);
  tmpl.chroma[1] = static_cast<uint8_t>((m.chromaKey >> 8) & 0xFF);
  tmpl.chroma[2] = static_cast<uint8_t>(m.chromaKey & 0xFF);
  tmpl.chromaLevels = chroma ? 191 : 1;
  tmpl.bias = m.textureBias;
  if (m.textureKind == 8) {
    tmpl.flags1 = static_cast<uint16_t>((tmpl.flags1 | 0x8000u | 0x1u) & ~0x30u);
    tmpl.mipCount = 1;
    tmpl.flags2 = static_cast<uint16_t>(tmpl.flags2 & ~0x4u);
  }
  return tmpl;
}

// The material record's flags, colours and blending.
void FillRecord(gmtr_material& rec, const CGlMaterial& m) {
  const bool blended = m.transparencyMode > 1;
  rec.flags = static_cast<uint16_t>(3u | (blended ? 0x20u : 0u) | (m.noDepthWrite > 0 ? 0x100u : 0u) |
                                    (m.doubleSided > 0 ? 0x800u : 0u));
  rec.lighting = static_cast<uint16_t>(0x6890u | (m.renderFlags[0] ? 1u : 0u));
  const float colour1[4] = {1, 1, 1, 1};
  const float colour2[4] = {1, 1, 1, m.diffuse.a > 0.0f ? m.diffuse.a : 1.0f};
  const float colour3[4] = {m.thirdColour.r, m.thirdColour.g, m.thirdColour.b, m.thirdColour.a};
  const float colour4[4] = {m.fourthColour.r, m.fourthColour.g, m.fourthColour.b, 1.0f};
  std::copy(colour1, colour1 + 4, rec.colours[0]);
  std::copy(colour2, colour2 + 4, rec.colours[1]);
  std::copy(colour3, colour3 + 4, rec.colours[2]);
  std::copy(colour4, colour4 + 4, rec.colours[3]);
  rec.sourceBlend = blended ? 5 : 2;
  rec.destinationBlend = blended ? 6 : 1;
  rec.specular = m.exponent;
}

// The entry of one stage of a hardware level: a diffuse stage takes the
// next diffuse texture (the material's own map first), a stage of kind 2,
// 5 or 11 the first shader map of that stage type; any other stays "MATH".
gmt_combined_texture StageEntry(const gmt_combined_texture& tmpl, const _gfxStage& s, const CGlMaterial& m,
                                const std::vector<DiffuseSource>& diffuse, size_t& nextDiffuse) {
  gmt_combined_texture e = tmpl;
  e.name = "MATH";
  e.sourceBlend = s.mapKind;
  e.destinationBlend = s.blend;
  e.texCoordSet = 0;
  const int32_t kind = s.mapKind == 9 ? 2 : s.mapKind;
  if (kind == 1) {
    if (nextDiffuse < diffuse.size()) {
      const DiffuseSource& d = diffuse[nextDiffuse++];
      e.name = d.name;
      e.bias = d.bias;
      e.texCoordSet = d.texCoordSet;
    } else {
      e.name = diffuse.front().name;
    }
  } else if (kind == 2 || kind == 5 || kind == 11) {
    for (int i = 0; i < 3; ++i) {
      const CGlShaderTex& map = m.shader.maps[i];
      if (map.stageType != kind) continue;
      e.name = FileString::FileName(map.textureName);
      e.bias = map.bias;
      if (kind == 11) e.blendFactor = m.shader.shaderValue;
      e.texCoordSet = i + 1;
      break;
    }
  }
  return e;
}

}  // namespace

void CZGmtFile::MakeShaders(gmtr_write_material& wm) const {
  CGlMaterial& m = wm.material;
  gmtr_material& rec = wm.record;
  std::fill(std::begin(wm.uvSources), std::end(wm.uvSources), uint16_t{0});
  rec = gmtr_material();
  rec.name = m.materialName;
  wm.textures.clear();
  const gmt_combined_texture tmpl = TemplateEntry(m);
  FillRecord(rec, m);

  for (CGlShaderTex& map : m.shader.maps) {
    if (map.uScale < 0.001f) map.uScale = 1.0f;
    if (map.vScale < 0.001f) map.vScale = 1.0f;
  }
  wm.uvSources[0] = 1;
  wm.uvSources[1] = 2;
  wm.uvSources[2] = 3;

  // The entries of the DX7, DX8 and DX9 levels: the template alone when
  // the shader is not in the dictionary, else one per stage in use. The
  // DX9 level's second to fourth entries choose the point channels of the
  // UV pairs.
  std::vector<gmt_combined_texture> level[3];
  _gfxDXShader dx[3] = {};
  for (_gfxDXShader& d : dx)
    for (_gfxStage& s : d.stages) s = kNoStage;
  if (!CGfxDictionary::LookupDXSh(m.shader.shaderName, dx[0], dx[1], dx[2])) {
    for (auto& entries : level) entries.push_back(tmpl);
  } else {
    std::vector<DiffuseSource> diffuse;
    diffuse.push_back({tmpl.name, tmpl.bias, 0});
    for (int i = 0; i < 3; ++i) {
      const CGlShaderTex& map = m.shader.maps[i];
      if (map.stageType == 1) diffuse.push_back({FileString::FileName(map.textureName), map.bias, i + 1});
    }
    for (int l = 0; l < 3; ++l) {
      rec.levels[l].hardwareShader = std::string(dx[l].name, strnlen(dx[l].name, sizeof dx[l].name));
      size_t nextDiffuse = 0;
      for (const _gfxStage& s : dx[l].stages) {
        if (!StageUsed(s)) continue;
        const gmt_combined_texture e = StageEntry(tmpl, s, m, diffuse, nextDiffuse);
        const size_t position = level[l].size();
        if (l == 2 && position >= 1 && position <= 3)
          wm.uvSources[position - 1] = static_cast<uint16_t>(e.texCoordSet);
        level[l].push_back(e);
      }
    }
  }
  int32_t first = 0;
  for (int l = 0; l < 3; ++l) {
    for (size_t j = 0; j < level[l].size(); ++j) level[l][j].stage = static_cast<int32_t>(j);
    rec.levels[l].firstEntry = first;
    rec.levels[l].entryCount = static_cast<int32_t>(level[l].size());
    first += rec.levels[l].entryCount;
    wm.textures.insert(wm.textures.end(), level[l].begin(), level[l].end());
  }
}

}  // namespace lapforge
