#include "cli/CliInterface.h"

#include <cctype>
#include <cstdio>

#include "support/System.h"

namespace lapforge {

namespace {

const char* AnswerWord(UiAnswer a) {
  switch (a) {
    case UiAnswer::Yes:
      return "Yes";
    case UiAnswer::No:
      return "No";
    case UiAnswer::Cancel:
      return "Cancel";
  }
  return "?";
}

}  // namespace

void CCliInterface::Message(const std::string& text, const std::string& caption) {
  if (caption.empty())
    std::fprintf(stderr, "%s\n", text.c_str());
  else
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}

UiAnswer CCliInterface::Ask(const std::string& text, const std::string& caption, bool withCancel) {
  if (flagAnswer) {
    UiAnswer a = *flagAnswer;
    if (!withCancel && a == UiAnswer::Cancel) a = UiAnswer::No;
    return a;
  }
  if (!sys::IsTerminal(stdin)) {
    Message(text + " [no terminal: answered " + AnswerWord(defaultAnswer) + "]", caption);
    return defaultAnswer;
  }
  for (;;) {
    std::fprintf(stderr, "%s%s%s %s ", caption.c_str(), caption.empty() ? "" : ": ", text.c_str(),
                 withCancel ? "[y/n/c]" : "[y/n]");
    std::fflush(stderr);
    char line[64];
    if (!std::fgets(line, sizeof line, stdin)) return defaultAnswer;
    int c = std::tolower(static_cast<unsigned char>(line[0]));
    if (c == 'y') return UiAnswer::Yes;
    if (c == 'n') return UiAnswer::No;
    if (withCancel && c == 'c') return UiAnswer::Cancel;
  }
}

bool CCliInterface::YesNo(const std::string& text, const std::string& caption) {
  return Ask(text, caption, false) == UiAnswer::Yes;
}

UiAnswer CCliInterface::YesNoCancel(const std::string& text, const std::string& caption) {
  return Ask(text, caption, true);
}

CCliInterface& CliInterface() {
  static CCliInterface ui;
  return ui;
}

}  // namespace lapforge
