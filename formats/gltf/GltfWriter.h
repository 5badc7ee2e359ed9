// The export blocks of a track as one glTF 2.0 document, for looking at the
// meshes in any viewer: every block a named node with one mesh, one
// primitive per material (positions, normals, texture coordinates, uint32
// indices), materials named as ours with their texture images as PNG,
// collision-only blocks marked in the node's extras. Names are written as
// UTF-8, a byte of another encoding as U+FFFD. The document's JSON is
// made by tinygltf; the binary buffer is packed here block by block.
// Images are embedded in a .glb and written beside a .gltf as files of
// their own.
//
// Two ways to make the buffer: Build packs all blocks in memory; Start,
// AddBlock per block and Finish stream it, so only one block's data is held
// at a time. The buffer is all vertices, then all indices, and in a .glb
// the JSON (known only at the end: bounds, materials, images) comes before
// it, so a streamed buffer goes to files while the blocks come: for a
// .gltf the vertices straight into the .bin's temporary file and the
// indices to a scratch file appended to it at the end; for a .glb both to
// scratch files copied (inside the kernel) after the JSON chunk by Write.
//
// Axes: the game's world has Z up; glTF has Y up. A game point (x, y, z)
// becomes (x, z, -y) in glTF: a turn of -90 degrees about X that keeps
// handedness, winding and metres.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <string>
#include <vector>

#include "support/FileIO.h"
#include "support/Result.h"

namespace tinygltf {
struct Primitive;
struct Scene;
}

namespace lapforge {

class CGlBlock;
class CGlBlockArray;
class CGlMaterialArray;
class CProgress;

class CGltfWriter {
 public:
  CGltfWriter();
  ~CGltfWriter();

  // Builds the document and its buffer from the blocks and the material
  // list they share; progress, when given, advances once per block.
  void Build(const CGlBlockArray& blocks, const CGlMaterialArray& materials, CProgress* progress = nullptr);

  // Streams the buffer of the file Write will write to path: opens its
  // scratch files (and a .gltf's .bin) in path's folder.
  Result Start(const std::string& path);
  // After Start: packs one block (of materialCount materials so far) and
  // writes its data out; the block may be let go after.
  void AddBlock(const CGlBlock& block, int materialCount);
  // After the last block: the materials (all the blocks used) and the scene.
  void Finish(const CGlMaterialArray& materials);
  // After Build or Finish: adds a texture image made of PNG bytes, with the file name
  // it gets beside a .gltf (letter case kept; distinct for every image), and
  // returns its index.
  int AddImage(const std::string& fileName, std::string png);
  // After Build or Finish: makes an image the base colour texture of a material.
  void SetMaterialImage(int material, int image);

  // Writes the built document: a path ending in ".glb" (any case) gets one
  // binary file with the images inside; any other gets JSON with its buffer
  // in a ".bin" file beside it, named by the path's lower-cased title, and
  // each image beside it under its file name. Each file goes through a
  // temporary file. Fails when a file could not be written (or a .glb would
  // pass 4 GB). The paths of the files written are appended to written when
  // given.
  Result Write(const std::string& path, std::vector<std::string>* written = nullptr);

  // The document's JSON, with its buffer entry: bufferUri empty for a .glb
  // (images in the buffer), the .bin file's URI otherwise (images as files).
  std::string Json(const std::string& bufferUri);
  // Bytes of the mesh data in the binary buffer (vertex data, then indices).
  size_t BufferSize() const { return vertexBytes_ + indexBytes_; }
  // Bytes of the images as they follow the mesh data in a .glb buffer.
  size_t ImageBytes() const { return imageBytes_.size(); }
  // Triangles written, over all blocks.
  long long TriangleCount() const { return triangles_; }

 private:
  struct Document;
  class Packer;
  tinygltf::Primitive AddPrimitive(int material, size_t firstVertex, size_t vertexCount, size_t firstIndex,
                                   size_t indexCount, const float lo[3], const float hi[3]);
  void Begin();
  std::string_view MemoryVertices() const {
    return {reinterpret_cast<const char*>(vertices_.data()), vertexBytes_};
  }
  std::string_view MemoryIndices() const { return {reinterpret_cast<const char*>(indices_.data()), indexBytes_}; }
  std::unique_ptr<Document> doc_;
  std::unique_ptr<tinygltf::Scene> scene_;
  std::unique_ptr<Packer> packer_;
  // The buffer in two parts, written one after the other: vertices
  // (interleaved position, normal, texture coordinates: 32 bytes each) and
  // the uint32 indices. Built in memory (vertices_, indices_) or streamed
  // (bin_ or vertexScratch_, indexScratch_); the current block's in
  // blockVertices_ and blockIndices_, kept from block to block.
  bool streamed_ = false, glb_ = false;
  std::vector<uint8_t> vertices_;
  std::vector<uint8_t> indices_;
  CReplacingFile bin_;
  CScratchFile vertexScratch_, indexScratch_;
  std::vector<uint8_t> blockVertices_;
  std::vector<uint32_t> blockIndices_;
  std::vector<int32_t> groupStart_, order_;
  size_t vertexBytes_ = 0;
  size_t indexBytes_ = 0;
  long long triangles_ = 0;
  // Buffer views of the mesh data; the views of embedded images follow.
  size_t meshViews_ = 0;
  // The PNG files, one after the other, each padded to 4 bytes.
  struct Image {
    std::string fileName;
    size_t offset = 0;
    size_t size = 0;
  };
  std::vector<Image> images_;
  std::string imageBytes_;
};

}  // namespace lapforge
