#include "support/Errors.h"

#include <new>
#include <utility>

namespace lapforge {

void ThrowInvalidArgument(const std::string& what) { throw CInvalidArgument(what); }

void ThrowIndexOutOfRange(long long index, size_t count, const char* where) {
  ThrowInvalidArgument(std::string(where) + ": index " + std::to_string(index) + " out of range (count " +
                       std::to_string(count) + ")");
}

namespace {

thread_local CWorkStep* innermost = nullptr;
// The innermost step an exception left, until a handler reads it or a new
// piece of work begins.
thread_local std::string leftByException;

}  // namespace

CWorkStep::CWorkStep(std::string what)
    : what_(std::move(what)), outer_(innermost), exceptions_(std::uncaught_exceptions()) {
  // A step that begins means an earlier failure was dealt with.
  leftByException.clear();
  innermost = this;
}

CWorkStep::~CWorkStep() {
  innermost = outer_;
  // Unwinding leaves the innermost step first; the outer ones keep its name.
  if (std::uncaught_exceptions() > exceptions_) {
    if (leftByException.empty()) leftByException = what_;
  } else {
    leftByException.clear();
  }
}

std::string CWorkStep::Current() { return innermost ? innermost->what_ : std::string(); }

std::string ErrorText(const std::exception& e) {
  std::string step = std::exchange(leftByException, std::string());
  if (!dynamic_cast<const std::bad_alloc*>(&e)) return e.what();
  if (step.empty()) step = CWorkStep::Current();
  return step.empty() ? "out of memory" : "out of memory while " + step;
}

}  // namespace lapforge
