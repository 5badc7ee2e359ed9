// The texture (mip) list shared by the blocks of one export, indexed by
// texture title.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "mesh/GlArray.h"
#include "mesh/GlMip.h"

namespace lapforge {

class CGlFaceArray;
class CGlMaterial;

class CGlMipArray : public CGlArray<CGlMip> {
 public:
  // Lower case, folder removed, and everything from the first '.' removed
  // when that dot stands after the first character.
  static std::string NormaliseTitle(const std::string& title);

  bool Lookup(const std::string& title, int& index) const;
  int Add(const CGlMip& mip);
  int LookupAdd(CGlMip mip);
  int AddFromMaterial(const CGlMaterial& material);
  void ClearUsed();
  void MarkUsed(const CGlFaceArray& faces);
  void MarkUsed(const CGlFaceArray& faces, std::vector<uint8_t>& table) const;
  void AddMipArray(const CGlMipArray& source, CGlFaceArray& faces);
  void RemoveAll();

 private:
  std::unordered_map<std::string, int> byTitle_;
};

}  // namespace lapforge
