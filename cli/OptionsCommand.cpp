// lapforge options [NAME [VALUE]]: lists the settings (defaults applied),
// shows one, or stores one. A name the program does not use is refused (a
// misspelt name would be stored and never read) unless --any-name is given.
#include <cstdio>
#include <memory>

#include "cli/Commands.h"
#include "support/RegOption.h"
#include "support/UserInterface.h"

namespace lapforge {

namespace {

const int* KnownDefault(const std::string& name) {
  for (const auto& [n, def] : CRegOption::IntegerSettings())
    if (n == name) return &def;
  return nullptr;
}

bool ParseInteger(const std::string& text, int& out) {
  if (text.empty()) return false;
  size_t i = (text[0] == '-' || text[0] == '+') ? 1 : 0;
  if (i == text.size()) return false;
  long long v = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    v = v * 10 + (text[i] - '0');
    if (v > 0xFFFFFFFFLL) return false;
  }
  if (text[0] == '-') v = -v;
  out = static_cast<int>(v);
  return true;
}

void PrintOne(const std::string& name) {
  if (const int* def = KnownDefault(name)) {
    std::printf("%s %d\n", name.c_str(), CRegOption::GetOption(name, *def));
    return;
  }
  for (const auto& v : CRegOption::AllStored())
    if (v.name == name) {
      if (v.isInteger)
        std::printf("%s %d\n", v.name.c_str(), v.integer);
      else
        std::printf("%s %s\n", v.name.c_str(), v.text.c_str());
      return;
    }
  std::printf("%s\n", name.c_str());
}

bool IsStored(const std::string& name) {
  for (const auto& v : CRegOption::AllStored())
    if (v.name == name) return true;
  return false;
}

// The refusal of a name that is not a setting, listing the names.
void RefuseUnknown(const std::string& name) {
  std::string names;
  for (const std::string& known : CRegOption::KnownNames()) names += (names.empty() ? "" : ", ") + known;
  UI().Message(
      "\"" + name + "\" is not a setting; the settings are: " + names + " (give --any-name to use another name)",
      "Options");
}

}  // namespace

void AddOptionsCommand(CLI::App& app, int& status) {
  auto* cmd = app.add_subcommand("options", "List the settings, show one, or store one");
  auto name = std::make_shared<std::string>();
  auto value = std::make_shared<std::string>();
  auto hasValue = std::make_shared<bool>(false);
  auto anyName = std::make_shared<bool>(false);
  cmd->add_flag("--any-name", *anyName, "Show or store a name that is not one of the program's settings");
  cmd->add_option("NAME", *name, "Setting to show or store");
  cmd->add_option("VALUE", *value, "Value to store (an integer for the switches)")
      ->each([hasValue](const std::string&) { *hasValue = true; });
  cmd->callback([name, value, hasValue, anyName, &status]() {
    status = 0;
    if (name->empty()) {
      for (const auto& [n, def] : CRegOption::IntegerSettings()) PrintOne(n);
      for (const auto& v : CRegOption::AllStored())
        if (!KnownDefault(v.name)) PrintOne(v.name);
      return;
    }
    const bool known = CRegOption::IsKnownName(*name);
    if (!*hasValue) {
      if (!known && !*anyName && !IsStored(*name)) {
        RefuseUnknown(*name);
        status = 2;
        return;
      }
      PrintOne(*name);
      return;
    }
    if (!CRegOption::IsValidName(*name)) {
      UI().Message("\"" + *name + "\" cannot be a setting name", "Options");
      status = 1;
      return;
    }
    if (!known && !*anyName) {
      RefuseUnknown(*name);
      status = 2;
      return;
    }
    int number = 0;
    bool isNumber = ParseInteger(*value, number);
    if (KnownDefault(*name) && !isNumber) {
      UI().Message(*name + " takes an integer value, not \"" + *value + "\"", "Options");
      status = 1;
      return;
    }
    const Result stored = isNumber ? CRegOption::SetOption(*name, number) : CRegOption::SetOption(*name, *value);
    if (!stored) {
      UI().Message(stored.Text(), "Options");
      status = 1;
      return;
    }
    PrintOne(*name);
  });
}

}  // namespace lapforge
