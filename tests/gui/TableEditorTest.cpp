#include <gtest/gtest.h>

#include <QClipboard>
#include <QDesktopServices>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QUndoStack>
#include <QUrl>

#include "gui/TableEditor.h"
#include "tests/gui/GuiDoubles.h"
#include "tests/support/TestSupport.h"

namespace lapforge {

namespace {

const char* const kSample = LAPFORGE_SOURCE_DIR "/examples/sample-circuit.xml";

class TableEditor : public ::testing::Test {
 protected:
  CScopedSettings settings;
  CTestUI ui;
  CScriptedDialogs dialogs;

  std::unique_ptr<LapforgeEdit> NewEditor() { return std::make_unique<LapforgeEdit>(QString(), dialogs); }
  std::unique_ptr<LapforgeEdit> SampleEditor() { return std::make_unique<LapforgeEdit>(kSample, dialogs); }
};

}  // namespace

TEST_F(TableEditor, OpensWithTheTablesListedAndNothingShown) {
  auto ed = SampleEditor();
  ASSERT_TRUE(ed->Description());
  EXPECT_EQ(ed->windowTitle(), kSample);
  ASSERT_EQ(ed->TableList()->count(), 18);
  EXPECT_EQ(ed->TableList()->item(0)->text(), "TrackSummary");
  EXPECT_EQ(ed->TableList()->item(17)->text(), "PtfBumpDef");
  EXPECT_EQ(ed->Model()->rowCount(), 0);
  EXPECT_EQ(ed->Model()->CurrentView().table, -1);
  EXPECT_EQ(NewEditor()->windowTitle(), "New...");
}

TEST_F(TableEditor, EditorOnAFileThatFailsToLoadOffersOnlyHelpAndClose) {
  auto ed = std::make_unique<LapforgeEdit>(QStringLiteral("/nonexistent/track.xml"), dialogs);
  EXPECT_FALSE(ed->Description());
  EXPECT_EQ(ed->TableList()->count(), 0);
  EXPECT_FALSE(ed->Button("Write PTF")->isEnabled());
  EXPECT_FALSE(ed->Button("TSO Table form PTF")->isEnabled());
  EXPECT_TRUE(ed->Button("Help")->isEnabled());
  EXPECT_TRUE(ed->Button("Close")->isEnabled());
  EXPECT_FALSE(ed->PasteText("1 2 3"));
  EXPECT_EQ(ui.shown.size(), 1u);  // the load failure, once
  EXPECT_TRUE(ed->close());
}

TEST_F(TableEditor, PasteNeedsTwoPartsAndConvertingValues) {
  auto ed = NewEditor();
  TrkDsc& db = *ed->Description();
  ASSERT_TRUE(ed->ShowTable("TrackDetail"));
  QApplication::clipboard()->setText("word");
  EXPECT_FALSE(ed->PasteRow());
  EXPECT_FALSE(ed->PasteText("  word\n"));
  EXPECT_EQ(db.TrackDetail.Count(), 0);
  EXPECT_TRUE(ui.shown.empty());
  // A part that does not convert: the message, and nothing added.
  EXPECT_FALSE(ed->PasteText("1 two 3"));
  EXPECT_EQ(db.TrackDetail.Count(), 0);
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_TRUE(ui.shown[0].text.contains("two"));
  EXPECT_EQ(ed->UndoStack()->count(), 0);
}

TEST_F(TableEditor, PasteOfFiveValuesFillsTheFirstFiveTrackDetailColumns) {
  auto ed = NewEditor();
  TrkDsc& db = *ed->Description();
  ASSERT_TRUE(ed->ShowTable("trackdetail"));
  QApplication::clipboard()->setText("10.5 -3\t2 0.25\n45");
  ASSERT_TRUE(ed->PasteRow());
  ASSERT_EQ(db.TrackDetail.Count(), 1);
  TrkDsc::TrackDetailRow r = db.TrackDetail[0];
  EXPECT_EQ(r.longtiude(), 10.5);
  EXPECT_EQ(r.latitude(), -3);
  EXPECT_EQ(r.length(), 2);
  EXPECT_EQ(r.width(), 0.25);
  EXPECT_EQ(r.angle(), 45);
  EXPECT_TRUE(r.IsuNull());
  EXPECT_TRUE(r.IsvNull());
  EXPECT_TRUE(r.IstexNull());
}

TEST_F(TableEditor, CopiedMaterialRowPastesAsAnEqualRow) {
  auto ed = NewEditor();
  TrkDsc& db = *ed->Description();
  db.Material.AddMaterialRow("grass main", "grass 01.dds", 1, "LLE a b", "WGrip 2051 Index 3 Side Section 0");
  ASSERT_TRUE(ed->ShowTable("Material"));
  ed->CopyRow(0);
  EXPECT_EQ(QApplication::clipboard()->text(),
            "grass|main\tgrass|01.dds\t1\tLLE|a|b\tWGrip|2051|Index|3|Side|Section|0");
  ASSERT_TRUE(ed->PasteRow());
  ASSERT_EQ(db.Material.Count(), 2);
  for (int c = 0; c < db.Material.Table().ColumnCount(); ++c)
    EXPECT_TRUE(db.Material.Table().Row(0).Value(c) == db.Material.Table().Row(1).Value(c)) << "column " << c;
}

TEST_F(TableEditor, CopiedRowWithANullColumnKeepsTheLaterValuesInPlace) {
  auto ed = NewEditor();
  TrkDsc& db = *ed->Description();
  TrkDsc::TrackDetailRow r = db.TrackDetail.NewTrackDetailRow();
  r.Setlongtiude(5);
  r.Setwidth(2);
  r.Settex("paint line");
  db.TrackDetail.AddTrackDetailRow(r);
  ASSERT_TRUE(ed->ShowTable("TrackDetail"));
  ed->CopyRow(0);
  ASSERT_TRUE(ed->PasteRow());
  ASSERT_EQ(db.TrackDetail.Count(), 2);
  TrkDsc::TrackDetailRow p = db.TrackDetail[1];
  EXPECT_EQ(p.longtiude(), 5);
  EXPECT_TRUE(p.IslatitudeNull());
  EXPECT_EQ(p.width(), 2);
  EXPECT_EQ(p.tex(), "paint line");
}

TEST_F(TableEditor, PasteInAChildViewGivesTheRowThatParent) {
  auto ed = SampleEditor();
  TrkDsc& db = *ed->Description();
  ASSERT_TRUE(ed->ShowTable("Section"));
  const int tractions = db.Traction.Count();
  ed->ShowChildren(2, TrkDsc::kRel_Section_Traction);
  const int shown = ed->Model()->rowCount();
  EXPECT_EQ(shown, static_cast<int>(db.Section[2].GetTractionRows().size()));
  ASSERT_TRUE(ed->PasteText("-20\t-21\t5\t0"));
  EXPECT_EQ(db.Traction.Count(), tractions + 1);
  EXPECT_EQ(ed->Model()->rowCount(), shown + 1);
  auto children = db.Section[2].GetTractionRows();
  EXPECT_EQ(children.back().Lat_Start(), -20);
  EXPECT_EQ(children.back().Grip(), 5);
  ed->Back();
  EXPECT_EQ(ed->Model()->CurrentView().table, TrkDsc::kTable_Section);
  EXPECT_EQ(ed->CurrentRow(), 2);
}

TEST_F(TableEditor, DoubleClickJumpsByTheRuleOfTheTableShown) {
  auto ed = NewEditor();
  TrkDsc& db = *ed->Description();
  TrkDsc::SectionRow s = db.Section.AddSectionRow(0, 0, 0.0, 100.0, 0.0, 0.0, 0.0, 0.0);
  TrkDsc::TractionRow t = db.Traction.NewTractionRow();
  t.SetGrip(2051);
  t.SetTextureIndex(3);
  t.SetSectionRow(s);
  db.Traction.AddTractionRow(t);
  TrkDsc::TractionTexRow tt = db.TractionTex.NewTractionTexRow();
  tt.SetGrip(2051);
  tt.SetTextureIndex(2);
  tt.SetTex("Asphalt");
  db.TractionTex.AddTractionTexRow(tt);
  for (int index : {1, 3}) {
    TrkDsc::WallTexRow w = db.WallTex.NewWallTexRow();
    w.SetGrip(2051);
    w.SetTextureIndex(index);
    w.SetTexLeft("fence");
    db.WallTex.AddWallTexRow(w);
  }
  db.Material.AddMaterialRow("zebra");
  db.Material.AddMaterialRow("FENCE");
  db.Material.AddMaterialRow("asphalt");

  // Traction (2051, 3): no such TractionTex row, so the WallTex one.
  ASSERT_TRUE(ed->ShowTable("Traction"));
  ed->JumpFrom(0);
  EXPECT_EQ(ed->Model()->CurrentView().table, TrkDsc::kTable_WallTex);
  EXPECT_EQ(ed->TableList()->currentRow(), TrkDsc::kTable_WallTex);
  EXPECT_EQ(ed->CurrentRow(), 1);

  // WallTex -> Material by any face texture, ignoring case; the material
  // view is sorted by name.
  ed->JumpFrom(1);
  EXPECT_EQ(ed->Model()->CurrentView().table, TrkDsc::kTable_Material);
  EXPECT_EQ(ed->DisplayOrder(), (std::vector<int>{2, 1, 0}));
  EXPECT_EQ(ed->CurrentRow(), 1);

  // Material -> TractionTex by Tex.
  ed->JumpFrom(2);
  EXPECT_EQ(ed->Model()->CurrentView().table, TrkDsc::kTable_TractionTex);
  EXPECT_EQ(ed->CurrentRow(), 0);

  // No match anywhere: the grid stays on the last target table.
  ASSERT_TRUE(ed->ShowTable("Material"));
  ed->JumpFrom(0);  // "zebra"
  EXPECT_EQ(ed->Model()->CurrentView().table, TrkDsc::kTable_WallTex);

  // Other tables do nothing.
  ASSERT_TRUE(ed->ShowTable("Section"));
  ed->JumpFrom(0);
  EXPECT_EQ(ed->Model()->CurrentView().table, TrkDsc::kTable_Section);
}

TEST_F(TableEditor, HelpTopicFollowsTheTableShown) {
  CUrlCatcher urls;
  auto ed = NewEditor();
  EXPECT_EQ(ed->HelpTopic(), 117);
  ASSERT_TRUE(ed->ShowTable("TractionTexCoord"));
  EXPECT_EQ(ed->HelpTopic(), 117);
  ed->Button("Help")->click();
  ASSERT_EQ(urls.opened.size(), 1u);
  EXPECT_TRUE(urls.opened[0].isLocalFile());
  EXPECT_EQ(urls.opened[0].toLocalFile(), QStringLiteral(LAPFORGE_HELP_DIR "/tables.html"));
  ed->Description()->Section.AddSectionRow(0, 0);
  ASSERT_TRUE(ed->ShowTable("Section"));
  ed->ShowChildren(0, TrkDsc::kRel_Section_Contour);
  ASSERT_EQ(ed->Model()->CurrentView().table, TrkDsc::kTable_Contour);
  EXPECT_EQ(ed->HelpTopic(), 104);
  ASSERT_TRUE(ed->ShowTable("aiinfo"));
  EXPECT_EQ(ed->HelpTopic(), 119);
  // Every topic has its page.
  for (int topic = 101; topic <= 119; ++topic)
    EXPECT_TRUE(QFileInfo::exists(CHelp::Folder() + '/' + CHelp::PageName(topic))) << topic;
}

TEST_F(TableEditor, ClosingAsksOnlyWithUnsavedChangesAndCancelKeepsThem) {
  // A copy of the sample: Yes saves over the file that was opened.
  CTempDir dir;
  const std::string file = dir.File("Opened.xml");
  WriteText(file, ReadText(kSample));
  auto ed = std::make_unique<LapforgeEdit>(QString::fromStdString(file), dialogs);
  ed->show();
  EXPECT_TRUE(ed->close());  // nothing changed: no question
  EXPECT_TRUE(ui.shown.empty());

  ed->show();
  ASSERT_TRUE(ed->ShowTable("TrackSummary"));
  const QModelIndex name = ed->Model()->index(0, 0);
  ASSERT_TRUE(ed->Model()->setData(name, "Renamed", Qt::EditRole));
  ui.answers = {UiAnswer::Cancel};
  EXPECT_FALSE(ed->close());
  EXPECT_TRUE(ed->isVisible());
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text.toStdString(), "Save Database?\n" + file);
  EXPECT_EQ(ed->Description()->TrackSummary[0].Name(), "Renamed");
  EXPECT_EQ(ed->windowTitle().toStdString(), file + "*");

  // Yes writes over the file opened, without a picker, then closes.
  ui.answers = {UiAnswer::Yes};
  EXPECT_TRUE(ed->close());
  EXPECT_NE(ReadText(file).find("<Name>Renamed</Name>"), std::string::npos);
  EXPECT_TRUE(dialogs.asked.empty());

  // A new description: Yes with the picker cancelled keeps the editor and
  // its edits; with a file it writes it, then closes.
  auto fresh = NewEditor();
  fresh->show();
  ASSERT_TRUE(fresh->ShowTable("Material"));
  ASSERT_TRUE(fresh->AddRow());
  EXPECT_EQ(fresh->windowTitle(), "New...*");
  ui.answers = {UiAnswer::Yes};
  EXPECT_FALSE(fresh->close());
  EXPECT_TRUE(fresh->isVisible());
  dialogs.answers = {dir.File("saved.xml")};
  ui.answers = {UiAnswer::Yes};
  EXPECT_TRUE(fresh->close());
  EXPECT_TRUE(Exists(dir.File("saved.xml")));
  EXPECT_EQ(dialogs.asked.back().request.defaultExtension, "XML");
}

TEST_F(TableEditor, UndoOfPasteRemovalAndEditRestoresTheDescriptionExactly) {
  auto ed = SampleEditor();
  TrkDsc& db = *ed->Description();
  const std::string original = db.GetXml();
  QUndoStack& undo = *ed->UndoStack();
  EXPECT_TRUE(undo.isClean());

  // A paste into a child view.
  ASSERT_TRUE(ed->ShowTable("Section"));
  ed->ShowChildren(1, TrkDsc::kRel_Section_Traction);
  ASSERT_TRUE(ed->PasteText("1\t2\t3\t0\ttrue"));
  const std::string pasted = db.GetXml();
  ASSERT_NE(pasted, original);
  EXPECT_FALSE(undo.isClean());
  undo.undo();
  EXPECT_EQ(db.GetXml(), original);
  undo.redo();
  EXPECT_EQ(db.GetXml(), pasted);

  // Removing a section takes its bands, contours and texture coordinates.
  ASSERT_TRUE(ed->ShowTable("Section"));
  ASSERT_TRUE(ed->RemoveRows({1}));
  const std::string removed = db.GetXml();
  EXPECT_LT(removed.size(), pasted.size());
  undo.undo();
  EXPECT_EQ(db.GetXml(), pasted);
  undo.redo();
  EXPECT_EQ(db.GetXml(), removed);
  undo.undo();

  // A cell edit, through the grid's model.
  ASSERT_TRUE(ed->ShowTable("Section"));
  ASSERT_TRUE(ed->Model()->setData(ed->Model()->index(3, ed->Model()->ViewColumnOf(TrkDsc::kSection_Length)), "80",
                                   Qt::EditRole));
  EXPECT_EQ(db.Section[3].Length(), 80);
  EXPECT_FALSE(ed->Model()->setData(ed->Model()->index(3, 0), "-1", Qt::EditRole));  // Index is u16
  undo.undo();
  EXPECT_EQ(db.GetXml(), pasted);

  // Back to the file as loaded, and a row added with Insert in between.
  undo.undo();
  EXPECT_EQ(db.GetXml(), original);
  EXPECT_TRUE(undo.isClean());
  ASSERT_TRUE(ed->ShowTable("Material"));
  ASSERT_TRUE(ed->AddRow());
  EXPECT_NE(db.GetXml(), original);
  undo.undo();
  EXPECT_EQ(db.GetXml(), original);
}

}  // namespace lapforge
