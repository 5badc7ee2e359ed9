// The port through which the core shows messages and asks questions. The
// desktop front answers with dialogs, the command line prints to stderr and
// answers from its flags, tests record what was shown.
#pragma once

#include <string>

namespace lapforge {

enum class UiAnswer { Yes, No, Cancel };

class CUserInterface {
 public:
  virtual ~CUserInterface() = default;
  virtual void Message(const std::string& text, const std::string& caption) = 0;
  virtual bool YesNo(const std::string& text, const std::string& caption) = 0;
  virtual UiAnswer YesNoCancel(const std::string& text, const std::string& caption) = 0;
};

// The port in use; without one installed, messages go to stderr and
// questions take their first answer (Yes).
CUserInterface& UI();
// Installs a port (nullptr restores the default); returns the previous one.
CUserInterface* SetUserInterface(CUserInterface* ui);

// Shows a message with an empty caption, as a plain message box would.
inline void ShowMessage(const std::string& text, const std::string& caption = {}) { UI().Message(text, caption); }

}  // namespace lapforge
