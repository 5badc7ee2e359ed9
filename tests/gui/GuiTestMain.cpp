// The desktop tests need a QApplication; they run on Qt's offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // The help pages of the source tree stand in for those beside the program.
  if (qEnvironmentVariableIsEmpty("LAPFORGE_HELP")) qputenv("LAPFORGE_HELP", LAPFORGE_HELP_DIR);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
