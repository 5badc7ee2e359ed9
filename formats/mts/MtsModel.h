// The F1 model (MTS) format, and the per-material object builder that the
// rFactor and GTR writers inherit: a block's faces are split into one object
// per material (own points, own triangles, a copy of the material with its
// map names moved to the target texture extension), followed by one palette
// object "_RGBMAP" for the faces without a material. An object is made only
// when it has triangles, and one of more vertices than 16-bit indices reach
// is split into pieces.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formats/base/ModelFormat.h"
#include "support/Result.h"

namespace lapforge {

class CByteWriter;

// One written object: the faces of one material as triangles indexing the
// object's own points. Each triangle's mipIndex is the object's index.
class CMtsObj {
 public:
  std::string mapName;     // main map file name, extension already adjusted
  std::string objectName;  // the material's name
  CGlPointArray points;
  CGlFaceArray faces;
  CGlMaterial material;  // map names already adjusted
};

// One triangle read in place from a face: the face's corners in triangle
// order; a corner below uvPairs takes its UV pair from the face, the others
// (0, 0).
struct CMtsCorners {
  const CGlFace* face;
  int8_t corner[3];
  int8_t uvPairs;
};

class CZMts : public CSim {
 public:
  // Object descriptor flags of a triangle-list object: the games draw an
  // object whose flag word has bit 0 clear as a strip.
  static constexpr int32_t kListObjectFlags = 129;
  // The most vertices one object has: its index block is 16-bit.
  static constexpr int kVertexLimit = 65535;

  CZMts();

  std::string GetTextID() const override { return "F1"; }
  void Report(const std::string& text) override;
  void BuildGL() override;

  // Moves every object's points by (dx, dy, dz) in mesh axes; the origin
  // moves the other way so that the written model stays where it was.
  virtual void TranslateWrite(double dx, double dy, double dz);
  // The palette object for the faces given (all of them, triangulated):
  // colour-coded coordinates on the palette map, or the mip's map when one
  // is given. Appends nothing when no face qualified.
  virtual int ShapeFromMip(const CGlPointArray& points, const CGlFaceArray& faces, const CGlMip* mip, int flag);
  // Builds the object list of one block. noClamp 0 turns the UV clamp on;
  // the reserved and shape arguments are carried for the callers' sake.
  virtual int MakeObject(const CGlPointArray& points, const CGlFaceArray& faces, const CGlMipArray& mipList,
                         const CGlMaterialArray& materialList, int reserved, int noClamp, int shapeFlag);

  // One object for the live faces of material index m (none: nothing made).
  int MakeMaterials(const CGlPointArray& points, const CGlFaceArray& faces, int m, const CGlMaterial& material,
                    int& triangleCount);
  // Selection -1: faces without material that have no mip or no UVs; s >= 0:
  // faces without material on mip s with UVs. Calls ShapeFromMip always.
  int MakeShapes(const CGlPointArray& points, const CGlFaceArray& faces, int selection, const CGlMip* mip, int flag);
  // Builds the object's own points and triangles from faces with UVs and
  // appends it; returns its index, or -1 when it has no triangle (then
  // nothing is appended). An object of more than kVertexLimit vertices is
  // appended as pieces of whole triangles within the limit, each a copy of
  // the object named as CSim::PieceName says (its material keeps its name:
  // the games know a surface by its material name); the index returned is
  // that of the first piece.
  int AddMaterial(const CGlPointArray& points, const CGlFaceArray& triangles, CMtsObj object);
  // The same from triangles read in place (their faces alive meanwhile).
  int AddFan(const CGlPointArray& points, const std::vector<CMtsCorners>& fan, CMtsObj object);

  // The map file name an object writes for a material map: the file name
  // without folder, its extension moved to the target extension unless it
  // is one the format reads (mainMap: also "bik", and "jpg" with DDS).
  std::string AdjustedMapName(const std::string& path, bool mainMap) const;

  // The MTS file as bytes, and written (temp file and rename). Fails when
  // the file could not be written.
  std::vector<uint8_t> F1FileBytes(int upNormals) const;
  Result WriteF1File(const std::string& path, int upNormals);
  // The same into w, which must be empty (cleared, its room kept); given
  // path, the file as written there (its title is part of it).
  void F1FileBytes(CByteWriter& w, int upNormals) const;
  void F1FileBytes(CByteWriter& w, const std::string& path, int upNormals);

  int TotalTriangles() const;
  // 5000, or 10 x the largest extent clamped to 50..1000 when it is above 0.
  float FarDistance() const;

  std::string targetExtension = "bmp";
  // Texture names ending in "dds" (and "jpg" for the main map) stay.
  bool ddsFlag = false;
  // The palette map's extension; the writers whose road writes a palette
  // image set it to that image's extension so the names agree.
  std::string paletteExtension;  // empty: the target extension
  double largestExtent = -1.0;
  int uvClamp = 1;
  float origin[3] = {0.0f, 0.0f, 0.0f};  // file axis order (x, z, y)
  float secondVector[3] = {0.0f, 0.0f, 0.0f};
  int32_t objectFlags = kListObjectFlags;
  std::vector<CMtsObj> objects;
  int triangleCount = 0;

 protected:
  // The tail of every MakeObject: the block's materials, texture
  // coordinates from the diffuse maps, then one object per material and the
  // palette object, all from the faces already prepared and pointList.
  void MakeMaterialObjects(const CGlPointArray& pointList, const CGlMaterialArray& materialList);

  // Blocks shared by the MTS-family files (offsets are the caller's).
  // Descriptors of 64 bytes; the running offset starts at firstVertexOffset
  // and advances 48 per vertex, then 2 per index.
  void WriteObjectDescriptors(CByteWriter& w, int32_t flags, int32_t firstVertexOffset) const;
  // 36 bytes per triangle: indices, object index, running number.
  void WriteTriangleRecords(CByteWriter& w) const;
  // 16 bytes per triangle: the normal in file order, or (0, 1, 0).
  void WriteTriangleNormals(CByteWriter& w, bool upNormals) const;
  // Per object: 48-byte vertices with the given colour word, then indices.
  void WriteVertexAndIndexBlocks(CByteWriter& w, uint32_t colourWord) const;
  // The F1 material section of one object.
  void WriteF1Material(CByteWriter& w, const CMtsObj& object) const;
  // The eight words after the header that place the blocks: object count,
  // descriptor offset, triangle count and offset, triangle count again and
  // normal offset, 0, vertex offset.
  static void WriteBlockTable(CByteWriter& w, int32_t objectCount, int32_t descriptorOffset, int32_t triangles,
                              int32_t triangleOffset, int32_t normalOffset, int32_t vertexOffset);
  // The part of a 108-byte material record between its flags and its last
  // float: colours and the blend pair.
  static void WriteMaterialColours(CByteWriter& w, bool blended);
  // A texture record's frame list (only for more than one frame).
  static void WriteFrameList(CByteWriter& w, const CGlMaterial& m);

  // The first word of the F1 texture parameters and the F1 vertex colour:
  // F1 files as the game ships them start their texture parameters with
  // 0x00100000 (as GTR files do) and give every vertex colour a zero top
  // byte. The GTR writer overrides these with its own values.
  virtual uint32_t TextureParameterWord() const { return 0x00100000u; }
  virtual uint32_t VertexColourWord() const { return 0x00FFFFFFu; }

 private:
  std::string PaletteMapName() const;
  // The triangles of the object being built, kept from object to object.
  static std::vector<CMtsCorners>& FanScratch();
};

}  // namespace lapforge
