// File titles made from names a description gives (block and scenery
// titles), before they are joined to an output folder: only letters,
// digits, '-' and '_' (anything else, separators, dots and control
// characters included, becomes '_'), never empty, never a device name of
// the games' platform, at most a given length, and unique within one
// export regardless of letter case (a repeat gets "_2", "_3", ...).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace lapforge {

class CSafeFileTitles {
 public:
  explicit CSafeFileTitles(size_t maxLength) : maxLength_(maxLength < 8 ? 8 : maxLength) {}

  // The title for the next name, in the order the files are made. An empty
  // name becomes "Obj" and its four-digit number among the names given.
  std::string Next(std::string_view name);

 private:
  size_t maxLength_;
  int count_ = 0;
  std::unordered_set<std::string> used_;             // lower-cased
  std::unordered_map<std::string, int> nextNumber_;  // lower-cased base -> next repeat number
};

}  // namespace lapforge
