#include "support/FileString.h"

#include <cstdlib>

#include "support/TextFormat.h"

namespace lapforge {

size_t FileString::LastSeparator(std::string_view path) {
  for (size_t i = path.size(); i > 0; --i) {
    if (IsSeparator(path[i - 1])) return i - 1;
  }
  return std::string_view::npos;
}

std::string FileString::Path(std::string_view path) {
  size_t s = LastSeparator(path);
  if (s == std::string_view::npos) return {};
  return std::string(path.substr(0, s + 1));
}

std::string FileString::FileName(std::string_view path) {
  size_t s = LastSeparator(path);
  return ToLower(s == std::string_view::npos ? path : path.substr(s + 1));
}

std::string FileString::Title(std::string_view path) {
  std::string name = FileName(path);
  size_t dot = name.rfind('.');
  if (dot == std::string::npos) return name;
  return name.substr(0, dot);
}

std::string FileString::Extension(std::string_view path) {
  std::string name = FileName(path);
  size_t dot = name.rfind('.');
  if (dot == std::string::npos) return {};
  return name.substr(dot + 1);
}

std::string FileString::LowerFileName(std::string_view path) {
  return Path(path) + FileName(path);
}

std::string FileString::ChangeExtension(std::string_view path, std::string_view extension) {
  if (path.empty()) return {};
  std::string folder = Path(path);
  std::string name = FileName(path);
  size_t dot = name.rfind('.');
  if (dot == std::string::npos) return folder + name + "." + std::string(extension);
  return folder + name.substr(0, dot + 1) + std::string(extension);
}

std::string FileString::ShortName(std::string_view name) {
  if (name.size() <= 8) return std::string(name);
  // Like every other helper here, a name that is shortened is lower-cased
  // first: the letters kept and the check number both come from it.
  const std::string lower = ToLower(name);
  long sum = 0;
  for (char c : lower) sum += static_cast<unsigned char>(c) - 103;
  sum = std::labs(sum) % 1000;
  return StrFormat("%s%3.3ld", lower.substr(0, 5).c_str(), sum);
}

}  // namespace lapforge
