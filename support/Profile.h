// Reader of profile (ini) files with the semantics of the platform's profile
// functions: sections and keys compared without regard to case, the first
// match wins, key names listed in file order, blanks trimmed around section
// names (inside the brackets), keys and values; ';' comment lines skipped;
// LF and CRLF line ends.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lapforge {

class CProfile {
 public:
  // Loads a file; a missing file gives an empty profile (not an error).
  bool Load(const std::string& path);
  void Parse(std::string_view text);

  // The value of key in section, or def when absent. Values longer than
  // bufferSize - 1 characters are cut, as a fixed read buffer would.
  std::string GetString(std::string_view section, std::string_view key, std::string_view def = {},
                        size_t bufferSize = 16384) const;
  // The key names of section in file order (duplicates kept).
  std::vector<std::string> KeyNames(std::string_view section) const;
  bool HasSection(std::string_view section) const;

 private:
  struct Entry {
    std::string key;
    std::string value;
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
  };
  const Section* Find(std::string_view section) const;
  std::vector<Section> sections_;
};

}  // namespace lapforge
