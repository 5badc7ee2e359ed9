// Writes the seed corpus of the racing-line reader: lines of both record
// types, one shorter and one longer than the fuzz track, a line far off the
// track, a file of another version and a cut-short file.
#include <string>
#include <vector>

#include "fuzz/SeedWriter.h"
#include "tests/support/formats/LpCamFiles.h"

using namespace lapforge;

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  CSeedWriter seeds(argv[1]);
  std::vector<float> wavy(110);
  for (size_t i = 0; i < wavy.size(); ++i) wavy[i] = static_cast<float>(i % 9) - 4.0f;
  seeds.Put("race2.lp", BuildLp(wavy, 2));
  seeds.Put("race3.lp", BuildLp(wavy, 3));
  seeds.Put("short.lp", BuildLp(LpLaterals(20, 2)));
  seeds.Put("far.lp", BuildLp(LpLaterals(100, 1e30f)));
  seeds.Put("version2.lp", BuildLp(wavy, 2, 2));
  std::vector<uint8_t> cut = BuildLp(wavy, 3);
  cut.resize(cut.size() - 5);
  seeds.Put("cut.lp", cut);
  return seeds.Finish();
}
