// Fuzz target for the whole PTF import road: the bytes of a track file (and
// a track.ini beside it, see RoadFuzz.h) read into a description, which is
// written as XML in memory and must read back to the same XML. Any input
// either imports or is refused with a message; never a signal.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "description/TrkDsc.h"
#include "fuzz/RoadFuzz.h"
#include "mapping/PtfMapping.h"
#include "ptf/RecordFile.h"

using namespace lapforge;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace roadfuzz;
  static CQuietUI quiet;
  SetUserInterface(&quiet);
  CN5Root::SetReportUnrecognized(false);
  const Parts parts = Split(data, size);
  const std::string path = CScratch::Put("fuzz.ptf", parts.track);
  CScratch::Put("track.ini", parts.ini, parts.hasIni);
  // Odd sizes read the trackside objects as world positions.
  Result read;
  std::unique_ptr<TrkDsc> ds = DataBaseFromPTF(path, size % 2 == 1, true, read);
  if (ds) CheckXmlRoundTrip(*ds);
  return 0;
}
