// lapforge export gltf as a user runs it, and its file read by assimp and
// checked by the Khronos glTF validator, readers nobody here wrote.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <nlohmann/json.hpp>

#include <cstdlib>
#include <map>
#include <regex>
#include <sstream>

#include "tests/support/TestSupport.h"

namespace lapforge {

namespace {

struct Result {
  int status = -1;
  std::string out, err;
};

Result Shell(const CTempDir& dir, const std::string& cmd) {
  const std::string full = cmd + " >'" + dir.File("stdout") + "' 2>'" + dir.File("stderr") + "' </dev/null";
  int rc = std::system(("bash -c \"" + full + "\"").c_str());
  Result r;
  r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  r.out = ReadText(dir.File("stdout"));
  r.err = ReadText(dir.File("stderr"));
  return r;
}

Result Lapforge(const CTempDir& dir, const std::string& args) {
  return Shell(dir, "LAPFORGE_CONFIG='" + dir.File("settings.ini") + "' '" LAPFORGE_CLI "' " + args);
}

const std::string kSample = LAPFORGE_SOURCE_DIR "/examples/sample-circuit.xml";

}  // namespace

TEST(CliExportGltf, SampleTrackReadByAssimpWithOneMeshPerBlock) {
  CTempDir dir;
  Result r = Lapforge(dir, "export gltf '" + kSample + "' '" + dir.File("sample.glb") + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  // One file (of 16 sections and 2 details); no progress when stderr is
  // not a terminal.
  EXPECT_EQ(r.out.rfind("1 File(s) written", 0), 0u) << r.out;
  EXPECT_EQ(r.err, "");

  if (Shell(dir, "command -v assimp").status != 0) GTEST_SKIP() << "assimp (assimp-utils) is not installed";
  Result a = Shell(dir, "assimp info '" + dir.File("sample.glb") + "'");
  ASSERT_EQ(a.status, 0) << a.out << a.err;
  const std::string all = a.out + a.err;
  EXPECT_EQ(std::regex_search(all, std::regex("warn|error", std::regex::icase)), false) << all;

  // Faces of every mesh: "  12 (TrackObj003-0): [200 / 0 / 100 | triangle]".
  std::map<int, int> faces;
  const std::regex meshLine(R"(^\s+(\d+) \(([^)]*)\): \[(\d+) / \d+ / (\d+) \|)");
  // Nodes: "├╴TrackObj003 (mesh 12, 13, 14, 15)".
  const std::regex nodeLine(R"(([A-Za-z0-9_]+) \(mesh ([0-9, ]+)\))");
  std::vector<std::string> nodes;
  std::map<std::string, std::vector<int>> meshesOf;
  std::istringstream lines(a.out);
  std::string line;
  std::smatch m;
  while (std::getline(lines, line)) {
    if (std::regex_search(line, m, meshLine)) {
      faces[std::stoi(m[1])] = std::stoi(m[4]);
    } else if (std::regex_search(line, m, nodeLine)) {
      nodes.push_back(m[1]);
      std::istringstream list(m[2].str());
      for (std::string n; std::getline(list, n, ',');) meshesOf[m[1]].push_back(std::stoi(n));
    }
  }
  std::vector<std::string> expected;
  for (int i = 0; i < 16; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "TrackObj%03d", i);
    expected.push_back(name);
  }
  expected.push_back("Trd000");
  expected.push_back("Trd001");
  EXPECT_EQ(nodes, expected) << a.out;
  for (const std::string& n : nodes) {
    int total = 0;
    for (int mesh : meshesOf[n]) {
      ASSERT_TRUE(faces.count(mesh)) << n << " mesh " << mesh;
      EXPECT_GT(faces[mesh], 0) << n << " mesh " << mesh;
      total += faces[mesh];
    }
    EXPECT_GT(total, 0) << n;
  }
}

// The validator (npm package gltf-validator, run by scripts/gltf-validate.js)
// finds no error and no warning in the sample's export, as .glb and as
// .gltf with its files beside it, and reads each of its images as a PNG.
TEST(CliExportGltf, SampleTrackPassesTheKhronosValidator) {
  CTempDir dir;
  if (Shell(dir, "command -v node").status != 0) GTEST_SKIP() << "node is not installed";
  for (const std::string name : {"sample.glb", "sample.gltf"}) {
    Result r = Lapforge(dir, "export gltf '" + kSample + "' '" + dir.File(name) + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    Result v = Shell(dir, "node '" LAPFORGE_SOURCE_DIR "/scripts/gltf-validate.js' '" + dir.File(name) + "'");
    if (v.status == 3) GTEST_SKIP() << v.err;
    ASSERT_EQ(v.status, 0) << v.err;
    const nlohmann::json report = nlohmann::json::parse(v.out);
    EXPECT_EQ(report.at("issues").at("numErrors"), 0) << name << v.out;
    EXPECT_EQ(report.at("issues").at("numWarnings"), 0) << name << v.out;
    int images = 0;
    for (const nlohmann::json& resource : report.at("info").at("resources")) {
      if (resource.at("mimeType") != "image/png") continue;
      ++images;
      EXPECT_TRUE(resource.contains("image")) << resource.dump();
    }
    EXPECT_EQ(images, 7) << name;
  }
}

TEST(CliExportGltf, NoTrackOrNoPlaceForTheFileFailsAndWritesNothing) {
  CTempDir dir;
  WriteText(dir.File("empty.xml"), "<TrkDsc xmlns=\"http://tempuri.org/TrkDsc.xsd\"></TrkDsc>");
  Result r = Lapforge(dir, "export gltf '" + dir.File("empty.xml") + "' '" + dir.File("out.glb") + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("The description does not make a track"), std::string::npos) << r.err;
  EXPECT_FALSE(Exists(dir.File("out.glb")));

  r = Lapforge(dir, "export gltf '" + kSample + "' '" + dir.File("no/such/folder/out.glb") + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Could not create file '" + dir.File("no/such/folder/out.glb") + "'"), std::string::npos)
      << r.err;
  EXPECT_EQ(r.out, "");
}

}  // namespace lapforge
