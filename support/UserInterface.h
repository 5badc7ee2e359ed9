// The port through which the core shows messages and asks questions. The
// desktop front answers with dialogs, the command line prints to stderr and
// answers from its flags, tests record what was shown.
#pragma once

#include <string>

namespace lapforge {

enum class UiAnswer { Yes, No, Cancel };

// How much a message weighs: a plain notice, a warning (the operation goes
// on, something may be missing from its output) or an error (the operation
// failed or lost data).
enum class UiSeverity { Information, Warning, Error };

class CUserInterface {
 public:
  virtual ~CUserInterface() = default;
  virtual void Message(const std::string& text, const std::string& caption) = 0;
  virtual bool YesNo(const std::string& text, const std::string& caption) = 0;
  virtual UiAnswer YesNoCancel(const std::string& text, const std::string& caption) = 0;
  // A message with its weight; a port that does not tell them apart shows
  // it as Message does.
  virtual void Notify(const std::string& text, const std::string& caption, UiSeverity severity) {
    static_cast<void>(severity);
    Message(text, caption);
  }
};

// The port in use; without one installed, messages go to stderr and
// questions take their first answer (Yes).
CUserInterface& UI();
// Installs a port (nullptr restores the default); returns the previous one.
CUserInterface* SetUserInterface(CUserInterface* ui);

// Shows a message with an empty caption, as a plain message box would.
inline void ShowMessage(const std::string& text, const std::string& caption = {}) { UI().Message(text, caption); }
// A failure, and a warning, through the port.
inline void ShowError(const std::string& text, const std::string& caption) {
  UI().Notify(text, caption, UiSeverity::Error);
}
inline void ShowWarning(const std::string& text, const std::string& caption = {}) {
  UI().Notify(text, caption, UiSeverity::Warning);
}

}  // namespace lapforge
