// Small descriptions for the track checker and the track map: one clean
// closed loop, and the changes that give it each fault the checker knows.
#pragma once

#include "description/TrkDsc.h"

namespace lapforge {

// A closed loop of eight sections: straights of 100 m (sections 0, 2, 4,
// 6) and left arcs of 90 degrees on a 50 m radius (sections 1, 3, 5, 7).
// Each section has four band edges (grass -8, asphalt -6, grass 6, left
// edge 8) and walls at -9 and 9; texture entries and materials for all of
// them (map files "<name>.dds"); a pit lane row and one detail, TSO and
// vertical object on the track. Nothing in it is a fault.
void FillCheckedLoop(TrkDsc& ds);

// The n-th Traction row of section s.
TrkDsc::TractionRow TractionOf(const TrkDsc& ds, int section, int n);

// Faults, each made on a loop from FillCheckedLoop.
namespace fault {
// Section 0 becomes 103 m long: the end lies 3 m past the start.
void LongFirstStraight(TrkDsc& ds);
// Section 7 turns 88 degrees instead of 90.
void ShortLastArc(TrkDsc& ds);
void ZeroLengthSection(TrkDsc& ds, int section);
void ArcWithoutSweep(TrkDsc& ds, int section);
// Band edge 2 (grip 5) of sections 2 and 4 becomes grip 7, which has no
// TractionTex row.
void GripWithoutEntry(TrkDsc& ds);
// The asphalt's TractionTex row names texture "tarmac", which has no
// Material row.
void TextureWithoutMaterial(TrkDsc& ds);
// Band edges 1 and 2 of section 3 change places.
void BandsSwapped(TrkDsc& ds);
// Traction row 1 of section 5 loses its Lat_Start.
void TractionWithoutLateral(TrkDsc& ds);
// A bump definition at index 2 while none is placed yet.
void BumpDefBeyondList(TrkDsc& ds);
// Section 2 is meshed every 0.5 m along and 0.0625 m across.
void FineMeshOnSection2(TrkDsc& ds);
// The pit lane merges back in at 900 m, beyond the track's end.
void PitBeyondEnd(TrkDsc& ds);
// A detail at -20 m and a TSO at 2000 m along the track.
void ObjectsBeyondTrack(TrkDsc& ds);
// A wall row at lateral 2 in section 6, on the asphalt.
void WallOnAsphalt(TrkDsc& ds);
}  // namespace fault

}  // namespace lapforge
