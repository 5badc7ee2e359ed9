// lapforge import ptf|gpl TRACK OUT.xml [flags]: the imports of the main
// window. Each takes one on/off switch of its own and --auto-materials;
// a switch not given defaults to its stored setting, as the desktop program
// reads them.
#include <chrono>
#include <functional>
#include <memory>

#include "cli/Commands.h"
#include "roads/Lapforge.h"
#include "support/RegOption.h"

namespace lapforge {

namespace {

struct ImportArgs {
  std::string track, xml, own, autoMaterials;
};

// An on/off flag, or the stored setting when the flag is not given.
bool FlagOrSetting(const std::string& flag, const std::string& value, const char* setting, int def) {
  if (value.empty()) return CRegOption::GetOption(setting, def) != 0;
  bool on = false;
  if (!ParseOnOff(value, on)) throw CLI::ValidationError(flag, "expects on or off, not \"" + value + "\"");
  return on;
}

struct ImportKind {
  const char* name;
  const char* help;
  const char* trackHelp;
  const char* flag;  // the import's own switch
  const char* flagHelp;
  const char* setting;  // and the setting it defaults to
  int settingDefault;
  // The driver operation: track, xml, own switch, automatic material names.
  std::function<int(const std::string&, const std::string&, bool, bool)> run;
};

void AddImport(CLI::App& import, int& status, ImportKind kind) {
  auto* cmd = import.add_subcommand(kind.name, kind.help);
  auto args = std::make_shared<ImportArgs>();
  cmd->add_option("TRACK", args->track, kind.trackHelp)->required();
  cmd->add_option("OUT", args->xml, "Track description XML to write")->required()->check(NonEmptyName());
  cmd->add_option(kind.flag, args->own, kind.flagHelp);
  cmd->add_option("--auto-materials", args->autoMaterials, "on/off: generate material names (setting ISIMaterials)");
  cmd->callback([args, kind, &status]() {
    bool own = FlagOrSetting(kind.flag, args->own, kind.setting, kind.settingDefault);
    bool autoMaterials = FlagOrSetting("--auto-materials", args->autoMaterials, "ISIMaterials", 1);
    auto start = std::chrono::steady_clock::now();
    int result = kind.run(args->track, args->xml, own, autoMaterials);
    status = result == 1 ? 0 : 1;
    if (result == 1) {
      double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      PrintSummary(1, secs);
    }
  });
}

}  // namespace

// The main window's "Nascar .PTF to XML".
void AddImportPtf(CLI::App& import, int& status) {
  AddImport(import, status,
            {"ptf", "Read a Papyrus NASCAR track (.ptf) into a track description XML", "PTF track file to read",
             "--tso-xyz", "on/off: read trackside object positions as world X, Y, Z (setting TSOXYZ)", "TSOXYZ", 0,
             [](const std::string& t, const std::string& x, bool own, bool autoMat) {
               return CLapforge().PTFtoXML(t, x, own, autoMat);
             }});
}

// The main window's "GPL .TRK to XML".
void AddImportGpl(CLI::App& import, int& status) {
  AddImport(import, status,
            {"gpl", "Read a Grand Prix Legends track (.trk) into a track description XML", "GPL .trk file to read",
             "--gpltrk", "on/off: the track was made by the GPLTRK tool (setting TRKFromGPLTRK)", "TRKFromGPLTRK", 1,
             [](const std::string& t, const std::string& x, bool own, bool autoMat) {
               return CLapforge().GplTrktoXML(t, x, own, autoMat);
             }});
}

void AddImportCommands(CLI::App& app, int& status) {
  CLI::App* import = app.add_subcommand("import", "Read a game track into a track description XML");
  import->require_subcommand(1);
  AddImportPtf(*import, status);
  AddImportGpl(*import, status);
}

}  // namespace lapforge
