// lapforge-gui: the desktop front. The main window lives for the whole run;
// the program ends when it closes, after any conversion still running has
// written its files. A file named on the command line is opened as if it
// had been dropped on the window; --help and --version answer on stdout.
#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "gui/GuiSupport.h"
#include "gui/MainWindow.h"
#include "support/Memory.h"

using namespace lapforge;

namespace {

const char* const kUsage =
    "Usage: lapforge-gui [FILE]\n"
    "The Lapforge desktop program: converts track descriptions (XML) to racing-sim game files and\n"
    "reads game tracks back, with a table editor for descriptions.\n"
    "\n"
    "  FILE       a track description (.xml) to open in the table editor, or a NASCAR (.ptf) or\n"
    "             GPL (.trk) track to import into a new description\n"
    "  --help     print this text and exit\n"
    "  --version  print the version and exit\n"
    "\n"
    "Qt's own options (-platform, -style, ...) are accepted as well.\n";

}  // namespace

int main(int argc, char** argv) {
  // Answered before any window system is needed.
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("lapforge-gui %s\n", LAPFORGE_VERSION);
      return 0;
    }
  }
  KeepFreedMemory();
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Lapforge"));
  QApplication::setApplicationVersion(QStringLiteral(LAPFORGE_VERSION));
  QApplication::setQuitOnLastWindowClosed(false);
  CQtUserInterface ui;
  CMainWindow window;
  QObject::connect(&window, &CMainWindow::Closed, &app, &QCoreApplication::quit);
  window.show();
  // Qt has taken its own options out of the arguments; what is left is the file.
  const QStringList args = QApplication::arguments();
  if (args.size() > 2) {
    std::fputs("lapforge-gui: one file at most\n", stderr);
    return 2;
  }
  if (args.size() == 2) {
    const QString file = args[1];
    QTimer::singleShot(0, &window, [&window, file] { window.OpenFile(file); });
  }
  app.exec();
  CQtUserInterface::SetShuttingDown();
  CConversionRunner::WaitForAll();
  return 0;
}
