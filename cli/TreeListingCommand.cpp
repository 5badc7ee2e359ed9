// lapforge inspect FILE: lists the record tree of a PTF or 3DO file.
// lapforge inspect --rewrite IN OUT: reads IN and writes its tree to OUT.
#include <cstdio>
#include <memory>
#include <string>

#include "cli/Commands.h"
#include "ptf/RecordListing.h"
#include "support/UserInterface.h"

namespace lapforge {

void AddInspectCommand(CLI::App& app, int& status) {
  auto* cmd = app.add_subcommand("inspect", "Print the record tree of a PTF or 3DO file, or write it back");
  auto file = std::make_shared<std::string>();
  auto out = std::make_shared<std::string>();
  auto rewrite = std::make_shared<bool>(false);
  cmd->add_flag("--rewrite", *rewrite, "Read FILE and write its record tree to OUT");
  cmd->add_option("FILE", *file, "PTF or 3DO file")->required();
  cmd->add_option("OUT", *out, "Output file (with --rewrite)")->check(NonEmptyName());
  cmd->callback([file, out, rewrite, &status]() {
    if (*rewrite) {
      if (out->empty()) {
        UI().Message("--rewrite needs an input and an output file", "Inspect");
        status = 1;
        return;
      }
      if (Result rewritten = RewriteRecordFile(*file, *out); !rewritten) {
        UI().Message(rewritten.Text(), "Inspect");
        status = 1;
        return;
      }
      std::printf("%s written\n", out->c_str());
      status = 0;
      return;
    }
    if (!out->empty()) {
      UI().Message("An output file is only taken with --rewrite", "Inspect");
      status = 1;
      return;
    }
    std::string listing;
    if (Result read = InspectRecordFile(*file, listing); !read) {
      UI().Message(read.Text(), "Inspect");
      status = 1;
      return;
    }
    std::fputs(listing.c_str(), stdout);
    status = 0;
  });
}

}  // namespace lapforge
