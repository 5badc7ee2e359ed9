// lapforge export FORMAT IN.xml OUT: the exports of the main window, one
// sub-subcommand per target format, and "xml" (the table editor's "Write XML").
// Every export that builds a track runs the track checks first and refuses a
// description with errors unless --force is given; "xml" only writes the
// description back, so that a broken one can still be saved and mended.
#include <chrono>
#include <memory>
#include <string_view>

#include "cli/CliInterface.h"
#include "cli/Commands.h"
#include "roads/Lapforge.h"

namespace lapforge {

namespace {

struct ExportArgs {
  std::string in, out;
  bool force = false;
};

// Registers `export NAME IN OUT` whose work is run(in, out) returning the
// number of files the driver wrote (0 when it failed).
template <class Run>
CLI::App* AddExport(CLI::App& exportCmd, const char* name, const char* help, const char* outHelp, int& status,
                    Run run) {
  auto* cmd = exportCmd.add_subcommand(name, help);
  auto args = std::make_shared<ExportArgs>();
  cmd->add_option("IN", args->in, "Track description XML to read")->required();
  cmd->add_option("OUT", args->out, outHelp)->required()->check(NonEmptyName());
  const bool checked = std::string_view(name) != "xml";
  const bool meshes = checked && std::string_view(name) != "ptf";
  if (checked)
    cmd->add_flag("--force", args->force,
                  "Export even when the track checks find errors (not when the mesh would not fit in memory)");
  cmd->callback([args, &status, run, checked, meshes]() {
    auto start = std::chrono::steady_clock::now();
    if (checked && !CheckBeforeExport(args->in, args->force, meshes)) {
      status = 1;
      return;
    }
    int result = run(args->in, args->out);
    status = result > 0 ? 0 : 1;
    if (result > 0) {
      double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      PrintSummary(result, secs);
    }
  });
  return cmd;
}

// The work of an export: the driver operation, giving the files written.
auto FilesOf(int (CLapforge::*operation)(const std::string&, const std::string&)) {
  return [operation](const std::string& in, const std::string& out) { return CLapforge().Files(operation, in, out); };
}

}  // namespace

void AddExportCommands(CLI::App& app, int& status) {
  CLI::App* exportCmd = app.add_subcommand("export", "Write a track description to a file or game format");
  exportCmd->require_subcommand(1);
  AddExport(*exportCmd, "xml", "Load a track description and write it back as XML", "XML file to write", status,
            FilesOf(&CLapforge::XMLToXML));
  AddExport(*exportCmd, "ptf", "Build the track of a description and write it as a PTF track file",
            "PTF file to write (its name is lower-cased)", status, FilesOf(&CLapforge::XMLToPTF));
  AddExport(*exportCmd, "gltf", "Mesh the track of a description and write its blocks as glTF 2.0",
            "glTF file to write: .glb, or .gltf with its .bin beside it", status, FilesOf(&CLapforge::XMLToGltf));
  AddExport(*exportCmd, "rfactor", "Build the track and write rFactor GMT files, scene file and side files",
            "Output folder (created when missing)", status, FilesOf(&CLapforge::XMLtoRFactor));
  AddExport(*exportCmd, "mts", "Build the track and write F1 MTS files and the scene file",
            "Output folder (created when missing)", status, FilesOf(&CLapforge::XMLToMTS));
  AddExport(*exportCmd, "gtr", "Write the track's meshes as GTR models (.gmt) and a scene file", "Folder to write into",
            status, FilesOf(&CLapforge::XMLtoGTR));
  AddExport(*exportCmd, "gtr2", "Write the track's meshes as GTR2 models (.gmt), the track file and side files",
            "Folder to write into", status, FilesOf(&CLapforge::XMLtoGTR2));
  AddExport(*exportCmd, "gtl", "Write the track's meshes as GTL models (.gmt), a scene file and side files",
            "Folder to write into", status, FilesOf(&CLapforge::XMLtoGTL));
  AddExport(*exportCmd, "3se", "Write the track's meshes as a 3SE scene, with the track as Lapforge.ptf beside it",
            "3SE file to write", status, FilesOf(&CLapforge::XMLto3SE));
  // The 3DS export asks whether to use short names; the flag answers it.
  auto shortNames = std::make_shared<std::string>();
  CLI::App* max =
      AddExport(*exportCmd, "3ds", "Write the track's meshes as one 3DS file", "3DS file to write", status,
                [shortNames](const std::string& in, const std::string& out) {
                  if (!shortNames->empty()) {
                    bool yes = false;
                    if (!ParseOnOff(*shortNames, yes))
                      throw CLI::ValidationError("--short-names", "expects yes or no, not \"" + *shortNames + "\"");
                    CliInterface().flagAnswer = yes ? UiAnswer::Yes : UiAnswer::No;
                  }
                  return CLapforge().Files(&CLapforge::XMLTo3DS, in, out);
                });
  max->add_option("--short-names", *shortNames, "yes/no: cut material and map names to 8 characters (3DSMAX)");

  // A word that is not a format is named, with the formats there are.
  exportCmd->require_subcommand(0, 1);
  exportCmd->allow_extras();
  exportCmd->callback([exportCmd]() {
    if (!exportCmd->get_subcommands().empty()) return;
    std::string formats;
    const CLI::App& all = *exportCmd;
    for (const CLI::App* format : all.get_subcommands([](const CLI::App*) { return true; }))
      formats += (formats.empty() ? "" : ", ") + format->get_name();
    const std::vector<std::string> rest = exportCmd->remaining();
    if (rest.empty()) throw CLI::ValidationError("export", "a format is required: " + formats);
    throw CLI::ValidationError("export", "unknown format " + rest.front() + "; the formats are: " + formats);
  });
}

}  // namespace lapforge
