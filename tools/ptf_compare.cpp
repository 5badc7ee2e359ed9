// Compares two PTF files that should be the same track written on two
// systems: byte for byte, except that a double may differ by as much as
// the last bits the systems' sine, cosine and friends differ in.
//
//   ptf_compare REFERENCE OTHER     exit 0 same, 1 different, 2 unreadable
//
// Where the doubles lie comes from writing the reference back with the
// record writer, which notes the offset of every double it writes; that
// write must give the reference's bytes again, else the files are compared
// byte for byte.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "ptf/RecordFile.h"
#include "support/FileIO.h"

using namespace lapforge;

namespace {

// Two doubles are the same number when they differ by at most 1e-12 of
// the larger, or by 1e-12 for numbers below 1 (coordinates in metres near
// zero come out of sums of large terms).
constexpr double kTolerance = 1e-12;

bool Close(double a, double b) {
  return std::fabs(a - b) <= kTolerance * std::max({1.0, std::fabs(a), std::fabs(b)});
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: ptf_compare REFERENCE OTHER\n");
    return 2;
  }
  std::vector<uint8_t> a, b;
  for (auto [path, bytes] : {std::pair{argv[1], &a}, std::pair{argv[2], &b}}) {
    if (Result read = ReadWholeFile(path, *bytes); !read) {
      std::fprintf(stderr, "%s\n", read.Text().c_str());
      return 2;
    }
  }
  if (a == b) {
    std::printf("identical\n");
    return 0;
  }
  if (a.size() != b.size()) {
    std::printf("different: %zu and %zu bytes\n", a.size(), b.size());
    return 1;
  }
  std::vector<size_t> doubles;
  CN5Root root;
  if (root.ReadFromBuffer(a, argv[1]) && root.UnrecognizedKinds().empty()) {
    root.keepAllTsoReferences = true;
    root.keepReadWallTies = true;
    root.ResetWriteIds();
    root.doubleOffsets = &doubles;
    if (root.WriteToBuffer() != a) {
      std::fprintf(stderr, "%s does not write back to the same bytes: compared byte for byte\n", argv[1]);
      doubles.clear();
    }
  }
  std::vector<bool> inDouble(a.size(), false);
  for (size_t at : doubles)
    for (size_t i = at; i < at + 8 && i < a.size(); ++i) inDouble[i] = true;
  size_t near = 0, far = 0;
  double largest = 0;
  for (size_t at : doubles) {
    if (at + 8 > a.size() || std::memcmp(&a[at], &b[at], 8) == 0) continue;
    double x, y;
    std::memcpy(&x, &a[at], 8);
    std::memcpy(&y, &b[at], 8);
    if (Close(x, y)) {
      ++near;
      largest = std::max(largest, std::fabs(x - y));
    } else {
      ++far;
      std::printf("double at byte %zu: %.17g and %.17g\n", at, x, y);
    }
  }
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i] && !inDouble[i]) {
      std::printf("byte %zu differs: %02x and %02x\n", i, a[i], b[i]);
      return 1;
    }
  }
  if (far) {
    std::printf("different: %zu doubles beyond %g\n", far, kTolerance);
    return 1;
  }
  std::printf("same within %g: %zu of %zu doubles differ, by %.3g at most\n", kTolerance, near, doubles.size(),
              largest);
  return 0;
}
