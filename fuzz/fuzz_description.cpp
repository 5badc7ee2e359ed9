// Fuzz target for the track description reader: any document either loads
// or fails with a dataset error, the same way through the one-pass reader
// and the tree reader; a document that loads writes a document that loads
// again to the same text, or is refused on writing for a text that holds a
// character XML cannot hold.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "description/TrkDsc.h"

using namespace lapforge;

namespace {

// The document the dataset writes, or the failure of the read.
std::string Outcome(TrkDsc& ds, const std::string& text) {
  try {
    ds.ReadXmlText(text);
  } catch (const CDataException& e) {
    return std::string("failed: ") + e.what();
  }
  try {
    return ds.GetXml();
  } catch (const CDataFormatException& e) {
    return std::string("refused: ") + e.what();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  TrkDsc ds;
  const std::string first = Outcome(ds, text);
  // A row listener sends the read through the tree reader.
  TrkDsc tree;
  tree.Section.SectionRowChanged().Connect([](RowAction, const CDataRow&) {});
  if (Outcome(tree, text) != first) std::abort();
  if (first.rfind("failed: ", 0) == 0 || first.rfind("refused: ", 0) == 0) return 0;
  TrkDsc again;
  again.ReadXmlText(first);  // must not throw: our own output always loads
  if (again.GetXml() != first) std::abort();
  return 0;
}
