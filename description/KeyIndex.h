// Maps integer keys to values. Keys of a dataset are mostly the
// auto-increment numbers 0, 1, 2 ..., so small non-negative keys live in a
// plain array indexed by the key and only the others in a hash map: no
// allocation per key for the common case, and lookups without hashing.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace lapforge {

template <typename V>
class CKeyIndex {
 public:
  // The value of a key, or nullptr.
  V* Find(int64_t key) {
    if (IsDense(key)) {
      size_t k = static_cast<size_t>(key);
      return k < dense_.size() && used_[k] ? &dense_[k] : nullptr;
    }
    auto it = sparse_.find(key);
    return it == sparse_.end() ? nullptr : &it->second;
  }
  const V* Find(int64_t key) const { return const_cast<CKeyIndex*>(this)->Find(key); }
  bool Contains(int64_t key) const { return Find(key) != nullptr; }

  // The value of a key, made (value-initialised) when missing.
  V& Get(int64_t key) {
    if (IsDense(key) || (key >= 0 && static_cast<uint64_t>(key) < DenseLimit())) {
      size_t k = static_cast<size_t>(key);
      if (k >= dense_.size()) {
        size_t n = dense_.size() < 64 ? 64 : dense_.size();
        while (n <= k) n *= 2;
        dense_.resize(n);
        used_.resize(n, 0);
        // Keys held in the map that the array now covers move over, so
        // each key has exactly one place.
        for (auto it = sparse_.begin(); it != sparse_.end();) {
          if (it->first >= 0 && static_cast<uint64_t>(it->first) < n) {
            dense_[static_cast<size_t>(it->first)] = std::move(it->second);
            used_[static_cast<size_t>(it->first)] = 1;
            it = sparse_.erase(it);
          } else {
            ++it;
          }
        }
      }
      if (!used_[k]) {
        used_[k] = 1;
        ++count_;
      }
      return dense_[k];
    }
    auto [it, added] = sparse_.try_emplace(key);
    if (added) ++count_;
    return it->second;
  }

  void Erase(int64_t key) {
    if (IsDense(key)) {
      size_t k = static_cast<size_t>(key);
      if (k < dense_.size() && used_[k]) {
        used_[k] = 0;
        dense_[k] = V();
        --count_;
      }
      return;
    }
    count_ -= sparse_.erase(key);
  }

  void Clear() {
    dense_.clear();
    used_.clear();
    sparse_.clear();
    count_ = 0;
  }
  size_t Count() const { return count_; }

 private:
  // A key is held densely when the array already covers it; otherwise the
  // array may grow to it while it stays within a few times the key count,
  // so a stray huge key never allocates a huge array.
  bool IsDense(int64_t key) const { return key >= 0 && static_cast<uint64_t>(key) < dense_.size(); }
  uint64_t DenseLimit() const { return 4 * (static_cast<uint64_t>(count_) + 256); }

  std::vector<V> dense_;
  std::vector<uint8_t> used_;
  std::unordered_map<int64_t, V> sparse_;
  size_t count_ = 0;
};

}  // namespace lapforge
