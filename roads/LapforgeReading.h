// The files a driver operation reads, recorded for the length of a scope so
// that the roads it calls refuse an output that is one of them.
#pragma once

#include <string>
#include <vector>

#include "roads/Lapforge.h"

namespace lapforge {

class CLapforge::ReadingScope {
 public:
  ReadingScope(CLapforge& driver, const std::vector<std::string>& files)
      : driver_(driver), size_(driver.inputs_.size()) {
    driver.inputs_.insert(driver.inputs_.end(), files.begin(), files.end());
  }
  ~ReadingScope() { driver_.inputs_.resize(size_); }
  ReadingScope(const ReadingScope&) = delete;
  ReadingScope& operator=(const ReadingScope&) = delete;

 private:
  CLapforge& driver_;
  size_t size_;
};

}  // namespace lapforge
