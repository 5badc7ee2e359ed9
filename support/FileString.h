// Path helpers. Both '\' and '/' separate folders. File names that come out
// of these helpers are lower-cased (they become names the program creates or
// stores); the folder part of a path keeps its letter case, since on this
// platform it is needed to open or create the file.
#pragma once

#include <string>
#include <string_view>

namespace lapforge {

class FileString {
 public:
  // The text up to and including the last separator (empty when none).
  static std::string Path(std::string_view path);
  // The lower-cased text after the last separator.
  static std::string FileName(std::string_view path);
  // The file name without its last '.' and what follows.
  static std::string Title(std::string_view path);
  // The lower-cased text after the last '.' of the file name (empty when none).
  static std::string Extension(std::string_view path);
  // The path with its extension replaced by (or extended with) extension.
  // The folder keeps its case; the file name is lower-cased.
  static std::string ChangeExtension(std::string_view path, std::string_view extension);
  // Names of 8 characters or fewer unchanged (letter case kept); longer ones
  // are lower-cased and become their first five characters and a
  // three-digit check number.
  static std::string ShortName(std::string_view name);
  // The path with its file name lower-cased and its folder kept as given.
  static std::string LowerFileName(std::string_view path);

  static bool IsSeparator(char c) { return c == '\\' || c == '/'; }
  // Position of the last separator, or npos.
  static size_t LastSeparator(std::string_view path);
};

}  // namespace lapforge
