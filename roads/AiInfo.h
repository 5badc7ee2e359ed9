// The values the AI waypoint writer takes from the description's AIInfo row
// (pit lane, stalls, grid), read in one place for the AIW road and anyone
// else who writes waypoints from a description.
#pragma once

#include "description/TrkDsc.h"
#include "formats/aiw/AiwFile.h"

namespace lapforge {

// The first empty column of the required AIInfo values, in the order they
// are checked; null when all hold a value.
const char* EmptyAIInfoColumn(const TrkDsc::AIInfoRow& row);

// The writer's track values of a row whose required columns all hold a
// value (EmptyAIInfoColumn gives null); the optional ones keep their
// defaults when empty.
VARS_AIW_TRACK_INFO AiwTrackInfo(const TrkDsc::AIInfoRow& row);

}  // namespace lapforge
