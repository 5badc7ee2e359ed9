// The services the desktop windows share: the pickers and the user-interface
// port answered by Qt dialogs, conversions run on a worker thread, and the
// help pages.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <string>

#include "support/Browser.h"
#include "support/UserInterface.h"


class QWidget;

namespace lapforge {

// The pickers' dialogs on Qt's file and folder dialogs.
class CQtFileDialogs : public CFileDialogs {
 public:
  std::string OpenFile(const FileDialogRequest& request) override;
  std::string SaveFile(const FileDialogRequest& request) override;
  std::string PickFolder(const std::string& preselected) override;
  std::string PickOutputFolder(const FileDialogRequest& request) override;

  // "XML files (*.XML)|*.XML" as a Qt name filter; file systems here tell
  // letter case apart, so both spellings of the extension are listed.
  static QString NameFilter(const std::string& filter);
};

// The user-interface port of the desktop program. The core may call it from
// a worker thread; every message and question is then shown on the window
// thread, the worker waiting for the answer. Tests override the three Show
// functions, which always run on the window thread.
class CQtUserInterface : public QObject, public CUserInterface {
  Q_OBJECT
 public:
  CQtUserInterface();
  ~CQtUserInterface() override;

  void Message(const std::string& text, const std::string& caption) override;
  bool YesNo(const std::string& text, const std::string& caption) override;
  UiAnswer YesNoCancel(const std::string& text, const std::string& caption) override;
  // Failures show with the critical icon, warnings with the warning icon.
  // During a conversion a warning is kept for its completion report instead
  // of stopping the work with a box, and a failure marks the conversion
  // failed (it reports no success).
  void Notify(const std::string& text, const std::string& caption, UiSeverity severity) override;

  // Once the program is shutting down nothing is shown any more: messages go
  // to stderr and questions take their first answer.
  static void SetShuttingDown();

 protected:
  virtual void ShowMessage(const QString& text, const QString& caption, UiSeverity severity);
  virtual UiAnswer ShowQuestion(const QString& text, const QString& caption, bool withCancel);

 private:
  template <class F>
  auto OnWindowThread(F f);
  CUserInterface* previous_;
};

// While one lives, the thread that made it is quiet: what the core would
// show from it through the desktop's port is kept instead (the first
// message in First()) and its questions are answered No. A build in the
// background (the 3D view's) is made so.
class CQuietThread {
 public:
  CQuietThread();
  ~CQuietThread();
  CQuietThread(const CQuietThread&) = delete;
  CQuietThread& operator=(const CQuietThread&) = delete;
  const std::string& First() const { return first_; }

 private:
  friend class CQtUserInterface;
  CQuietThread* previous_;
  std::string first_;
};

// Runs one conversion at a time on a worker thread and reports its result on
// the window thread. The owner disables its controls while Busy().
class CConversionRunner : public QObject {
  Q_OBJECT
 public:
  explicit CConversionRunner(QObject* parent = nullptr);
  ~CConversionRunner() override;
  bool Busy() const { return busy_; }

  // work() runs on the worker and returns the driver's result; an error the
  // core raises ends the command with its message and result 0, and so does
  // any failure it shows. done(result) runs on the window thread afterwards,
  // unless the runner is gone by then; Warnings() then holds the warnings
  // the work gave.
  void Run(std::function<int()> work, std::function<void(int)> done);
  const QStringList& Warnings() const { return warnings_; }

  // Conversions still running anywhere in the program (a window may close
  // while its export goes on; the program waits for them before it exits).
  static int Running() { return running_.load(); }
  // Processes events until no conversion runs any more.
  static void WaitForAll();

 signals:
  void BusyChanged(bool busy);
  void Finished(int result);

 private:
  bool busy_ = false;
  QStringList warnings_;
  static std::atomic<int> running_;
};

// Help pages: one HTML page per help topic, found beside the program.
class CHelp {
 public:
  // The page file of a topic (the general table page for an unknown one).
  static QString PageName(int topic);
  // The folder holding the pages: $LAPFORGE_HELP when set, else "help"
  // beside the executable, or "../share/lapforge/help" from it once installed.
  static QString Folder();
  // Opens the topic's page in the desktop browser, or in the program's own
  // help window when no browser takes it; says so when the page is missing.
  static bool Open(int topic);
  // Set by the desktop program: shows a page in its own help window.
  static inline std::function<void(const QString& file)> showInProgram;
  // The table editor's topic for a table name (ignoring case); 117 for a
  // name not listed or no table.
  static int TableTopic(const QString& table);
  static constexpr int kMainWindowTopic = 116;
  static constexpr int kTablesTopic = 117;
};

// A file beside path with the same name and another extension, the letter
// case of the name kept: the output a picker proposes for an input.
std::string SiblingFile(const std::string& path, const std::string& extension);

// Elapsed time as the completion report writes it: whole seconds, a point
// and the milliseconds in three digits ("65.040").
QString FormatElapsed(qint64 milliseconds);

}  // namespace lapforge
