// A readable text listing of a record tree, one line per record, used by the
// command-line inspector, and the read-and-write-back of a record file.
#pragma once

#include <string>

#include "support/Result.h"

namespace lapforge {

class CN5Root;

// One line per record, indented by depth: depth, class name, object name,
// header value, object id, child count and the record's key values. A shared
// record is listed in full under its first parent only.
std::string InspectRecordTree(const CN5Root& root);

// Reads a PTF or 3DO file and lists it. Fails when the file cannot be
// opened, is damaged or holds no recognised root record.
Result InspectRecordFile(const std::string& path, std::string& listing);

// Reads a record file and writes its tree back to outPath (replacing it
// atomically), keeping every TSO reference of a track; the kinds the program
// does not model are written back byte for byte. Fails
// when the input cannot be read, holds a record of an unknown kind (named)
// or the output cannot be written (an output that is the input itself, or
// not a regular file, is refused first).
Result RewriteRecordFile(const std::string& inPath, const std::string& outPath);

}  // namespace lapforge
