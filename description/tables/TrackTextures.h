// The surface texture, wall texture and material tables that carry an
// imported track's (surface code, texture index) pairs between the importers,
// the track model and the description. Arrays hold records by value.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "support/Errors.h"

namespace lapforge {

// One surface texture use.
struct VARS_TRACK_TRACTION_TEX {
  uint16_t grip = 1;  // surface code
  int32_t firstSection = 0;
  int32_t textureIndex = -1;
  int32_t gripOverride = -1;
  uint16_t raceType = 0;
  double repeatLength = 0;
  double repeatWidth = 0;
  int16_t clampHint = 0;
  std::string tex;   // texture name (a material name once the material table is built)
  std::string tex2;  // second name, carried only
  int16_t r90 = 0;
  int32_t contourFlag = 1;
  float longPos = 0;  // metres; where the texture was seen, for the material's LLE text
  float latPos = 0;
};

// One wall texture use.
struct VARS_TRACK_WALL_TEX {
  uint16_t grip = 0;  // surface code
  int32_t textureIndex = -1;
  int32_t gripOverride = -1;
  uint16_t raceType = 0;
  double width = 0;
  double height = 0;
  int32_t vertical = 0;
  float maxTexV = 1;
  float minTexV = 0;
  int32_t reserved = 0;
  uint16_t catchFence = 0;
  double repeatLength = 0;
  uint16_t repeatModulus = 0;
  int32_t firstSection = 0;
  float longPos = 0;  // metres
  float latPos = 0;
  std::string texLeft;
  std::string texRight;
  std::string texTop;
  std::string texEnd;
  std::string tex5;  // fifth name, carried only
};

// One material of the track.
struct _vars_track_material {
  std::string name;     // lower-case
  std::string mapName;  // texture file name, letter case kept
  std::string comment;
  int16_t transparency = 0;
  int32_t grip = 0;     // surface code
  std::string texLine;  // line of the texture list file
  std::string lle;      // "LLE long lat height" or empty
};

// A dynamic array of records with checked index access.
template <typename T>
class CTrackRecordArray {
 public:
  int GetSize() const { return static_cast<int>(items_.size()); }
  bool IsEmpty() const { return items_.empty(); }
  const T& GetAt(int i) const;
  const T& operator[](int i) const { return GetAt(i); }
  void SetAt(int i, const T& v);
  int Add(const T& v) {
    items_.push_back(v);
    return GetSize() - 1;
  }
  void InsertAt(int i, const T& v);
  void RemoveAt(int i);
  void RemoveAll() { items_.clear(); }
  void Reserve(int n) { items_.reserve(n > 0 ? static_cast<size_t>(n) : 0); }
  // Sorts the records, equal ones keeping their order.
  template <typename Less>
  void StableSort(Less less) {
    std::stable_sort(items_.begin(), items_.end(), less);
  }

  typename std::vector<T>::const_iterator begin() const { return items_.begin(); }
  typename std::vector<T>::const_iterator end() const { return items_.end(); }
  // Mutable element access for in-place updates.
  T& ElementAt(int i);

 protected:
  std::vector<T> items_;
};

template <typename T>
const T& CTrackRecordArray<T>::GetAt(int i) const {
  CheckIndex(i, items_.size(), "CTrackRecordArray::GetAt");
  return items_[static_cast<size_t>(i)];
}
template <typename T>
T& CTrackRecordArray<T>::ElementAt(int i) {
  CheckIndex(i, items_.size(), "CTrackRecordArray::ElementAt");
  return items_[static_cast<size_t>(i)];
}
template <typename T>
void CTrackRecordArray<T>::SetAt(int i, const T& v) {
  ElementAt(i) = v;
}
template <typename T>
void CTrackRecordArray<T>::InsertAt(int i, const T& v) {
  CheckIndex(i, items_.size() + 1, "CTrackRecordArray::InsertAt");
  items_.insert(items_.begin() + i, v);
}
template <typename T>
void CTrackRecordArray<T>::RemoveAt(int i) {
  CheckIndex(i, items_.size(), "CTrackRecordArray::RemoveAt");
  items_.erase(items_.begin() + i);
}

using CTrackTractionTexArray = CTrackRecordArray<VARS_TRACK_TRACTION_TEX>;
using CTrackWallTexArray = CTrackRecordArray<VARS_TRACK_WALL_TEX>;

// The material list. Lookups by name and by (map name, surface code) go
// through indexes kept beside the records, so building a table of many
// thousands of materials stays linear; results are those of a scan from the
// first record (the first match wins).
class CTrackMaterialArray {
 public:
  int GetSize() const { return static_cast<int>(items_.size()); }
  bool IsEmpty() const { return items_.empty(); }
  const _vars_track_material& GetAt(int i) const;
  const _vars_track_material& operator[](int i) const { return GetAt(i); }
  void SetAt(int i, const _vars_track_material& v);
  int Add(const _vars_track_material& v);
  void RemoveAt(int i);
  void RemoveAll();
  void Reserve(int n) { items_.reserve(n > 0 ? static_cast<size_t>(n) : 0); }

  typename std::vector<_vars_track_material>::const_iterator begin() const { return items_.begin(); }
  typename std::vector<_vars_track_material>::const_iterator end() const { return items_.end(); }

  // 1 when a material has this name (without regard to case), else 0.
  int Find(const std::string& name) const;
  // 1 and a copy of the first material with this name, else 0.
  int Lookup(const std::string& name, _vars_track_material& out) const;
  // 1 and the name of the first material with this map name (without regard
  // to case) and surface code, else 0.
  int FindTexAndGrip(const std::string& mapName, int grip, std::string& name) const;
  // The first of base01, base02 ... ("%s%2.2d") that no material has.
  std::string NextFreeName(const std::string& base) const;

 private:
  void Invalidate() { indexed_ = false; }
  void Index(int i) const;
  void EnsureIndexed() const;
  static std::string TexGripKey(const std::string& mapName, int grip);

  std::vector<_vars_track_material> items_;
  // Lower-cased name -> first index; (lower-cased map name, grip) -> first index.
  mutable std::unordered_map<std::string, int> byName_;
  mutable std::unordered_map<std::string, int> byTexGrip_;
  // Per base word, a counter below which every generated name is taken.
  mutable std::unordered_map<std::string, int> nextCounter_;
  mutable bool indexed_ = true;
};

}  // namespace lapforge
