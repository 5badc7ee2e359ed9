// lapforge import ptf TRACK.ptf OUT.xml [--tso-xyz on|off] [--auto-materials on|off]:
// the main window's "Nascar .PTF to XML". The flags default to the settings
// "TSOXYZ" and "ISIMaterials", as the desktop program reads them.
#include <chrono>
#include <memory>

#include "app/Lapforge.h"
#include "app/RegOption.h"
#include "cli/Commands.h"

namespace {

struct ImportPtfArgs {
  std::string ptf, xml, tsoXYZ, autoMaterials;
};

// An on/off flag, or the stored setting when the flag is not given.
bool FlagOrSetting(const std::string& flag, const std::string& value, const char* setting, int def) {
  if (value.empty()) return CRegOption::GetOption(setting, def) != 0;
  bool on = false;
  if (!ParseOnOff(value, on)) throw CLI::ValidationError(flag, "expects on or off, not \"" + value + "\"");
  return on;
}

}  // namespace

void AddImportPtf(CLI::App& import, int& status) {
  auto* cmd = import.add_subcommand("ptf", "Read a Papyrus NASCAR track (.ptf) into a track description XML");
  auto args = std::make_shared<ImportPtfArgs>();
  cmd->add_option("TRACK", args->ptf, "PTF track file to read")->required();
  cmd->add_option("OUT", args->xml, "Track description XML to write")->required();
  cmd->add_option("--tso-xyz", args->tsoXYZ,
                  "on/off: read trackside object positions as world X, Y, Z (setting TSOXYZ)");
  cmd->add_option("--auto-materials", args->autoMaterials, "on/off: generate material names (setting ISIMaterials)");
  cmd->callback([args, &status]() {
    bool tsoXYZ = FlagOrSetting("--tso-xyz", args->tsoXYZ, "TSOXYZ", 0);
    bool autoMaterials = FlagOrSetting("--auto-materials", args->autoMaterials, "ISIMaterials", 1);
    auto start = std::chrono::steady_clock::now();
    int result = CLapforge().PTFtoXML(args->ptf, args->xml, tsoXYZ, autoMaterials);
    status = result == 1 ? 0 : 1;
    if (result == 1) {
      double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      PrintSummary(1, secs);
    }
  });
}
