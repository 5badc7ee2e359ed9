// A file written piece by piece and put in place at the end, for outputs
// too large to gather in memory first.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "support/Result.h"

namespace lapforge {

// A file replaced as ReplaceFile does, its bytes written as they are made:
// Open, Write any number of times, then Commit. A file that is not
// committed (a failed write, or the writer destroyed before) leaves the old
// file as it was and no temporary file behind.
class CReplacingFile {
 public:
  explicit CReplacingFile(std::string path) : path_(std::move(path)) {}
  ~CReplacingFile();
  CReplacingFile(const CReplacingFile&) = delete;
  CReplacingFile& operator=(const CReplacingFile&) = delete;

  Result Open();
  Result Write(std::string_view bytes);
  Result Commit();

 private:
  Result Cannot(const char* verb, int error);
  void Abandon();

  std::string path_, target_, tmp_;
  int fd_ = -1;
};

}  // namespace lapforge
