#include "support/Memory.h"

#include <unistd.h>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <cstdio>
#include <cstring>
#include <limits>

#include "support/TextFormat.h"

namespace lapforge {

double AvailableMemory() {
  if (std::FILE* f = std::fopen("/proc/meminfo", "r")) {
    char line[256];
    double kib = -1;
    while (std::fgets(line, sizeof line, f))
      if (std::sscanf(line, "MemAvailable: %lf kB", &kib) == 1) break;
    std::fclose(f);
    if (kib >= 0) return kib * 1024.0;
  }
  const long pages = sysconf(_SC_AVPHYS_PAGES), size = sysconf(_SC_PAGESIZE);
  if (pages < 0 || size <= 0) return -1;
  return static_cast<double>(pages) * static_cast<double>(size);
}

std::string ByteFigure(double bytes) {
  constexpr double kMB = 1024.0 * 1024.0, kGB = 1024.0 * kMB;
  if (bytes >= kGB) return StrFormat("%.1f GB", bytes / kGB);
  if (bytes >= kMB) return StrFormat("%.1f MB", bytes / kMB);
  return StrFormat("%.0f bytes", bytes);
}

std::string MemoryRefusal(double bytes, const std::string& what) {
  const double available = AvailableMemory();
  if (available < 0 || bytes <= available) return std::string();
  return StrFormat("%s would need about %s of memory, more than the %s available", what.c_str(),
                   ByteFigure(bytes).c_str(), ByteFigure(available).c_str());
}

void KeepFreedMemory() {
#if defined(__GLIBC__)
  // Every request from the heap (none mapped on its own and unmapped when
  // let go), and the heap's top never given back.
  mallopt(M_MMAP_MAX, 0);
  mallopt(M_TRIM_THRESHOLD, std::numeric_limits<int>::max());
#endif
}

}  // namespace lapforge
