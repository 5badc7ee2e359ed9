#include "preview/PreviewCamera.h"

#include <algorithm>
#include <cmath>

namespace lapforge {

namespace {

constexpr double kPi = 3.14159265358979323846;
// The driver's eye above the reference line, metres.
constexpr double kEyeHeight = 1.3;
// The top view is seen from this far above the highest point.
constexpr double kTopHeight = 50;

struct Vec3 {
  double x = 0, y = 0, z = 0;
};
Vec3 Sub(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 Cross(const Vec3& a, const Vec3& b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 Unit(const Vec3& a) {
  const double n = std::sqrt(Dot(a, a));
  return n > 0 ? Vec3{a.x / n, a.y / n, a.z / n} : Vec3{0, 0, 1};
}

// A view matrix looking from eye at target with up as the picture's up.
PreviewMatrix LookAt(const Vec3& eye, const Vec3& target, const Vec3& up) {
  const Vec3 f = Unit(Sub(target, eye));
  const Vec3 s = Unit(Cross(f, up));
  const Vec3 u = Cross(s, f);
  PreviewMatrix r;
  float* m = r.m;
  m[0] = float(s.x), m[4] = float(s.y), m[8] = float(s.z);
  m[1] = float(u.x), m[5] = float(u.y), m[9] = float(u.z);
  m[2] = float(-f.x), m[6] = float(-f.y), m[10] = float(-f.z);
  m[3] = m[7] = m[11] = 0;
  m[12] = float(-Dot(s, eye)), m[13] = float(-Dot(u, eye)), m[14] = float(Dot(f, eye)), m[15] = 1;
  return r;
}

// The same arithmetic in double for projecting and casting rays.
struct Matrix4 {
  double m[16];
  explicit Matrix4(const PreviewMatrix& p) {
    for (int i = 0; i < 16; ++i) m[i] = p.m[i];
  }
  void Apply(const double in[4], double out[4]) const {
    for (int r = 0; r < 4; ++r) out[r] = m[r] * in[0] + m[4 + r] * in[1] + m[8 + r] * in[2] + m[12 + r] * in[3];
  }
};

// The inverse of a general 4x4 matrix (cofactors); identity when singular.
bool Invert(const double a[16], double out[16]) {
  double inv[16];
  inv[0] = a[5] * a[10] * a[15] - a[5] * a[11] * a[14] - a[9] * a[6] * a[15] + a[9] * a[7] * a[14] +
           a[13] * a[6] * a[11] - a[13] * a[7] * a[10];
  inv[4] = -a[4] * a[10] * a[15] + a[4] * a[11] * a[14] + a[8] * a[6] * a[15] - a[8] * a[7] * a[14] -
           a[12] * a[6] * a[11] + a[12] * a[7] * a[10];
  inv[8] = a[4] * a[9] * a[15] - a[4] * a[11] * a[13] - a[8] * a[5] * a[15] + a[8] * a[7] * a[13] +
           a[12] * a[5] * a[11] - a[12] * a[7] * a[9];
  inv[12] = -a[4] * a[9] * a[14] + a[4] * a[10] * a[13] + a[8] * a[5] * a[14] - a[8] * a[6] * a[13] -
            a[12] * a[5] * a[10] + a[12] * a[6] * a[9];
  inv[1] = -a[1] * a[10] * a[15] + a[1] * a[11] * a[14] + a[9] * a[2] * a[15] - a[9] * a[3] * a[14] -
           a[13] * a[2] * a[11] + a[13] * a[3] * a[10];
  inv[5] = a[0] * a[10] * a[15] - a[0] * a[11] * a[14] - a[8] * a[2] * a[15] + a[8] * a[3] * a[14] +
           a[12] * a[2] * a[11] - a[12] * a[3] * a[10];
  inv[9] = -a[0] * a[9] * a[15] + a[0] * a[11] * a[13] + a[8] * a[1] * a[15] - a[8] * a[3] * a[13] -
           a[12] * a[1] * a[11] + a[12] * a[3] * a[9];
  inv[13] = a[0] * a[9] * a[14] - a[0] * a[10] * a[13] - a[8] * a[1] * a[14] + a[8] * a[2] * a[13] +
            a[12] * a[1] * a[10] - a[12] * a[2] * a[9];
  inv[2] = a[1] * a[6] * a[15] - a[1] * a[7] * a[14] - a[5] * a[2] * a[15] + a[5] * a[3] * a[14] +
           a[13] * a[2] * a[7] - a[13] * a[3] * a[6];
  inv[6] = -a[0] * a[6] * a[15] + a[0] * a[7] * a[14] + a[4] * a[2] * a[15] - a[4] * a[3] * a[14] -
           a[12] * a[2] * a[7] + a[12] * a[3] * a[6];
  inv[10] = a[0] * a[5] * a[15] - a[0] * a[7] * a[13] - a[4] * a[1] * a[15] + a[4] * a[3] * a[13] +
            a[12] * a[1] * a[7] - a[12] * a[3] * a[5];
  inv[14] = -a[0] * a[5] * a[14] + a[0] * a[6] * a[13] + a[4] * a[1] * a[14] - a[4] * a[2] * a[13] -
            a[12] * a[1] * a[6] + a[12] * a[2] * a[5];
  inv[3] = -a[1] * a[6] * a[11] + a[1] * a[7] * a[10] + a[5] * a[2] * a[11] - a[5] * a[3] * a[10] -
           a[9] * a[2] * a[7] + a[9] * a[3] * a[6];
  inv[7] = a[0] * a[6] * a[11] - a[0] * a[7] * a[10] - a[4] * a[2] * a[11] + a[4] * a[3] * a[10] +
           a[8] * a[2] * a[7] - a[8] * a[3] * a[6];
  inv[11] = -a[0] * a[5] * a[11] + a[0] * a[7] * a[9] + a[4] * a[1] * a[11] - a[4] * a[3] * a[9] -
            a[8] * a[1] * a[7] + a[8] * a[3] * a[5];
  inv[15] = a[0] * a[5] * a[10] - a[0] * a[6] * a[9] - a[4] * a[1] * a[10] + a[4] * a[2] * a[9] +
            a[8] * a[1] * a[6] - a[8] * a[2] * a[5];
  const double det = a[0] * inv[0] + a[1] * inv[4] + a[2] * inv[8] + a[3] * inv[12];
  if (det == 0 || !std::isfinite(det)) return false;
  for (int i = 0; i < 16; ++i) out[i] = inv[i] / det;
  return true;
}

double Radius(const PreviewBounds& b) {
  if (b.empty) return 50;
  const double dx = double(b.max[0]) - b.min[0], dy = double(b.max[1]) - b.min[1], dz = double(b.max[2]) - b.min[2];
  return std::max(1.0, 0.5 * std::sqrt(dx * dx + dy * dy + dz * dz));
}

}  // namespace

PreviewMatrix PreviewMatrix::operator*(const PreviewMatrix& b) const {
  PreviewMatrix r;
  for (int c = 0; c < 4; ++c)
    for (int row = 0; row < 4; ++row) {
      double s = 0;
      for (int k = 0; k < 4; ++k) s += double(m[k * 4 + row]) * b.m[c * 4 + k];
      r.m[c * 4 + row] = float(s);
    }
  return r;
}

void CPreviewCamera::SetStations(const std::vector<PreviewStation>& stations) {
  stations_ = stations;
  lapLength_ = stations_.empty() ? 0 : std::max(0.0f, stations_.back().distance);
  driveDistance_ = 0;
  if (view_ == PreviewView::Drive) UpdateDrive();
}

void CPreviewCamera::Fit(const PreviewBounds& bounds) { Fit(bounds, view_); }

void CPreviewCamera::Fit(const PreviewBounds& bounds, PreviewView view) {
  view_ = view;
  bounds_ = bounds;
  const double radius = Radius(bounds);
  for (int c = 0; c < 3; ++c) target_[c] = bounds.empty ? 0 : 0.5 * (double(bounds.min[c]) + bounds.max[c]);
  depth_ = 8 * radius + 1000;
  switch (view) {
    case PreviewView::Top: {
      // Half the picture's height in metres: the whole extent with a margin
      // whatever the picture's proportions (the projection widens for a
      // wide picture; a narrow one is rare).
      const double w = bounds.empty ? 100 : double(bounds.max[0]) - bounds.min[0];
      const double h = bounds.empty ? 100 : double(bounds.max[1]) - bounds.min[1];
      distance_ = 0.55 * std::max({h, w * 9.0 / 16.0, 1.0});
      break;
    }
    case PreviewView::Orbit:
      yaw_ = -kPi / 2 - 0.5;
      pitch_ = 0.6;
      // The bounding sphere seen from above at a slant fills less of the
      // picture than its outline: closer than the sphere's own fit.
      distance_ = radius / std::tan(fovY_ / 2) * 0.8;
      break;
    case PreviewView::Drive:
      // A little before the start line, so that the line is in sight.
      driveDistance_ = lapLength_ > 100 ? lapLength_ - 25 : 0;
      lookYaw_ = 0;
      lookPitch_ = -0.08;
      UpdateDrive();
      break;
  }
}

void CPreviewCamera::Orbit(double dx, double dy) {
  const double perPixel = 0.006;
  if (view_ == PreviewView::Drive) {
    lookYaw_ -= dx * perPixel;
    lookPitch_ = std::clamp(lookPitch_ - dy * perPixel, -1.4, 1.4);
    return;
  }
  if (view_ == PreviewView::Top) return;
  yaw_ -= dx * perPixel;
  pitch_ = std::clamp(pitch_ + dy * perPixel, 0.02, 1.55);
}

void CPreviewCamera::Pan(double dx, double dy, int pixelsHigh) {
  if (view_ == PreviewView::Drive) {
    DriveBy(dy * 0.5);
    return;
  }
  const double metresPerPixel = view_ == PreviewView::Top
                                    ? 2 * distance_ / std::max(pixelsHigh, 1)
                                    : 2 * distance_ * std::tan(fovY_ / 2) / std::max(pixelsHigh, 1);
  // Right and forward on the ground as the picture shows them.
  const double heading = view_ == PreviewView::Top ? kPi / 2 : yaw_ + kPi;
  const double fx = std::cos(heading), fy = std::sin(heading);
  const double rx = fy, ry = -fx;
  target_[0] += (-dx * rx + dy * fx) * metresPerPixel;
  target_[1] += (-dx * ry + dy * fy) * metresPerPixel;
}

void CPreviewCamera::Zoom(double factor) {
  if (!(factor > 0) || !std::isfinite(factor)) return;
  if (view_ == PreviewView::Drive) {
    DriveBy(factor > 1 ? 10 : -10);
    return;
  }
  distance_ = std::clamp(distance_ / factor, 1.0, 4 * depth_);
}

PreviewStation CPreviewCamera::StationAt(double distance) const {
  if (stations_.empty()) return {};
  if (distance <= stations_.front().distance) return stations_.front();
  const auto it = std::lower_bound(stations_.begin(), stations_.end(), distance,
                                   [](const PreviewStation& s, double d) { return s.distance < d; });
  if (it == stations_.end()) return stations_.back();
  const PreviewStation& b = *it;
  const PreviewStation& a = *(it - 1);
  const double span = double(b.distance) - a.distance;
  const double t = span > 0 ? (distance - a.distance) / span : 0;
  PreviewStation s = a;
  s.x = float(a.x + t * (b.x - a.x));
  s.y = float(a.y + t * (b.y - a.y));
  s.z = float(a.z + t * (b.z - a.z));
  double turn = double(b.heading) - a.heading;
  turn = std::remainder(turn, 2 * kPi);
  s.heading = float(a.heading + t * turn);
  s.distance = float(distance);
  return s;
}

void CPreviewCamera::UpdateDrive() {
  const PreviewStation s = StationAt(driveDistance_);
  eye_[0] = s.x, eye_[1] = s.y, eye_[2] = s.z + kEyeHeight;
  const double yaw = s.heading + lookYaw_;
  target_[0] = eye_[0] + std::cos(yaw) * std::cos(lookPitch_) * 20;
  target_[1] = eye_[1] + std::sin(yaw) * std::cos(lookPitch_) * 20;
  target_[2] = eye_[2] + std::sin(lookPitch_) * 20;
}

bool CPreviewCamera::DriveToSection(int section) {
  for (const PreviewStation& s : stations_)
    if (s.section == section) {
      view_ = PreviewView::Drive;
      driveDistance_ = s.distance;
      lookYaw_ = 0;
      UpdateDrive();
      return true;
    }
  return false;
}

void CPreviewCamera::DriveBy(double metres) {
  if (!std::isfinite(metres)) return;
  double d = driveDistance_ + metres;
  if (lapLength_ > 0) {
    d = std::fmod(d, lapLength_);
    if (d < 0) d += lapLength_;
  } else {
    d = 0;
  }
  driveDistance_ = d;
  UpdateDrive();
}

int CPreviewCamera::DriveSection() const { return StationAt(driveDistance_).section; }

void CPreviewCamera::NextSection() {
  const int now = DriveSection();
  for (const PreviewStation& s : stations_)
    if (s.distance > driveDistance_ && s.section != now && s.section >= 0) {
      driveDistance_ = s.distance;
      UpdateDrive();
      return;
    }
  if (!stations_.empty()) driveDistance_ = stations_.front().distance, UpdateDrive();
}

void CPreviewCamera::PreviousSection() {
  // Back to this section's start, or when there already, the one before's.
  int now = DriveSection();
  double start = -1;
  for (size_t i = stations_.size(); i-- > 0;) {
    const PreviewStation& s = stations_[i];
    if (s.distance > driveDistance_ - 0.01) continue;
    if (s.section == now) {
      start = s.distance;
    } else if (start >= 0 || s.section >= 0) {
      if (start < 0) now = s.section, start = s.distance;
      else break;
    }
  }
  if (start < 0 && !stations_.empty()) start = std::max(0.0, lapLength_ - 1);
  driveDistance_ = std::max(0.0, start);
  UpdateDrive();
}

void CPreviewCamera::Eye(double out[3]) const {
  switch (view_) {
    case PreviewView::Top:
      out[0] = target_[0], out[1] = target_[1];
      out[2] = (bounds_.empty ? 0 : double(bounds_.max[2])) + kTopHeight;
      return;
    case PreviewView::Orbit:
      out[0] = target_[0] + distance_ * std::cos(pitch_) * std::cos(yaw_);
      out[1] = target_[1] + distance_ * std::cos(pitch_) * std::sin(yaw_);
      out[2] = target_[2] + distance_ * std::sin(pitch_);
      return;
    case PreviewView::Drive:
      out[0] = eye_[0], out[1] = eye_[1], out[2] = eye_[2];
      return;
  }
}

void CPreviewCamera::Target(double out[3]) const {
  out[0] = target_[0], out[1] = target_[1], out[2] = target_[2];
  if (view_ == PreviewView::Top) out[2] = bounds_.empty ? 0 : bounds_.min[2];
}

PreviewMatrix CPreviewCamera::ViewMatrix() const {
  double e[3], t[3];
  Eye(e);
  Target(t);
  const Vec3 up = view_ == PreviewView::Top ? Vec3{0, 1, 0} : Vec3{0, 0, 1};
  return LookAt({e[0], e[1], e[2]}, {t[0], t[1], t[2]}, up);
}

PreviewMatrix CPreviewCamera::ProjectionMatrix(double aspect) const {
  if (!(aspect > 0) || !std::isfinite(aspect)) aspect = 1;
  PreviewMatrix p;
  float* m = p.m;
  if (view_ == PreviewView::Top) {
    // Orthographic: distance_ metres from the middle to the top edge.
    const double top = distance_, right = distance_ * aspect;
    const double zNear = 1, zFar = kTopHeight + (bounds_.empty ? 100 : double(bounds_.max[2]) - bounds_.min[2]) + 100;
    m[0] = float(1 / right);
    m[5] = float(1 / top);
    m[10] = float(-2 / (zFar - zNear));
    m[14] = float(-(zFar + zNear) / (zFar - zNear));
    return p;
  }
  const double zNear = view_ == PreviewView::Drive ? 0.3 : std::max(0.5, distance_ / 2000);
  const double zFar = view_ == PreviewView::Drive ? depth_ : distance_ + depth_;
  const double f = 1 / std::tan(fovY_ / 2);
  m[0] = float(f / aspect);
  m[5] = float(f);
  m[10] = float((zFar + zNear) / (zNear - zFar));
  m[11] = -1;
  m[14] = float(2 * zFar * zNear / (zNear - zFar));
  m[15] = 0;
  return p;
}

bool CPreviewCamera::Project(const double world[3], int width, int height, double& px, double& py) const {
  if (width <= 0 || height <= 0) return false;
  const Matrix4 vp(ProjectionMatrix(double(width) / height) * ViewMatrix());
  const double in[4] = {world[0], world[1], world[2], 1};
  double clip[4];
  vp.Apply(in, clip);
  if (!(clip[3] > 0)) return false;
  const double nx = clip[0] / clip[3], ny = clip[1] / clip[3], nz = clip[2] / clip[3];
  if (nz < -1 || nz > 1) return false;
  px = (nx + 1) / 2 * width;
  py = (1 - ny) / 2 * height;
  return true;
}

void CPreviewCamera::Ray(double px, double py, int width, int height, double origin[3], double direction[3]) const {
  width = std::max(width, 1), height = std::max(height, 1);
  const Matrix4 vp(ProjectionMatrix(double(width) / height) * ViewMatrix());
  double inv[16];
  if (!Invert(vp.m, inv)) {
    Eye(origin);
    direction[0] = direction[1] = 0, direction[2] = -1;
    return;
  }
  const double nx = 2 * px / width - 1, ny = 1 - 2 * py / height;
  double pts[2][3];
  for (int k = 0; k < 2; ++k) {
    const double ndc[4] = {nx, ny, k == 0 ? -1.0 : 1.0, 1};
    double w[4];
    for (int r = 0; r < 4; ++r) w[r] = inv[r] * ndc[0] + inv[4 + r] * ndc[1] + inv[8 + r] * ndc[2] + inv[12 + r] * ndc[3];
    for (int c = 0; c < 3; ++c) pts[k][c] = w[c] / w[3];
  }
  const Vec3 d = Unit({pts[1][0] - pts[0][0], pts[1][1] - pts[0][1], pts[1][2] - pts[0][2]});
  for (int c = 0; c < 3; ++c) origin[c] = pts[0][c];
  direction[0] = d.x, direction[1] = d.y, direction[2] = d.z;
}

}  // namespace lapforge
