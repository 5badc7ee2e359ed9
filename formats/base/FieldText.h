// Texts in fixed-size, NUL-terminated fields of the binary model formats.
#pragma once

#include <cstddef>
#include <string_view>

#include "support/ByteWriter.h"

namespace lapforge {

// The part of text that fits a field of size bytes with its terminating
// NUL: at most size - 1 bytes, ending before any NUL the text holds and
// never in the middle of a UTF-8 character.
inline std::string_view FieldText(std::string_view text, size_t size) {
  size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  if (size == 0) return {};
  if (text.size() <= size - 1) return text;
  size_t cut = size - 1;
  // Back off over continuation bytes (10xxxxxx) to the start of the
  // character that the cut would split.
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return text.substr(0, cut);
}

// Writes text into a field of exactly size bytes, cut as FieldText says
// and padded with zeros.
inline void WriteFieldText(CByteWriter& out, std::string_view text, size_t size) {
  out.FixedString(FieldText(text, size), size);
}

}  // namespace lapforge
