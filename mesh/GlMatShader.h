// The shader of a material: its catalogue shader name with the catalogue's
// variant and modes, and three texture stages.
#pragma once

#include <cstdint>
#include <string>

#include "mesh/GlShaderTex.h"

namespace lapforge {

class CGlMatShader {
 public:
  std::string shaderName = "NONE";
  float shaderValue = 0.5f;
  int32_t variant = 0;
  int16_t blendMode = 0;
  int32_t thirdMode = 0;
  int32_t specular = 0;  // specular flag
  CGlShaderTex maps[3];
};

}  // namespace lapforge
