// The completion report: a small tool window, not modal, centred on the
// screen, that says how many files an operation wrote, where and how long it
// took, lists the warnings the operation gave and the files of an older
// export it left in the folder, offers to open the folder, and stays until
// it is closed.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QStringList>
#include <string>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace lapforge {

// What a report says beside the count of files.
class CFolderSnapshot;

struct CompletionDetails {
  QString output;       // the file or folder written; empty when not told
  bool folder = false;  // output is a folder (else a file, whose folder opens)
  QStringList warnings;
  QStringList stale;  // files in the output folder the operation did not write

  // The details of a finished export: its output, the check's warnings and
  // then the road's (each once), and the files of the folder it left stale.
  static CompletionDetails Of(const std::string& output, bool folder, const QStringList& checkWarnings,
                              const QStringList& roadWarnings, const CFolderSnapshot& before);
};

class CStatusWindow : public QDialog {
  Q_OBJECT
 public:
  CStatusWindow(int files, qint64 elapsedMs, const QString& comment = {}, QWidget* parent = nullptr,
                const CompletionDetails& details = {});

  // Shows a new report (deleted when it closes) and returns at once.
  static CStatusWindow* OperationCompleted(int files, const QElapsedTimer& start, const QString& comment = {});
  static CStatusWindow* OperationCompleted(int files, const QElapsedTimer& start, const CompletionDetails& details);

  QString CompletedText() const;
  QString FilesText() const;
  QString TimeText() const;
  QString CommentText() const;
  // "Written to ...", empty when no output was named.
  QString OutputText() const;
  // The warnings and the stale files, one a line; empty when there are none.
  QString WarningsText() const;
  QString StaleText() const;
  QPushButton* OkButton() const { return ok_; }
  // Present when an output was named.
  QPushButton* OpenFolderButton() const { return openFolder_; }
  // The folder "Open folder" opens.
  QString Folder() const { return folderToOpen_; }

 private:
  QLabel* completed_;
  QLabel* files_;
  QLabel* time_;
  QLabel* comment_;
  QLabel* output_ = nullptr;
  QPlainTextEdit* warnings_ = nullptr;
  QPlainTextEdit* stale_ = nullptr;
  QPushButton* ok_;
  QPushButton* openFolder_ = nullptr;
  QString folderToOpen_;
};

}  // namespace lapforge
