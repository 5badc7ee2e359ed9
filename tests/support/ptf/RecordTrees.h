// Builders of record trees for the record-file tests, fuzz seeds and
// benchmarks: trees built in memory, and files shaped like the ones the
// games' own tools write.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "ptf/Descriptors.h"

namespace lapforge {

// A trackside object as this program builds one: LOD switch over a state
// switch, a group of shapes with geometry, vertex list and appearance.
std::unique_ptr<CN5Root> MakeTrackSideTree();
// A track of the given number of segments, each with a bank line, two bands
// and a wall, a track detail and a TSO reference.
std::unique_ptr<CN5Root> MakeTrackTree(int segments, int formatVersion);
// The bytes of MakeTrackTree's track (version 7) with every segment a
// straight, a track file the PTF import reads into a description.
std::vector<uint8_t> MakeStraightTrackFile(int segments);
// A group holding a track, a trackside object and a tri strip: every
// descriptor kind the writer writes (the tri list through the geometry).
std::unique_ptr<CN5Root> MakeEveryKindTree(int formatVersion);

// Under parent (null: as the root) of root.
void AddTrackTree(CN5Root& root, CN5Obj* parent, int segments);
void AddTrackSideTree(CN5Root& root, CN5Obj* parent);

// A trackside object file as the games' tools write it, assembled byte by
// byte: a LOD switch root (objects 1..17, classes from 101) over a
// "Weekend" state switch and a "day_night" switch whose two states show the
// same group; two shapes, the first with a tri strip whose vertex list is a
// back-reference, the second with a tri list and the first shape's
// appearance shared; vertex lists with their per-vertex tail blocks filled;
// a texture record of header value 2 and a reflection texture in slot 4.
std::vector<uint8_t> MakeGameTrackSideFile();

}  // namespace lapforge
