#include "support/Browser.h"

#include "support/FileString.h"
#include "support/RegOption.h"

namespace lapforge {

namespace {
// A remembered choice only proposes the next one: a settings file that
// cannot be written loses it and nothing else.
void Remember(const std::string& name, const std::string& value) {
  static_cast<void>(CRegOption::SetOption(name, value));
}
}  // namespace

std::string CBrowser::Filter(const std::string& extension) {
  return extension + " files (*." + extension + ")|*." + extension;
}

// The original started at the first drive; here the file system root.
const char* CBrowser::RootFolder() { return "/"; }

FileDialogRequest CBrowser::Request(const std::string& extension, bool remembered) {
  FileDialogRequest r;
  r.filter = Filter(extension);
  r.defaultExtension = extension;
  if (remembered) {
    r.proposedFile = CRegOption::GetOption(extension + "Name", std::string());
    if (!r.proposedFile.empty()) r.startFolder = FileString::Path(r.proposedFile);
  }
  return r;
}

std::string CBrowser::GetReadFile(const std::string& extension) {
  std::string chosen = dialogs_.OpenFile(Request(extension, true));
  if (!chosen.empty()) Remember(extension + "Name", chosen);
  return chosen;
}

std::string CBrowser::GetReadFile(const std::string& extension, const std::string& startFolder) {
  FileDialogRequest r = Request(extension, false);
  r.startFolder = startFolder;
  return dialogs_.OpenFile(r);
}

std::string CBrowser::GetWriteFile(const std::string& extension) {
  FileDialogRequest r = Request(extension, true);
  if (r.proposedFile.empty()) r.startFolder = RootFolder();
  std::string chosen = dialogs_.SaveFile(r);
  if (!chosen.empty()) Remember(extension + "Name", chosen);
  return chosen;
}

std::string CBrowser::GetFolder(const std::string& format) {
  std::string chosen = dialogs_.PickFolder(CRegOption::GetOption(format + "Folder", std::string()));
  if (chosen.empty()) return chosen;
  Remember(format + "Folder", chosen);
  if (!FileString::IsSeparator(chosen.back())) chosen += '/';
  return chosen;
}

namespace {
void Propose(FileDialogRequest& r, const PickerText& text) {
  r.title = text.title;
  if (text.proposed.empty()) return;
  r.proposedFile = text.proposed;
  r.startFolder = FileString::Path(text.proposed);
}
}  // namespace

std::string CBrowser::GetReadFile(const std::string& extension, const PickerText& text) {
  FileDialogRequest r = Request(extension, true);
  Propose(r, text);
  std::string chosen = dialogs_.OpenFile(r);
  if (!chosen.empty()) Remember(extension + "Name", chosen);
  return chosen;
}

std::string CBrowser::GetWriteFile(const std::string& extension, const PickerText& text) {
  FileDialogRequest r = Request(extension, true);
  Propose(r, text);
  if (r.proposedFile.empty()) r.startFolder = RootFolder();
  std::string chosen = dialogs_.SaveFile(r);
  if (!chosen.empty()) Remember(extension + "Name", chosen);
  return chosen;
}

std::string CBrowser::GetFolder(const std::string& format, const PickerText& text) {
  FileDialogRequest r;
  r.title = text.title;
  r.startFolder = CRegOption::GetOption(format + "Folder", std::string());
  if (r.startFolder.empty()) r.startFolder = text.proposed;
  std::string chosen = dialogs_.PickOutputFolder(r);
  if (chosen.empty()) return chosen;
  Remember(format + "Folder", chosen);
  if (!FileString::IsSeparator(chosen.back())) chosen += '/';
  return chosen;
}

}  // namespace lapforge
