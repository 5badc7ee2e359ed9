#include "support/OutputCheck.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "support/FileIO.h"
#include "support/System.h"

namespace lapforge {

namespace {

constexpr char kNothingWritten[] = "; nothing was written";

std::string Canonical(const std::string& path) {
  std::error_code ec;
  std::filesystem::path p = std::filesystem::weakly_canonical(std::filesystem::absolute(sys::PathOf(path), ec), ec);
  return ec ? path : sys::TextOf(p);
}

struct Input {
  std::string path;
  bool exists = false;
  uint64_t device = 0;
  uint64_t inode = 0;
  std::string canonical;
};

}  // namespace

Result CheckOutputs(const std::vector<std::string>& inputs, const std::vector<std::string>& outputs) {
  std::vector<Input> read;
  read.reserve(inputs.size());
  for (const std::string& path : inputs) {
    if (path.empty()) continue;
    Input in;
    in.path = path;
    sys::FileInfo st;
    if (sys::Stat(path, st)) {
      in.exists = true;
      in.device = st.device;
      in.inode = st.inode;
    } else {
      in.canonical = Canonical(path);
    }
    read.push_back(std::move(in));
  }
  for (const std::string& out : outputs) {
    if (out.empty()) continue;
    OutputTarget target;
    std::string reason;
    if (!ResolveOutput(out, target, reason))
      return Result::Fail(Status::Refused, "Could not write file '" + out + "': " + reason + kNothingWritten, out);
    // The file is made in its folder (a new one, or the temporary file
    // that replaces the old one), so the folder must be there and take it.
    size_t end = target.path.size();
    while (end > 0 && !sys::IsSeparator(target.path[end - 1])) --end;
    std::string folder = target.path.substr(0, end);
    if (folder.empty()) folder = ".";
    if (!sys::CanCreateIn(folder))
      return Result::Fail(Status::Refused,
                          "Could not create file '" + out + "': " + std::strerror(errno) + kNothingWritten, out);
    const std::string canonical = target.exists ? std::string() : Canonical(target.path);
    for (const Input& in : read) {
      // Without an identity (Windows could not open the file to ask for
      // its index) two existing files are compared by their canonical paths.
      const bool known = in.inode != 0 && target.inode != 0;
      const bool same = !target.exists ? !in.exists && in.canonical == canonical
                        : !in.exists   ? false
                        : known        ? in.device == target.device && in.inode == target.inode
                                       : Canonical(in.path) == Canonical(target.path);
      if (same)
        return Result::Fail(Status::Refused,
                            "The output '" + out + "' is the input '" + in.path + "'" + kNothingWritten, out);
    }
  }
  return Result::Ok();
}

std::vector<OutputStamp> StampExisting(const std::vector<std::string>& paths) {
  std::vector<OutputStamp> stamps;
  for (const std::string& path : paths) {
    sys::FileInfo st;
    if (sys::Stat(path, st) && st.kind == sys::Kind::Regular) stamps.push_back({path, st.device, st.inode});
  }
  return stamps;
}

std::vector<std::string> ReplacedSince(const std::vector<OutputStamp>& stamps) {
  std::vector<std::string> replaced;
  for (const OutputStamp& s : stamps) {
    sys::FileInfo st;
    if (sys::Stat(s.path, st) && (st.device != s.device || st.inode != s.inode)) replaced.push_back(s.path);
  }
  return replaced;
}

std::string ReplacedLines(const std::vector<std::string>& replaced) {
  if (replaced.empty()) return {};
  std::string text = replaced.size() == 1 ? "\nThis file was replaced:" : "\nThese files were replaced:";
  for (const std::string& path : replaced) text += "\n" + path;
  return text;
}

}  // namespace lapforge
