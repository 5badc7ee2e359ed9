// Writing rFactor GMT model files: one block becomes per-material objects
// (CZMts), each object a write material with the texture entries of the
// three graphics levels chosen from the shader dictionary, then the file:
// header, object descriptors, collision triangles, normals, per-object
// vertex / UV / tangent / index blocks and the material section. The GTL
// writer derives from this class and reuses the pieces below.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "formats/gmt/GmtModel.h"
#include "support/Result.h"

namespace lapforge {

class CByteWriter;

// One texture entry as written: the 76-byte header and the 96-byte
// parameters. texCoordSet is bookkeeping for the UV sources, not written.
struct gmt_combined_texture {
  static constexpr int kSize = 172;
  std::string name;  // 64-byte field
  uint16_t flags1 = 0;
  uint16_t flags2 = 0;
  int32_t mipCount = 0;
  int32_t animationCount = 0;
  int32_t sourceBlend = 0;
  int32_t destinationBlend = 0;
  float blendFactor = 0.0f;
  int32_t stage = 0;
  uint8_t chroma[3] = {0, 0, 0};
  int32_t chromaLevels = 0;
  float bias = 0.0f;
  int32_t texCoordSet = 0;

  void WriteHeader(CByteWriter& w) const;      // 76 bytes
  void WriteParameters(CByteWriter& w) const;  // 96 bytes
};

// One graphics level of a material record.
struct gmtr_level {
  int32_t firstEntry = 0;
  int32_t entryCount = 0;
  std::string hardwareShader;  // 256-byte field
};

// The 968-byte material record.
struct gmtr_material {
  static constexpr int kSize = 968;
  std::string name;  // 64-byte field, upper case
  uint16_t flags = 0;
  uint16_t lighting = 0;
  float colours[4][4] = {};
  int32_t sourceBlend = 0;
  int32_t destinationBlend = 0;
  float specular = 0.0f;
  gmtr_level levels[3];  // DX7, DX8, DX9

  void Write(CByteWriter& w) const;
};

struct gmtr_write_material {
  CGlMaterial material;  // name upper-cased
  gmtr_material record;
  uint16_t uvSources[3] = {0, 0, 0};  // point channel feeding UV pairs 1..3, 0 none
  std::vector<gmt_combined_texture> textures;  // DX7, DX8, DX9 entries in turn
};

class CZGmtFile : public CZGmt {
 public:
  // Descriptor flags.
  static constexpr uint32_t kObjectFlags = 0x20004011u;
  static constexpr uint32_t kBumpFlag = 0x4u;
  static constexpr uint32_t kSecondUVFlag = 0x20u;
  static constexpr int32_t kHeaderSize = 740;
  static constexpr int32_t kDescriptorOffset = 736;  // counted from byte 4

  using CZMts::MakeObject;
  // Prepares one block: points moved by minus the tag's position, extents,
  // corners, normals, then the per-material objects. Returns 1.
  virtual int MakeObject(const CGlPointArray& pointList, const CGlFaceArray& faceList, const CGlMipArray& mipList,
                         const CGlMaterialArray& materialList, const CGlObjTag& tag);

  // Moves the objects, the extents' centre and corners; the origin moves
  // the other way.
  void TranslateWrite(double dx, double dy, double dz) override;

  void MakeWriteMaterials();
  void MakeShaders(gmtr_write_material& wm) const;
  // One 24-byte record (T then B, file order, second and third components
  // negated) per point; the points get their tangent. A triangle without a
  // usable tangent or bitangent gets (1, 0, 0) / (0, 1, 0) instead.
  static void CalculateTangentVectors(CGlPointArray& pointList, const CGlFaceArray& triangles,
                                      std::vector<std::array<float, 6>>& out);
  // Facing code of a face normal given in mesh axes.
  static uint16_t FacingCode(float nx, float ny, float nz);

  // The whole file as bytes, and written (temp file and rename; fails when
  // it could not be written).
  std::vector<uint8_t> RFactorFileBytes(const CGlObjTag& tag);
  Result WriteRFactorFile(const std::string& path, const CGlObjTag& tag);
  // The same into w, which must be empty (cleared, its room kept); given
  // path, the file as written there (its title is part of it).
  void RFactorFileBytes(CByteWriter& w, const CGlObjTag& tag);
  void RFactorFileBytes(CByteWriter& w, const std::string& path, const CGlObjTag& tag);

  // Near and far visibility distances for the header.
  void VisibilityDistances(const CGlObjTag& tag, float& nearDistance, float& farDistance) const;
  float BoundingRadius() const;
  bool HasBumpMap(int object) const;
  // 0x20004011, plus the bump flag, plus the second-UV flag when the DX9
  // level has more than 4 entries and the format has that block.
  uint32_t DescriptorFlags(int object) const;

  // The origin (the object tag's position) is the inherited origin, in
  // file order.
  float centre[3] = {0.0f, 0.0f, 0.0f};     // file order
  float corners[8][3] = {};                 // mesh order
  std::vector<gmtr_write_material> writeMaterials;

 protected:
  // Whether the format has the second UV block (GTL files do not).
  virtual bool HasSecondUVBlock() const { return true; }
  // Per-object blocks as the rFactor file writes them.
  void WriteVertexBlock(CByteWriter& w, const CMtsObj& object) const;
  void WriteFirstUVBlock(CByteWriter& w, const CMtsObj& object, const gmtr_write_material& wm) const;
  void WriteSecondUVBlock(CByteWriter& w, const CMtsObj& object) const;
  static void WriteTangentBlock(CByteWriter& w, CMtsObj& object);
  static void WriteIndexBlock(CByteWriter& w, const CMtsObj& object);
  // The material section: count, then per write material its record and
  // texture entries with their animation data. perEntryKind8 writes the
  // frame-list animation before every entry of a kind-8 material (rFactor);
  // without it every material follows the rule of the other kinds (GTL).
  void WriteMaterialSection(CByteWriter& w, bool perEntryKind8) const;
  // The collision triangles: indices, facing code, object index, running
  // number, [plane distance in mesh axes,] centre and radius.
  void WriteCollisionTriangles(CByteWriter& w, bool planeDistance) const;
  // Every object's vertex, UV, [second UV,] [tangent] and index blocks as
  // its descriptor flags say.
  void WriteObjectBlocks(CByteWriter& w);
  // Where WriteObjectBlocks puts one object's blocks, from running (the
  // offset of its vertex block), which moves past them; absent blocks at 0.
  struct ObjectBlockOffsets {
    uint32_t flags = 0;
    int64_t vertices = 0, indices = 0;
    int64_t vertexBlock = 0, uv1 = 0, uv2 = 0, tangents = 0, indexBlock = 0;
  };
  ObjectBlockOffsets PlaceObjectBlocks(int32_t object, int64_t& running) const;

 private:
  // Steps of RFactorFileBytes.
  int32_t WriteRFactorHeader(CByteWriter& w, const CGlObjTag& tag, int32_t n, int32_t t) const;
  void WriteRFactorDescriptors(CByteWriter& w, int32_t n, int64_t running) const;
};

}  // namespace lapforge
