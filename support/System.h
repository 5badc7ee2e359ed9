// The calls into the operating system that differ between POSIX systems and
// Windows, on paths in UTF-8. On Windows every name is turned into UTF-16
// and given to the wide calls, files are opened in binary mode (the C
// library would otherwise turn LF into CRLF and stop reading at 0x1A) and a
// file is replaced with MoveFileExW, as rename cannot replace one there.
// <windows.h> is included by System.cpp only: it defines ReplaceFile and
// other names of the program as macros.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace lapforge::sys {

enum class Kind { Missing, Regular, Folder, Link, CharDevice, BlockDevice, Fifo, Socket, Other };

// What stands at a path.
struct FileInfo {
  Kind kind = Kind::Missing;
  uint64_t size = 0;
  uint32_t mode = 0;  // the permission bits
  // Which file it is: the device and inode, on Windows the volume serial
  // number and the file index (the C library's inode is always 0 there).
  uint64_t device = 0;
  uint64_t inode = 0;
};

// What stands at path, following symlinks unless told not to. False (with
// errno) when it cannot be told; a missing name gives false with ENOENT.
bool Stat(const std::string& path, FileInfo& info, bool followLinks = true);
// The text of a symlink (POSIX only; Windows has none for this program).
bool ReadLink(const std::string& path, std::string& text);

// Opens a file for reading, in binary mode, and says what it is. A FIFO
// without a writer does not hang the open; a regular file is then read
// with blocking calls. -1 (errno) when it could not be opened.
int OpenForRead(const std::string& path, FileInfo& info);
// Creates a new file for writing (binary; fails when the name exists).
int CreateNew(const std::string& path, uint32_t mode);
// Writes all of size bytes at the file's position, or at offset when it is
// not negative (the position then stays where it was). 0, or the error.
int WriteAll(int fd, const void* data, size_t size, int64_t offset = -1);
// Reads up to size bytes at offset, leaving the position alone: the count,
// 0 at the end, -1 (errno) on failure.
int64_t ReadAt(int fd, void* data, size_t size, uint64_t offset);
// Appends size bytes of the file from at offset from to the file to, within
// the kernel where the system can. 0, or the error.
int CopyRange(int from, uint64_t offset, int to, uint64_t size);
// A file for reading and writing in folder that has no name left (or loses
// it when closed) and so disappears when closed. -1 (errno) on failure.
int CreateScratch(const std::string& folder);
// Writes a folder's entries (the renames made in it) to the disk; true
// where the system has no such call.
bool FlushFolder(const std::string& folder);
// Gives an open file the permission bits mode (nothing on Windows).
void SetMode(int fd, uint32_t mode);
// Writes what the system holds of an open file to the disk.
bool Flush(int fd);
// Asks the system to start writing size bytes of the file from offset
// (0 bytes: to its end) to the disk without waiting for them, so that a
// later Flush or FlushFileSystem waits less. A hint: nothing where the
// system has no such call.
void StartWriteback(int fd, uint64_t offset, uint64_t size);
// Writes everything the system holds for the file system that holds folder
// to the disk, in one go. False (errno) on failure or where the system has
// no such call (then each file is to be flushed on its own).
bool FlushFileSystem(const std::string& folder);
// Whether FlushFileSystem is there on this system.
bool CanFlushFileSystem();
// Renames from to to, replacing a file already named to. False (errno).
bool ReplaceName(const std::string& from, const std::string& to);
bool Remove(const std::string& path);
bool MakeFolder(const std::string& path);
// Whether a new file can be made in folder. False (errno) when not.
bool CanCreateIn(const std::string& folder);
// The names in a folder (without "." and ".."), in the system's order.
std::vector<std::string> FolderNames(const std::string& folder);

// Whether a character separates the parts of a path: '/', and on Windows
// also '\'.
bool IsSeparator(char c);

// A path of the standard library from UTF-8 text, and back.
std::filesystem::path PathOf(const std::string& utf8);
std::string TextOf(const std::filesystem::path& path);

// An environment variable, empty when unset.
std::string Environment(const char* name);

// Opens path (created when missing) and holds an exclusive lock on it.
// -1 (errno) when it could not be opened or locked; Unlock ends the lock
// and closes the file.
int OpenLocked(const std::string& path);
void Unlock(int fd);

// Whether a standard stream is a terminal someone can answer at (on
// Windows a console: the NUL device is not one).
bool IsTerminal(std::FILE* stream);

// The memory free for new work, in bytes; negative when unknown.
double FreeMemory();

// The program's arguments as UTF-8 text (on Windows from the wide command
// line, whatever the code page), and the console set to show UTF-8.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

}  // namespace lapforge::sys
