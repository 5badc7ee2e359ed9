// Fuzz target for the racing-line reader and the AI waypoint writer: any
// input is either refused with a format error or gives laterals that fit
// the file; the waypoints written from them on a small track never hold a
// value that is not a number, whatever the laterals.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "formats/aiw/AiwFile.h"
#include "fuzz/SmallTrack.h"
#include "support/Errors.h"
#include "track/N5Ptf.h"

using namespace lapforge;

namespace {

// A 300 m track: a straight and a left arc, drivable from -5 to 5 between
// walls at -7 and 7.
CN5Ptf& SmallTrack() {
  static const fuzztrack::Piece pieces[] = {{0, 150, 0}, {1, 150, 1.2}};
  static CN5Ptf* track = fuzztrack::ChainPieces(pieces, [](CN5Ptf& t, int s) {
    t.CreateNewTraction(s, -6, -6, 5, 0, 0, 0, {});
    t.CreateNewTraction(s, -5, -5, 1, 0, 0, 0, {});
    t.CreateNewTraction(s, 5, 5, 5, 0, 0, 0, {});
    t.CreateNewTraction(s, 6, 6, 5, 0, 0, 0, {});
    t.CreateNewWall(s, -7, -7, 2049, 1, {}, 0.3, 0.3, 0, 0, 0, 0);
    t.CreateNewWall(s, 7, 7, 2049, 1, {}, 0.3, 0.3, 0, 0, 0, 0);
  });
  return *track;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<float> laterals;
  try {
    CLReadLP::ParseLP({data, size}, "fuzz.lp", laterals);
  } catch (const CFormatError&) {
    if (!laterals.empty()) std::abort();
    return 0;
  }
  if (laterals.size() * 20 > (size < 8 ? 0 : size - 8)) std::abort();
  if (laterals.empty()) return 0;

  // The laterals as both race and pit lines, the pit line reversed, so that
  // short and long lines, clamping and extreme values all reach the writer.
  CLReadLP lp;
  lp.spacing = 3;
  lp.lines.resize(laterals.size());
  for (size_t i = 0; i < laterals.size(); ++i) {
    lp.lines[i].race = laterals[i];
    lp.lines[i].pit = laterals[laterals.size() - 1 - i];
  }
  lp.intervals = static_cast<int>(lp.lines.size()) - 1;
  VARS_AIW_TRACK_INFO info;
  info.mergePitIn = 250;
  info.mergePitOut = 60;
  info.stallsLongStart = 270;
  info.stallsLongEnd = 20;
  info.stallsLatStart = -4;
  info.stallsLatEnd = -4;
  info.pollPositionLeft = static_cast<uint8_t>(size & 1);
  CZWriteAIW writer;
  std::string text;
  try {
    text = writer.BuildAiw(SmallTrack(), info, lp, 1);
  } catch (const CInvalidArgument&) {
    return 0;
  }
  if (text.find("nan") != std::string::npos || text.find("inf") != std::string::npos) std::abort();
  if (text.find("number_waypoints=" + std::to_string(writer.waypoints.size()) + "\r\n") == std::string::npos)
    std::abort();
  return 0;
}
