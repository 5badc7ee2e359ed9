#include "mesh/GlMipArray.h"

#include "mesh/GlFaceArray.h"
#include "mesh/GlMaterial.h"
#include "support/FileString.h"
#include "support/TextFormat.h"

namespace lapforge {

std::string CGlMipArray::NormaliseTitle(const std::string& title) {
  std::string t = ToLower(title);
  const size_t sep = FileString::LastSeparator(t);
  if (sep != std::string::npos) t.erase(0, sep + 1);
  const size_t dot = t.find('.', 1);
  if (dot != std::string::npos) t.erase(dot);
  return t;
}

bool CGlMipArray::Lookup(const std::string& title, int& index) const {
  auto it = byTitle_.find(title);
  if (it == byTitle_.end()) return false;
  index = it->second;
  return true;
}

int CGlMipArray::Add(const CGlMip& mip) {
  const int index = CGlArray<CGlMip>::Add(mip);
  byTitle_[mip.mipTitle] = index;
  return index;
}

int CGlMipArray::LookupAdd(CGlMip mip) {
  mip.mipTitle = NormaliseTitle(mip.mipTitle);
  int index = -1;
  if (Lookup(mip.mipTitle, index)) return index;
  return Add(mip);
}

int CGlMipArray::AddFromMaterial(const CGlMaterial& material) {
  int index = -1;
  if (Lookup(material.mapTitle, index)) return index;
  CGlMip mip;
  mip.mipFileName = material.mapTitle;
  mip.mipTitle = material.mapTitle;
  mip.mipName = material.mapName;
  return Add(mip);
}

void CGlMipArray::ClearUsed() {
  for (CGlMip& m : items_) m.used = 0;
}

void CGlMipArray::MarkUsed(const CGlFaceArray& faces) {
  for (const CGlFace& f : faces) {
    if (f.deleted || f.mipIndex < 0) continue;
    Get(f.mipIndex).used = 1;
  }
}

void CGlMipArray::MarkUsed(const CGlFaceArray& faces, std::vector<uint8_t>& table) const {
  table.assign(items_.size(), 0);
  for (const CGlFace& f : faces) {
    if (f.deleted || f.mipIndex < 0) continue;
    CheckIndex(f.mipIndex, items_.size(), "texture used by a face");
    table[static_cast<size_t>(f.mipIndex)] = 1;
  }
}

void CGlMipArray::AddMipArray(const CGlMipArray& source, CGlFaceArray& faces) {
  std::vector<uint8_t> used;
  source.MarkUsed(faces, used);
  std::vector<int32_t> map(used.size(), -1);
  for (size_t m = 0; m < used.size(); ++m) {
    if (!used[m]) continue;
    const CGlMip mip = source.items_[m];
    map[m] = LookupAdd(mip);
  }
  const long long n = static_cast<long long>(map.size());
  for (CGlFace& f : faces) {
    if (!f.deleted && f.mipIndex >= 0) f.mipIndex = map[static_cast<size_t>(f.mipIndex)];
  }
  // Lists of the merged faces follow their faces.
  for (CGlTriangles& t : faces.triangleLists) {
    if (t.mipIndex >= 0 && t.mipIndex < n && map[static_cast<size_t>(t.mipIndex)] >= 0) {
      t.mipIndex = map[static_cast<size_t>(t.mipIndex)];
    }
  }
}

void CGlMipArray::RemoveAll() {
  items_.clear();
  byTitle_.clear();
}

}  // namespace lapforge
