#include "formats/gmt/GtlFile.h"

#include <algorithm>
#include <cmath>

#include "formats/base/FieldText.h"
#include "formats/base/TextNumbers.h"
#include "support/ByteWriter.h"
#include "support/FileIO.h"

namespace lapforge {

namespace {

// C8 CF D2 D8 CE D8 E6 C3 D6 DE D8 BE BB A7 BF 90 as little-endian words.
constexpr uint32_t kSignature[4] = {0xD8D2CFC8u, 0xC3E6D8CEu, 0xBED8DED6u, 0x90BFA7BBu};

}  // namespace

std::vector<uint8_t> CZGTLFile::GTLFileBytes(const CGlObjTag& tag) {
  CByteWriter w;
  GTLFileBytes(w, tag);
  return w.Take();
}

void CZGTLFile::GTLFileBytes(CByteWriter& w, const CGlObjTag& tag) {
  MakeWriteMaterials();
  const int32_t n = static_cast<int32_t>(objects.size());
  const int32_t t = TotalTriangles();
  size_t vertexBytes = 0;
  for (const CMtsObj& object : objects) vertexBytes += 88 * object.points.size() + 6 * object.faces.size();
  w.Reserve(kGtlHeaderSize + kDescriptorSize * objects.size() + 52 * static_cast<size_t>(t) + vertexBytes +
            2048 * writeMaterials.size());

  const int32_t vertexOffset = WriteGtlHeader(w, tag, n, t);
  WriteGtlDescriptors(w, n, vertexOffset);

  // Collision triangles, 36 bytes: the plane distance is taken in mesh axes.
  WriteCollisionTriangles(w, true);

  WriteTriangleNormals(w, false);

  WriteObjectBlocks(w);

  const size_t materialSection = w.Size();
  WriteMaterialSection(w, false);
  w.PatchU32(0, static_cast<uint32_t>(materialSection - 4));
}

// The header, 532 bytes, of n objects and t triangles; returns the offset
// of the first object's blocks.
int32_t CZGTLFile::WriteGtlHeader(CByteWriter& w, const CGlObjTag& tag, int32_t n, int32_t t) const {
  float nearDistance = 0.0f, farDistance = 0.0f;
  VisibilityDistances(tag, nearDistance, farDistance);
  const int32_t triangleOffset = kGtlDescriptorOffset + kDescriptorSize * n;
  const int32_t normalOffset = triangleOffset + kCollisionSize * t;
  const int32_t vertexOffset = normalOffset + 16 * t;
  w.U32(0);  // material section position - 4, patched below
  w.I16(32);
  w.I16(tag.flag ? 1024 : 0);
  for (uint32_t word : kSignature) w.U32(word);                                            // 8
  w.F32(FiniteOr0(BoundingRadius()));                                                      // 24
  for (const auto& corner : corners) WriteFileVector(w, corner[0], corner[1], corner[2]);  // 28
  w.Zeroes(220 - 124);
  for (int i = 0; i < 2; ++i)
    for (float f : centre) w.F32(FiniteOr0(f));  // 220, 232
  w.F32(FiniteOr0(nearDistance));                // 244
  w.F32(FiniteOr0(farDistance));                 // 248
  w.Zeroes(308 - 252);
  for (float f : origin) w.F32(FiniteOr0(f));  // 308
  w.Zeroes(328 - 320);
  for (float f : origin) w.F32(FiniteOr0(f));  // 328
  w.Zeroes(364 - 340);
  WriteBlockTable(w, n, kGtlDescriptorOffset, t, triangleOffset, normalOffset, vertexOffset);  // 364..395
  w.Zeroes(404 - 396);
  WriteFieldText(w, title, 64);  // 404
  w.Zeroes(kGtlHeaderSize - 468);
  return vertexOffset;
}

// The descriptors of n objects, 108 bytes each, their blocks placed from
// running on.
void CZGTLFile::WriteGtlDescriptors(CByteWriter& w, int32_t n, int64_t running) const {
  for (int32_t k = 0; k < n; ++k) {
    const ObjectBlockOffsets at = PlaceObjectBlocks(k, running);  // never a second UV block
    w.U32(at.flags);
    w.I32(k);
    w.I32(static_cast<int32_t>(at.vertices));
    w.I32(static_cast<int32_t>(at.vertexBlock));  // 12
    w.Zeroes(4);
    w.I32(static_cast<int32_t>(at.uv1));  // 20
    w.Zeroes(4);
    w.I32(static_cast<int32_t>(at.tangents));  // 28
    w.Zeroes(4);
    w.I32(static_cast<int32_t>(at.indices));     // 36
    w.I32(static_cast<int32_t>(at.indexBlock));  // 40
    w.Zeroes(60 - 44);
    w.I32(-1);  // 60
    w.Zeroes(kDescriptorSize - 64);
  }
}

Result CZGTLFile::WriteGTLFile(const std::string& path, const CGlObjTag& tag) {
  CByteWriter w;
  GTLFileBytes(w, path, tag);
  return ReplaceFile(path, w.Data(), w.Size());
}

void CZGTLFile::GTLFileBytes(CByteWriter& w, const std::string& path, const CGlObjTag& tag) {
  SetFilePath(path);
  GTLFileBytes(w, tag);
}

}  // namespace lapforge
