#include "mesh/GlInsert.h"

#include <cmath>

#include "mesh/GlTypes.h"

namespace lapforge {

void CGlInsert::RotatePointsDegrees(float ra, float rb, float rc) {
  if (ra == 0.0f && rb == 0.0f && rc == 0.0f) return;
  const double a = ra * kGlDegToRad, b = rb * kGlDegToRad, c = rc * kGlDegToRad;
  if (c != 0.0) {
    const double cs = std::cos(c), sn = std::sin(c);
    const float ny = static_cast<float>(y * cs - z * sn);
    const float nz = static_cast<float>(z * cs + y * sn);
    y = ny;
    z = nz;
  }
  if (b != 0.0) {
    const double cs = std::cos(b), sn = std::sin(b);
    const float nx = static_cast<float>(x * cs - z * sn);
    const float nz = static_cast<float>(z * cs + x * sn);
    x = nx;
    z = nz;
  }
  if (a != 0.0) {
    const double cs = std::cos(a), sn = std::sin(a);
    const float nx = static_cast<float>(x * cs - y * sn);
    const float ny = static_cast<float>(y * cs + x * sn);
    x = nx;
    y = ny;
  }
  this->a += ra;
  this->b += rb;
  this->c += rc;
}

}  // namespace lapforge
