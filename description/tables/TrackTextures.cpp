#include "description/tables/TrackTextures.h"

#include <cstring>

#include "support/TextFormat.h"

namespace lapforge {

const _vars_track_material& CTrackMaterialArray::GetAt(int i) const {
  CheckIndex(i, items_.size(), "CTrackMaterialArray::GetAt");
  return items_[static_cast<size_t>(i)];
}

void CTrackMaterialArray::SetAt(int i, const _vars_track_material& v) {
  CheckIndex(i, items_.size(), "CTrackMaterialArray::SetAt");
  items_[static_cast<size_t>(i)] = v;
  Invalidate();
}

int CTrackMaterialArray::Add(const _vars_track_material& v) {
  items_.push_back(v);
  int i = GetSize() - 1;
  // Appending keeps the indexes valid: an existing key keeps its first index.
  if (indexed_) Index(i);
  return i;
}

void CTrackMaterialArray::RemoveAt(int i) {
  CheckIndex(i, items_.size(), "CTrackMaterialArray::RemoveAt");
  items_.erase(items_.begin() + i);
  Invalidate();
}

void CTrackMaterialArray::RemoveAll() {
  items_.clear();
  byName_.clear();
  byTexGrip_.clear();
  nextCounter_.clear();
  indexed_ = true;
}

std::string CTrackMaterialArray::TexGripKey(const std::string& mapName, int grip) {
  std::string key = ToLower(mapName);
  char g[sizeof grip + 1];
  g[0] = '\0';
  std::memcpy(g + 1, &grip, sizeof grip);
  key.append(g, sizeof g);
  return key;
}

void CTrackMaterialArray::Index(int i) const {
  const _vars_track_material& m = items_[static_cast<size_t>(i)];
  byName_.emplace(ToLower(m.name), i);
  byTexGrip_.emplace(TexGripKey(m.mapName, m.grip), i);
}

void CTrackMaterialArray::EnsureIndexed() const {
  if (indexed_) return;
  byName_.clear();
  byTexGrip_.clear();
  nextCounter_.clear();
  byName_.reserve(items_.size());
  byTexGrip_.reserve(items_.size());
  for (int i = 0; i < GetSize(); ++i) Index(i);
  indexed_ = true;
}

int CTrackMaterialArray::Find(const std::string& name) const {
  EnsureIndexed();
  return byName_.count(ToLower(name)) ? 1 : 0;
}

int CTrackMaterialArray::Lookup(const std::string& name, _vars_track_material& out) const {
  EnsureIndexed();
  auto it = byName_.find(ToLower(name));
  if (it == byName_.end()) return 0;
  out = items_[static_cast<size_t>(it->second)];
  return 1;
}

int CTrackMaterialArray::FindTexAndGrip(const std::string& mapName, int grip, std::string& name) const {
  EnsureIndexed();
  auto it = byTexGrip_.find(TexGripKey(mapName, grip));
  if (it == byTexGrip_.end()) return 0;
  name = items_[static_cast<size_t>(it->second)].name;
  return 1;
}

std::string CTrackMaterialArray::NextFreeName(const std::string& base) const {
  EnsureIndexed();
  // Names are only ever added while the indexes are valid, so every counter
  // below the remembered one is still taken.
  int& counter = nextCounter_[ToLower(base)];
  if (counter < 1) counter = 1;
  for (;; ++counter) {
    std::string name = StrFormat("%s%2.2d", base.c_str(), counter);
    if (!byName_.count(ToLower(name))) return name;
  }
}

}  // namespace lapforge
