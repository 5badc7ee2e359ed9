#include "support/SafeFileTitles.h"

#include <algorithm>

#include "support/TextFormat.h"

namespace lapforge {

namespace {

bool Allowed(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
}

// CON, PRN, AUX, NUL, COM1..COM9 and LPT1..LPT9 name devices on Windows,
// whatever extension follows.
bool DeviceName(std::string_view title) {
  const std::string lower = ToLower(title);
  if (lower == "con" || lower == "prn" || lower == "aux" || lower == "nul") return true;
  return lower.size() == 4 && (lower.compare(0, 3, "com") == 0 || lower.compare(0, 3, "lpt") == 0) && lower[3] >= '1' &&
         lower[3] <= '9';
}

}  // namespace

std::string CSafeFileTitles::Next(std::string_view name) {
  ++count_;
  std::string base;
  base.reserve(name.size());
  for (unsigned char c : name) base += Allowed(c) ? static_cast<char>(c) : '_';
  if (base.empty()) base = StrFormat("Obj%4.4d", count_);
  if (base.size() > maxLength_) base.resize(maxLength_);
  if (DeviceName(base)) base += '_';

  // A repeat takes the next number not yet used for its base, so that many
  // repeats of one name cost no more than one probe each.
  std::string title = base;
  std::string key = ToLower(title);
  if (used_.count(key) > 0) {
    int& n = nextNumber_[key];
    for (n = std::max(n, 2);; ++n) {
      const std::string suffix = StrFormat("_%d", n);
      title = base.substr(0, std::min(base.size(), maxLength_ - suffix.size())) + suffix;
      if (used_.count(ToLower(title)) == 0) break;
    }
    ++n;
    key = ToLower(title);
  }
  used_.insert(std::move(key));
  return title;
}

}  // namespace lapforge
