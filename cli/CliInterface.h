// The command line's user-interface port: messages go to stderr as
// "Caption: text"; questions are answered by the command's flag, else at the
// terminal, else by their default (and the command says so on stderr).
#pragma once

#include <optional>

#include "support/UserInterface.h"

namespace lapforge {

class CCliInterface : public CUserInterface {
 public:
  void Message(const std::string& text, const std::string& caption) override;
  bool YesNo(const std::string& text, const std::string& caption) override;
  UiAnswer YesNoCancel(const std::string& text, const std::string& caption) override;

  // The answer a command's flag gives to its questions, if any.
  std::optional<UiAnswer> flagAnswer;
  // The answer taken without a flag and without a terminal.
  UiAnswer defaultAnswer = UiAnswer::Yes;

 private:
  UiAnswer Ask(const std::string& text, const std::string& caption, bool withCancel);
};

// The port installed by main.
CCliInterface& CliInterface();

}  // namespace lapforge
