// Shared helpers for the tests: a user-interface port that records what the
// core showed, a temporary folder removed afterwards, small file helpers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/UserInterface.h"

namespace lapforge {

// Records messages and answers questions from a script (Yes when empty).
class CRecordingUI : public CUserInterface {
 public:
  struct Shown {
    std::string text;
    std::string caption;
  };
  CRecordingUI();
  ~CRecordingUI() override;

  void Message(const std::string& text, const std::string& caption) override;
  bool YesNo(const std::string& text, const std::string& caption) override;
  UiAnswer YesNoCancel(const std::string& text, const std::string& caption) override;

  std::vector<Shown> shown;      // messages and questions, in order
  std::vector<UiAnswer> answers;  // answers to give, in order

 private:
  UiAnswer Next();
  CUserInterface* previous_;
};

// A fresh folder under the build tree, deleted with its contents at the end.
class CTempDir {
 public:
  CTempDir();
  ~CTempDir();
  const std::string& Path() const { return path_; }
  // path_/name
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::string ReadText(const std::string& path);
std::vector<uint8_t> ReadBytes(const std::string& path);
void WriteText(const std::string& path, const std::string& text);
bool Exists(const std::string& path);
// Points the settings store at a fresh file for the current test.
class CScopedSettings {
 public:
  CScopedSettings();
  ~CScopedSettings();
  const std::string& File() const { return file_; }

 private:
  CTempDir dir_;
  std::string file_;
  std::string previous_;
  bool hadPrevious_ = false;
};

}  // namespace lapforge
