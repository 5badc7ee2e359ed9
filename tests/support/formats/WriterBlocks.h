// Tiny blocks for the model writer tests, and a byte comparison that names
// the first differing offset.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "mesh/GlFaceArray.h"
#include "mesh/GlMaterialArray.h"
#include "mesh/GlPointArray.h"

namespace lapforge {

namespace writertest {

// One quad (0,0,0) (2,0,0) (2,1,0) (0,1,0) with UVs (0,0) (1,0) (1,1) (0,1)
// on material "Road" (map "tex/asphalt.png", depth writes on).
void MakeQuadBlock(CGlPointArray& points, CGlFaceArray& faces, CGlMaterialArray& materials);

// Two triangles over (0,0,0) (1,0,0) (0,1,0) (1,1,0): (0,1,2) on "Grass"
// (map "maps/grass.png"), (1,3,2) on "Fence" (map "fence.dds", chroma key
// 0x102030). UVs follow x and y. Depth writes on for both.
void MakeTwoMaterialBlock(CGlPointArray& points, CGlFaceArray& faces, CGlMaterialArray& materials);

// "" when equal, otherwise the first differing offset and both sizes.
std::string FirstDifference(const std::vector<uint8_t>& actual, const std::vector<uint8_t>& expected);

// Little-endian values at an offset of a byte image (the tests' own reading,
// independent of the program's readers). Reading past the end fails the test.
uint32_t U32At(const std::vector<uint8_t>& bytes, size_t offset);
int32_t I32At(const std::vector<uint8_t>& bytes, size_t offset);
uint16_t U16At(const std::vector<uint8_t>& bytes, size_t offset);
float F32At(const std::vector<uint8_t>& bytes, size_t offset);
std::string TextAt(const std::vector<uint8_t>& bytes, size_t offset, size_t field);

}  // namespace writertest

}  // namespace lapforge
