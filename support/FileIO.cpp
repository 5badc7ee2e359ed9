#include "support/FileIO.h"

#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "support/System.h"
#include "support/TextFormat.h"

namespace lapforge {

namespace {

Result TooLarge(const std::string& path, uint64_t maxBytes) {
  return Result::Fail(Status::CannotRead,
                      StrFormat("Could not read file '%s': it is larger than %llu bytes", path.c_str(),
                                static_cast<unsigned long long>(maxBytes)),
                      path);
}

Result CannotRead(const std::string& path, const std::string& why) {
  return Result::Fail(Status::CannotRead, "Could not read file '" + path + "': " + why, path);
}

template <typename Buffer>
Result ReadInto(const std::string& path, Buffer& out, uint64_t maxBytes) {
  out.clear();
  sys::FileInfo info;
  int fd = sys::OpenForRead(path, info);
  if (fd < 0)
    return Result::Fail(Status::CannotRead, "Could not open file '" + path + "': " + std::strerror(errno), path);
  if (info.kind != sys::Kind::Regular) {
    ::close(fd);
    return CannotRead(path, info.kind == sys::Kind::Folder ? "it is a folder" : "it is not a regular file");
  }
  if (info.size > maxBytes) {
    ::close(fd);
    return TooLarge(path, maxBytes);
  }
  if (info.size > 0) out.reserve(static_cast<size_t>(info.size));
  char buf[1 << 16];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      Result failed = CannotRead(path, std::strerror(errno));
      ::close(fd);
      return failed;
    }
    if (n == 0) break;
    // The file may grow while it is read.
    if (out.size() + static_cast<size_t>(n) > maxBytes) {
      ::close(fd);
      out.clear();
      return TooLarge(path, maxBytes);
    }
    out.insert(out.end(), buf, buf + n);
  }
  ::close(fd);
  return Result::Ok();
}

}  // namespace

Result ReadWholeFile(const std::string& path, std::vector<uint8_t>& out, uint64_t maxBytes) {
  return ReadInto(path, out, maxBytes);
}

Result ReadWholeFile(const std::string& path, std::string& out, uint64_t maxBytes) {
  return ReadInto(path, out, maxBytes);
}

Result ReplaceFile(const std::string& path, const void* data, size_t size) {
  return ReplaceFile(path, {std::string_view(static_cast<const char*>(data), size)});
}

namespace {

const char* KindText(sys::Kind kind) {
  switch (kind) {
    case sys::Kind::Folder:
      return "a folder";
    case sys::Kind::CharDevice:
      return "a character device";
    case sys::Kind::BlockDevice:
      return "a block device";
    case sys::Kind::Fifo:
      return "a FIFO";
    case sys::Kind::Socket:
      return "a socket";
    default:
      return "not a regular file";
  }
}

// The folder part of a path with its final '/', empty for a bare name.
std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// As many links as the system itself follows before it gives up (ELOOP).
constexpr int kMaxLinks = 40;

}  // namespace

bool ResolveOutput(const std::string& path, OutputTarget& target, std::string& reason) {
  target = OutputTarget();
  std::string current = path;
  for (int links = 0;; ++links) {
    sys::FileInfo st;
    if (!sys::Stat(current, st, false)) {
      if (errno != ENOENT) {
        reason = std::strerror(errno);
        return false;
      }
      // A new name (also the missing end of a link): created on write; a
      // missing folder is reported then.
      target.path = current;
      return true;
    }
    if (st.kind == sys::Kind::Link) {
      if (links == kMaxLinks) {
        reason = std::strerror(ELOOP);
        return false;
      }
      std::string link;
      if (!sys::ReadLink(current, link)) {
        reason = std::strerror(errno);
        return false;
      }
      current = link.front() == '/' ? link : FolderOf(current) + link;
      continue;
    }
    if (st.kind != sys::Kind::Regular) {
      reason = current == path ? std::string("it is ") + KindText(st.kind)
                               : "it leads to '" + current + "', which is " + KindText(st.kind);
      return false;
    }
    target.path = current;
    target.exists = true;
    target.mode = st.mode;
    target.device = st.device;
    target.inode = st.inode;
    return true;
  }
}

CReplacingFile::~CReplacingFile() {
  if (fd_ >= 0) {
    ::close(fd_);
    sys::Remove(tmp_);
  } else if (closed_) {
    sys::Remove(tmp_);
  }
}

Result CReplacingFile::Fail(const char* verb, int error) {
  return Result::Fail(Status::CannotWrite, std::string("Could not ") + verb + " file '" + path_ + "': " +
                                               std::strerror(error),
                      path_);
}

Result CReplacingFile::Open(const std::string& path) {
  path_ = path;
  OutputTarget target;
  std::string reason;
  if (!ResolveOutput(path, target, reason))
    return Result::Fail(Status::CannotWrite, "Could not write file '" + path + "': " + reason, path);
  // The temporary file sits beside the file it replaces, so that the rename
  // stays within one file system.
  static std::mt19937_64 rng{std::random_device{}()};
  target_ = target.path;
  tmp_ = target.path + StrFormat(".tmp%08llx", static_cast<unsigned long long>(rng() & 0xffffffffu));
  fd_ = sys::CreateNew(tmp_, 0644);
  if (fd_ < 0) return Fail("create", errno);
  if (target.exists) sys::SetMode(fd_, target.mode);
  return Result::Ok();
}

void CReplacingFile::Append(const void* data, size_t size) {
  if (fd_ < 0 || error_ != 0) return;
  error_ = sys::WriteAll(fd_, data, size);
  size_ += size;
}

void CReplacingFile::Patch(uint64_t offset, const void* data, size_t size) {
  if (fd_ < 0 || error_ != 0) return;
  error_ = sys::WriteAll(fd_, data, size, static_cast<int64_t>(offset));
}

void CReplacingFile::AppendFile(CScratchFile& scratch) { AppendFile(scratch, 0, scratch.Size()); }

void CReplacingFile::AppendFile(CScratchFile& scratch, uint64_t offset, uint64_t size) {
  if (fd_ < 0 || error_ != 0) return;
  if (scratch.Error() != 0)
    error_ = scratch.Error();
  else if (offset > scratch.Size() || size > scratch.Size() - offset)
    error_ = EINVAL;  // beyond what the scratch file holds: a fault of the caller
  else
    // In pieces, each started on its way to the disk as the next is
    // copied, so that the sync at the end waits for less.
    for (uint64_t done = 0; done < size && error_ == 0;) {
      const uint64_t piece = std::min<uint64_t>(size - done, uint64_t(64) << 20);
      error_ = sys::CopyRange(scratch.Descriptor(), offset + done, fd_, piece);
      sys::StartWriteback(fd_, size_ + done, piece);
      done += piece;
    }
  size_ += size;
}

Result CReplacingFile::Commit(bool sync) {
  if (Result closed = Close(sync); !closed) return closed;
  return PutInPlace();
}

Result CReplacingFile::Close(bool sync) {
  if (fd_ < 0) return Fail("write", EBADF);
  // The descriptor is closed also when the sync fails (a full disk).
  int failure = error_;
  if (failure == 0 && sync && !sys::Flush(fd_)) failure = errno;
  // Unsynced (a batch's file, flushed with the others at the end): its
  // bytes start on their way to the disk now, while the next are made.
  if (failure == 0 && !sync) sys::StartWriteback(fd_, 0, 0);
  if (::close(fd_) != 0 && failure == 0) failure = errno;
  fd_ = -1;
  if (failure != 0) {
    sys::Remove(tmp_);
    return Fail("write", failure);
  }
  closed_ = true;
  return Result::Ok();
}

Result CReplacingFile::PutInPlace() {
  if (!closed_) return Fail("write", EBADF);
  closed_ = false;
  if (!sys::ReplaceName(tmp_, target_)) {
    Result failed = Fail("replace", errno);
    sys::Remove(tmp_);
    return failed;
  }
  return Result::Ok();
}

CReplacingBatch::CReplacingBatch() : flushEach_(!sys::CanFlushFileSystem()) {}

CReplacingBatch::~CReplacingBatch() = default;

Result CReplacingBatch::Write(const std::string& path, const void* data, size_t size) {
  auto file = std::make_unique<CReplacingFile>();
  if (Result opened = file->Open(path); !opened) return opened;
  file->Append(data, size);
  if (Result closed = file->Close(flushEach_); !closed) return closed;
  files_.emplace_back(path, std::move(file));
  return Result::Ok();
}

std::vector<std::pair<std::string, Result>> CReplacingBatch::Commit() {
  std::vector<std::pair<std::string, Result>> failed;
  // One flush for the folder the files are written in (the folder of an
  // export), and one more for each other folder a link leads to.
  if (!flushEach_) {
    std::vector<std::string> folders;
    for (const auto& [path, file] : files_) {
      const std::string folder = FolderOf(file->Target());
      if (std::find(folders.begin(), folders.end(), folder) == folders.end()) folders.push_back(folder);
    }
    for (const std::string& folder : folders) {
      if (sys::FlushFileSystem(folder.empty() ? std::string(".") : folder)) continue;
      const int error = errno;
      // Nothing is put in place whose bytes may not be on the disk.
      for (auto& [path, file] : files_)
        failed.emplace_back(path, Result::Fail(Status::CannotWrite,
                                               "Could not write file '" + path + "': " + std::strerror(error), path));
      files_.clear();
      return failed;
    }
  }
  for (auto& [path, file] : files_)
    if (Result placed = file->PutInPlace(); !placed) failed.emplace_back(path, std::move(placed));
  files_.clear();
  return failed;
}

CScratchFile::~CScratchFile() {
  if (fd_ >= 0) ::close(fd_);
}

Result CScratchFile::Open(const std::string& folder) {
  const std::string where = folder.empty() ? std::string(".") : folder;
  fd_ = sys::CreateScratch(where);
  if (fd_ < 0)
    return Result::Fail(Status::CannotWrite,
                        "Could not create a scratch file in '" + where + "': " + std::strerror(errno), where);
  return Result::Ok();
}

void CScratchFile::Append(const void* data, size_t size) {
  if (fd_ < 0 || error_ != 0) return;
  error_ = sys::WriteAll(fd_, data, size);
  size_ += size;
}

Result SyncFolder(const std::string& folder) {
  const std::string where = folder.empty() ? std::string(".") : folder;
  if (!sys::FlushFolder(where))
    return Result::Fail(Status::CannotWrite, "Could not sync folder '" + where + "': " + std::strerror(errno));
  return Result::Ok();
}

Result ReplaceFile(const std::string& path, std::initializer_list<std::string_view> pieces) {
  CReplacingFile file;
  if (Result opened = file.Open(path); !opened) return opened;
  for (std::string_view piece : pieces) file.Append(piece);
  return file.Commit();
}

bool FileExists(const std::string& path) {
  sys::FileInfo info;
  return sys::Stat(path, info) && info.kind == sys::Kind::Regular;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  char last = folder.back();
  if (last == '/' || last == '\\') return folder + name;
  return folder + "/" + name;
}

namespace {

bool IsFolder(const std::string& path) {
  sys::FileInfo info;
  return sys::Stat(path, info) && info.kind == sys::Kind::Folder;
}

// The entry of folder named name without regard to case that passes
// accept (a regular file, a folder), the exact name first.
std::string FindEntryNoCase(const std::string& folder, const std::string& name, bool (*accept)(const std::string&)) {
#ifndef _WIN32
  // On Windows every name matches without regard to case: the listing
  // below gives the name as it is on disk.
  std::string exact = JoinPath(folder, name);
  if (accept(exact)) return exact;
#endif
  for (const std::string& entry : sys::FolderNames(folder)) {
    if (EqualsNoCase(entry, name)) {
      std::string candidate = JoinPath(folder, entry);
      if (accept(candidate)) return candidate;
    }
  }
  return {};
}

}  // namespace

std::string FindFileNoCase(const std::string& folder, const std::string& name) {
  return FindEntryNoCase(folder, name, FileExists);
}

std::string FindPathNoCase(const std::string& folder, const std::string& relative) {
  std::string at = folder;
  size_t start = 0;
  if (!relative.empty() && (relative[0] == '/' || relative[0] == '\\')) at = "/";
  for (;;) {
    size_t end = start;
    while (end < relative.size() && relative[end] != '/' && relative[end] != '\\') ++end;
    const std::string part = relative.substr(start, end - start);
    if (end == relative.size()) return part.empty() ? std::string() : FindFileNoCase(at, part);
    if (!part.empty()) {
      at = part == "." || part == ".." ? JoinPath(at, part) : FindEntryNoCase(at, part, IsFolder);
      if (at.empty()) return {};
    }
    start = end + 1;
  }
}

}  // namespace lapforge
