// Display and enumeration names of the shader dictionary's map kinds and
// blends, as the model text formats and the user interface show them.
#pragma once

#include <cstdint>
#include <string>

namespace lapforge {

class CGfxNames {
 public:
  // "Diffuse Map", "Specular Map", "Bump Map", "Cube Map"; empty for others.
  static std::string GmtMapTypeToString(int32_t kind);
  // "NoMap", "GmtDiffuseMap", ...; empty for an unknown kind.
  static std::string GmtMapEnumString(int32_t kind);
  // "NoBlend ", "GmtReplaceBlend ", ... "GmtSpecularBlend"; empty for others.
  static std::string GmtBlendEnumString(int32_t blend);
};

}  // namespace lapforge
