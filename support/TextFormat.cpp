#include "support/TextFormat.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace lapforge {

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

// printf-style formatting appended to out, straight into its storage.
void AppendFormatted(std::string& out, const char* fmt, va_list args) {
  constexpr size_t kRoom = 256;
  const size_t old = out.size();
  out.resize(old + kRoom);
  va_list copy;
  va_copy(copy, args);
  const int n = std::vsnprintf(out.data() + old, kRoom + 1, fmt, copy);
  va_end(copy);
  if (n < 0) {
    out.resize(old);
    return;
  }
  const size_t len = static_cast<size_t>(n);
  if (len > kRoom) {
    out.resize(old + len);
    std::vsnprintf(out.data() + old, len + 1, fmt, args);
  }
  out.resize(old + len);
}

// One printf conversion (piece runs from '%' to its conversion letter).
void AppendOne(std::string& out, const char* piece, ...) __attribute__((format(printf, 2, 3)));
void AppendOne(std::string& out, const char* piece, ...) {
  va_list args;
  va_start(args, piece);
  AppendFormatted(out, piece, args);
  va_end(args);
}

// One conversion with its '*' width and precision (stars of them) before
// the value.
template <typename T>
void AppendValue(std::string& out, const char* piece, int stars, const int star[2], T value) {
  if (stars == 0)
    AppendOne(out, piece, value);
  else if (stars == 1)
    AppendOne(out, piece, star[0], value);
  else
    AppendOne(out, piece, star[0], star[1], value);
}

// One conversion of a format: from its '%' to its conversion letter, with
// its '*' width and precision already taken from the arguments.
struct Conversion {
  const char* end = nullptr;  // at the conversion letter ('\0' when the format is cut off)
  int star[2] = {0, 0}, stars = 0;
  // The length modifier: 0 none, 'h' (h or hh), 'l', 'q' (ll), 'L', 'z', 'j', 't'.
  char len = 0;
};

Conversion ParseConversion(const char* pct, va_list* args) {
  Conversion c;
  const char* q = pct + 1;
  while (*q == '-' || *q == '+' || *q == ' ' || *q == '#' || *q == '0') ++q;
  if (*q == '*') {
    c.star[c.stars++] = va_arg(*args, int);
    ++q;
  }
  while (std::isdigit(static_cast<unsigned char>(*q))) ++q;
  if (*q == '.') {
    ++q;
    if (*q == '*') {
      c.star[c.stars++] = va_arg(*args, int);
      ++q;
    }
    while (std::isdigit(static_cast<unsigned char>(*q))) ++q;
  }
  if (*q == 'h' || *q == 'l' || *q == 'L' || *q == 'z' || *q == 'j' || *q == 't') {
    c.len = *q++;
    if ((c.len == 'h' || c.len == 'l') && *q == c.len) {
      c.len = c.len == 'l' ? 'q' : 'h';
      ++q;
    }
  }
  c.end = q;
  return c;
}

// Takes the argument of an integer conversion by its length modifier.
void TakeInteger(std::string* out, const char* piece, const Conversion& c, va_list* args, bool isSigned) {
  auto emit = [&](auto value) {
    if (out) AppendValue(*out, piece, c.stars, c.star, value);
  };
  const char len = c.len;
  if (len == 'l')
    isSigned ? emit(va_arg(*args, long)) : emit(va_arg(*args, unsigned long));
  else if (len == 'q')
    isSigned ? emit(va_arg(*args, long long)) : emit(va_arg(*args, unsigned long long));
  else if (len == 'z' || len == 't')
    isSigned ? emit(va_arg(*args, ptrdiff_t)) : emit(va_arg(*args, size_t));
  else if (len == 'j')
    isSigned ? emit(va_arg(*args, intmax_t)) : emit(va_arg(*args, uintmax_t));
  else
    isSigned ? emit(va_arg(*args, int)) : emit(va_arg(*args, unsigned));
}

// Takes the argument of one conversion by its type; with out, appends it
// formatted by piece, a floating value that is not finite written as 0.
// False, without out, for a floating value that is not finite.
bool TakeArgument(std::string* out, const char* piece, const Conversion& c, va_list* args) {
  auto emit = [&](auto value) {
    if (out) AppendValue(*out, piece, c.stars, c.star, value);
  };
  switch (*c.end) {
    case 'd':
    case 'i':
      TakeInteger(out, piece, c, args, true);
      break;
    case 'u':
    case 'o':
    case 'x':
    case 'X':
      TakeInteger(out, piece, c, args, false);
      break;
    case 'c':
      emit(va_arg(*args, int));
      break;
    case 's':
      emit(va_arg(*args, const char*));
      break;
    case 'p':
      emit(va_arg(*args, void*));
      break;
    case 'f':
    case 'F':
    case 'e':
    case 'E':
    case 'g':
    case 'G':
    case 'a':
    case 'A':
      if (c.len == 'L') {
        const long double v = va_arg(*args, long double);
        if (!std::isfinite(v) && !out) return false;
        emit(std::isfinite(v) ? v : 0.0L);
      } else {
        const double v = va_arg(*args, double);
        if (!std::isfinite(v) && !out) return false;
        emit(std::isfinite(v) ? v : 0.0);
      }
      break;
    case 'n':  // writes nothing here
      (void)va_arg(*args, void*);
      break;
    default:  // not a conversion: its text as it stands
      if (out) out->append(piece);
      break;
  }
  return true;
}

// Walks a format one conversion at a time, taking each argument by its
// type. With out, appends the text, every floating value that is not finite
// written as 0; without, only looks: false as soon as a floating value is
// not finite.
bool WalkFormat(std::string* out, const char* fmt, va_list* args) {
  const char* p = fmt;
  while (*p) {
    const char* pct = std::strchr(p, '%');
    if (!pct) {
      if (out) out->append(p);
      return true;
    }
    if (out) out->append(p, static_cast<size_t>(pct - p));
    if (pct[1] == '%') {
      if (out) *out += '%';
      p = pct + 2;
      continue;
    }
    const Conversion c = ParseConversion(pct, args);
    if (!*c.end) {  // a format cut off after '%': printed as it stands
      if (out) out->append(pct);
      return true;
    }
    char piece[40];
    if (out) {
      const size_t pieceLen = std::min(static_cast<size_t>(c.end + 1 - pct), sizeof piece - 1);
      std::memcpy(piece, pct, pieceLen);
      piece[pieceLen] = '\0';
    }
    if (!TakeArgument(out, piece, c, args)) return false;
    p = c.end + 1;
  }
  return true;
}

}  // namespace

// A game reads neither "nan" nor "inf": a line whose floating values are
// all finite is formatted in one go, one with a value that is not finite
// conversion by conversion, that value written as 0.
void CTextWriter::AppendV(const char* fmt, va_list args) {
  va_list scan;
  va_copy(scan, args);
  const bool finite = WalkFormat(nullptr, fmt, &scan);
  va_end(scan);
  if (finite) {
    AppendFormatted(text_, fmt, args);
  } else {
    va_copy(scan, args);
    WalkFormat(&text_, fmt, &scan);
    va_end(scan);
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

}  // namespace lapforge
