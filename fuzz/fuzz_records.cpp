// Fuzz target for the object record reader: any input either reads or fails
// cleanly; a tree that reads is written and must read again.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "ptf/RecordFile.h"
#include "support/UserInterface.h"

using namespace lapforge;

namespace {
class CQuietUI : public CUserInterface {
 public:
  void Message(const std::string&, const std::string&) override {}
  bool YesNo(const std::string&, const std::string&) override { return true; }
  UiAnswer YesNoCancel(const std::string&, const std::string&) override { return UiAnswer::Yes; }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static CQuietUI quiet;
  SetUserInterface(&quiet);
  CN5Root::SetReportUnrecognized(false);
  CN5Root root;
  if (root.ReadFromBuffer(std::vector<uint8_t>(data, data + size), "fuzz") && root.Root()) {
    root.keepAllTsoReferences = true;
    std::vector<uint8_t> out = root.WriteToBuffer();
    CN5Root again;
    static_cast<void>(again.ReadFromBuffer(out, "fuzz"));
  }
  return 0;
}
