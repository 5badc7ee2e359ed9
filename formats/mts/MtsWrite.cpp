// CZMts file writing: the F1 MTS layout, and the descriptor, triangle,
// normal and vertex blocks that the GTR file shares with it.
#include <algorithm>
#include <cmath>

#include "formats/base/TextNumbers.h"
#include "formats/mts/MtsModel.h"
#include "support/ByteWriter.h"
#include "support/FileIO.h"
#include "support/TextFormat.h"

namespace lapforge {

namespace {

constexpr const char* kMtsSignature = "CUBE_MTS_4.10";
constexpr int32_t kModelHeaderSize = 252;
constexpr int32_t kDescriptorOffset = kModelHeaderSize + 4 + 24 + 48;  // 328

// With the clamp on, a coordinate of exactly 1.0 would wrap onto the far
// edge of the texture; the games read 0.99 instead.
float ClampedUV(float value, bool clamp) { return clamp && value == 1.0f ? 0.99f : value; }

}  // namespace

void CZMts::WriteObjectDescriptors(CByteWriter& w, int32_t flags, int32_t firstVertexOffset) const {
  int64_t running = firstVertexOffset;
  for (size_t k = 0; k < objects.size(); ++k) {
    const CMtsObj& object = objects[k];
    const int32_t vertices = object.points.GetSize();
    const int32_t indices = 3 * object.faces.GetSize();
    w.I32(flags);
    w.I32(static_cast<int32_t>(k));
    w.I32(vertices);
    w.I32(static_cast<int32_t>(running));
    running += 48 * int64_t{vertices};
    w.I32(indices);
    w.I32(static_cast<int32_t>(running));
    running += 2 * int64_t{indices};
    w.Zeroes(40);
  }
}

void CZMts::WriteTriangleRecords(CByteWriter& w) const {
  int32_t number = 0;
  for (size_t k = 0; k < objects.size(); ++k) {
    for (const CGlFace& t : objects[k].faces) {
      for (int c = 0; c < 3; ++c) w.U16(static_cast<uint16_t>(t.vertices[c]));
      w.U16(0);
      w.I32(static_cast<int32_t>(k));
      w.I32(number++);
      w.Zeroes(20);
    }
  }
}

void CZMts::WriteTriangleNormals(CByteWriter& w, bool upNormals) const {
  for (const CMtsObj& object : objects) {
    for (const CGlFace& t : object.faces) {
      if (upNormals) {
        WriteFileVector(w, 0.0f, 0.0f, 1.0f);
      } else {
        WriteFileVector(w, t.normal.x, t.normal.y, t.normal.z);
      }
      w.U32(0);
    }
  }
}

void CZMts::WriteVertexAndIndexBlocks(CByteWriter& w, uint32_t colourWord) const {
  const bool clamp = uvClamp != 0;
  for (const CMtsObj& object : objects) {
    for (const CGlPoint& p : object.points) {
      WriteFileVector(w, p.x, p.y, p.z);
      WriteFileVector(w, p.nx, p.ny, p.nz);
      w.U32(colourWord);
      w.U32(0);
      w.F32(FiniteOr0(ClampedUV(p.u, clamp)));
      w.F32(FiniteOr0(ClampedUV(p.v, clamp)));
      w.Zeroes(8);
    }
    for (const CGlFace& t : object.faces)
      for (int c = 0; c < 3; ++c) w.U16(static_cast<uint16_t>(t.vertices[c]));
  }
}

void CZMts::WriteBlockTable(CByteWriter& w, int32_t objectCount, int32_t descriptorOffset, int32_t triangles,
                            int32_t triangleOffset, int32_t normalOffset, int32_t vertexOffset) {
  w.I32(objectCount);
  w.I32(descriptorOffset);
  w.I32(triangles);
  w.I32(triangleOffset);
  w.I32(triangles);
  w.I32(normalOffset);
  w.I32(0);
  w.I32(vertexOffset);
}

void CZMts::WriteMaterialColours(CByteWriter& w, bool blended) {
  for (int i = 0; i < 3; ++i) w.F32(1.0f);
  w.Zeroes(4);
  for (int i = 0; i < 4; ++i) w.F32(1.0f);
  for (int i = 0; i < 8; ++i) {
    const uint8_t word[4] = {0x80, 0x3F, 0x00, 0x00};
    w.Bytes(word, 4);
  }
  w.U16(blended ? 5 : 2);
  w.U16(blended ? 6 : 1);
}

void CZMts::WriteFrameList(CByteWriter& w, const CGlMaterial& m) {
  const int length = std::min<int>(m.frameList[0], 63);
  w.U32(static_cast<uint32_t>(length));
  for (int i = 1; i <= length; ++i) w.U32(m.frameList[i]);
  w.U32(static_cast<uint32_t>(m.textureKind + 256));
  w.F32(FiniteOr0(m.animationRate));
}

void CZMts::WriteF1Material(CByteWriter& w, const CMtsObj& object) const {
  const CGlMaterial& m = object.material;
  const bool blended = m.transparencyMode > 1;
  const bool chroma = m.transparencyMode == 1;
  // Material record, 108 bytes.
  w.TerminatedString(ToUpper(m.materialName), 32);
  w.U16(static_cast<uint16_t>((blended ? 0x20 : 0) | (m.noDepthWrite > 0 ? 0x100 : 0)));
  w.U16(0x4890);
  WriteMaterialColours(w, blended);
  w.F32(1.0f);
  // One texture.
  w.U32(1);
  const int32_t frames = std::max<int32_t>(1, m.frameCount);
  w.TerminatedString(object.mapName, 32);
  w.U16(static_cast<uint16_t>(0x0008 | (chroma ? 0x0080 : 0)));
  w.U16(0);
  w.I32(-1);
  w.I32(frames);
  if (frames > 1) WriteFrameList(w, m);
  // Texture parameters, 36 bytes.
  w.U32(TextureParameterWord());
  w.U32(4);
  w.Zeroes(16);
  w.F32(1.0f);
  w.F32(1.0f);
  w.U8(chroma ? 0xFF : 0);
  w.U8(0);
  w.U8(chroma ? 0xFF : 0);
  w.U8(0);
}

std::vector<uint8_t> CZMts::F1FileBytes(int upNormals) const {
  CByteWriter w;
  F1FileBytes(w, upNormals);
  return w.Take();
}

void CZMts::F1FileBytes(CByteWriter& w, int upNormals) const {
  const int32_t n = static_cast<int32_t>(objects.size());
  const int32_t t = TotalTriangles();
  size_t vertexBytes = 0;
  for (const CMtsObj& object : objects) vertexBytes += 48 * object.points.size() + 6 * object.faces.size() + 200;
  w.Reserve(512 + vertexBytes + (64 + 52) * objects.size() + 52 * static_cast<size_t>(t));

  w.FixedString(kMtsSignature, 16);
  w.U32(static_cast<uint32_t>(n));
  for (const CMtsObj& object : objects) WriteF1Material(w, object);

  // Model header; the offsets below count from its first byte.
  w.FixedString(kMtsSignature, 16);
  w.Zeroes(4);
  w.I32(0x8000);
  w.F32(1.0f);
  w.Zeroes(248 - 28);
  w.F32(FarDistance());

  w.U32(6);
  for (float f : origin) w.F32(FiniteOr0(f));
  for (float f : secondVector) w.F32(FiniteOr0(f));

  const int32_t triangleOffset = kDescriptorOffset + 64 * n;
  const int32_t normalOffset = triangleOffset + 36 * t;
  const int32_t vertexOffset = normalOffset + 16 * t;
  WriteBlockTable(w, n, kDescriptorOffset, t, triangleOffset, normalOffset, vertexOffset);
  w.Zeroes(16);

  WriteObjectDescriptors(w, objectFlags, vertexOffset);
  WriteTriangleRecords(w);
  WriteTriangleNormals(w, upNormals != 0);
  WriteVertexAndIndexBlocks(w, VertexColourWord());
}

Result CZMts::WriteF1File(const std::string& path, int upNormals) {
  CByteWriter w;
  F1FileBytes(w, path, upNormals);
  return ReplaceFile(path, w.Data(), w.Size());
}

void CZMts::F1FileBytes(CByteWriter& w, const std::string& path, int upNormals) {
  SetFilePath(path);
  F1FileBytes(w, upNormals);
}

}  // namespace lapforge
