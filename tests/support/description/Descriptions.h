// Builders of track descriptions for tests and benchmarks.
#pragma once

#include <string>

#include "description/TrkDsc.h"

namespace lapforge {

// Fills every one of the 18 tables with at least one row, using special
// values where a column type has them (INF, NaN, escaped text, the column
// with a blank in its name).
void FillEveryTable(TrkDsc& ds);

// A closed circuit of `sections` sections (alternating straights and arcs),
// each with `tractions` bands and walls, two contours and texture
// coordinates on its first band.
void FillCircuit(TrkDsc& ds, int sections, int tractions);

// A closed circuit for meshing tests and benchmarks: `sections` sections
// alternating straight and left arc (the arcs share one full turn, straights
// and arcs share the length equally), each with `bands` surfaces of
// `bandWidth` metres side by side (bands + 1 traction rows, grass at the
// outer edges, curbing next to them, asphalt inside) and a wall on either
// side. Three contours per section: the two outer edges and one through the
// middle of a band, so that every section has a bank-line cut. Banked: each
// arc rises from flat at its start to `bank` (height change per metre
// across, outer side up) at its end, and the following straight falls back
// to flat, so heights meet at every boundary. One detail every
// `detailEvery` sections (0 for none). The options below change the shape.
struct CircuitOptions {
  double length = 2000;  // metres
  int sections = 8;      // even; half of them arcs
  int bands = 4;         // surfaces across
  double bandWidth = 4;  // metres
  double longRes = 15;   // metres
  double latRes = 4;     // metres
  double arcRes = 5;     // degrees
  bool banked = false;
  double bank = 0.08;
  int detailEvery = 0;
  // Every section a straight (an open road `length` long) instead of the
  // alternating circuit.
  bool straightOnly = false;
  // Without contours: no section has bank lines of its own.
  bool contours = true;
};
void FillGeneratedCircuit(TrkDsc& ds, const CircuitOptions& options);

// A closed circuit km long, two sections a kilometre, meshed at 1 m by 1 m:
// the benchmarks' big track (676 k faces at 25 km).
inline CircuitOptions FineCircuit(double km) {
  CircuitOptions o;
  o.length = 1000.0 * km;
  o.sections = static_cast<int>(2 * km);
  o.longRes = 1;
  o.latRes = 1;
  return o;
}

}  // namespace lapforge
