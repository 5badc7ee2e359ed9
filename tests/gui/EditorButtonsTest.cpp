#include <gtest/gtest.h>

#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTimer>
#include <QUndoStack>
#include <atomic>
#include <filesystem>

#include "gui/TableEditor.h"
#include "support/RegOption.h"
#include "tests/gui/GuiDoubles.h"
#include "tests/support/TestSupport.h"

namespace lapforge {

namespace {

const char* const kSample = LAPFORGE_SOURCE_DIR "/examples/sample-circuit.xml";

class EditorButtons : public ::testing::Test {
 protected:
  CScopedSettings settings;
  CTestUI ui;
  CScriptedDialogs dialogs;
  CTempDir dir;
  LapforgeEdit editor{kSample, dialogs};

  void SetUp() override { editor.show(); }
  void TearDown() override { CloseReports(); }

  void Press(const char* text) {
    QPushButton* b = editor.Button(text);
    ASSERT_TRUE(b) << text;
    ASSERT_TRUE(b->isEnabled()) << text;
    QSignalSpy finished(editor.Runner(), &CConversionRunner::Finished);
    b->click();
    // The checks run first, then the export.
    while (editor.Runner()->Busy()) ASSERT_TRUE(finished.wait(120000)) << text;
  }
};

}  // namespace

TEST_F(EditorButtons, ButtonTextsInOrder) {
  const char* texts[] = {
      "Write PTF", "Write XML", "Write F1  MTS", "TSO Table form PTF", "Write 3DS", "Write GTR",  "Write rFactor",
      "Help",      "Close",     "Write GTL",     "Write 3SE",          "LP to AIW", "Write GTR2", "Cam Converter"};
  QWidget* w = editor.Button(texts[0]);
  for (const char* t : texts) {
    ASSERT_TRUE(editor.Button(t)) << t;
    EXPECT_EQ(w, editor.Button(t)) << t;
    do w = w->nextInFocusChain();
    while (!qobject_cast<QPushButton*>(w));
  }
}

TEST_F(EditorButtons, WritePtfXmlAndTsoTableRunOnTheEditedDescription) {
  TrkDsc& db = *editor.Description();
  dialogs.answers = {dir.File("edited.ptf")};
  Press("Write PTF");
  EXPECT_TRUE(Exists(dir.File("edited.ptf")));
  ASSERT_EQ(VisibleReports().size(), 1u);
  EXPECT_EQ(VisibleReports()[0]->FilesText(), "1 File(s) written");
  CloseReports();

  // The TSO rows of the written track replace the edited ones.
  const int objects = db.TSO.Count();
  ASSERT_GT(objects, 1);
  ASSERT_TRUE(editor.ShowTable("TSO"));
  ASSERT_TRUE(editor.RemoveRows({0}));
  ASSERT_EQ(db.TSO.Count(), objects - 1);
  dialogs.answers = {dir.File("edited.ptf")};
  Press("TSO Table form PTF");
  EXPECT_EQ(db.TSO.Count(), objects);
  EXPECT_TRUE(VisibleReports().empty());
  editor.UndoStack()->undo();
  EXPECT_EQ(db.TSO.Count(), objects - 1);

  // A track that cannot be read leaves the table as it was.
  dialogs.answers = {dir.File("missing.ptf")};
  Press("TSO Table form PTF");
  EXPECT_EQ(db.TSO.Count(), objects - 1);
  EXPECT_FALSE(ui.shown.empty());
  EXPECT_TRUE(ui.AllOnWindowThread());

  dialogs.answers = {dir.File("edited.xml")};
  Press("Write XML");
  EXPECT_EQ(editor.windowTitle().toStdString(), dir.File("edited.xml"));
  EXPECT_TRUE(editor.UndoStack()->isClean());
  EXPECT_EQ(ReadText(dir.File("edited.xml")), db.GetXml());
}

TEST_F(EditorButtons, RacingLineAndCameraPickersStartInTheTrackFolder) {
  ASSERT_TRUE(CRegOption::SetOption("LastPapyTrack", dir.Path() + "/"));
  WriteText(dir.File("race.lp"), "");
  dialogs.answers = {dir.File("race.lp"), dir.File("race.aiw")};
  Press("LP to AIW");
  ASSERT_EQ(dialogs.asked.size(), 2u);
  EXPECT_EQ(dialogs.asked[0].kind, "open");
  EXPECT_EQ(dialogs.asked[0].request.defaultExtension, "LP");
  EXPECT_EQ(dialogs.asked[0].request.startFolder, dir.Path() + "/");
  EXPECT_EQ(dialogs.asked[1].request.defaultExtension, "AIW");
  EXPECT_EQ(!VisibleReports().empty(), Exists(dir.File("race.aiw")));
  CloseReports();

  dialogs.asked.clear();
  dialogs.answers = {dir.File("in.cam"), dir.File("out.cam")};
  Press("Cam Converter");
  ASSERT_EQ(dialogs.asked.size(), 2u);
  EXPECT_EQ(dialogs.asked[0].request.defaultExtension, "cam");
  EXPECT_EQ(dialogs.asked[0].request.startFolder, dir.Path() + "/");
  EXPECT_EQ(dialogs.asked[1].request.defaultExtension, "CAM");
  EXPECT_TRUE(VisibleReports().empty());  // no camera file to convert: nothing reported
  EXPECT_TRUE(ui.AllOnWindowThread());
}

TEST_F(EditorButtons, MeshExportsReportOnlyWrittenFiles) {
  const std::pair<const char*, const char*> roads[] = {
      {"Write 3DS", "3DS"},         {"Write 3SE", "3SE"},   {"Write F1  MTS", "MTS"}, {"Write GTR", "GTR"},
      {"Write rFactor", "rFactor"}, {"Write GTR2", "GTR2"}, {"Write GTL", "GTL"}};
  for (const auto& [button, what] : roads) {
    SCOPED_TRACE(button);
    const bool toFile = std::string(what) == "3DS" || std::string(what) == "3SE";
    const std::string out = toFile ? dir.File(std::string("out.") + what) : dir.File(std::string("out-") + what);
    if (!toFile) std::filesystem::create_directories(out);
    dialogs.asked.clear();
    ui.shown.clear();
    dialogs.answers = {out};
    Press(button);
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].kind, toFile ? "save" : "folder");
    if (!VisibleReports().empty()) {
      EXPECT_TRUE(toFile ? Exists(out) : !std::filesystem::is_empty(out));
      int files = std::string(what) == "3SE" ? 3 : 1;
      if (!toFile) {
        files = 0;
        for (const auto& entry : std::filesystem::directory_iterator(out)) files += entry.is_regular_file() ? 1 : 0;
      }
      EXPECT_EQ(VisibleReports()[0]->FilesText(), QString("%1 File(s) written").arg(files));
    } else
      EXPECT_FALSE(ui.shown.empty());
    CloseReports();
  }
}

TEST_F(EditorButtons, WhileAnExportRunsOnlyHelpAndCloseStayEnabled) {
  std::atomic<bool> released{false};
  QSignalSpy finished(editor.Runner(), &CConversionRunner::Finished);
  editor.Runner()->Run(
      [&] {
        while (!released) QThread::msleep(1);
        return 1;
      },
      nullptr);
  for (const char* t : {"Write PTF", "Write XML", "TSO Table form PTF", "LP to AIW"})
    EXPECT_FALSE(editor.Button(t)->isEnabled()) << t;
  EXPECT_TRUE(editor.Button("Help")->isEnabled());
  EXPECT_TRUE(editor.Button("Close")->isEnabled());
  EXPECT_FALSE(editor.Grid()->isEnabled());
  QTimer::singleShot(0, [&] { released = true; });
  ASSERT_TRUE(finished.wait(60000));
  EXPECT_TRUE(editor.Button("Write PTF")->isEnabled());
  EXPECT_TRUE(editor.Grid()->isEnabled());
}

}  // namespace lapforge
