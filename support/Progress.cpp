#include "support/Progress.h"

#include "support/System.h"

namespace lapforge {

namespace {

std::FILE* TerminalStderr() { return sys::IsTerminal(stderr) ? stderr : nullptr; }

}  // namespace

CProgress::CProgress(std::string label, long long total) : CProgress(std::move(label), total, TerminalStderr()) {}

CProgress::CProgress(std::string label, long long total, std::FILE* sink)
    : label_(std::move(label)), total_(total), sink_(sink) {}

CProgress::~CProgress() {
  if (sink_ && shown_ >= 0) {
    std::fputc('\n', sink_);
    std::fflush(sink_);
  }
}

void CProgress::Set(long long done) {
  done_ = done;
  if (!sink_) return;
  const long long total = total_ > 0 ? total_ : 1;
  const long long clamped = done < 0 ? 0 : (done > total ? total : done);
  const int percent = static_cast<int>(clamped * 100 / total);
  if (percent == shown_) return;
  shown_ = percent;
  std::fprintf(sink_, "\r%s: %3d%%", label_.c_str(), percent);
  std::fflush(sink_);
}

}  // namespace lapforge
