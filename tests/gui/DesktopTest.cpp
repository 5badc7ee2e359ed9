// The desktop conventions around the windows: the checks before an export,
// the weight of messages, the completion report, files opened by drop or by
// name, the pickers' proposals, the redo keys and the help window.
#include <gtest/gtest.h>

#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextBrowser>
#include <QTimer>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QUndoStack>
#include <QWheelEvent>
#include <QUrl>
#include <QtTest/QTest>
#include <filesystem>

#include "gui/ExportCheck.h"
#include "gui/HelpWindow.h"
#include "gui/MainWindow.h"
#include "gui/TableEditor.h"
#include "gui/TrackMapView.h"
#include "description/TrkDsc.h"
#include "tests/gui/GuiDoubles.h"
#include "tests/support/TestSupport.h"

namespace lapforge {

namespace {

const char* const kSample = LAPFORGE_SOURCE_DIR "/examples/sample-circuit.xml";

// The sample with its first straight 225 m longer: the loop no longer closes.
std::string BrokenSample() {
  std::string xml = ReadText(kSample);
  const std::string first = "<Length>225</Length>";
  const size_t at = xml.find(first);
  if (at != std::string::npos) xml.replace(at, first.size(), "<Length>450</Length>");
  return xml;
}

int FilesIn(const std::string& folder) {
  int n = 0;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(folder, ec)) n += e.is_regular_file() ? 1 : 0;
  return n;
}

// Answers the check dialog once it is up: notes what it shows, then presses
// "Export anyway" or "Cancel".
struct CheckAnswer {
  bool exportAnyway = false;
  bool seen = false;
  bool cancelIsDefault = false;
  QStringList lines;
};
void AnswerCheckDialog(QObject* owner, CheckAnswer& answer) {
  auto* timer = new QTimer(owner);
  QObject::connect(timer, &QTimer::timeout, owner, [timer, &answer] {
    auto* d = qobject_cast<CCheckDialog*>(QApplication::activeModalWidget());
    if (!d) return;
    timer->stop();
    answer.seen = true;
    answer.cancelIsDefault = d->CancelButton()->isDefault();
    for (int i = 0; i < d->Findings()->count(); ++i) answer.lines << d->Findings()->item(i)->text();
    (answer.exportAnyway ? d->ExportAnywayButton() : d->CancelButton())->click();
  });
  timer->start(5);
}

void WaitIdle(CConversionRunner* runner) {
  QSignalSpy finished(runner, &CConversionRunner::Finished);
  while (runner->Busy()) ASSERT_TRUE(finished.wait(120000));
}

struct GateCase {
  bool editor;          // the table editor's button, else the main window's
  const char* command;  // button text
  const char* output;   // file or folder name in the temporary folder
  bool folder;
};

class ExportGate : public ::testing::TestWithParam<GateCase> {
 protected:
  CScopedSettings settings;
  CTestUI ui;
  CScriptedDialogs dialogs;
  CTempDir dir;
  QObject owner;
};

}  // namespace

// A description whose loop does not close is shown with its findings; Cancel
// writes nothing and reports nothing, "Export anyway" writes and reports.
TEST_P(ExportGate, BrokenDescriptionAsksAndCancelWritesNothing) {
  const GateCase& c = GetParam();
  const std::string xml = dir.File("broken.xml");
  WriteText(xml, BrokenSample());
  const std::string out = dir.File(c.output);
  CMainWindow window(&dialogs);
  std::unique_ptr<LapforgeEdit> editor;
  if (c.editor) editor = std::make_unique<LapforgeEdit>(QString::fromStdString(xml), dialogs);
  QPushButton* button = c.editor ? editor->Button(c.command) : window.Button(c.command);
  CConversionRunner* runner = c.editor ? editor->Runner() : window.Runner();
  ASSERT_TRUE(button);

  for (bool anyway : {false, true}) {
    SCOPED_TRACE(anyway ? "Export anyway" : "Cancel");
    dialogs.answers.clear();
    if (!c.editor) dialogs.answers.push_back(xml);
    dialogs.answers.push_back(out);
    CheckAnswer answer;
    answer.exportAnyway = anyway;
    AnswerCheckDialog(&owner, answer);
    button->click();
    WaitIdle(runner);
    ASSERT_TRUE(answer.seen);
    EXPECT_TRUE(answer.cancelIsDefault);
    ASSERT_FALSE(answer.lines.isEmpty());
    EXPECT_TRUE(answer.lines[0].startsWith("error: ")) << answer.lines[0].toStdString();
    EXPECT_TRUE(answer.lines.join('\n').contains(
        "the track's end misses its start by 225.000 m, with the heading 0.00 degrees off"))
        << answer.lines.join('\n').toStdString();
    if (!anyway) {
      EXPECT_EQ(c.folder ? FilesIn(out) : static_cast<int>(Exists(out)), 0);
      EXPECT_TRUE(VisibleReports().empty());
    } else {
      EXPECT_GT(c.folder ? FilesIn(out) : static_cast<int>(Exists(out)), 0);
      ASSERT_EQ(VisibleReports().size(), 1u);
      EXPECT_EQ(VisibleReports()[0]->FilesText(),
                QString("%1 File(s) written").arg(c.folder ? FilesIn(out) : 1));
    }
    CloseReports();
  }
}

INSTANTIATE_TEST_SUITE_P(Exports, ExportGate,
                         ::testing::Values(GateCase{false, "XML to PTF", "broken.ptf", false},
                                           GateCase{false, "XML to rFactor", "rf", true},
                                           GateCase{false, "XML to 3DS", "broken.3ds", false},
                                           GateCase{true, "Write PTF", "edited.ptf", false},
                                           GateCase{true, "Write GTR2", "gtr2", true}));

// What a conversion shows: a warning waits for the report, a failure is
// shown as one and ends the conversion without success, whatever it counted.
TEST(ConversionMessages, WarningsGoToTheReportAndFailuresAreNeverSuccess) {
  struct Case {
    UiSeverity severity;
    int expectedResult;
    size_t boxes;
  };
  for (const Case& c : {Case{UiSeverity::Warning, 5, 0}, Case{UiSeverity::Error, 0, 1},
                        Case{UiSeverity::Information, 5, 1}}) {
    CTestUI ui;
    CConversionRunner runner;
    int result = -1;
    runner.Run(
        [&] {
          UI().Notify("the racing line is shorter than the track", "", c.severity);
          return 5;
        },
        [&](int r) { result = r; });
    WaitIdle(&runner);
    EXPECT_EQ(result, c.expectedResult);
    ASSERT_EQ(ui.shown.size(), c.boxes);
    if (c.boxes) EXPECT_EQ(ui.shown[0].severity, c.severity);
    EXPECT_EQ(runner.Warnings().size(), c.severity == UiSeverity::Warning ? 1 : 0);
  }
  // Outside a conversion the box wears its weight.
  CTestUI ui;
  ShowError("This file could not be written:\n/x", "Write Error");
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].severity, UiSeverity::Error);
}

// The report names the folder, counts the files written and lists, without
// deleting them, block files an earlier export left that this one did not
// write; other files of the folder are none of its business.
TEST(CompletionReport, NamesTheFolderAndListsStaleBlockFiles) {
  CScopedSettings settings;
  CTestUI ui;
  CScriptedDialogs dialogs;
  CTempDir dir;
  CMainWindow window(&dialogs);
  const std::string folder = dir.File("rf");
  std::filesystem::create_directories(folder);
  WriteText(folder + "/TrackObj999.gmt", "old block");
  WriteText(folder + "/notes.txt", "mine");
  dialogs.answers = {kSample, folder};
  window.Button("XML to rFactor")->click();
  WaitIdle(window.Runner());
  ASSERT_EQ(VisibleReports().size(), 1u);
  CStatusWindow* report = VisibleReports()[0];
  EXPECT_EQ(report->FilesText(), QString("%1 File(s) written").arg(FilesIn(folder) - 2));
  EXPECT_EQ(report->OutputText().toStdString(), "Written to " + folder + "/");
  EXPECT_EQ(report->StaleText(), "TrackObj999.gmt");
  ASSERT_TRUE(report->OpenFolderButton());
  EXPECT_EQ(report->Folder().toStdString(), folder + "/");
  EXPECT_TRUE(Exists(folder + "/TrackObj999.gmt"));
  CloseReports();
}

// A description dropped on the window or named to it opens in the editor;
// a track is imported after its description's name is asked for; another
// kind of file is refused with an error.
TEST(MainWindowFiles, DropAndOpenByKind) {
  CScopedSettings settings;
  CTestUI ui;
  CScriptedDialogs dialogs;
  CTempDir dir;
  CMainWindow window(&dialogs);
  window.show();
  LapforgeEdit* opened = nullptr;
  window.onEditorOpened = [&](LapforgeEdit* e) { opened = e; };

  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(kSample)});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &drop);
  WaitIdle(window.Runner());  // the description is read on the worker
  ASSERT_TRUE(opened);
  EXPECT_EQ(opened->windowTitle(), kSample);
  opened->close();
  EXPECT_EQ(CMainWindow::RecentFiles(), QStringList{kSample});

  // A PTF track: the description is proposed beside it, under its name.
  opened = nullptr;
  WriteText(dir.File("Oval.ptf"), "not a track");
  EXPECT_TRUE(window.OpenFile(QString::fromStdString(dir.File("Oval.ptf"))));
  ASSERT_EQ(dialogs.asked.size(), 1u);
  EXPECT_EQ(dialogs.asked[0].request.proposedFile, dir.File("Oval.xml"));
  EXPECT_EQ(dialogs.asked[0].request.title, "Save the description as");
  EXPECT_FALSE(opened);

  WriteText(dir.File("notes.txt"), "");
  QMimeData text;
  text.setUrls({QUrl::fromLocalFile(QString::fromStdString(dir.File("notes.txt")))});
  QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &refused);
  EXPECT_FALSE(refused.isAccepted());
  ui.shown.clear();
  EXPECT_FALSE(window.OpenFile(QString::fromStdString(dir.File("notes.txt"))));
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].severity, UiSeverity::Error);
}

// Each picker says what it asks for and proposes the output from the input.
TEST(MainWindowFiles, PickersTitleAndProposeFromTheInput) {
  struct Case {
    const char* button;
    const char* outputTitle;
    std::string proposed;  // file proposed, or folder started in
  };
  const std::string examples = LAPFORGE_SOURCE_DIR "/examples/";
  const Case cases[] = {
      {"XML to PTF", "Save the PTF track as", examples + "sample-circuit.ptf"},
      {"XML to 3SE", "Save the 3SE scene as", examples + "sample-circuit.3se"},
      {"XML to rFactor", "Choose the folder for the rFactor files (a new name is created)", examples},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.button);
    CScopedSettings settings;
    CTestUI ui;
    CScriptedDialogs dialogs;
    CMainWindow window(&dialogs);
    dialogs.answers = {kSample};  // the output picker is cancelled
    window.Button(c.button)->click();
    ASSERT_EQ(dialogs.asked.size(), 2u);
    EXPECT_EQ(dialogs.asked[0].request.title, "Choose the description to convert");
    EXPECT_EQ(dialogs.asked[1].request.title, c.outputTitle);
    EXPECT_EQ(dialogs.asked[1].kind == "folder" ? dialogs.asked[1].request.startFolder
                                                : dialogs.asked[1].request.proposedFile,
              c.proposed);
  }
}

// Undo with Ctrl+Z; redo with Ctrl+Y and with Ctrl+Shift+Z alike.
class RedoKeys : public ::testing::TestWithParam<QKeyCombination> {};

TEST_P(RedoKeys, UndoThenRedo) {
  CScopedSettings settings;
  CTestUI ui;
  CScriptedDialogs dialogs;
  LapforgeEdit editor(QString(), dialogs);
  editor.show();
  editor.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&editor));
  ASSERT_TRUE(editor.ShowTable("Material"));
  ASSERT_TRUE(editor.AddRow());
  editor.Grid()->setFocus();
  QTest::keyClick(&editor, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(editor.Description()->Material.Count(), 0);
  const QKeyCombination key = GetParam();
  QTest::keyClick(&editor, key.key(), key.keyboardModifiers());
  EXPECT_EQ(editor.Description()->Material.Count(), 1);
  // Escape leaves the editor open.
  QTest::keyClick(&editor, Qt::Key_Escape);
  EXPECT_TRUE(editor.isVisible());
}

INSTANTIATE_TEST_SUITE_P(Keys, RedoKeys,
                         ::testing::Values(QKeyCombination(Qt::ControlModifier, Qt::Key_Y),
                                           QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z)));

// Help in the program: every page in the contents, links followed, a
// missing page said to be missing in the page's place.
TEST(HelpWindow, ContentsLinksAndMissingPage) {
  CHelpWindow* help = CHelpWindow::ShowPage(QStringLiteral(LAPFORGE_HELP_DIR "/index.html"));
  ASSERT_TRUE(help);
  EXPECT_TRUE(help->isVisible());
  EXPECT_EQ(help->Contents()->count(), 20);
  EXPECT_EQ(help->Contents()->item(0)->text(), "Lapforge main window");
  EXPECT_EQ(help->Contents()->item(1)->text(), "Table editor");
  EXPECT_EQ(help->Shown(), QStringLiteral(LAPFORGE_HELP_DIR "/index.html"));
  help->Open(QUrl(QStringLiteral("tables.html")));
  EXPECT_EQ(help->Shown(), QStringLiteral(LAPFORGE_HELP_DIR "/tables.html"));
  EXPECT_EQ(help->Contents()->currentRow(), 1);
  help->Open(QUrl(QStringLiteral("nothere.html")));
  EXPECT_TRUE(help->Shown().isEmpty());
  EXPECT_TRUE(help->Page()->toPlainText().contains(
      QStringLiteral("The help page " LAPFORGE_HELP_DIR "/nothere.html cannot be found.")));
  help->close();
}

// The map: a click on a section selects its row, the wheel zooms about the
// pointer (the section under it stays there), a double-click fits again.
TEST(EditorMap, ClickSelectsWheelZoomsDoubleClickFits) {
  CScopedSettings settings;
  CTestUI ui;
  CScriptedDialogs dialogs;
  LapforgeEdit editor(kSample, dialogs);
  editor.resize(1100, 600);
  editor.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
  editor.RebuildMapNow();
  CTrackMapView* map = editor.MapView();
  ASSERT_TRUE(map->HasTrack());
  // A point of the map on section 3.
  QPoint on3(-1, -1);
  for (int y = 0; y < map->height() && on3.x() < 0; y += 2)
    for (int x = 0; x < map->width() && on3.x() < 0; x += 2)
      if (map->SectionAt(QPointF(x, y)) == 3) on3 = QPoint(x, y);
  ASSERT_GE(on3.x(), 0);
  QTest::mouseClick(map, Qt::LeftButton, Qt::NoModifier, on3);
  EXPECT_EQ(editor.Model()->CurrentView().table, TrkDsc::kTable_Section);
  EXPECT_EQ(editor.SelectedSection(), 3);
  EXPECT_EQ(map->Highlight(), 3);

  QWheelEvent wheel(QPointF(on3), map->mapToGlobal(QPointF(on3)), QPoint(), QPoint(0, 240), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(map, &wheel);
  EXPECT_DOUBLE_EQ(map->Zoom(), 1.5625);  // two notches of 1.25
  EXPECT_EQ(map->SectionAt(QPointF(on3)), 3);
  QTest::mouseDClick(map, Qt::LeftButton, Qt::NoModifier, on3);
  EXPECT_DOUBLE_EQ(map->Zoom(), 1.0);
}

// Row edits: a paste goes after the selected row; a new section length
// offers to move the following Starts, as one undo step; removing a section
// with rows under it asks first, counting them.
TEST(EditorEdits, PastePositionLengthAndRemoval) {
  CScopedSettings settings;
  CTestUI ui;
  CScriptedDialogs dialogs;
  {
    LapforgeEdit editor(QString(), dialogs);
    TrkDsc& db = *editor.Description();
    ASSERT_TRUE(editor.ShowTable("Section"));
    for (const char* row : {"0\t0\t0\t100", "1\t0\t100\t100", "2\t0\t200\t100"}) ASSERT_TRUE(editor.PasteText(row));
    editor.SelectRow(0);
    ASSERT_TRUE(editor.PasteText("9\t0\t0\t50"));
    ASSERT_EQ(db.Section.Count(), 4);
    EXPECT_EQ(db.Section[0].Index(), 0);
    EXPECT_EQ(db.Section[1].Index(), 9);
    EXPECT_EQ(db.Section[2].Index(), 1);
    EXPECT_EQ(editor.SelectedSection(), 1);
    editor.UndoStack()->undo();
    ASSERT_EQ(db.Section.Count(), 3);
    EXPECT_EQ(db.Section[1].Index(), 1);
  }
  LapforgeEdit editor(kSample, dialogs);
  TrkDsc& db = *editor.Description();
  ASSERT_TRUE(editor.ShowTable("Section"));
  const int length = editor.Model()->ViewColumnOf(TrkDsc::kSection_Length);
  ASSERT_TRUE(editor.Model()->setData(editor.Model()->index(editor.Model()->ViewRowOf(db.Section[0].Raw()), length),
                                      "300", Qt::EditRole));
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "Recompute the Start of the 15 following section(s) from the new length?");
  EXPECT_EQ(db.Section[1].Start(), 300);  // 0 + 300
  EXPECT_EQ(db.Section[2].Start(), 525);  // 300 + 225
  editor.UndoStack()->undo();
  EXPECT_EQ(db.Section[0].Length(), 225);
  EXPECT_EQ(db.Section[1].Start(), 225);
  EXPECT_EQ(db.Section[2].Start(), 450);

  ui.shown.clear();
  ui.answers = {UiAnswer::No};
  EXPECT_FALSE(editor.RemoveRows({editor.Model()->ViewRowOf(db.Section[1].Raw())}));
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "Remove 1 row(s) of Section and the 10 row(s) of other tables that belong to them?");
  EXPECT_EQ(db.Section.Count(), 16);
}

// Size, splitter, column widths, the table and the view tab shown come back in the next
// editor.
TEST(EditorState, RememberedBetweenEditors) {
  CScopedSettings settings;
  CTestUI ui;
  CScriptedDialogs dialogs;
  {
    LapforgeEdit editor(kSample, dialogs);
    editor.show();
    editor.resize(900, 520);
    ASSERT_TRUE(editor.ShowTable("Traction"));
    editor.Grid()->setColumnWidth(1, 137);
    editor.GridSplitter()->setSizes({500, 200});
    editor.ViewTabs()->setCurrentIndex(1);
    EXPECT_TRUE(editor.close());
  }
  LapforgeEdit again(kSample, dialogs);
  again.show();
  EXPECT_EQ(again.size(), QSize(900, 520));
  EXPECT_EQ(again.Model()->CurrentView().table, TrkDsc::kTable_Traction);
  EXPECT_EQ(again.Grid()->columnWidth(1), 137);
  EXPECT_NEAR(again.GridSplitter()->sizes()[1], 200, 2);  // the splitter may round a pixel
  EXPECT_EQ(again.ViewTabs()->currentIndex(), 1);
}

}  // namespace lapforge
