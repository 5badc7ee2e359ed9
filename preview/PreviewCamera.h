// The 3D preview's cameras, pure arithmetic: a top view (looking straight
// down, north up, orthographic), an orbit around a point of the track and a
// driver's eye moving along the track's reference line. World coordinates
// are the game's (metres, Z up); pixels count from the top left corner of a
// picture width x height. Matrices are column-major, as OpenGL takes them.
#pragma once

#include <vector>

#include "preview/PreviewScene.h"

namespace lapforge {

enum class PreviewView { Top, Orbit, Drive };

struct PreviewMatrix {
  float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  PreviewMatrix operator*(const PreviewMatrix& b) const;
};

class CPreviewCamera {
 public:
  // The reference line the drive camera follows (the scene's stations).
  void SetStations(const std::vector<PreviewStation>& stations);
  // Frames the whole of bounds in the view given (the current one when not
  // given); the drive view starts 25 m before the start line.
  void Fit(const PreviewBounds& bounds);
  void Fit(const PreviewBounds& bounds, PreviewView view);
  PreviewView View() const { return view_; }

  // Mouse moves in pixels. Orbit turns around the target (dx about the
  // vertical, dy up and down); in the drive view it looks around. Pan moves
  // the target across the ground by the pixels' worth of metres at the
  // target (a picture height of pixelsHigh). Zoom divides the distance by
  // factor (above 1 comes closer).
  void Orbit(double dx, double dy);
  void Pan(double dx, double dy, int pixelsHigh = 720);
  void Zoom(double factor);

  // Drive view: to the first station of a section (the Section table's
  // position; false when it has none), on along the track by metres
  // (backwards when negative, round the lap), to the next or previous
  // section's start.
  bool DriveToSection(int section);
  void DriveBy(double metres);
  void NextSection();
  void PreviousSection();
  // Where the driver is: the distance from the start line and the section.
  double DriveDistance() const { return driveDistance_; }
  int DriveSection() const;

  // The eye and the point looked at.
  void Eye(double out[3]) const;
  void Target(double out[3]) const;

  PreviewMatrix ViewMatrix() const;
  PreviewMatrix ProjectionMatrix(double aspect) const;

  // The pixel (x right, y down, from the top left corner) a world point
  // falls on; false when it is behind the eye or outside the depth range.
  bool Project(const double world[3], int width, int height, double& px, double& py) const;
  // The ray through a pixel's position: origin and unit direction in the world.
  void Ray(double px, double py, int width, int height, double origin[3], double direction[3]) const;

 private:
  // The station at a distance along the track, interpolated.
  PreviewStation StationAt(double distance) const;
  void UpdateDrive();

  PreviewView view_ = PreviewView::Orbit;
  PreviewBounds bounds_;
  double target_[3] = {0, 0, 0};
  double distance_ = 100;  // eye to target (orbit), half the height seen (top)
  double yaw_ = -1.5707963267948966;  // direction from target to eye, about Z
  double pitch_ = 0.6;                // above the horizon, radians
  double fovY_ = 0.8;                 // radians
  double depth_ = 1000;               // the far plane's distance
  // Drive view.
  std::vector<PreviewStation> stations_;
  double lapLength_ = 0;
  double driveDistance_ = 0;
  double lookYaw_ = 0, lookPitch_ = -0.08;  // looking around from the heading
  double eye_[3] = {0, 0, 0};
};

}  // namespace lapforge
