// Whole-file reads and safe file replacement. Every output that replaces a
// user's file goes through ReplaceFile: the bytes go to a temporary file in
// the same folder, which is then renamed over the target, so a failed write
// never leaves a half-written file behind.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/Result.h"

namespace lapforge {

// The largest file ReadWholeFile reads unless told otherwise: 1 GiB.
inline constexpr uint64_t kMaxReadBytes = uint64_t(1) << 30;

// Reads a whole file. On failure the result (CannotRead) says why, naming
// the file. Only regular files are read (a device or
// a pipe, such as /dev/zero, could be endless), and none larger than
// maxBytes.
Result ReadWholeFile(const std::string& path, std::vector<uint8_t>& out, uint64_t maxBytes = kMaxReadBytes);
Result ReadWholeFile(const std::string& path, std::string& out, uint64_t maxBytes = kMaxReadBytes);

// What an output path names once its symlinks are followed.
struct OutputTarget {
  std::string path;     // the name that is written: the end of the link chain
  bool exists = false;  // a regular file stands there (false: a new name)
  uint32_t mode = 0;    // its permission bits, when it exists
  uint64_t device = 0;  // and its identity (sys::FileInfo)
  uint64_t inode = 0;
};

// Follows the symlinks of an output path (a relative link from its own
// folder) to the name that is to be written. Only a regular file or a new
// name can be written: anything else (a folder, a device, a FIFO, a socket,
// an endless chain of links) gives false, with reason saying what stands
// there ("it is a FIFO", "it leads to '/dev/null', which is a character
// device").
bool ResolveOutput(const std::string& path, OutputTarget& target, std::string& reason);

// Writes bytes to path through a temporary file and a rename. Fails
// (CannotWrite) when the file could not be written; the old file, if any,
// is then unchanged. A symlink is followed and its target replaced (the
// link stays); an existing file keeps its permission bits; anything but a
// regular file or a new name is refused (ResolveOutput).
Result ReplaceFile(const std::string& path, const void* data, size_t size);
// The same for a file made of several pieces written one after the other,
// so that a large file need not be gathered in memory first.
Result ReplaceFile(const std::string& path, std::initializer_list<std::string_view> pieces);
inline Result ReplaceFile(const std::string& path, std::string_view text) {
  return ReplaceFile(path, text.data(), text.size());
}
inline Result ReplaceFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  return ReplaceFile(path, bytes.data(), bytes.size());
}

class CScratchFile;

// A file written piece by piece and put in place of path only when it is
// complete: the bytes go to a temporary file beside the target (as
// ReplaceFile's), pieces may be patched later at their offsets, and
// Commit syncs it and renames it over the target. A file never committed
// is removed when the object goes. Open follows ResolveOutput.
class CReplacingFile {
 public:
  CReplacingFile() = default;
  CReplacingFile(const CReplacingFile&) = delete;
  CReplacingFile& operator=(const CReplacingFile&) = delete;
  ~CReplacingFile();

  Result Open(const std::string& path);
  // Appends bytes at the end; a failure is kept and given by Commit.
  void Append(const void* data, size_t size);
  void Append(std::string_view bytes) { Append(bytes.data(), bytes.size()); }
  // Writes bytes over those already appended at offset (a header patched
  // once its lengths are known).
  void Patch(uint64_t offset, const void* data, size_t size);
  // Appends the whole of a scratch file, or size bytes of it from offset.
  void AppendFile(CScratchFile& scratch);
  void AppendFile(CScratchFile& scratch, uint64_t offset, uint64_t size);
  uint64_t Size() const { return size_; }
  // Syncs the file (unless told not to: see SyncFolder), closes it and
  // renames it over the target.
  Result Commit(bool sync = true);
  // Commit in two steps, for files put in place together
  // (CReplacingBatch): Close syncs the temporary file (when told) and
  // closes it, PutInPlace renames it over the target. A file closed but not
  // put in place is removed when the object goes.
  Result Close(bool sync);
  Result PutInPlace();
  // The name written once links are followed (set by Open).
  const std::string& Target() const { return target_; }

 private:
  Result Fail(const char* verb, int error);
  std::string path_, tmp_, target_;
  int fd_ = -1;
  bool closed_ = false;  // closed, its temporary file waiting to be put in place
  uint64_t size_ = 0;
  int error_ = 0;
};

// Files put in place together: each is written whole to its temporary
// file beside its target as it comes and closed without a sync of its own;
// Commit writes them all to the disk at once (one flush of the file
// system where the system has it, else each file is synced as it is
// written) and then renames each over its target in the order written. So
// no target is replaced before its bytes are on the disk, and a run of many
// small files waits on the disk once rather than once a file. The files
// not committed are removed when the batch goes.
class CReplacingBatch {
 public:
  CReplacingBatch();
  CReplacingBatch(const CReplacingBatch&) = delete;
  CReplacingBatch& operator=(const CReplacingBatch&) = delete;
  ~CReplacingBatch();

  // Writes the file's temporary file; a failure (the file then left out)
  // is given here.
  Result Write(const std::string& path, const void* data, size_t size);
  Result Write(const std::string& path, const std::vector<uint8_t>& bytes) {
    return Write(path, bytes.data(), bytes.size());
  }
  // Puts every file written in place, in order; the paths of those that
  // could not be, each with its failure.
  std::vector<std::pair<std::string, Result>> Commit();

 private:
  std::vector<std::pair<std::string, std::unique_ptr<CReplacingFile>>> files_;
  bool flushEach_;
};

// An unnamed file for bytes that wait their turn (the index data of a glTF
// buffer that follows all vertices): it lives in folder, so that copying
// it into a file there stays within one file system, and disappears when
// the object goes.
class CScratchFile {
 public:
  CScratchFile() = default;
  CScratchFile(const CScratchFile&) = delete;
  CScratchFile& operator=(const CScratchFile&) = delete;
  ~CScratchFile();
  Result Open(const std::string& folder);
  void Append(const void* data, size_t size);
  uint64_t Size() const { return size_; }
  int Error() const { return error_; }
  int Descriptor() const { return fd_; }

 private:
  int fd_ = -1;
  uint64_t size_ = 0;
  int error_ = 0;
};

// Flushes a folder's entries (the renames made in it) to the disk.
Result SyncFolder(const std::string& folder);

bool FileExists(const std::string& path);

// Finds a file named name (compared without regard to case) in folder and
// returns its real path, or empty text when there is none. The folder is
// used as given; an exact match is preferred.
std::string FindFileNoCase(const std::string& folder, const std::string& name);
// Finds a file by a path relative to folder ('\' and '/' separate its
// parts; a leading separator starts at the root), every part compared
// without regard to case, and returns its real path, or empty text.
std::string FindPathNoCase(const std::string& folder, const std::string& relative);

// Joins a folder and a file name with '/', unless the folder already ends in
// a separator or is empty.
std::string JoinPath(const std::string& folder, const std::string& name);

}  // namespace lapforge
