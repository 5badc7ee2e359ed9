// The settings store. Every switch and remembered path of the program is a
// named value in one settings file (an INI file standing in for the one
// registry key of the desktop original). Nothing is cached: every read goes
// to the file, every write replaces it atomically.
//
// The file lives at $LAPFORGE_CONFIG, else $XDG_CONFIG_HOME/lapforge/lapforge.ini,
// else ~/.config/lapforge/lapforge.ini. Values keep their kind: integers are
// stored as "dword:N", text as itself.
#pragma once

#include <string>
#include <utility>
#include <vector>

class CRegOption {
 public:
  // Text value; the default when missing or when its text form has one
  // character or none.
  static std::string GetOption(const std::string& name, const std::string& def);
  static std::string GetOption(const std::string& name, const char* def) { return GetOption(name, std::string(def)); }
  // Integer value; the default when missing; a stored text is parsed as decimal.
  static int GetOption(const std::string& name, int def);
  static bool SetOption(const std::string& name, const std::string& value);
  static bool SetOption(const std::string& name, const char* value) { return SetOption(name, std::string(value)); }
  static bool SetOption(const std::string& name, int value);

  // The settings file in use.
  static std::string SettingsFile();

  struct StoredValue {
    std::string name;
    bool isInteger = false;
    int integer = 0;
    std::string text;
  };
  // Every value stored in the file, in file order.
  static std::vector<StoredValue> AllStored();
  // The switches with their defaults, in the order the options list them.
  static const std::vector<std::pair<std::string, int>>& IntegerSettings();
};
