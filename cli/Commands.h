// The subcommands of the command-line front. Each Add... function registers
// one subcommand on the application; its callback stores the exit status
// (0 success, 1 failure) in status.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

#include "roads/ComputedLine.h"

namespace lapforge {

void AddExportCommands(CLI::App& app, int& status);
void AddImportCommands(CLI::App& app, int& status);
void AddImportPtf(CLI::App& import, int& status);
void AddImportGpl(CLI::App& import, int& status);
void AddOptionsCommand(CLI::App& app, int& status);
void AddInspectCommand(CLI::App& app, int& status);
void AddAiwCamCommands(CLI::App& app, int& status);
void AddCheckCommand(CLI::App& app, int& status);
void AddMapCommand(CLI::App& app, int& status);
void AddLineCommand(CLI::App& app, int& status);
void AddRenderCommand(CLI::App& app, int& status);

// The options of the computed racing line (--margin, --grip, --step) on a
// subcommand.
void AddLineOptions(CLI::App& cmd, LineOptions& options);

// The checks every export runs first: true when the description has no
// errors, or when force is set (the errors are then listed as a notice).
// Otherwise the first errors and how many more are shown and false returned.
// For an export that meshes the track, a mesh larger than the memory
// available is refused even with force.
bool CheckBeforeExport(const std::string& xmlFile, bool force, bool meshes);

// Refuses an empty file or folder name (a usage error).
CLI::Validator NonEmptyName();

// Parses "on"/"off" (and 1/0, yes/no, true/false) flag values.
bool ParseOnOff(const std::string& text, bool& out);
// Prints the one-line summary of a run: files written and seconds taken.
void PrintSummary(int files, double seconds);

}  // namespace lapforge
