#include "mesh/GlBlockArray.h"

#include "support/Errors.h"
#include "support/FileString.h"

namespace lapforge {

CGlBlock& CGlBlockArray::Get(long long index) {
  CheckIndex(index, blocks_.size(), "block");
  return *blocks_[static_cast<size_t>(index)];
}

const CGlBlock& CGlBlockArray::Get(long long index) const {
  CheckIndex(index, blocks_.size(), "block");
  return *blocks_[static_cast<size_t>(index)];
}

int CGlBlockArray::AddNew() { return Add(std::make_unique<CGlBlock>()); }

int CGlBlockArray::Add(std::unique_ptr<CGlBlock> block) {
  if (!block) ThrowInvalidArgument("block list: no block to add");
  blocks_.push_back(std::move(block));
  return GetSize() - 1;
}

void CGlBlockArray::RemoveAt(long long index) {
  CheckIndex(index, blocks_.size(), "block");
  blocks_.erase(blocks_.begin() + index);
}

void CGlBlockArray::Copy(const CGlBlockArray& source) {
  const int n = source.GetSize();
  blocks_.reserve(blocks_.size() + static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    auto block = std::make_unique<CGlBlock>();
    block->CopyBlock(*source.blocks_[static_cast<size_t>(i)], block->inserts);
    blocks_.push_back(std::move(block));
  }
}

int CGlBlockArray::FindMatchingTitle(const std::string& path, int start) const {
  const std::string title = FileString::Title(path);
  for (int i = start < 0 ? 0 : start; i < GetSize(); ++i) {
    if (FileString::Title(blocks_[static_cast<size_t>(i)]->name) == title) return i;
  }
  return -1;
}

bool CGlBlockArray::Purge(CGlInsertArray& inserts) {
  std::vector<uint8_t> used;
  inserts.FindUsed(*this, used);
  std::vector<int32_t> map(used.size(), -1);
  int32_t next = 0;
  for (size_t i = 0; i < used.size(); ++i) {
    if (used[i]) map[i] = next++;
  }
  if (next == GetSize()) return false;
  inserts.RenumberBlocks(map);
  for (auto& block : blocks_) block->inserts.RenumberBlocks(map);
  for (size_t i = used.size(); i > 0; --i) {
    if (!used[i - 1]) blocks_.erase(blocks_.begin() + static_cast<long>(i - 1));
  }
  return true;
}

void CGlBlockArray::ReplaceTexturesFromMaterials(CGlMipArray& textures, const CGlMaterialArray& materials) {
  for (auto& block : blocks_) block->faces.ReplaceTexturesFromMaterials(textures, materials);
}

void CGlBlockArray::CreateTextureCoordsFromRGB(CGlMaterialArray& materials, const std::string& name) {
  for (auto& block : blocks_) block->faces.CreateTextureCoordsFromRGB(materials, name);
}

}  // namespace lapforge
