#include "tests/support/CliRun.h"

#include <sys/wait.h>

#include <cstdlib>

namespace lapforge {

CliResult RunCli(const std::string& exe, const CTempDir& dir, const std::string& args, const std::string& prefix) {
  std::string cmd = prefix + "LAPFORGE_CONFIG='" + dir.File("settings.ini") + "' '" + exe + "' " + args + " >'" +
                    dir.File("stdout") + "' 2>'" + dir.File("stderr") + "' </dev/null";
  int rc = std::system(("bash -c \"" + cmd + "\"").c_str());
  CliResult r;
  r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  r.out = ReadText(dir.File("stdout"));
  r.err = ReadText(dir.File("stderr"));
  return r;
}

}  // namespace lapforge
