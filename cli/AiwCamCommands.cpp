// lapforge aiw IN.xml RACE.lp OUT.aiw and lapforge cam IN.xml IN.cam OUT.cam:
// the table editor's AI waypoint and camera conversions of a description.
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

}  // namespace

void AddAiwCamCommands(CLI::App& app, int& status) {
  AddAiwCam(app, "aiw", "Write the AI waypoint file of a track from the racing-line (LP) files beside RACE.lp",
            "An LP file in the folder that holds race.lp, pit0.lp or pit.lp (and maxrace.lp, minrace.lp)",
            "AI waypoint file to write", status,
            [](CLapforge& d, const std::string& xml, const std::string& lp, const std::string& out) {
              return d.XMLToAIW(xml, lp, out);
            });
  AddAiwCam(app, "cam", "Convert a camera list (MACT) onto the track of a description", "Camera list to read",
            "Camera file to write", status,
            [](CLapforge& d, const std::string& xml, const std::string& in, const std::string& out) {
              return d.XMLToCam(xml, in, out);
            });
}

}  // namespace lapforge
