// The quick road of loading a dataset's XML document: one pass over the
// text straight into the rows, with no document tree in between. It takes
// the plain shape this program writes and most tools write (elements in the
// root's default namespace, values as text with the predefined entities and
// character references, comments between elements); anything else is left
// to the full reader (DataSetXml.cpp), which also says what is wrong with a
// document that does not load.
#pragma once

#include <cctype>
#include <string>
#include <string_view>

#include "description/DataSet.h"
#include "support/TextFormat.h"

namespace lapforge {

// Adds the rows of the document to ds, which must hold no rows and have no
// row listeners. Returns false when the document is not of the plain shape,
// is not well formed or holds a value that does not fit; ds is then as it
// was before (no rows, the auto-increment counters where they were), for
// the full reader to read the document again.
bool ScanXmlDocument(CDataSet& ds, std::string_view text);
// The same for the document in a file, read a window at a time rather than
// whole; false also when the file cannot be read (the full reader says
// why).
bool ScanXmlFile(CDataSet& ds, const std::string& path);

// The XML name of a table or column: characters not allowed in a name
// become _xHHHH_.
inline std::string EncodeXmlName(const char* name) {
  std::string out;
  for (const char* p = name; *p; ++p) {
    unsigned char c = static_cast<unsigned char>(*p);
    bool ok = std::isalnum(c) || c == '_' || c == '-' || c == '.' || c >= 0x80;
    if (p == name && (std::isdigit(c) || c == '-' || c == '.')) ok = false;
    if (ok)
      out += static_cast<char>(c);
    else
      out += StrFormat("_x%04X_", c);
  }
  return out;
}

}  // namespace lapforge
