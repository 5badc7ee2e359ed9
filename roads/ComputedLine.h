// The racing line a track made from a description gets when no line was
// recorded for it: the track model sampled into stations
// (track/racingline/TrackStations) and the minimum-curvature line computed
// over them (CRacingLine), for the line command, the AI waypoint road
// without LP files and the track map.
#pragma once

#include <string>
#include <vector>

#include "track/racingline/RacingLine.h"
#include "track/racingline/TrackStations.h"

namespace lapforge {

class CN5Ptf;
class TrkDsc;

struct LineOptions {
  double margin = 1.0;  // metres kept from either edge of the drivable strip
  double grip = 1.3;    // the car's grip in g
  double step = 1.0;    // metres between stations, at most
};

struct ComputedLine {
  _rl_track_stations track;
  CRacingLine line;

  // The line's lateral offset at distance d along the track: linear
  // between the stations, across the start line on a lap.
  double OffsetAt(double d) const;
  // The allowed interval less the margin at distance d, the same way.
  void BoundsAt(double d, double margin, double& lo, double& hi) const;
};

// Samples the built track and computes its line; false when that cannot be
// done, with the message shown under caption: a place without room for the
// margin, or without bands, is named by its distance and its section.
bool ComputeRacingLine(const TrkDsc& db, CN5Ptf& model, const LineOptions& options, ComputedLine& out,
                       const std::string& caption);

// The section of the description that holds distance d on the built track,
// in words ("section 4 (row 5)"); empty when none does.
std::string SectionAtDistance(const TrkDsc& db, CN5Ptf& model, double d);

// The line's offsets at every kLpSpacing over the track, as an LP file
// holds them.
std::vector<float> LineLpLaterals(const ComputedLine& computed);

// The line as CSV: a header row, one row per station (distance, offset, x,
// y, z, curvature, speed), then a comment row "# lap time ..." with the
// estimate and the line's length.
std::string LineCsv(CN5Ptf& model, const ComputedLine& computed);

}  // namespace lapforge
