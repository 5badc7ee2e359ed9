// The stations of the racing line of a built track: the track's reference
// line (lateral 0) sampled at even steps over its length, each station with
// the drivable strip around the reference line as its lateral interval
// (ITrackQuery::GetDriveBoundsAt: between the walls and the non-drivable
// bands either side). Positions are worked out in double precision from
// the segments' geometry, since the curvature of a line sampled every metre
// cannot bear the float rounding of the game files' coordinates.
#pragma once

#include <vector>

#include "support/Result.h"
#include "track/racingline/RacingLine.h"

namespace lapforge {

class CN5Ptf;

struct _rl_track_stations {
  std::vector<_rl_station> stations;
  double length = 0;   // the track's length, metres
  bool closed = true;  // the track's end meets its start: a lap
  double step = 0;     // the spacing used: the length split evenly, no more than the step asked for
  double fault = -1;   // on failure, the distance the fault lies at (-1 when none)
};

// Samples track every step metres or a little less (the length split into
// equal steps; a lap closes from the last station back to the first, an
// open road has a station at either end). Fails Invalid when the track has
// no length, or (with fault set to the distance; the message does not say
// it) a distance has no bands or a bound of its strip is not a finite number
// or lies ITrackQuery::kFarOffset or further away; nothing is kept then.
Result SampleTrack(CN5Ptf& track, double step, _rl_track_stations& out);

// The point at (lng, lat) in double precision, its height from the bank
// lines; false when no segment holds lng.
bool TrackPoint(CN5Ptf& track, double lng, double lat, double& x, double& y, double& z);

}  // namespace lapforge
