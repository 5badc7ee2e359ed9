#include "mesh/GlInsertArray.h"

#include "mesh/GlBlockArray.h"

namespace lapforge {

void CGlInsertArray::ExtractSaveInserts(CGlInsertArray& destination) const {
  if (&destination == this) return;
  for (const CGlInsert& ins : items_) {
    if (!ins.deleted) destination.Add(ins);
  }
}

bool CGlInsertArray::SomethingToEdit() const {
  for (const CGlInsert& ins : items_) {
    if (!ins.deleted) return true;
  }
  return false;
}

namespace {

// Marks the blocks placed by the live inserts, and what they place. A block
// is followed only when first marked, so cycles end.
void MarkPlaced(const CGlInsertArray& inserts, const CGlBlockArray& blocks, std::vector<uint8_t>& table) {
  for (const CGlInsert& ins : inserts) {
    if (ins.deleted || !blocks.InBounds(ins.blockIndex)) continue;
    uint8_t& mark = table[static_cast<size_t>(ins.blockIndex)];
    if (mark) continue;
    mark = 1;
    MarkPlaced(blocks[ins.blockIndex].inserts, blocks, table);
  }
}

// The blocks placed directly by the live inserts, each once.
std::vector<int32_t> PlacedOnce(const CGlInsertArray& inserts, const CGlBlockArray& blocks) {
  std::vector<uint8_t> seen(static_cast<size_t>(blocks.GetSize()), 0);
  std::vector<int32_t> result;
  for (const CGlInsert& ins : inserts) {
    if (ins.deleted || !blocks.InBounds(ins.blockIndex) || seen[static_cast<size_t>(ins.blockIndex)]) continue;
    seen[static_cast<size_t>(ins.blockIndex)] = 1;
    result.push_back(ins.blockIndex);
  }
  return result;
}

}  // namespace

void CGlInsertArray::FindUsed(const CGlBlockArray& blocks, std::vector<uint8_t>& table) const {
  table.assign(static_cast<size_t>(blocks.GetSize()), 0);
  MarkPlaced(*this, blocks, table);
}

void CGlInsertArray::RenumberBlocks(const std::vector<int32_t>& map) {
  const long long n = static_cast<long long>(map.size());
  for (CGlInsert& ins : items_) {
    if (ins.blockIndex >= 0 && ins.blockIndex < n) ins.blockIndex = map[static_cast<size_t>(ins.blockIndex)];
  }
}

void CGlInsertArray::FindExtents(CGlBlockArray& blocks, CGlPoint& outMin, CGlPoint& outMax) const {
  outMin.x = outMin.y = outMin.z = 1e10f;
  outMax.x = outMax.y = outMax.z = -1e10f;
  for (const CGlInsert& ins : items_) {
    if (ins.deleted || !blocks.InBounds(ins.blockIndex)) continue;
    CGlPoint lo, hi;
    blocks[ins.blockIndex].GetBlockExtents(blocks, lo, hi);
    // A block without computed extents has no corners to place.
    if (lo.x > hi.x) continue;
    for (CGlPoint* p : {&lo, &hi}) {
      p->x *= ins.sx;
      p->y *= ins.sy;
      p->z *= ins.sz;
      p->Rotate(ins.a, ins.b, ins.c);
      p->x += ins.x;
      p->y += ins.y;
      p->z += ins.z;
    }
    outMin.SetToMin(outMin, lo);
    outMax.SetToMax(outMax, hi);
  }
}

void CGlInsertArray::TangentVectors(CGlBlockArray& blocks, std::vector<_float_xyz>& bitangents, int material) const {
  for (int32_t b : PlacedOnce(*this, blocks)) {
    CGlBlock& block = blocks[b];
    block.faces.TangentVectors(block.points, bitangents, material);
  }
}

void CGlInsertArray::ReScaleTextures(CGlBlockArray& blocks, int channel, int material, float su, float sv, float ou,
                                     float ov, float uFrom, float uTo, float vFrom, float vTo) const {
  // Once per block: a block placed twice must not be rescaled twice.
  for (int32_t b : PlacedOnce(*this, blocks)) {
    CGlBlock& block = blocks[b];
    block.faces.ReScaleTextures(block.points, channel, material, su, sv, ou, ov, uFrom, uTo, vFrom, vTo);
  }
}

}  // namespace lapforge
