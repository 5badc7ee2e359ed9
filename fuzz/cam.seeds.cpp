// Writes the seed corpus of the camera list reader: static and tracking
// cameras in both versions, zones before the line and far beyond a lap, a
// camera with zoom 0, an empty list and a cut-short file.
#include <string>
#include <vector>

#include "fuzz/SeedWriter.h"
#include "tests/support/formats/LpCamFiles.h"

using namespace lapforge;

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  CSeedWriter seeds(argv[1]);
  SourceCam fixed;
  fixed.distance = 50;
  fixed.lateral = -12;
  fixed.height = 6;
  fixed.zoneStart = -30;
  fixed.angle[0] = 0.3f;
  fixed.fov = 0.6f;
  SourceCam near = fixed;
  near.type = 0;
  near.distance = 220;
  near.zoneStart = -200;
  near.zoom = 2;
  SourceCam wide = near;
  wide.distance = 10;
  wide.zoneStart = -5000;
  wide.zoom = 0;
  const std::vector<SourceCam> cams = {fixed, near, wide};
  seeds.Put("v1.cam", BuildCamList(cams, 1, 1));
  seeds.Put("v2.cam", BuildCamList(cams, 2, 2));
  seeds.Put("one.cam", BuildCamList({fixed}, 1, 0));
  seeds.Put("empty.cam", BuildCamList({}, 1, 0));
  std::vector<uint8_t> cut = BuildCamList(cams, 2, 1);
  cut.resize(cut.size() - 7);
  seeds.Put("cut.cam", cut);
  return seeds.Finish();
}
