// Little-endian writer into a growing in-memory buffer. Files are built in
// memory and written in one go (see FileIO.h).
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace lapforge {

class CByteWriter {
 public:
  CByteWriter() = default;
  void Reserve(size_t n) { buf_.reserve(n); }

  void U8(uint8_t v) { buf_.push_back(v); }
  void I8(int8_t v) { Put(v); }
  void U16(uint16_t v) { Put(v); }
  void I16(int16_t v) { Put(v); }
  void U32(uint32_t v) { Put(v); }
  void I32(int32_t v) { Put(v); }
  void U64(uint64_t v) { Put(v); }
  void I64(int64_t v) { Put(v); }
  void F32(float v) { Put(v); }
  void F64(double v) { Put(v); }
  void Bytes(const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    buf_.insert(buf_.end(), b, b + n);
  }
  void Zeroes(size_t n) { buf_.resize(buf_.size() + n, 0); }
  // Text in a field of exactly n bytes, cut or NUL-padded.
  void FixedString(std::string_view s, size_t n) {
    size_t k = s.size() < n ? s.size() : n;
    Bytes(s.data(), k);
    Zeroes(n - k);
  }
  // Text in a field of n bytes that must stay NUL-terminated: cut to at
  // most n - 1 bytes, the rest NUL.
  void TerminatedString(std::string_view s, size_t n) {
    if (n == 0) return;
    FixedString(s.substr(0, s.size() < n - 1 ? s.size() : n - 1), n);
  }
  // Overwrites a 32-bit value written earlier (sizes known only afterwards).
  void PatchU32(size_t offset, uint32_t v) { std::memcpy(buf_.data() + offset, &v, 4); }
  void PatchI32(size_t offset, int32_t v) { std::memcpy(buf_.data() + offset, &v, 4); }

  size_t Size() const { return buf_.size(); }
  const std::vector<uint8_t>& Buffer() const { return buf_; }
  std::vector<uint8_t>& Buffer() { return buf_; }
  std::vector<uint8_t> Take() { return std::move(buf_); }

  template <typename T>
  void Put(T v) {
    uint8_t tmp[sizeof(T)];
    std::memcpy(tmp, &v, sizeof(T));
    buf_.insert(buf_.end(), tmp, tmp + sizeof(T));
  }

 private:
  std::vector<uint8_t> buf_;
};

}  // namespace lapforge
