// Text formatting shared by every writer: printf-style formatting into a
// std::string, and a text buffer that ends its lines with CRLF as the games
// expect.
#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

namespace lapforge {

// printf-style formatting (C locale for numbers).
std::string StrFormat(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string StrFormatV(const char* fmt, va_list args);

std::string ToLower(std::string_view s);
std::string ToUpper(std::string_view s);
bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view s, std::string_view prefix);
std::string_view TrimBlanks(std::string_view s);
// The two-character escape of a backslash, double quote, newline, carriage
// return or tab (\\ \" \n \r \t); nullptr for any other character.
const char* BackslashEscape(unsigned char c);
// The XML entity of an ampersand, less-than or greater-than sign (&amp;
// &lt; &gt;); nullptr for any other character.
const char* XmlMarkupEntity(char c);

// Accumulates a text file whose lines end in CR LF. Its printf-style
// formatting writes a floating value that is not finite as 0: a game reads
// neither "nan" nor "inf".
class CTextWriter {
 public:
  void Line(std::string_view s = {}) {
    text_.append(s);
    text_.append("\r\n");
  }
  void LineF(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
  void Append(std::string_view s) { text_.append(s); }
  // printf-style text without a line end.
  void AppendF(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
  void Reserve(size_t bytes) { text_.reserve(bytes); }
  const std::string& Text() const { return text_; }
  std::string Take() { return std::move(text_); }

 private:
  // Formats straight into the text, without a temporary string per line.
  void AppendV(const char* fmt, va_list args);
  std::string text_;
};

}  // namespace lapforge
