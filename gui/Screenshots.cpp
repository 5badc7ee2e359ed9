// Takes the screenshots of the documentation: the main window with a menu
// open, the options dialog, the check dialog on a broken description, the
// completion report of an rFactor export of the sample, the help window, and
// the table editor with its map zoomed in and on its 3D tab. Best run on a real X server:
//   xvfb-run -s "-screen 0 1600x1000x24" lapforge-gui-shots docs/screenshots
// (QT_QPA_PLATFORM=offscreen works too, without the open menu).
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QScreen>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>
#include <cstdio>

#include "gui/ExportCheck.h"
#include "gui/GuiSupport.h"
#include "gui/HelpWindow.h"
#include "gui/MainWindow.h"
#include "gui/OptionsDialog.h"
#include "gui/PreviewTab.h"
#include "gui/StatusWindow.h"
#include "gui/TableEditor.h"
#include "gui/TrackMapView.h"
#include "roads/Lapforge.h"

using namespace lapforge;

namespace {

const char* const kSample = LAPFORGE_SOURCE_DIR "/examples/sample-circuit.xml";

void Settle(QWidget& w) {
  w.show();
  w.raise();
  w.activateWindow();
  static_cast<void>(QTest::qWaitForWindowExposed(&w));
  QTest::qWait(300);
}

bool Write(const QPixmap& picture, const QString& file) {
  const bool ok = !picture.isNull() && picture.save(file);
  std::printf("%s %s\n", ok ? "wrote" : "cannot write", qPrintable(file));
  return ok;
}

bool Save(QWidget& w, const QString& file) {
  Settle(w);
  return Write(w.grab(), file);
}

// The screen around a window, frame and open menus included (a real X
// server); the window alone where the screen cannot be read.
bool SaveScreenArea(QWidget& w, const QRect& area, const QString& file) {
  QScreen* screen = w.screen();
  QPixmap shot = screen ? screen->grabWindow(0, area.x(), area.y(), area.width(), area.height()) : QPixmap();
  if (shot.isNull() || QGuiApplication::platformName() == QLatin1String("offscreen")) shot = w.grab();
  return Write(shot, file);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: lapforge-gui-shots OUTDIR\n");
    return 2;
  }
  const QDir out(QString::fromLocal8Bit(argv[1]));
  qputenv("LAPFORGE_HELP", LAPFORGE_SOURCE_DIR "/gui/help");
  CQtUserInterface ui;
  CQtFileDialogs dialogs;
  QTemporaryDir work;
  bool ok = true;

  // The main window at its own size, with the Convert menu open.
  CMainWindow main(&dialogs);
  main.move(40, 40);
  Settle(main);
  QMenu* convert = nullptr;
  for (QAction* a : main.menuBar()->actions())
    if (a->text() == QLatin1String("&Convert")) convert = a->menu();
  if (convert) {
    const QRect bar = main.menuBar()->actionGeometry(convert->menuAction());
    convert->popup(main.menuBar()->mapToGlobal(bar.bottomLeft()));
    QTest::qWait(300);
  }
  const QRect frame = main.frameGeometry();
  QRect area = frame;
  if (convert && convert->isVisible()) area = area.united(convert->geometry());
  ok &= SaveScreenArea(main, area.adjusted(-8, -8, 8, 8), out.filePath("main-window.png"));
  if (convert) convert->hide();

  COptionsDialog options;
  ok &= Save(options, out.filePath("options.png"));

  // The check dialog on the sample with its first straight 225 m too long.
  QFile sample(QString::fromLatin1(kSample));
  if (sample.open(QIODevice::ReadOnly)) {
    QByteArray xml = sample.readAll();
    const qsizetype first = xml.indexOf("<Length>225</Length>");
    if (first >= 0) xml.replace(first, 20, "<Length>450</Length>");
    const QString broken = work.filePath("broken.xml");
    QFile f(broken);
    if (f.open(QIODevice::WriteOnly)) f.write(xml);
    f.close();
    CCheckDialog check(CheckFile(broken.toStdString()).findings, &main);
    ok &= Save(check, out.filePath("check-dialog.png"));
  }

  // The report of an rFactor export of the sample, run as the window runs it.
  {
    const std::string folder = work.filePath("rFactor").toStdString() + "/";
    CConversionRunner runner;
    QEventLoop loop;
    QElapsedTimer start;
    start.start();
    int files = 0;
    runner.Run([folder] { return CLapforge().Files(&CLapforge::XMLtoRFactor, std::string(kSample), folder); },
               [&](int n) {
                 files = n;
                 loop.quit();
               });
    loop.exec();
    CompletionDetails details;
    details.output = QStringLiteral("/home/me/tracks/sample/rFactor/");
    details.folder = true;
    details.warnings = runner.Warnings();
    CStatusWindow status(files, start.elapsed(), QString(), nullptr, details);
    ok &= Save(status, out.filePath("status.png"));
  }

  CHelpWindow* help = CHelpWindow::ShowPage(QStringLiteral(LAPFORGE_SOURCE_DIR "/gui/help/index.html"));
  ok &= Save(*help, out.filePath("help-window.png"));
  help->close();

  // The editor at its own size on the Section table, the map zoomed in on
  // the selected section.
  LapforgeEdit editor(QString::fromLatin1(kSample), dialogs);
  editor.ShowTable(QStringLiteral("Section"));
  editor.Grid()->resizeColumnsToContents();
  editor.SelectRow(3);
  Settle(editor);
  editor.RebuildMapNow();
  CTrackMapView* map = editor.MapView();
  QPoint on(-1, -1);
  for (int y = 0; y < map->height() && on.x() < 0; y += 2)
    for (int x = 0; x < map->width() && on.x() < 0; x += 2)
      if (map->SectionAt(QPointF(x, y)) == 3) on = QPoint(x, y);
  if (on.x() >= 0) map->ZoomAt(QPointF(on), 3.0);
  ok &= Save(editor, out.filePath("table-editor.png"));

  // The same editor on its 3D tab once the scene is built (the software
  // renderer of a virtual X server takes a few seconds), section 3 tinted.
  editor.ViewTabs()->setCurrentWidget(editor.PreviewTab());
  QElapsedTimer waited;
  waited.start();
  do QTest::qWait(100);
  while ((editor.PreviewTab()->Busy() || editor.PreviewTab()->Builds() == 0) && waited.elapsed() < 60000);
  if (!editor.PreviewTab()->HasTrack())
    std::printf("no 3D view: %s\n", qPrintable(editor.PreviewTab()->Notice()));
  ok &= Save(editor, out.filePath("table-editor-3d.png"));
  return ok ? 0 : 1;
}
