// lapforge check IN.xml [--json]: the findings that would make a bad track,
// one per line (or as a JSON array); exit status 1 when any is an error.
// The exports run the same checks before they write (CheckBeforeExport).
#include <cstdio>
#include <memory>

#include "cli/Commands.h"
#include "roads/TrackCheck.h"
#include "support/Memory.h"
#include "support/TextFormat.h"
#include "support/UserInterface.h"

namespace lapforge {

namespace {

struct CheckArgs {
  std::string in;
  bool json = false;
};

// How many errors the export refusal names before it counts the rest.
constexpr int kNamedErrors = 3;

}  // namespace

void AddCheckCommand(CLI::App& app, int& status) {
  auto* cmd = app.add_subcommand("check", "Report what would make a bad track in a description, writing nothing");
  auto args = std::make_shared<CheckArgs>();
  cmd->add_option("IN", args->in, "Track description XML to check")->required();
  cmd->add_flag("--json", args->json, "Print the findings as a JSON array");
  cmd->callback([args, &status]() {
    const std::vector<CheckFinding> findings = CTrackCheck().CheckFile(args->in);
    if (args->json) {
      std::fputs(CTrackCheck::ToJson(findings).c_str(), stdout);
    } else {
      for (const CheckFinding& f : findings) std::printf("%s\n", CTrackCheck::FormatLine(f).c_str());
      const int errors = CTrackCheck::ErrorCount(findings);
      std::printf("%d error(s), %d warning(s)\n", errors, static_cast<int>(findings.size()) - errors);
    }
    status = CTrackCheck::ErrorCount(findings) > 0 ? 1 : 0;
  });
}

bool CheckBeforeExport(const std::string& xmlFile, bool force, bool meshes) {
  bool loaded = false;
  CTrackCheck check;
  const std::vector<CheckFinding> findings = check.CheckFile(xmlFile, &loaded);
  // A description that cannot be read is left to the export, which says so
  // in its own words.
  if (!loaded) return true;
  // Not even --force lets a description take the machine down.
  if (const std::string refusal = meshes ? MemoryRefusal(check.MeshBytes(), "the track's mesh") : std::string();
      !refusal.empty()) {
    UI().Message(refusal + "; nothing was written, whatever --force says", "Check");
    return false;
  }
  const int errors = CTrackCheck::ErrorCount(findings);
  if (errors == 0) return true;
  std::string text;
  int named = 0;
  for (const CheckFinding& f : findings) {
    if (f.severity != CheckSeverity::Error || named == kNamedErrors) continue;
    text += "\n" + CTrackCheck::FormatLine(f);
    ++named;
  }
  if (errors > named) text += StrFormat("\nand %d more error(s)", errors - named);
  if (force) {
    UI().Message(StrFormat("the description has %d error(s), exporting anyway (--force):", errors) + text, "Check");
    return true;
  }
  UI().Message(StrFormat("the description has %d error(s); nothing was written (run lapforge check for all findings, "
                         "or give --force to export anyway):",
                         errors) +
                   text,
               "Check");
  return false;
}

}  // namespace lapforge
