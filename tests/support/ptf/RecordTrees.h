// Builders of small record trees for the record-file tests, fuzz seeds and
// benchmarks.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "ptf/N5Descriptors.h"

// A trackside object like the games' own: LOD switch over state switches,
// a group of shapes whose geometry uses a tri strip.
std::unique_ptr<CN5Root> MakeTrackSideTree();
// A track with every writable descriptor kind, segments segments.
std::unique_ptr<CN5Root> MakeTrackTree(int segments, int formatVersion);
