// Fuzz target for the track description reader: any document either loads
// or fails with a dataset error; a document that loads writes a document
// that loads again to the same text, or is refused on writing for a text
// that holds a character XML cannot hold.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "description/TrkDsc.h"

using namespace lapforge;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TrkDsc ds;
  try {
    ds.ReadXmlText(std::string(reinterpret_cast<const char*>(data), size));
  } catch (const CDataException&) {
    return 0;
  }
  std::string first;
  try {
    first = ds.GetXml();
  } catch (const CDataFormatException&) {
    // A text with a control character XML cannot hold is refused on writing.
    return 0;
  }
  TrkDsc again;
  again.ReadXmlText(first);  // must not throw: our own output always loads
  if (again.GetXml() != first) std::abort();
  return 0;
}
