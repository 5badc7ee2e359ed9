#include "cli/DrawLoader.h"

#ifndef _WIN32
#include <dlfcn.h>
#include <unistd.h>
#endif

namespace lapforge {

#ifdef _WIN32

// The Windows build has no Qt and so no module; the commands say what
// this build does instead.
const DrawModule* LoadDrawModule(std::string& why) {
  why.clear();
  return nullptr;
}

#else

namespace {

const char kModuleName[] = "lapforge-draw.so";

// The folder of the running program, from /proc/self/exe (the file itself,
// wherever it was started from and through whichever link).
std::string ExecutableFolder() {
  char buf[4096];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf);
  if (n <= 0 || static_cast<size_t>(n) >= sizeof buf) return {};
  std::string path(buf, static_cast<size_t>(n));
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

const DrawModule* Load(std::string& why) {
  const std::string folder = ExecutableFolder();
  if (folder.empty()) {
    why = std::string(kModuleName) + " cannot be looked for: the program's own path is unknown";
    return nullptr;
  }
  // Beside the program in the build tree; in the library folder once installed.
  const std::string candidates[] = {folder + "/" + kModuleName,
                                    folder + "/" LAPFORGE_DRAW_RELDIR "/" + kModuleName};
  for (const std::string& path : candidates) {
    if (access(path.c_str(), F_OK) != 0) continue;
    // Resolved whole now, so that a module that does not fit the program
    // fails here and not in the middle of drawing.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
      const char* error = dlerror();
      why = path + " could not be loaded: " + (error ? error : "unknown error");
      return nullptr;
    }
    using Entry = const DrawModule* (*)(int);
    auto entry = reinterpret_cast<Entry>(dlsym(handle, "lapforge_draw_module"));
    const DrawModule* module = entry ? entry(kDrawModuleVersion) : nullptr;
    if (!module) {
      dlclose(handle);
      why = path + " does not belong to this version of lapforge";
      return nullptr;
    }
    // The module stays loaded to the end: Qt does not unload cleanly.
    return module;
  }
  why = std::string(kModuleName) + " is neither beside the program nor in " + folder + "/" LAPFORGE_DRAW_RELDIR;
  return nullptr;
}

}  // namespace

const DrawModule* LoadDrawModule(std::string& why) {
  static std::string error;
  static const DrawModule* module = Load(error);
  why = error;
  return module;
}

#endif

}  // namespace lapforge
