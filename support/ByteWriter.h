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
  // Room for n bytes in all, made now so that the writes up to n never grow
  // the buffer.
  void Reserve(size_t n) {
    if (n > buf_.size()) buf_.resize(n);
  }

  void U8(uint8_t v) { *Room(1) = v; }
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
    if (n > 0) std::memcpy(Room(n), p, n);
  }
  void Zeroes(size_t n) {
    if (n > 0) std::memset(Room(n), 0, n);
  }
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

  size_t Size() const { return size_; }
  // The bytes written so far (valid until the next write).
  const uint8_t* Data() const { return buf_.data(); }
  // Forgets what was written but keeps the room, so that a writer used for
  // one file after another makes (and zeroes) its buffer only once.
  void Clear() { size_ = 0; }
  // The bytes written (the room beyond them let go).
  const std::vector<uint8_t>& Buffer() const {
    buf_.resize(size_);
    return buf_;
  }
  std::vector<uint8_t> Take() {
    buf_.resize(size_);
    size_ = 0;
    return std::move(buf_);
  }

  template <typename T>
  void Put(T v) {
    std::memcpy(Room(sizeof(T)), &v, sizeof(T));
  }

 private:
  // The next n bytes to write, counted as written. The buffer is kept
  // larger than what is written (the room zeroed as it is made), so that a
  // write of a few bytes is a copy and a count.
  uint8_t* Room(size_t n) {
    if (buf_.size() - size_ < n) Grow(n);
    uint8_t* at = buf_.data() + size_;
    size_ += n;
    return at;
  }
  // Makes room for n more bytes (out of line: the writes stay small).
  void Grow(size_t n);

  // Bytes [0, size_) are written; the rest is room.
  mutable std::vector<uint8_t> buf_;
  size_t size_ = 0;
};

}  // namespace lapforge
