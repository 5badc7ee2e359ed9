// A material: colours, texture map, writer attributes and shader. Materials
// are kept once by name in a CGlMaterialArray and referenced by index.
#pragma once

#include <cstdint>
#include <string>

#include "mesh/GlMatShader.h"
#include "mesh/GlTypes.h"

namespace lapforge {

class CGlMaterial {
 public:
  // mapName = path, mapTitle = its file title (no folder, no extension).
  void SetMapName(const std::string& path);
  const std::string& GetMapName() const { return mapName; }
  const std::string& GetMapTitle() const { return mapTitle; }

  std::string mapName;
  std::string mapTitle;
  int32_t attrib0 = 0;
  int32_t attrib1 = 0;
  std::string materialName;  // key in the material array
  uint8_t used = 0;
  int16_t transparencyMode = -1;          // 1 chroma key, above 1 alpha-blended
  int16_t fallbackTransparencyMode = -1;  // replaces a negative transparency mode
  // Signed bytes: the stored default 0xFF is -1, "not set", which is off;
  // a flag is on only where the track build or a writer sets it above 0.
  int8_t noDepthWrite = -1;
  int8_t doubleSided = -1;
  uint8_t mapMode = 1;                    // not 0: GMT texture map mode 2
  int32_t chromaKey = 0;                  // packed 0xRRGGBB
  _float_rgba firstColour{1.0f, 1.0f, 1.0f, 0.0f};
  _float_rgba diffuse{1.0f, 1.0f, 1.0f, 1.0f};
  _float_rgba thirdColour{0.0f, 0.0f, 0.0f, 1.0f};
  _float_rgba fourthColour{0.0f, 0.0f, 0.0f, 1.0f};
  float exponent = 5.0f;  // specular value
  float textureBias = 0.0f;
  int32_t frameCount = 0;
  uint8_t frameList[64] = {};  // byte 0 = length N (at most 63), bytes 1..N frame numbers
  int32_t textureKind = 0;     // 7 video, 8 frame-list animation, 1-6 and 257 animated
  float animationRate = 1.0f;
  uint8_t renderFlags[4] = {0, 0, 0, 0};  // lighting bit, "RT", clamp U, clamp V
  CGlMatShader shader;
  uint8_t frameList2[64] = {};  // second frame list (second texture entry of kind 8)
  std::string extraName;
};

}  // namespace lapforge
