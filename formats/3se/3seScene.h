// The program's own scene file (3SE): a loss-free dump of a mesh model -
// textures, materials, the main mesh with its object tag and inserts, and
// every block with its mesh, tag and inserts - as tagged, versioned records
// of 32-bit fields and fixed-size texts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formats/base/ModelFormat.h"
#include "support/Result.h"

namespace lapforge {

class CByteWriter;

class CZ3se : public CSim {
 public:
  // Record tags.
  enum Tag : uint32_t {
    kPointHeader = 0,
    kPointBody = 1,
    kFaceHeader = 2,
    kFace = 3,
    kFaceVertices = 4,
    kFaceUVs = 5,
    kInsertList = 6,
    kInsert = 7,
    kBlockList = 8,
    kBlock = 9,
    kMipList = 10,
    kMip = 11,
    kMaterialList = 12,
    kMaterial = 13,
    kTrailer = 14,
    kTriangleLists = 15,
    kObjTag = 16,
  };
  // Called once per block while saving: block index, block count, context.
  using ProgressCallback = void (*)(int index, int count, void* context);

  std::string GetTextID() const override { return "3SE"; }

  void SetProgressUpdatePointers(ProgressCallback callback, void* context) {
    progress_ = callback;
    progressContext_ = context;
  }

  // Writes the model to path (temporary file and rename); fails when the
  // file cannot be written. The trailer names the track model's file
  // (trackPath), so the format layer needs no track type.
  Result SaveModel(const std::string& path, const CGlPointArray& points, const CGlFaceArray& faces,
                   const CGlMaterialArray& materials, const CGlMipArray& mips, const CGlInsertArray& inserts,
                   const CGlBlockArray& blocks, const CGlObjTag& tag, const std::string& trackPath);
  // The bytes SaveModel writes.
  std::vector<uint8_t> ModelImage(const CGlPointArray& points, const CGlFaceArray& faces,
                                  const CGlMaterialArray& materials, const CGlMipArray& mips,
                                  const CGlInsertArray& inserts, const CGlBlockArray& blocks, const CGlObjTag& tag,
                                  const std::string& trackPath);
  // The pieces of ModelImage, for writing a scene a block at a time: the
  // textures, materials, main mesh and the block list's count; one block of
  // the list; the trailer.
  static void SaveHead(CByteWriter& out, const CGlPointArray& points, const CGlFaceArray& faces,
                       const CGlMaterialArray& materials, const CGlMipArray& mips, const CGlInsertArray& inserts,
                       const CGlObjTag& tag, int blockCount);
  static void SaveListedBlock(CByteWriter& out, const CGlBlock& block);
  static void SaveTrailer(CByteWriter& out, const std::string& trackPath);
  // One mesh: points, faces (deleted ones left out with liveOnly), tag and
  // inserts (deleted ones left out with liveOnly).
  static void SaveBlock(CByteWriter& out, const CGlPointArray& points, const CGlFaceArray& faces, const CGlObjTag& tag,
                        const CGlInsertArray& inserts, bool liveOnly);

 private:
  ProgressCallback progress_ = nullptr;
  void* progressContext_ = nullptr;
};

}  // namespace lapforge
