// Synthetic reference lines for the racing-line tests and benchmark: chains
// of straights and arcs sampled at a fixed spacing, and a generated closed
// circuit of any length with left and right corners.
#pragma once

#include <vector>

#include "track/racingline/RacingLine.h"

namespace lapforge {

// A straight (turn 0) or an arc turning by turn radians (left positive).
struct RlPiece {
  double length = 0;
  double turn = 0;
};

// Stations spacing metres apart along the chain from (0, 0) heading along
// +X, each allowed [lo, hi]. An open line has a station at both ends; a
// closed chain (one that comes back to its start) none at the end, which is
// the first station again.
std::vector<_rl_station> ChainStations(const std::vector<RlPiece>& pieces, double spacing, double lo, double hi,
                                       bool closed);

// Four straights of the given length joined by four 90-degree arcs of the
// given radius, all turning left (turn +1) or right (-1); starts halfway
// along a straight.
std::vector<RlPiece> RoundedSquare(double straight, double radius, int turn);

// A closed circuit of about the given length: a circle with one lobe per
// 500 m, giving left corners and right corners of 40 to 150 m radius,
// sampled every spacing metres (adjusted to close), allowed +-halfWidth.
std::vector<_rl_station> GeneratedCircuit(double length, double spacing, double halfWidth);

}  // namespace lapforge
