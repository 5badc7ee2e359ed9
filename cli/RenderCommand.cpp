// lapforge render IN.xml OUT.png [--size WxH] [--view top|orbit|drive]
// [--section N]: a picture of the track built from a description, drawn by
// the 3D preview's renderer (in the drawing module) on an OpenGL context
// without a window. The picture is written as every output is: checked
// first, then replacing the file whole.
#include <cstdio>
#include <memory>
#include <string>

#include "cli/Commands.h"
#include "cli/DrawLoader.h"
#include "description/TrkDsc.h"
#include "roads/Lapforge.h"
#include "support/FileString.h"
#include "support/TextFormat.h"
#include "support/UserInterface.h"

namespace lapforge {

namespace {

struct RenderArgs {
  std::string in, out;
  std::string size = "1280x720";
  std::string view = "orbit";
  int section = -1;
};

// "WxH" with both sides from 16 to 8192 pixels.
bool ParseSize(const std::string& text, int& width, int& height) {
  char tail = 0;
  return std::sscanf(text.c_str(), "%dx%d%c", &width, &height, &tail) == 2 && width >= 16 && height >= 16 &&
         width <= 8192 && height <= 8192;
}

int Render(const RenderArgs& args) {
  // The drawing is the module's (Qt and OpenGL); without it there is none.
  std::string why;
  const DrawModule* draw = LoadDrawModule(why);
  if (!draw) {
    UI().Message("rendering needs the desktop build of lapforge (with Qt and OpenGL); " +
                     (why.empty() ? std::string("this one has none") : why),
                 "Render");
    return 1;
  }
  RenderRequest request;
  if (!ParseSize(args.size, request.width, request.height)) {
    UI().Message("--size takes WIDTHxHEIGHT in pixels, each from 16 to 8192, not \"" + args.size + "\"", "Render");
    return 1;
  }
  if (ToLower(FileString::Extension(args.out)) != "png") {
    UI().Message("the picture is written as .png, not \"" + args.out + "\"", "Render");
    return 1;
  }
  CLapforge driver;
  if (!driver.OutputsClear({args.out}, {args.in})) return 1;
  std::unique_ptr<TrkDsc> db = driver.DataBaseFromXML(args.in);
  if (!db) return 1;
  if (args.section >= db->Section.Count()) {
    UI().Message(StrFormat("--section %d: the description has %d sections (0 to %d)", args.section,
                           db->Section.Count(), db->Section.Count() - 1),
                 "Render");
    return 1;
  }
  request.db = db.get();
  request.folder = FileString::Path(args.in);
  request.out = args.out;
  request.view = args.view;
  request.section = args.section;
  return draw->render(request);
}

}  // namespace

void AddRenderCommand(CLI::App& app, int& status) {
  auto* cmd = app.add_subcommand("render",
                                "Draw the track of a description in 3D as a PNG picture with OpenGL (on a machine "
                                "without a display, run it under xvfb-run -a)");
  cmd->footer(
      "The picture is drawn with OpenGL 3.3. On a machine without a display, run the command under an X server "
      "of its own: xvfb-run -a lapforge render IN.xml OUT.png (Debian packages xvfb and libgl1-mesa-dri: Mesa's "
      "llvmpipe draws without a graphics card). The textures are read beside the description; a material whose "
      "image is missing is drawn in a flat colour by its grip.");
  auto args = std::make_shared<RenderArgs>();
  cmd->add_option("IN", args->in, "Track description XML to read")->required();
  cmd->add_option("OUT", args->out, "Picture to write (.png)")->required()->check(NonEmptyName());
  cmd->add_option("--size", args->size, "Picture size in pixels, WIDTHxHEIGHT (default 1280x720)");
  cmd->add_option("--view", args->view,
                  "Camera: top (from above, north up), orbit (the whole track from the south, above) or drive "
                  "(a driver's eye just before the start line, or at the start of --section)")
      ->check(CLI::IsMember({"top", "orbit", "drive"}));
  cmd->add_option("--section", args->section,
                  "Tint section N (its position in the Section table, from 0); the drive view starts there")
      ->check(CLI::Range(0, 1 << 20));
  cmd->callback([args, &status]() { status = Render(*args); });
}

}  // namespace lapforge
