// The file and folder pickers: what each proposes, returns and remembers.
// The dialogs themselves sit behind CFileDialogs, answered by Qt in the
// desktop front and by a scripted double in tests.
#pragma once

#include <string>

namespace lapforge {

struct FileDialogRequest {
  std::string filter;            // "XML files (*.XML)|*.XML"
  std::string defaultExtension;  // "XML"
  std::string proposedFile;      // full path proposed, or empty
  std::string startFolder;       // folder the dialog opens in, or empty
  std::string title;             // what the dialog asks for; empty for the dialog's own
};

// What a picker says and proposes beyond its extension.
struct PickerText {
  std::string title;     // "Choose the description to convert"
  std::string proposed;  // a file (or folder) proposed; empty for the remembered one
};

class CFileDialogs {
 public:
  virtual ~CFileDialogs() = default;
  // Each returns the chosen path, or empty text when cancelled.
  virtual std::string OpenFile(const FileDialogRequest& request) = 0;
  virtual std::string SaveFile(const FileDialogRequest& request) = 0;
  // A folder dialog rooted at the computer level, preselecting a folder.
  virtual std::string PickFolder(const std::string& preselected) = 0;
  // A folder for output, titled: a new name is accepted too (the export
  // creates it). The plain folder dialog unless a front does better.
  virtual std::string PickOutputFolder(const FileDialogRequest& request) { return PickFolder(request.startFolder); }
};

class CBrowser {
 public:
  explicit CBrowser(CFileDialogs& dialogs) : dialogs_(dialogs) {}

  // Open-file dialog for an extension, proposing the file remembered as
  // "{ext}Name"; the choice is remembered.
  std::string GetReadFile(const std::string& extension);
  // The same with a given starting folder; nothing is read or remembered.
  std::string GetReadFile(const std::string& extension, const std::string& startFolder);
  // Save-file dialog; without a remembered name it starts at the root folder.
  std::string GetWriteFile(const std::string& extension);
  // Folder dialog; remembers "{format}Folder" as chosen and returns the
  // folder with a trailing separator.
  std::string GetFolder(const std::string& format);

  // The same with a title and a proposal: the proposed file when given
  // (its folder to start in), else the remembered one. The choice is
  // remembered as above.
  std::string GetReadFile(const std::string& extension, const PickerText& text);
  std::string GetWriteFile(const std::string& extension, const PickerText& text);
  std::string GetFolder(const std::string& format, const PickerText& text);

  static std::string Filter(const std::string& extension);
  // The folder the dialog starts in when the file picker has no remembered name.
  static const char* RootFolder();

 private:
  FileDialogRequest Request(const std::string& extension, bool remembered);
  CFileDialogs& dialogs_;
};

}  // namespace lapforge
