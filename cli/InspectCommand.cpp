// lapforge inspect FILE [--rewrite OUT]: lists the record tree of a PTF or
// 3DO file, optionally writing it back.
#include <cstdio>
#include <memory>

#include "app/support/UserInterface.h"
#include "cli/Commands.h"
#include "ptf/N5Inspect.h"
#include "ptf/N5Root.h"

void AddInspectCommand(CLI::App& app, int& status) {
  auto* cmd = app.add_subcommand("inspect", "Print the record tree of a PTF or 3DO file");
  auto file = std::make_shared<std::string>();
  auto rewrite = std::make_shared<std::string>();
  cmd->add_option("FILE", *file, "PTF or 3DO file")->required();
  cmd->add_option("--rewrite", *rewrite, "Read and write the file back to OUT");
  cmd->callback([file, rewrite, &status]() {
    std::unique_ptr<CN5Root> root = CN5Root::CreateFromFile(*file);
    if (!root) {
      UI().Message("Cannot read " + *file, "Inspect");
      status = 1;
      return;
    }
    if (!root->Root()) {
      UI().Message(*file + " holds no record that can be read", "Inspect");
      status = 1;
      return;
    }
    std::fputs(InspectRecordTree(*root).c_str(), stdout);
    if (!rewrite->empty()) {
      root->keepAllTsoReferences = true;
      root->ResetWriteIds();
      if (!root->WriteToFile(*rewrite)) {
        UI().Message("Cannot write " + *rewrite, "Inspect");
        status = 1;
        return;
      }
    }
    status = 0;
  });
}
