#include "app/RegOption.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>

#include "app/support/FileIO.h"
#include "app/support/TextFormat.h"

namespace {

const char kSection[] = "[Software\\Brisvane\\Lapforge]";
const char kIntPrefix[] = "dword:";
const char kTextPrefix[] = "sz:";

bool StartsWith(const std::string& s, const char* p) { return s.rfind(p, 0) == 0; }

std::vector<CRegOption::StoredValue> Load() {
  std::vector<CRegOption::StoredValue> values;
  std::string text, error;
  if (!ReadWholeFile(CRegOption::SettingsFile(), text, error)) return values;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line(text, pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == ';' || line[0] == '[') continue;
    size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    CRegOption::StoredValue v;
    v.name = std::string(TrimBlanks(std::string_view(line).substr(0, eq)));
    std::string raw = line.substr(eq + 1);
    if (!raw.empty() && raw[0] == ' ') raw.erase(0, 1);
    if (StartsWith(raw, kIntPrefix)) {
      v.isInteger = true;
      v.integer = static_cast<int>(std::strtol(raw.c_str() + 6, nullptr, 10));
    } else if (StartsWith(raw, kTextPrefix)) {
      v.text = raw.substr(3);
    } else {
      v.text = raw;
    }
    bool replaced = false;
    for (auto& existing : values) {
      if (EqualsNoCase(existing.name, v.name)) {
        existing = v;
        replaced = true;
      }
    }
    if (!replaced) values.push_back(std::move(v));
  }
  return values;
}

void MakeParents(const std::string& file) {
  for (size_t i = 1; i < file.size(); ++i) {
    if (file[i] == '/') ::mkdir(file.substr(0, i).c_str(), 0755);
  }
}

bool Store(const CRegOption::StoredValue& nv) {
  std::vector<CRegOption::StoredValue> values = Load();
  bool found = false;
  for (auto& v : values) {
    if (EqualsNoCase(v.name, nv.name)) {
      v = nv;
      found = true;
    }
  }
  if (!found) values.push_back(nv);
  std::string out = std::string(kSection) + "\n";
  for (const auto& v : values) {
    out += v.name + "=";
    if (v.isInteger) {
      out += kIntPrefix + std::to_string(v.integer);
    } else {
      if (StartsWith(v.text, kIntPrefix) || StartsWith(v.text, kTextPrefix)) out += kTextPrefix;
      out += v.text;
    }
    out += "\n";
  }
  std::string file = CRegOption::SettingsFile();
  MakeParents(file);
  std::string error;
  return ReplaceFile(file, out, error);
}

const CRegOption::StoredValue* FindIn(const std::vector<CRegOption::StoredValue>& values, const std::string& name) {
  for (const auto& v : values) {
    if (EqualsNoCase(v.name, name)) return &v;
  }
  return nullptr;
}

}  // namespace

std::string CRegOption::SettingsFile() {
  if (const char* p = std::getenv("LAPFORGE_CONFIG"); p && *p) return p;
  if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x) return std::string(x) + "/lapforge/lapforge.ini";
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : ".") + "/.config/lapforge/lapforge.ini";
}

std::vector<CRegOption::StoredValue> CRegOption::AllStored() { return Load(); }

std::string CRegOption::GetOption(const std::string& name, const std::string& def) {
  auto values = Load();
  const StoredValue* v = FindIn(values, name);
  if (!v) return def;
  std::string text = v->isInteger ? std::to_string(v->integer) : v->text;
  if (text.size() <= 1) return def;
  return text;
}

int CRegOption::GetOption(const std::string& name, int def) {
  auto values = Load();
  const StoredValue* v = FindIn(values, name);
  if (!v) return def;
  if (v->isInteger) return v->integer;
  return static_cast<int>(std::strtol(v->text.c_str(), nullptr, 10));
}

bool CRegOption::SetOption(const std::string& name, const std::string& value) {
  StoredValue v;
  v.name = name;
  v.text = value;
  return Store(v);
}

bool CRegOption::SetOption(const std::string& name, int value) {
  StoredValue v;
  v.name = name;
  v.isInteger = true;
  v.integer = value;
  return Store(v);
}

const std::vector<std::pair<std::string, int>>& CRegOption::IntegerSettings() {
  static const std::vector<std::pair<std::string, int>> kSettings = {
      {"TSOXYZ", 0}, {"TRKFromGPLTRK", 1}, {"ISIMaterials", 1}, {"WriteN4PTF", 0}};
  return kSettings;
}
