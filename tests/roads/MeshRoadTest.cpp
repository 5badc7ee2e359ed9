// The rFactor and MTS export roads: file order, scene names that exist,
// failed files reported by name, the output folder, descriptions that build
// no track; and every folder export's block file titles, blocks without
// objects, and objects split within 16-bit indices.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>

#include "description/TrkDsc.h"
#include "formats/3ds/3dsFile.h"
#include "formats/gmt/GmtFile.h"
#include "formats/shaders/ShaderDictionary.h"
#include "roads/Lapforge.h"
#include "roads/MeshExportRoad.h"
#include "tests/support/TestSupport.h"
#include "tests/support/description/Descriptions.h"
#include "tests/support/formats/ModelFiles.h"

namespace lapforge {

namespace {

// Blocks named as given, each one textured quad (and, for the first, one
// face without material that goes to the palette).
void MakeBlocks(MeshExportModel& built, std::initializer_list<const char*> names) {
  CGlMaterial m;
  m.materialName = "Road";
  m.SetMapName("asphalt.tga");
  built.materials.Add(m);
  bool first = true;
  for (const char* name : names) {
    CGlBlock& b = built.blocks[built.blocks.AddNew()];
    b.name = name;
    b.tag.ClearObjTag();
    b.points.Add(CGlPoint(0, 0, 0));
    b.points.Add(CGlPoint(4, 0, 0));
    b.points.Add(CGlPoint(4, 1, 0));
    b.points.Add(CGlPoint(0, 1, 0));
    CGlFace f;
    for (int v : {0, 1, 2, 3}) f.AddVertex(v);
    for (float t : {0.f, 0.f, 1.f, 0.f, 1.f, 1.f, 0.f, 1.f}) f.AddFloat(t);
    f.hasUVs = 1;
    f.materialIndex = 0;
    b.faces.Add(f);
    if (first) {
      CGlFace loose;
      for (int v : {0, 1, 2}) loose.AddVertex(v);
      b.faces.Add(loose);
    }
    first = false;
  }
}

std::vector<std::string> FileNames(const std::vector<std::string>& paths) {
  std::vector<std::string> names;
  for (const std::string& p : paths) names.push_back(std::filesystem::path(p).filename().string());
  return names;
}

}  // namespace

TEST(MeshRoad, RFactorWritesBlocksSceneThenTemplatesAndTheSceneNamesExist) {
  CTempDir dir;
  MeshExportModel built;
  MakeBlocks(built, {"Road01", "Wall02"});
  const MeshExportResult result = CMeshExportRoad::WriteFiles(built, dir.Path(), RFactorExportFormat());
  EXPECT_TRUE(result.failed.empty());
  EXPECT_EQ(FileNames(result.written), (std::vector<std::string>{"Road01.gmt", "Wall02.gmt", "_Lapforge.scn",
                                                                  "_NoName.gdb", "_NoName.scn", "_rgbmap.dds"}));
  const std::string scene = ReadText(dir.File("_Lapforge.scn"));
  size_t at = 0;
  int named = 0;
  while ((at = scene.find("MeshFile=", at)) != std::string::npos) {
    at += 9;
    const std::string name = scene.substr(at, scene.find(' ', at) - at);
    EXPECT_TRUE(Exists(dir.File(name))) << name;
    ++named;
  }
  EXPECT_EQ(named, 2);
  // The palette texture the block names is the image written beside it.
  const std::vector<uint8_t> gmt = ReadBytes(dir.File("Road01.gmt"));
  const std::string bytes(gmt.begin(), gmt.end());
  EXPECT_NE(bytes.find("_rgbmap.dds"), std::string::npos);
  EXPECT_EQ(bytes.find("_rgbmap.tga"), std::string::npos);
  EXPECT_EQ(ReadBytes(dir.File("_rgbmap.dds")).size(), 32896u);
}

TEST(MeshRoad, FilesThatCannotBeWrittenAreReportedByName) {
  CTempDir dir;
  CRecordingUI ui;
  MeshExportModel built;
  MakeBlocks(built, {"A", "B", "C"});
  std::filesystem::create_directories(dir.File("B.gmt"));  // a folder where B's file goes
  const MeshExportResult result = CMeshExportRoad::WriteFiles(built, dir.Path(), RFactorExportFormat());
  ASSERT_EQ(result.failed.size(), 1u);
  EXPECT_EQ(result.failed[0], dir.File("B.gmt"));
  EXPECT_TRUE(Exists(dir.File("A.gmt")));
  EXPECT_TRUE(Exists(dir.File("C.gmt")));
  EXPECT_TRUE(Exists(dir.File("_rgbmap.dds")));
  EXPECT_FALSE(CMeshExportRoad::ReportFailed(result.failed));
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "This file could not be written:\n" + dir.File("B.gmt"));
  EXPECT_TRUE(CMeshExportRoad::ReportFailed({}));
}

namespace {

struct FolderExport {
  const char* name;
  MeshExportFormat (*format)();
};

const FolderExport kFolderExports[] = {{"rfactor", RFactorExportFormat},
                                       {"mts", MtsExportFormat},
                                       {"gtr", GTRExportFormat},
                                       {"gtr2", GTR2ExportFormat},
                                       {"gtl", GTLExportFormat}};

class FolderExports : public ::testing::TestWithParam<FolderExport> {};

// The MeshFile entries of a scene file, in order.
std::vector<std::string> MeshFiles(const std::string& scene) {
  std::vector<std::string> names;
  for (size_t at = 0; (at = scene.find("MeshFile=", at)) != std::string::npos;) {
    at += 9;
    names.push_back(scene.substr(at, scene.find(' ', at) - at));
  }
  return names;
}

}  // namespace

// Block names from a description become safe, unique file titles inside the
// chosen folder, and the scene file names exactly the files written; a
// block that holds no object is neither written nor named.
TEST_P(FolderExports, BlockFilesHaveSafeUniqueTitlesAndNoneIsEmpty) {
  CTempDir dir;
  MeshExportModel built;
  MakeBlocks(built, {"../../escape", "xpitboard.v2", "board", "Board", "", "bare"});
  built.blocks[5].faces.RemoveAll();
  const std::string folder = dir.File("OUT/a/b");
  std::filesystem::create_directories(folder);
  const MeshExportFormat format = GetParam().format();
  const MeshExportResult result = CMeshExportRoad::WriteFiles(built, folder, format);
  EXPECT_TRUE(result.failed.empty());

  std::vector<std::string> blockFiles;
  for (const char* title : {"______escape", "xpitboard_v2", "board", "Board_2", "Obj0005"})
    blockFiles.push_back(title + ("." + format.blockExtension));
  const std::vector<std::string> written = FileNames(result.written);
  ASSERT_EQ(written.size(), blockFiles.size() + 1 + format.templates.size());
  EXPECT_EQ(std::vector<std::string>(written.begin(), written.begin() + 5), blockFiles);
  EXPECT_EQ(MeshFiles(ReadText(folder + "/" + format.sceneFile)), blockFiles);
  // Nothing lands outside the folder.
  size_t files = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.Path())) {
    if (!entry.is_regular_file()) continue;
    EXPECT_EQ(entry.path().parent_path(), std::filesystem::path(folder)) << entry.path();
    ++files;
  }
  EXPECT_EQ(files, written.size());
}

INSTANTIATE_TEST_SUITE_P(Formats, FolderExports, ::testing::ValuesIn(kFolderExports),
                         [](const ::testing::TestParamInfo<FolderExport>& info) {
                           return std::string(info.param.name);
                         });

TEST(MeshRoad, OutputFolderIsCreatedOrRefusedBeforeBuilding) {
  CScopedSettings settings;
  CTempDir dir;
  {
    CRecordingUI ui;
    EXPECT_TRUE(CMeshExportRoad::PrepareFolder(dir.File("new/deeper")));
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("new/deeper")));
    EXPECT_TRUE(ui.shown.empty());
  }
  {
    // A folder under a plain file cannot exist: one clear message, and the
    // description (which builds no track) is never looked at.
    WriteText(dir.File("plain"), "x");
    CRecordingUI ui;
    TrkDsc ds;
    EXPECT_EQ(CLapforge().RFactorFromDataBase(ds, dir.File("plain/out")), 0);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "The output folder cannot be created: " + dir.File("plain/out"));
    EXPECT_EQ(ui.shown[0].caption, "Output Folder");
  }
}

TEST(MeshRoad, DescriptionWithoutTrackWritesNothing) {
  CScopedSettings settings;
  CTempDir dir;
  for (int format = 0; format < 2; ++format) {
    CRecordingUI ui;
    TrkDsc ds;
    const std::string out = dir.File(format ? "mts" : "rf");
    const int result = format ? CLapforge().MTSFromDataBase(ds, out) : CLapforge().RFactorFromDataBase(ds, out);
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(ui.shown.empty());
    EXPECT_TRUE(std::filesystem::is_empty(out));
  }
}

namespace {

const std::string kSample = std::string(LAPFORGE_SOURCE_DIR) + "/examples/sample-circuit.xml";

// The instance names of a scene file, in order.
std::vector<std::string> Instances(const std::string& scene) {
  std::vector<std::string> names;
  size_t at = 0;
  while ((at = scene.find("Instance=", at)) != std::string::npos) {
    at += 9;
    names.push_back(scene.substr(at, scene.find('\r', at) - at));
  }
  return names;
}

// Checks the frame of a written GMT: the first word points at a material
// count equal to the object count, and the file ends after the section.
void ExpectGmtFrame(const std::string& path) {
  const std::vector<uint8_t> b = ReadBytes(path);
  ASSERT_GE(b.size(), 740u) << path;
  uint32_t first = 0, materials = 0;
  int32_t objects = 0;
  std::memcpy(&first, b.data(), 4);
  std::memcpy(&objects, b.data() + 372, 4);
  ASSERT_LE(size_t(first) + 8, b.size()) << path;
  std::memcpy(&materials, b.data() + first + 4, 4);
  EXPECT_EQ(int32_t(materials), objects) << path;
}

}  // namespace

// The material lists an export fills (the shared list of the blocks and a
// writer's own) let the shader dictionary choose the shader of a material
// that names none; the dictionary sits above the mesh model and is handed in.
TEST(MeshRoad, ExportMaterialListsChooseMissingShaders) {
  CGlMaterial plain;
  plain.materialName = "plain";
  plain.SetMapName("asphalt.tga");
  plain.shader.shaderName.clear();
  CGlMatShader expected = plain.shader;
  CGfxDictionary::FindShaderMatch(expected);
  ASSERT_FALSE(expected.shaderName.empty());
  MeshExportModel built;
  CZGmtFile gmt;
  CZMaxFile max;
  for (CGlMaterialArray* list : {&built.materials, &gmt.materials, &max.materials})
    EXPECT_EQ((*list)[list->Add(plain)].shader.shaderName, expected.shaderName);
}

TEST(MeshRoad, SampleTrackToRFactorAndMts) {
  CScopedSettings settings;
  CTempDir dir;
  // The blocks the road builds, in their order.
  MeshExportModel built;
  std::unique_ptr<TrkDsc> db = CLapforge().DataBaseFromXML(kSample);
  ASSERT_TRUE(db);
  CLapforge driver;
  ASSERT_TRUE(CMeshExportRoad::Build(driver, *db, built));
  ASSERT_GT(built.blocks.GetSize(), 1);
  std::vector<std::string> blockNames;
  for (int b = 0; b < built.blocks.GetSize(); ++b) blockNames.push_back(built.blocks[b].name);

  const std::string rf = dir.File("rf");
  EXPECT_EQ(CLapforge().XMLtoRFactor(kSample, rf), built.blocks.GetSize());
  EXPECT_EQ(Instances(ReadText(rf + "/_Lapforge.scn")), blockNames);
  for (const std::string& name : blockNames) ExpectGmtFrame(rf + "/" + name + ".gmt");
  for (const char* side : {"_NoName.gdb", "_NoName.scn", "_rgbmap.dds"}) EXPECT_TRUE(Exists(rf + "/" + side));

  const std::string mts = dir.File("mts");
  EXPECT_EQ(CLapforge().XMLToMTS(kSample, mts), built.blocks.GetSize());
  EXPECT_EQ(Instances(ReadText(mts + "/_Lapforge.scn")), blockNames);
  for (const std::string& name : blockNames) EXPECT_TRUE(Exists(mts + "/" + name + ".mts")) << name;
  EXPECT_FALSE(Exists(mts + "/_rgbmap.dds"));
}

// A long generated track at a coarse resolution, through both roads under
// the sanitizers.
TEST(MeshRoad, GeneratedLongTrackExports) {
  CScopedSettings settings;
  CTempDir dir;
  TrkDsc ds;
  CircuitOptions options;
  options.length = 25000;
  options.sections = 40;
  options.longRes = 100;
  options.latRes = 8;
  options.arcRes = 15;
  options.banked = true;
  options.detailEvery = 7;
  FillGeneratedCircuit(ds, options);
  const int blocks = CLapforge().RFactorFromDataBase(ds, dir.File("rf"));
  EXPECT_GT(blocks, 40);
  EXPECT_EQ(CLapforge().MTSFromDataBase(ds, dir.File("mts")), blocks);
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.File("rf"))) {
    if (entry.path().extension() != ".gmt") continue;
    ExpectGmtFrame(entry.path().string());
    ++files;
  }
  EXPECT_EQ(files, blocks);
}

// A description meshed every 0.05 m along and 0.2 m across: the asphalt of
// each section is one object of more vertices than 16-bit indices reach.
// Every 16-bit folder export writes it as pieces within 65,535 vertices,
// each index within its piece, whose triangles add up to the block's.
TEST(MeshRoad, FineMeshIsSplitByEveryFolderExport) {
  CScopedSettings settings;
  CTempDir dir;
  TrkDsc ds;
  CircuitOptions options;
  options.length = 320;
  options.sections = 2;
  options.bands = 1;
  options.bandWidth = 1.2;
  options.longRes = 0.05;
  options.latRes = 0.2;
  FillGeneratedCircuit(ds, options);
  CLapforge driver;
  MeshExportModel built;
  ASSERT_TRUE(CMeshExportRoad::Build(driver, ds, built));
  const std::vector<std::string> titles = BlockFileTitles(built.blocks);
  for (const FolderExport& e : kFolderExports) {
    SCOPED_TRACE(e.name);
    const std::string folder = dir.File(e.name);
    std::filesystem::create_directories(folder);
    const MeshExportFormat format = e.format();
    ASSERT_TRUE(CMeshExportRoad::WriteFiles(built, folder, format).failed.empty());
    const writertest::ModelLayout layout = writertest::LayoutOfExport(e.name);
    size_t pieces = 0;
    for (int b = 0; b < built.blocks.GetSize(); ++b) {
      const std::vector<uint8_t> bytes = ReadBytes(folder + "/" + titles[size_t(b)] + "." + format.blockExtension);
      size_t triangles = 0, unsplit = 0;
      for (const writertest::ModelObject& o : writertest::ReadModelObjects(bytes, layout)) {
        EXPECT_GT(o.vertices, 0);
        EXPECT_LE(o.vertices, 65535);
        EXPECT_TRUE(std::all_of(o.indices.begin(), o.indices.end(), [&](uint16_t i) { return i < o.vertices; }));
        triangles += o.indices.size() / 3;
      }
      for (const CGlFace& f : built.blocks[b].faces)
        if (!f.deleted && f.GetUVCount() > 0) unsplit += size_t(f.GetVertexCount() - 2);
      EXPECT_EQ(triangles, unsplit) << titles[size_t(b)];
      // A piece repeats its material.
      std::set<std::string> names;
      const std::vector<writertest::ModelMaterial> materials = writertest::ReadModelMaterials(bytes, layout);
      for (const writertest::ModelMaterial& m : materials) names.insert(m.name);
      pieces += materials.size() - names.size();
    }
    EXPECT_GE(pieces, 2u);
  }
}

}  // namespace lapforge
