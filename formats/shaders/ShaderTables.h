// The fixed shader tables built into the program: the hardware shaders (one
// per graphics level and effect, up to eight texture stages each) and the
// catalogue of material shaders that names one hardware shader per level.
// The records are plain, fixed-size and laid out as stored.
#pragma once

#include <cstdint>

namespace lapforge {

// One texture stage: {stage number, map kind, blend, texture coordinate set}.
// A stage not in use is {-1, 0, -1, 0}.
struct _gfxStage {
  int32_t stage;
  int32_t mapKind;
  int32_t blend;
  int32_t texCoordSet;
};

inline constexpr _gfxStage kNoStage = {-1, 0, -1, 0};
// The blend value of a specular stage.
inline constexpr int32_t kSpecularBlend = 0x04040404;

constexpr bool operator==(const _gfxStage& a, const _gfxStage& b) {
  return a.stage == b.stage && a.mapKind == b.mapKind && a.blend == b.blend && a.texCoordSet == b.texCoordSet;
}

// A hardware shader: its name and its eight stages.
struct _gfxDXShader {
  static constexpr int kNameSize = 64;
  static constexpr int kStages = 8;
  char name[kNameSize];
  _gfxStage stages[kStages];
};

// A catalogue ("SimED") shader: names, the hardware shaders of the DX7, DX8
// and DX9 levels with their table indices (-1 until the dictionary resolves
// them), the shader's modes, its first four stages and its specular flag.
struct _gfxSimEDShader {
  static constexpr int kNameSize = 64;
  static constexpr int kShortSize = 84;
  static constexpr int kLongSize = 128;
  static constexpr int kStages = 4;
  char name[kNameSize];
  char shortDescription[kShortSize];
  char dx7Name[kNameSize];
  char dx8Name[kNameSize];
  char dx9Name[kNameSize];
  int32_t dx7Index;
  int32_t dx8Index;
  int32_t dx9Index;
  char longDescription[kLongSize];
  int32_t variant;
  int32_t blendMode;
  int32_t mode;
  int32_t stageCount;
  _gfxStage stages[kStages];
  int32_t specular;
};

inline constexpr int kGfxDXShaderCount = 127;
inline constexpr int kGfxSimEDShaderCount = 74;

// The tables as stored, before the dictionary's start-up adjustments.
extern const _gfxDXShader g_gfxDXShaders[kGfxDXShaderCount];
extern const _gfxSimEDShader g_gfxSimEDShaders[kGfxSimEDShaderCount];

}  // namespace lapforge
