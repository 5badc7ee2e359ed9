// The command line's drawing through Qt (the PNG track map and the 3D
// render) as a module of its own, lapforge-draw.so, built only where Qt is
// found. lapforge links no Qt: it loads the module (cli/DrawLoader.h) only
// when a PNG map or a render is asked for, so every other command starts
// without loading Qt. The module takes the program's own core (the
// executable exports it), so the messages, the user-interface port and the
// file writing are the program's.
#pragma once

#include <string>

#include "support/Result.h"

namespace lapforge {

class CTrackMap;
class TrkDsc;

// Bumped whenever DrawModule or RenderRequest change, so that a module left
// from another build is refused rather than called wrongly.
inline constexpr int kDrawModuleVersion = 1;

// What `lapforge render` draws, checked by the command line already.
struct RenderRequest {
  const TrkDsc* db = nullptr;
  std::string folder;  // the description's folder, where textures are read
  std::string out;     // the .png to write
  int width = 0, height = 0;
  std::string view;  // top, orbit or drive
  int section = -1;  // the section to tint, -1 for none
};

struct DrawModule {
  int version = kDrawModuleVersion;
  // Paints the map and writes it as a PNG file.
  Result (*writeMapPng)(const CTrackMap& map, const std::string& path) = nullptr;
  // Draws the track and writes the picture; shows what went wrong through
  // the user-interface port. Returns the exit status.
  int (*render)(const RenderRequest& request) = nullptr;
};

}  // namespace lapforge

// The module's one entry point: its functions, or null when it was built
// for another version of the interface.
extern "C" const lapforge::DrawModule* lapforge_draw_module(int version);
