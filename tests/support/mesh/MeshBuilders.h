// Small meshes for the mesh model tests: faces from point lists, a unit cube
// with separate points per side, a flat grid.
#pragma once

#include <initializer_list>

#include "mesh/GlFaceArray.h"
#include "mesh/GlPointArray.h"

namespace lapforge {

namespace meshtest {

// Appends a point and returns its index.
int AddPoint(CGlPointArray& points, float x, float y, float z);

// Appends a face over the given point indices with the given material.
int AddFace(CGlFaceArray& faces, std::initializer_list<int> vertices, int material = -1);

// Appends a face with one (u, v) pair per vertex.
int AddFaceUV(CGlFaceArray& faces, std::initializer_list<int> vertices, std::initializer_list<float> uvs,
              int material = -1);

// The cube [0,1]^3: 24 points (4 per side, none shared between sides) and
// 6 quads wound counter-clockwise seen from outside.
void MakeCube(CGlPointArray& points, CGlFaceArray& faces);

// A flat grid of nx by ny quads in the plane z = 0 with unit spacing. With
// shared set the quads share corner points; otherwise every quad has its own
// four points (as a mesh before welding).
void MakeGrid(CGlPointArray& points, CGlFaceArray& faces, int nx, int ny, bool shared);

}  // namespace meshtest

}  // namespace lapforge
