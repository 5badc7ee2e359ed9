// The glTF export read back with tinygltf: layout worked out by hand for a
// small block, and the sample track compared with the mesh it came from.
#include <gtest/gtest.h>
#include <tiny_gltf.h>

#include <cstring>

#include "app/Lapforge.h"
#include "description/TrkDsc.h"
#include "formats/GltfWriter.h"
#include "mesh/GlBlockArray.h"
#include "mesh/GlMaterialArray.h"
#include "mesh/GlMipArray.h"
#include "ptf/N5PtfDb.h"
#include "tests/support/TestSupport.h"

namespace {

const std::string kSample = LAPFORGE_SOURCE_DIR "/examples/sample-circuit.xml";

// Texture images are referred to, not shipped, so tinygltf's warnings
// about them are not failures.
bool Load(const std::string& path, tinygltf::Model& model, std::string& why) {
  tinygltf::TinyGLTF loader;
  std::string warn;
  return path.ends_with(".glb") ? loader.LoadBinaryFromFile(&model, &why, &warn, path)
                                : loader.LoadASCIIFromFile(&model, &why, &warn, path);
}

// Element i of an accessor, as floats (count components).
std::vector<float> Floats(const tinygltf::Model& m, int accessor, size_t i, int count) {
  const tinygltf::Accessor& a = m.accessors[static_cast<size_t>(accessor)];
  const tinygltf::BufferView& v = m.bufferViews[static_cast<size_t>(a.bufferView)];
  const size_t stride = v.byteStride ? v.byteStride : sizeof(float) * static_cast<size_t>(count);
  const uint8_t* p = m.buffers[static_cast<size_t>(v.buffer)].data.data() + v.byteOffset + a.byteOffset + i * stride;
  std::vector<float> out(static_cast<size_t>(count));
  std::memcpy(out.data(), p, sizeof(float) * static_cast<size_t>(count));
  return out;
}

std::vector<uint32_t> Indices(const tinygltf::Model& m, int accessor) {
  const tinygltf::Accessor& a = m.accessors[static_cast<size_t>(accessor)];
  EXPECT_EQ(a.componentType, TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT);
  const tinygltf::BufferView& v = m.bufferViews[static_cast<size_t>(a.bufferView)];
  std::vector<uint32_t> out(a.count);
  std::memcpy(out.data(), m.buffers[static_cast<size_t>(v.buffer)].data.data() + v.byteOffset + a.byteOffset,
              a.count * sizeof(uint32_t));
  return out;
}

CGlPoint Pt(float x, float y, float z, float u = 0, float v = 0) {
  CGlPoint p(x, y, z);
  p.u = u, p.v = v, p.hasUV = 1;
  p.nx = 0, p.ny = 0, p.nz = 1, p.hasNormal = 1;
  return p;
}

}  // namespace

TEST(GltfWriter, SmallBlockLaidOutAsWorkedOutByHand) {
  CGlMaterialArray materials;
  materials.AddByTexName("maps\\Road Surface.dds");  // material "road surface"
  CGlBlockArray blocks;
  CGlBlock& b = blocks[blocks.AddNew()];
  b.name = "quad";
  // A 4 x 2 quad at height 3 (game axes), then a triangle sharing its edge
  // 1-2 but with other texture coordinates on point 2.
  for (const CGlPoint& p : {Pt(0, 0, 3, 0, 0), Pt(4, 0, 3, 1, 0), Pt(4, 2, 3, 1, 1), Pt(0, 2, 3, 0, 1),
                            Pt(6, 1, 3, 0.5f, 0.5f)})
    b.points.Add(p);
  CGlFace quad;
  for (int v : {0, 1, 2, 3}) quad.AddVertex(v);
  quad.materialIndex = 0;
  b.faces.Add(quad);
  CGlFace tri;
  for (int v : {1, 4, 2}) tri.AddVertex(v);
  tri.hasUVs = 1;
  for (float uv : {1.f, 0.f, 0.5f, 0.5f, 9.f, 9.f}) tri.AddFloat(uv);
  tri.materialIndex = 0;
  b.faces.Add(tri);
  CGlBlock& pit = blocks[blocks.AddNew()];
  pit.name = "xpit";
  pit.tag.render = 0;
  pit.tag.collisionTarget = 1;
  pit.tag.responseKind = 2;

  CGltfWriter writer;
  writer.Build(blocks, materials);
  // Vertices: 4 of the quad, then point 4 and a second copy of point 2
  // (other coordinates); point 1 is shared. 6 x 32 bytes, then 9 indices.
  EXPECT_EQ(writer.BufferSize(), 6u * 32 + 9u * 4);
  EXPECT_EQ(writer.TriangleCount(), 3);

  CTempDir dir;
  std::string error;
  ASSERT_TRUE(writer.Write(dir.File("Small.glb"), error)) << error;
  // Header: magic, version 2, the whole length; the BIN chunk closes the file.
  const std::vector<uint8_t> bytes = ReadBytes(dir.File("Small.glb"));
  uint32_t head[4] = {0, 0, 0, 0};
  ASSERT_GE(bytes.size(), sizeof head);
  std::memcpy(head, bytes.data(), sizeof head);
  EXPECT_EQ(std::memcmp(bytes.data(), "glTF", 4), 0);
  EXPECT_EQ(head[1], 2u);
  EXPECT_EQ(head[2], bytes.size());
  EXPECT_EQ(20 + head[3] + 8 + 6 * 32 + 9 * 4, bytes.size());

  tinygltf::Model m;
  ASSERT_TRUE(Load(dir.File("Small.glb"), m, error)) << error;
  ASSERT_EQ(m.nodes.size(), 2u);
  EXPECT_EQ(m.nodes[0].name, "quad");
  EXPECT_EQ(m.nodes[1].name, "xpit");
  EXPECT_EQ(m.nodes[1].mesh, -1);  // no faces, no mesh
  EXPECT_TRUE(m.nodes[1].extras.Get("collisionOnly").Get<bool>());
  EXPECT_EQ(m.nodes[1].extras.Get("response").Get<int>(), 2);
  EXPECT_FALSE(m.nodes[0].extras.Has("collisionOnly"));
  ASSERT_EQ(m.materials.size(), 1u);
  EXPECT_EQ(m.materials[0].name, "road surface");
  ASSERT_EQ(m.images.size(), 1u);
  EXPECT_EQ(m.images[0].uri, "road%20surface.dds");

  const tinygltf::Primitive& p = m.meshes[static_cast<size_t>(m.nodes[0].mesh)].primitives.at(0);
  EXPECT_EQ(p.material, 0);
  const int pos = p.attributes.at("POSITION"), nrm = p.attributes.at("NORMAL"), uv = p.attributes.at("TEXCOORD_0");
  // Game (x, y, z) is glTF (x, z, -y); up (0, 0, 1) becomes (0, 1, 0).
  EXPECT_EQ(Floats(m, pos, 2, 3), (std::vector<float>{4, 3, -2}));
  EXPECT_EQ(Floats(m, pos, 4, 3), (std::vector<float>{6, 3, -1}));
  EXPECT_EQ(Floats(m, pos, 5, 3), (std::vector<float>{4, 3, -2}));
  EXPECT_EQ(Floats(m, nrm, 0, 3), (std::vector<float>{0, 1, 0}));
  EXPECT_EQ(Floats(m, uv, 2, 2), (std::vector<float>{1, 1}));
  EXPECT_EQ(Floats(m, uv, 4, 2), (std::vector<float>{0.5f, 0.5f}));
  EXPECT_EQ(Floats(m, uv, 5, 2), (std::vector<float>{9, 9}));
  EXPECT_EQ(m.accessors[static_cast<size_t>(pos)].minValues, (std::vector<double>{0, 3, -2}));
  EXPECT_EQ(m.accessors[static_cast<size_t>(pos)].maxValues, (std::vector<double>{6, 3, 0}));
  EXPECT_EQ(Indices(m, p.indices), (std::vector<uint32_t>{0, 1, 2, 0, 2, 3, 1, 4, 5}));

  // As text, the buffer goes beside it named by the lower-cased title.
  ASSERT_TRUE(writer.Write(dir.File("Small.gltf"), error)) << error;
  EXPECT_EQ(ReadBytes(dir.File("small.bin")).size(), 6u * 32 + 9u * 4);
  tinygltf::Model t;
  ASSERT_TRUE(Load(dir.File("Small.gltf"), t, error)) << error;
  EXPECT_EQ(t.buffers.at(0).data, m.buffers.at(0).data);
}

// The sample track exported and read back: one node per block in order,
// and every triangle's corners at the mesh's points turned to glTF axes.
TEST(GltfExport, SampleTrackReadsBackAsTheMeshItCameFrom) {
  CRecordingUI ui;
  CLapforge lf;
  std::unique_ptr<TrkDsc> ds = lf.DataBaseFromXML(kSample);
  ASSERT_TRUE(ds);
  CTempDir dir;
  const int written = lf.GltfFromDataBase(*ds, dir.File("sample.glb"));
  ASSERT_GT(written, 0) << (ui.shown.empty() ? "" : ui.shown[0].text);

  CN5PtfDb model;
  ASSERT_EQ(PTFObjFromDataBase(*ds, model, ""), 1);
  CGlBlockArray blocks;
  CGlMaterialArray materials;
  CGlMipArray textures;
  std::vector<std::string> a, b, c;
  lf.CreateObjects(model, blocks, materials, textures, a, b, c);
  ASSERT_EQ(written, blocks.GetSize());

  tinygltf::Model m;
  std::string error;
  ASSERT_TRUE(Load(dir.File("sample.glb"), m, error)) << error;
  ASSERT_EQ(m.nodes.size(), static_cast<size_t>(blocks.GetSize()));
  ASSERT_EQ(m.materials.size(), static_cast<size_t>(materials.GetSize()));
  for (int i = 0; i < materials.GetSize(); ++i) EXPECT_EQ(m.materials[static_cast<size_t>(i)].name, materials[i].materialName);

  for (int i = 0; i < blocks.GetSize(); ++i) {
    const CGlBlock& blk = blocks[i];
    const tinygltf::Node& node = m.nodes[static_cast<size_t>(i)];
    ASSERT_EQ(node.name, blk.name);
    ASSERT_GE(node.mesh, 0) << blk.name;
    for (const tinygltf::Primitive& p : m.meshes[static_cast<size_t>(node.mesh)].primitives) {
      // The block's faces of this material, in their order, as triangles.
      std::vector<float> expected;
      for (const CGlFace& f : blk.faces) {
        if (f.deleted || f.GetVertexCount() < 3 || f.materialIndex != p.material) continue;
        const int n = f.GetVertexCount();
        for (int t = 0; t + 2 < n; ++t)
          for (int k : {0, t + 1, t + 2}) {
            const CGlPoint& q = blk.points[f.vertices[k]];
            expected.insert(expected.end(), {q.x, q.z, -q.y});
          }
      }
      std::vector<float> got;
      const int pos = p.attributes.at("POSITION");
      for (uint32_t v : Indices(m, p.indices)) {
        std::vector<float> xyz = Floats(m, pos, v, 3);
        got.insert(got.end(), xyz.begin(), xyz.end());
      }
      ASSERT_FALSE(got.empty());
      EXPECT_EQ(got, expected) << blk.name << " material " << p.material;
    }
  }
}
