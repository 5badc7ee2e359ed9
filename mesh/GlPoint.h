// The vertex record of every mesh: position, normal, texture coordinates in
// four channels, alpha, tangent and colour. A plain value record.
#pragma once

#include <cstdint>

#include "mesh/GlTypes.h"

namespace lapforge {

// One extra texture-coordinate channel (channels 1 to 3; channel 0 is u, v).
struct CGlUVChannel {
  uint8_t set = 0;
  float u = 0.0f;
  float v = 0.0f;
};

// Turns the pair (u, v) in its plane by the angle whose cosine and sine
// are given: u' = u c - v s, v' = v c + u s, computed in the precision of
// c and s and stored back as float.
template <typename Real>
inline void GlRotateInPlane(float& u, float& v, Real c, Real s) {
  const float u2 = static_cast<float>(u * c - v * s);
  const float v2 = static_cast<float>(v * c + u * s);
  u = u2;
  v = v2;
}

class CGlPoint {
 public:
  CGlPoint() = default;
  CGlPoint(float px, float py, float pz) : x(px), y(py), z(pz) {}

  // Full ordering used to merge identical vertices (descending, with the
  // welding tolerances per field group). 0 when all compared fields match.
  int Compare(const CGlPoint& other) const;
  // The same rule over the position only.
  int CompareXYZ(const CGlPoint& other) const;
  // Rotates the position by angles in degrees (c in Y-Z, then b in X-Z, then
  // a in X-Y), in single precision; the normal is not touched.
  void Rotate(float a, float b, float c);
  void SetToMin(const CGlPoint& p, const CGlPoint& q);
  void SetToMax(const CGlPoint& p, const CGlPoint& q);

  int32_t sourceIndex = -1;  // identifier from the model file read, -1 for generated vertices
  int32_t weldIndex = -1;    // representative in a merged point set
  float x = 0.0f, y = 0.0f, z = 0.0f;
  float nx = 0.0f, ny = 0.0f, nz = 0.0f;
  uint8_t hasNormal = 0;
  float u = 0.0f, v = 0.0f;  // channel 0
  float alpha = 1.0f;
  uint8_t hasUV = 0;
  _float_xyz tangent;        // tx, ty, tz
  uint8_t tangentState = 0;  // 0 none, 1 computed
  uint8_t hasColour = 0;
  _rgba colour;
  CGlUVChannel channels[3];  // channels 1, 2, 3
};

}  // namespace lapforge
