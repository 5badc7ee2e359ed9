// The check every command makes before it writes: each file it is about to
// write must be a regular file or a new name (a symlink counts as its
// target), in a folder that is there and takes new files, and none may be one of the
// files the command reads (companions included), else nothing is written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/Result.h"

namespace lapforge {

// Ok when every output may be written. Otherwise Refused, the message
// naming the first output refused and why, ending "nothing was written".
// An output is the same file as an input when both exist with the same
// device and inode, or when their canonical paths are equal. Empty names
// are skipped.
Result CheckOutputs(const std::vector<std::string>& inputs, const std::vector<std::string>& outputs);

// An existing output before a run and its identity. A replacement (a new
// file renamed over it) gives the name another identity, so that after a
// failure the files the run had already replaced can be named.
struct OutputStamp {
  std::string path;
  uint64_t device = 0;  // identity as sys::FileInfo gives it
  uint64_t inode = 0;
};
// The stamps of those of paths that name an existing file now.
std::vector<OutputStamp> StampExisting(const std::vector<std::string>& paths);
// The stamped files that have been replaced since, in stamp order.
std::vector<std::string> ReplacedSince(const std::vector<OutputStamp>& stamps);
// The lines a failure message ends with to name the files the run had
// already replaced ("This file was replaced:" and one per line); empty for
// none.
std::string ReplacedLines(const std::vector<std::string>& replaced);

}  // namespace lapforge
