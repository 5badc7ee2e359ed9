// The streamed exports hold one block at a time: over a track of N equal
// straights, the block the stream makes every block into ends as large as
// one straight's mesh, whatever N; and the files written block by block are
// the bytes of the same files made from the whole mesh in memory.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "description/TrkDsc.h"
#include "formats/3ds/3dsFile.h"
#include "formats/gltf/GltfWriter.h"
#include "mapping/PtfMapping.h"
#include "mesh/GlBlock.h"
#include "mesh/GlBlockArray.h"
#include "mesh/GlMaterialArray.h"
#include "mesh/GlMipArray.h"
#include "roads/BlockStream.h"
#include "roads/Lapforge.h"
#include "support/FileIO.h"
#include "support/UserInterface.h"
#include "tests/support/TestSupport.h"
#include "tests/support/description/Descriptions.h"

namespace lapforge {

namespace {

std::string Bytes(const std::string& path) {
  std::string bytes;
  EXPECT_TRUE(ReadWholeFile(path, bytes)) << path;
  return bytes;
}

class StreamedExport : public ::testing::TestWithParam<int> {};

TEST_P(StreamedExport, HoldsOneBlockWhateverTheLengthAndWritesWhatTheWholeMeshWould) {
  const int straights = GetParam();
  TrkDsc ds;
  CircuitOptions o;
  o.straightOnly = true;
  o.sections = straights;
  o.length = 60.0 * straights;
  o.longRes = 2;
  o.latRes = 1;
  FillGeneratedCircuit(ds, o);

  CN5PtfDb model;
  ASSERT_TRUE(PTFObjFromDataBase(ds, model, ""));
  CGlMaterialArray materials;
  CGlMipArray textures;
  CBlockStream stream(model, materials, textures);
  ASSERT_EQ(stream.Count(), straights);
  CGlBlock block;
  stream.ReserveFor(block);
  const size_t faceRoom = block.faces.Items().capacity(), pointRoom = block.points.Items().capacity();
  size_t faces = 0;
  for (int b = 0; b < stream.Count(); ++b) {
    ASSERT_TRUE(stream.Make(b, block));
    // Every straight is meshed alike, with four points of its own per face.
    if (b == 0) faces = block.faces.size();
    EXPECT_EQ(block.faces.size(), faces) << b;
    EXPECT_EQ(block.points.size(), 4 * faces) << b;
  }
  // Reserved once for one straight (the largest block), never grown.
  EXPECT_GT(faces, 0u);
  EXPECT_EQ(faceRoom, faces);
  EXPECT_EQ(pointRoom, 4 * faces);
  EXPECT_EQ(block.faces.Items().capacity(), faceRoom);
  EXPECT_EQ(block.points.Items().capacity(), pointRoom);

  // The exports streamed through files against the same files made from
  // the whole mesh held at once.
  CRecordingUI ui;
  ui.answers = {UiAnswer::Yes};
  CLapforge lf;
  CTempDir dir;
  ASSERT_EQ(lf.GltfFromDataBase(ds, dir.File("s.glb")), straights);
  ASSERT_EQ(lf.GltfFromDataBase(ds, dir.File("s.gltf")), straights);
  ASSERT_EQ(lf._3DSFromDataBase(ds, dir.File("s.3ds")), straights);
  CN5PtfDb whole;
  ASSERT_TRUE(PTFObjFromDataBase(ds, whole, ""));
  CGlBlockArray blocks;
  CGlMaterialArray allMaterials;
  CGlMipArray allTextures;
  std::vector<std::string> a, b, c;
  ASSERT_TRUE(lf.CreateObjects(whole, blocks, allMaterials, allTextures, a, b, c));
  for (const char* name : {"m.glb", "m.gltf"}) {
    CGltfWriter writer;
    writer.Build(blocks, allMaterials);
    ASSERT_TRUE(writer.Write(dir.File(name)));
  }
  CZMaxFile max;
  for (int i = 0; i < blocks.GetSize(); ++i)
    max.AddGlObject(blocks[i].points, blocks[i].faces, allMaterials, blocks[i].name, true, false);
  ASSERT_TRUE(max.WriteFile(dir.File("m.3ds")));
  EXPECT_EQ(Bytes(dir.File("s.glb")), Bytes(dir.File("m.glb")));
  EXPECT_EQ(Bytes(dir.File("s.bin")), Bytes(dir.File("m.bin")));
  EXPECT_EQ(Bytes(dir.File("s.3ds")), Bytes(dir.File("m.3ds")));
  // Nothing shown but the 3DS road's question (short names: yes) and the
  // textures the glTF exports do not find (none are beside the track).
  for (const auto& shown : ui.shown)
    EXPECT_TRUE(shown.caption == "Textures" || shown.text.find("Short Names") != std::string::npos) << shown.text;
}

INSTANTIATE_TEST_SUITE_P(Straights, StreamedExport, ::testing::Values(2, 4, 10, 16, 40));

// Made a block ahead on a second thread, the blocks come in order with the
// lists as they stood once each was made (as the one-thread walk has them),
// and a visit that throws ends the walk with its exception (the maker
// thread stopped), after which the stream walks again.
TEST(StreamedExport, AheadVisitsInOrderWithTheListsAsMadeAndPassesOnAThrow) {
  TrkDsc ds;
  CircuitOptions o;
  o.sections = 12;
  o.detailEvery = 3;  // details bring materials of their own part-way
  FillGeneratedCircuit(ds, o);
  CN5PtfDb model;
  ASSERT_TRUE(PTFObjFromDataBase(ds, model, ""));
  struct Seen {
    size_t faces;
    int materials, textures;
    bool operator==(const Seen&) const = default;
  };
  // Each walk with lists of its own, filled as its blocks are made.
  CGlMaterialArray serialMaterials, materials;
  CGlMipArray serialTextures, textures;
  CBlockStream serialStream(model, serialMaterials, serialTextures), stream(model, materials, textures);
  std::vector<Seen> serial, ahead;
  CGlBlock block;
  ASSERT_TRUE(serialStream.ForEach(block, "", [&](int, const CGlBlock& made) {
    serial.push_back({made.faces.size(), serialMaterials.GetSize(), serialTextures.GetSize()});
  }));
  auto walk = [&](int throwAt) {
    ahead.clear();
    return stream.ForEachAhead(block, "", [&](int b, const CGlBlock& made, const CGlMaterialArray& m,
                                              const CGlMipArray& t) {
      if (b == throwAt) throw std::runtime_error("visit failed");
      EXPECT_EQ(b, static_cast<int>(ahead.size()));
      ahead.push_back({made.faces.size(), m.GetSize(), t.GetSize()});
    });
  };
  ASSERT_TRUE(walk(-1));
  EXPECT_EQ(ahead, serial);
  EXPECT_LT(serial.front().materials, serial.back().materials);
  EXPECT_THROW(walk(4), std::runtime_error);
  EXPECT_EQ(ahead.size(), 4u);
  ASSERT_TRUE(walk(-1));
  EXPECT_EQ(ahead.size(), serial.size());
}

}  // namespace

}  // namespace lapforge
