#include "formats/gltf/GltfWriter.h"

#include <tiny_gltf.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>
#include <sstream>

#include "mesh/GlBlockArray.h"
#include "mesh/GlCorner.h"
#include "mesh/GlMaterialArray.h"
#include "support/Errors.h"
#include "support/FileIO.h"
#include "support/FileString.h"
#include "support/Progress.h"
#include "support/TextFormat.h"

namespace lapforge {

namespace {

// A name as JSON can hold it: JSON text is UTF-8, and a name from a
// description may be in another encoding. Each byte that does not begin a
// well-formed UTF-8 sequence (overlong forms and surrogates are not) becomes
// U+FFFD; the rest is kept.
std::string Utf8Name(const std::string& name) {
  std::string out;
  out.reserve(name.size());
  const size_t n = name.size();
  auto byte = [&](size_t i) { return static_cast<unsigned char>(name[i]); };
  auto continuation = [&](size_t i) { return i < n && (byte(i) & 0xC0) == 0x80; };
  for (size_t i = 0; i < n;) {
    const unsigned char c = byte(i);
    size_t length = 0;
    if (c < 0x80) {
      length = 1;
    } else if (c >= 0xC2 && c <= 0xDF) {
      length = continuation(i + 1) ? 2 : 0;
    } else if (c >= 0xE0 && c <= 0xEF) {
      const unsigned char lo = c == 0xE0 ? 0xA0 : 0x80, hi = c == 0xED ? 0x9F : 0xBF;
      length = i + 1 < n && byte(i + 1) >= lo && byte(i + 1) <= hi && continuation(i + 2) ? 3 : 0;
    } else if (c >= 0xF0 && c <= 0xF4) {
      const unsigned char lo = c == 0xF0 ? 0x90 : 0x80, hi = c == 0xF4 ? 0x8F : 0xBF;
      length =
          i + 1 < n && byte(i + 1) >= lo && byte(i + 1) <= hi && continuation(i + 2) && continuation(i + 3) ? 4 : 0;
    }
    if (length == 0) {
      out += "\xEF\xBF\xBD";
      ++i;
    } else {
      out.append(name, i, length);
      i += length;
    }
  }
  return out;
}


constexpr size_t kVertexStride = 32;  // position 12, normal 12, texture coordinates 8
constexpr int kVertexView = 0, kIndexView = 1;

// A URI reference for a file name: unreserved characters kept, the rest
// percent-encoded (a texture name may hold blanks).
std::string UriOf(const std::string& name) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : name) {
    if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}

bool EndsWithGlb(const std::string& path) { return FileString::Extension(path) == "glb"; }

// Corners and indices of a block: every corner may become a vertex, every
// quad two triangles. Every index is checked here once, so the pass that
// packs the buffer reads freely.
void CountCorners(const CGlBlock& block, int materialCount, size_t& corners, size_t& indexCount) {
  corners = indexCount = 0;
  const int pointCount = block.points.GetSize();
  for (const CGlFace& f : block.faces) {
    const int n = f.GetVertexCount();
    if (f.deleted || n < 3) continue;
    for (int k = 0; k < n; ++k) CheckIndex(f.vertices[k], static_cast<size_t>(pointCount), "glTF: face vertex");
    if (f.materialIndex >= materialCount)
      CheckIndex(f.materialIndex, static_cast<size_t>(materialCount), "glTF: face material");
    corners += static_cast<size_t>(n);
    indexCount += n == 4 ? 6 : 3;
  }
}

// One glTF material per entry; their images come later.
void AddMaterials(tinygltf::Model& m, const CGlMaterialArray& materials) {
  for (int i = 0; i < materials.GetSize(); ++i) {
    const CGlMaterial& src = materials[i];
    tinygltf::Material mat;
    mat.name = Utf8Name(src.materialName);
    mat.pbrMetallicRoughness.baseColorFactor = {GlFinite(src.diffuse.r), GlFinite(src.diffuse.g), GlFinite(src.diffuse.b), 1.0};
    mat.pbrMetallicRoughness.metallicFactor = 0;
    mat.pbrMetallicRoughness.roughnessFactor = 1;
    if (src.transparencyMode == 1) {
      mat.alphaMode = "MASK";
    } else if (src.transparencyMode > 1) {
      mat.alphaMode = "BLEND";
    }
    m.materials.push_back(std::move(mat));
  }
}

// The node of a block; collision-only blocks are marked in its extras.
tinygltf::Node BlockNode(const CGlBlock& block) {
  tinygltf::Node node;
  node.name = Utf8Name(block.name);
  if (!block.tag.render) {
    tinygltf::Value::Object extras;
    extras["collisionOnly"] = tinygltf::Value(true);
    extras["response"] = tinygltf::Value(static_cast<int>(block.tag.responseKind));
    node.extras = tinygltf::Value(std::move(extras));
  }
  return node;
}

// The faces of a block grouped by material (slot 0 for faces without one):
// group g holds order[groupStart[g]] up to order[groupStart[g + 1]].
void GroupByMaterial(const CGlBlock& block, int materialCount, std::vector<int32_t>& groupStart,
                     std::vector<int32_t>& order) {
  const CGlFace* faces = block.faces.data();
  const int faceCount = block.faces.GetSize();
  groupStart.assign(static_cast<size_t>(materialCount) + 2, 0);
  for (int i = 0; i < faceCount; ++i) {
    const CGlFace& f = faces[i];
    if (f.deleted || f.GetVertexCount() < 3) continue;
    ++groupStart[static_cast<size_t>(f.materialIndex < 0 ? 0 : f.materialIndex + 1) + 1];
  }
  for (size_t g = 1; g < groupStart.size(); ++g) groupStart[g] += groupStart[g - 1];
  order.resize(static_cast<size_t>(groupStart.back()));
  std::vector<int32_t> fill(groupStart.begin(), groupStart.end() - 1);
  for (int i = 0; i < faceCount; ++i) {
    const CGlFace& f = faces[i];
    if (f.deleted || f.GetVertexCount() < 3) continue;
    order[static_cast<size_t>(fill[static_cast<size_t>(f.materialIndex < 0 ? 0 : f.materialIndex + 1)]++)] = i;
  }
}

// The vertex record of a corner: game (x, y, z) becomes glTF (x, z, -y).
inline void CornerRecord(const GlCorner& c, float rec[8]) {
  rec[0] = c.position[0], rec[1] = c.position[2], rec[2] = 0.0f - c.position[1];
  rec[3] = c.normal[0], rec[4] = c.normal[2], rec[5] = 0.0f - c.normal[1];
  rec[6] = c.uv[0], rec[7] = c.uv[1];
}

// The two views of the mesh data, vertices then indices; glTF forbids
// empty buffer views, so without faces there are none.
void AddMeshViews(tinygltf::Model& m, size_t vertexBytes, size_t indexBytes) {
  if (vertexBytes == 0) return;
  tinygltf::BufferView vertexView;
  vertexView.name = "vertices";
  vertexView.buffer = 0;
  vertexView.byteOffset = 0;
  vertexView.byteLength = vertexBytes;
  vertexView.byteStride = kVertexStride;
  vertexView.target = TINYGLTF_TARGET_ARRAY_BUFFER;
  m.bufferViews.push_back(std::move(vertexView));
  tinygltf::BufferView indexView;
  indexView.name = "indices";
  indexView.buffer = 0;
  indexView.byteOffset = vertexBytes;
  indexView.byteLength = indexBytes;
  indexView.target = TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER;
  m.bufferViews.push_back(std::move(indexView));
}

}  // namespace

struct CGltfWriter::Document {
  tinygltf::Model model;
};

CGltfWriter::CGltfWriter() : doc_(std::make_unique<Document>()) {}
CGltfWriter::~CGltfWriter() = default;

// Packs the faces of one material group of a block into the buffer. Per
// point of the block it keeps the primitive that last used it and the
// vertex it became there, so that corners sharing a point and its
// attributes share one vertex.
class CGltfWriter::Packer {
 public:
  // Vertices and indices counted from the block's start.
  size_t VertexCount() const { return vertexCount_; }
  size_t IndexCount() const { return indexAt_; }

  // A block to pack into buffers with room for all its corners and indices.
  void StartBlock(size_t points, uint8_t* vertices, uint32_t* indices) {
    vbase_ = vertices;
    ibase_ = indices;
    vertexCount_ = indexAt_ = 0;
    stamp_.assign(points, -1);
    vertexOf_.resize(points);
    primitiveStamp_ = 0;
  }

  // The faces order[from] up to order[to] as one primitive's vertices
  // (from firstVertex on) and indices; lo and hi get the positions' bounds.
  void Primitive(const CGlBlock& block, const int32_t* order, int32_t from, int32_t to, float lo[3], float hi[3]) {
    const CGlPoint* pts = block.points.data();
    const CGlFace* faces = block.faces.data();
    int32_t* const stamp = stamp_.data();
    uint32_t* const vertexOf = vertexOf_.data();
    const int32_t primitiveStamp = ++primitiveStamp_;
    size_t vertexCount = vertexCount_, indexAt = indexAt_;
    const size_t firstVertex = vertexCount;
    for (int c = 0; c < 3; ++c) lo[c] = std::numeric_limits<float>::max(), hi[c] = -lo[c];
    for (int32_t o = from; o < to; ++o) {
      const CGlFace& f = faces[order[o]];
      const int n = f.GetVertexCount();
      CGlCornerReader corners(f, pts);
      uint32_t corner[4];
      for (int k = 0; k < n; ++k) {
        const int32_t pi = f.vertices[k];
        GlCorner c;
        corners.Read(k, c);
        float rec[8];
        CornerRecord(c, rec);
        if (stamp[pi] == primitiveStamp) {
          const uint32_t v = vertexOf[pi];
          if (std::memcmp(vbase_ + (firstVertex + v) * kVertexStride, rec, kVertexStride) == 0) {
            corner[k] = v;
            continue;
          }
        }
        const uint32_t v = static_cast<uint32_t>(vertexCount - firstVertex);
        std::memcpy(vbase_ + vertexCount * kVertexStride, rec, kVertexStride);
        ++vertexCount;
        for (int c = 0; c < 3; ++c) {
          lo[c] = std::min(lo[c], rec[c]);
          hi[c] = std::max(hi[c], rec[c]);
        }
        stamp[pi] = primitiveStamp;
        vertexOf[pi] = v;
        corner[k] = v;
      }
      ibase_[indexAt++] = corner[0], ibase_[indexAt++] = corner[1], ibase_[indexAt++] = corner[2];
      if (n == 4) ibase_[indexAt++] = corner[0], ibase_[indexAt++] = corner[2], ibase_[indexAt++] = corner[3];
    }
    vertexCount_ = vertexCount;
    indexAt_ = indexAt;
  }

 private:
  uint8_t* vbase_ = nullptr;
  uint32_t* ibase_ = nullptr;
  size_t vertexCount_ = 0, indexAt_ = 0;
  std::vector<int32_t> stamp_;
  std::vector<uint32_t> vertexOf_;
  int32_t primitiveStamp_ = 0;
};

void CGltfWriter::Begin() {
  tinygltf::Model& m = doc_->model;
  m = tinygltf::Model();
  m.asset.version = "2.0";
  m.asset.generator = "Lapforge";
  triangles_ = 0;
  vertexBytes_ = indexBytes_ = 0;
  vertices_.clear();
  indices_.clear();
  images_.clear();
  imageBytes_.clear();
  scene_ = std::make_unique<tinygltf::Scene>();
  scene_->name = "track";
  if (!packer_) packer_ = std::make_unique<Packer>();
}

void CGltfWriter::AddBlock(const CGlBlock& block, int materialCount) {
  tinygltf::Model& m = doc_->model;
  size_t corners = 0, indexCount = 0;
  CountCorners(block, materialCount, corners, indexCount);
  blockVertices_.resize(corners * kVertexStride);
  blockIndices_.resize(indexCount);
  tinygltf::Node node = BlockNode(block);
  GroupByMaterial(block, materialCount, groupStart_, order_);
  Packer& packer = *packer_;
  packer.StartBlock(block.points.size(), blockVertices_.data(), blockIndices_.data());
  // Accessors count from the start of the whole buffer's views.
  const size_t vertexBase = vertexBytes_ / kVertexStride, indexBase = indexBytes_ / sizeof(uint32_t);
  tinygltf::Mesh mesh;
  mesh.name = Utf8Name(block.name);
  for (size_t g = 0; g + 1 < groupStart_.size(); ++g) {
    if (groupStart_[g] == groupStart_[g + 1]) continue;
    const size_t firstVertex = packer.VertexCount(), firstIndex = packer.IndexCount();
    float lo[3], hi[3];
    packer.Primitive(block, order_.data(), groupStart_[g], groupStart_[g + 1], lo, hi);
    mesh.primitives.push_back(AddPrimitive(g == 0 ? -1 : static_cast<int>(g) - 1, vertexBase + firstVertex,
                                           packer.VertexCount() - firstVertex, indexBase + firstIndex,
                                           packer.IndexCount() - firstIndex, lo, hi));
  }
  // A block without faces stays a node (its name is part of the track)
  // without a mesh: glTF has no empty meshes.
  if (!mesh.primitives.empty()) {
    node.mesh = static_cast<int>(m.meshes.size());
    m.meshes.push_back(std::move(mesh));
  }
  scene_->nodes.push_back(static_cast<int>(m.nodes.size()));
  m.nodes.push_back(std::move(node));

  const size_t vertexBytes = packer.VertexCount() * kVertexStride, indexBytes = packer.IndexCount() * sizeof(uint32_t);
  vertexBytes_ += vertexBytes;
  indexBytes_ += indexBytes;
  const char* v = reinterpret_cast<const char*>(blockVertices_.data());
  const char* i = reinterpret_cast<const char*>(blockIndices_.data());
  if (streamed_) {
    if (glb_)
      vertexScratch_.Append(v, vertexBytes);
    else
      bin_.Append(v, vertexBytes);
    indexScratch_.Append(i, indexBytes);
  } else {
    vertices_.insert(vertices_.end(), v, v + vertexBytes);
    indices_.insert(indices_.end(), i, i + indexBytes);
  }
}

void CGltfWriter::Finish(const CGlMaterialArray& materials) {
  tinygltf::Model& m = doc_->model;
  AddMaterials(m, materials);
  m.scenes.push_back(std::move(*scene_));
  scene_.reset();
  m.defaultScene = 0;
  AddMeshViews(m, vertexBytes_, indexBytes_);
  meshViews_ = m.bufferViews.size();
}

void CGltfWriter::Build(const CGlBlockArray& blocks, const CGlMaterialArray& materials, CProgress* progress) {
  Begin();
  streamed_ = false;
  const int materialCount = materials.GetSize();
  size_t corners = 0, indexCount = 0;
  for (int b = 0; b < blocks.GetSize(); ++b) {
    size_t c = 0, n = 0;
    CountCorners(blocks[b], materialCount, c, n);
    corners += c, indexCount += n;
  }
  vertices_.reserve(corners * kVertexStride);
  indices_.reserve(indexCount * sizeof(uint32_t));
  for (int b = 0; b < blocks.GetSize(); ++b) {
    AddBlock(blocks[b], materialCount);
    if (progress) progress->Step();
  }
  Finish(materials);
}

Result CGltfWriter::Start(const std::string& path) {
  Begin();
  streamed_ = true;
  glb_ = EndsWithGlb(path);
  const std::string folder = FileString::Path(path);
  if (glb_) {
    if (Result r = vertexScratch_.Open(folder); !r) return r;
  } else {
    if (Result r = bin_.Open(FileString::ChangeExtension(path, "bin")); !r) return r;
  }
  return indexScratch_.Open(folder);
}

// The accessors of a primitive's vertices (positions with their bounds,
// normals, texture coordinates) and indices.
tinygltf::Primitive CGltfWriter::AddPrimitive(int material, size_t firstVertex, size_t vertexCount, size_t firstIndex,
                                              size_t indexCount, const float lo[3], const float hi[3]) {
  tinygltf::Model& m = doc_->model;
  tinygltf::Primitive prim;
  prim.mode = TINYGLTF_MODE_TRIANGLES;
  prim.material = material;
  auto attribute = [&](size_t offset, int type, bool bounds) {
    tinygltf::Accessor a;
    a.bufferView = kVertexView;
    a.byteOffset = firstVertex * kVertexStride + offset;
    a.componentType = TINYGLTF_COMPONENT_TYPE_FLOAT;
    a.type = type;
    a.count = vertexCount;
    if (bounds) {
      a.minValues = {lo[0], lo[1], lo[2]};
      a.maxValues = {hi[0], hi[1], hi[2]};
    }
    m.accessors.push_back(std::move(a));
    return static_cast<int>(m.accessors.size()) - 1;
  };
  prim.attributes["POSITION"] = attribute(0, TINYGLTF_TYPE_VEC3, true);
  prim.attributes["NORMAL"] = attribute(12, TINYGLTF_TYPE_VEC3, false);
  prim.attributes["TEXCOORD_0"] = attribute(24, TINYGLTF_TYPE_VEC2, false);
  tinygltf::Accessor idx;
  idx.bufferView = kIndexView;
  idx.byteOffset = firstIndex * sizeof(uint32_t);
  idx.componentType = TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT;
  idx.type = TINYGLTF_TYPE_SCALAR;
  idx.count = indexCount;
  m.accessors.push_back(std::move(idx));
  prim.indices = static_cast<int>(m.accessors.size()) - 1;
  triangles_ += static_cast<long long>(indexCount / 3);
  return prim;
}

int CGltfWriter::AddImage(const std::string& fileName, std::string png) {
  tinygltf::Model& m = doc_->model;
  if (m.samplers.empty()) {
    tinygltf::Sampler sampler;
    sampler.wrapS = TINYGLTF_TEXTURE_WRAP_REPEAT;
    sampler.wrapT = TINYGLTF_TEXTURE_WRAP_REPEAT;
    m.samplers.push_back(sampler);
  }
  const int index = static_cast<int>(m.images.size());
  tinygltf::Image image;
  const size_t dot = fileName.rfind('.');
  image.name = Utf8Name(dot == 0 || dot == std::string::npos ? fileName : fileName.substr(0, dot));
  m.images.push_back(std::move(image));
  tinygltf::Texture texture;
  texture.source = index;
  texture.sampler = 0;
  m.textures.push_back(texture);
  images_.push_back({fileName, imageBytes_.size(), png.size()});
  imageBytes_ += png;
  imageBytes_.append((4 - imageBytes_.size() % 4) % 4, '\0');
  return index;
}

void CGltfWriter::SetMaterialImage(int material, int image) {
  tinygltf::Model& m = doc_->model;
  CheckIndex(material, m.materials.size(), "glTF: material of an image");
  CheckIndex(image, m.textures.size(), "glTF: image of a material");
  m.materials[static_cast<size_t>(material)].pbrMetallicRoughness.baseColorTexture.index = image;
}

std::string CGltfWriter::Json(const std::string& bufferUri) {
  tinygltf::Model& m = doc_->model;
  // Images: in a .glb each is a view of the buffer after the mesh data;
  // beside a .gltf each is a file named by its URI.
  const bool embedded = bufferUri.empty();
  m.bufferViews.resize(meshViews_);
  for (size_t i = 0; i < images_.size(); ++i) {
    tinygltf::Image& image = m.images[i];
    image.mimeType = "image/png";
    if (embedded) {
      tinygltf::BufferView view;
      view.buffer = 0;
      view.byteOffset = BufferSize() + images_[i].offset;
      view.byteLength = images_[i].size;
      image.bufferView = static_cast<int>(m.bufferViews.size());
      image.uri.clear();
      m.bufferViews.push_back(std::move(view));
    } else {
      image.bufferView = -1;
      image.uri = UriOf(images_[i].fileName);
    }
  }
  tinygltf::TinyGLTF gltf;
  // Images are written from the bytes given, never read or re-encoded here.
  gltf.SetImageWriter(nullptr, nullptr);
  std::ostringstream out;
  gltf.WriteGltfSceneToStream(&m, out, false, false);
  std::string json = out.str();
  // tinygltf sizes a buffer by the bytes it holds; ours are kept apart and
  // written straight from memory, so the one buffer entry is added here.
  if (m.bufferViews.empty()) return json;
  while (!json.empty() && json.back() != '}') json.pop_back();
  if (json.empty()) return json;
  json.pop_back();
  json += StrFormat(",\"buffers\":[{\"byteLength\":%zu", BufferSize() + (embedded ? ImageBytes() : 0));
  if (!bufferUri.empty()) json += ",\"uri\":\"" + bufferUri + "\"";
  json += "}]}";
  return json;
}

Result CGltfWriter::Write(const std::string& path, std::vector<std::string>* written) {
  auto wrote = [&](const std::string& file) {
    if (written) written->push_back(file);
  };
  if (!EndsWithGlb(path)) {
    const std::string binPath = FileString::ChangeExtension(path, "bin");
    if (BufferSize() > 0) {
      if (streamed_) {
        // The vertices went straight into the .bin; the indices follow them.
        bin_.AppendFile(indexScratch_);
        if (Result r = bin_.Commit(); !r) return r;
      } else if (Result r = ReplaceFile(binPath, {MemoryVertices(), MemoryIndices()}); !r) {
        return r;
      }
      wrote(binPath);
    }
    const std::string folder = FileString::Path(path);
    for (const Image& image : images_) {
      const std::string file = folder + image.fileName;
      if (Result r = ReplaceFile(file, std::string_view(imageBytes_).substr(image.offset, image.size)); !r) return r;
      wrote(file);
    }
    if (Result r = ReplaceFile(path, Json(UriOf(FileString::FileName(binPath)))); !r) return r;
    wrote(path);
    return Result::Ok();
  }
  // Binary container: 12-byte header, the JSON chunk padded with blanks and
  // the BIN chunk padded with zeros, each to a multiple of 4 bytes. The JSON
  // is known only when every block is packed, and it comes first: a
  // streamed buffer waits in its scratch files and is copied in after it.
  std::string json = Json(std::string());
  json.append((4 - json.size() % 4) % 4, ' ');
  const size_t bin = BufferSize() + ImageBytes();
  const size_t binPadded = (bin + 3) / 4 * 4;
  const uint64_t total = 12 + 8 + json.size() + (bin > 0 ? 8 + binPadded : 0);
  if (total > std::numeric_limits<uint32_t>::max())
    return Result::Fail(Status::Invalid, "The track is too large for a .glb file (4 GB at most): write a .gltf instead",
                        path);
  auto le32 = [](std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  std::string head;
  head += "glTF";
  le32(head, 2);
  le32(head, static_cast<uint32_t>(total));
  le32(head, static_cast<uint32_t>(json.size()));
  head += "JSON";
  std::string binHead, pad(binPadded - bin, '\0');
  if (bin > 0) {
    le32(binHead, static_cast<uint32_t>(binPadded));
    binHead.append("BIN\0", 4);
  }
  CReplacingFile out;
  if (Result r = out.Open(path); !r) return r;
  out.Append(head);
  out.Append(json);
  out.Append(binHead);
  if (streamed_) {
    out.AppendFile(vertexScratch_);
    out.AppendFile(indexScratch_);
  } else {
    out.Append(MemoryVertices());
    out.Append(MemoryIndices());
  }
  out.Append(imageBytes_);
  out.Append(pad);
  if (Result r = out.Commit(); !r) return r;
  wrote(path);
  return Result::Ok();
}

}  // namespace lapforge
