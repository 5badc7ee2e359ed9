// The desktop tests need a QApplication; they run on Qt's offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstring>

#if defined(__linux__)
#include <dlfcn.h>
#include <link.h>
#endif

namespace {

// Mesa lets go of its driver when the program closes its display, before
// LeakSanitizer looks: what the driver keeps to the end would then be
// reported without a name. Kept loaded, it is named, and the suppressions
// of the drawing tests' run leave it out.
void KeepOpenGlDriversLoaded() {
#if defined(__linux__)
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void*) {
        const char* name = info->dlpi_name;
        if (name && (std::strstr(name, "_dri.so") || std::strstr(name, "libgallium") || std::strstr(name, "libGLX_mesa")))
          dlopen(name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
        return 0;
      },
      nullptr);
#endif
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // The help pages of the source tree stand in for those beside the program.
  if (qEnvironmentVariableIsEmpty("LAPFORGE_HELP")) qputenv("LAPFORGE_HELP", LAPFORGE_HELP_DIR);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  KeepOpenGlDriversLoaded();
  return result;
}
