// The shader dictionary: a process-wide working copy of the catalogue with
// its start-up adjustments, and the name maps, built once on first use.
#include "formats/shaders/ShaderDictionary.h"

#include <array>
#include <cstring>
#include <string_view>
#include <unordered_map>

#include "support/Errors.h"
#include "support/TextFormat.h"

namespace lapforge {

namespace {

constexpr const char* kDefaultShaderName = "DIFFUSET0";

template <size_t N>
std::string_view FieldText(const char (&field)[N]) {
  return std::string_view(field, strnlen(field, N));
}

// Stores text NUL-padded, cut to leave room for the terminating NUL.
template <size_t N>
void SetField(char (&field)[N], std::string_view text) {
  const size_t n = text.size() < N - 1 ? text.size() : N - 1;
  std::memset(field, 0, N);
  std::memcpy(field, text.data(), n);
}

// DX9 hardware shaders that replace the stored ones at start-up.
struct DX9Replacement {
  const char* shader;
  const char* dx9;
};
constexpr DX9Replacement kDX9Replacements[] = {
    {"RAINREFLECT", "L2DIFFUSET0T1XT2XT3"},
    {"DIFFUSET0T1XT2", "L2USEVERTEXPIXEL"},
    {"DIFFUSET0XT1T2", "L2USEVERTEXPIXEL"},
    {"NOLIGHTING", "L2USEVERTEXPIXEL"},
};

struct Dictionary {
  std::array<_gfxSimEDShader, kGfxSimEDShaderCount> catalogue;
  std::unordered_map<std::string, int> hardwareByName;   // upper-case name -> hardware index
  std::unordered_map<std::string, int> catalogueByName;  // name -> catalogue index
  int defaultIndex = -1;

  Dictionary() {
    std::memcpy(catalogue.data(), g_gfxSimEDShaders, sizeof(g_gfxSimEDShaders));
    hardwareByName.reserve(kGfxDXShaderCount);
    catalogueByName.reserve(kGfxSimEDShaderCount);

    // A later record with the same name replaces an earlier one.
    for (int i = 0; i < kGfxDXShaderCount; ++i) {
      std::string_view name = FieldText(g_gfxDXShaders[i].name);
      if (!name.empty()) hardwareByName[ToUpper(name)] = i;
    }

    for (int i = 0; i < kGfxSimEDShaderCount; ++i) {
      _gfxSimEDShader& rec = catalogue[i];
      const std::string name(FieldText(rec.name));
      if (name.empty()) continue;
      if (name == kDefaultShaderName) defaultIndex = i;
      for (const DX9Replacement& r : kDX9Replacements) {
        if (name == r.shader) SetField(rec.dx9Name, r.dx9);
      }
      catalogueByName[name] = i;
      rec.dx7Index = HardwareIndex(FieldText(rec.dx7Name));
      rec.dx8Index = HardwareIndex(FieldText(rec.dx8Name));
      rec.dx9Index = HardwareIndex(FieldText(rec.dx9Name));
      // The level suffix of a long description is dropped.
      std::string_view desc = FieldText(rec.longDescription);
      constexpr std::string_view kSuffix = ", DX9.";
      if (desc.size() >= kSuffix.size() && EqualsNoCase(desc.substr(desc.size() - kSuffix.size()), kSuffix)) {
        SetField(rec.longDescription, std::string(desc.substr(0, desc.size() - kSuffix.size())) + ".");
      }
    }
  }

  int HardwareIndex(std::string_view name) const {
    if (name.empty()) return -1;
    auto it = hardwareByName.find(ToUpper(name));
    return it == hardwareByName.end() ? -1 : it->second;
  }

  int CatalogueIndex(const std::string& name) const {
    auto it = catalogueByName.find(ToUpper(name));
    return it == catalogueByName.end() ? -1 : it->second;
  }
};

const Dictionary& TheDictionary() {
  static const Dictionary dictionary;
  return dictionary;
}

// Stages 1 to 3 of a catalogue record against the shader's three maps: the
// kinds must be equal, and for diffuse stages the blends as well.
bool StagesMatch(const _gfxSimEDShader& rec, const CGlMatShader& shader) {
  for (int k = 1; k <= 3; ++k) {
    const _gfxStage& stage = rec.stages[k];
    const CGlShaderTex& map = shader.maps[k - 1];
    if (stage.mapKind != map.stageType) return false;
    if (stage.mapKind == 1 && stage.blend != map.blend) return false;
  }
  return true;
}

// Fills the next free shader map slot from a source map.
void FillSlot(CGlMatShader& shader, int& slot, int32_t kind, const CGlMatMap& map) {
  CGlShaderTex& tex = shader.maps[slot++];
  tex.stageType = kind;
  tex.blend = 4;
  tex.textureName = map.mapName;
}

}  // namespace

void CGfxDictionary::InitDictionaryMaps() { TheDictionary(); }

int CGfxDictionary::LookupShader(const std::string& name, _gfxSimEDShader& record, std::string& foundName) {
  const Dictionary& d = TheDictionary();
  const int index = d.CatalogueIndex(name);
  const int chosen = index >= 0 ? index : d.defaultIndex;
  record = d.catalogue[chosen];
  foundName = std::string(FieldText(record.name));
  return index >= 0 ? 1 : 0;
}

int CGfxDictionary::LookupDXSh(const std::string& name, _gfxDXShader& dx7, _gfxDXShader& dx8, _gfxDXShader& dx9) {
  _gfxSimEDShader rec;
  std::string found;
  if (!LookupShader(name, rec, found)) return 0;
  if (rec.dx7Index >= 0) dx7 = g_gfxDXShaders[rec.dx7Index];
  if (rec.dx8Index >= 0) dx8 = g_gfxDXShaders[rec.dx8Index];
  if (rec.dx9Index >= 0) dx9 = g_gfxDXShaders[rec.dx9Index];
  return 1;
}

int CGfxDictionary::LookupDXSh(const std::string& hardwareName, _gfxDXShader& record) {
  const int index = TheDictionary().HardwareIndex(hardwareName);
  if (index < 0) return 0;
  record = g_gfxDXShaders[index];
  return 1;
}

int CGfxDictionary::GetDefaultShader(_gfxSimEDShader& record) {
  const Dictionary& d = TheDictionary();
  record = d.catalogue[d.defaultIndex];
  return 1;
}

void CGfxDictionary::AllShaderNames(std::vector<std::string>& names,
                                    std::vector<std::pair<std::string, std::string>>& namesAndDescriptions) {
  const Dictionary& d = TheDictionary();
  names.reserve(names.size() + d.catalogue.size());
  namesAndDescriptions.reserve(namesAndDescriptions.size() + d.catalogue.size());
  for (const _gfxSimEDShader& rec : d.catalogue) {
    names.emplace_back(FieldText(rec.name));
    namesAndDescriptions.emplace_back(std::string(FieldText(rec.name)), std::string(FieldText(rec.shortDescription)));
  }
}

int CGfxDictionary::FindShaderMatch(CGlMatShader& shader) {
  const Dictionary& d = TheDictionary();
  int firstMatch = -1;
  int answer = -1;
  for (int i = 0; i < kGfxSimEDShaderCount; ++i) {
    const _gfxSimEDShader& rec = d.catalogue[i];
    if (rec.name[0] == '\0' || !StagesMatch(rec, shader)) continue;
    if (firstMatch < 0) firstMatch = i;
    // A record whose modes are the shader's own, and that is specular when
    // the shader asks for it, ends the search.
    if (rec.blendMode == shader.blendMode && rec.mode == shader.thirdMode && (shader.specular == 0 || rec.specular)) {
      answer = i;
      break;
    }
  }
  if (answer < 0) answer = firstMatch >= 0 ? firstMatch : d.defaultIndex;

  const _gfxSimEDShader& rec = d.catalogue[answer];
  shader.shaderName = std::string(FieldText(rec.name));
  shader.variant = rec.variant;
  shader.blendMode = static_cast<int16_t>(rec.blendMode);
  shader.thirdMode = rec.mode;
  shader.specular = rec.specular;
  for (int k = 1; k <= 3; ++k) {
    shader.maps[k - 1].stageType = rec.stages[k].mapKind;
    shader.maps[k - 1].blend = rec.stages[k].blend;
  }
  return firstMatch >= 0 ? 1 : 0;
}

int CGfxDictionary::ConvertMatMapsToMatShader(std::span<const CGlMatMap> maps, CGlMatShader& shader) {
  if (maps.size() != 3) {
    ThrowInvalidArgument("ConvertMatMapsToMatShader: three material maps expected, got " + std::to_string(maps.size()));
  }
  // A rain reflection material names its three textures in the secondary maps.
  if (maps[2].mapType == 511 && !maps[0].secondaryName.empty() && !maps[1].secondaryName.empty() &&
      !maps[2].secondaryName.empty()) {
    shader.shaderName = "RAINREFLECT";
    for (int k = 0; k < 3; ++k) shader.maps[k].textureName = maps[k].secondaryName;
    return 1;
  }

  int slot = 0;
  for (const CGlMatMap& map : maps) {
    if (map.mapType == 2) {
      FillSlot(shader, slot, 2, map);
      break;
    }
  }
  for (const CGlMatMap& map : maps) {
    if (map.mapType == 5) {
      FillSlot(shader, slot, 5, map);
      break;
    }
  }
  for (const CGlMatMap& map : maps) {
    if (map.ReflectionMap()) {
      FillSlot(shader, slot, 11, map);
      break;
    }
  }
  if (slot > 0) FindShaderMatch(shader);
  return 1;
}

const _gfxSimEDShader& CGfxDictionary::GetShader(int index) {
  CheckIndex(index, kGfxSimEDShaderCount, "CGfxDictionary::GetShader");
  return TheDictionary().catalogue[index];
}

const _gfxDXShader& CGfxDictionary::GetDXShader(int index) {
  CheckIndex(index, kGfxDXShaderCount, "CGfxDictionary::GetDXShader");
  return g_gfxDXShaders[index];
}

int CGfxDictionary::GetDefaultShaderIndex() { return TheDictionary().defaultIndex; }

}  // namespace lapforge
