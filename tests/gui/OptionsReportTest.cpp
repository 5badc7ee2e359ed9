#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include "gui/GuiSupport.h"
#include "gui/OptionsDialog.h"
#include "gui/StatusWindow.h"
#include "support/RegOption.h"
#include "tests/gui/GuiDoubles.h"
#include "tests/support/TestSupport.h"

namespace lapforge {

TEST(OptionsDialog, CleanSettingsShowTheDefaultsAndOnlyOkStores) {
  CScopedSettings settings;
  {
    COptionsDialog d;
    EXPECT_EQ(d.windowTitle(), "LapforgeOptions");
    EXPECT_EQ(d.TsoXyz()->text(), "Read PTF TSO Coordinates as XYZ");
    EXPECT_EQ(d.FromGplTrk()->text(), "GPL .TRK create by GPLTRK");
    EXPECT_EQ(d.AutoMaterials()->text(), "Auto generate material names");
    EXPECT_FALSE(d.TsoXyz()->isChecked());
    EXPECT_TRUE(d.FromGplTrk()->isChecked());
    EXPECT_TRUE(d.AutoMaterials()->isChecked());
    // Cancel stores nothing, not even the defaults.
    d.AutoMaterials()->setChecked(false);
    QTest::mouseClick(d.CancelButton(), Qt::LeftButton);
    EXPECT_TRUE(CRegOption::AllStored().empty());
  }
  {
    COptionsDialog d;
    EXPECT_TRUE(d.AutoMaterials()->isChecked());
    d.AutoMaterials()->setChecked(false);
    QTest::mouseClick(d.OkButton(), Qt::LeftButton);
    EXPECT_EQ(d.result(), QDialog::Accepted);
  }
  EXPECT_EQ(CRegOption::GetOption("ISIMaterials", 1), 0);
  EXPECT_EQ(CRegOption::GetOption("TSOXYZ", 1), 0);
  EXPECT_EQ(CRegOption::GetOption("TRKFromGPLTRK", 0), 1);
  // The next dialog reads what was stored.
  COptionsDialog again;
  EXPECT_FALSE(again.AutoMaterials()->isChecked());
}

TEST(CompletionReport, TextsAndElapsedTime) {
  // 1 min 5 s 40 ms is 65 whole seconds and three digits of milliseconds.
  CStatusWindow w(12, 65040);
  EXPECT_EQ(w.windowTitle(), "Lapforge Status");
  EXPECT_EQ(w.CompletedText(), "Operation completed succesfully!");
  EXPECT_EQ(w.FilesText(), "12 File(s) written");
  EXPECT_EQ(w.TimeText(), "In 65.040 seconds");
  EXPECT_TRUE(w.CommentText().isEmpty());
  EXPECT_EQ(FormatElapsed(1500), "1.500");
  EXPECT_EQ(FormatElapsed(7), "0.007");
  EXPECT_EQ(FormatElapsed(0), "0.000");
}

TEST(CompletionReport, ToolWindowNotModalStaysUntilClosed) {
  QElapsedTimer start;
  start.start();
  QPointer<CStatusWindow> w = CStatusWindow::OperationCompleted(1, start);
  ASSERT_TRUE(w);
  EXPECT_TRUE(w->isVisible());
  EXPECT_FALSE(w->isModal());
  EXPECT_EQ(w->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
  EXPECT_EQ(w->FilesText(), "1 File(s) written");
  // No timer closes it: it is there after the five seconds it used to stay.
  EXPECT_TRUE(w->findChildren<QTimer*>().isEmpty());
  QTest::mouseClick(w->OkButton(), Qt::LeftButton);
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(w.isNull());
}

TEST(Pickers, QtNameFilterListsBothSpellingsOfTheExtension) {
  EXPECT_EQ(CQtFileDialogs::NameFilter(CBrowser::Filter("XML")), "XML files (*.XML *.xml)");
  EXPECT_EQ(CQtFileDialogs::NameFilter(CBrowser::Filter("cam")), "cam files (*.cam)");
  EXPECT_EQ(CQtFileDialogs::NameFilter(CBrowser::Filter("rFactor")), "rFactor files (*.rFactor *.rfactor)");
}

}  // namespace lapforge
