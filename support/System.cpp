#include "support/System.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <io.h>
#include <windows.h>
// after <windows.h>, whose types it uses
#include <shellapi.h>
#else
#include <dirent.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace lapforge::sys {

namespace {

// Appends size bytes of from at offset to to through a buffer in memory.
int CopyThroughMemory(int from, uint64_t offset, int to, uint64_t size) {
  std::vector<char> buffer(static_cast<size_t>(std::min<uint64_t>(size, uint64_t(1) << 20)));
  while (size > 0) {
    const int64_t r = ReadAt(from, buffer.data(), static_cast<size_t>(std::min<uint64_t>(size, buffer.size())), offset);
    if (r <= 0) return r < 0 ? errno : EIO;
    if (const int failure = WriteAll(to, buffer.data(), static_cast<size_t>(r)); failure != 0) return failure;
    offset += static_cast<uint64_t>(r);
    size -= static_cast<uint64_t>(r);
  }
  return 0;
}

}  // namespace

#ifdef _WIN32

namespace {

std::wstring Wide(const std::string& text) {
  if (text.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

std::string Utf8(const wchar_t* text, size_t size) {
  if (size == 0) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(size), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(size), out.data(), n, nullptr, nullptr);
  return out;
}

std::string Utf8(const std::wstring& text) { return Utf8(text.data(), text.size()); }

// errno for the last failed call of the Windows API.
void SetErrnoFromSystem() {
  switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
      errno = ENOENT;
      break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
      errno = EACCES;
      break;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      errno = EEXIST;
      break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      errno = ENOSPC;
      break;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      errno = ENOMEM;
      break;
    default:
      errno = EIO;
  }
}

Kind KindOf(unsigned short mode) {
  if ((mode & _S_IFMT) == _S_IFREG) return Kind::Regular;
  if ((mode & _S_IFMT) == _S_IFDIR) return Kind::Folder;
  if ((mode & _S_IFMT) == _S_IFCHR) return Kind::CharDevice;
  if ((mode & _S_IFMT) == _S_IFIFO) return Kind::Fifo;
  return Kind::Other;
}

// The volume serial number and file index of an open file.
void IdentityOf(HANDLE handle, FileInfo& info) {
  BY_HANDLE_FILE_INFORMATION id{};
  if (handle == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(handle, &id)) return;
  info.device = id.dwVolumeSerialNumber;
  info.inode = (uint64_t{id.nFileIndexHigh} << 32) | id.nFileIndexLow;
}

}  // namespace

bool Stat(const std::string& path, FileInfo& info, bool) {
  info = FileInfo();
  // The C library finds no folder named with a separator at its end
  // ("out/"), unless it is a root ("/", "C:\").
  std::string bare = path;
  while (bare.size() > 1 && IsSeparator(bare.back()) && !(bare.size() == 3 && bare[1] == ':')) bare.pop_back();
  struct _stat64 st {};
  const std::wstring name = Wide(bare);
  if (_wstat64(name.c_str(), &st) != 0) return false;
  info.kind = KindOf(st.st_mode);
  info.size = static_cast<uint64_t>(st.st_size);
  info.mode = st.st_mode & 0777;
  if (info.kind == Kind::Regular || info.kind == Kind::Folder) {
    HANDLE h = CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    IdentityOf(h, info);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
  return true;
}

bool ReadLink(const std::string&, std::string&) {
  errno = EINVAL;
  return false;
}

int OpenForRead(const std::string& path, FileInfo& info) {
  info = FileInfo();
  const int fd = _wopen(Wide(path).c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
  if (fd < 0) return -1;
  struct _stat64 st {};
  if (_fstat64(fd, &st) != 0) {
    const int failure = errno;
    _close(fd);
    errno = failure;
    return -1;
  }
  info.kind = KindOf(st.st_mode);
  info.size = static_cast<uint64_t>(st.st_size);
  info.mode = st.st_mode & 0777;
  return fd;
}

int CreateNew(const std::string& path, uint32_t) {
  return _wopen(Wide(path).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
}

void SetMode(int, uint32_t) {}

int WriteAll(int fd, const void* data, size_t size, int64_t offset) {
  const int64_t back = offset >= 0 ? _lseeki64(fd, 0, SEEK_CUR) : -1;
  if (offset >= 0 && (back < 0 || _lseeki64(fd, offset, SEEK_SET) < 0)) return errno;
  const char* p = static_cast<const char*>(data);
  int failure = 0;
  while (size > 0) {
    // At most 1 GiB a call: the count is 32-bit.
    const int n = _write(fd, p, static_cast<unsigned>(std::min<size_t>(size, size_t{1} << 30)));
    if (n < 0) {
      failure = errno;
      break;
    }
    p += n;
    size -= static_cast<size_t>(n);
  }
  if (offset >= 0 && _lseeki64(fd, back, SEEK_SET) < 0 && failure == 0) failure = errno;
  return failure;
}

int64_t ReadAt(int fd, void* data, size_t size, uint64_t offset) {
  const int64_t back = _lseeki64(fd, 0, SEEK_CUR);
  if (back < 0 || _lseeki64(fd, static_cast<int64_t>(offset), SEEK_SET) < 0) return -1;
  const int n = _read(fd, data, static_cast<unsigned>(std::min<size_t>(size, size_t{1} << 30)));
  const int failure = errno;
  _lseeki64(fd, back, SEEK_SET);
  errno = failure;
  return n;
}

int CopyRange(int from, uint64_t offset, int to, uint64_t size) { return CopyThroughMemory(from, offset, to, size); }

int CreateScratch(const std::string& folder) {
  // Named for the moment it is open: the system removes it on close.
  static unsigned counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name =
        folder + "\\.scratch" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
    const int fd = _wopen(Wide(name).c_str(), _O_RDWR | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT | _O_TEMPORARY,
                          _S_IREAD | _S_IWRITE);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

bool FlushFolder(const std::string&) { return true; }

bool Flush(int fd) { return _commit(fd) == 0; }

void StartWriteback(int, uint64_t, uint64_t) {}

bool FlushFileSystem(const std::string&) {
  errno = ENOSYS;
  return false;
}

bool CanFlushFileSystem() { return false; }

bool ReplaceName(const std::string& from, const std::string& to) {
  if (MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  SetErrnoFromSystem();
  return false;
}

bool Remove(const std::string& path) { return _wunlink(Wide(path).c_str()) == 0; }

bool MakeFolder(const std::string& path) { return _wmkdir(Wide(path).c_str()) == 0; }

bool CanCreateIn(const std::string& folder) {
  // The C library's access() knows no X_OK and reads only the read-only
  // attribute; a folder that exists is taken as writable, and the write
  // itself reports a refusal.
  FileInfo info;
  if (!Stat(folder, info)) return false;
  if (info.kind != Kind::Folder) {
    errno = ENOTDIR;
    return false;
  }
  return true;
}

std::vector<std::string> FolderNames(const std::string& folder) {
  std::vector<std::string> names;
  std::string pattern = folder.empty() ? std::string(".") : folder;
  if (!IsSeparator(pattern.back())) pattern += '\\';
  WIN32_FIND_DATAW found{};
  HANDLE h = FindFirstFileW(Wide(pattern + "*").c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = Utf8(found.cFileName, wcslen(found.cFileName));
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileW(h, &found));
  FindClose(h);
  return names;
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

std::filesystem::path PathOf(const std::string& utf8) { return std::filesystem::path(Wide(utf8)); }

std::string TextOf(const std::filesystem::path& path) { return Utf8(path.native()); }

std::string Environment(const char* name) {
  const wchar_t* value = _wgetenv(Wide(name).c_str());
  return value ? Utf8(value, wcslen(value)) : std::string();
}

int OpenLocked(const std::string& path) {
  const int fd = _wopen(Wide(path).c_str(), _O_RDWR | _O_CREAT | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
  if (fd < 0) return -1;
  OVERLAPPED at{};
  HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  if (!LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &at)) {
    SetErrnoFromSystem();
    const int failure = errno;
    _close(fd);
    errno = failure;
    return -1;
  }
  return fd;
}

void Unlock(int fd) {
  OVERLAPPED at{};
  UnlockFileEx(reinterpret_cast<HANDLE>(_get_osfhandle(fd)), 0, MAXDWORD, MAXDWORD, &at);
  _close(fd);
}

bool IsTerminal(std::FILE* stream) {
  DWORD mode = 0;
  return GetConsoleMode(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream))), &mode) != 0;
}

double FreeMemory() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  if (!GlobalMemoryStatusEx(&status)) return -1;
  return static_cast<double>(status.ullAvailPhys);
}

namespace {

UINT consoleCodePage = 0;

void RestoreConsole() { SetConsoleOutputCP(consoleCodePage); }

}  // namespace

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  // The console shows the program's UTF-8 while it runs, and its own code
  // page again afterwards.
  if (!consoleCodePage && (consoleCodePage = GetConsoleOutputCP()) != 0 && consoleCodePage != CP_UTF8) {
    SetConsoleOutputCP(CP_UTF8);
    std::atexit(RestoreConsole);
  }
  int n = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &n);
  std::vector<std::string> args;
  if (!wide) {
    for (int i = 0; i < argc; ++i) args.emplace_back(argv[i]);
    return args;
  }
  for (int i = 0; i < n; ++i) args.push_back(Utf8(wide[i], wcslen(wide[i])));
  LocalFree(wide);
  return args;
}

#else  // POSIX

namespace {

Kind KindOf(mode_t mode) {
  if (S_ISREG(mode)) return Kind::Regular;
  if (S_ISDIR(mode)) return Kind::Folder;
  if (S_ISLNK(mode)) return Kind::Link;
  if (S_ISCHR(mode)) return Kind::CharDevice;
  if (S_ISBLK(mode)) return Kind::BlockDevice;
  if (S_ISFIFO(mode)) return Kind::Fifo;
  if (S_ISSOCK(mode)) return Kind::Socket;
  return Kind::Other;
}

void Fill(const struct stat& st, FileInfo& info) {
  info.kind = KindOf(st.st_mode);
  info.size = st.st_size > 0 ? static_cast<uint64_t>(st.st_size) : 0;
  info.mode = st.st_mode & 07777;
  info.device = static_cast<uint64_t>(st.st_dev);
  info.inode = static_cast<uint64_t>(st.st_ino);
}

}  // namespace

bool Stat(const std::string& path, FileInfo& info, bool followLinks) {
  info = FileInfo();
  struct stat st {};
  if ((followLinks ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st)) != 0) return false;
  Fill(st, info);
  return true;
}

bool ReadLink(const std::string& path, std::string& text) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return false;
  std::string link(static_cast<size_t>(st.st_size > 0 ? st.st_size : 256) + 1, '\0');
  ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
  if (n < 0) return false;
  link.resize(static_cast<size_t>(n));
  text = std::move(link);
  return true;
}

int OpenForRead(const std::string& path, FileInfo& info) {
  info = FileInfo();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    const int failure = errno;
    ::close(fd);
    errno = failure;
    return -1;
  }
  Fill(st, info);
  if (info.kind == Kind::Regular) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

int CreateNew(const std::string& path, uint32_t mode) {
  return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, static_cast<mode_t>(mode));
}

void SetMode(int fd, uint32_t mode) { ::fchmod(fd, static_cast<mode_t>(mode)); }

int WriteAll(int fd, const void* data, size_t size, int64_t offset) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = offset < 0 ? ::write(fd, p, size) : ::pwrite(fd, p, size, static_cast<off_t>(offset));
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    p += n;
    size -= static_cast<size_t>(n);
    if (offset >= 0) offset += n;
  }
  return 0;
}

int64_t ReadAt(int fd, void* data, size_t size, uint64_t offset) {
  for (;;) {
    const ssize_t n = ::pread(fd, data, size, static_cast<off_t>(offset));
    if (n >= 0 || errno != EINTR) return n;
  }
}

int CopyRange(int from, uint64_t offset, int to, uint64_t size) {
#ifdef __linux__
  // Within the kernel; where the file system cannot, through memory.
  off_t at = static_cast<off_t>(offset);
  while (size > 0) {
    const ssize_t n = ::copy_file_range(from, &at, to, nullptr, size, 0);
    if (n > 0) {
      size -= static_cast<uint64_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP) return errno;
    break;
  }
  offset = static_cast<uint64_t>(at);
#endif
  return CopyThroughMemory(from, offset, to, size);
}

int CreateScratch(const std::string& folder) {
  int fd = -1;
#ifdef O_TMPFILE
  fd = ::open(folder.c_str(), O_RDWR | O_TMPFILE | O_CLOEXEC, 0600);
  if (fd >= 0) return fd;
#endif
  // A file system without unnamed files: a named one, removed at once.
  std::string name = folder + "/.scratchXXXXXX";
  fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd >= 0) ::unlink(name.c_str());
  return fd;
}

namespace {

// Opens the folder and hands it to sync (fsync: its entries; syncfs: its
// whole file system); false with errno set when either fails.
bool SyncThroughFolder(const std::string& folder, int (*sync)(int)) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const int failure = sync(fd) != 0 ? errno : 0;
  ::close(fd);
  errno = failure;
  return failure == 0;
}

}  // namespace

bool FlushFolder(const std::string& folder) { return SyncThroughFolder(folder, ::fsync); }

bool Flush(int fd) { return ::fsync(fd) == 0; }

void StartWriteback(int fd, uint64_t offset, uint64_t size) {
#ifdef __linux__
  ::sync_file_range(fd, static_cast<off_t>(offset), static_cast<off_t>(size), SYNC_FILE_RANGE_WRITE);
#else
  (void)fd, (void)offset, (void)size;
#endif
}

bool FlushFileSystem(const std::string& folder) {
#ifdef __linux__
  return SyncThroughFolder(folder, ::syncfs);
#else
  (void)folder;
  errno = ENOSYS;
  return false;
#endif
}

bool CanFlushFileSystem() {
#ifdef __linux__
  return true;
#else
  return false;
#endif
}

bool ReplaceName(const std::string& from, const std::string& to) { return std::rename(from.c_str(), to.c_str()) == 0; }

bool Remove(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool MakeFolder(const std::string& path) { return ::mkdir(path.c_str(), 0755) == 0; }

bool CanCreateIn(const std::string& folder) { return ::access(folder.c_str(), W_OK | X_OK) == 0; }

std::vector<std::string> FolderNames(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return names;
  while (dirent* e = ::readdir(dir)) {
    if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) names.emplace_back(e->d_name);
  }
  ::closedir(dir);
  return names;
}

bool IsSeparator(char c) { return c == '/'; }

std::filesystem::path PathOf(const std::string& utf8) { return std::filesystem::path(utf8); }

std::string TextOf(const std::filesystem::path& path) { return path.native(); }

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

int OpenLocked(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return -1;
  while (::flock(fd, LOCK_EX) != 0) {
    if (errno == EINTR) continue;
    const int failure = errno;
    ::close(fd);
    errno = failure;
    return -1;
  }
  return fd;
}

void Unlock(int fd) { ::close(fd); }

bool IsTerminal(std::FILE* stream) { return ::isatty(::fileno(stream)) != 0; }

double FreeMemory() {
  if (std::FILE* f = std::fopen("/proc/meminfo", "r")) {
    char line[256];
    double kib = -1;
    while (std::fgets(line, sizeof line, f))
      if (std::sscanf(line, "MemAvailable: %lf kB", &kib) == 1) break;
    std::fclose(f);
    if (kib >= 0) return kib * 1024.0;
  }
  const long pages = sysconf(_SC_AVPHYS_PAGES), size = sysconf(_SC_PAGESIZE);
  if (pages < 0 || size <= 0) return -1;
  return static_cast<double>(pages) * static_cast<double>(size);
}

std::vector<std::string> Utf8Arguments(int argc, char** argv) { return std::vector<std::string>(argv, argv + argc); }

#endif

}  // namespace lapforge::sys
