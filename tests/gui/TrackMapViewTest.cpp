#include <gtest/gtest.h>

#include <QCheckBox>
#include <QImage>
#include <QPainter>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QUndoStack>

#include "gui/TableEditor.h"
#include "gui/TrackMapView.h"
#include "roads/Lapforge.h"
#include "roads/TrackMap.h"
#include "tests/gui/GuiDoubles.h"
#include "tests/support/TestSupport.h"

namespace lapforge {

namespace {

const char* const kSample = LAPFORGE_SOURCE_DIR "/examples/sample-circuit.xml";

class TrackMapView : public ::testing::Test {
 protected:
  CScopedSettings settings;
  CTestUI ui;
  CScriptedDialogs dialogs;

  std::unique_ptr<LapforgeEdit> SampleEditor() { return std::make_unique<LapforgeEdit>(kSample, dialogs); }
};

QImage Painted(const CTrackMapView& view) {
  QImage image(300, 400, QImage::Format_ARGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  view.Paint(painter, QRectF(0, 0, 300, 400));
  painter.end();
  return image;
}

int DifferentPixels(const QImage& a, const QImage& b) {
  int n = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
  return n;
}

}  // namespace

TEST_F(TrackMapView, SitsBesideTheGridAndMarksTheSectionSelectedInIt) {
  auto ed = SampleEditor();
  CTrackMapView* view = ed->MapView();
  ASSERT_TRUE(view);
  QSplitter* split = ed->GridSplitter();
  ASSERT_TRUE(split);
  EXPECT_EQ(split->orientation(), Qt::Horizontal);
  EXPECT_EQ(split->indexOf(ed->Grid()), 0);
  EXPECT_EQ(split->indexOf(ed->ViewTabs()), 1);
  EXPECT_EQ(ed->ViewTabs()->indexOf(view), 0);  // the map's tab first, the 3D view's after
  EXPECT_TRUE(view->HasTrack());
  EXPECT_EQ(view->Highlight(), -1);  // no table shown yet

  ASSERT_TRUE(ed->ShowTable("Section"));
  ed->SelectRow(3);
  EXPECT_EQ(view->Highlight(), 3);
  ed->SelectRow(0);
  EXPECT_EQ(view->Highlight(), 0);

  // Sorted by Index from high to low, the first row shown is the last of
  // the sixteen sections.
  ed->Grid()->sortByColumn(0, Qt::DescendingOrder);
  ed->Grid()->setCurrentIndex(ed->Grid()->model()->index(0, 1));
  EXPECT_EQ(view->Highlight(), 15);
  ed->Grid()->sortByColumn(-1, Qt::AscendingOrder);

  // The bands of section 3 belong to section 3, whichever band is current;
  // back in the sections, its row is current again.
  ed->SelectRow(3);
  ed->ShowChildren(3, TrkDsc::kRel_Section_Traction);
  EXPECT_EQ(view->Highlight(), 3);
  ed->SelectRow(1);
  EXPECT_EQ(view->Highlight(), 3);
  ed->Back();
  EXPECT_EQ(view->Highlight(), 3);

  // A table that is not about sections marks none.
  ASSERT_TRUE(ed->ShowTable("Material"));
  ed->SelectRow(0);
  EXPECT_EQ(view->Highlight(), -1);
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(TrackMapView, PaintingTheMarkChangesOnlyWhatTheMarkedSectionCovers) {
  auto ed = SampleEditor();
  CTrackMapView& view = *ed->MapView();
  ASSERT_TRUE(view.HasTrack());
  view.SetHighlight(-1);
  const QImage plain = Painted(view);
  view.SetHighlight(3);
  const QImage third = Painted(view);
  view.SetHighlight(10);
  const QImage tenth = Painted(view);
  view.SetHighlight(16);  // past the last section: nothing to mark
  const QImage past = Painted(view);

  EXPECT_GT(DifferentPixels(plain, third), 20);
  EXPECT_GT(DifferentPixels(third, tenth), 20);
  EXPECT_EQ(DifferentPixels(plain, past), 0);
  // The map is drawn in the same place whatever is marked: far corners of
  // the picture are untouched by the mark.
  EXPECT_EQ(plain.pixel(2, 2), third.pixel(2, 2));
}

TEST(TrackMapSections, SectionAreasFollowOneAnotherAroundTheTrack) {
  CTestUI ui;
  auto db = CLapforge().DataBaseFromXML(kSample);
  ASSERT_TRUE(db);
  CTrackMap map;
  ASSERT_TRUE(map.Build(*db, 800));
  ASSERT_EQ(map.SectionCount(), 16);
  for (int i = 0; i < 16; ++i) {
    const std::vector<double>& a = map.SectionArea(i);
    ASSERT_GE(a.size(), 8u) << i;
    ASSERT_EQ(a.size() % 4, 0u) << i;  // as many left points as right ones
    for (size_t k = 0; k < a.size(); k += 2) {
      EXPECT_GE(a[k], 0);
      EXPECT_LE(a[k], map.Width());
      EXPECT_GE(a[k + 1], 0);
      EXPECT_LE(a[k + 1], map.Height());
    }
  }
  // The right edge of a section ends where the next one's begins (within a
  // few pixels: the outer band may change width at the boundary; a section
  // given its neighbour's segment would be tens of pixels off).
  for (int i = 0; i + 1 < 16; ++i) {
    const std::vector<double>& a = map.SectionArea(i);
    const std::vector<double>& b = map.SectionArea(i + 1);
    const size_t lastRight = a.size() / 2 - 2;
    EXPECT_NEAR(a[lastRight], b[0], 3) << i;
    EXPECT_NEAR(a[lastRight + 1], b[1], 3) << i;
  }
  EXPECT_TRUE(map.SectionArea(-1).empty());
  EXPECT_TRUE(map.SectionArea(16).empty());
}

TEST_F(TrackMapView, EditsRebuildTheMapOnceAfterAPauseAndNoTrackLeavesANotice) {
  auto ed = SampleEditor();
  CTrackMapView& view = *ed->MapView();
  const int before = view.Builds();
  ASSERT_TRUE(ed->ShowTable("Section"));
  CDescriptionModel& model = *ed->Model();
  const int length = model.ViewColumnOf(TrkDsc::kSection_Length);
  ASSERT_TRUE(model.setData(model.index(3, length), "81", Qt::EditRole));
  ASSERT_TRUE(model.setData(model.index(3, length), "82", Qt::EditRole));
  ASSERT_TRUE(model.setData(model.index(3, length), "83", Qt::EditRole));
  EXPECT_EQ(view.Builds(), before);  // not on every keystroke
  EXPECT_TRUE(WaitFor([&] { return view.Builds() == before + 1; }, 3000));
  QTest::qWait(600);
  EXPECT_EQ(view.Builds(), before + 1);  // one rebuild for the burst
  EXPECT_TRUE(view.HasTrack());

  // Without sections there is no track: an empty map with a notice, and
  // nothing shown to the user. Undo brings the track back.
  std::vector<int> all;
  for (int r = 0; r < model.rowCount(); ++r) all.push_back(r);
  ASSERT_TRUE(ed->RemoveRows(all));
  ui.shown.clear();  // the removal asked first, naming the rows that go with the sections
  ed->RebuildMapNow();
  EXPECT_FALSE(view.HasTrack());
  EXPECT_FALSE(view.Notice().isEmpty());
  EXPECT_EQ(view.Highlight(), -1);
  const QImage empty = Painted(view);  // paints the notice, no crash
  EXPECT_FALSE(empty.isNull());
  EXPECT_TRUE(ui.shown.empty());
  ed->UndoStack()->undo();
  EXPECT_TRUE(WaitFor([&] { return view.HasTrack(); }, 3000));
}

TEST_F(TrackMapView, TheRacingLineBoxDrawsTheComputedLineAndTakesItAway) {
  auto ed = SampleEditor();
  CTrackMapView& view = *ed->MapView();
  auto lineShapes = [&] {
    int n = 0;
    for (const MapShape& s : view.Map().Shapes()) n += s.role == "line";
    return n;
  };
  ASSERT_TRUE(view.HasTrack());
  EXPECT_EQ(lineShapes(), 0);
  auto* box = ed->findChild<QCheckBox*>(QStringLiteral("showLine"));
  ASSERT_NE(box, nullptr);
  box->setChecked(true);
  EXPECT_TRUE(view.HasTrack());
  EXPECT_GT(lineShapes(), 0);
  EXPECT_TRUE(view.LineNotice().isEmpty());
  EXPECT_TRUE(ui.shown.empty());
  box->setChecked(false);
  EXPECT_EQ(lineShapes(), 0);
}

TEST_F(TrackMapView, ANewDescriptionShowsAnEmptyMapWithoutAMessage) {
  auto ed = std::make_unique<LapforgeEdit>(QString(), dialogs);
  EXPECT_FALSE(ed->MapView()->HasTrack());
  EXPECT_FALSE(ed->MapView()->Notice().isEmpty());
  EXPECT_TRUE(ui.shown.empty());
  auto broken = std::make_unique<LapforgeEdit>(QStringLiteral("/nonexistent/track.xml"), dialogs);
  EXPECT_FALSE(broken->MapView()->HasTrack());
  Painted(*broken->MapView());
}

}  // namespace lapforge
