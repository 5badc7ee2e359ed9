// A readable text listing of a record tree, one line per record, used by the
// command-line inspector.
#pragma once

#include <string>

class CN5Root;

std::string InspectRecordTree(const CN5Root& root);
