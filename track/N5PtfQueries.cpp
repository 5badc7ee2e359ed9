// Position queries of the track model: the track laid out end to end, the
// segment at a distance, world points, headings and slopes, bands and walls
// at a distance, drivable bounds and the inverse from a world point.
#include <algorithm>
#include <cmath>

#include "support/Errors.h"
#include "track/N5Ptf.h"

namespace lapforge {

double CN5Ptf::GetTrackLength() {
  if (trackLength != 0) return trackLength;
  double total = 0;
  laidOut.clear();
  for (const auto& o : objects)
    if (auto* sg = dynamic_cast<CN5ObjSg*>(o.get())) {
      total += sg->CalcLength(total);
      laidOut.push_back(sg);
    }
  trackLength = total;
  if (total > 0) {
    double z = 0;
    GetXYZ(0.0, 0.0, trackStartX, trackStartY, z);
    trackStartZ = z;
    trackStartHeading = laidOut.front()->startAngle;
  }
  return total;
}

bool CN5Ptf::EnsureLength() {
  if (trackLength == 0) GetTrackLength();
  return trackLength > 0 && std::isfinite(trackLength);
}

double CN5Ptf::GetNormalizedLength(double lng) {
  if (!EnsureLength()) return lng;
  if (lng < 0) lng += trackLength;
  return std::fmod(lng, trackLength);
}

double CN5Ptf::NormalizeLong(double lng) {
  if (!EnsureLength()) return lng;
  if (lng < 0) {
    // The same as adding the length until the distance is not negative,
    // without a loop as long as the distance.
    if (lng < -trackLength) lng = std::fmod(lng, trackLength);
    while (lng < 0) lng += trackLength;
  }
  return std::fmod(lng, trackLength);
}

int CN5Ptf::GetSegAt(double lng, int& index, CN5ObjSg*& seg, double& t) {
  index = -1;
  t = 0;
  if (!EnsureLength() || laidOut.empty() || !std::isfinite(lng)) return 0;
  lng = NormalizeLong(lng);
  // The segments lie end to end, so the one holding lng (start <= lng <
  // end) is the last one starting at or before it, unless that one has no
  // length.
  auto it = std::upper_bound(laidOut.begin(), laidOut.end(), lng,
                             [](double v, const CN5ObjSg* s) { return v < s->startLong; });
  while (it != laidOut.begin()) {
    --it;
    CN5ObjSg* s = *it;
    if (s->startLong <= lng && lng < s->endLong) {
      index = static_cast<int>(it - laidOut.begin());
      seg = s;
      t = (lng - s->startLong) / s->length;
      return 1;
    }
    if (s->endLong <= lng) break;
  }
  seg = laidOut.back();
  return 0;
}

void CN5Ptf::GetXYZ(double lng, double lat, double& x, double& y, double& z) {
  if (!EnsureLength() || laidOut.empty() || !std::isfinite(lng)) return;
  lng = NormalizeLong(lng);
  // The first segment with start <= lng <= end: at a boundary, the end of
  // the earlier segment.
  auto it =
      std::lower_bound(laidOut.begin(), laidOut.end(), lng, [](const CN5ObjSg* s, double v) { return s->endLong < v; });
  if (it == laidOut.end() || (*it)->startLong > lng) return;
  (*it)->GetXYZ(lng - (*it)->startLong, lat, x, y, z);
}

void CN5Ptf::GetXYZ(double lng, double lat, float& x, float& y, float& z) {
  double dx = x, dy = y, dz = z;
  GetXYZ(lng, lat, dx, dy, dz);
  x = static_cast<float>(dx);
  y = static_cast<float>(dy);
  z = static_cast<float>(dz);
}

void CN5Ptf::GetOutsideXYZ(double lng, int side, double offset, float& x, float& y, float& z) {
  std::vector<double> lats;
  std::vector<uint16_t> grips;
  GetTractionsAt(lng, lats, grips);
  if (lats.empty()) ThrowInvalidArgument("GetOutsideXYZ: no traction bands at this distance");
  double lat;
  if (side)
    lat = offset > 0 ? lats.back() + offset : lats.back() - 0.5;
  else
    lat = offset < 0 ? lats.front() + offset : lats.front() + 0.5;
  GetXYZ(lng, lat, x, y, z);
}

void CN5Ptf::GetAngles(double lng, double lat, double& heading, double& pitch, double& roll) {
  int index;
  CN5ObjSg* seg = nullptr;
  double t;
  heading = GetSegAt(lng, index, seg, t) ? seg->startAngle + seg->sweep * t : 0;
  double x = 0, y = 0, z = 0, za = 0, zl = 0;
  GetXYZ(lng, lat, x, y, z);
  za = z;
  zl = z;
  GetXYZ(lng + 0.1, lat, x, y, za);
  GetXYZ(lng, lat + 0.1, x, y, zl);
  pitch = (za - z) * 10;
  roll = (zl - z) * 10;
}

int CN5Ptf::GetLatPos(double x, double y, double z, double& lng, double& lat, double& dz) {
  EnsureLength();
  lat = 1.9685e10;
  lng = 0;
  int found = 0;
  for (CN5ObjSg* s : laidOut) {
    double l, a, d;
    if (!s->GetLatPos(x, y, z, l, a, d)) continue;
    if (std::fabs(a) < std::fabs(lat)) {
      lat = a;
      lng = l;
      dz = d;
      found = 1;
    }
  }
  return found;
}

void CN5Ptf::GetTractionsAt(double lng, std::vector<double>& lats, std::vector<uint16_t>& grips) {
  lats.clear();
  grips.clear();
  int index;
  CN5ObjSg* seg = nullptr;
  double t;
  if (!GetSegAt(lng, index, seg, t)) return;
  lats.reserve(seg->bands.size());
  grips.reserve(seg->bands.size());
  for (CN5Obj* o : seg->bands)
    if (auto* fs = dynamic_cast<CN5ObjFs*>(o)) {
      lats.push_back((1 - t) * fs->latStart + t * fs->latEnd);
      grips.push_back(static_cast<uint16_t>(fs->grip));
    }
}

void CN5Ptf::GetWallsAt(double lng, std::vector<double>& lats, std::vector<double>& widths,
                        std::vector<uint16_t>& types) {
  lats.clear();
  widths.clear();
  types.clear();
  int index;
  CN5ObjSg* seg = nullptr;
  double t;
  if (!GetSegAt(lng, index, seg, t)) return;
  for (CN5Obj* o : seg->walls)
    if (auto* ws = dynamic_cast<CN5ObjWs*>(o)) {
      lats.push_back((1 - t) * ws->latStart + t * ws->latEnd);
      widths.push_back(ws->boundWidthStart);
      types.push_back(static_cast<uint16_t>(ws->wallType));
    }
}

void CN5Ptf::GetDriveBoundsAt(double lng, double lat, double& driveLeft, double& driveRight, double& wallLeft,
                              double& wallRight) {
  const double kFar = 2147483647;
  std::vector<double> wallLats, wallWidths, bandLats;
  std::vector<uint16_t> wallTypes, grips;
  GetWallsAt(lng, wallLats, wallWidths, wallTypes);
  GetTractionsAt(lng, bandLats, grips);
  if (bandLats.empty()) ThrowInvalidArgument("GetDriveBoundsAt: no traction bands at this distance");
  wallRight = -kFar;
  wallLeft = kFar;
  bool leftFound = false;
  for (size_t i = 0; i < wallLats.size(); ++i) {
    if (wallLats[i] < lat) wallRight = wallLats[i] + wallWidths[i];
    if (wallLats[i] > lat && !leftFound) {
      wallLeft = wallLats[i] - wallWidths[i];
      leftFound = true;
    }
  }
  wallRight = std::max(wallRight, bandLats.front());
  wallLeft = std::min(wallLeft, bandLats.back());
  // Going left, the drivable strip starts where a non-drivable band gives
  // way to a drivable one and ends at the first non-drivable band.
  double r2 = -kFar, l2 = kFar;
  for (size_t i = 1; i < bandLats.size(); ++i)
    if (bandLats[i] < lat && grips[i - 1] > 3 && grips[i] <= 3) r2 = bandLats[i];
  for (size_t i = 0; i < bandLats.size(); ++i)
    if (bandLats[i] > lat && grips[i] > 3) {
      l2 = bandLats[i];
      break;
    }
  driveRight = std::max(r2, wallRight);
  driveLeft = std::min(l2, wallLeft);
}

}  // namespace lapforge
