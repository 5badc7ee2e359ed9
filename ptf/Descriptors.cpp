#include "ptf/Descriptors.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <unordered_set>

#include "formats/shaders/ShaderDictionary.h"
#include "mesh/GlMaterial.h"
#include "support/FileString.h"
#include "support/TextFormat.h"

namespace lapforge {

namespace {

// A count of fixed-size items is checked against the bytes left before
// anything is allocated for it.
void NeedItems(CByteReader& r, uint64_t count, uint64_t itemSize, const char* what) {
  if (count * itemSize > r.Remaining()) r.Fail(what, r.Pos(), static_cast<size_t>(count * itemSize));
}

std::vector<uint32_t> ReadIndices(CByteReader& r) {
  uint32_t bytes = r.U32("index list size");
  NeedItems(r, bytes, 1, "index list");
  std::vector<uint32_t> v(bytes / 4);
  if (!v.empty()) r.Bytes(v.data(), v.size() * 4, "index list");
  r.Skip(bytes % 4);
  return v;
}

// The 12-byte header of the section records: tag, name length (must be 0),
// header value.
size_t ReadRawSectionHeader(CN5Obj& o, CByteReader& r) {
  r.U32("header tag");
  if (r.U32("object name length") != 0) ThrowDamaged(r, "section record with a name", r.Pos() - 4);
  o.headerValue = r.I32("header value");
  return 12;
}

template <size_t N>
void PutI32(std::array<uint8_t, N>& b, size_t off, int32_t v) {
  std::memcpy(b.data() + off, &v, 4);
}
template <size_t N>
int32_t GetI32(const std::array<uint8_t, N>& b, size_t off) {
  int32_t v;
  std::memcpy(&v, b.data() + off, 4);
  return v;
}
template <size_t N>
void PutF64(std::array<uint8_t, N>& b, size_t off, double v) {
  std::memcpy(b.data() + off, &v, 8);
}

int NonNullChildren(const CN5Obj* o) {
  int n = 0;
  if (o)
    for (auto* c : o->children) n += c != nullptr;
  return n;
}
// An appearance is written with its first slot and six null slots.
int WrittenNonNullChildren(const CN5Obj* ap) { return ap && !ap->children.empty() && ap->children[0] ? 1 : 0; }

}  // namespace

// ---- TrackDescriptor ----

CN5ObjTk::CN5ObjTk() {
  className = "TrackDescriptor";
  headerValue = 6;
  for (double& v : summaryValues) v = 1.0;
  summaryValues[0] = -0.596574;
  summaryValues[1] = -0.32186;
  summaryValues[2] = -0.735;
  summaryValues[3] = 0.8;
  summaryValues[4] = 0.3;
  summaryValues[8] = 0.3;
  summaryValues[9] = 0.7;
  summaryValues[16] = 0.0001;
  summaryValues[20] = 0.0004;
}

size_t CN5ObjTk::ReadData(CByteReader& r) {
  size_t start = r.Pos();
  if (headerValue == 8) {
    segmentCount = r.I32();
    nightFlag = r.U8();
    for (double& v : lightValues) v = r.F64();
    northSouthAngle = r.F32();
    uint32_t n = r.U32("bump count");
    if (n > 0) {
      r.U32();
      NeedItems(r, n, 48, "bump definitions");
      bumpDefs.resize(n);
      for (uint32_t i = 0; i < n; ++i) {
        r.Skip(16);
        bumpDefs[i].index = static_cast<int32_t>(i);
        r.Bytes(bumpDefs[i].first.data(), 16);
        r.Bytes(bumpDefs[i].second.data(), 16);
      }
    }
    r.U32();
  } else {
    segmentCount = r.I32();
    summaryByte = r.U8();
    for (double& v : summaryValues) v = r.F64();
    r.Bytes(summaryTail, 4);
  }
  ReadChildrenList(r, &details);
  ReadChildrenList(r, &tsoRefs);
  // Segments are numbered as they are read, while each is still in cache
  // (a pass over all of them afterwards misses the cache once per segment).
  // The number is the position in the array: null entries and records of
  // other kinds take a position too.
  int index = 0;
  ReadChildrenArray(
      r, &segments,
      [](CN5Obj* s, void* next) {
        int& position = *static_cast<int*>(next);
        if (auto* sg = dynamic_cast<CN5ObjSg*>(s)) sg->index = position;
        ++position;
      },
      &index);
  return r.Pos() - start;
}

void CN5ObjTk::ReWriteData() {
  // A track read from a file keeps only its flagger and truck objects; the
  // others are placed again by the track builder.
  if (readPos && root && !root->keepAllTsoReferences) {
    std::vector<CN5Obj*> kept;
    for (CN5Obj* ref : tsoRefs) {
      const CN5ObjTo* to = nullptr;
      if (ref)
        for (CN5Obj* c : ref->children)
          if ((to = dynamic_cast<const CN5ObjTo*>(c))) break;
      std::string name = to ? ToLower(to->fileName) : std::string();
      if (name.find("flagger") != std::string::npos || name.find("truck_led") != std::string::npos ||
          name.find("truck_tron") != std::string::npos)
        kept.push_back(ref);
    }
    tsoRefs = kept;
  }
  segmentCount = static_cast<int32_t>(segments.size());
  if (headerValue == 8) {
    WriteLong(static_cast<uint32_t>(segmentCount));
    WriteBytes(&nightFlag, 1);
    for (double v : lightValues) WriteDouble(v);
    WriteFloat(northSouthAngle);
    WriteLong(static_cast<uint32_t>(bumpDefs.size()));
    if (!bumpDefs.empty()) {
      WriteLong(static_cast<uint32_t>(48 * bumpDefs.size()));
      for (auto& b : bumpDefs) {
        WriteZeroes(16);
        WriteFloatBytes(b.first.data(), 4);
        WriteFloatBytes(b.second.data(), 4);
      }
    }
    WriteLong(0);
  } else {
    WriteLong(static_cast<uint32_t>(segmentCount));
    WriteBytes(&summaryByte, 1);
    for (double v : summaryValues) WriteDouble(v);
    WriteBytes(summaryTail, 4);
  }
  WriteChildrenList(details);
  WriteChildrenList(tsoRefs);
  WriteLong(static_cast<uint32_t>(4 * segments.size()));
  WriteChildrenArray(segments, false);
}

// ---- SegmentDescriptor ----

CN5ObjSg::CN5ObjSg() {
  className = "SegmentDescriptor";
  headerValue = 1;
}

size_t CN5ObjSg::ReadData(CByteReader& r) {
  size_t start = r.Pos();
  ReadChildrenList(r, &bankLines);
  ReadChildrenList(r, &bands);
  for (size_t i = 0; i + 1 < bands.size(); ++i) {
    auto* a = dynamic_cast<CN5ObjFs*>(bands[i]);
    auto* b = dynamic_cast<CN5ObjFs*>(bands[i + 1]);
    if (a && b) {
      a->widthStart = b->latStart - a->latStart;
      a->widthEnd = b->latEnd - a->latEnd;
    }
  }
  ReadChildrenList(r, &walls);
  segType = r.I32();
  startX = r.F64();
  startY = r.F64();
  startAngle = r.F64();
  endX = r.F64();
  endY = r.F64();
  endAngle = r.F64();
  reserved = r.U8();
  openFlags = r.U8();
  if (headerValue == 2) {
    uint32_t n = r.U32("bump reference count");
    if (n) {
      r.U32();
      NeedItems(r, n, 12, "bump references");
      bumpRefs.resize(n);
      for (auto& b : bumpRefs) r.Bytes(b.data(), 12);
    }
    uint32_t m = r.U32("bump scale count");
    if (m) {
      r.U32();
      NeedItems(r, m, 16, "bump scales");
      bumpScales.resize(m);
      for (auto& b : bumpScales) r.Bytes(b.data(), 16);
    }
  }
  return r.Pos() - start;
}

void CN5ObjSg::ReWriteData() {
  WriteChildrenList(bankLines);
  WriteChildrenList(bands);
  WriteChildrenList(walls);
  WriteLong(static_cast<uint32_t>(segType));
  for (double v : {startX, startY, startAngle, endX, endY, endAngle}) WriteDouble(v);
  WriteBytes(&reserved, 1);
  WriteBytes(&openFlags, 1);
  if (headerValue == 2) {
    WriteLong(static_cast<uint32_t>(bumpRefs.size()));
    if (!bumpRefs.empty()) {
      WriteLong(static_cast<uint32_t>(12 * bumpRefs.size()));
      // Two laterals, then the definition's index.
      for (auto& b : bumpRefs) {
        WriteFloatBytes(b.data(), 2);
        WriteBytes(b.data() + 8, 4);
      }
    }
    WriteLong(static_cast<uint32_t>(bumpScales.size()));
    if (!bumpScales.empty()) {
      WriteLong(static_cast<uint32_t>(16 * bumpScales.size()));
      for (auto& b : bumpScales) WriteFloatBytes(b.data(), 4);
    }
  }
}

// ---- X_SectionDescriptor ----

CN5ObjXs::CN5ObjXs() {
  className = "X_SectionDescriptor";
  headerValue = 2;
}
size_t CN5ObjXs::ReadLongHdr(CByteReader& r) { return ReadRawSectionHeader(*this, r); }

size_t CN5ObjXs::ReadData(CByteReader& r) {
  size_t start = r.Pos();
  if (headerValue == 3) {
    latStart = r.F32();
    heightStart = r.F64();
    gradStart = r.F32();
    latEnd = r.F32();
    heightEnd = r.F64();
    gradEnd = r.F32();
    flag = r.U8();
    // Gathered first so that each list is allocated once, at its size.
    uint8_t bytes[6];
    float floats[4];
    size_t nBytes = 0, nFloats = 0;
    for (int side = 0; side < 2; ++side) {
      uint8_t tag = r.U8("side tag");
      bytes[nBytes++] = tag;
      if (tag == 1 || tag == 2) {
        floats[nFloats++] = r.F32();
        floats[nFloats++] = r.F32();
      }
      if (tag == 2) {
        bytes[nBytes++] = r.U8();
        bytes[nBytes++] = r.U8();
      }
    }
    sideBytes.assign(bytes, bytes + nBytes);
    sideFloats.assign(floats, floats + nFloats);
  } else {
    latStart = r.F64();
    heightStart = r.F64();
    gradStart = r.F64();
    latEnd = r.F64();
    heightEnd = r.F64();
    gradEnd = r.F64();
    flag = r.U8();
  }
  return r.Pos() - start;
}

void CN5ObjXs::ReWriteData() {
  if (headerValue == 3) {
    WriteFloat(latStart);
    WriteDouble(heightStart);
    WriteFloat(gradStart);
    WriteFloat(latEnd);
    WriteDouble(heightEnd);
    WriteFloat(gradEnd);
    WriteBytes(&flag, 1);
    WriteZeroes(2);
  } else {
    for (double v : {latStart, heightStart, gradStart, latEnd, heightEnd, gradEnd}) WriteDouble(v);
    WriteBytes(&flag, 1);
  }
}

// ---- F_SectionDescriptor ----

CN5ObjFs::CN5ObjFs() {
  className = "F_SectionDescriptor";
  headerValue = 4;
}
size_t CN5ObjFs::ReadLongHdr(CByteReader& r) { return ReadRawSectionHeader(*this, r); }

size_t CN5ObjFs::ReadData(CByteReader& r) {
  size_t start = r.Pos();
  if (headerValue == 5) {
    latStart = r.F32();
    latEnd = r.F32();
  } else {
    latStart = r.F64();
    latEnd = r.F64();
  }
  straighten = r.U8();
  bandKind = r.I32();
  grip = r.I32();
  // The surface records are this band's children; each ReadChild appends one.
  CN5Obj* ap = ReadOneChild(r);
  CN5Obj* tu = nullptr;
  int k = NonNullChildren(ap);
  if (ap && k > 0) {
    tu = ReadOneChild(r);
    for (int i = 0; i < k; ++i)
      if (r.U8("surface flag") == 0) r.Skip(42, "surface data");
  }
  auto* a = dynamic_cast<CN5ObjAp*>(ap);
  auto* t = dynamic_cast<CN5ObjTu*>(tu);
  if (a && t) {
    appearance = a;
    textureCoords = t;
    textureName = a->GetPrimaryTexture();
  }
  return r.Pos() - start;
}

void CN5ObjFs::ReWriteData() {
  int32_t kind = bandKind;
  if (children.size() > 1 && kind == 0) kind = grip <= 3 ? 1 : 3;
  if (readPos && kind > 4) kind = 2;
  if (headerValue == 5) {
    WriteFloat(latStart);
    WriteFloat(latEnd);
  } else {
    WriteDouble(latStart);
    WriteDouble(latEnd);
  }
  WriteBytes(&straighten, 1);
  WriteLong(static_cast<uint32_t>(kind));
  WriteLong(static_cast<uint32_t>(grip));
  if (!appearance) {
    WriteLong(0);
    return;
  }
  root->WriteNext(appearance);
  // Readers take the texture coordinates only after an appearance with a
  // slot in use; an appearance without texture is written alone so that the
  // records after it stay in place.
  int written = WrittenNonNullChildren(appearance);
  if (written == 0) return;
  root->WriteNext(textureCoords);
  uint8_t one = 1;
  for (int i = 0; i < written; ++i) WriteBytes(&one, 1);
}

// ---- W_SectionDescriptor ----

CN5ObjWs::CN5ObjWs() {
  className = "W_SectionDescriptor";
  headerValue = 5;
  float f = -1.0f;
  std::memcpy(extension.data(), &f, 4);
  PutI32(extension, 4, 4);
  const float at[5] = {0.3f, 0.9f, 0.5f, 1.0f, 1.1f};
  const size_t off[5] = {16, 20, 28, 32, 36};
  for (int i = 0; i < 5; ++i) std::memcpy(extension.data() + off[i], &at[i], 4);
}
size_t CN5ObjWs::ReadLongHdr(CByteReader& r) { return ReadRawSectionHeader(*this, r); }

size_t CN5ObjWs::ReadData(CByteReader& r) {
  size_t start = r.Pos();
  if (headerValue >= 6) {
    latStart = r.F32();
    latEnd = r.F32();
  } else {
    latStart = r.F64();
    latEnd = r.F64();
  }
  straighten = r.U8();
  tiedValue = r.I32();
  heightStart = r.F64();
  heightEnd = r.F64();
  widthStart = r.F64();
  widthEnd = r.F64();
  boundWidthStart = r.F64();
  boundWidthEnd = r.F64();
  extraValue = r.I32();
  if (headerValue == 7) {
    extensionFlag = r.I32();
    if (extensionFlag == 1) r.Bytes(extension.data(), 40, "wall extension");
    wallType = static_cast<int32_t>(r.U32());
    groupCount = static_cast<int32_t>(r.U32("group count"));
  } else {
    wallType = r.I32();
    groupCount = r.I32("group count");
  }
  if (groupCount < 0) ThrowDamaged(r, "negative wall group count", r.Pos() - 4);
  NeedItems(r, static_cast<uint32_t>(groupCount), 28, "wall groups");
  faces.reserve(size_t(groupCount) * 5);
  children.reserve(children.size() + size_t(groupCount) * 10);
  for (int g = 0; g < groupCount; ++g) {
    r.Skip(8, "wall group");
    for (int s = 0; s < 5; ++s) {
      _ApTuPair pair;
      if (CN5Obj* ap = ReadOneChild(r)) {
        pair.textureCoords = ReadOneChild(r);
        int k = NonNullChildren(ap);
        for (int i = 0; i < k; ++i)
          if (r.U8("face flag") == 0) r.Skip(34, "face data");
        pair.appearance = ap;
      }
      faces.push_back(pair);
      if (g == 0) {
        auto* ap = dynamic_cast<CN5ObjAp*>(pair.appearance);
        textureNames.push_back(ap ? ap->GetPrimaryTexture() : std::string());
      }
    }
  }
  return r.Pos() - start;
}

void CN5ObjWs::ReWriteData() {
  int32_t tied = readPos ? (root && root->keepReadWallTies ? tiedValue : 1) : 3;
  if (headerValue >= 6) {
    WriteFloat(latStart);
    WriteFloat(latEnd);
  } else {
    WriteDouble(latStart);
    WriteDouble(latEnd);
  }
  WriteBytes(&straighten, 1);
  WriteLong(static_cast<uint32_t>(tied));
  for (double v : {heightStart, heightEnd, widthStart, widthEnd, boundWidthStart, boundWidthEnd}) WriteDouble(v);
  WriteLong(static_cast<uint32_t>(extraValue));
  if (headerValue == 7) {
    WriteLong(static_cast<uint32_t>(extensionFlag));
    if (extensionFlag == 1) {
      std::array<uint8_t, 40> ext = extension;
      // Built walls on the right carry the two side values negated; walls read
      // from a file already hold them as stored.
      if (!readPos && latStart < 0)
        for (size_t off : {size_t(16), size_t(20)}) {
          float f;
          std::memcpy(&f, ext.data() + off, 4);
          f = -f;
          std::memcpy(ext.data() + off, &f, 4);
        }
      WriteBytes(ext.data(), 40);
    }
    WriteLong(static_cast<uint32_t>(wallType));
    WriteLong(1);
  } else {
    WriteLong(static_cast<uint32_t>(wallType));
    WriteLong(1);
  }
  WriteZeroes(8);
  for (size_t s = 0; s < 5; ++s) {
    _ApTuPair p = s < faces.size() ? faces[s] : _ApTuPair();
    if (!p.appearance) {
      WriteLong(0);
      continue;
    }
    root->WriteNext(p.appearance);
    root->WriteNext(p.textureCoords);
    uint8_t one = 1;
    if (WrittenNonNullChildren(p.appearance)) WriteBytes(&one, 1);
  }
}

// ---- TSOReferenceDescriptor / TSODescriptor / TrackDetailDescriptor ----

CN5ObjRo::CN5ObjRo() {
  className = "TSOReferenceDescriptor";
  headerValue = 1;
}
size_t CN5ObjRo::ReadData(CByteReader& r) {
  size_t start = r.Pos();
  for (double& v : placement) v = r.F64();
  ReadChild(r, nullptr);
  if (headerValue == 6) {
    r.Skip(4);
    uint8_t flag = r.U8();
    if (flag == 0) r.Skip(44);
    uint32_t k = r.U32("placement count");
    NeedItems(r, k, 40, "placement data");
    r.Skip(size_t(k) * 40);
    if (flag == 0) {
      ReadString(r);
    } else {
      uint32_t n = r.U32("placement data size");
      r.Skip(n, "placement data");
    }
  }
  return r.Pos() - start;
}
void CN5ObjRo::ReWriteData() {
  for (double v : placement) WriteDouble(v);
  root->WriteNext(children.empty() ? nullptr : children[0]);
}

CN5ObjTo::CN5ObjTo() {
  className = "TSODescriptor";
  headerValue = 2;
}
size_t CN5ObjTo::ReadData(CByteReader& r) {
  size_t start = r.Pos();
  fileName = ReadString(r);
  secondName = ReadString(r);
  if (headerValue == 3) setFlag = r.U8();
  return r.Pos() - start;
}
void CN5ObjTo::ReWriteData() {
  WriteString(fileName);
  WriteString(secondName);
  if (headerValue == 3) WriteBytes(&setFlag, 1);
}

CN5ObjTd::CN5ObjTd() {
  className = "TrackDetailDescriptor";
  headerValue = 0;
  PutI32(block, 40, 32);
  PutI32(block, 76, 32);
  for (size_t off : {16, 24, 52, 60, 80, 88}) PutF64(block, off, 1.0);
}
size_t CN5ObjTd::ReadData(CByteReader& r) {
  size_t start = r.Pos();
  ReadChild(r, nullptr);
  r.Bytes(block.data(), block.size(), "track detail");
  return r.Pos() - start;
}
void CN5ObjTd::ReWriteData() {
  root->WriteNext(children.empty() ? nullptr : children[0]);
  // The placement, size, heading and texture values of the block are
  // doubles; one that is not finite is written as 0.
  std::array<uint8_t, 112> b = block;
  for (size_t off : kDoubleOffsets) {
    double v;
    std::memcpy(&v, b.data() + off, 8);
    if (!std::isfinite(v)) PutF64(b, off, 0.0);
  }
  WriteBytes(b.data(), b.size());
}

// ---- switches, shapes, groups ----

CN5ObjSw::CN5ObjSw() {
  className = "StateSwitchDescriptor";
  headerValue = 1;
  PutI32(block, 0, 1);
  PutI32(block, 52, 1);
}
size_t CN5ObjSw::ReadLongHdr(CByteReader& r) {
  size_t start = r.Pos();
  r.U32();
  uint32_t len = r.U32("object name length");
  r.Skip(len, "object name");
  headerValue = r.I32();
  return r.Pos() - start;
}
void CN5ObjSw::WriteLongHdr() {
  WriteLong(1);
  WriteLong(0);
  WriteLong(1);
}
size_t CN5ObjSw::ReadData(CByteReader& r) {
  size_t start = r.Pos();
  r.Bytes(block.data(), block.size(), "switch block");
  switchName = ReadString(r);
  if (GetI32(block, 52) == 2) extraByte = r.U8();
  r.Bytes(block2.data(), block2.size(), "switch block");
  values = ReadValueArray(r);
  std::vector<CN5Obj*> states;
  ReadChildrenArray(r, &states);
  if (EqualsNoCase(switchName, "weekend") && !values.empty() && root) {
    root->hasWeekendValue = true;
    root->weekendValue = values[0];
  }
  return r.Pos() - start;
}
void CN5ObjSw::ReWriteData() {
  WriteBytes(block.data(), block.size());
  WriteString(switchName);
  if (GetI32(block, 52) == 2) WriteBytes(&extraByte, 1);
  std::array<uint8_t, 12> b2 = block2;
  PutI32(b2, 0, static_cast<int32_t>(children.size()));
  WriteBytes(b2.data(), b2.size());
  WriteValueArray(values);
  WriteLong(static_cast<uint32_t>(4 * children.size()));
  WriteChildrenArray(children, false);
}

CN5ObjLw::CN5ObjLw() {
  className = "LodSwitchDescriptor";
  headerValue = 1;
  PutI32(block, 0, 1);
  PutI32(block, 52, 2);
}
size_t CN5ObjLw::ReadData(CByteReader& r) {
  size_t start = r.Pos();
  r.Bytes(block.data(), block.size(), "switch block");
  values = ReadValueArray(r);
  ReadChildrenArray(r, nullptr);
  return r.Pos() - start;
}
void CN5ObjLw::ReWriteData() {
  std::array<uint8_t, 85> b = block;
  PutI32(b, 56, static_cast<int32_t>(children.size()));
  WriteBytes(b.data(), b.size());
  std::vector<double> v = values;
  v.resize(children.size(), 0.0);
  WriteValueArray(v);
  WriteLong(static_cast<uint32_t>(4 * children.size()));
  WriteChildrenArray(children, false);
}

CN5ObjSh::CN5ObjSh() {
  className = "ShapeDescriptor";
  objectName = "Shape";
  headerValue = 1;
}
size_t CN5ObjSh::ReadLongHdr(CByteReader& r) {
  r.U32("header tag");
  return 4;
}
size_t CN5ObjSh::ReadData(CByteReader& r) {
  size_t start = r.Pos();
  shapeName = ReadString(r);
  r.U32();
  r.U32();
  ReadChild(r, nullptr);
  ReadChild(r, nullptr);
  return r.Pos() - start;
}
void CN5ObjSh::ReWriteData() {
  WriteLong(1);
  WriteString(shapeName);
  WriteLong(1);
  WriteLong(1);
  for (CN5Obj* c : children) root->WriteNext(c);
}

CN5ObjGp::CN5ObjGp() {
  className = "GroupDescriptor";
  objectName = "Group";
  headerValue = 1;
}
size_t CN5ObjGp::ReadData(CByteReader& r) {
  size_t start = r.Pos();
  r.Skip(56, "group block");
  ReadChildrenList(r, nullptr);
  return r.Pos() - start;
}
void CN5ObjGp::ReWriteData() {
  WriteLong(1);
  WriteZeroes(48);
  WriteLong(1);
  WriteChildrenList(children);
}

CN5ObjEm::CN5ObjEm() {
  className = "EmptyDescriptor";
  headerValue = 1;
}
size_t CN5ObjEm::ReadLongHdr(CByteReader& r) {
  r.Skip(8, "empty record");
  return 8;
}
void CN5ObjEm::ReWriteData() {
  WriteLong(1);
  WriteZeroes(4);
}

// ---- geometry ----

CN5ObjGm::CN5ObjGm() {
  className = "GeometryDescriptor";
  headerValue = 1;
}
size_t CN5ObjGm::ReadData(CByteReader& r) {
  size_t start = r.Pos();
  ReadChild(r, nullptr);
  ReadChild(r, nullptr);
  triangles.clear();
  if (children.size() > 1) CollectTriangles(children[1]);
  return r.Pos() - start;
}
namespace {
void AddPrimitive(const CN5Obj* obj, std::vector<uint32_t>& out) {
  if (auto* tl = dynamic_cast<const CN5ObjTl*>(obj))
    out.insert(out.end(), tl->indices.begin(), tl->indices.end() - tl->indices.size() % 3);
  else if (auto* ts = dynamic_cast<const CN5ObjTs*>(obj))
    out.insert(out.end(), ts->triangles.begin(), ts->triangles.end());
  else if (auto* fn = dynamic_cast<const CN5ObjFn*>(obj))
    out.insert(out.end(), fn->triangles.begin(), fn->triangles.end());
}
bool Owns(const CN5Obj* obj, const CN5Obj* c) { return c && c->parent == obj && !dynamic_cast<const CN5ObjVl*>(c); }
void CollectFrom(const CN5Obj* obj, int level, std::vector<uint32_t>& out, std::unordered_set<const CN5Obj*>& seen) {
  // Records are followed from their first parent only, and each once: a
  // record listed many times cannot multiply the work. The level check
  // guards trees built in memory (the reader limits nesting itself).
  if (!obj || level > CN5Root::kMaxDepth || !seen.insert(obj).second) return;
  AddPrimitive(obj, out);
  for (const CN5Obj* c : obj->children)
    if (Owns(obj, c)) CollectFrom(c, level + 1, out, seen);
}
}  // namespace

void CN5ObjGm::CollectTriangles(const CN5Obj* obj, std::vector<uint32_t>& out) {
  if (!obj) return;
  // The usual primitive owns no further primitives: no bookkeeping needed.
  if (std::none_of(obj->children.begin(), obj->children.end(), [&](const CN5Obj* c) { return Owns(obj, c); })) {
    AddPrimitive(obj, out);
    return;
  }
  std::unordered_set<const CN5Obj*> seen;
  CollectFrom(obj, 0, out, seen);
}

void CN5ObjGm::ReWriteData() {
  root->WriteNext(children.empty() ? nullptr : children[0]);
  // Strips and fans are written as a plain triangle list. A geometry built
  // with a primitive child instead of collected triangles takes the
  // primitive's.
  CN5ObjTl list;
  list.root = root;
  list.indices = triangles;
  if (list.indices.empty() && children.size() > 1) CollectTriangles(children[1], list.indices);
  root->WriteNext(&list);
}

CN5ObjVl::CN5ObjVl() {
  className = "PlainVertexListDescriptor";
  headerValue = 1;
}
size_t CN5ObjVl::ReadData(CByteReader& r) {
  size_t start = r.Pos();
  r.U32();
  r.U32("vertex count");
  std::vector<double> x = ReadValueArray(r), y = ReadValueArray(r), z = ReadValueArray(r);
  r.U32();
  std::vector<double> nx = ReadValueArray(r), ny = ReadValueArray(r), nz = ReadValueArray(r);
  r.U32();
  std::vector<double> u = ReadValueArray(r), v = ReadValueArray(r);
  size_t n = std::min({x.size(), y.size(), z.size()});
  positions.resize(n);
  for (size_t i = 0; i < n; ++i) positions[i] = {x[i], y[i], z[i]};
  size_t nn = std::min({nx.size(), ny.size(), nz.size()});
  normals.resize(nn);
  for (size_t i = 0; i < nn; ++i) normals[i] = {nx[i], ny[i], nz[i]};
  size_t nu = std::min(u.size(), v.size());
  uvs.resize(nu);
  for (size_t i = 0; i < nu; ++i) uvs[i] = {u[i], v[i]};
  r.Skip(56, "vertex tail");
  for (int pair = 0; pair < 2; ++pair) {
    for (int b = 0; b < 2; ++b) {
      uint32_t s = r.U32("vertex tail size");
      if (b == 1 && s > 0) (pair == 0 ? tailArray1 : tailArray2) = r.Pos();
      r.Skip(s, "vertex tail");
    }
    r.Skip(8, "vertex tail");
  }
  return r.Pos() - start;
}
void CN5ObjVl::ReWriteData() {
  size_t n = positions.size();
  std::vector<double> a(n);
  WriteLong(1);
  WriteLong(static_cast<uint32_t>(n));
  for (int c = 0; c < 3; ++c) {
    for (size_t i = 0; i < n; ++i) a[i] = c == 0 ? positions[i].x : c == 1 ? positions[i].y : positions[i].z;
    WriteValueArray(a);
  }
  WriteLong(0);
  for (int c = 0; c < 3; ++c) {
    for (size_t i = 0; i < n; ++i) {
      if (normals.size() < n)
        a[i] = c == 2 ? 1.0 : 0.0;
      else
        a[i] = c == 0 ? normals[i].x : c == 1 ? normals[i].y : normals[i].z;
    }
    WriteValueArray(a);
  }
  WriteLong(3);
  for (int c = 0; c < 2; ++c) {
    for (size_t i = 0; i < n; ++i) a[i] = i < uvs.size() ? (c == 0 ? uvs[i].u : uvs[i].v) : 0.0;
    WriteValueArray(a);
  }
  WriteZeroes(88);
}

CN5ObjTu::CN5ObjTu() {
  className = "TextureCoordsDescriptor";
  headerValue = 1;
}
size_t CN5ObjTu::ReadData(CByteReader& r) {
  size_t start = r.Pos();
  r.U32();
  r.U32();
  u1 = ReadValueArray(r);
  v1 = ReadValueArray(r);
  r.Skip(56, "texture coordinates");
  u2 = ReadValueArray(r);
  v2 = ReadValueArray(r);
  r.Skip(8, "texture coordinates");
  u3 = ReadValueArray(r);
  v3 = ReadValueArray(r);
  r.Skip(8, "texture coordinates");
  if (std::min(u1.size(), v1.size()) < 4) {
    u1 = {0, 0, 1, 1};
    v1 = {0, 1, 1, 0};
  }
  return r.Pos() - start;
}
void CN5ObjTu::ReWriteData() {
  WriteLong(4);
  WriteLong(3);
  WriteValueArray(u1);
  WriteValueArray(v1);
  WriteZeroes(56);
  WriteValueArray(u2);
  WriteValueArray(v2);
  WriteZeroes(8);
  if (copyFlag) {
    WriteValueArray(u1);
    WriteValueArray(v1);
  } else {
    WriteValueArray(u3);
    WriteValueArray(v3);
  }
  WriteZeroes(8);
}

CN5ObjTx::CN5ObjTx() {
  className = "TextureDescriptor";
  headerValue = 1;
}
size_t CN5ObjTx::ReadData(CByteReader& r) {
  size_t start = r.Pos();
  textureName = ReadString(r);
  if (headerValue == 2) r.U8();
  return r.Pos() - start;
}
void CN5ObjTx::ReWriteData() { WriteString(textureName); }

CN5ObjAp::CN5ObjAp() {
  className = "AppearanceDescriptor";
  headerValue = 2;
}
size_t CN5ObjAp::ReadData(CByteReader& r) {
  size_t start = r.Pos();
  for (int i = 0; i < 7; ++i) ReadChild(r, nullptr);
  for (double& v : lighting) v = r.F64();
  mode = r.I32();
  return r.Pos() - start;
}
void CN5ObjAp::ReWriteData() {
  root->WriteNext(children.empty() ? nullptr : children[0]);
  WriteZeroes(24);
  for (double v : lighting) WriteDouble(v);
  WriteLong(static_cast<uint32_t>(mode));
}
std::string CN5ObjAp::GetPrimaryTexture() const {
  auto* tx = children.empty() ? nullptr : dynamic_cast<const CN5ObjTx*>(children[0]);
  if (!tx) return {};
  std::string s = ToLower(tx->textureName);
  size_t b = s.find_last_of('\\');
  if (b != std::string::npos && b != 0) s = s.substr(b + 1);
  size_t d = s.find_last_of('.');
  if (d != std::string::npos && d != 0) s = s.substr(0, d);
  return s;
}
void CN5ObjAp::GetColourTexture(double& red, double& green, double& blue, std::string& texture,
                                std::string& name) const {
  red = lighting[0];
  green = lighting[1];
  blue = lighting[2];
  for (const CN5Obj* c : children)
    if (auto* tx = dynamic_cast<const CN5ObjTx*>(c); tx && !tx->textureName.empty()) {
      texture = ToLower(tx->textureName);
      break;
    }
  name = appearanceName.empty() ? objectName : appearanceName;
}

void CN5ObjAp::GetMaterial(CGlMaterial& material) const {
  material.diffuse.r = static_cast<float>(lighting[0]);
  material.diffuse.g = static_cast<float>(lighting[1]);
  material.diffuse.b = static_cast<float>(lighting[2]);
  material.materialName = appearanceName.empty() ? objectName : appearanceName;
  auto slotTexture = [&](size_t slot) -> const CN5ObjTx* {
    auto* tx = slot < children.size() ? dynamic_cast<const CN5ObjTx*>(children[slot]) : nullptr;
    return tx && !tx->textureName.empty() ? tx : nullptr;
  };
  if (const CN5ObjTx* tx = slotTexture(0)) {
    material.mapName = ToLower(tx->textureName);
    material.mapTitle = FileString::Title(material.mapName);
    if (material.materialName.empty()) material.materialName = material.mapTitle;
  }
  if (const CN5ObjTx* tx = slotTexture(4)) {
    CGlShaderTex& stage = material.shader.maps[0];
    stage.stageType = 11;  // reflection map
    stage.textureName = ToLower(tx->textureName);
    CGfxDictionary::FindShaderMatch(material.shader);
    material.shader.shaderValue = 0.3f;
  }
}

CN5ObjAp* CN5Root::CreateNewAppearance(CN5Obj* parent, const std::string& textureName, std::vector<CN5Obj*>* list) {
  auto* ap = Create<CN5ObjAp>(parent, list);
  ap->mode = defaultAppearanceMode >= 0 ? defaultAppearanceMode : 2;
  auto clearTriple = [&](int t) {
    for (int i = 0; i < 3; ++i) ap->lighting[3 * t + i] = 0.0;
  };
  if (auto* ws = dynamic_cast<CN5ObjWs*>(parent)) {
    if (formatVersion == 7) ap->mode = 0;
    if (ws->wallType == 0x812 || ws->wallType == 0x813) ap->mode = 18;
    clearTriple(2);
  } else if (dynamic_cast<CN5ObjFs*>(parent)) {
    ap->mode = 1;
    clearTriple(2);
  } else if (dynamic_cast<CN5ObjTd*>(parent)) {
    ap->mode = 3;
    clearTriple(1);
    clearTriple(2);
  }
  if (!textureName.empty()) Create<CN5ObjTx>(ap)->textureName = FileString::FileName(textureName);
  return ap;
}

CN5ObjTo* CN5Root::CreateNewTso(CN5Obj* reference, const std::string& name) {
  auto* to = Create<CN5ObjTo>(reference);
  to->fileName = FileString::FileName(name);
  if (to->fileName.find(".3do") == std::string::npos) to->fileName += ".3do";
  to->secondName = "(_TSO)";
  return to;
}

// ---- primitives ----

CN5ObjTl::CN5ObjTl() {
  className = "TriListDescriptor";
  headerValue = 1;
}
size_t CN5ObjTl::ReadData(CByteReader& r) {
  size_t start = r.Pos();
  r.Skip(4, "tri list");
  r.U32();
  r.U32("index count");
  indices = ReadIndices(r);
  return r.Pos() - start;
}
void CN5ObjTl::ReWriteData() {
  WriteLong(0);
  WriteLong(1);
  WriteLong(static_cast<uint32_t>(indices.size()));
  WriteLong(static_cast<uint32_t>(4 * indices.size()));
  if (!indices.empty()) WriteBytes(indices.data(), 4 * indices.size());
}

CN5ObjTs::CN5ObjTs() {
  className = "TriStripDescriptor";
  headerValue = 1;
}
size_t CN5ObjTs::ReadData(CByteReader& r) {
  size_t start = r.Pos();
  ReadChild(r, nullptr);
  r.U32();
  r.U32("index count");
  indices = ReadIndices(r);
  triangles.clear();
  for (size_t k = 0; k + 2 < indices.size(); ++k) {
    uint32_t a = indices[k], b = indices[k + 1], c = indices[k + 2];
    if (a == b || b == c || a == c) continue;
    if (k % 2) std::swap(a, c);
    triangles.insert(triangles.end(), {a, b, c});
  }
  return r.Pos() - start;
}
void CN5ObjTs::ReWriteData() {
  root->WriteNext(children.empty() ? nullptr : children[0]);
  // The inverse of the reader: the triangle at strip position k begins with
  // strip index k, except that the reader stored every odd triangle
  // reversed, so there it is its last index; the last triangle supplies the
  // two indices that close the strip, again in strip order.
  std::vector<uint32_t> strip;
  size_t count = triangles.size() / 3;
  strip.reserve(count + 2);
  for (size_t t = 0; t < count; ++t) strip.push_back(triangles[3 * t + (t % 2 ? 2 : 0)]);
  if (count > 0) {
    const uint32_t* last = &triangles[3 * (count - 1)];
    if ((count - 1) % 2) {
      strip.push_back(last[1]);
      strip.push_back(last[0]);
    } else {
      strip.push_back(last[1]);
      strip.push_back(last[2]);
    }
  }
  WriteLong(1);
  WriteLong(static_cast<uint32_t>(strip.size()));
  WriteLong(static_cast<uint32_t>(4 * strip.size()));
  if (!strip.empty()) WriteBytes(strip.data(), 4 * strip.size());
}

void CN5ObjRaw::KeepPayload(size_t payloadStart, size_t childAt, size_t childEnd, size_t payloadEnd, bool withChild) {
  hasChild = withChild;
  headSize = (withChild ? childAt : payloadEnd) - payloadStart;
  tailAt = (withChild ? childEnd : payloadEnd) - payloadStart;
  tailSize = payloadEnd - payloadStart - tailAt;
}
void CN5ObjRaw::ReWriteData() {
  if (!readPos) return;
  WriteBytes(readPos, headSize);
  if (hasChild) root->WriteNext(children.empty() ? nullptr : children[0]);
  WriteBytes(readPos + tailAt, tailSize);
}

size_t CN5ObjFn::ReadData(CByteReader& r) {
  size_t start = r.Pos();
  ReadChild(r, nullptr);
  const size_t childEnd = r.Pos();
  r.Skip(8, "tri fan");
  indices = ReadIndices(r);
  for (size_t k = 1; k + 1 < indices.size(); ++k)
    triangles.insert(triangles.end(), {indices[0], indices[k], indices[k + 1]});
  KeepPayload(start, start, childEnd, r.Pos(), true);
  return r.Pos() - start;
}

size_t CN5ObjFixed::ReadData(CByteReader& r) {
  size_t start = r.Pos();
  r.Skip(before, "record block");
  const size_t childAt = r.Pos();
  ReadChild(r, nullptr);
  KeepPayload(start, childAt, r.Pos(), r.Pos(), true);
  return r.Pos() - start;
}
size_t CN5ObjAn::ReadData(CByteReader& r) {
  size_t start = r.Pos();
  r.Skip(104, "transform");
  const size_t childAt = r.Pos();
  ReadChild(r, nullptr);
  const size_t childEnd = r.Pos();
  r.Skip(4);
  ReadString(r);
  r.Skip(4);
  uint32_t n = r.U32("animation size");
  r.Skip(n, "animation");
  KeepPayload(start, childAt, childEnd, r.Pos(), true);
  return r.Pos() - start;
}
size_t CN5ObjPo::ReadData(CByteReader& r) {
  size_t start = r.Pos();
  r.Skip(4);
  const size_t childAt = r.Pos();
  ReadChild(r, nullptr);
  const size_t childEnd = r.Pos();
  r.Skip(4);
  ReadIndices(r);
  KeepPayload(start, childAt, childEnd, r.Pos(), true);
  return r.Pos() - start;
}
size_t CN5ObjNo::ReadData(CByteReader& r) {
  size_t start = r.Pos();
  r.Skip(60, "app node");
  ReadString(r);
  const size_t childAt = r.Pos();
  ReadChild(r, nullptr);
  KeepPayload(start, childAt, r.Pos(), r.Pos(), true);
  return r.Pos() - start;
}
size_t CN5ObjMl::ReadData(CByteReader& r) {
  size_t start = r.Pos();
  CN5ObjVl vl;
  vl.ReadData(r);
  KeepPayload(start, 0, 0, r.Pos(), false);
  return r.Pos() - start;
}

// ---- class name to descriptor ----

namespace {
template <typename T>
CN5Obj* MakeAt(void* where) {
  return where ? new (where) T() : new T();
}
template <typename T>
constexpr CN5Kind Kind(const char* prefix) {
  return {prefix, &MakeAt<T>, sizeof(T), alignof(T)};
}
const CN5Kind kKinds[] = {
    Kind<CN5ObjSg>("SegmentDescriptor"),
    Kind<CN5ObjTk>("TrackDescriptor"),
    Kind<CN5ObjXs>("X_SectionDescriptor"),
    Kind<CN5ObjWs>("W_SectionDescriptor"),
    Kind<CN5ObjFs>("F_SectionDescriptor"),
    Kind<CN5ObjRo>("TSOReferenceDescriptor"),
    Kind<CN5ObjTo>("TSODescriptor"),
    Kind<CN5ObjTd>("TrackDetailDescriptor"),
    Kind<CN5ObjSw>("StateSwitchDescriptor"),
    Kind<CN5ObjLw>("LodSwitchDescriptor"),
    Kind<CN5ObjSh>("ShapeDescriptor"),
    Kind<CN5ObjAp>("AppearanceDescriptor"),
    Kind<CN5ObjEm>("EmptyDescriptor"),
    Kind<CN5ObjGm>("GeometryDescriptor"),
    Kind<CN5ObjTx>("TextureDescriptor"),
    Kind<CN5ObjGp>("GroupDescriptor"),
    Kind<CN5ObjTu>("TextureCoordsDescriptor"),
    Kind<CN5ObjVl>("PlainVertexListDescriptor"),
    Kind<CN5ObjFn>("TriFanDescriptor"),
    Kind<CN5ObjTs>("TriStripDescriptor"),
    Kind<CN5ObjTl>("TriListDescriptor"),
    Kind<CN5ObjTf>("TransformDescriptor"),
    Kind<CN5ObjAn>("AnimatedTransformDescriptor"),
    Kind<CN5ObjPo>("PortalDescriptor"),
    Kind<CN5ObjMl>("RegionMorphVertexListDescriptor"),
    Kind<CN5ObjSl>("SelfLightingDescriptor"),
    Kind<CN5ObjBl>("BillboardDescriptor"),
    Kind<CN5ObjNo>("AppNodeDescriptor"),
};
}  // namespace

const CN5Kind* CN5Root::FindKind(std::string_view name) {
  for (const CN5Kind& k : kKinds)
    if (name.starts_with(k.prefix)) return &k;
  return nullptr;
}

CN5Obj* CN5Root::NewDescriptor(const std::string& name) {
  const CN5Kind* k = FindKind(name);
  return k ? k->make(nullptr) : nullptr;
}

void CN5Root::DetectFormatVersion() {
  int v = 5;
  for (auto& o : objects) v = std::max(v, o->VersionFromHeader());
  formatVersion = v;
}

}  // namespace lapforge
