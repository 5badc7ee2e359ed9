// Transfer records: the values of one description row each, named after the
// table they come from or go to, copied by value between a description and a
// track model (GPL or PTF). RecordRows.h writes them into a description.
#pragma once

#include <cstdint>
#include <string>

#include "ptf/Descriptors.h"

namespace lapforge {

// A TrackSummary row.
struct TrackSummaryRecord {
  std::string name;
  double lengthMetres = 0;
  double lengthMiles = 0;
  double xOrigin = 0, yOrigin = 0, zOrigin = 0;
  double startAngle = 0;  // degrees
  double nsAngle = 0;     // degrees
  double ambient = 0;
  int32_t night = 0;
  double longRes = 0;
  double arcRes = 0;  // degrees
  double latRes = 0;
};

// A Section row, with the resolutions of its Mesh row (0 = the track's).
struct SectionRecord {
  int32_t index = 0;
  int32_t type = 0;  // 1 arc, otherwise straight
  double start = 0;
  double length = 0;
  double angleStart = 0;   // degrees, relative to the first section
  double angleChange = 0;  // degrees
  double radius = 0;
  double longRes = 0, arcRes = 0, latRes = 0;  // arc in degrees
};

// A Traction row (a band or a wall) with its TractionTexCoord rows.
struct TractionRecord {
  double latStart = 0, latEnd = 0;
  uint16_t grip = 0, textureIndex = 0, kind = 0;
  float height = 0, heightEnd = 0, width = 0, widthEnd = 0;
  int32_t vertical = 0, straighten = 0;
  int32_t coordCount = 0;
  _vars_track_tex_coord coords[4];
};

// A Contour row: lateral position, height and gradient at the section's
// start and end.
struct ContourRecord {
  double latStart = 0, height = 0, grad = 0;
  double latEnd = 0, heightEnd = 0, gradEnd = 0;
};

// A PtfBumpRef row.
struct PtfBumpRefRecord {
  float latStart = 0, latEnd = 0;
  int32_t index = 0;
};

// A PtfBumpScale row.
struct PtfBumpScaleRecord {
  float latStart = 0, latEnd = 0, scaleStart = 0, scaleEnd = 0;
};

// A PtfBumpDef row.
struct PtfBumpDefRecord {
  int32_t index = 0;
  float sizes[4] = {0, 0, 0, 0};
  float distances[4] = {0, 0, 0, 0};
};

// A TrackDetail row.
struct TrackDetailRecord {
  double lng = 0, lat = 0, length = 0, width = 0;
  double angle = 0;  // degrees, 90 = across the track
  double u = 0, v = 0;
  std::string tex;
};

// A TSO row.
struct TsoRecord {
  std::string name;
  int32_t worldXYZ = 0;  // X, Y, Z are a world position; else long, lat, height above the track
  double x = 0, y = 0, z = 0;
  int32_t worldAngle = 0;      // A, B, C are world angles; else added to the track's
  double a = 0, b = 0, c = 0;  // degrees: heading, pitch, roll
  std::string comment;
};

}  // namespace lapforge
