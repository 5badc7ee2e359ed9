#include "gui/ExportCheck.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <memory>

#include "gui/GuiSupport.h"
#include "support/Memory.h"
#include "support/UserInterface.h"

namespace lapforge {

CCheckDialog::CCheckDialog(const std::vector<CheckFinding>& findings, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Check"));
  const int errors = CTrackCheck::ErrorCount(findings);
  const int warnings = static_cast<int>(findings.size()) - errors;
  auto* text = new QLabel(QStringLiteral("The description has %1 error(s) and %2 warning(s). A track exported from "
                                         "it will not be right in the game.")
                              .arg(errors)
                              .arg(warnings),
                          this);
  text->setWordWrap(true);
  list_ = new QListWidget(this);
  const QIcon errorIcon = style()->standardIcon(QStyle::SP_MessageBoxCritical);
  const QIcon warningIcon = style()->standardIcon(QStyle::SP_MessageBoxWarning);
  // Errors first, each group in the order the checks found them.
  for (CheckSeverity severity : {CheckSeverity::Error, CheckSeverity::Warning})
    for (const CheckFinding& f : findings)
      if (f.severity == severity)
        new QListWidgetItem(severity == CheckSeverity::Error ? errorIcon : warningIcon,
                            QString::fromStdString(CTrackCheck::FormatLine(f)), list_);

  auto* box = new QDialogButtonBox(this);
  anyway_ = box->addButton(QStringLiteral("Export anyway"), QDialogButtonBox::AcceptRole);
  cancel_ = box->addButton(QDialogButtonBox::Cancel);
  anyway_->setAutoDefault(false);
  cancel_->setDefault(true);
  cancel_->setFocus();
  connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* icon = new QLabel(this);
  icon->setPixmap(errorIcon.pixmap(32, 32));
  auto* top = new QHBoxLayout;
  top->addWidget(icon, 0, Qt::AlignTop);
  top->addWidget(text, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(list_, 1);
  layout->addWidget(box);
  resize(720, 360);
}

CheckOutcome CheckFile(const std::string& xmlFile) {
  CheckOutcome out;
  CTrackCheck check;
  out.findings = check.CheckFile(xmlFile, &out.loaded);
  out.meshBytes = check.MeshBytes();
  return out;
}

CheckOutcome CheckDescription(const TrkDsc& db, const std::string& descriptionPath) {
  CheckOutcome out;
  CTrackCheck check;
  out.findings = check.Check(db, descriptionPath);
  out.meshBytes = check.MeshBytes();
  return out;
}

void CheckThenExport(CConversionRunner& runner, QWidget* parent, std::function<CheckOutcome()> check, bool meshes,
                     std::function<void(const QStringList& warnings)> proceed) {
  auto outcome = std::make_shared<CheckOutcome>();
  QPointer<QWidget> owner(parent);
  runner.Run(
      [outcome, check = std::move(check)] {
        *outcome = check();
        return 1;
      },
      [outcome, owner, meshes, proceed = std::move(proceed)](int checked) {
        if (!owner || checked == 0) return;
        // A description that cannot be read is left to the export, which
        // says so in its own words.
        if (!outcome->loaded) {
          proceed({});
          return;
        }
        if (const std::string refusal =
                meshes ? MemoryRefusal(outcome->meshBytes, "the track's mesh") : std::string();
            !refusal.empty()) {
          ShowError(refusal + "; nothing was written", "Check");
          return;
        }
        if (CTrackCheck::ErrorCount(outcome->findings) > 0) {
          CCheckDialog dialog(outcome->findings, owner);
          if (dialog.exec() != QDialog::Accepted) return;
        }
        QStringList warnings;
        for (const CheckFinding& f : outcome->findings)
          if (f.severity == CheckSeverity::Warning) warnings << QString::fromStdString(CTrackCheck::FormatLine(f));
        proceed(warnings);
      });
}

}  // namespace lapforge
