// Builders of track models for the tests and benchmarks: segment chains laid
// from a cursor the way the description mapping lays them, a standard cross
// section of bands, walls and bank lines, texture tables, and a generated
// track of any number of sections.
#pragma once

#include <vector>

#include "track/N5Ptf.h"

namespace lapforge {

// One piece of the chain: type 1 arc, 0 straight; turn in radians.
struct TrackPiece {
  int type = 0;
  double length = 0;
  double turn = 0;
};

// Where the next segment starts.
struct TrackCursor {
  double x = 0, y = 0, heading = 0, distance = 0;
};

// Appends one segment per piece, each starting at the cursor's end point and
// heading; returns the cursor after the last one.
TrackCursor ChainSegments(CN5Ptf& ptf, const std::vector<TrackPiece>& pieces, TrackCursor from = {});

// Bands at -12 (grip 5), -10 (1), 10 (5) and 12 (left edge), walls at -12.5
// and 12.5 (grip 2049, texture index 1), and bank lines at -12 and 12 rising
// to heights of 0 and 0.5 with the given base height. Finishes the band
// textures.
void AddStandardCrossSection(CN5Ptf& ptf, int seg, double baseHeight = 0);

// Traction and wall texture entries and materials for the standard cross
// section: grip 1 "road", grip 5 "grass", wall grip 2049 "wall"/"walltop".
void FillTextureTables(CN5Ptf& ptf);

// A track of the given number of sections and total length: straights and
// arcs of alternating turn, each with the standard cross section, and one
// painted detail every 50 sections.
void BuildGeneratedTrack(CN5Ptf& ptf, int sections, double totalLength);

}  // namespace lapforge
