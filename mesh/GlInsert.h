// An insert places one block of a CGlBlockArray with a position, a rotation
// in degrees and a per-axis scale.
#pragma once

#include <cstdint>
#include <string>

namespace lapforge {

class CGlInsert {
 public:
  // Rotates the position about the origin by degrees (steps c, b, a) and
  // adds the angles to the insert's rotation.
  void RotatePointsDegrees(float ra, float rb, float rc);

  std::string name;
  int32_t attrib0 = -1;
  int32_t attrib1 = 0;
  int32_t attrib2 = -1;
  int32_t blockIndex = -1;  // placed block, -1 none
  int32_t attrib3 = -1;
  int32_t attrib4 = -1;
  int32_t attrib5 = 0;
  float x = 0.0f, y = 0.0f, z = 0.0f;  // position
  float a = 0.0f, b = 0.0f, c = 0.0f;  // rotation in degrees: c in Y-Z, b in X-Z, a in X-Y
  float sx = 1.0f, sy = 1.0f, sz = 1.0f;
  int32_t afterScale = 0;
  int32_t attrib6 = -1;
  int32_t deleted = 0;  // ignored by every operation when set
  int32_t insertFlag = 1;
  int32_t attrib7 = -1;
};

}  // namespace lapforge
