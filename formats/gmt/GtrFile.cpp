#include "formats/gmt/GtrFile.h"

#include <algorithm>

#include "formats/base/FieldText.h"
#include "formats/base/TextNumbers.h"
#include "support/ByteWriter.h"
#include "support/FileIO.h"
#include "support/FileString.h"
#include "support/TextFormat.h"

namespace lapforge {

namespace {

constexpr uint32_t kSignature[4] = {0xD8D2CFC8u, 0xC3E6D8CEu, 0xBDD8DED6u, 0x90BFA6BBu};
constexpr uint16_t kTextureFlags = 0x0018;
constexpr uint16_t kChromaFlag = 0x0080;
constexpr int32_t kCubeMap = 11;
constexpr int32_t kDiffuseMap = 1;

// The 44-byte texture record: name, flags, -1, frame count.
void TextureRecord(CByteWriter& w, const std::string& name, bool chroma, int32_t frames) {
  WriteFieldText(w, name, 32);
  w.U16(static_cast<uint16_t>(kTextureFlags | (chroma ? kChromaFlag : 0)));
  w.U16(0);
  w.I32(-1);
  w.I32(frames);
}

// The 40-byte texture parameters.
void TextureParameters(CByteWriter& w, uint32_t first, float uScale, float vScale, float bias) {
  w.U32(first);
  w.U32(4);
  w.U32(1);
  w.Zeroes(12);
  w.F32(FiniteOr0(uScale));
  w.F32(FiniteOr0(vScale));
  w.U32(0x01000000u);
  w.F32(FiniteOr0(bias));
}

}  // namespace

bool CZGtrFile::UpNormalsTitle(const std::string& title) {
  return StartsWithNoCase(title, "cloud") || StartsWithNoCase(title, "sky") || StartsWithNoCase(title, "horiz");
}

void CZGtrFile::WriteGtrMaterial(CByteWriter& w, const CMtsObj& object) const {
  const CGlMaterial& m = object.material;
  const bool blended = m.transparencyMode > 1;
  const bool chroma = m.transparencyMode == 1;

  // Material record, 108 bytes.
  WriteFieldText(w, ToUpper(m.materialName), 32);
  w.U16(static_cast<uint16_t>(3 | (blended ? 0x20 : 0) | (m.noDepthWrite > 0 ? 0x100 : 0)));
  w.U16(0x6890);
  WriteMaterialColours(w, blended);
  w.F32(FiniteOr0(m.exponent));

  // The texture count says how many records follow: the main texture, then
  // every cube map when there is one, else every further diffuse map.
  int cubeMaps = 0, diffuseMaps = 0;
  for (const CGlShaderTex& map : m.shader.maps) {
    if (map.stageType == kCubeMap) ++cubeMaps;
    if (map.stageType == kDiffuseMap) ++diffuseMaps;
  }
  const int32_t wanted = cubeMaps > 0 ? kCubeMap : kDiffuseMap;
  w.U32(static_cast<uint32_t>(1 + (cubeMaps > 0 ? cubeMaps : diffuseMaps)));

  const int32_t frames = std::max<int32_t>(1, m.frameCount);
  TextureRecord(w, object.mapName, chroma, frames);
  if (frames > 1) WriteFrameList(w, m);
  TextureParameters(w, 0x00100000u, 1.0f, 1.0f, m.textureBias);

  for (const CGlShaderTex& map : m.shader.maps) {
    if (map.stageType != wanted) continue;
    TextureRecord(w, FileString::FileName(map.textureName), chroma, 1);
    const bool scaled = wanted == kCubeMap && map.uScale > 0.0f;
    TextureParameters(w, wanted == kCubeMap ? 0x00800000u : 0x00100000u, scaled ? map.uScale : 1.0f,
                      scaled ? map.vScale : 1.0f, m.textureBias);
  }
}

std::vector<uint8_t> CZGtrFile::GTRFileBytes(bool upNormals) const {
  CByteWriter w;
  GTRFileBytes(w, upNormals);
  return w.Take();
}

void CZGtrFile::GTRFileBytes(CByteWriter& w, bool upNormals) const {
  const int32_t n = static_cast<int32_t>(objects.size());
  const int32_t t = TotalTriangles();
  size_t bytes = kHeaderSize + 64 * objects.size() + 52 * static_cast<size_t>(t);
  for (const CMtsObj& object : objects) bytes += 48 * object.points.size() + 6 * object.faces.size() + 400;
  w.Reserve(bytes);

  const int32_t triangleOffset = kDescriptorOffset + 64 * n;
  const int32_t normalOffset = triangleOffset + 36 * t;
  const int32_t vertexOffset = normalOffset + 16 * t;
  w.U32(0);  // material section position - 4, patched below
  for (uint32_t word : kSignature) w.U32(word);
  w.Zeroes(5);
  w.U8(0x80);  // offset 25
  w.Zeroes(252 - 26);
  w.F32(FarDistance());
  w.Zeroes(4);
  for (float f : origin) w.F32(FiniteOr0(f));  // 260
  w.Zeroes(284 - 272);
  WriteBlockTable(w, n, kDescriptorOffset, t, triangleOffset, normalOffset, vertexOffset);  // 284..315
  w.Zeroes(kHeaderSize - 316);

  WriteObjectDescriptors(w, upNormals ? 0 : 1, vertexOffset);
  WriteTriangleRecords(w);
  WriteTriangleNormals(w, upNormals);
  WriteVertexAndIndexBlocks(w, 0x00FFFFFFu);

  const size_t materialSection = w.Size();
  w.U32(static_cast<uint32_t>(n));
  for (const CMtsObj& object : objects) WriteGtrMaterial(w, object);
  w.PatchU32(0, static_cast<uint32_t>(materialSection - 4));
}

Result CZGtrFile::WriteGTRFile(const std::string& path, int upNormals) {
  CByteWriter w;
  GTRFileBytes(w, path, upNormals);
  return ReplaceFile(path, w.Data(), w.Size());
}

void CZGtrFile::GTRFileBytes(CByteWriter& w, const std::string& path, int upNormals) {
  SetFilePath(path);
  GTRFileBytes(w, upNormals != 0 || UpNormalsTitle(title));
}

}  // namespace lapforge
