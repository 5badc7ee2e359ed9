// Turns the texture uses of an imported track into a table of named
// materials (road01, twal03 ...), each with a comment saying where it came
// from and a line for a texture list file.
#pragma once

#include <string>

#include "description/tables/TrackTextures.h"

namespace lapforge {

// Material kinds: the face of a band or wall a texture is used on.
enum : int { kMaterialSurface = 0, kMaterialSide = 1, kMaterialTop = 2, kMaterialEnd = 4 };

// Adds at most one material for the texture name and replaces name by the
// material's name. Returns 1 when a material was added, 0 when an existing
// one (same texture file and surface code) was reused.
int MakeMaterial(CTrackMaterialArray& materials, std::string& name, int grip, int textureIndex, int kind, int section,
                 float longPos, float latPos, bool autoNames);

// Fills materials from the texture lists and rewrites the texture names in
// both lists to material names.
void BuildMaterialTable(CTrackMaterialArray& materials, CTrackTractionTexArray& tractionTex,
                        CTrackWallTexArray& wallTex, bool autoNames);

// The base word of generated material names for a surface code.
const char* MaterialBaseWord(int grip);

}  // namespace lapforge
