// Names of map kinds and blends.
#include "formats/shaders/ShaderDictionaryNames.h"

#include "formats/shaders/ShaderTables.h"

namespace lapforge {

std::string CGfxNames::GmtMapTypeToString(int32_t kind) {
  switch (kind) {
    case 1:
      return "Diffuse Map";
    case 2:
      return "Specular Map";
    case 5:
      return "Bump Map";
    case 11:
      return "Cube Map";
    default:
      return {};
  }
}

std::string CGfxNames::GmtMapEnumString(int32_t kind) {
  switch (kind) {
    case 0:
      return "NoMap";
    case 1:
      return "GmtDiffuseMap";
    case 2:
      return "GmtSpecularMap";
    case 5:
      return "GmtBumpMap";
    case 9:
      return "GmtPowerMap";
    case 11:
      return "GmtCubeMap";
    case 14:
      return "GmtNormalizer";
    case 15:
      return "GmtMath";
    default:
      return {};
  }
}

// Every name but the specular one carries a trailing blank: the text formats
// that print them rely on it as the separator.
std::string CGfxNames::GmtBlendEnumString(int32_t blend) {
  switch (blend) {
    case -1:
      return "NoBlend ";
    case 1:
      return "GmtReplaceBlend ";
    case 2:
      return "GmtAddBlend ";
    case 3:
      return "GmtMultBlend ";
    case 4:
      return "GmtShaderBlend ";
    case 5:
      return "GmtLerpBlend ";
    case 6:
      return "GmtDiffuseBlend ";
    case 11:
      return "GmtLerpVertexBlend ";
    case kSpecularBlend:
      return "GmtSpecularBlend";
    default:
      return {};
  }
}

}  // namespace lapforge
