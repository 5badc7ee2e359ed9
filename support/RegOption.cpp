#include "support/RegOption.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "support/FileIO.h"
#include "support/System.h"
#include "support/TextFormat.h"

namespace lapforge {

namespace {

const char kSection[] = "[Software\\Brisvane\\Lapforge]";
const char kIntPrefix[] = "dword:";
const char kTextPrefix[] = "sz:";

bool StartsWith(const std::string& s, const char* p) { return s.rfind(p, 0) == 0; }

// A text that the plain form "Name=text" would not give back exactly: one
// with a control character (a line break would start another setting), a
// blank at either end, a leading quote or a prefix of the value kinds.
bool NeedsQuotes(const std::string& text) {
  if (text.empty()) return false;
  if (text.front() == ' ' || text.back() == ' ' || text.front() == '"') return true;
  if (StartsWith(text, kIntPrefix) || StartsWith(text, kTextPrefix)) return true;
  for (unsigned char c : text)
    if (c < 0x20 || c == 0x7f) return true;
  return false;
}

// The quoted form: the text in double quotes, with backslash, quote and
// the control characters escaped (\\ \" \n \r \t \xHH).
std::string Quote(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (const char* escape = BackslashEscape(c))
      out += escape;
    else if (c < 0x20 || c == 0x7f)
      out += StrFormat("\\x%02x", c);
    else
      out += static_cast<char>(c);
  }
  return out + "\"";
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The text of a quoted form; false when raw is not one (a stored text that
// merely begins and ends with a quote, as files written before hold them).
bool Unquote(const std::string& raw, std::string& text) {
  if (raw.size() < 2 || raw.front() != '"' || raw.back() != '"') return false;
  std::string out;
  for (size_t i = 1; i + 1 < raw.size(); ++i) {
    char c = raw[i];
    if (c == '"') return false;
    if (c != '\\') {
      out += c;
      continue;
    }
    if (i + 2 >= raw.size()) return false;
    char e = raw[++i];
    switch (e) {
      case '\\':
      case '"':
        out += e;
        break;
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      case 't':
        out += '\t';
        break;
      case 'x': {
        if (i + 3 >= raw.size()) return false;
        int hi = HexDigit(raw[i + 1]), lo = HexDigit(raw[i + 2]);
        if (hi < 0 || lo < 0) return false;
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
        break;
      }
      default:
        return false;
    }
  }
  text = std::move(out);
  return true;
}

std::vector<CRegOption::StoredValue> Load() {
  std::vector<CRegOption::StoredValue> values;
  std::string text;
  if (!ReadWholeFile(CRegOption::SettingsFile(), text)) return values;
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
    } else if (!Unquote(raw, v.text)) {
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
    if (sys::IsSeparator(file[i])) sys::MakeFolder(file.substr(0, i));
  }
}

// An exclusive advisory lock on the lock file beside the settings file,
// held for a read-modify-write so that concurrent stores do not lose each
// other's values. The settings file itself is replaced by a rename, so a
// lock on it would be lost with the old file.
class SettingsLock {
 public:
  explicit SettingsLock(const std::string& settingsFile) {
    const std::string lock = settingsFile + ".lock";
    fd_ = sys::OpenLocked(lock);
    if (fd_ < 0) error_ = "Could not lock '" + lock + "': " + std::strerror(errno);
  }
  ~SettingsLock() {
    if (fd_ >= 0) sys::Unlock(fd_);
  }
  SettingsLock(const SettingsLock&) = delete;
  SettingsLock& operator=(const SettingsLock&) = delete;
  bool Held() const { return fd_ >= 0; }
  const std::string& Error() const { return error_; }

 private:
  int fd_ = -1;
  std::string error_;
};

Result Store(const CRegOption::StoredValue& nv) {
  if (!CRegOption::IsValidName(nv.name))
    return Result::Fail(Status::Invalid, "\"" + nv.name + "\" cannot be a setting name");
  // The file is replaced where its links lead; a device or a pipe in its
  // place (LAPFORGE_CONFIG=/dev/null) is refused before anything is made.
  const std::string file = CRegOption::SettingsFile();
  OutputTarget target;
  std::string reason;
  if (!ResolveOutput(file, target, reason))
    return Result::Fail(Status::Refused, "Could not write the settings file '" + file + "': " + reason, file);
  MakeParents(target.path);
  SettingsLock lock(target.path);
  if (!lock.Held()) return Result::Fail(Status::CannotWrite, lock.Error(), file);
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
      // Plain texts are stored as themselves, as before; any other in
      // quotes, so that every text reads back exactly.
      out += NeedsQuotes(v.text) ? Quote(v.text) : v.text;
    }
    out += "\n";
  }
  return ReplaceFile(file, out);
}

const CRegOption::StoredValue* FindIn(const std::vector<CRegOption::StoredValue>& values, const std::string& name) {
  for (const auto& v : values) {
    if (EqualsNoCase(v.name, name)) return &v;
  }
  return nullptr;
}

}  // namespace

std::string CRegOption::SettingsFile() {
  if (std::string p = sys::Environment("LAPFORGE_CONFIG"); !p.empty()) return p;
#ifdef _WIN32
  // Windows keeps a user's program settings in the roaming application data.
  if (std::string a = sys::Environment("APPDATA"); !a.empty()) return a + "\\lapforge\\lapforge.ini";
  return ".\\lapforge.ini";
#else
  if (std::string x = sys::Environment("XDG_CONFIG_HOME"); !x.empty()) return x + "/lapforge/lapforge.ini";
  const std::string home = sys::Environment("HOME");
  return (home.empty() ? std::string(".") : home) + "/.config/lapforge/lapforge.ini";
#endif
}

std::vector<CRegOption::StoredValue> CRegOption::AllStored() { return Load(); }

bool CRegOption::IsValidName(const std::string& name) {
  if (name.empty() || name.front() == ';' || name.front() == '[' || name.front() == ' ' || name.back() == ' ')
    return false;
  for (unsigned char c : name)
    if (c < 0x20 || c == 0x7f || c == '=') return false;
  return true;
}

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

Result CRegOption::SetOption(const std::string& name, const std::string& value) {
  StoredValue v;
  v.name = name;
  v.text = value;
  return Store(v);
}

Result CRegOption::SetOption(const std::string& name, int value) {
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

const std::vector<std::string>& CRegOption::KnownNames() {
  static const std::vector<std::string> kNames = [] {
    std::vector<std::string> names;
    for (const auto& [name, def] : IntegerSettings()) names.push_back(name);
    names.push_back("LastPapyTrack");
    for (const char* extension : {"XML", "PTF", "TRK", "3DS", "3SE", "AIW", "CAM"})
      names.push_back(std::string(extension) + "Name");
    for (const char* format : {"rFactor", "MTS", "GTR", "GTR2", "GTL"}) names.push_back(std::string(format) + "Folder");
    return names;
  }();
  return kNames;
}

bool CRegOption::IsKnownName(const std::string& name) {
  for (const std::string& known : KnownNames())
    if (EqualsNoCase(known, name)) return true;
  return false;
}

}  // namespace lapforge
