// Fuzz target for the whole GPL import road: the bytes of a .TRK file with
// its texture list and track.ini beside it (see RoadFuzz.h) read into a
// description, which is written as XML in memory and must read back to the
// same XML. Any input either imports or is refused with a message.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "description/TrkDsc.h"
#include "fuzz/RoadFuzz.h"
#include "mapping/GplMapping.h"

using namespace lapforge;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace roadfuzz;
  static CQuietUI quiet;
  SetUserInterface(&quiet);
  const Parts parts = Split(data, size);
  const std::string path = CScratch::Put("fuzz.trk", parts.track);
  CScratch::Put("fuzz.tex", parts.tex, parts.hasTex);
  CScratch::Put("track.ini", parts.ini, parts.hasIni);
  CScratch::Remember("_blank.tex");
  // Odd sizes read the track as one made by the GPLTRK tool.
  Result read;
  std::unique_ptr<TrkDsc> ds = DataBaseFromGplTrk(path, size % 2 == 1, true, read);
  if (ds) CheckXmlRoundTrip(*ds);
  return 0;
}
