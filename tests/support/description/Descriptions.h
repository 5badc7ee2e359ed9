// Builders of track descriptions for tests and benchmarks.
#pragma once

#include <string>

#include "description/TrkDsc.h"

// Fills every one of the 18 tables with at least one row, using special
// values where a column type has them (INF, NaN, escaped text, the column
// with a blank in its name).
void FillEveryTable(TrkDsc& ds);

// A closed circuit of `sections` sections (alternating straights and arcs),
// each with `tractions` bands and walls, two contours and texture
// coordinates on its first band.
void FillCircuit(TrkDsc& ds, int sections, int tractions);
