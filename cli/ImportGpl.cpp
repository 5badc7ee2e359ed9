// lapforge import gpl TRACK.trk OUT.xml [--gpltrk on|off] [--auto-materials on|off]:
// the main window's "GPL .TRK to XML". The flags default to the settings
// "TRKFromGPLTRK" and "ISIMaterials", as the desktop program reads them.
#include <chrono>
#include <memory>

#include "app/Lapforge.h"
#include "app/RegOption.h"
#include "cli/Commands.h"

namespace {

struct ImportGplArgs {
  std::string trk, xml, gplTrk, autoMaterials;
};

// An on/off flag, or the stored setting when the flag is not given.
bool FlagOrSetting(const std::string& flag, const std::string& value, const char* setting, int def) {
  if (value.empty()) return CRegOption::GetOption(setting, def) != 0;
  bool on = false;
  if (!ParseOnOff(value, on)) throw CLI::ValidationError(flag, "expects on or off, not \"" + value + "\"");
  return on;
}

}  // namespace

void AddImportGpl(CLI::App& import, int& status) {
  auto* cmd = import.add_subcommand("gpl", "Read a Grand Prix Legends track (.trk) into a track description XML");
  auto args = std::make_shared<ImportGplArgs>();
  cmd->add_option("TRACK", args->trk, "GPL .trk file to read")->required();
  cmd->add_option("OUT", args->xml, "Track description XML to write")->required();
  cmd->add_option("--gpltrk", args->gplTrk, "on/off: the track was made by the GPLTRK tool (setting TRKFromGPLTRK)");
  cmd->add_option("--auto-materials", args->autoMaterials, "on/off: generate material names (setting ISIMaterials)");
  cmd->callback([args, &status]() {
    bool fromGplTrk = FlagOrSetting("--gpltrk", args->gplTrk, "TRKFromGPLTRK", 1);
    bool autoMaterials = FlagOrSetting("--auto-materials", args->autoMaterials, "ISIMaterials", 1);
    auto start = std::chrono::steady_clock::now();
    int result = CLapforge().GplTrktoXML(args->trk, args->xml, fromGplTrk, autoMaterials);
    status = result == 1 ? 0 : 1;
    if (result == 1) {
      double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      PrintSummary(1, secs);
    }
  });
}
