// Trackside TV cameras converted onto a track: a binary "MACT" camera list
// (distance, lateral and height along the track, activation zone, static
// orientation or tracking zoom) becomes the rFactor-style camera text file,
// each camera placed with the track model's position queries.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "support/Result.h"

namespace lapforge {

class ITrackQuery;

// The fields of one 56-byte source camera record that the conversion uses.
struct _vars_source_cam {
  float distance = 0;
  float lateral = 0;
  float height = 0;
  float zoneStart = 0;  // activation-zone start, relative to the distance
  int32_t type = 0;     // 1 static, otherwise tracking
  float zoom = 0;
  float angle[3] = {0, 0, 0};  // static orientation, radians
  float fov = 0;               // static field of view, radians
};

class CZWriteCam {
 public:
  // Converts the cameras of sourcePath onto the track and writes outPath.
  // Fails when the source cannot be read, is damaged or holds no camera, or
  // the output cannot be written (an old output is then left as it was).
  Result CamToCam(ITrackQuery& track, const std::string& sourcePath, const std::string& outPath);
  // The cameras of a source file's bytes; raises CFormatError naming source
  // for a wrong magic, a count that does not fit the file or a value that is
  // not a number.
  static std::vector<_vars_source_cam> ReadCameras(std::span<const uint8_t> bytes, const std::string& source);
  // The camera file's text, CRLF line ends.
  std::string BuildCam(ITrackQuery& track, const std::vector<_vars_source_cam>& cams);
};

}  // namespace lapforge
