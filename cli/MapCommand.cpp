#include "cli/Commands.h"
void AddMapCommand(CLI::App&, int&) {}
