#include "support/Profile.h"

#include "support/FileIO.h"
#include "support/TextFormat.h"

namespace lapforge {

bool CProfile::Load(const std::string& path) {
  sections_.clear();
  std::string text;
  if (!ReadWholeFile(path, text)) return false;
  Parse(text);
  return true;
}

void CProfile::Parse(std::string_view text) {
  sections_.clear();
  Section* current = nullptr;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = TrimBlanks(text.substr(pos, end - pos));
    pos = end + 1;
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      size_t close = line.find(']');
      std::string_view name = line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1);
      sections_.push_back({std::string(TrimBlanks(name)), {}});
      current = &sections_.back();
      continue;
    }
    if (!current) continue;
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    std::string_view key = TrimBlanks(line.substr(0, eq));
    std::string_view value = TrimBlanks(line.substr(eq + 1));
    // A value wholly in matching quotes loses them, as the profile functions do.
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
      value = value.substr(1, value.size() - 2);
    current->entries.push_back({std::string(key), std::string(value)});
  }
}

const CProfile::Section* CProfile::Find(std::string_view section) const {
  for (const Section& s : sections_) {
    if (EqualsNoCase(s.name, section)) return &s;
  }
  return nullptr;
}

bool CProfile::HasSection(std::string_view section) const { return Find(section) != nullptr; }

std::string CProfile::GetString(std::string_view section, std::string_view key, std::string_view def,
                                size_t bufferSize) const {
  std::string out(def);
  if (const Section* s = Find(section)) {
    for (const Entry& e : s->entries) {
      if (EqualsNoCase(e.key, key)) {
        out = e.value;
        break;
      }
    }
  }
  if (bufferSize > 0 && out.size() > bufferSize - 1) out.resize(bufferSize - 1);
  return out;
}

std::vector<std::string> CProfile::KeyNames(std::string_view section) const {
  std::vector<std::string> names;
  if (const Section* s = Find(section)) {
    names.reserve(s->entries.size());
    for (const Entry& e : s->entries) names.push_back(e.key);
  }
  return names;
}

}  // namespace lapforge
