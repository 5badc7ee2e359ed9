#include "support/FileIO.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

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
  // Opened without blocking, so that a pipe without a writer cannot hang
  // the open; only a regular file is read.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0)
    return Result::Fail(Status::CannotRead, "Could not open file '" + path + "': " + std::strerror(errno), path);
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    Result failed = CannotRead(path, std::strerror(errno));
    ::close(fd);
    return failed;
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    return CannotRead(path, S_ISDIR(st.st_mode) ? "it is a folder" : "it is not a regular file");
  }
  if (static_cast<uint64_t>(st.st_size) > maxBytes) {
    ::close(fd);
    return TooLarge(path, maxBytes);
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  if (st.st_size > 0) out.reserve(static_cast<size_t>(st.st_size));
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

const char* KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a regular file";
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
    struct stat st {};
    if (::lstat(current.c_str(), &st) != 0) {
      if (errno != ENOENT) {
        reason = std::strerror(errno);
        return false;
      }
      // A new name (also the missing end of a link): created on write; a
      // missing folder is reported then.
      target.path = current;
      return true;
    }
    if (S_ISLNK(st.st_mode)) {
      if (links == kMaxLinks) {
        reason = std::strerror(ELOOP);
        return false;
      }
      std::string link(static_cast<size_t>(st.st_size > 0 ? st.st_size : 256) + 1, '\0');
      ssize_t n = ::readlink(current.c_str(), link.data(), link.size());
      if (n < 0) {
        reason = std::strerror(errno);
        return false;
      }
      link.resize(static_cast<size_t>(n));
      current = link.front() == '/' ? link : FolderOf(current) + link;
      continue;
    }
    if (!S_ISREG(st.st_mode)) {
      reason = current == path ? std::string("it is ") + KindOf(st.st_mode)
                               : "it leads to '" + current + "', which is " + KindOf(st.st_mode);
      return false;
    }
    target.path = current;
    target.exists = true;
    target.mode = st.st_mode & 07777;
    target.device = st.st_dev;
    target.inode = st.st_ino;
    return true;
  }
}

namespace {

// Writes all of data at the descriptor's position (offset < 0) or at
// offset; 0 or the error.
int WriteAll(int fd, const char* p, size_t left, int64_t offset = -1) {
  while (left > 0) {
    const ssize_t n = offset < 0 ? ::write(fd, p, left) : ::pwrite(fd, p, left, static_cast<off_t>(offset));
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    p += n;
    left -= static_cast<size_t>(n);
    if (offset >= 0) offset += n;
  }
  return 0;
}

}  // namespace

CReplacingFile::~CReplacingFile() {
  if (fd_ < 0) return;
  ::close(fd_);
  ::unlink(tmp_.c_str());
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
  fd_ = ::open(tmp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd_ < 0) return Fail("create", errno);
  if (target.exists) ::fchmod(fd_, target.mode);
  return Result::Ok();
}

void CReplacingFile::Append(const void* data, size_t size) {
  if (fd_ < 0 || error_ != 0) return;
  error_ = WriteAll(fd_, static_cast<const char*>(data), size);
  size_ += size;
}

void CReplacingFile::Patch(uint64_t offset, const void* data, size_t size) {
  if (fd_ < 0 || error_ != 0) return;
  error_ = WriteAll(fd_, static_cast<const char*>(data), size, static_cast<int64_t>(offset));
}

void CReplacingFile::AppendFile(CScratchFile& scratch) {
  if (fd_ < 0 || error_ != 0) return;
  if (scratch.Error() != 0) {
    error_ = scratch.Error();
    return;
  }
  // Copied inside the kernel; where the file system cannot, through memory.
  off_t from = 0;
  uint64_t left = scratch.Size();
  while (left > 0) {
    const ssize_t n = ::copy_file_range(scratch.Descriptor(), &from, fd_, nullptr, left, 0);
    if (n > 0) {
      left -= static_cast<uint64_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP) {
      error_ = errno;
      return;
    }
    std::vector<char> buffer(size_t(1) << 20);
    while (left > 0) {
      const ssize_t r = ::pread(scratch.Descriptor(), buffer.data(), std::min<uint64_t>(left, buffer.size()), from);
      if (r < 0 && errno == EINTR) continue;
      if (r <= 0) {
        error_ = r < 0 ? errno : EIO;
        return;
      }
      if ((error_ = WriteAll(fd_, buffer.data(), static_cast<size_t>(r))) != 0) return;
      from += r;
      left -= static_cast<uint64_t>(r);
    }
  }
  size_ += scratch.Size();
}

Result CReplacingFile::Commit(bool sync) {
  if (fd_ < 0) return Fail("write", EBADF);
  // The descriptor is closed also when the sync fails (a full disk).
  int failure = error_;
  if (failure == 0 && sync && ::fsync(fd_) != 0) failure = errno;
  if (::close(fd_) != 0 && failure == 0) failure = errno;
  fd_ = -1;
  if (failure != 0) {
    ::unlink(tmp_.c_str());
    return Fail("write", failure);
  }
  if (std::rename(tmp_.c_str(), target_.c_str()) != 0) {
    Result failed = Fail("replace", errno);
    ::unlink(tmp_.c_str());
    return failed;
  }
  return Result::Ok();
}

CScratchFile::~CScratchFile() {
  if (fd_ >= 0) ::close(fd_);
}

Result CScratchFile::Open(const std::string& folder) {
  const std::string where = folder.empty() ? std::string(".") : folder;
  fd_ = ::open(where.c_str(), O_RDWR | O_TMPFILE | O_CLOEXEC, 0600);
  if (fd_ < 0) {
    // A file system without unnamed files: a named one, removed at once.
    static std::mt19937_64 rng{std::random_device{}()};
    const std::string name =
        JoinPath(where, StrFormat(".scratch%08llx", static_cast<unsigned long long>(rng() & 0xffffffffu)));
    fd_ = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd_ >= 0) ::unlink(name.c_str());
  }
  if (fd_ < 0)
    return Result::Fail(Status::CannotWrite,
                        "Could not create a scratch file in '" + where + "': " + std::strerror(errno), where);
  return Result::Ok();
}

void CScratchFile::Append(const void* data, size_t size) {
  if (fd_ < 0 || error_ != 0) return;
  error_ = WriteAll(fd_, static_cast<const char*>(data), size);
  size_ += size;
}

Result SyncFolder(const std::string& folder) {
  const std::string where = folder.empty() ? std::string(".") : folder;
  const int fd = ::open(where.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return Result::Fail(Status::CannotWrite, "Could not open folder '" + where + "': " + std::strerror(errno));
  const int failure = ::fsync(fd) != 0 ? errno : 0;
  ::close(fd);
  if (failure != 0)
    return Result::Fail(Status::CannotWrite, "Could not sync folder '" + where + "': " + std::strerror(failure));
  return Result::Ok();
}

Result ReplaceFile(const std::string& path, std::initializer_list<std::string_view> pieces) {
  CReplacingFile file;
  if (Result opened = file.Open(path); !opened) return opened;
  for (std::string_view piece : pieces) file.Append(piece);
  return file.Commit();
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  char last = folder.back();
  if (last == '/' || last == '\\') return folder + name;
  return folder + "/" + name;
}

namespace {

bool IsFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The entry of folder named name without regard to case that passes
// accept (a regular file, a folder), the exact name first.
std::string FindEntryNoCase(const std::string& folder, const std::string& name, bool (*accept)(const std::string&)) {
  std::string exact = JoinPath(folder, name);
  if (accept(exact)) return exact;
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return {};
  std::string found;
  while (dirent* e = ::readdir(dir)) {
    if (EqualsNoCase(e->d_name, name)) {
      std::string candidate = JoinPath(folder, e->d_name);
      if (accept(candidate)) {
        found = candidate;
        break;
      }
    }
  }
  ::closedir(dir);
  return found;
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
