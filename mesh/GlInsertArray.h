// The list of inserts of a model or block.
#pragma once

#include <cstdint>
#include <vector>

#include "mesh/GlArray.h"
#include "mesh/GlInsert.h"
#include "mesh/GlPoint.h"

namespace lapforge {

class CGlBlockArray;
class CGlPointArray;

class CGlInsertArray : public CGlArray<CGlInsert> {
 public:
  void ExtractSaveInserts(CGlInsertArray& destination) const;
  bool SomethingToEdit() const;
  void FindUsed(const CGlBlockArray& blocks, std::vector<uint8_t>& table) const;
  void RenumberBlocks(const std::vector<int32_t>& map);
  void FindExtents(CGlBlockArray& blocks, CGlPoint& outMin, CGlPoint& outMax) const;
  void TangentVectors(CGlBlockArray& blocks, std::vector<_float_xyz>& bitangents, int material) const;
  void ReScaleTextures(CGlBlockArray& blocks, int channel, int material, float su, float sv, float ou, float ov,
                       float uFrom, float uTo, float vFrom, float vTo) const;
};

}  // namespace lapforge
