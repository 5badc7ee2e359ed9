// The track checks before an export, as the command line runs them: the
// checks run on the worker thread; when they find an error the findings are
// shown in one dialog and the export goes on only on "Export anyway".
#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>
#include <vector>

#include "roads/TrackCheck.h"


class QListWidget;
class QPushButton;

namespace lapforge {

class CConversionRunner;

// What the checks of one description found.
struct CheckOutcome {
  std::vector<CheckFinding> findings;
  bool loaded = true;     // false: the export itself says why it cannot read it
  double meshBytes = -1;  // mesh records the export would make; negative when unknown
};

class CCheckDialog : public QDialog {
  Q_OBJECT
 public:
  CCheckDialog(const std::vector<CheckFinding>& findings, QWidget* parent = nullptr);

  QListWidget* Findings() const { return list_; }
  QPushButton* ExportAnywayButton() const { return anyway_; }
  QPushButton* CancelButton() const { return cancel_; }

 private:
  QListWidget* list_;
  QPushButton* anyway_;
  QPushButton* cancel_;
};

// Runs check() on runner's worker. Then, on the window thread: a mesh the
// machine cannot hold is refused (meshes only); findings with an error are
// shown in the dialog; and unless refused or cancelled, proceed() runs with
// the warnings the checks found (for the completion report).
void CheckThenExport(CConversionRunner& runner, QWidget* parent, std::function<CheckOutcome()> check, bool meshes,
                     std::function<void(const QStringList& warnings)> proceed);

// The checks of a description file, and of a description in memory
// (descriptionPath locates its material maps; empty skips them).
CheckOutcome CheckFile(const std::string& xmlFile);
CheckOutcome CheckDescription(const TrkDsc& db, const std::string& descriptionPath);

}  // namespace lapforge
