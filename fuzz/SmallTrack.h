// The small tracks the writer fuzz targets place their input on: pieces
// (0 straight, 1 arc; length; angle) chained from the origin, each segment
// given its bands by the caller.
#pragma once

#include <cstddef>

#include "track/N5Ptf.h"

namespace lapforge {

namespace fuzztrack {

struct Piece {
  int kind;
  double length, angle;
};

// A track built once for the process; bands(track, segment) adds the
// segment's tractions and walls.
template <size_t N, class Bands>
CN5Ptf* ChainPieces(const Piece (&pieces)[N], Bands bands) {
  auto* t = new CN5Ptf;
  double x = 0, y = 0, heading = 0, distance = 0;
  for (int s = 0; s < static_cast<int>(N); ++s) {
    const Piece& piece = pieces[s];
    CN5ObjSg* sg = t->GetSegObj(t->CreateSegment());
    sg->startX = x, sg->startY = y, sg->startAngle = heading, sg->startLong = distance;
    distance += piece.length;
    sg->endLong = distance;
    sg->CalcEnd(piece.kind, piece.length, piece.angle);
    x = sg->endX, y = sg->endY, heading = sg->endAngle;
    bands(*t, s);
    t->FinishTractionTextures(s);
  }
  return t;
}

}  // namespace fuzztrack

}  // namespace lapforge
