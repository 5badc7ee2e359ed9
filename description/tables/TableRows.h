// Writes the texture and material tables of an import into a track
// description: one TractionTex row per surface texture entry, one WallTex row
// per wall texture entry and one Material row per material, in list order.
#pragma once

#include "description/TrkDsc.h"
#include "description/tables/TrackTextures.h"

namespace lapforge {

void AddTextureAndMaterialRows(TrkDsc& ds, const CTrackTractionTexArray& tractionTex, const CTrackWallTexArray& wallTex,
                               const CTrackMaterialArray& materials);

}  // namespace lapforge
