// Fuzz target for the track description reader: any document either loads
// or fails with a dataset error; a document that loads writes a document
// that loads again to the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "description/TrkDsc.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TrkDsc ds;
  try {
    ds.ReadXmlText(std::string(reinterpret_cast<const char*>(data), size));
  } catch (const CDataException&) {
    return 0;
  }
  std::string first = ds.GetXml();
  TrkDsc again;
  again.ReadXmlText(first);  // must not throw: our own output always loads
  if (again.GetXml() != first) std::abort();
  return 0;
}
