#include "formats/3se/3seScene.h"

#include <cstring>

#include "formats/base/FieldText.h"
#include "formats/base/TextNumbers.h"
#include "support/ByteWriter.h"
#include "support/FileIO.h"

namespace lapforge {

namespace {

constexpr size_t kNameField = 64;
constexpr size_t kPathField = 261;
constexpr size_t kTrailerField = 260;

void Record(CByteWriter& out, uint32_t tag, uint32_t version) {
  out.U32(tag);
  out.U32(version);
}

// Every field is 32 bits wide in the file: bytes and 16-bit values are
// widened (signed ones sign-extended), floats kept finite.
void Flag(CByteWriter& out, uint8_t v) { out.U32(v); }
void Short(CByteWriter& out, int16_t v) { out.I32(v); }
void Float(CByteWriter& out, float v) { out.F32(FiniteOr0(v)); }
void Rgba(CByteWriter& out, const _float_rgba& c) {
  Float(out, c.r);
  Float(out, c.g);
  Float(out, c.b);
  Float(out, c.a);
}

void SaveMip(CByteWriter& out, const CGlMip& mip) {
  Record(out, CZ3se::kMip, 2);
  WriteFieldText(out, mip.label, kNameField);
  WriteFieldText(out, mip.mipTitle, kNameField);
  WriteFieldText(out, mip.mipFileName, kNameField);
  WriteFieldText(out, mip.mipName, kPathField);
  Flag(out, mip.mipFlag);
}

void SaveMaterial(CByteWriter& out, const CGlMaterial& m) {
  Record(out, CZ3se::kMaterial, 10);
  WriteFieldText(out, m.materialName, kNameField);
  Short(out, m.transparencyMode);
  Flag(out, static_cast<uint8_t>(m.noDepthWrite));
  Flag(out, static_cast<uint8_t>(m.doubleSided));
  Rgba(out, m.firstColour);
  Rgba(out, m.diffuse);
  Rgba(out, m.thirdColour);
  Rgba(out, m.fourthColour);
  Float(out, m.exponent);
  out.I32(m.frameCount);
  out.Bytes(m.frameList, sizeof m.frameList);
  out.I32(m.textureKind);
  Float(out, m.animationRate);
  Float(out, m.textureBias);
  out.I32(m.chromaKey);
  Flag(out, m.mapMode);
  WriteFieldText(out, m.mapName, kPathField);
  const CGlMatShader& s = m.shader;
  WriteFieldText(out, s.shaderName, kNameField);
  Float(out, s.shaderValue);
  out.I32(s.variant);
  Short(out, s.blendMode);
  out.I32(s.thirdMode);
  out.I32(s.specular);
  for (const CGlShaderTex& t : s.maps) {
    WriteFieldText(out, t.textureName, kPathField);
    out.I32(t.stageType);
    out.I32(t.blend);
    out.U32(t.value & 0xFFFFu);
    Float(out, t.bias);
    Float(out, t.uScale);
    Float(out, t.vScale);
    Short(out, t.channel);
  }
}

void SavePoint(CByteWriter& out, const CGlPoint& p) {
  Float(out, p.x);
  Float(out, p.y);
  Float(out, p.z);
  Float(out, p.nx);
  Float(out, p.ny);
  Float(out, p.nz);
  Flag(out, p.hasNormal);
  Float(out, p.u);
  Float(out, p.v);
  Float(out, p.alpha);
  Flag(out, p.hasUV);
  Float(out, p.tangent.x);
  Float(out, p.tangent.y);
  Float(out, p.tangent.z);
  Flag(out, p.tangentState);
  Flag(out, p.hasColour);
  uint32_t colour;
  std::memcpy(&colour, &p.colour, 4);
  out.U32(colour);
  for (const CGlUVChannel& c : p.channels) {
    Flag(out, c.set);
    Float(out, c.u);
    Float(out, c.v);
  }
}

void SaveFace(CByteWriter& out, const CGlFace& f) {
  Record(out, CZ3se::kFace, 1);
  out.I32(f.keep);
  out.I32(f.sourceIndex);
  out.I32(f.hasUVs);
  Rgba(out, f.faceColour);
  Float(out, f.normal.x);
  Float(out, f.normal.y);
  Float(out, f.normal.z);
  out.I32(f.normalValid);
  out.I32(f.mipIndex);
  out.I32(f.materialIndex);
  out.I32(f.group);
  out.I32(f.sourceGroup);

  Record(out, CZ3se::kFaceVertices, 1);
  const int n = f.GetVertexCount();
  out.I32(n);
  for (int k = 0; k < n; ++k) out.I32(f.vertices[k]);

  // Whole pairs only: an odd float count would leave the reader one float
  // out of step with the records that follow.
  Record(out, CZ3se::kFaceUVs, 1);
  const int pairs = f.GetUVCount();
  out.I32(pairs);
  for (int k = 0; k < 2 * pairs; ++k) Float(out, f.uvs[k]);
}

void SaveTag(CByteWriter& out, const CGlObjTag& t) {
  Record(out, CZ3se::kObjTag, 2);
  Flag(out, t.flag);
  Float(out, t.nearDistance);
  Float(out, t.farDistance);
  Flag(out, t.render);
  Flag(out, t.collisionTarget);
  Flag(out, t.hatTarget);
  Short(out, t.responseKind);
  Flag(out, t.moveable);
  Flag(out, t.visible1);
  Flag(out, t.visible2);
  Flag(out, t.extraByte);
  Short(out, t.shadowKind);
  Flag(out, t.shadowReceiver);
  Short(out, t.shadowSize);
  Flag(out, t.dynamicShadow);
  Flag(out, t.textureShadow);
  Float(out, t.x);
  Float(out, t.y);
  Float(out, t.z);
}

void SaveInsert(CByteWriter& out, const CGlInsert& ins) {
  Record(out, CZ3se::kInsert, 2);
  WriteFieldText(out, ins.name, kNameField);
  out.I32(ins.attrib0);
  out.I32(ins.attrib2);
  out.I32(ins.blockIndex);
  Float(out, ins.x);
  Float(out, ins.y);
  Float(out, ins.z);
  Float(out, ins.a);
  Float(out, ins.b);
  Float(out, ins.c);
  out.I32(ins.afterScale);
  out.I32(ins.insertFlag);
  Float(out, ins.sx);
  Float(out, ins.sy);
  Float(out, ins.sz);
}

// Bytes of one mesh's records, for reserving the image up front.
size_t MeshBytes(const CGlPointArray& points, const CGlFaceArray& faces, const CGlInsertArray& inserts) {
  return 36 + 8 + points.size() * 104 + 44 + faces.size() * (68 + 24 + 44) + 12 + 84 + 12 + inserts.size() * 132;
}

}  // namespace

void CZ3se::SaveBlock(CByteWriter& out, const CGlPointArray& points, const CGlFaceArray& faces, const CGlObjTag& tag,
                      const CGlInsertArray& inserts, bool liveOnly) {
  Record(out, kPointHeader, 1);
  out.U32(static_cast<uint32_t>(points.size()));
  for (float v : points.extraBounds.values) Float(out, v);
  Record(out, kPointBody, 4);
  for (const CGlPoint& p : points) SavePoint(out, p);

  uint32_t faceCount = 0;
  for (const CGlFace& f : faces)
    if (!liveOnly || !f.deleted) ++faceCount;
  Record(out, kFaceHeader, 10);
  out.U32(faceCount);
  for (const CGlPoint* p : {&faces.minPoint, &faces.maxPoint, &faces.centrePoint}) {
    Float(out, p->x);
    Float(out, p->y);
    Float(out, p->z);
  }
  for (const CGlFace& f : faces)
    if (!liveOnly || !f.deleted) SaveFace(out, f);

  Record(out, kTriangleLists, 1);
  out.U32(static_cast<uint32_t>(faces.triangleLists.size()));
  for (const CGlTriangles& t : faces.triangleLists) {
    out.I32(t.kind);
    out.I32(t.mipIndex);
    out.I32(t.materialIndex);
    out.U32(static_cast<uint32_t>(t.indices.size()));
    out.Bytes(t.indices.data(), t.indices.size() * sizeof(int32_t));
  }

  SaveTag(out, tag);

  uint32_t insertCount = 0;
  for (const CGlInsert& ins : inserts)
    if (!liveOnly || !ins.deleted) ++insertCount;
  Record(out, kInsertList, 2);
  out.U32(insertCount);
  for (const CGlInsert& ins : inserts)
    if (!liveOnly || !ins.deleted) SaveInsert(out, ins);
}

void CZ3se::SaveHead(CByteWriter& out, const CGlPointArray& points, const CGlFaceArray& faces,
                     const CGlMaterialArray& materials, const CGlMipArray& mips, const CGlInsertArray& inserts,
                     const CGlObjTag& tag, int blockCount) {
  Record(out, kMipList, 1);
  out.U32(static_cast<uint32_t>(mips.size()));
  for (const CGlMip& mip : mips) SaveMip(out, mip);

  Record(out, kMaterialList, 1);
  out.U32(static_cast<uint32_t>(materials.size()));
  for (const CGlMaterial& m : materials) SaveMaterial(out, m);

  SaveBlock(out, points, faces, tag, inserts, true);

  Record(out, kBlockList, 1);
  out.U32(static_cast<uint32_t>(blockCount));
}

void CZ3se::SaveListedBlock(CByteWriter& out, const CGlBlock& b) {
  Record(out, kBlock, 1);
  out.I32(b.attrib1);
  Float(out, b.cx);
  Float(out, b.cy);
  Float(out, b.cz);
  out.I32(b.lastValue);
  WriteFieldText(out, b.name, kNameField);
  WriteFieldText(out, b.title, kPathField);
  SaveBlock(out, b.points, b.faces, b.tag, b.inserts, false);
}

void CZ3se::SaveTrailer(CByteWriter& out, const std::string& trackPath) {
  Record(out, kTrailer, 1);
  WriteFieldText(out, trackPath, kTrailerField);
}

std::vector<uint8_t> CZ3se::ModelImage(const CGlPointArray& pointList, const CGlFaceArray& faceList,
                                       const CGlMaterialArray& materialList, const CGlMipArray& mipList,
                                       const CGlInsertArray& insertList, const CGlBlockArray& blockList,
                                       const CGlObjTag& tag, const std::string& trackPath) {
  size_t estimate =
      64 + mipList.size() * 520 + materialList.size() * 1700 + MeshBytes(pointList, faceList, insertList) + 264;
  for (int i = 0; i < blockList.GetSize(); ++i) {
    const CGlBlock& b = blockList[i];
    estimate += 8 + 20 + 64 + 261 + MeshBytes(b.points, b.faces, b.inserts);
  }
  CByteWriter out;
  out.Reserve(estimate);
  const int count = blockList.GetSize();
  SaveHead(out, pointList, faceList, materialList, mipList, insertList, tag, count);
  for (int i = 0; i < count; ++i) {
    if (progress_) progress_(i, count, progressContext_);
    SaveListedBlock(out, blockList[i]);
  }
  SaveTrailer(out, trackPath);
  return out.Take();
}

Result CZ3se::SaveModel(const std::string& path, const CGlPointArray& pointList, const CGlFaceArray& faceList,
                        const CGlMaterialArray& materialList, const CGlMipArray& mipList,
                        const CGlInsertArray& insertList, const CGlBlockArray& blockList, const CGlObjTag& tag,
                        const std::string& trackPath) {
  std::vector<uint8_t> image =
      ModelImage(pointList, faceList, materialList, mipList, insertList, blockList, tag, trackPath);
  return ReplaceFile(path, image);
}

}  // namespace lapforge
