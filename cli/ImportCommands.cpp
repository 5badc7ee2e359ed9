#include "cli/Commands.h"

void AddImportCommands(CLI::App& app, int& status) {
  CLI::App* import = app.add_subcommand("import", "Read a game track into a track description XML");
  import->require_subcommand(1);
  AddImportPtf(*import, status);
  AddImportGpl(*import, status);
}
