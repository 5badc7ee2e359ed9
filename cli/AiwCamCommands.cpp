// lapforge aiw IN.xml [RACE.lp] OUT.aiw and lapforge cam IN.xml IN.cam
// OUT.cam: the table editor's AI waypoint and camera conversions of a
// description. Without an LP file (or with --auto-line) the AI waypoints
// follow the racing line computed for the track.
#include <chrono>
#include <memory>

#include "cli/Commands.h"
#include "roads/Lapforge.h"

namespace lapforge {

namespace {

struct AiwCamArgs {
  std::string xml, in, out;
};

// Registers NAME IN.xml SOURCE OUT whose work is run(driver, xml, source,
// out) returning the driver's result (0 failed, 1 written).
template <class Run>
void AddAiwCam(CLI::App& app, const char* name, const char* help, const char* sourceHelp, const char* outHelp,
               int& status, Run run) {
  auto* cmd = app.add_subcommand(name, help);
  auto args = std::make_shared<AiwCamArgs>();
  cmd->add_option("IN", args->xml, "Track description XML to read")->required();
  cmd->add_option("SOURCE", args->in, sourceHelp)->required();
  cmd->add_option("OUT", args->out, outHelp)->required()->check(NonEmptyName());
  cmd->callback([args, &status, run]() {
    auto start = std::chrono::steady_clock::now();
    CLapforge driver;
    const int result = run(driver, args->xml, args->in, args->out);
    status = result > 0 ? 0 : 1;
    if (result > 0)
      PrintSummary(result, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  });
}

// aiw IN.xml [RACE.lp] OUT.aiw: with two files the first is the LP file and
// the second the output; with one, the output.
void AddAiw(CLI::App& app, int& status) {
  auto* cmd = app.add_subcommand(
      "aiw",
      "Write the AI waypoint file of a track from the racing-line (LP) files beside RACE.lp, or without RACE.lp "
      "from the racing line computed for the track");
  struct Args {
    std::string xml, first, second;
    bool autoLine = false;
    LineOptions options;
  };
  auto args = std::make_shared<Args>();
  cmd->add_option("IN", args->xml, "Track description XML to read")->required();
  cmd->add_option("RACE.lp", args->first,
                  "An LP file in the folder that holds race.lp, pit0.lp or pit.lp (and maxrace.lp, minrace.lp); "
                  "left out, the racing line is computed")
      ->required()
      ->check(NonEmptyName());
  cmd->add_option("OUT", args->second, "AI waypoint file to write")->check(NonEmptyName());
  cmd->add_flag("--auto-line", args->autoLine,
                "Compute the racing line (the same as leaving RACE.lp out); the pass lines are its bounds less the "
                "margin, the pit lane comes from the AIInfo row");
  AddLineOptions(*cmd, args->options);
  cmd->callback([args, &status]() {
    const bool lpGiven = !args->second.empty();
    if (lpGiven && args->autoLine) throw CLI::ValidationError("aiw", "give either RACE.lp or --auto-line, not both");
    const std::string lp = lpGiven ? args->first : std::string();
    const std::string out = lpGiven ? args->second : args->first;
    auto start = std::chrono::steady_clock::now();
    CLapforge driver;
    const int result = driver.XMLToAIW(args->xml, lp, out, args->options);
    status = result > 0 ? 0 : 1;
    if (result > 0)
      PrintSummary(result, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  });
}

}  // namespace

void AddAiwCamCommands(CLI::App& app, int& status) {
  AddAiw(app, status);
  AddAiwCam(app, "cam", "Convert a camera list (MACT) onto the track of a description", "Camera list to read",
            "Camera file to write", status,
            [](CLapforge& d, const std::string& xml, const std::string& in, const std::string& out) {
              return d.XMLToCam(xml, in, out);
            });
}

}  // namespace lapforge
