// Fuzz target for the camera list reader and the camera writer: any input
// is either refused with a format error or gives cameras that fit the file;
// cameras placed on a small track never write a value that is not a number.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "formats/aiw/CameraFile.h"
#include "fuzz/SmallTrack.h"
#include "support/Errors.h"
#include "track/N5Ptf.h"

using namespace lapforge;

namespace {

// A 400 m track of two straights and an arc, one band across.
CN5Ptf& SmallTrack() {
  static const fuzztrack::Piece pieces[] = {{0, 100, 0}, {1, 200, 3.1}, {0, 100, 0}};
  static CN5Ptf* track = fuzztrack::ChainPieces(pieces, [](CN5Ptf& t, int s) {
    t.CreateNewTraction(s, -8, -8, 1, 0, 0, 0, {});
    t.CreateNewTraction(s, 8, 8, 5, 0, 0, 0, {});
  });
  return *track;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<_vars_source_cam> cams;
  try {
    cams = CZWriteCam::ReadCameras({data, size}, "fuzz.cam");
  } catch (const CFormatError&) {
    return 0;
  }
  if (16 + cams.size() * 56 + 4 > size) std::abort();
  CZWriteCam writer;
  std::string text;
  try {
    text = writer.BuildCam(SmallTrack(), cams);
  } catch (const CInvalidArgument&) {
    return 0;
  }
  if (text.find("nan") != std::string::npos || text.find("inf") != std::string::npos) std::abort();
  size_t blocks = 0;
  for (size_t at = 0; (at = text.find("Cam=", at)) != std::string::npos; ++at) ++blocks;
  if (blocks != cams.size()) std::abort();
  return 0;
}
