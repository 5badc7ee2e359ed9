// The main window: its commands grouped as imports, exports and tools, the
// same commands in the menus (File, Edit, Convert, Help) and the toolbar,
// recent descriptions, and files dropped on it or named on the command line.
// Conversions run on a worker thread; the commands are disabled and a busy
// indicator shows until the conversion ends. Every export checks the track
// first, as the command line does.
#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/Browser.h"


class QAction;
class QMenu;
class QProgressBar;
class QPushButton;

namespace lapforge {
class CConversionRunner;
class CLapforge;
class LapforgeEdit;

class CMainWindow : public QMainWindow {
  Q_OBJECT
 public:
  // The pickers answer through dialogs (Qt's when nullptr).
  explicit CMainWindow(CFileDialogs* dialogs = nullptr, QWidget* parent = nullptr);
  ~CMainWindow() override;

  // The command buttons, in tab order (imports, exports, tools).
  const std::vector<QPushButton*>& Buttons() const { return buttons_; }
  QPushButton* Button(const QString& text) const;
  // The menu command with this text (without "&" and "..."), or nullptr.
  QAction* Action(const QString& text) const;
  CConversionRunner* Runner() const { return runner_; }
  int HelpTopic() const { return helpTopic_; }
  CFileDialogs& Dialogs() const { return *dialogs_; }

  // Opens a file as its kind asks: a description (.xml) in the table editor,
  // a PTF or GPL track imported into a new description (its name asked
  // for). False, with a message, for any other file.
  bool OpenFile(const QString& path);
  // The descriptions opened lately, newest first.
  static QStringList RecentFiles();

  // Shows every table editor as it is opened (tests answer them).
  std::function<void(LapforgeEdit*)> onEditorOpened;

 signals:
  // The window closed (the program ends).
  void Closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildCommands();
  void BuildMenus();
  void PtfToXml(const std::string& givenPtf = {});
  void XmlToPtf();
  void GplToXml(const std::string& givenTrk = {});
  void OpenXml();
  void OpenEditor(const std::string& xml);
  void Options();
  // An XML... operation of the driver: the description, then its output.
  using Operation = int (CLapforge::*)(const std::string&, const std::string&);
  void XmlToFile(const char* extension, const char* what, Operation op);
  void XmlToFolder(const char* format, Operation op);
  // Checks the description, then runs the export.
  void CheckedExport(const std::string& xml, const std::string& output, bool folder, bool meshes, Operation op);
  void NewXml();
  void Help();
  void About();
  // Runs work (the number of files it wrote, 0 when it failed) and reports
  // the files written to output, with the warnings given (and those of the
  // checks before it).
  void Run(std::function<int()> work, const std::string& output = {}, bool folder = false,
           const QStringList& checkWarnings = {});
  void SetBusy(bool busy);
  void AddRecent(const QString& path);
  void FillRecentMenu();

  std::unique_ptr<CFileDialogs> ownDialogs_;
  CFileDialogs* dialogs_;
  CBrowser browser_;
  CConversionRunner* runner_;
  QProgressBar* busy_;
  std::vector<QPushButton*> buttons_;
  std::vector<QAction*> actions_;
  QMenu* recentMenu_ = nullptr;
  QElapsedTimer start_;
  int helpTopic_ = 0;
};

}  // namespace lapforge
