#include "support/ByteReader.h"

namespace lapforge {

void CByteReader::Fail(const char* what, size_t offset, size_t n) const {
  std::string msg = source_.empty() ? std::string("data") : source_;
  msg += ": unexpected end of file reading ";
  msg += what;
  msg += " at offset " + std::to_string(offset);
  if (n) msg += " (" + std::to_string(n) + " bytes needed, " + std::to_string(offset <= size_ ? size_ - offset : 0) + " left)";
  throw CFormatError(msg, offset);
}

}  // namespace lapforge
