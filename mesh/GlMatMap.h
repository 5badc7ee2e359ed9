// A material map as a source model format stores it; the shader dictionary
// turns three of them into the stages of a CGlMatShader.
#pragma once

#include <cstdint>
#include <string>

namespace lapforge {

class CGlMatMap {
 public:
  // Reflection maps: kinds 11, 111, 211, 311 and 411.
  bool ReflectionMap() const {
    return mapType == 11 || mapType == 111 || mapType == 211 || mapType == 311 || mapType == 411;
  }

  int16_t mapType = -1;
  int32_t mapFlags = 0;
  int16_t mapSource = -1;
  float values[3] = {0.0f, 0.0f, 0.0f};
  std::string mapName;
  int16_t channel = -1;
  float amount = 0.5f;
  std::string secondaryName;  // secondary map name
};

}  // namespace lapforge
