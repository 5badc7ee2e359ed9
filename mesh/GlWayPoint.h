// A 24-byte waypoint record carried for the writers, and its list.
#pragma once

#include "mesh/GlArray.h"

namespace lapforge {

struct CGlWayPoint {
  float x = 0.0f, y = 0.0f, z = 0.0f;
  float values[3] = {0.0f, 0.0f, 0.0f};
};
static_assert(sizeof(CGlWayPoint) == 24, "waypoint records are 24 bytes");

class CGlWayPointArray : public CGlArray<CGlWayPoint> {};

}  // namespace lapforge
