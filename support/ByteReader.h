// Bounds-checked little-endian reader over a byte buffer it does not own.
// Every read is checked against the buffer; a read past the end raises
// CFormatError naming the source, the offset and what was being read.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

#include "support/Errors.h"

namespace lapforge {

class CByteReader {
 public:
  CByteReader(const uint8_t* data, size_t size, std::string source = {})
      : data_(data), size_(size), source_(std::move(source)) {}
  explicit CByteReader(std::span<const uint8_t> bytes, std::string source = {})
      : CByteReader(bytes.data(), bytes.size(), std::move(source)) {}

  size_t Size() const { return size_; }
  size_t Pos() const { return pos_; }
  size_t Remaining() const { return size_ - pos_; }
  bool AtEnd() const { return pos_ >= size_; }
  const uint8_t* Data() const { return data_; }
  const std::string& Source() const { return source_; }

  // Moves the read position; an offset beyond the end is a format error.
  void Seek(size_t offset, const char* what = "seek") {
    if (offset > size_) Fail(what, offset, 0);
    pos_ = offset;
  }
  void Skip(size_t n, const char* what = "skip") {
    Need(n, what);
    pos_ += n;
  }
  // True when n more bytes can be read from the current position.
  bool Has(size_t n) const { return n <= size_ - pos_; }
  // True when n bytes can be read at offset.
  bool HasAt(size_t offset, size_t n) const { return offset <= size_ && n <= size_ - offset; }

  uint8_t U8(const char* what = "byte") { return Get<uint8_t>(what); }
  int8_t I8(const char* what = "byte") { return Get<int8_t>(what); }
  uint16_t U16(const char* what = "u16") { return Get<uint16_t>(what); }
  int16_t I16(const char* what = "i16") { return Get<int16_t>(what); }
  uint32_t U32(const char* what = "u32") { return Get<uint32_t>(what); }
  int32_t I32(const char* what = "i32") { return Get<int32_t>(what); }
  uint64_t U64(const char* what = "u64") { return Get<uint64_t>(what); }
  int64_t I64(const char* what = "i64") { return Get<int64_t>(what); }
  float F32(const char* what = "f32") { return Get<float>(what); }
  double F64(const char* what = "f64") { return Get<double>(what); }

  // Reads n bytes into out.
  void Bytes(void* out, size_t n, const char* what = "bytes") {
    Need(n, what);
    if (n) std::memcpy(out, data_ + pos_, n);
    pos_ += n;
  }
  // A view of the next n bytes, advancing past them.
  std::span<const uint8_t> View(size_t n, const char* what = "bytes") {
    Need(n, what);
    std::span<const uint8_t> v(data_ + pos_, n);
    pos_ += n;
    return v;
  }
  // n bytes of text; the text ends at the first NUL inside them.
  std::string FixedString(size_t n, const char* what = "text") {
    auto v = View(n, what);
    size_t len = 0;
    while (len < n && v[len] != 0) ++len;
    return std::string(reinterpret_cast<const char*>(v.data()), len);
  }

  // Reads at an absolute offset without moving the position.
  template <typename T>
  T At(size_t offset, const char* what = "value") const {
    if (!HasAt(offset, sizeof(T))) Fail(what, offset, sizeof(T));
    T v;
    std::memcpy(&v, data_ + offset, sizeof(T));
    return v;
  }

  template <typename T>
  T Get(const char* what) {
    Need(sizeof(T), what);
    T v;
    std::memcpy(&v, data_ + pos_, sizeof(T));
    pos_ += sizeof(T);
    return v;
  }

  [[noreturn]] void Fail(const char* what, size_t offset, size_t n) const;

 private:
  void Need(size_t n, const char* what) const {
    if (!Has(n)) Fail(what, pos_, n);
  }

  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
  std::string source_;
};

static_assert(std::endian::native == std::endian::little, "the readers assume a little-endian host");

}  // namespace lapforge
