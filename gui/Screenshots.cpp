// Takes the screenshots of the documentation: the main window, the options
// dialog, the table editor on the sample track and the completion report.
// Run under the offscreen platform:
//   QT_QPA_PLATFORM=offscreen lapforge-gui-shots docs
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTableView>
#include <cstdio>

#include "gui/GuiSupport.h"
#include "gui/MainWindow.h"
#include "gui/OptionsDialog.h"
#include "gui/StatusWindow.h"
#include "gui/TableEditor.h"

using namespace lapforge;

namespace {
bool Save(QWidget& w, const QString& file) {
  w.show();
  QApplication::processEvents();
  const bool ok = w.grab().save(file);
  std::printf("%s %s\n", ok ? "wrote" : "cannot write", qPrintable(file));
  return ok;
}
}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: lapforge-gui-shots OUTDIR\n");
    return 2;
  }
  const QDir out(QString::fromLocal8Bit(argv[1]));
  CQtUserInterface ui;
  CQtFileDialogs dialogs;
  bool ok = true;

  CMainWindow main(&dialogs);
  ok &= Save(main, out.filePath("main-window.png"));

  COptionsDialog options;
  ok &= Save(options, out.filePath("options.png"));

  LapforgeEdit editor(QStringLiteral(LAPFORGE_SOURCE_DIR "/examples/sample-circuit.xml"), dialogs);
  editor.resize(1200, 620);
  editor.ShowTable(QStringLiteral("Section"));
  editor.Grid()->resizeColumnsToContents();
  editor.SelectRow(3);
  ok &= Save(editor, out.filePath("table-editor.png"));

  CStatusWindow status(12, 65040);
  ok &= Save(status, out.filePath("status.png"));
  return ok ? 0 : 1;
}
