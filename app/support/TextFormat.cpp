#include "app/support/TextFormat.h"

#include <cctype>
#include <cstdio>

std::string StrFormatV(const char* fmt, va_list args) {
  char small[256];
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(small, sizeof small, fmt, copy);
  va_end(copy);
  if (n < 0) return {};
  if (static_cast<size_t>(n) < sizeof small) return std::string(small, static_cast<size_t>(n));
  std::string out(static_cast<size_t>(n), '\0');
  std::vsnprintf(out.data(), out.size() + 1, fmt, args);
  return out;
}

std::string StrFormat(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  std::string s = StrFormatV(fmt, args);
  va_end(args);
  return s;
}

void CTextWriter::AppendV(const char* fmt, va_list args) {
  constexpr size_t kRoom = 256;
  const size_t old = text_.size();
  text_.resize(old + kRoom);
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(text_.data() + old, kRoom + 1, fmt, copy);
  va_end(copy);
  if (n < 0) {
    text_.resize(old);
    return;
  }
  const size_t len = static_cast<size_t>(n);
  if (len > kRoom) {
    text_.resize(old + len);
    std::vsnprintf(text_.data() + old, len + 1, fmt, args);
  }
  text_.resize(old + len);
}

void CTextWriter::AppendF(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  AppendV(fmt, args);
  va_end(args);
}

void CTextWriter::LineF(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  AppendV(fmt, args);
  va_end(args);
  text_.append("\r\n");
}

std::string ToLower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string ToUpper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && EqualsNoCase(s.substr(0, prefix.size()), prefix);
}

std::string_view TrimBlanks(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r' || s[b] == '\n')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r' || s[e - 1] == '\n')) --e;
  return s.substr(b, e - b);
}

const char* BackslashEscape(unsigned char c) {
  switch (c) {
    case '\\':
      return "\\\\";
    case '"':
      return "\\\"";
    case '\n':
      return "\\n";
    case '\r':
      return "\\r";
    case '\t':
      return "\\t";
    default:
      return nullptr;
  }
}

const char* XmlMarkupEntity(char c) {
  switch (c) {
    case '&':
      return "&amp;";
    case '<':
      return "&lt;";
    case '>':
      return "&gt;";
    default:
      return nullptr;
  }
}
