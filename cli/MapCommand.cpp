// lapforge map IN.xml OUT.svg|OUT.png [--size W] [--line]: a top view of the
// track built from a description, with --line the computed racing line
// coloured by speed. The SVG is written by the map itself; the PNG
// is painted with Qt by the drawing module, loaded only then.
#include <cstdio>
#include <memory>

#include "cli/Commands.h"
#include "cli/DrawLoader.h"
#include "description/TrkDsc.h"
#include "roads/Lapforge.h"
#include "roads/TrackMap.h"
#include "support/FileIO.h"
#include "support/FileString.h"
#include "support/OutputCheck.h"
#include "support/TextFormat.h"
#include "support/UserInterface.h"

namespace lapforge {

namespace {

struct MapArgs {
  std::string in, out;
  int size = 1200;
  bool line = false;
  LineOptions options;
};

int WriteMap(const MapArgs& args) {
  const std::string ext = ToLower(FileString::Extension(args.out));
  const bool png = ext == "png" || ext == ".png";
  if (!png && ext != "svg" && ext != ".svg") {
    UI().Message("the map is written as .svg or .png, not \"" + args.out + "\"", "Map");
    return 0;
  }
  const DrawModule* draw = nullptr;
  if (png) {
    std::string why;
    draw = LoadDrawModule(why);
    if (!draw) {
      UI().Message("a PNG map needs the desktop build of lapforge (with Qt); " +
                       (why.empty() ? std::string("this one writes maps as .svg only") : why),
                   "Map");
      return 0;
    }
  }
  if (Result clear = CheckOutputs({args.in}, {args.out}); !clear) {
    UI().Message(clear.Text(), "Map");
    return 0;
  }
  std::unique_ptr<TrkDsc> db = CLapforge().DataBaseFromXML(args.in);
  if (!db) return 0;
  CTrackMap map;
  if (!map.Build(*db, args.size, args.line ? &args.options : nullptr)) return 0;
  const Result written = draw ? draw->writeMapPng(map, args.out) : ReplaceFile(args.out, map.ToSvg());
  if (!written) {
    UI().Message(written.Text(), "Map");
    return 0;
  }
  return 1;
}

}  // namespace

void AddMapCommand(CLI::App& app, int& status) {
  auto* cmd = app.add_subcommand("map", "Draw a top view of the track of a description as SVG or PNG");
  auto args = std::make_shared<MapArgs>();
  cmd->add_option("IN", args->in, "Track description XML to read")->required();
  cmd->add_option("OUT", args->out, "Picture to write: .svg, or .png")->required()->check(NonEmptyName());
  cmd->add_option("--size", args->size, "Width of the picture in pixels (the height follows the track)")
      ->check(CLI::Range(64, 4096));
  cmd->add_flag("--line", args->line, "Draw the computed racing line, coloured by speed from red to green");
  AddLineOptions(*cmd, args->options);
  cmd->callback([args, &status]() { status = WriteMap(*args) ? 0 : 1; });
}

}  // namespace lapforge
