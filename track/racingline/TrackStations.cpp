#include "track/racingline/TrackStations.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <exception>

#include "support/TextFormat.h"
#include "track/N5Ptf.h"

namespace lapforge {

namespace {

// A track whose end lies this close to its start (metres, in plan) and
// heads the same way within this angle (radians) is a lap.
constexpr double kClosingGap = 0.5;
constexpr double kClosingTurn = 0.01;
// Stations the sampling may make: far beyond any track at a metre a station.
constexpr double kMaxStations = 5e7;

// The segment holding lng and the distance along it; an open road's far end
// belongs to its last segment.
CN5ObjSg* SegmentAt(CN5Ptf& track, double lng, double length, double& along) {
  int index;
  CN5ObjSg* seg = nullptr;
  double t;
  const double inside = std::min(lng, std::nextafter(length, 0.0));
  if (!track.GetSegAt(inside, index, seg, t) || !seg) return nullptr;
  along = std::clamp(lng - seg->startLong, 0.0, seg->length);
  return seg;
}

double Heading(const CN5ObjSg& seg, double along) {
  const double t = seg.length != 0 ? along / seg.length : 0;
  return seg.startAngle + seg.sweep * t;
}

Result Fault(_rl_track_stations& out, double at, const std::string& message) {
  out.stations.clear();
  out.fault = at;
  return Result::Fail(Status::Invalid, message);
}

}  // namespace

bool TrackPoint(CN5Ptf& track, double lng, double lat, double& x, double& y, double& z) {
  const double length = track.GetTrackLength();
  double along;
  const CN5ObjSg* seg = SegmentAt(track, lng, length, along);
  if (!seg) return false;
  seg->GetPlanXY(along, lat, x, y);
  z = seg->GetHeight(along, lat);
  return true;
}

Result SampleTrack(CN5Ptf& track, double step, _rl_track_stations& out) {
  out = _rl_track_stations();
  const double length = track.GetTrackLength();
  if (!(length > 0) || !std::isfinite(length))
    return Fault(out, -1, StrFormat("The track is %g m long: no racing line can be laid on it", length));
  if (!(step > 0) || !std::isfinite(step) || length / step > kMaxStations)
    return Fault(out, -1, StrFormat("A step of %g m does not sample the %.1f m track", step, length));
  out.length = length;

  // A lap when the end comes back to the start.
  double x0, y0, z0, x1, y1, z1, along0, along1;
  const CN5ObjSg* first = SegmentAt(track, 0, length, along0);
  const CN5ObjSg* last = SegmentAt(track, length, length, along1);
  if (!first || !last) return Fault(out, -1, "The track has no segment to lay a racing line on");
  TrackPoint(track, 0, 0, x0, y0, z0);
  TrackPoint(track, length, 0, x1, y1, z1);
  const double turn = std::remainder(Heading(*last, along1) - Heading(*first, along0), 2 * std::numbers::pi);
  out.closed = std::hypot(x1 - x0, y1 - y0) < kClosingGap && std::fabs(turn) < kClosingTurn;

  const size_t steps = static_cast<size_t>(std::max(2.0, std::ceil(length / step - 1e-9)));
  out.step = length / static_cast<double>(steps);
  const size_t count = out.closed ? steps : steps + 1;
  out.stations.resize(count);
  for (size_t i = 0; i < count; ++i) {
    _rl_station& s = out.stations[i];
    s.distance = i + 1 == count && !out.closed ? length : out.step * static_cast<double>(i);
    double along;
    const CN5ObjSg* seg = SegmentAt(track, s.distance, length, along);
    if (!seg) return Fault(out, s.distance, "No segment of the track holds this distance");
    seg->GetPlanXY(along, 0, s.x, s.y);
    s.z = seg->GetHeight(along, 0);
    SetHeading(s, Heading(*seg, along));
    s.nz = seg->GetHeight(along, 0.5) - seg->GetHeight(along, -0.5);
    double left = 0, right = 0, wallLeft = 0, wallRight = 0;
    try {
      track.GetDriveBoundsAt(std::min(s.distance, std::nextafter(length, 0.0)), 0, left, right, wallLeft, wallRight);
    } catch (const std::exception&) {
      return Fault(out, s.distance, "The track has no bands to lay a racing line on");
    }
    if (!std::isfinite(left) || !std::isfinite(right) || std::fabs(left) >= ITrackQuery::kFarOffset ||
        std::fabs(right) >= ITrackQuery::kFarOffset)
      return Fault(
          out, s.distance,
          StrFormat("The drivable strip has a bound that is not a usable number (from %g to %g m)", right, left));
    s.lo = right;
    s.hi = left;
  }
  return Result::Ok();
}

}  // namespace lapforge
