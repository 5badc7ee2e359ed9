// Progress of long work (meshing a big track, writing many blocks) shown on
// stderr as a percentage that rewrites its own line, only when stderr is a
// terminal: piped or redirected output stays free of it.
#pragma once

#include <cstdio>
#include <string>

namespace lapforge {

class CProgress {
 public:
  // Reports to stderr when it is a terminal, otherwise nowhere.
  CProgress(std::string label, long long total);
  // Reports to the given stream (nullptr: nowhere), whatever it is.
  CProgress(std::string label, long long total, std::FILE* sink);
  // Ends the line when something was shown.
  ~CProgress();
  CProgress(const CProgress&) = delete;
  CProgress& operator=(const CProgress&) = delete;

  // One more unit done; shows the percentage when it changed.
  void Step() { Set(done_ + 1); }
  void Set(long long done);
  bool Shown() const { return shown_ >= 0; }

 private:
  std::string label_;
  long long total_;
  long long done_ = 0;
  int shown_ = -1;  // last percentage written, -1 none
  std::FILE* sink_;
};

}  // namespace lapforge
