#include "app/support/TextFormat.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

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

namespace {

// Appends one printf conversion (spec runs from '%' to its conversion
// letter) formatted with its arguments.
void AppendOne(std::string& out, const char* spec, ...) __attribute__((format(printf, 2, 3)));
void AppendOne(std::string& out, const char* spec, ...) {
  constexpr size_t kRoom = 64;
  const size_t old = out.size();
  out.resize(old + kRoom);
  va_list args, copy;
  va_start(args, spec);
  va_copy(copy, args);
  const int n = std::vsnprintf(out.data() + old, kRoom + 1, spec, copy);
  va_end(copy);
  const size_t len = n < 0 ? 0 : static_cast<size_t>(n);
  if (len > kRoom) {
    out.resize(old + len);
    std::vsnprintf(out.data() + old, len + 1, spec, args);
  }
  va_end(args);
  out.resize(old + len);
}

// One conversion with its '*' width and precision (stars of them) before
// the value.
template <typename T>
void AppendValue(std::string& out, const char* spec, int stars, const int star[2], T value) {
  if (stars == 0)
    AppendOne(out, spec, value);
  else if (stars == 1)
    AppendOne(out, spec, star[0], value);
  else
    AppendOne(out, spec, star[0], star[1], value);
}

}  // namespace

// The format is walked one conversion at a time so that every floating
// value can be looked at: a game reads neither "nan" nor "inf", so a value
// that is not finite is written as 0. Everything else prints as printf
// prints it.
void CTextWriter::AppendV(const char* fmt, va_list args) {
  const char* p = fmt;
  while (*p) {
    const char* pct = std::strchr(p, '%');
    if (!pct) {
      text_.append(p);
      return;
    }
    text_.append(p, static_cast<size_t>(pct - p));
    const char* q = pct + 1;
    if (*q == '%') {
      text_ += '%';
      p = q + 1;
      continue;
    }
    int star[2] = {0, 0}, stars = 0;
    while (*q && std::strchr("-+ #0", *q)) ++q;
    if (*q == '*') {
      star[stars++] = va_arg(args, int);
      ++q;
    }
    while (std::isdigit(static_cast<unsigned char>(*q))) ++q;
    if (*q == '.') {
      ++q;
      if (*q == '*') {
        star[stars++] = va_arg(args, int);
        ++q;
      }
      while (std::isdigit(static_cast<unsigned char>(*q))) ++q;
    }
    char length[3] = {0, 0, 0};
    for (size_t k = 0; k < 2 && *q && std::strchr("hlLzjt", *q) && (k == 0 || *q == length[0]); ++k) length[k] = *q++;
    const char conv = *q;
    if (!conv) {  // a format cut off after '%': printed as it stands
      text_.append(pct);
      return;
    }
    char spec[40];
    const size_t specLen = std::min(static_cast<size_t>(q + 1 - pct), sizeof spec - 1);
    std::memcpy(spec, pct, specLen);
    spec[specLen] = '\0';
    const std::string_view len(length);
    switch (conv) {
      case 'd':
      case 'i':
        if (len == "l")
          AppendValue(text_, spec, stars, star, va_arg(args, long));
        else if (len == "ll")
          AppendValue(text_, spec, stars, star, va_arg(args, long long));
        else if (len == "z")
          AppendValue(text_, spec, stars, star, va_arg(args, ptrdiff_t));
        else if (len == "j")
          AppendValue(text_, spec, stars, star, va_arg(args, intmax_t));
        else if (len == "t")
          AppendValue(text_, spec, stars, star, va_arg(args, ptrdiff_t));
        else
          AppendValue(text_, spec, stars, star, va_arg(args, int));
        break;
      case 'u':
      case 'o':
      case 'x':
      case 'X':
        if (len == "l")
          AppendValue(text_, spec, stars, star, va_arg(args, unsigned long));
        else if (len == "ll")
          AppendValue(text_, spec, stars, star, va_arg(args, unsigned long long));
        else if (len == "z")
          AppendValue(text_, spec, stars, star, va_arg(args, size_t));
        else if (len == "j")
          AppendValue(text_, spec, stars, star, va_arg(args, uintmax_t));
        else if (len == "t")
          AppendValue(text_, spec, stars, star, va_arg(args, size_t));
        else
          AppendValue(text_, spec, stars, star, va_arg(args, unsigned));
        break;
      case 'c':
        AppendValue(text_, spec, stars, star, va_arg(args, int));
        break;
      case 's':
        AppendValue(text_, spec, stars, star, va_arg(args, const char*));
        break;
      case 'p':
        AppendValue(text_, spec, stars, star, va_arg(args, void*));
        break;
      case 'f':
      case 'F':
      case 'e':
      case 'E':
      case 'g':
      case 'G':
      case 'a':
      case 'A':
        if (len == "L") {
          const long double v = va_arg(args, long double);
          AppendValue(text_, spec, stars, star, std::isfinite(v) ? v : 0.0L);
        } else {
          const double v = va_arg(args, double);
          AppendValue(text_, spec, stars, star, std::isfinite(v) ? v : 0.0);
        }
        break;
      case 'n':  // writes nothing here
        (void)va_arg(args, void*);
        break;
      default:  // not a conversion: its text as it stands
        text_.append(spec);
        break;
    }
    p = q + 1;
  }
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
