// The glTF export read back with tinygltf: layout worked out by hand for a
// small block, the sample track compared with the mesh and the texture maps
// it came from, and texture maps found as a track maker names them.
#include <gtest/gtest.h>
#include <tiny_gltf.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "description/TrkDsc.h"
#include "formats/gltf/GltfWriter.h"
#include "mapping/PtfMapping.h"
#include "mesh/GlBlockArray.h"
#include "mesh/GlMaterialArray.h"
#include "mesh/GlMipArray.h"
#include "roads/Lapforge.h"
#include "support/ImageFile.h"
#include "tests/support/ImageFiles.h"
#include "tests/support/ResultCheck.h"
#include "tests/support/TestSupport.h"

namespace lapforge {

namespace {

const std::string kExamples = LAPFORGE_SOURCE_DIR "/examples/";
const std::string kSample = kExamples + "sample-circuit.xml";

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
  for (const CGlPoint& p :
       {Pt(0, 0, 3, 0, 0), Pt(4, 0, 3, 1, 0), Pt(4, 2, 3, 1, 1), Pt(0, 2, 3, 0, 1), Pt(6, 1, 3, 0.5f, 0.5f)})
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
  pit.name = "xpit\xFB";  // not UTF-8: the byte is written as U+FFFD
  pit.tag.render = 0;
  pit.tag.collisionTarget = 1;
  pit.tag.responseKind = 2;

  CGltfWriter writer;
  writer.Build(blocks, materials);
  // Vertices: 4 of the quad, then point 4 and a second copy of point 2
  // (other coordinates); point 1 is shared. 6 x 32 bytes, then 9 indices.
  EXPECT_EQ(writer.BufferSize(), 6u * 32 + 9u * 4);
  EXPECT_EQ(writer.TriangleCount(), 3);
  // A texture image as PNG bytes: in a .glb it follows the indices, padded
  // to 4 bytes; beside a .gltf it is a file of the name given.
  std::string png, error;
  ASSERT_TRUE(Ok(EncodePng(CRgbaImage{1, 1, {9, 8, 7, 255}}, png), error)) << error;
  EXPECT_EQ(writer.AddImage("Road Surface.png", png), 0);
  writer.SetMaterialImage(0, 0);

  CTempDir dir;
  std::vector<std::string> written;
  ASSERT_TRUE(Ok(writer.Write(dir.File("Small.glb"), &written), error)) << error;
  EXPECT_EQ(written, std::vector<std::string>{dir.File("Small.glb")});
  // The BIN chunk closes the file: 12-byte header, JSON chunk, 8-byte chunk head.
  const std::vector<uint8_t> bytes = ReadBytes(dir.File("Small.glb"));
  uint32_t jsonLength = 0;
  ASSERT_GE(bytes.size(), 16u);
  std::memcpy(&jsonLength, bytes.data() + 12, 4);
  EXPECT_EQ(20 + jsonLength + 8 + 6 * 32 + 9 * 4 + (png.size() + 3) / 4 * 4, bytes.size());

  tinygltf::Model m;
  ASSERT_TRUE(Load(dir.File("Small.glb"), m, error)) << error;
  ASSERT_EQ(m.nodes.size(), 2u);
  EXPECT_EQ(m.nodes[0].name, "quad");
  EXPECT_EQ(m.nodes[1].name, "xpit\xEF\xBF\xBD");
  EXPECT_EQ(m.nodes[1].mesh, -1);  // no faces, no mesh
  EXPECT_TRUE(m.nodes[1].extras.Get("collisionOnly").Get<bool>());
  EXPECT_EQ(m.nodes[1].extras.Get("response").Get<int>(), 2);
  EXPECT_FALSE(m.nodes[0].extras.Has("collisionOnly"));
  ASSERT_EQ(m.materials.size(), 1u);
  EXPECT_EQ(m.materials[0].name, "road surface");
  ASSERT_EQ(m.images.size(), 1u);
  EXPECT_EQ(m.images[0].name, "Road Surface");
  EXPECT_EQ(m.images[0].mimeType, "image/png");
  EXPECT_EQ(m.images[0].uri, "");
  ASSERT_EQ(m.images[0].bufferView, 2);  // after the vertices and the indices
  EXPECT_EQ(m.bufferViews[2].byteOffset, 6u * 32 + 9u * 4);
  EXPECT_EQ(m.bufferViews[2].byteLength, png.size());
  EXPECT_EQ(m.images[0].image, (std::vector<unsigned char>{9, 8, 7, 255}));
  EXPECT_EQ(m.textures.at(0).source, 0);
  EXPECT_EQ(m.materials[0].pbrMetallicRoughness.baseColorTexture.index, 0);

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

  // As text, the buffer goes beside it named by the lower-cased title, the
  // image under its own name.
  written.clear();
  ASSERT_TRUE(Ok(writer.Write(dir.File("Small.gltf"), &written), error)) << error;
  EXPECT_EQ(written, (std::vector<std::string>{dir.File("small.bin"), dir.File("Road Surface.png"),
                                               dir.File("Small.gltf")}));
  EXPECT_EQ(ReadBytes(dir.File("small.bin")).size(), 6u * 32 + 9u * 4);
  EXPECT_EQ(ReadText(dir.File("Road Surface.png")), png);
  tinygltf::Model t;
  ASSERT_TRUE(Load(dir.File("Small.gltf"), t, error)) << error;
  EXPECT_EQ(t.buffers.at(0).data, std::vector<unsigned char>(m.buffers.at(0).data.begin(),
                                                             m.buffers.at(0).data.begin() + 6 * 32 + 9 * 4));
  EXPECT_EQ(t.images.at(0).uri, "Road%20Surface.png");
  EXPECT_EQ(t.images.at(0).image, m.images[0].image);
}

// The sample track exported and read back: one node per block in order,
// every triangle's corners at the mesh's points turned to glTF axes, and
// every material's texture map (examples/*.dds) a PNG of the same pixels.
TEST(GltfExport, SampleTrackReadsBackAsTheMeshAndTexturesItCameFrom) {
  CRecordingUI ui;
  CLapforge lf;
  std::unique_ptr<TrkDsc> ds = lf.DataBaseFromXML(kSample);
  ASSERT_TRUE(ds);
  CTempDir dir;
  const int written = lf.GltfFromDataBase(*ds, dir.File("sample.glb"), kExamples);
  ASSERT_GT(written, 0) << (ui.shown.empty() ? "" : ui.shown[0].text);
  EXPECT_TRUE(ui.shown.empty()) << ui.shown[0].text;

  CN5PtfDb model;
  ASSERT_TRUE(PTFObjFromDataBase(*ds, model, ""));
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
  // The sample's material table, and its two details named by texture.
  const std::map<std::string, std::string> mapOf = {{"road01", "asphalt"}, {"grass01", "grass"}, {"curb01", "curb"},
                                                    {"twal01", "wall"},    {"fence01", "fence"}, {"startline", "startline"},
                                                    {"brake100", "brake100"}};
  for (int i = 0; i < materials.GetSize(); ++i) {
    const tinygltf::Material& mat = m.materials[static_cast<size_t>(i)];
    EXPECT_EQ(mat.name, materials[i].materialName);
    ASSERT_TRUE(mapOf.count(mat.name)) << mat.name;
    const int texture = mat.pbrMetallicRoughness.baseColorTexture.index;
    ASSERT_GE(texture, 0) << mat.name;
    const tinygltf::Image& image = m.images.at(static_cast<size_t>(m.textures.at(static_cast<size_t>(texture)).source));
    EXPECT_EQ(image.name, mapOf.at(mat.name));
    EXPECT_EQ(image.mimeType, "image/png");
    CRgbaImage source;
    ASSERT_TRUE(Ok(LoadImageFile(kExamples + image.name + ".dds", source), error)) << error;
    EXPECT_EQ(image.width, source.width) << image.name;
    EXPECT_EQ(image.height, source.height) << image.name;
    EXPECT_EQ(image.image, source.pixels) << image.name;
  }
  EXPECT_EQ(m.images.size(), mapOf.size());

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

// Texture maps as a track maker names them: a folder part written with '\',
// letters in another case than on disk, two materials sharing one file, a
// PNG source where its PNG would be written, a damaged file and missing
// ones. Images keep the map's letter case; one message names every map that
// gives no image, and its material has no texture.
TEST(GltfExport, TextureMapsFoundWithoutRegardToCaseAndProblemsNamed) {
  CTempDir dir;
  std::string error, curb;
  std::filesystem::create_directory(dir.File("MAPS"));
  const std::vector<uint8_t> tga = TgaFile(1, 2, {0, 0, 255, 255, 0, 0});  // blue over red
  WriteText(dir.File("MAPS/ASPHALT01.TGA"), std::string(tga.begin(), tga.end()));
  WriteText(dir.File("grass.dds"), ReadText(kExamples + "grass.dds"));
  ASSERT_TRUE(Ok(EncodePng(CRgbaImage{1, 1, {1, 2, 3, 255}}, curb), error));
  WriteText(dir.File("Curb.png"), curb);
  WriteText(dir.File("wall.dds"), ReadText(kExamples + "wall.dds").substr(0, 150));

  CRecordingUI ui;
  CLapforge lf;
  std::unique_ptr<TrkDsc> ds = lf.DataBaseFromXML(kSample);
  ASSERT_TRUE(ds);
  const std::map<std::string, std::string> maps = {{"road01", "Maps\\Asphalt01.tga"}, {"grass01", "Grass.DDS"},
                                                   {"fence01", "grass.dds"},          {"curb01", "Curb.png"},
                                                   {"twal01", "wall.dds"}};
  for (int i = 0; i < ds->Material.Count(); ++i) ds->Material[i].SetMapName(maps.at(ds->Material[i].MateralName()));
  ASSERT_GT(lf.GltfFromDataBase(*ds, dir.File("track.gltf"), dir.Path()), 0);

  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].caption, "Textures");
  for (const std::string& named :
       {std::string("'startline' of material 'startline': not found beside the description"),
        std::string("'brake100' of material 'brake100': not found"),
        dir.File("wall.dds") + ": unexpected end of file reading DDS level 0 pixels at offset 128 (64 bytes needed, "
                               "22 left) (material 'twal01')"})
    EXPECT_NE(ui.shown[0].text.find(named), std::string::npos) << ui.shown[0].text;
  // The source Curb.png is left as it was; its conversion goes beside it.
  EXPECT_EQ(ReadText(dir.File("Curb.png")), curb);
  for (const char* file : {"Asphalt01.png", "Grass.png", "Curb-2.png"}) EXPECT_TRUE(Exists(dir.File(file))) << file;
  // Not a second, lower-case spelling (checked on the listing: a file
  // system that ignores case finds the one file under both).
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
    names.push_back(entry.path().filename().string());
  EXPECT_EQ(std::count(names.begin(), names.end(), "asphalt01.png"), 0);

  tinygltf::Model m;
  ASSERT_TRUE(Load(dir.File("track.gltf"), m, error)) << error;
  auto imageOf = [&](const std::string& material) -> const tinygltf::Image* {
    for (const tinygltf::Material& mat : m.materials) {
      if (mat.name != material) continue;
      const int t = mat.pbrMetallicRoughness.baseColorTexture.index;
      return t < 0 ? nullptr : &m.images.at(static_cast<size_t>(m.textures.at(static_cast<size_t>(t)).source));
    }
    ADD_FAILURE() << "no material " << material;
    return nullptr;
  };
  ASSERT_EQ(m.images.size(), 3u);
  ASSERT_TRUE(imageOf("road01"));
  EXPECT_EQ(imageOf("road01")->uri, "Asphalt01.png");
  EXPECT_EQ(imageOf("road01")->image, (std::vector<unsigned char>{0, 0, 255, 255, 255, 0, 0, 255}));
  EXPECT_EQ(imageOf("grass01"), imageOf("fence01"));
  ASSERT_TRUE(imageOf("curb01"));
  EXPECT_EQ(imageOf("curb01")->uri, "Curb-2.png");
  for (const char* none : {"twal01", "startline", "brake100"}) EXPECT_EQ(imageOf(none), nullptr) << none;
}

}  // namespace lapforge
