// Runs the command-line program as a user would: through the shell, with its
// own settings file, no terminal on stdin, stdout and stderr captured.
#pragma once

#include <string>

#include "tests/support/TestSupport.h"

namespace lapforge {

struct CliResult {
  int status = -1;
  std::string out, err;
};

// Runs `exe args` with the settings file, stdout and stderr in dir; prefix
// goes before the command (shell settings such as a file-size limit).
CliResult RunCli(const std::string& exe, const CTempDir& dir, const std::string& args, const std::string& prefix = "");

}  // namespace lapforge
