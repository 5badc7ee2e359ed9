// Small plain records shared by the mesh model: a float triple, a float RGBA
// colour and a packed byte colour.
#pragma once

#include <cstdint>

namespace lapforge {

struct _float_xyz {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
};

struct _float_rgba {
  float r = 0.0f;
  float g = 0.0f;
  float b = 0.0f;
  float a = 0.0f;
};

// Packed vertex colour; readers and writers copy it as one 32-bit word.
struct _rgba {
  uint8_t r = 255;
  uint8_t g = 255;
  uint8_t b = 255;
  uint8_t a = 255;
};

// Degree and radian factors of the mesh model (deliberately truncated).
constexpr double kGlDegToRad = 0.0174532925;
constexpr double kGlRadToDeg = 57.29577957855229;
constexpr double kGlFullTurn = 6.2831853;

// Welding tolerances.
constexpr float kGlPosTolerance = 1e-4f;
constexpr float kGlNormalTolerance = 1e-5f;
constexpr float kGlUVTolerance = 0.001f;

}  // namespace lapforge
