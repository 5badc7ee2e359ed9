// Object attributes of a block or model (visibility, collision, shadows)
// that the game-format readers and writers fill and use.
#pragma once

#include <cstdint>
#include <string>

namespace lapforge {

class CGlObjTag {
 public:
  // Restores every attribute to its default; the name is left alone.
  void ClearObjTag();

  uint8_t flag = 1;  // GMT header value 1024 when set
  float nearDistance = 0.0f;
  float farDistance = 0.0f;
  float x = 0.0f, y = 0.0f, z = 0.0f;
  uint8_t render = 1;
  uint8_t collisionTarget = 0;
  uint8_t hatTarget = 0;
  int16_t responseKind = 0;  // 0 none, 1 timing, 2 pit stop, 3 corner
  uint8_t moveable = 0;
  uint8_t visible1 = 0;  // adds group bit 64 when set
  uint8_t visible2 = 0;  // adds group bit 32 when clear
  uint8_t extraByte = 0;
  int16_t shadowKind = 0;  // 0 none, 1 caster, 2 shadow object
  uint8_t dynamicShadow = 0;
  uint8_t textureShadow = 0;
  int16_t shadowSize = 256;
  int16_t visibilityGroup = 0;
  uint8_t shadowReceiver = 0;
  std::string name;
};

}  // namespace lapforge
