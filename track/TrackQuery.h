// The position queries that writers placing things on a track need (AI
// waypoints, cameras), as an interface: the track model (CN5Ptf) implements
// it, so such a writer depends on this header and not on the model.
#pragma once

namespace lapforge {

class ITrackQuery {
 public:
  // No part of a track lies this far (metres) beside it or above it: a
  // lateral offset or a height beyond it is a slip, and a position placed
  // there is of no use to a game.
  static constexpr double kFarOffset = 10000;

  // The length of the track's reference line (lays the track out on first
  // use).
  virtual double GetTrackLength() = 0;
  // long + length once when negative, then the remainder by the length.
  virtual double GetNormalizedLength(double lng) = 0;
  // World point at (long, lat). Outputs stay untouched when no part of the
  // track holds long.
  virtual void GetXYZ(double lng, double lat, double& x, double& y, double& z) = 0;
  // Heading (radians), pitch and roll (height change per metre) at (long, lat).
  virtual void GetAngles(double lng, double lat, double& heading, double& pitch, double& roll) = 0;
  // Drivable strip and wall limits around lat at long.
  virtual void GetDriveBoundsAt(double lng, double lat, double& driveLeft, double& driveRight, double& wallLeft,
                                double& wallRight) = 0;

 protected:
  ITrackQuery() = default;
  ITrackQuery(const ITrackQuery&) = default;
  ITrackQuery& operator=(const ITrackQuery&) = default;
  ~ITrackQuery() = default;
};

}  // namespace lapforge
