// Geometry of one segment of the track: its end from its start, its length
// and arc data, points on it, heights from its bank lines, and the inverse
// from a world point back to a position on it.
#include <cmath>
#include <string>

#include "ptf/Descriptors.h"
#include "support/Errors.h"
#include "track/N5Units.h"

namespace lapforge {

namespace {

std::string SegmentName(const CN5ObjSg& s) { return "segment " + std::to_string(s.index); }

}  // namespace

void CN5ObjSg::CalcEnd(int type, double len, double turn) {
  segType = type;
  length = len;
  sweep = turn;
  radius = 0;
  if (type == 1) {
    // The radius is the length over the turn; an arc that does not turn has
    // none.
    if (turn == 0) ThrowInvalidArgument(SegmentName(*this) + ": an arc must turn (heading change 0)");
    double r = len / turn;
    double s = startAngle - _quarter_turn;
    endX = startX - std::cos(s) * r + std::cos(s + turn) * r;
    endY = startY - std::sin(s) * r + std::sin(s + turn) * r;
    radius = r;
  } else {
    endX = startX + std::cos(startAngle) * len;
    endY = startY + std::sin(startAngle) * len;
  }
  deltaX = endX - startX;
  deltaY = endY - startY;
  endAngle = startAngle + turn;
  while (endAngle < 0) endAngle += _two_pi;
  while (endAngle > _two_pi) endAngle -= _two_pi;
}

double CN5ObjSg::CalcLength(double startDistance) {
  startLong = startDistance;
  // CalcEnd leaves the turn it was given in sweep (a segment read from a
  // file has none).
  double builtTurn = sweep;
  sweep = 0;
  double len;
  if (segType == 1) {
    // The turn is brought into a half turn either way with the 6-digit
    // constants the stored tracks were made with.
    double d = endAngle - startAngle;
    if (d < -3.14159) d += 6.28318;
    if (d > 3.14159) d = -(6.28318 - d);
    if (builtTurn != 0 && std::fabs(d - builtTurn) > 0.001) {
      // The headings alone cannot tell a turn of half a circle or more
      // from a shorter one the other way; an arc built in memory keeps the
      // turn and length it was built with.
      d = builtTurn;
      len = length;
    } else {
      if (d == 0) ThrowInvalidArgument(SegmentName(*this) + ": an arc must turn (start and end heading are equal)");
      double ds = std::sin(endAngle) - std::sin(startAngle);
      double dc = std::cos(endAngle) - std::cos(startAngle);
      if (std::fabs(ds) > std::fabs(dc))
        len = std::fabs(d / ds * (endX - startX));
      else
        len = std::fabs(d / dc * (endY - startY));
    }
    sweep = d;
    radius = len / d;
    centreX = startX - std::cos(startAngle - _quarter_turn) * radius;
    centreY = startY - std::sin(startAngle - _quarter_turn) * radius;
  } else {
    len = std::sqrt((endX - startX) * (endX - startX) + (endY - startY) * (endY - startY));
  }
  length = len;
  endLong = startDistance + len;
  for (CN5Obj* o : bankLines)
    if (auto* xs = dynamic_cast<CN5ObjXs*>(o)) xs->CalcFactors(len, radius);
  return len;
}

double CN5ObjSg::GetHeight(double d, double lat) const {
  size_t n = bankLines.size();
  if (n == 0) return 0;
  double t = length != 0 ? d / length : 0;
  // Heights are linear across between neighbouring bank lines and take the
  // outermost line's height beyond them.
  size_t upper = n;
  for (size_t k = 0; k < n; ++k) {
    auto* xs = dynamic_cast<const CN5ObjXs*>(bankLines[k]);
    if (xs && lat < xs->GetLat(t)) {
      upper = k;
      break;
    }
  }
  size_t lower;
  if (upper == n)
    lower = upper = n - 1;
  else if (upper == 0)
    lower = 0;
  else
    lower = upper - 1;
  // A list read from a file may hold null or foreign records: no height.
  auto* lo = dynamic_cast<const CN5ObjXs*>(bankLines[lower]);
  auto* hi = dynamic_cast<const CN5ObjXs*>(bankLines[upper]);
  if (!lo || !hi) return 0;
  double f = 0;
  if (lower != upper) {
    double pl = lo->GetLat(t), pu = hi->GetLat(t);
    f = pu != pl ? (lat - pl) / (pu - pl) : 0;
  }
  return (1 - f) * lo->GetHeight(t) + f * hi->GetHeight(t);
}

void CN5ObjSg::GetPlanXY(double d, double lat, double& x, double& y) const {
  double t = length != 0 ? d / length : 0;
  if (segType == 1) {
    double h = sweep * t + startAngle - _arc_quarter_turn;
    x = std::cos(h) * (radius - lat) + centreX;
    y = std::sin(h) * (radius - lat) + centreY;
  } else {
    x = std::cos(startAngle + _quarter_turn) * lat + std::cos(startAngle) * d + startX;
    y = std::sin(startAngle + _quarter_turn) * lat + std::sin(startAngle) * d + startY;
  }
}

void CN5ObjSg::GetXYZ(double d, double lat, float& x, float& y, float& z) const {
  double px, py;
  GetPlanXY(d, lat, px, py);
  x = static_cast<float>(px);
  y = static_cast<float>(py);
  z = static_cast<float>(GetHeight(d, lat));
}

void CN5ObjSg::GetXYZ(double d, double lat, double& x, double& y, double& z) const {
  float fx, fy, fz;
  GetXYZ(d, lat, fx, fy, fz);
  x = fx;
  y = fy;
  z = fz;
}

float CN5ObjSg::GetBanking(double d, double lat) const {
  float x, y, z0, z1;
  GetXYZ(d, lat, x, y, z0);
  GetXYZ(d, lat + 0.005, x, y, z1);
  return (z1 - z0) * 200;
}

void CN5ObjSg::GetStraightenedXYZ(double d, double lat, int flag, double lat0, double lat1, double& x, double& y,
                                  double& z) const {
  if (segType == 1 && flag) {
    double u = length != 0 ? d / length : 0;
    double x0, y0, z0, x1, y1, z1;
    GetXYZ(0.0, lat0, x0, y0, z0);
    GetXYZ(length, lat1, x1, y1, z1);
    x = (1 - u) * x0 + u * x1;
    y = (1 - u) * y0 + u * y1;
    z = (1 - u) * z0 + u * z1;
    return;
  }
  GetXYZ(d, lat, x, y, z);
}

int CN5ObjSg::GetLatPos(double x, double y, double z, double& lng, double& lat, double& dz) const {
  double cand, d;
  if (sweep == 0) {
    double s = std::sin(startAngle), c = std::cos(startAngle);
    cand = c * (y - startY) - s * (x - startX);
    double fx = x + s * cand, fy = y - c * cand;
    const double e = 0.01;
    if (fx < std::fmin(startX, endX) - e || fx > std::fmax(startX, endX) + e) return 0;
    if (fy < std::fmin(startY, endY) - e || fy > std::fmax(startY, endY) + e) return 0;
    double u;
    if (std::fabs(endX - startX) > std::fabs(endY - startY))
      u = (fx - startX) / (endX - startX);
    else if (endY != startY)
      u = (fy - startY) / (endY - startY);
    else
      u = 0;  // a segment of no length: its start
    d = length * u;
  } else {
    double q = std::hypot(x - centreX, y - centreY);
    double g = std::atan2(y - centreY, x - centreX);
    double ref;
    if (sweep > 0) {
      cand = radius - q;
      ref = startAngle - _quarter_turn;
    } else {
      cand = q + radius;
      ref = startAngle + _quarter_turn;
    }
    double e = g - ref;
    if (e > 3.14159265)
      e -= _two_pi;
    else if (e < -3.14159265)
      e += _two_pi;
    double u = e / sweep;
    if (u < 0 || u > 1) return 0;
    d = length * u;
  }
  double px, py, pz;
  GetXYZ(d, cand, px, py, pz);
  lat = cand;
  lng = startLong + d;
  dz = z - pz;
  return 1;
}

CN5ObjFs* CN5ObjSg::GetFsObj(int i) const {
  return i >= 0 && i < NoTractions() ? dynamic_cast<CN5ObjFs*>(bands[static_cast<size_t>(i)]) : nullptr;
}
CN5ObjWs* CN5ObjSg::GetWsObj(int i) const {
  return i >= 0 && i < NoWalls() ? dynamic_cast<CN5ObjWs*>(walls[static_cast<size_t>(i)]) : nullptr;
}
CN5ObjXs* CN5ObjSg::GetXsObj(int i) const {
  return i >= 0 && i < NoBanks() ? dynamic_cast<CN5ObjXs*>(bankLines[static_cast<size_t>(i)]) : nullptr;
}

int CN5ObjSg::CheckForErrors(std::vector<std::string>* messages) const {
  int faults = 0;
  auto fault = [&](const std::string& what) {
    ++faults;
    if (messages) messages->push_back(SegmentName(*this) + ": " + what);
  };
  for (double v : {startX, startY, startAngle, endX, endY, endAngle})
    if (!std::isfinite(v)) {
      fault("a start or end value is not a finite number");
      break;
    }
  if (segType == 1 && startAngle == endAngle) fault("an arc must turn (start and end heading are equal)");
  if (length < 0 || !std::isfinite(length)) fault("length is not a non-negative number");
  return faults;
}

void CN5ObjXs::CalcFactors(double len, double) {
  double d = heightEnd - heightStart;
  double c = gradStart * len;
  double b = 3 * d - 3 * c - (gradEnd - gradStart) * len;
  double a = d - b - c;
  cubicC = c;
  cubicB = b;
  cubicA = a;
}

void CN5ObjWs::GetXYZ(const CN5ObjSg& seg, double d, double lat, double offset, double& x, double& y, double& z) const {
  seg.GetStraightenedXYZ(d, lat + offset, straighten, latStart + offset, latEnd + offset, x, y, z);
}

}  // namespace lapforge
