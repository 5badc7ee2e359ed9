// The growable, contiguous, index-addressed container that every mesh list
// is built on. Element access outside 0..count-1 raises the program's one
// invalid-argument error; the raw storage stays available for hot loops.
#pragma once

#include <cstdint>
#include <vector>

#include "support/Errors.h"

namespace lapforge {

template <typename T>
class CGlArray {
 public:
  int GetSize() const { return static_cast<int>(items_.size()); }
  int GetCount() const { return GetSize(); }
  bool IsEmpty() const { return items_.empty(); }
  bool InBounds(long long index) const { return index >= 0 && index < static_cast<long long>(items_.size()); }

  T& Get(long long index) {
    CheckIndex(index, items_.size(), "element access");
    return items_[static_cast<size_t>(index)];
  }
  const T& Get(long long index) const {
    CheckIndex(index, items_.size(), "element access");
    return items_[static_cast<size_t>(index)];
  }
  T& operator[](long long index) { return Get(index); }
  const T& operator[](long long index) const { return Get(index); }
  T& GetAt(long long index) { return Get(index); }
  const T& GetAt(long long index) const { return Get(index); }
  void SetAt(long long index, const T& value) { Get(index) = value; }

  // Appends a copy and returns its index.
  int Add(const T& value) {
    items_.push_back(value);
    return GetSize() - 1;
  }
  int Add(T&& value) {
    items_.push_back(std::move(value));
    return GetSize() - 1;
  }
  void Append(const CGlArray& other) { items_.insert(items_.end(), other.items_.begin(), other.items_.end()); }
  void InsertAt(long long index, const T& value) {
    if (index != GetSize()) CheckIndex(index, items_.size(), "insert");
    items_.insert(items_.begin() + index, value);
  }
  void RemoveAt(long long index, int count = 1) {
    CheckIndex(index, items_.size(), "remove");
    if (count < 0 || index + count > GetSize()) ThrowInvalidArgument("remove: count out of range");
    items_.erase(items_.begin() + index, items_.begin() + index + count);
  }
  void RemoveAll() { items_.clear(); }
  void SetSize(long long count) {
    if (count < 0) ThrowInvalidArgument("SetSize: negative count");
    items_.resize(static_cast<size_t>(count));
  }
  void Reserve(long long count) {
    if (count > 0) items_.reserve(static_cast<size_t>(count));
  }

  T* data() { return items_.data(); }
  const T* data() const { return items_.data(); }
  size_t size() const { return items_.size(); }
  bool empty() const { return items_.empty(); }
  auto begin() { return items_.begin(); }
  auto end() { return items_.end(); }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

  std::vector<T>& Items() { return items_; }
  const std::vector<T>& Items() const { return items_; }

 protected:
  std::vector<T> items_;
};

}  // namespace lapforge
