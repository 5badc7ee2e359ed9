#include "support/UserInterface.h"

#include <cstdio>

namespace lapforge {

namespace {

class CStderrInterface : public CUserInterface {
 public:
  void Message(const std::string& text, const std::string& caption) override {
    if (caption.empty())
      std::fprintf(stderr, "%s\n", text.c_str());
    else
      std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  }
  bool YesNo(const std::string& text, const std::string& caption) override {
    Message(text + " [answered Yes]", caption);
    return true;
  }
  UiAnswer YesNoCancel(const std::string& text, const std::string& caption) override {
    Message(text + " [answered Yes]", caption);
    return UiAnswer::Yes;
  }
};

CStderrInterface gDefault;
CUserInterface* gCurrent = nullptr;

}  // namespace

CUserInterface& UI() { return gCurrent ? *gCurrent : gDefault; }

CUserInterface* SetUserInterface(CUserInterface* ui) {
  CUserInterface* old = gCurrent;
  gCurrent = ui;
  return old;
}

}  // namespace lapforge
