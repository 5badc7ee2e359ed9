#include "support/Memory.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <limits>

#include "support/System.h"
#include "support/TextFormat.h"

namespace lapforge {

double AvailableMemory() { return sys::FreeMemory(); }

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
