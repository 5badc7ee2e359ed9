#include "formats/3ds/3dsChunks.h"

#include "formats/base/FieldText.h"
#include "formats/base/TextNumbers.h"
#include "support/ByteWriter.h"

namespace lapforge {

namespace {

// Texts end at their first NUL in the file, so they are cut there.
std::string CutAtNul(std::string_view text) {
  size_t nul = text.find('\0');
  return std::string(nul == std::string_view::npos ? text : text.substr(0, nul));
}

}  // namespace

uint64_t CZMaxAtom::GetLen() {
  uint64_t len = CalcLen();
  for (const auto& child : children_) len += child->GetLen();
  length_ = len;
  return len;
}

void CZMaxAtom::WriteHdr(CByteWriter& out) const {
  out.U16(id_);
  out.U32(static_cast<uint32_t>(length_));
}

void CZMaxAtom::Write(CByteWriter& out) const {
  WriteHdr(out);
  WriteData(out);
  for (const auto& child : children_) child->Write(out);
}

void CZMaxObjMain::WriteData(CByteWriter& out) const {
  out.U16(0x0002);
  out.U32(10);
  out.U32(3);
}

void CZMaxObjShort::WriteData(CByteWriter& out) const { out.U16(value_); }

void CZMaxObjLong::WriteData(CByteWriter& out) const { out.U32(value_); }

void CZMaxObjMatRGB::WriteData(CByteWriter& out) const {
  out.U16(0x0011);
  out.U32(9);
  out.Bytes(rgb_, 3);
}

CZMaxObjString::CZMaxObjString(uint16_t id, std::string_view text) : CZMaxObj(id), text_(CutAtNul(text)) {}

void CZMaxObjString::WriteData(CByteWriter& out) const {
  out.Bytes(text_.data(), text_.size());
  out.U8(0);
}

// Non-finite coordinates would poison every reader's bounds; they are
// stored as 0.
void CZMaxObjTriVertexl::Add(float x, float y, float z) {
  xyz_.push_back(FiniteOr0(x));
  xyz_.push_back(FiniteOr0(y));
  xyz_.push_back(FiniteOr0(z));
}

void CZMaxObjTriVertexl::WriteData(CByteWriter& out) const {
  out.U16(static_cast<uint16_t>(Count()));
  out.Bytes(xyz_.data(), xyz_.size() * sizeof(float));
}

void CZMaxObjMappingCoords::Add(float u, float v) {
  uv_.push_back(FiniteOr0(u));
  uv_.push_back(FiniteOr0(v));
}

void CZMaxObjMappingCoords::WriteData(CByteWriter& out) const {
  out.U16(static_cast<uint16_t>(Count()));
  out.Bytes(uv_.data(), uv_.size() * sizeof(float));
}

void CZMaxObjTriFacel::WriteData(CByteWriter& out) const {
  out.U16(count_);
  for (uint32_t i = 0; i < count_; ++i) {
    out.U16(static_cast<uint16_t>(3 * i));
    out.U16(static_cast<uint16_t>(3 * i + 1));
    out.U16(static_cast<uint16_t>(3 * i + 2));
    out.U16(0x0015);
  }
}

CZMaxObjTriMaterial::CZMaxObjTriMaterial(std::string_view name, std::vector<uint16_t> faces)
    : CZMaxObj(0x4130), name_(CutAtNul(name)), faces_(std::move(faces)) {}

void CZMaxObjTriMaterial::WriteData(CByteWriter& out) const {
  out.Bytes(name_.data(), name_.size());
  out.U8(0);
  out.U16(static_cast<uint16_t>(faces_.size()));
  out.Bytes(faces_.data(), faces_.size() * sizeof(uint16_t));
}

}  // namespace lapforge
