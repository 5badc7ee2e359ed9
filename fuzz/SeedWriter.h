// The frame of the seed programs: each seed goes into the corpus folder
// named on the command line, and the program says how many it wrote and
// fails when any could not be written.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "support/FileIO.h"

namespace lapforge {

class CSeedWriter {
 public:
  explicit CSeedWriter(std::string folder) : folder_(std::move(folder)) {}

  // Writes one seed; built false counts it as wanted and not written.
  void Put(const std::string& name, const std::vector<uint8_t>& bytes, bool built = true) {
    ++wanted_;
    if (built && ReplaceFile(JoinPath(folder_, name), bytes)) ++written_;
  }

  // Reports the count; the exit code of the program.
  int Finish() const {
    std::printf("%d seeds written\n", written_);
    return written_ == wanted_ ? 0 : 1;
  }

 private:
  std::string folder_;
  int written_ = 0, wanted_ = 0;
};

}  // namespace lapforge
