// CZGmtFile::WriteRFactorFile: the rFactor GMT layout. Offsets stored in the
// file count from byte 4; vectors are written in file axis order (x, z, y).
#include <algorithm>

#include "formats/base/TextNumbers.h"
#include "formats/gmt/GmtFile.h"
#include "support/ByteWriter.h"
#include "support/FileIO.h"

namespace lapforge {

namespace {

constexpr uint32_t kSignature[4] = {0xD8D2CFC8u, 0xC3E6D8CEu, 0xBED8DED6u, 0x90BFA8BBu};

void WriteAnimation(CByteWriter& w, const uint8_t* list, int length, uint32_t kind, float rate) {
  w.U32(static_cast<uint32_t>(length));
  for (int i = 1; i <= length; ++i) w.U32(list[i]);
  w.U32(kind);
  w.F32(FiniteOr0(rate));
}

}  // namespace

void CZGmtFile::WriteVertexBlock(CByteWriter& w, const CMtsObj& object) const {
  for (const CGlPoint& p : object.points) {
    WriteFileVector(w, p.x, p.y, p.z);
    WriteFileVector(w, p.nx, p.ny, p.nz);
    const float a = std::isfinite(p.alpha) ? std::clamp(p.alpha, 0.0f, 1.0f) : 1.0f;
    w.U32(0x00FFFFFFu | (static_cast<uint32_t>(a * 255.0f) << 24));
    w.U32(0);
  }
}

void CZGmtFile::WriteFirstUVBlock(CByteWriter& w, const CMtsObj& object, const gmtr_write_material& wm) const {
  for (const CGlPoint& p : object.points) {
    float pairs[4][2];
    for (auto& pair : pairs) pair[0] = p.u, pair[1] = p.v;
    for (int k = 0; k < 3; ++k) {
      const int s = wm.uvSources[k];
      if (s < 1 || s > 3) continue;
      const CGlUVChannel& channel = p.channels[s - 1];
      if (channel.set) {
        pairs[k + 1][0] = channel.u;
        pairs[k + 1][1] = channel.v;
      } else {
        const CGlShaderTex& stage = wm.material.shader.maps[s - 1];
        pairs[k + 1][0] = p.u * stage.uScale;
        pairs[k + 1][1] = p.v * stage.vScale;
      }
    }
    for (const auto& pair : pairs) {
      w.F32(FiniteOr0(pair[0]));
      w.F32(FiniteOr0(pair[1]));
    }
  }
}

void CZGmtFile::WriteSecondUVBlock(CByteWriter& w, const CMtsObj& object) const {
  for (const CGlPoint& p : object.points) {
    for (int i = 0; i < 4; ++i) {
      w.F32(FiniteOr0(p.u));
      w.F32(FiniteOr0(p.v));
    }
  }
}

void CZGmtFile::WriteTangentBlock(CByteWriter& w, CMtsObj& object) {
  std::vector<std::array<float, 6>> records;
  CalculateTangentVectors(object.points, object.faces, records);
  for (const auto& record : records)
    for (float f : record) w.F32(FiniteOr0(f));
}

void CZGmtFile::WriteIndexBlock(CByteWriter& w, const CMtsObj& object) {
  for (const CGlFace& t : object.faces)
    for (int c = 0; c < 3; ++c) w.U16(static_cast<uint16_t>(t.vertices[c]));
}

void CZGmtFile::WriteMaterialSection(CByteWriter& w, bool perEntryKind8) const {
  w.U32(static_cast<uint32_t>(writeMaterials.size()));
  for (const gmtr_write_material& wm : writeMaterials) {
    const CGlMaterial& m = wm.material;
    const int32_t kind = m.textureKind;
    const int length = std::min<int>(m.frameList[0], 63);
    wm.record.Write(w);
    w.U32(static_cast<uint32_t>(wm.textures.size()));
    for (const gmtr_level& level : wm.record.levels) {
      for (int32_t j = 0; j < level.entryCount; ++j) {
        const size_t at = static_cast<size_t>(level.firstEntry + j);
        if (at >= wm.textures.size()) break;
        gmt_combined_texture entry = wm.textures[at];
        if (j >= 1) {
          if (!(j == 1 && kind == 8 && perEntryKind8)) entry.animationCount = 1;
          entry.flags2 = static_cast<uint16_t>(entry.flags2 & ~0x6u);
        }
        entry.WriteHeader(w);
        if (kind == 8 && perEntryKind8) {
          WriteAnimation(w, j == 1 ? m.frameList2 : m.frameList, length, 6, m.animationRate);
        } else if (j == 0) {
          if (entry.animationCount > 1) {
            WriteAnimation(w, m.frameList, length, static_cast<uint32_t>(kind), m.animationRate);
          } else if (entry.flags2 & 0x4u) {
            w.U32(static_cast<uint32_t>(kind));
            w.F32(FiniteOr0(m.animationRate));
          }
        }
        entry.WriteParameters(w);
      }
    }
  }
}

void CZGmtFile::WriteCollisionTriangles(CByteWriter& w, bool planeDistance) const {
  int32_t number = 0;
  for (int32_t k = 0; k < static_cast<int32_t>(objects.size()); ++k) {
    const CMtsObj& object = objects[static_cast<size_t>(k)];
    for (const CGlFace& f : object.faces) {
      const CGlPoint* corner[3];
      for (int c = 0; c < 3; ++c) {
        corner[c] = &object.points.Get(f.vertices[c]);
        w.U16(static_cast<uint16_t>(f.vertices[c]));
      }
      w.U16(FacingCode(f.normal.x, f.normal.y, f.normal.z));
      w.I32(k);
      w.I32(number++);
      const float cx = (corner[0]->x + corner[1]->x + corner[2]->x) * 0.33333334f;
      const float cy = (corner[0]->y + corner[1]->y + corner[2]->y) * 0.33333334f;
      const float cz = (corner[0]->z + corner[1]->z + corner[2]->z) * 0.33333334f;
      if (planeDistance) w.F32(FiniteOr0(f.normal.x * cx + f.normal.y * cy + f.normal.z * cz));
      WriteFileVector(w, cx, cy, cz);
      float radius = 0.0f;
      for (const CGlPoint* p : corner) {
        const float dx = p->x - cx, dy = p->y - cy, dz = p->z - cz;
        radius = std::max(radius, std::sqrt(dx * dx + dy * dy + dz * dz));
      }
      w.F32(FiniteOr0(radius));
    }
  }
}

void CZGmtFile::WriteObjectBlocks(CByteWriter& w) {
  for (int32_t k = 0; k < static_cast<int32_t>(objects.size()); ++k) {
    CMtsObj& object = objects[static_cast<size_t>(k)];
    const gmtr_write_material& wm = writeMaterials[static_cast<size_t>(k)];
    const uint32_t flags = DescriptorFlags(k);
    WriteVertexBlock(w, object);
    WriteFirstUVBlock(w, object, wm);
    if (flags & kSecondUVFlag) WriteSecondUVBlock(w, object);
    if (flags & kBumpFlag) WriteTangentBlock(w, object);
    WriteIndexBlock(w, object);
  }
}

CZGmtFile::ObjectBlockOffsets CZGmtFile::PlaceObjectBlocks(int32_t k, int64_t& running) const {
  const CMtsObj& object = objects[static_cast<size_t>(k)];
  ObjectBlockOffsets at;
  at.flags = DescriptorFlags(k);
  at.vertices = object.points.GetSize();
  at.indices = 3 * int64_t{object.faces.GetSize()};
  at.vertexBlock = running;
  running += 32 * at.vertices;
  at.uv1 = running;
  running += 32 * at.vertices;
  if (at.flags & kSecondUVFlag) {
    at.uv2 = running;
    running += 32 * at.vertices;
  }
  if (at.flags & kBumpFlag) {
    at.tangents = running;
    running += 24 * at.vertices;
  }
  at.indexBlock = running;
  running += 2 * at.indices;
  return at;
}

std::vector<uint8_t> CZGmtFile::RFactorFileBytes(const CGlObjTag& tag) {
  CByteWriter w;
  RFactorFileBytes(w, tag);
  return w.Take();
}

void CZGmtFile::RFactorFileBytes(CByteWriter& w, const CGlObjTag& tag) {
  MakeWriteMaterials();
  const int32_t n = static_cast<int32_t>(objects.size());
  const int32_t t = TotalTriangles();
  size_t vertexBytes = 0;
  for (const CMtsObj& object : objects) vertexBytes += 120 * object.points.size() + 6 * object.faces.size();
  w.Reserve(kHeaderSize + 132 * objects.size() + 48 * static_cast<size_t>(t) + vertexBytes +
            2048 * writeMaterials.size());

  const int32_t vertexOffset = WriteRFactorHeader(w, tag, n, t);
  WriteRFactorDescriptors(w, n, vertexOffset);

  // Collision triangles.
  WriteCollisionTriangles(w, false);

  // Triangle normals.
  WriteTriangleNormals(w, false);

  // Per-object blocks.
  WriteObjectBlocks(w);

  // Material section; the first word says where it starts.
  const size_t materialSection = w.Size();
  WriteMaterialSection(w, true);
  w.PatchU32(0, static_cast<uint32_t>(materialSection - 4));
}

// The header of n objects and t triangles; returns the offset of the
// first object's blocks.
int32_t CZGmtFile::WriteRFactorHeader(CByteWriter& w, const CGlObjTag& tag, int32_t n, int32_t t) const {
  float nearDistance = 0.0f, farDistance = 0.0f;
  VisibilityDistances(tag, nearDistance, farDistance);
  const int32_t triangleOffset = kDescriptorOffset + 132 * n;
  const int32_t normalOffset = triangleOffset + 32 * t;
  const int32_t vertexOffset = normalOffset + 16 * t;
  w.U32(0);
  w.I16(32);
  w.I16(tag.flag ? 1024 : 0);
  w.F32(FiniteOr0(BoundingRadius()));
  for (const auto& corner : corners) WriteFileVector(w, corner[0], corner[1], corner[2]);
  w.Zeroes(204 - 108);
  for (int i = 0; i < 2; ++i)
    for (float f : centre) w.F32(FiniteOr0(f));
  w.F32(FiniteOr0(nearDistance));
  w.F32(FiniteOr0(farDistance));
  w.Zeroes(296 - 236);
  for (float f : origin) w.F32(FiniteOr0(f));
  w.Zeroes(8);
  for (float f : origin) w.F32(FiniteOr0(f));
  w.Zeroes(372 - 328);
  WriteBlockTable(w, n, kDescriptorOffset, t, triangleOffset, normalOffset, vertexOffset);
  w.TerminatedString(title, 64);
  for (uint32_t word : kSignature) w.U32(word);
  w.Zeroes(kHeaderSize - 484);
  return vertexOffset;
}

// The descriptors of n objects, 132 bytes each, their blocks placed from
// running on.
void CZGmtFile::WriteRFactorDescriptors(CByteWriter& w, int32_t n, int64_t running) const {
  for (int32_t k = 0; k < n; ++k) {
    const ObjectBlockOffsets at = PlaceObjectBlocks(k, running);
    w.U32(at.flags);
    w.I32(static_cast<int32_t>(at.vertexBlock));
    w.U32(0);
    w.I32(static_cast<int32_t>(at.uv1));
    w.I32(static_cast<int32_t>(at.uv2));
    w.I32(static_cast<int32_t>(at.tangents));
    w.I32(static_cast<int32_t>(at.vertices));
    w.U32(0);
    w.I32(static_cast<int32_t>(at.indices));
    w.I32(static_cast<int32_t>(at.indexBlock));
    w.Zeroes(56 - 40);
    w.I32(k);
    w.Zeroes(76 - 60);
    w.I32(-1);
    w.Zeroes(132 - 80);
  }
}

Result CZGmtFile::WriteRFactorFile(const std::string& path, const CGlObjTag& tag) {
  CByteWriter w;
  RFactorFileBytes(w, path, tag);
  return ReplaceFile(path, w.Data(), w.Size());
}

void CZGmtFile::RFactorFileBytes(CByteWriter& w, const std::string& path, const CGlObjTag& tag) {
  SetFilePath(path);
  RFactorFileBytes(w, tag);
}

}  // namespace lapforge
