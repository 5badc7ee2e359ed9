// The outcome of an operation of the core that can fail: reading or writing
// a file, converting a track. The core returns it and never shows it; the
// conversion driver (roads/) shows a failure through the user-interface port,
// with the caption that fits its status. The message is the whole text shown
// to the user; the file and byte offset repeat where the fault lies, for
// callers that want to point at it.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace lapforge {

enum class Status {
  Ok,
  CannotRead,   // a file could not be opened or read (missing, a folder, too large)
  CannotWrite,  // an output could not be created, written or renamed into place
  Refused,      // an output was refused before anything was written
  Damaged,      // a file's bytes do not have the layout of its kind
  WrongKind,    // a file of another kind, or one without what was asked for
  Unsupported,  // a kind or variant of a format this program does not handle
  Invalid,      // an input that cannot be turned into the output (a bad row, no track)
  Failed,       // any other failure, out of memory among them
};

struct [[nodiscard]] Result {
  Status status = Status::Ok;
  std::string file;     // the file the fault lies in, when known
  uint64_t offset = 0;  // the byte of that file where it was found, when known
  std::string message;  // the text shown for a failure
  // Where in the input the failure arose, in words (a description row and
  // its values), shown on its own after the message; often empty.
  std::string where;
  // Things noticed on the way that do not stop the operation, in order;
  // shown before the failure, if any.
  std::vector<std::string> warnings;

  explicit operator bool() const { return status == Status::Ok; }
  const std::string& Text() const { return message; }

  static Result Ok() { return Result(); }
  static Result Fail(Status status, std::string message, std::string file = {}, uint64_t offset = 0) {
    Result r;
    r.status = status;
    r.message = std::move(message);
    r.file = std::move(file);
    r.offset = offset;
    return r;
  }

  // The same failure with its message prefixed (the step that failed).
  Result Prefixed(const std::string& prefix) && {
    message.insert(0, prefix);
    return std::move(*this);
  }
};

}  // namespace lapforge
