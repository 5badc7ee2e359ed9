// Numbers as the model writers put them into files: never a non-finite
// float, no negative zero (a sign left over from a cross product or a
// negated zero component), and mesh vectors (x, y, z) in the games' axis order (x, z, y).
#pragma once

#include <cmath>

#include "support/ByteWriter.h"

namespace lapforge {

inline float FiniteOr0(float v) { return std::isfinite(v) ? v + 0.0f : 0.0f; }

inline void WriteFileVector(CByteWriter& w, float x, float y, float z) {
  w.F32(FiniteOr0(x));
  w.F32(FiniteOr0(z));
  w.F32(FiniteOr0(y));
}

}  // namespace lapforge
