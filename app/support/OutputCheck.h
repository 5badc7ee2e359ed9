// The check every command makes before it writes: each file it is about to
// write must be a regular file or a new name (a symlink counts as its
// target), in a folder that is there and takes new files, and none may be one of the
// files the command reads (companions included), else nothing is written.
#pragma once

#include <string>
#include <vector>

// true when every output may be written. Otherwise false, with error
// naming the first output refused and why, ending "nothing was written".
// An output is the same file as an input when both exist with the same
// device and inode, or when their canonical paths are equal. Empty names
// are skipped.
bool CheckOutputs(const std::vector<std::string>& inputs, const std::vector<std::string>& outputs, std::string& error);

// Those of paths that name an existing file now: the files a run replaces.
std::vector<std::string> ExistingFiles(const std::vector<std::string>& paths);
