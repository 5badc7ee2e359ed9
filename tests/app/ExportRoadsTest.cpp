// The GTR, GTR2, GTL, 3DS and 3SE export roads: their files and templates,
// in order, the 3DS question, and what happens to a failed output.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "app/Lapforge.h"
#include "app/support/Templates.h"
#include "description/TrkDsc.h"
#include "tests/support/TestSupport.h"
#include "tests/support/formats/MaxChunkReader.h"

namespace {

const std::string kSample = std::string(LAPFORGE_SOURCE_DIR) + "/examples/sample-circuit.xml";
const std::string kQuestion = "Use Short Names in .3DS\n(Required for 3DSMAX)";

std::string TemplateText(int id) {
  const EmbeddedTemplate* t = FindTemplate(id, TemplateKind::Text);
  return t ? std::string(reinterpret_cast<const char*>(t->bytes), t->size) : std::string();
}

// The names of the files a road tried to write into a folder that does not
// exist, from its failure messages, in the order it wrote them.
std::vector<std::string> FailedFiles(const CRecordingUI& ui, const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& shown : ui.shown) {
    size_t at = shown.text.find(folder);
    if (at == std::string::npos) continue;
    size_t end = shown.text.find('\'', at);
    names.push_back(shown.text.substr(at + folder.size(), end - at - folder.size()));
  }
  return names;
}

}  // namespace

// GTR2 names its scene file "_lapforge.trk" and writes five templates after
// it; GTL writes "_lapforge.scn" and three; each "_noname.trk" comes from its
// own game's template.
TEST(ExportRoads, SceneFilesAndTemplatesInOrder) {
  CScopedSettings settings;
  CTempDir dir;
  std::unique_ptr<TrkDsc> db = CLapforge().DataBaseFromXML(kSample);
  ASSERT_TRUE(db);

  CRecordingUI ui;
  const std::string missing = dir.File("missing/");
  EXPECT_EQ(CLapforge().GTR2FromDataBase(*db, missing), 0);
  const std::vector<std::string> gtr2 = FailedFiles(ui, missing);
  ASSERT_GE(gtr2.size(), 6u);
  EXPECT_EQ(std::vector<std::string>(gtr2.end() - 6, gtr2.end()),
            (std::vector<std::string>{"_lapforge.trk", "_noname.gdb", "_noname.trk", "_noname.ani", "_noname.grd",
                                      "_rgbmap.dds"}));
  ui.shown.clear();
  EXPECT_EQ(CLapforge().GTLFromDataBase(*db, missing), 0);
  const std::vector<std::string> gtl = FailedFiles(ui, missing);
  ASSERT_GE(gtl.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(gtl.end() - 4, gtl.end()),
            (std::vector<std::string>{"_lapforge.scn", "_noname.gdb", "_noname.trk", "_rgbmap.dds"}));
  ui.shown.clear();
  EXPECT_EQ(CLapforge().GTRFromDataBase(*db, missing), 0);
  const std::vector<std::string> gtr = FailedFiles(ui, missing);
  ASSERT_FALSE(gtr.empty());
  EXPECT_EQ(gtr.back(), "_lapforge.scn");

  const std::string gtr2Dir = dir.File("gtr2"), gtlDir = dir.File("gtl");
  std::filesystem::create_directories(gtr2Dir);
  std::filesystem::create_directories(gtlDir);
  CLapforge().GTR2FromDataBase(*db, gtr2Dir);
  CLapforge().GTLFromDataBase(*db, gtlDir);
  EXPECT_TRUE(Exists(gtr2Dir + "/_lapforge.trk"));
  EXPECT_FALSE(Exists(gtr2Dir + "/_lapforge.scn"));
  EXPECT_TRUE(Exists(gtlDir + "/_lapforge.scn"));
  EXPECT_EQ(ReadText(gtr2Dir + "/_noname.trk"), TemplateText(114));
  EXPECT_EQ(ReadText(gtlDir + "/_noname.trk"), TemplateText(109));
  EXPECT_NE(TemplateText(114), TemplateText(109));
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
  ASSERT_FALSE(ui.shown.empty());
  EXPECT_EQ(ui.shown[0].text, kQuestion);
  EXPECT_FALSE(Exists(dir.File("t.3ds")));
}

// The 3SE road writes the track as lapforge.ptf beside the scene, the 3SE
// file whose trailer names it, and the scene file; a 3DS file that cannot
// be written is reported by name.
TEST(ExportRoads, ThreeSeFilesAndFailedThreeDs) {
  CScopedSettings settings;
  CTempDir dir;
  std::unique_ptr<TrkDsc> db = CLapforge().DataBaseFromXML(kSample);
  ASSERT_TRUE(db);
  CRecordingUI ui;
  CLapforge()._3SEFromDataBase(*db, dir.File("Track.3SE"));
  EXPECT_TRUE(Exists(dir.File("lapforge.ptf")));
  EXPECT_TRUE(Exists(dir.File("_lapforge.scn")));
  const std::vector<uint8_t> scene = ReadBytes(dir.File("track.3se"));
  ASSERT_GT(scene.size(), 260u);
  const std::string trailer(reinterpret_cast<const char*>(scene.data() + scene.size() - 260));
  EXPECT_EQ(trailer, dir.File("lapforge.ptf"));

  ui.shown.clear();
  EXPECT_EQ(CLapforge()._3DSFromDataBase(*db, dir.File("none/t.3ds")), 0);
  ASSERT_EQ(ui.shown.size(), 2u);
  EXPECT_NE(ui.shown[1].text.find(dir.File("none/t.3ds")), std::string::npos);
}
