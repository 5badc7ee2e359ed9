// The editor's 3D tab. The tests that draw need OpenGL: ctest runs them
// again on a virtual X server with Mesa's software renderer (gui_preview);
// on the plain offscreen platform they are skipped.
#include <gtest/gtest.h>

#include <QImage>
#include <QTabWidget>
#include <QTest>
#include <QUndoStack>

#include "gui/PreviewTab.h"
#include "gui/PreviewView.h"
#include "gui/TableEditor.h"
#include "preview/PreviewScene.h"
#include "tests/gui/GuiDoubles.h"
#include "tests/support/TestSupport.h"

namespace lapforge {

namespace {

const char* const kSample = LAPFORGE_SOURCE_DIR "/examples/sample-circuit.xml";

class PreviewTab : public ::testing::Test {
 protected:
  CScopedSettings settings;
  CTestUI ui;
  CScriptedDialogs dialogs;

  // The sample in a shown editor with its 3D tab current.
  std::unique_ptr<LapforgeEdit> ShownEditor() {
    auto ed = std::make_unique<LapforgeEdit>(kSample, dialogs);
    ed->resize(1000, 600);
    ed->ViewTabs()->setCurrentWidget(ed->PreviewTab());
    ed->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(ed.get()));
    return ed;
  }
  // Whether the tab has built the sample, uploaded and drawn it.
  static bool Drawn(LapforgeEdit& ed) {
    CPreviewView* view = ed.PreviewTab()->View();
    return WaitFor([&] { return !ed.PreviewTab()->Busy() && view->Uploaded() && view->Frames() > 0; }, 30000);
  }
};

// The world point halfway along a section's centre line.
bool SectionMiddle(const CPreviewScene& scene, int section, double world[3]) {
  const auto& stations = scene.Stations();
  double first = -1, last = -1;
  for (const auto& s : stations)
    if (s.section == section) {
      if (first < 0) first = s.distance;
      last = s.distance;
    }
  if (first < 0) return false;
  const double middle = (first + last) / 2;
  for (const auto& s : stations)
    if (s.section == section && s.distance >= middle) {
      world[0] = s.x;
      world[1] = s.y;
      world[2] = s.z;
      return true;
    }
  return false;
}

}  // namespace

// The view and its camera for each case: a click on the projected middle of
// section n selects n in the grid, and the section selected is tinted (its
// pixel changes colour, while the sky in a corner does not).
struct ClickCase {
  int section;
  PreviewView mode;
};

class PreviewClick : public PreviewTab, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(PreviewClick, AClickOnASectionSelectsItsRowAndTheSelectionIsTinted) {
  auto ed = ShownEditor();
  if (!ed->PreviewTab()->View()) GTEST_SKIP() << "no OpenGL here";
  ASSERT_TRUE(Drawn(*ed)) << ed->PreviewTab()->Notice().toStdString();
  CPreviewView& view = *ed->PreviewTab()->View();
  const ClickCase c = GetParam();
  if (view.Mode() != c.mode) {
    view.SetMode(c.mode);
    QTest::qWait(50);
  }
  ASSERT_TRUE(ed->ShowTable("Section"));
  const int other = c.section == 0 ? 1 : 0;
  ed->SelectRow(other);
  ASSERT_EQ(view.SelectedSection(), other);

  double world[3];
  ASSERT_TRUE(SectionMiddle(*view.Scene(), c.section, world));
  const double ratio = view.devicePixelRatioF();
  double px = 0, py = 0;
  ASSERT_TRUE(view.Camera().Project(world, view.width() * ratio, view.height() * ratio, px, py));
  const QPoint at(static_cast<int>(px / ratio), static_cast<int>(py / ratio));
  ASSERT_TRUE(view.rect().contains(at)) << at.x() << "," << at.y();

  const QImage before = view.grabFramebuffer();
  QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, at);
  EXPECT_EQ(ed->SelectedSection(), c.section);
  EXPECT_EQ(view.SelectedSection(), c.section);
  const QImage after = view.grabFramebuffer();
  ASSERT_EQ(before.size(), after.size());
  const QPoint pixel(static_cast<int>(px), static_cast<int>(py));
  EXPECT_NE(before.pixel(pixel), after.pixel(pixel));
  EXPECT_EQ(before.pixel(2, 2), after.pixel(2, 2));

  // A drag from the same point moves the camera and selects nothing.
  ed->SelectRow(other);
  QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, at);
  QTest::mouseMove(&view, at + QPoint(40, 10));
  QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, at + QPoint(40, 10));
  EXPECT_EQ(ed->SelectedSection(), other);
  EXPECT_TRUE(ui.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Sections, PreviewClick,
                         ::testing::Values(ClickCase{3, PreviewView::Orbit}, ClickCase{0, PreviewView::Orbit},
                                           ClickCase{9, PreviewView::Orbit}, ClickCase{15, PreviewView::Orbit},
                                           ClickCase{3, PreviewView::Top}, ClickCase{12, PreviewView::Top}));

TEST_F(PreviewTab, ABurstOfEditsRebuildsOnceAndOnlyWhileTheTabIsShown) {
  auto ed = ShownEditor();
  if (!ed->PreviewTab()->View()) GTEST_SKIP() << "no OpenGL here";
  ASSERT_TRUE(Drawn(*ed)) << ed->PreviewTab()->Notice().toStdString();
  CPreviewTab& tab = *ed->PreviewTab();
  const int before = tab.Builds();
  ASSERT_TRUE(ed->ShowTable("Section"));
  CDescriptionModel& model = *ed->Model();
  const int length = model.ViewColumnOf(TrkDsc::kSection_Length);
  for (const char* metres : {"81", "82", "83"}) ASSERT_TRUE(model.setData(model.index(3, length), metres, Qt::EditRole));
  EXPECT_EQ(tab.Builds(), before);
  EXPECT_TRUE(WaitFor([&] { return tab.Builds() == before + 1 && !tab.Busy(); }, 20000));
  QTest::qWait(600);
  EXPECT_EQ(tab.Builds(), before + 1);
  EXPECT_TRUE(tab.HasTrack());

  // Hidden behind the map, edits wait; shown again, one rebuild.
  ed->ViewTabs()->setCurrentIndex(0);
  ASSERT_TRUE(model.setData(model.index(3, length), "84", Qt::EditRole));
  ASSERT_TRUE(model.setData(model.index(3, length), "85", Qt::EditRole));
  QTest::qWait(600);
  EXPECT_EQ(tab.Builds(), before + 1);
  ed->ViewTabs()->setCurrentWidget(&tab);
  EXPECT_TRUE(WaitFor([&] { return tab.Builds() == before + 2 && !tab.Busy(); }, 20000));
  EXPECT_TRUE(tab.HasTrack());

  // No sections: no track, a notice and no message; undo brings it back.
  ed->UndoStack()->setIndex(0);
  std::vector<int> all;
  for (int r = 0; r < model.rowCount(); ++r) all.push_back(r);
  ASSERT_TRUE(ed->RemoveRows(all));
  ui.shown.clear();
  EXPECT_TRUE(WaitFor([&] { return !tab.Busy() && !tab.HasTrack() && !tab.Notice().isEmpty(); }, 20000));
  EXPECT_TRUE(ui.shown.empty());
  ed->UndoStack()->undo();
  EXPECT_TRUE(WaitFor([&] { return !tab.Busy() && tab.HasTrack(); }, 20000));
}

TEST_F(PreviewTab, WithoutOpenGlTheTabSaysSoAndTheEditorWorks) {
  qputenv("LAPFORGE_NO_OPENGL", "1");
  auto ed = std::make_unique<LapforgeEdit>(kSample, dialogs);
  qunsetenv("LAPFORGE_NO_OPENGL");
  ed->ViewTabs()->setCurrentWidget(ed->PreviewTab());
  ed->show();
  CPreviewTab& tab = *ed->PreviewTab();
  EXPECT_EQ(tab.View(), nullptr);
  EXPECT_FALSE(tab.Notice().isEmpty());
  EXPECT_TRUE(ui.shown.empty());
  ASSERT_TRUE(ed->ShowTable("Section"));
  ed->SelectRow(3);
  CDescriptionModel& model = *ed->Model();
  ASSERT_TRUE(model.setData(model.index(3, model.ViewColumnOf(TrkDsc::kSection_Length)), "81", Qt::EditRole));
  QTest::qWait(400);
  EXPECT_EQ(tab.Builds(), 0);
  EXPECT_EQ(ed->SelectedSection(), 3);
}

}  // namespace lapforge
