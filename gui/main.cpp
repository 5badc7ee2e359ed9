// lapforge-gui: the desktop front. The main window lives for the whole run;
// the program ends when it closes, after any conversion still running has
// written its files.
#include <QApplication>

#include "gui/GuiSupport.h"
#include "gui/MainWindow.h"
#include "support/Memory.h"

using namespace lapforge;

int main(int argc, char** argv) {
  KeepFreedMemory();
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Lapforge"));
  QApplication::setQuitOnLastWindowClosed(false);
  CQtUserInterface ui;
  CMainWindow window;
  QObject::connect(&window, &CMainWindow::Closed, &app, &QCoreApplication::quit);
  window.show();
  app.exec();
  CQtUserInterface::SetShuttingDown();
  CConversionRunner::WaitForAll();
  return 0;
}
