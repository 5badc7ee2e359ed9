// The program's error types: one invalid-argument error for out-of-range
// indices and bad arguments, and a format error for damaged input files.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

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
