// Writes the seed corpus of the racing-line reader: lines of both record
// types, one shorter and one longer than the fuzz track, a line far off the
// track, a file of another version and a cut-short file.
#include <cstdio>
#include <string>
#include <vector>

#include "app/support/FileIO.h"
#include "tests/support/formats/LpCamFiles.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::string dir = argv[1], error;
  int n = 0, wanted = 0;
  auto put = [&](const std::string& name, const std::vector<uint8_t>& bytes) {
    ++wanted;
    if (ReplaceFile(JoinPath(dir, name), bytes, error)) ++n;
  };
  std::vector<float> wavy(110);
  for (size_t i = 0; i < wavy.size(); ++i) wavy[i] = static_cast<float>(i % 9) - 4.0f;
  put("race2.lp", BuildLp(wavy, 2));
  put("race3.lp", BuildLp(wavy, 3));
  put("short.lp", BuildLp(LpLaterals(20, 2)));
  put("far.lp", BuildLp(LpLaterals(100, 1e30f)));
  put("version2.lp", BuildLp(wavy, 2, 2));
  std::vector<uint8_t> cut = BuildLp(wavy, 3);
  cut.resize(cut.size() - 5);
  put("cut.lp", cut);
  std::printf("%d seeds written\n", n);
  return n == wanted ? 0 : 1;
}
