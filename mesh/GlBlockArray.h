// The blocks of a model, owned through the array; inserts refer to them by
// position.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "mesh/GlBlock.h"

namespace lapforge {

class CGlInsertArray;
class CGlMaterialArray;
class CGlMipArray;

class CGlBlockArray {
 public:
  int GetSize() const { return static_cast<int>(blocks_.size()); }
  bool InBounds(long long index) const { return index >= 0 && index < GetSize(); }
  CGlBlock& Get(long long index);
  const CGlBlock& Get(long long index) const;
  CGlBlock& operator[](long long index) { return Get(index); }
  const CGlBlock& operator[](long long index) const { return Get(index); }
  // Appends a new empty block and returns its index.
  int AddNew();
  int Add(std::unique_ptr<CGlBlock> block);
  void RemoveAt(long long index);
  void RemoveAll() { blocks_.clear(); }

  void Copy(const CGlBlockArray& source);
  int FindMatchingTitle(const std::string& path, int start) const;
  bool Purge(CGlInsertArray& inserts);
  void ReplaceTexturesFromMaterials(CGlMipArray& textures, const CGlMaterialArray& materials);
  void CreateTextureCoordsFromRGB(CGlMaterialArray& materials, const std::string& name);

 private:
  std::vector<std::unique_ptr<CGlBlock>> blocks_;
};

}  // namespace lapforge
