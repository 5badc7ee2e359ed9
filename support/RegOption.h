// The settings store. Every switch and remembered path of the program is a
// named value in one settings file (an INI file standing in for the one
// registry key of the desktop original). Nothing is cached: every read goes
// to the file, every write replaces it atomically under a lock.
//
// The file lives at $LAPFORGE_CONFIG, else $XDG_CONFIG_HOME/lapforge/lapforge.ini,
// else ~/.config/lapforge/lapforge.ini. Values keep their kind: integers are
// stored as "dword:N", text as itself, or in double quotes with C escapes
// when it would not read back as itself (a control character, a blank at
// either end, a leading quote, or a leading "dword:" or "sz:"). Files
// written before, which spelled such prefixed texts "sz:text", still read.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "support/Result.h"

namespace lapforge {

class CRegOption {
 public:
  // Text value; the default when missing or when its text form has one
  // character or none.
  static std::string GetOption(const std::string& name, const std::string& def);
  static std::string GetOption(const std::string& name, const char* def) { return GetOption(name, std::string(def)); }
  // Integer value; the default when missing; a stored text is parsed as decimal.
  static int GetOption(const std::string& name, int def);
  // Stores a value; fails, saying why, when it could not be stored. The
  // read-modify-write of the file holds an advisory lock on "<file>.lock"
  // beside it, so that concurrent stores all land; a settings file that is
  // not a regular file (a device, a pipe) is refused.
  static Result SetOption(const std::string& name, const std::string& value);
  static Result SetOption(const std::string& name, const char* value) { return SetOption(name, std::string(value)); }
  static Result SetOption(const std::string& name, int value);

  // Whether a value can be stored under this name: not empty, no control
  // character, no '=', not beginning with ';' or '[' or a blank, not ending
  // with a blank. SetOption refuses (Invalid) any other name.
  static bool IsValidName(const std::string& name);

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
  // Every name the program reads or writes: the switches, "LastPapyTrack",
  // the file pickers' "{extension}Name" and the folder picker's
  // "{format}Folder".
  static const std::vector<std::string>& KnownNames();
  // Whether name is one of them (letter case aside, as the store compares).
  static bool IsKnownName(const std::string& name);
};

}  // namespace lapforge
