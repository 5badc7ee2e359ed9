#include "mesh/GlMaterialArray.h"

#include "mesh/GlBlockArray.h"
#include "mesh/GlFaceArray.h"
#include "mesh/GlMipArray.h"
#include "support/FileString.h"
#include "support/TextFormat.h"

namespace lapforge {

bool CGlMaterialArray::Lookup(const std::string& name, int& index) const {
  auto it = byName_.find(name);
  if (it == byName_.end()) return false;
  index = it->second;
  return true;
}

int CGlMaterialArray::Add(const CGlMaterial& material) {
  CGlMaterial copy = material;
  if (copy.shader.shaderName.empty() && match_) match_(copy.shader);
  if (EqualsNoCase(copy.materialName, kCollisionName)) copy.diffuse = {1.0f, 0.0f, 0.0f, 0.3f};
  const int index = CGlArray<CGlMaterial>::Add(std::move(copy));
  byName_[items_.back().materialName] = index;
  return index;
}

int CGlMaterialArray::LookupAdd(const CGlMaterial& material) {
  int index = -1;
  if (Lookup(material.materialName, index)) return index;
  return Add(material);
}

int CGlMaterialArray::AddByTexName(const std::string& path) {
  CGlMaterial material;
  material.materialName = FileString::Title(path);
  material.SetMapName(path);
  return LookupAdd(material);
}

int CGlMaterialArray::AddRGBMapMaterial(const std::string& folder) {
  int index = -1;
  if (Lookup(kRGBMapName, index)) return index;
  CGlMaterial material;
  material.materialName = kRGBMapName;
  std::string path = folder;
  if (!path.empty() && !FileString::IsSeparator(path.back())) path += '/';
  material.SetMapName(path + kRGBMapFile);
  return Add(material);
}

void CGlMaterialArray::ClearUsed() {
  for (CGlMaterial& m : items_) m.used = 0;
}

void CGlMaterialArray::MarkUsed(const CGlFaceArray& faces) {
  for (const CGlFace& f : faces) {
    if (f.deleted || f.materialIndex < 0) continue;
    Get(f.materialIndex).used = 1;
  }
}

void CGlMaterialArray::MarkUsed(const CGlFaceArray& faces, std::vector<uint8_t>& table) const {
  table.assign(items_.size(), 0);
  for (const CGlFace& f : faces) {
    if (f.deleted || f.materialIndex < 0) continue;
    CheckIndex(f.materialIndex, items_.size(), "material used by a face");
    table[static_cast<size_t>(f.materialIndex)] = 1;
  }
}

bool CGlMaterialArray::PurgeMaterials(CGlFaceArray& faces, CGlBlockArray& blocks) {
  std::vector<uint8_t> used, blockUsed;
  MarkUsed(faces, used);
  for (int b = 0; b < blocks.GetSize(); ++b) {
    MarkUsed(blocks[b].faces, blockUsed);
    for (size_t m = 0; m < used.size(); ++m) used[m] |= blockUsed[m];
  }
  std::vector<int32_t> map(used.size(), -1);
  int32_t next = 0;
  for (size_t m = 0; m < used.size(); ++m) {
    if (used[m]) map[m] = next++;
  }
  if (next == static_cast<int32_t>(used.size())) return false;
  faces.RenumberMaterials(map);
  for (int b = 0; b < blocks.GetSize(); ++b) blocks[b].faces.RenumberMaterials(map);
  for (size_t m = used.size(); m > 0; --m) {
    if (!used[m - 1]) items_.erase(items_.begin() + static_cast<long>(m - 1));
  }
  RebuildMap();
  return true;
}

void CGlMaterialArray::CreateFromMips(const CGlMipArray& mips) {
  for (const CGlMip& mip : mips) {
    CGlMaterial material;
    material.SetMapName(ToLower(mip.mipName));
    material.materialName = FileString::Title(mip.mipName);
    Add(material);
  }
}

void CGlMaterialArray::AddMaterialArray(const CGlMaterialArray& source, CGlFaceArray& faces) {
  AddMaterialArray(source, faces, 0, faces.GetSize());
}

void CGlMaterialArray::AddMaterialArray(const CGlMaterialArray& source, CGlFaceArray& faces, int firstFace,
                                        int endFace) {
  if (firstFace < 0) firstFace = 0;
  if (endFace > faces.GetSize()) endFace = faces.GetSize();
  std::vector<uint8_t> used(source.size(), 0);
  for (int i = firstFace; i < endFace; ++i) {
    const CGlFace& f = faces.data()[i];
    if (f.deleted || f.materialIndex < 0) continue;
    CheckIndex(f.materialIndex, source.size(), "material used by a face");
    used[static_cast<size_t>(f.materialIndex)] = 1;
  }
  // The source may be this array: copy each entry before it can move.
  std::vector<int32_t> map(used.size(), -1);
  for (size_t m = 0; m < used.size(); ++m) {
    if (!used[m]) continue;
    const CGlMaterial material = source.items_[m];
    map[m] = LookupAdd(material);
  }
  for (int i = firstFace; i < endFace; ++i) {
    CGlFace& f = faces.data()[i];
    if (!f.deleted && f.materialIndex >= 0) f.materialIndex = map[static_cast<size_t>(f.materialIndex)];
  }
}

void CGlMaterialArray::RemoveAll() {
  items_.clear();
  byName_.clear();
}

void CGlMaterialArray::RebuildMap() {
  byName_.clear();
  for (size_t i = 0; i < items_.size(); ++i) byName_[items_[i].materialName] = static_cast<int>(i);
}

}  // namespace lapforge
