// Writes a generated closed circuit as a track description, for trying the
// exports on large tracks by hand (the same generator the tests and
// benchmarks use).
//
// Usage: make_circuit OUT.xml [SECTIONS [LENGTH_M [LONG_RES_M [LAT_RES_M]]]]
//        defaults: 2500 sections, 100 m per section, 1 m by 1 m, banked,
//        one detail every 10 sections.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "description/TrkDsc.h"
#include "roads/Lapforge.h"
#include "tests/support/description/Descriptions.h"

using namespace lapforge;

int main(int argc, char** argv) {
  if (argc < 2 || argc > 6) {
    std::fprintf(stderr, "usage: make_circuit OUT.xml [SECTIONS [LENGTH_M [LONG_RES_M [LAT_RES_M]]]]\n");
    return 2;
  }
  CircuitOptions options;
  options.sections = argc > 2 ? std::atoi(argv[2]) : 2500;
  options.sections += options.sections % 2;
  options.length = argc > 3 ? std::atof(argv[3]) : 100.0 * options.sections;
  options.longRes = argc > 4 ? std::atof(argv[4]) : 1.0;
  options.latRes = argc > 5 ? std::atof(argv[5]) : 1.0;
  options.banked = true;
  options.detailEvery = 10;
  TrkDsc ds;
  FillGeneratedCircuit(ds, options);
  return CLapforge().DataBaseToXML(ds, argv[1]) ? 0 : 1;
}
