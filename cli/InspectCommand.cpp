#include "cli/Commands.h"

// Filled in with the record-file reader.
void AddInspectCommand(CLI::App&, int&) {}
