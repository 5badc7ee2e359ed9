// lapforge: the command-line front. One subcommand per command of the main
// window and the table editor, calling the same driver operations.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "cli/CliInterface.h"
#include "cli/Commands.h"
#include "support/Errors.h"
#include "support/Memory.h"
#include "support/System.h"

using namespace lapforge;

int main(int argc, char** argv) {
  KeepFreedMemory();
  CLI::App app{"Lapforge: track descriptions to and from racing-simulation formats", "lapforge"};
  app.require_subcommand(1);
  app.set_version_flag("--version", "lapforge " LAPFORGE_VERSION);
  // Every subcommand's help in one text, for the manual page.
  app.set_help_all_flag("--help-all", "Print the help of every command and exit");
  app.footer("Exit status: 0 success, 1 failure (or errors found by check), 2 usage error.");
  // Options start with '-' everywhere: on Windows CLI11 would also take
  // "/name" for one, and so a path from the root of the drive.
  app.allow_windows_style_options(false);
  SetUserInterface(&CliInterface());
  int status = 0;
  AddImportCommands(app, status);
  AddExportCommands(app, status);
  AddAiwCamCommands(app, status);
  AddInspectCommand(app, status);
  AddOptionsCommand(app, status);
  AddCheckCommand(app, status);
  AddMapCommand(app, status);
  AddLineCommand(app, status);
  AddRenderCommand(app, status);
  try {
    // CLI11 takes the arguments last first.
    std::vector<std::string> args = sys::Utf8Arguments(argc, argv);
    args.erase(args.begin());
    std::reverse(args.begin(), args.end());
    app.parse(args);
  } catch (const CLI::ParseError& e) {
    int rc = app.exit(e);
    return rc == 0 ? 0 : 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "Error: %s\n", ErrorText(e).c_str());
    return 1;
  }
  return status;
}
