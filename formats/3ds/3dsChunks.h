// The chunks of a 3DS file. A chunk is a uint16 id, a uint32 length covering
// its 6-byte header, its own data and all its children, then the data, then
// the children in the order they were attached. Each chunk class knows its
// own data; the tree computes the lengths and writes itself depth first.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lapforge {

class CByteWriter;

class CZMaxAtom {
 public:
  explicit CZMaxAtom(uint16_t id) : id_(id) {}
  virtual ~CZMaxAtom() = default;
  CZMaxAtom(const CZMaxAtom&) = delete;
  CZMaxAtom& operator=(const CZMaxAtom&) = delete;

  uint16_t GetID() const { return id_; }
  // Own length + every child's length (stored for WriteHdr). 64-bit so that
  // a tree too large for the format's 32-bit lengths can be detected.
  uint64_t GetLen();
  void WriteHdr(CByteWriter& out) const;
  // Header, own data, children; GetLen must have run on this tree first.
  void Write(CByteWriter& out) const;

  // Attaches a child (made by the caller) and returns it.
  template <typename T>
  T* Attach(std::unique_ptr<T> child) {
    T* raw = child.get();
    children_.push_back(std::move(child));
    return raw;
  }
  template <typename T, typename... Args>
  T* Make(Args&&... args) {
    return Attach(std::make_unique<T>(std::forward<Args>(args)...));
  }
  const std::vector<std::unique_ptr<CZMaxAtom>>& Children() const { return children_; }

 protected:
  // Bytes of the header and own data, without children.
  virtual uint64_t CalcLen() const = 0;
  virtual void WriteData(CByteWriter& out) const = 0;

 private:
  uint16_t id_;
  uint64_t length_ = 0;
  std::vector<std::unique_ptr<CZMaxAtom>> children_;
};

// A container chunk without data of its own.
class CZMaxObj : public CZMaxAtom {
 public:
  explicit CZMaxObj(uint16_t id) : CZMaxAtom(id) {}

 protected:
  uint64_t CalcLen() const override { return 6; }
  void WriteData(CByteWriter&) const override {}
};

// The root 0x4D4D, with the version chunk 0x0002 (= 3) written inline.
class CZMaxObjMain : public CZMaxObj {
 public:
  CZMaxObjMain() : CZMaxObj(0x4D4D) {}

 protected:
  uint64_t CalcLen() const override { return 16; }
  void WriteData(CByteWriter& out) const override;
};

class CZMaxObjShort : public CZMaxObj {
 public:
  CZMaxObjShort(uint16_t id, uint16_t value) : CZMaxObj(id), value_(value) {}

 protected:
  uint64_t CalcLen() const override { return 8; }
  void WriteData(CByteWriter& out) const override;

 private:
  uint16_t value_;
};

class CZMaxObjLong : public CZMaxObj {
 public:
  CZMaxObjLong(uint16_t id, uint32_t value) : CZMaxObj(id), value_(value) {}

 protected:
  uint64_t CalcLen() const override { return 10; }
  void WriteData(CByteWriter& out) const override;

 private:
  uint32_t value_;
};

// A material colour: its 24-bit colour chunk 0x0011 written inline.
class CZMaxObjMatRGB : public CZMaxObj {
 public:
  explicit CZMaxObjMatRGB(uint16_t id, uint8_t r = 255, uint8_t g = 255, uint8_t b = 255)
      : CZMaxObj(id), rgb_{r, g, b} {}

 protected:
  uint64_t CalcLen() const override { return 15; }
  void WriteData(CByteWriter& out) const override;

 private:
  uint8_t rgb_[3];
};

// A NUL-terminated text. A text holding a NUL is cut there, so that the
// chunk's length and the reader's view of the text agree.
class CZMaxObjString : public CZMaxObj {
 public:
  CZMaxObjString(uint16_t id, std::string_view text);
  const std::string& Text() const { return text_; }

 protected:
  uint64_t CalcLen() const override { return text_.size() + 7; }
  void WriteData(CByteWriter& out) const override;

 private:
  std::string text_;
};

// 0x4110: the vertex positions, x, y, z per point.
class CZMaxObjTriVertexl : public CZMaxObj {
 public:
  CZMaxObjTriVertexl() : CZMaxObj(0x4110) {}
  void Reserve(size_t points) { xyz_.reserve(points * 3); }
  void Add(float x, float y, float z);
  size_t Count() const { return xyz_.size() / 3; }

 protected:
  uint64_t CalcLen() const override { return 8 + 12 * static_cast<uint64_t>(Count()); }
  void WriteData(CByteWriter& out) const override;

 private:
  std::vector<float> xyz_;
};

// 0x4140: one (u, v) pair per point.
class CZMaxObjMappingCoords : public CZMaxObj {
 public:
  CZMaxObjMappingCoords() : CZMaxObj(0x4140) {}
  void Reserve(size_t points) { uv_.reserve(points * 2); }
  void Add(float u, float v);
  size_t Count() const { return uv_.size() / 2; }

 protected:
  uint64_t CalcLen() const override { return 8 + 8 * static_cast<uint64_t>(Count()); }
  void WriteData(CByteWriter& out) const override;

 private:
  std::vector<float> uv_;
};

// 0x4120: n triangles over unshared points, triangle i using 3i, 3i+1, 3i+2.
class CZMaxObjTriFacel : public CZMaxObj {
 public:
  explicit CZMaxObjTriFacel(uint16_t count) : CZMaxObj(0x4120), count_(count) {}

 protected:
  uint64_t CalcLen() const override { return 8 + 8 * static_cast<uint64_t>(count_); }
  void WriteData(CByteWriter& out) const override;

 private:
  uint16_t count_;
};

// 0x4130: a material name and the triangles that use it.
class CZMaxObjTriMaterial : public CZMaxObj {
 public:
  CZMaxObjTriMaterial(std::string_view name, std::vector<uint16_t> faces);

 protected:
  uint64_t CalcLen() const override { return name_.size() + 9 + 2 * static_cast<uint64_t>(faces_.size()); }
  void WriteData(CByteWriter& out) const override;

 private:
  std::string name_;
  std::vector<uint16_t> faces_;
};

}  // namespace lapforge
