// A reusable mesh: its own points, faces and inserts placing other blocks of
// the same block array, with extents and an object tag.
#pragma once

#include <cstdint>
#include <string>

#include "mesh/GlFaceArray.h"
#include "mesh/GlInsertArray.h"
#include "mesh/GlObjTag.h"
#include "mesh/GlPoint.h"
#include "mesh/GlPointArray.h"

namespace lapforge {

class CGlBlockArray;
class CGlMaterialArray;

class CGlBlock {
 public:
  CGlBlock();

  void ClearBlock();
  void CopyBlock(const CGlBlock& source, CGlInsertArray& insertList);
  void FindExtents();
  void GetBlockExtents(CGlBlockArray& blocks, CGlPoint& outMin, CGlPoint& outMax);
  // Places this block's mesh into points/faces, transformed by insert (when given).
  void Explode(CGlPointArray& points, CGlFaceArray& faces, const CGlInsert* insert) const;
  // The same, then (recurse set) the block's own inserts composed with
  // insert. The materials of the faces each step places are merged into
  // materials (faces placed earlier keep their indices). Nesting deeper than
  // 32 levels (a block placing itself) is not followed.
  void Explode(CGlPointArray& points, CGlFaceArray& faces, CGlMaterialArray& materials,
               const CGlMaterialArray& sourceMaterials, const CGlBlockArray& blocks, const CGlInsert* insert,
               bool recurse) const;

  int32_t blockId = 0;
  CGlPoint minPoint;
  CGlPoint maxPoint;
  CGlObjTag tag;
  int32_t attrib0 = 0;
  int32_t attrib1 = 0;
  std::string name;
  std::string title;
  std::string fileName;
  CGlPointArray points;
  CGlFaceArray faces;
  CGlInsertArray inserts;
  float cx = 0.0f, cy = 0.0f, cz = 0.0f;  // centre
  int32_t lastValue = 0;
};

}  // namespace lapforge
