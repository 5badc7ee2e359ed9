// Assembles object record files byte by byte, the way another tool would
// write them, for tests that pin the exact file layout.
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

namespace lapforge {

class CRecordBytes {
 public:
  CRecordBytes& U8(uint8_t v) {
    bytes_.push_back(v);
    return *this;
  }
  CRecordBytes& U32(uint32_t v) { return Put(&v, 4); }
  CRecordBytes& I32(int32_t v) { return Put(&v, 4); }
  CRecordBytes& F32(float v) { return Put(&v, 4); }
  CRecordBytes& F64(double v) { return Put(&v, 8); }
  CRecordBytes& Zeroes(size_t n) {
    bytes_.resize(bytes_.size() + n, 0);
    return *this;
  }
  // The characters and their NUL, no length.
  CRecordBytes& Text(const char* s) { return Put(s, std::strlen(s) + 1); }
  // A string field: uint32 (length + 1) and the characters with NUL, or a
  // single uint32 0 for an empty text.
  CRecordBytes& Str(const std::string& s) {
    if (s.empty()) return U32(0);
    U32(static_cast<uint32_t>(s.size() + 1));
    return Put(s.c_str(), s.size() + 1);
  }
  // A value array: uint32 8n and n float64.
  CRecordBytes& Values(std::initializer_list<double> v) {
    U32(static_cast<uint32_t>(8 * v.size()));
    for (double d : v) F64(d);
    return *this;
  }
  // The start of a record defining an object: ids, and the class name when
  // the class occurs for the first time.
  CRecordBytes& Record(uint32_t objectId, uint32_t classId, const char* newClassName = nullptr) {
    U32(objectId).U32(classId);
    if (newClassName) U32(static_cast<uint32_t>(std::strlen(newClassName) + 1)).Text(newClassName);
    return *this;
  }
  // The standard long header.
  CRecordBytes& Header(const std::string& name, int32_t value) { return U32(1).Str(name).I32(value); }
  // A fixed block of n bytes with int32 values at the given offsets.
  CRecordBytes& Block(size_t n, std::initializer_list<std::pair<size_t, int32_t>> at) {
    size_t base = bytes_.size();
    Zeroes(n);
    for (auto [off, v] : at) std::memcpy(bytes_.data() + base + off, &v, 4);
    return *this;
  }
  CRecordBytes& Put(const void* p, size_t n) {
    const uint8_t* b = static_cast<const uint8_t*>(p);
    bytes_.insert(bytes_.end(), b, b + n);
    return *this;
  }

  CRecordBytes& Append(const CRecordBytes& other) { return Put(other.bytes_.data(), other.bytes_.size()); }

  size_t Size() const { return bytes_.size(); }
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

}  // namespace lapforge
