// The export blocks of a track as one glTF 2.0 document, for looking at the
// meshes in any viewer: every block a named node with one mesh, one
// primitive per material (positions, normals, texture coordinates, uint32
// indices), materials named as ours with their texture file names as image
// URIs, collision-only blocks marked in the node's extras. The document's
// JSON is made by tinygltf; the binary buffer is built here in one pass and
// written straight from memory.
//
// Axes: the game's world has Z up; glTF has Y up. A game point (x, y, z)
// becomes (x, z, -y) in glTF: a turn of -90 degrees about X that keeps
// handedness, winding and metres.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

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
  // Writes the built document: a path ending in ".glb" (any case) gets one
  // binary file; any other gets JSON with its buffer in a ".bin" file beside
  // it, named by the path's lower-cased title. Each file goes through a
  // temporary file. False with error set when a file could not be written.
  bool Write(const std::string& path, std::string& error) const;

  // The document's JSON, with its buffer entry (uri empty for a .glb).
  std::string Json(const std::string& bufferUri) const;
  // Bytes of the binary buffer (vertex data, then indices).
  size_t BufferSize() const { return vertexBytes_ + indexBytes_; }
  // Triangles written, over all blocks.
  long long TriangleCount() const { return triangles_; }

 private:
  struct Document;
  std::unique_ptr<Document> doc_;
  // The buffer in two parts, written one after the other: vertices
  // (interleaved position, normal, texture coordinates: 32 bytes each) and
  // the uint32 indices.
  std::unique_ptr<uint8_t[]> vertices_;
  std::unique_ptr<uint32_t[]> indices_;
  size_t vertexBytes_ = 0;
  size_t indexBytes_ = 0;
  long long triangles_ = 0;
};
