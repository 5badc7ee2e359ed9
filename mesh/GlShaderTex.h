// One texture stage of a material shader: map kind, blend, bias, scale and
// the texture it samples.
#pragma once

#include <cstdint>
#include <string>

namespace lapforge {

class CGlShaderTex {
 public:
  // Stage types 1 (diffuse), 2 (specular), 5 (bump) and 11 (cube) sample a map.
  bool IsTexMap() const { return stageType == 5 || stageType == 2 || stageType == 1 || stageType == 11; }

  int32_t stageType = 0;  // map kind; 0 none
  int32_t blend = -1;
  uint32_t value = 0;  // a 4-byte attribute carried by the writers (low 16 bits stored by 3SE)
  float bias = 0.0f;
  float uScale = 1.0f;
  float vScale = 1.0f;
  std::string textureName;
  int16_t channel = -1;
  int16_t scalePending = 1;
};

}  // namespace lapforge
