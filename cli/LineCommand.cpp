// lapforge line IN.xml OUT.csv|OUT.lp [--margin M] [--grip G] [--step S]:
// the racing line computed for the track of a description, as CSV (one row
// per point with its speed, the lap-time estimate in a closing comment row)
// or as an LP file the AI waypoint road reads.
#include <chrono>
#include <memory>

#include "cli/Commands.h"
#include "roads/Lapforge.h"

namespace lapforge {

namespace {

struct LineArgs {
  std::string in, out;
  LineOptions options;
};

}  // namespace

void AddLineCommand(CLI::App& app, int& status) {
  auto* cmd = app.add_subcommand(
      "line", "Compute the minimum-curvature racing line of a track and write it as CSV or as an LP file");
  auto args = std::make_shared<LineArgs>();
  cmd->add_option("IN", args->in, "Track description XML to read")->required();
  cmd->add_option("OUT", args->out,
                  "File to write: .csv (distance, offset, x, y, z, curvature, speed per point; the lap time in a "
                  "closing '#' row) or .lp (the line's lateral every 3 m)")
      ->required()
      ->check(NonEmptyName());
  AddLineOptions(*cmd, args->options);
  cmd->callback([args, &status]() {
    auto start = std::chrono::steady_clock::now();
    CLapforge driver;
    const int files = driver.Files(&CLapforge::XMLToLine, args->in, args->out, args->options);
    status = files > 0 ? 0 : 1;
    if (files > 0) PrintSummary(files, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  });
}

}  // namespace lapforge
