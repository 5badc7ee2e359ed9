// The GTR, GTR2, GTL, 3DS and 3SE export roads: their files and templates
// in order, the 3DS question, the 3DS and 3SE files of the sample track,
// and outputs that cannot be written.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <regex>
#include <set>

#include "description/TrkDsc.h"
#include "roads/Lapforge.h"
#include "roads/MeshExportRoad.h"
#include "support/Templates.h"
#include "tests/support/TestSupport.h"
#include "tests/support/description/CheckedTracks.h"
#include "tests/support/formats/MaxChunkReader.h"

namespace lapforge {

using formatstest::MaxChunk;

namespace {

const std::string kSample = std::string(LAPFORGE_SOURCE_DIR) + "/examples/sample-circuit.xml";
const std::string kQuestion = "Use Short Names in .3DS\n(Required for 3DSMAX)";

std::string TemplateText(int id) {
  const EmbeddedTemplate* t = FindTemplate(id, TemplateKind::Text);
  return t ? std::string(reinterpret_cast<const char*>(t->bytes), t->size) : std::string();
}

// Two blocks of one textured triangle each.
void TwoBlocks(MeshExportModel& built) {
  CGlMaterial m;
  m.materialName = "Road";
  m.SetMapName("asphalt.png");
  built.materials.Add(m);
  for (const char* name : {"A", "B"}) {
    CGlBlock& b = built.blocks[built.blocks.AddNew()];
    b.name = name;
    b.points.Add(CGlPoint(0, 0, 0));
    b.points.Add(CGlPoint(4, 0, 0));
    b.points.Add(CGlPoint(4, 1, 0));
    CGlFace f;
    for (int v : {0, 1, 2}) f.AddVertex(v);
    for (float t : {0.f, 0.f, 1.f, 0.f, 1.f, 1.f}) f.AddFloat(t);
    f.hasUVs = 1;
    f.materialIndex = 0;
    b.faces.Add(f);
  }
}

std::vector<std::string> FileNames(const std::vector<std::string>& paths) {
  std::vector<std::string> names;
  for (const std::string& p : paths) names.push_back(std::filesystem::path(p).filename().string());
  return names;
}

uint32_t U32At(const std::vector<uint8_t>& b, size_t at) {
  uint32_t v = 0;
  if (at + 4 <= b.size()) std::memcpy(&v, b.data() + at, 4);
  return v;
}

// Triangles the 3DS file must hold for the blocks: a polygon of n
// vertices is n - 2 triangles.
size_t Triangles(const CGlBlock& block) {
  size_t n = 0;
  for (const CGlFace& f : block.faces)
    if (!f.deleted && f.GetVertexCount() >= 3) n += static_cast<size_t>(f.GetVertexCount() - 2);
  return n;
}

std::string RunCommand(const std::string& command, int& status) {
  std::string out;
  FILE* p = popen((command + " 2>&1").c_str(), "r");
  if (!p) {
    status = -1;
    return out;
  }
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  status = pclose(p);
  return out;
}

bool HaveAssimp() {
  int status = 0;
  RunCommand("command -v assimp", status);
  return status == 0;
}

}  // namespace

// GTR2 names its scene file "_Lapforge.trk" and writes five templates after
// it; GTL writes "_Lapforge.scn" and three; GTR the scene file only. The
// "_NoName.trk" of GTL and GTR2 come from their own templates.
TEST(ExportRoads, BlockFilesSceneAndTemplatesInOrder) {
  CTempDir dir;
  MeshExportModel built;
  TwoBlocks(built);
  const std::string gtr2 = dir.File("gtr2"), gtl = dir.File("gtl"), gtr = dir.File("gtr");
  for (const std::string& f : {gtr2, gtl, gtr}) std::filesystem::create_directories(f);

  MeshExportResult r = CMeshExportRoad::WriteFiles(built, gtr2, GTR2ExportFormat());
  EXPECT_TRUE(r.failed.empty());
  EXPECT_EQ(FileNames(r.written),
            (std::vector<std::string>{"A.gmt", "B.gmt", "_Lapforge.trk", "_NoName.gdb", "_NoName.trk", "_NoName.ani",
                                      "_NoName.grd", "_rgbmap.dds"}));
  r = CMeshExportRoad::WriteFiles(built, gtl, GTLExportFormat());
  EXPECT_EQ(FileNames(r.written),
            (std::vector<std::string>{"A.gmt", "B.gmt", "_Lapforge.scn", "_NoName.gdb", "_NoName.trk", "_rgbmap.dds"}));
  r = CMeshExportRoad::WriteFiles(built, gtr, GTRExportFormat());
  EXPECT_EQ(FileNames(r.written), (std::vector<std::string>{"A.gmt", "B.gmt", "_Lapforge.scn"}));

  EXPECT_EQ(ReadText(gtr2 + "/_NoName.trk"), TemplateText(114));
  EXPECT_EQ(ReadText(gtl + "/_NoName.trk"), TemplateText(109));
  EXPECT_NE(TemplateText(114), TemplateText(109));
  // The scene names both blocks.
  const std::string scene = ReadText(gtr2 + "/_Lapforge.trk");
  EXPECT_NE(scene.find("A.gmt"), std::string::npos);
  EXPECT_NE(scene.find("B.gmt"), std::string::npos);

  // GTL / GTR2 blocks have the GTL layout (signature at 8, descriptors at
  // 528), GTR blocks the GTR one (signature at 4, descriptors at 328).
  const std::vector<uint8_t> gtlBlock = ReadBytes(gtl + "/A.gmt");
  EXPECT_EQ(U32At(gtlBlock, 8), 0xD8D2CFC8u);
  EXPECT_EQ(U32At(gtlBlock, 368), 528u);
  EXPECT_EQ(ReadBytes(gtr2 + "/A.gmt"), gtlBlock);
  const std::vector<uint8_t> gtrBlock = ReadBytes(gtr + "/A.gmt");
  EXPECT_EQ(U32At(gtrBlock, 4), 0xD8D2CFC8u);
  EXPECT_EQ(U32At(gtrBlock, 288), 328u);
  // GTR keeps the texture name with the extension "tga".
  const std::string text(gtrBlock.begin(), gtrBlock.end());
  EXPECT_NE(text.find("asphalt.tga"), std::string::npos);
}

// The question comes first, also when the description builds no track;
// nothing is written then.
TEST(ExportRoads, ShortNamesQuestionFirst) {
  CScopedSettings settings;
  CTempDir dir;
  TrkDsc empty;
  CRecordingUI ui;
  ui.answers = {UiAnswer::No};
  EXPECT_EQ(CLapforge()._3DSFromDataBase(empty, dir.File("t.3ds")), 0);
  ASSERT_GE(ui.shown.size(), 2u);
  EXPECT_EQ(ui.shown[0].text, kQuestion);
  EXPECT_FALSE(Exists(dir.File("t.3ds")));
}

// The sample track as one 3DS file: one object per block with faces, every
// triangle of every block, short names when answered Yes, and a main chunk
// as long as the file. Checked again with assimp when it is installed.
TEST(ExportRoads, SampleTrackThreeDs) {
  CScopedSettings settings;
  CTempDir dir;
  std::unique_ptr<TrkDsc> db = CLapforge().DataBaseFromXML(kSample);
  ASSERT_TRUE(db);
  MeshExportModel built;
  ASSERT_TRUE(CMeshExportRoad::Build(*std::make_unique<CLapforge>(), *db, built));
  size_t objects = 0, triangles = 0;
  for (int i = 0; i < built.blocks.GetSize(); ++i) {
    const size_t n = Triangles(built.blocks[i]);
    objects += n > 0;
    triangles += n;
  }
  ASSERT_GT(objects, 0u);

  CRecordingUI ui;
  ui.answers = {UiAnswer::Yes};
  const std::string file = dir.File("Sample.3ds");
  EXPECT_EQ(CLapforge()._3DSFromDataBase(*db, file), built.blocks.GetSize());
  const std::vector<uint8_t> bytes = ReadBytes(file);
  MaxChunk root;
  std::string error;
  ASSERT_TRUE(formatstest::ParseMaxFile(bytes, root, error)) << error;
  EXPECT_EQ(root.length, bytes.size());
  const MaxChunk& edit = root.Child(0x3D3D);
  EXPECT_EQ(edit.All(0x4000).size(), objects);
  size_t written = 0;
  for (const MaxChunk* o : edit.All(0x4000)) written += o->Child(0x4100).Child(0x4120).U16(0);
  EXPECT_EQ(written, triangles);
  for (const MaxChunk* m : edit.All(0xAFFF)) EXPECT_LE(m->Child(0xA000).Text().size(), 8u);

  if (!HaveAssimp()) GTEST_SKIP() << "assimp is not installed: the check by assimp is skipped";
  int status = 0;
  const std::string info = RunCommand("assimp info '" + file + "' -raw", status);
  ASSERT_EQ(status, 0) << info;
  std::smatch m;
  ASSERT_TRUE(std::regex_search(info, m, std::regex("\nFaces: *([0-9]+)"))) << info;
  EXPECT_EQ(std::stoul(m[1]), triangles);
  // assimp splits each object by material and names the pieces after the
  // object's number: the distinct numbers are the objects.
  std::set<std::string> names;
  const std::regex piece("\n +[0-9]+ \\(([^)]*)\\): \\[[0-9]+ / [0-9]+ / [0-9]+ \\|");
  for (auto it = std::sregex_iterator(info.begin(), info.end(), piece); it != std::sregex_iterator(); ++it)
    names.insert((*it)[1]);
  EXPECT_EQ(names.size(), objects);

  const std::string obj = dir.File("sample.obj");
  const std::string exported = RunCommand("assimp export '" + file + "' '" + obj + "'", status);
  EXPECT_EQ(status, 0) << exported;
  EXPECT_TRUE(Exists(obj));
}

// The 3SE road writes the track as Lapforge.ptf beside the scene, the 3SE
// file (one insert per block, its trailer naming the PTF) and the scene
// file; a 3DS output that cannot be written is reported by name.
TEST(ExportRoads, ThreeSeFilesAndFailedOutputs) {
  CScopedSettings settings;
  CTempDir dir;
  std::unique_ptr<TrkDsc> db = CLapforge().DataBaseFromXML(kSample);
  ASSERT_TRUE(db);
  CRecordingUI ui;
  const int blocks = CLapforge()._3SEFromDataBase(*db, dir.File("se/Track.3se"));
  EXPECT_GT(blocks, 0);
  EXPECT_TRUE(Exists(dir.File("se/Lapforge.ptf")));
  EXPECT_TRUE(Exists(dir.File("se/_Lapforge.scn")));
  const std::vector<uint8_t> scene = ReadBytes(dir.File("se/Track.3se"));
  ASSERT_GT(scene.size(), 260u);
  const std::string trailer(reinterpret_cast<const char*>(scene.data() + scene.size() - 260));
  EXPECT_EQ(trailer, dir.File("se/Lapforge.ptf"));
  // Mip list, material list, then the main mesh whose insert list follows
  // its point header (no points), face header (no faces), triangle lists
  // and tag: one insert per block.
  const uint32_t mips = U32At(scene, 8);
  size_t at = 12 + mips * (8 + 64 * 3 + 261 + 4);
  ASSERT_EQ(U32At(scene, at), 12u);
  const uint32_t materials = U32At(scene, at + 8);
  // Material maps point into the scene's folder.
  ASSERT_GT(materials, 0u);
  const std::string map(reinterpret_cast<const char*>(scene.data() + at + 12 + 240));
  EXPECT_EQ(map.rfind(dir.File("se/"), 0), 0u) << map;
  EXPECT_EQ(map.find('/', dir.File("se/").size()), std::string::npos) << map;
  at += 12 + materials * 1452;
  at += (8 + 4 + 24) + 8 + (8 + 4 + 36) + (8 + 4) + 84;
  ASSERT_EQ(U32At(scene, at), 6u);
  EXPECT_EQ(U32At(scene, at + 8), static_cast<uint32_t>(blocks));

  std::filesystem::create_directories(dir.File("taken.3ds"));
  ui.shown.clear();
  ui.answers = {UiAnswer::No};
  EXPECT_EQ(CLapforge()._3DSFromDataBase(*db, dir.File("taken.3ds")), 0);
  ASSERT_EQ(ui.shown.size(), 2u);
  EXPECT_NE(ui.shown[1].text.find(dir.File("taken.3ds")), std::string::npos);
}

// Every export counts the files it wrote, which the completion report
// shows: each road writes into a folder of its own, and the count is the
// files found there afterwards. The description's scenery titles become
// files (object files beside the PTF, blocks of the folder exports) inside
// that folder only.
template <int (CLapforge::*Road)(const TrkDsc&, const std::string&)>
int FilesOf(const TrkDsc& db, const std::string& out) {
  return CLapforge().Files(Road, db, out);
}
int GltfFiles(const TrkDsc& db, const std::string& out) {
  return CLapforge().Files(&CLapforge::GltfFromDataBase, db, out, std::string());
}

TEST(ExportRoads, FilesWrittenAreTheFilesEachRoadMade) {
  CScopedSettings settings;
  CTempDir dir;
  TrkDsc ds;
  FillCheckedLoop(ds);
  ds.VerticalObj.AddVerticalObjRow("../../escape", 150.0f, 10.0f, 160.0f, 10.0f, 0.0f, 2.0f, "wall");
  struct Road {
    const char* name;
    int (*run)(const TrkDsc&, const std::string&);
    const char* file;  // empty: the road writes into the folder
  };
  const Road roads[] = {{"ptf", FilesOf<&CLapforge::PTFFromDataBase>, "loop.ptf"},
                        {"rfactor", FilesOf<&CLapforge::RFactorFromDataBase>, ""},
                        {"mts", FilesOf<&CLapforge::MTSFromDataBase>, ""},
                        {"gtr", FilesOf<&CLapforge::GTRFromDataBase>, ""},
                        {"gtr2", FilesOf<&CLapforge::GTR2FromDataBase>, ""},
                        {"gtl", FilesOf<&CLapforge::GTLFromDataBase>, ""},
                        {"3ds", FilesOf<&CLapforge::_3DSFromDataBase>, "loop.3ds"},
                        {"3se", FilesOf<&CLapforge::_3SEFromDataBase>, "loop.3se"},
                        {"glb", GltfFiles, "loop.glb"},
                        {"gltf", GltfFiles, "loop.gltf"}};
  for (const Road& road : roads) {
    SCOPED_TRACE(road.name);
    const std::string folder = dir.File(std::string("out/") + road.name + "/in");
    std::filesystem::create_directories(folder);
    CRecordingUI ui;
    ui.answers = {UiAnswer::No};
    const int files = road.run(ds, *road.file ? folder + "/" + road.file : folder);
    int found = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) found += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, found);
    EXPECT_GT(files, 0);
  }
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.File("out")))
    if (entry.is_regular_file()) { EXPECT_EQ(entry.path().parent_path().filename(), "in") << entry.path(); }
}

}  // namespace lapforge
