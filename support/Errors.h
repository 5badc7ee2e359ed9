// The program's error types: one invalid-argument error for out-of-range
// indices and bad arguments, and a format error for damaged input files;
// and the text a caught error is shown with, which for running out of
// memory names the step the command was in.
#pragma once

#include <cstddef>
#include <exception>
#include <stdexcept>
#include <string>

namespace lapforge {

// Raised for an index outside a dynamic array or another argument that the
// operation cannot work with. It ends the current command.
class CInvalidArgument : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

[[noreturn]] void ThrowInvalidArgument(const std::string& what);

[[noreturn]] void ThrowIndexOutOfRange(long long index, size_t count, const char* where);

// Checks an index against a count, raising CInvalidArgument when outside.
// The check is inline and cheap; the message is built out of line.
inline void CheckIndex(long long index, size_t count, const char* where) {
  if (index < 0 || static_cast<unsigned long long>(index) >= count) [[unlikely]]
    ThrowIndexOutOfRange(index, count, where);
}

// A binary or text input that does not have the layout its reader expects.
// The message names the file (when known) and what was wrong.
class CFormatError : public std::runtime_error {
 public:
  CFormatError(const std::string& what, size_t offset) : std::runtime_error(what), offset_(offset) {}
  size_t Offset() const { return offset_; }

 private:
  size_t offset_;
};

// What a command is doing, named for the failure that cannot say so itself:
// running out of memory. A step lives for a scope; when an exception leaves
// it, the innermost step left is kept for the handler that catches the
// exception (ErrorText), since the steps are gone by the time it runs.
class CWorkStep {
 public:
  // what: "meshing the track", "writing track.gmt".
  explicit CWorkStep(std::string what);
  ~CWorkStep();
  CWorkStep(const CWorkStep&) = delete;
  CWorkStep& operator=(const CWorkStep&) = delete;

  // The innermost step in progress; empty outside any.
  static std::string Current();

 private:
  std::string what_;
  CWorkStep* outer_;
  int exceptions_;  // exceptions in flight when the step began
};

// The text to show for a caught exception: "out of memory while <step>"
// (the step the exception left, else the one in progress) for a failed
// allocation, otherwise the exception's own text.
std::string ErrorText(const std::exception& e);

}  // namespace lapforge
