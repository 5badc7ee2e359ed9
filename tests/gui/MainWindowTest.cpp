#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QUrl>
#include <QtTest/QTest>
#include <atomic>
#include <filesystem>

#include "gui/MainWindow.h"
#include "gui/OptionsDialog.h"
#include "gui/TableEditor.h"
#include "support/RegOption.h"
#include "tests/gui/GuiDoubles.h"
#include "tests/support/TestSupport.h"
#include "tests/support/gpl/TrkBuilder.h"

namespace lapforge {

namespace {

const char* const kSample = LAPFORGE_SOURCE_DIR "/examples/sample-circuit.xml";

class MainWindow : public ::testing::Test {
 protected:
  CScopedSettings settings;
  CTestUI ui;
  CScriptedDialogs dialogs;
  CTempDir dir;
  CMainWindow window{&dialogs};

  void SetUp() override { window.show(); }
  void TearDown() override { CloseReports(); }

  // Clicks a button and waits for the conversion it started, if any.
  void Press(const char* text) {
    QPushButton* b = window.Button(text);
    ASSERT_TRUE(b) << text;
    ASSERT_TRUE(b->isEnabled()) << text;
    QSignalSpy finished(window.Runner(), &CConversionRunner::Finished);
    QTest::mouseClick(b, Qt::LeftButton);
    // An export runs the checks first, then itself.
    while (window.Runner()->Busy()) ASSERT_TRUE(finished.wait(120000)) << text;
  }
};

}  // namespace

TEST_F(MainWindow, CaptionAndTheCommandButtonsInTabOrder) {
  EXPECT_EQ(window.windowTitle(), "Lapforge  V1.11a");
  // Imports, exports, tools; Exit is in the File menu only.
  const std::vector<QString> texts = {"Nascar .PTF to XML", "GPL .TRK to XML", "XML to PTF",    "XML to rFactor",
                                      "XML to GTR",         "XML to GTR2",     "XML to GTL",    "XML to F1 MTS",
                                      "XML to 3DS",         "XML to 3SE",      "Open XML",      "New XML",
                                      "Options",            "Help"};
  ASSERT_EQ(window.Buttons().size(), texts.size());
  QWidget* w = window.Buttons()[0];
  for (size_t i = 0; i < texts.size(); ++i) {
    EXPECT_EQ(window.Buttons()[i]->text(), texts[i]);
    EXPECT_TRUE(window.Action(texts[i])) << texts[i].toStdString();
    if (i > 0) {
      w = w->nextInFocusChain();
      while (!qobject_cast<QPushButton*>(w)) w = w->nextInFocusChain();
      EXPECT_EQ(w, window.Buttons()[i]) << "tab stop " << i;
    }
  }
  EXPECT_FALSE(window.Button("Exit"));
  EXPECT_TRUE(window.Action("Exit"));
  EXPECT_EQ(window.HelpTopic(), 116);
}

TEST_F(MainWindow, PtfAndGplRoadsRunEndToEnd) {
  // XML to PTF, then the PTF back to XML.
  const std::string ptf = dir.File("Sample.PTF");
  dialogs.answers = {kSample, ptf};
  Press("XML to PTF");
  const std::string written = dir.File("sample.ptf");  // file names are lower-cased
  ASSERT_TRUE(Exists(written));
  ASSERT_EQ(VisibleReports().size(), 1u);
  EXPECT_EQ(VisibleReports()[0]->FilesText(), "1 File(s) written");
  CloseReports();
  // The lower-cased name was shown, and agreed to, before it was written.
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_TRUE(ui.shown[0].text.contains(QString::fromStdString(written)));
  ui.shown.clear();

  dialogs.answers = {written, dir.File("back.xml")};
  Press("Nascar .PTF to XML");
  EXPECT_TRUE(Exists(dir.File("back.xml")));
  EXPECT_EQ(VisibleReports().size(), 1u);
  EXPECT_EQ(CRegOption::GetOption("LastPapyTrack", std::string()), dir.Path() + "/");
  CloseReports();
  ASSERT_EQ(dialogs.asked.size(), 4u);
  EXPECT_EQ(dialogs.asked[0].request.defaultExtension, "XML");
  EXPECT_EQ(dialogs.asked[1].kind, "save");
  EXPECT_EQ(dialogs.asked[1].request.defaultExtension, "PTF");
  EXPECT_EQ(dialogs.asked[2].request.defaultExtension, "PTF");
  EXPECT_EQ(dialogs.asked[3].kind, "save");

  // A GPL track.
  WriteText(dir.File("gpl/track.trk"), "");
  std::filesystem::create_directories(dir.File("gpl"));
  const std::vector<uint8_t> trk = BuildTrk(ClosedCircuit());
  WriteText(dir.File("gpl/track.trk"), std::string(trk.begin(), trk.end()));
  dialogs.answers = {dir.File("gpl/track.trk"), dir.File("gpl.xml")};
  Press("GPL .TRK to XML");
  EXPECT_TRUE(Exists(dir.File("gpl.xml")));
  EXPECT_EQ(VisibleReports().size(), 1u);
  EXPECT_EQ(CRegOption::GetOption("LastPapyTrack", std::string()), dir.File("gpl/"));
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(MainWindow, TrackFolderIsRememberedEvenWhenTheXmlPickerIsCancelled) {
  dialogs.answers = {dir.File("Tracks/oval.ptf")};
  Press("Nascar .PTF to XML");
  EXPECT_EQ(CRegOption::GetOption("LastPapyTrack", std::string()), dir.File("Tracks/"));
  EXPECT_EQ(dialogs.asked.size(), 2u);
  EXPECT_TRUE(VisibleReports().empty());
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(MainWindow, FailedLoadShowsTheDriverMessageOnTheWindowThreadAndNoReport) {
  WriteText(dir.File("bad.xml"),
            "<TrkDsc xmlns=\"http://tempuri.org/TrkDsc.xsd\"><Section><Index>x</Index></Section></TrkDsc>");
  dialogs.answers = {dir.File("bad.xml"), dir.File("bad.ptf")};
  Press("XML to PTF");
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].caption, "Error in XML");
  EXPECT_TRUE(ui.shown[0].onWindowThread);
  EXPECT_TRUE(VisibleReports().empty());
  EXPECT_FALSE(Exists(dir.File("bad.ptf")));
}

// Each mesh export asks for the XML file and its output, runs the driver,
// and shows the report exactly when the driver says files were written
// (these roads may still answer that they are not available).
TEST_F(MainWindow, MeshExportButtonsAskTheirPickersAndReportOnlyWrittenFiles) {
  struct Road {
    const char* button;
    const char* kind;
    const char* what;  // extension or format word
  };
  const Road roads[] = {{"XML to 3DS", "save", "3DS"},      {"XML to 3SE", "save", "3SE"},
                        {"XML to F1 MTS", "folder", "MTS"}, {"XML to rFactor", "folder", "rFactor"},
                        {"XML to GTR", "folder", "GTR"},    {"XML to GTR2", "folder", "GTR2"},
                        {"XML to GTL", "folder", "GTL"}};
  for (const Road& road : roads) {
    SCOPED_TRACE(road.button);
    const std::string out = std::string(road.kind) == "save" ? dir.File(std::string("out.") + road.what)
                                                             : dir.File(std::string("out-") + road.what);
    if (std::string(road.kind) == "folder") std::filesystem::create_directories(out);
    dialogs.asked.clear();
    ui.shown.clear();
    dialogs.answers = {kSample, out};
    Press(road.button);
    ASSERT_EQ(dialogs.asked.size(), 2u);
    EXPECT_EQ(dialogs.asked[0].request.defaultExtension, "XML");
    EXPECT_EQ(dialogs.asked[1].kind, road.kind);
    if (std::string(road.kind) == "folder") {
      EXPECT_EQ(CRegOption::GetOption(std::string(road.what) + "Folder", std::string()), out);
    } else {
      EXPECT_EQ(dialogs.asked[1].request.defaultExtension, road.what);
    }
    const bool reported = !VisibleReports().empty();
    if (reported) {
      EXPECT_TRUE(std::filesystem::exists(out));
      // The report counts the files written: every file in the folder, one
      // 3DS file, or the 3SE file with the track and the scene file.
      int files = std::string(road.what) == "3SE" ? 3 : 1;
      if (std::string(road.kind) == "folder") {
        EXPECT_FALSE(std::filesystem::is_empty(out));
        files = 0;
        for (const auto& entry : std::filesystem::directory_iterator(out)) files += entry.is_regular_file() ? 1 : 0;
      }
      EXPECT_EQ(VisibleReports()[0]->FilesText(), QString("%1 File(s) written").arg(files));
    } else {
      EXPECT_FALSE(ui.shown.empty());  // a failure is never silent
    }
    EXPECT_TRUE(ui.AllOnWindowThread());
    CloseReports();
  }
}

TEST_F(MainWindow, WindowStaysResponsiveWithButtonsDisabledWhileAConversionRuns) {
  // The work waits until the window thread has handled a timer event: it
  // can only end if the window keeps processing events.
  std::atomic<bool> released{false};
  QTimer::singleShot(0, [&] { released = true; });
  QSignalSpy finished(window.Runner(), &CConversionRunner::Finished);
  window.Runner()->Run(
      [&] {
        while (!released) QThread::msleep(1);
        return UI().YesNo("Use short names?", "XML to 3DS") ? 7 : 0;
      },
      nullptr);
  EXPECT_TRUE(window.Runner()->Busy());
  for (QPushButton* b : window.Buttons()) EXPECT_FALSE(b->isEnabled()) << b->text().toStdString();

  // Closing meanwhile asks first; No keeps the window.
  ui.answers = {UiAnswer::No};
  EXPECT_FALSE(window.close());
  EXPECT_TRUE(window.isVisible());

  ASSERT_TRUE(finished.wait(60000));
  EXPECT_EQ(finished[0][0].toInt(), 7);
  // The driver's question was asked on the window thread.
  ASSERT_EQ(ui.shown.size(), 2u);
  EXPECT_EQ(ui.shown[1].text, "Use short names?");
  EXPECT_TRUE(ui.AllOnWindowThread());
  for (QPushButton* b : window.Buttons()) EXPECT_TRUE(b->isEnabled());
}

TEST_F(MainWindow, EditorOptionsHelpAndExitButtons) {
  LapforgeEdit* opened = nullptr;
  window.onEditorOpened = [&](LapforgeEdit* e) { opened = e; };
  dialogs.answers = {kSample};
  Press("Open XML");
  ASSERT_TRUE(opened);
  EXPECT_EQ(opened->windowTitle(), kSample);
  EXPECT_TRUE(opened->isModal());
  EXPECT_TRUE(opened->Description());
  opened->close();

  opened = nullptr;
  Press("New XML");
  ASSERT_TRUE(opened);
  EXPECT_EQ(opened->windowTitle(), "New...");
  EXPECT_FALSE(opened->isModal());
  EXPECT_EQ(opened->Description()->Section.Count(), 0);
  QPointer<LapforgeEdit> editor = opened;

  // Options: a modal dialog; storing on OK.
  QTimer::singleShot(0, [] {
    auto* d = qobject_cast<COptionsDialog*>(QApplication::activeModalWidget());
    ASSERT_TRUE(d);
    d->TsoXyz()->setChecked(true);
    d->OkButton()->click();
  });
  Press("Options");
  EXPECT_EQ(CRegOption::GetOption("TSOXYZ", 0), 1);

  // Help and F1 open the main window's page.
  CUrlCatcher urls;
  Press("Help");
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  QTest::keyClick(&window, Qt::Key_F1);
  ASSERT_EQ(urls.opened.size(), 2u);
  EXPECT_EQ(urls.opened[0].toLocalFile(), QStringLiteral(LAPFORGE_HELP_DIR "/index.html"));
  EXPECT_EQ(urls.opened[1], urls.opened[0]);

  // Exit closes the open editor (unchanged: no question) and the window.
  QSignalSpy closed(&window, &CMainWindow::Closed);
  window.Action("Exit")->trigger();
  EXPECT_EQ(closed.count(), 1);
  EXPECT_FALSE(window.isVisible());
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(editor.isNull());
}

}  // namespace lapforge
