#include <cstdio>

#include "cli/Commands.h"
#include "support/TextFormat.h"

namespace lapforge {

bool ParseOnOff(const std::string& text, bool& out) {
  std::string t = ToLower(text);
  if (t == "on" || t == "1" || t == "yes" || t == "true") {
    out = true;
    return true;
  }
  if (t == "off" || t == "0" || t == "no" || t == "false") {
    out = false;
    return true;
  }
  return false;
}

CLI::Validator NonEmptyName() {
  return CLI::Validator(
      [](std::string& name) { return name.empty() ? std::string("an empty name is not a file") : ""; }, "NAME");
}

void AddLineOptions(CLI::App& cmd, LineOptions& options) {
  cmd.add_option("--margin", options.margin,
                 "Racing line: metres kept from either edge of the drivable strip (default 1.0)")
      ->check(CLI::Range(0.0, 50.0));
  cmd.add_option("--grip", options.grip, "Racing line: the car's grip in g, for the speeds and lap time (default 1.3)")
      ->check(CLI::Range(0.1, 5.0));
  cmd.add_option("--step", options.step, "Racing line: metres between the points of the line, at most (default 1.0)")
      ->check(CLI::Range(0.25, 50.0));
}

void PrintSummary(int files, double seconds) {
  long ms = static_cast<long>(seconds * 1000.0 + 0.5);
  std::printf("%d File(s) written In %ld.%03ld seconds\n", files, ms / 1000, ms % 1000);
}

}  // namespace lapforge
