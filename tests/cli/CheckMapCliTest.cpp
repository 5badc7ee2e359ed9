// lapforge check, the export gate and lapforge map as a user runs them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <pugixml.hpp>
#include <set>
#include <sstream>

#include "tests/support/CliRun.h"
#include "tests/support/ResultCheck.h"
#include "tests/support/TestSupport.h"
#include "tests/support/description/CheckedTracks.h"

namespace lapforge {

namespace {

CliResult Lapforge(const CTempDir& dir, const std::string& args, const std::string& prefix = "") {
  return RunCli(LAPFORGE_CLI, dir, args, prefix);
}

const std::string kSample = LAPFORGE_SOURCE_DIR "/examples/sample-circuit.xml";

std::string Q(const std::string& path) { return "'" + path + "'"; }

// The checked loop with its four straights of no length: four errors (the
// four quarter circles still close).
std::string WriteBrokenLoop(const CTempDir& dir) {
  TrkDsc ds;
  FillCheckedLoop(ds);
  for (int s : {0, 2, 4, 6}) fault::ZeroLengthSection(ds, s);
  std::string error;
  EXPECT_TRUE(Ok(ds.WriteXml(dir.File("broken.xml")), error)) << error;
  return dir.File("broken.xml");
}

// The sample circuit meshed every `resolution` metres along.
std::string WriteFine(const CTempDir& dir, const std::string& resolution) {
  std::string xml = ReadText(kSample);
  const std::string from = "<LongitudinalResolution>15</LongitudinalResolution>";
  const size_t at = xml.find(from);
  EXPECT_NE(at, std::string::npos);
  xml.replace(at, from.size(), "<LongitudinalResolution>" + resolution + "</LongitudinalResolution>");
  const std::string path = dir.File("fine" + resolution + ".xml");
  WriteText(path, xml);
  return path;
}

// Runs the program with at most `mb` MB of memory: an address-space limit,
// or, under AddressSanitizer (which reserves terabytes of address space for
// itself), its limit on resident memory.
std::string MemoryLimit(int mb) {
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
  return "ASAN_OPTIONS=$ASAN_OPTIONS:hard_rss_limit_mb=" + std::to_string(mb) + " ";
#endif
#endif
  return "ulimit -v " + std::to_string(mb * 1024) + "; ";
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace

TEST(CliCheck, SampleTrackHasNoFindings) {
  CTempDir dir;
  CliResult r = Lapforge(dir, "check " + Q(kSample));
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_EQ(r.out, "0 error(s), 0 warning(s)\n");
}

TEST(CliCheck, LinesAndJsonHoldTheSameFindings) {
  CTempDir dir;
  const std::string broken = WriteBrokenLoop(dir);
  CliResult text = Lapforge(dir, "check " + Q(broken));
  EXPECT_EQ(text.status, 1);
  std::vector<std::string> lines = Lines(text.out);
  ASSERT_FALSE(lines.empty());
  // The map files are not beside it either (four warnings), and the pit
  // lane's merge at 600 m lies beyond the 314 m of the four arcs.
  EXPECT_EQ(lines.back(), "4 error(s), 5 warning(s)");
  lines.pop_back();
  EXPECT_EQ(lines[0], "error: Section row 0: the section has no length (0 m)");

  CliResult json = Lapforge(dir, "check --json " + Q(broken));
  EXPECT_EQ(json.status, 1);
  const nlohmann::json j = nlohmann::json::parse(json.out);
  ASSERT_EQ(j.size(), lines.size());
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string severity = j[i]["severity"];
    const std::string message = j[i]["message"];
    EXPECT_EQ(lines[i].rfind(severity + ": ", 0), 0u) << lines[i];
    EXPECT_EQ(lines[i].substr(lines[i].size() - message.size()), message);
  }
}

TEST(CliExportGate, ExportsRefuseErrorsUnlessForced) {
  CTempDir dir;
  const std::string broken = WriteBrokenLoop(dir);
  // Files and folders: rfactor writes into a folder it creates.
  for (const std::string format : {"ptf", "gltf", "rfactor"}) {
    const std::string out = format == "ptf" ? dir.File("track.ptf") : format == "gltf" ? dir.File("track.glb")
                                                                                        : dir.File("rfactor");
    CliResult refused = Lapforge(dir, "export " + format + " " + Q(broken) + " " + Q(out));
    EXPECT_EQ(refused.status, 1) << format;
    EXPECT_FALSE(Exists(out)) << format;
    EXPECT_NE(refused.err.find("Check: the description has 4 error(s); nothing was written"), std::string::npos)
        << refused.err;
    // The first three errors by name, then the count of the rest.
    EXPECT_NE(refused.err.find("\nerror: Section row 0: the section has no length (0 m)\nerror: Section row 2: "
                               "the section has no length (0 m)\nerror: Section row 4: the section has no length "
                               "(0 m)\nand 1 more error(s)"),
              std::string::npos)
        << refused.err;

    CliResult forced = Lapforge(dir, "export " + format + " --force " + Q(broken) + " " + Q(out));
    EXPECT_EQ(forced.status, 0) << format << forced.err;
    EXPECT_TRUE(Exists(out)) << format;
    EXPECT_NE(forced.err.find("exporting anyway"), std::string::npos) << forced.err;
  }
  // Every export that builds a track has the gate.
  for (const char* format : {"mts", "gtr", "gtr2", "gtl", "3ds", "3se"}) {
    CliResult refused = Lapforge(dir, std::string("export ") + format + " " + Q(broken) + " " + Q(dir.File(format)));
    EXPECT_EQ(refused.status, 1) << format;
    EXPECT_NE(refused.err.find("Check: the description has 4 error(s)"), std::string::npos) << format << refused.err;
    EXPECT_FALSE(Exists(dir.File(format))) << format;
  }
  // One that cannot be read is left to the export's own message.
  WriteText(dir.File("mistyped.xml"),
            "<TrkDsc xmlns=\"http://tempuri.org/TrkDsc.xsd\"><Section><Length>long</Length></Section></TrkDsc>");
  CliResult unread = Lapforge(dir, "export ptf " + Q(dir.File("mistyped.xml")) + " " + Q(dir.File("m.ptf")));
  EXPECT_EQ(unread.status, 1);
  EXPECT_EQ(unread.err.find("Check:"), std::string::npos) << unread.err;
  EXPECT_EQ(unread.err.find("Error in XML:"), unread.err.rfind("Error in XML:")) << unread.err;
  EXPECT_NE(unread.err.find("Error in XML:"), std::string::npos) << unread.err;
  // A clean description passes the gate without a word.
  CliResult clean = Lapforge(dir, "export ptf " + Q(kSample) + " " + Q(dir.File("sample.ptf")));
  EXPECT_EQ(clean.status, 0) << clean.err;
  EXPECT_EQ(clean.err, "");
}

TEST(CliCheck, FineResolutionsAreCountedNotMeshed) {
  CTempDir dir;
  for (const std::string resolution : {"0.001", "1e-6"}) {
    const std::string fine = WriteFine(dir, resolution);
    CliResult text = Lapforge(dir, "check " + Q(fine), MemoryLimit(512));
    EXPECT_EQ(text.status, 1) << text.err;
    const std::vector<std::string> lines = Lines(text.out);
    ASSERT_FALSE(lines.empty()) << text.err;
    EXPECT_EQ(lines[0].rfind("error: Section row ", 0), 0u) << text.out;
    const std::string named =
        "at LongitudinalResolution " + std::string(resolution == "1e-6" ? "1e-06" : "0.001") + " m of the TrackSummary";
    EXPECT_NE(lines[0].find(named), std::string::npos) << text.out;

    CliResult json = Lapforge(dir, "check --json " + Q(fine), MemoryLimit(512));
    EXPECT_EQ(json.status, 1) << json.err;
    const nlohmann::json j = nlohmann::json::parse(json.out, nullptr, false);
    ASSERT_TRUE(j.is_array() && !j.empty()) << json.out << json.err;
    EXPECT_EQ(j[0]["severity"], "error");
    EXPECT_NE(j[0]["message"].get<std::string>().find(named), std::string::npos);
  }
}

TEST(CliExportGate, MeshBeyondTheMemoryIsRefusedEvenWhenForced) {
  CTempDir dir;
  const std::string fine = WriteFine(dir, "1e-6");
  for (const std::string format : {"rfactor", "gltf", "3ds"}) {
    const std::string out = dir.File("out." + format);
    CliResult forced = Lapforge(dir, "export " + format + " --force " + Q(fine) + " " + Q(out), MemoryLimit(512));
    EXPECT_EQ(forced.status, 1) << format;
    EXPECT_FALSE(Exists(out)) << format;
    EXPECT_NE(forced.err.find("Check: the track's mesh would need about "), std::string::npos) << forced.err;
    EXPECT_NE(forced.err.find("nothing was written, whatever --force says"), std::string::npos) << forced.err;
  }
  // The PTF is not meshed: forced, it is written.
  CliResult ptf = Lapforge(dir, "export ptf --force " + Q(fine) + " " + Q(dir.File("fine.ptf")), MemoryLimit(512));
  EXPECT_EQ(ptf.status, 0) << ptf.err;
  EXPECT_TRUE(Exists(dir.File("fine.ptf")));
}

TEST(CliMap, SvgOutlinesCloseAndEverySectionIsLabelled) {
  CTempDir dir;
  CliResult r = Lapforge(dir, "map " + Q(kSample) + " " + Q(dir.File("map.svg")) + " --size 900");
  ASSERT_EQ(r.status, 0) << r.err;
  pugi::xml_document doc;
  ASSERT_TRUE(doc.load_file(dir.File("map.svg").c_str()));
  pugi::xml_node svg = doc.child("svg");
  ASSERT_TRUE(svg);
  EXPECT_EQ(svg.attribute("width").as_int(), 900);

  int outlines = 0;
  for (pugi::xml_node p : svg.children("polyline")) {
    if (std::string(p.attribute("class").value()) != "outline") continue;
    ++outlines;
    std::istringstream in(p.attribute("points").value());
    std::vector<std::pair<double, double>> pts;
    for (std::string xy; in >> xy;) {
      const size_t comma = xy.find(',');
      pts.emplace_back(std::stod(xy.substr(0, comma)), std::stod(xy.substr(comma + 1)));
    }
    ASSERT_GT(pts.size(), 16u);
    // A closed circuit: the course ends where it began (to the 0.1 pixel
    // the file is written with).
    EXPECT_NEAR(pts.front().first, pts.back().first, 0.11);
    EXPECT_NEAR(pts.front().second, pts.back().second, 0.11);
  }
  EXPECT_EQ(outlines, 1);

  // One label per section of the description, numbered 0 to 15.
  std::set<std::string> labels;
  int sections = 0;
  for (pugi::xml_node t : svg.children("text"))
    if (std::string(t.attribute("class").value()) == "section") {
      ++sections;
      labels.insert(t.text().get());
    }
  EXPECT_EQ(sections, 16);
  EXPECT_EQ(labels.size(), 16u);
  EXPECT_TRUE(labels.count("0") && labels.count("15"));
}

TEST(CliMap, PngHasTheAskedWidth) {
#ifndef LAPFORGE_HAVE_PNG
  GTEST_SKIP() << "built without Qt: maps are written as SVG only";
#endif
  CTempDir dir;
  CliResult r = Lapforge(dir, "map " + Q(kSample) + " " + Q(dir.File("map.png")) + " --size 640");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  const std::vector<uint8_t> png = ReadBytes(dir.File("map.png"));
  ASSERT_GT(png.size(), 24u);
  const uint8_t signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  EXPECT_TRUE(std::equal(signature, signature + 8, png.begin()));
  // IHDR comes first: its width is the big-endian word at byte 16.
  const uint32_t width = (uint32_t{png[16]} << 24) | (uint32_t{png[17]} << 16) | (uint32_t{png[18]} << 8) | png[19];
  EXPECT_EQ(width, 640u);

  CliResult wrong = Lapforge(dir, "map " + Q(kSample) + " " + Q(dir.File("map.bmp")));
  EXPECT_EQ(wrong.status, 1);
  EXPECT_FALSE(Exists(dir.File("map.bmp")));
}

// A copy of the program without its drawing module beside it (nor in a
// library folder) writes no PNG map and no render: it says why and fails.
TEST(CliMap, PngWithoutTheDrawingModuleFails) {
#ifndef LAPFORGE_HAVE_PNG
  GTEST_SKIP() << "built without the drawing module";
#endif
  CTempDir dir;
  const std::string exe = dir.File("lapforge");
  std::filesystem::copy_file(LAPFORGE_CLI, exe);
  for (const std::string command : {"map", "render"}) {
    SCOPED_TRACE(command);
    CliResult r = RunCli(exe, dir, command + " " + Q(kSample) + " " + Q(dir.File("out.png")));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("lapforge-draw.so is neither beside the program nor in"), std::string::npos) << r.err;
    EXPECT_FALSE(Exists(dir.File("out.png")));
  }
}

}  // namespace lapforge
