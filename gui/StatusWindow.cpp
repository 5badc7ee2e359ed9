#include "gui/StatusWindow.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QUrl>
#include <algorithm>

#include "gui/FolderSnapshot.h"
#include "gui/GuiSupport.h"

namespace lapforge {

namespace {
QPlainTextEdit* LinesBox(const QStringList& lines, QWidget* parent) {
  auto* box = new QPlainTextEdit(lines.join('\n'), parent);
  box->setReadOnly(true);
  box->setLineWrapMode(QPlainTextEdit::NoWrap);
  box->setMinimumWidth(460);
  box->setMaximumHeight(box->fontMetrics().lineSpacing() * (std::min<int>(static_cast<int>(lines.size()), 8) + 1) + 12);
  return box;
}
}  // namespace

CStatusWindow::CStatusWindow(int files, qint64 elapsedMs, const QString& comment, QWidget* parent,
                             const CompletionDetails& details)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint) {
  setWindowTitle(QStringLiteral("Lapforge Status"));
  setModal(false);

  auto* picture = new QLabel(this);
  // A report with warnings is not a clean success: it wears the warning sign.
  picture->setPixmap(
      style()
          ->standardIcon(details.warnings.isEmpty() ? QStyle::SP_DialogApplyButton : QStyle::SP_MessageBoxWarning)
          .pixmap(48, 48));
  completed_ = new QLabel(QStringLiteral("Operation completed succesfully!"), this);
  files_ = new QLabel(QStringLiteral("%1 File(s) written").arg(files), this);
  time_ = new QLabel(QStringLiteral("In %1 seconds").arg(FormatElapsed(elapsedMs)), this);
  comment_ = new QLabel(comment, this);
  ok_ = new QPushButton(QStringLiteral("OK"), this);
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);

  auto* grid = new QGridLayout(this);
  grid->addWidget(picture, 0, 0, 4, 1, Qt::AlignTop);
  grid->addWidget(completed_, 0, 1);
  grid->addWidget(files_, 1, 1);
  grid->addWidget(time_, 2, 1);
  grid->addWidget(comment_, 3, 1);
  int line = 4;
  if (!details.output.isEmpty()) {
    const QString shown = QDir::toNativeSeparators(details.output);
    output_ = new QLabel(QStringLiteral("Written to %1").arg(shown), this);
    output_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(output_, line++, 1);
    folderToOpen_ = details.folder ? details.output : QFileInfo(details.output).absolutePath();
  }
  if (!details.warnings.isEmpty()) {
    grid->addWidget(new QLabel(QStringLiteral("Warnings:"), this), line++, 1);
    warnings_ = LinesBox(details.warnings, this);
    grid->addWidget(warnings_, line++, 1);
  }
  if (!details.stale.isEmpty()) {
    grid->addWidget(new QLabel(QStringLiteral("Files of an earlier export this one did not write (left in the "
                                              "folder; delete them if the game should not load them):"),
                               this),
                    line++, 1);
    stale_ = LinesBox(details.stale, this);
    grid->addWidget(stale_, line++, 1);
  }
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  if (!folderToOpen_.isEmpty()) {
    openFolder_ = new QPushButton(QStringLiteral("Open folder"), this);
    openFolder_->setAutoDefault(false);
    connect(openFolder_, &QPushButton::clicked, this,
            [this] { QDesktopServices::openUrl(QUrl::fromLocalFile(folderToOpen_)); });
    buttons->addWidget(openFolder_);
  }
  buttons->addWidget(ok_);
  buttons->addStretch();
  grid->addLayout(buttons, line, 0, 1, 2);
  grid->setSizeConstraint(QLayout::SetFixedSize);
}

namespace {
// Shows a report centred on the screen, deleted when it closes.
CStatusWindow* ShowCentred(CStatusWindow* w) {
  w->setAttribute(Qt::WA_DeleteOnClose);
  w->adjustSize();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = w->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    w->move(frame.topLeft());
  }
  w->show();
  return w;
}
}  // namespace

CStatusWindow* CStatusWindow::OperationCompleted(int files, const QElapsedTimer& start, const QString& comment) {
  return ShowCentred(new CStatusWindow(files, start.isValid() ? start.elapsed() : 0, comment));
}

CStatusWindow* CStatusWindow::OperationCompleted(int files, const QElapsedTimer& start,
                                                 const CompletionDetails& details) {
  return ShowCentred(new CStatusWindow(files, start.isValid() ? start.elapsed() : 0, QString(), nullptr, details));
}

QString CStatusWindow::CompletedText() const { return completed_->text(); }
QString CStatusWindow::FilesText() const { return files_->text(); }
QString CStatusWindow::TimeText() const { return time_->text(); }
QString CStatusWindow::CommentText() const { return comment_->text(); }
QString CStatusWindow::OutputText() const { return output_ ? output_->text() : QString(); }
QString CStatusWindow::WarningsText() const { return warnings_ ? warnings_->toPlainText() : QString(); }
QString CStatusWindow::StaleText() const { return stale_ ? stale_->toPlainText() : QString(); }

CompletionDetails CompletionDetails::Of(const std::string& output, bool folder, const QStringList& checkWarnings,
                                        const QStringList& roadWarnings, const CFolderSnapshot& before) {
  CompletionDetails details;
  details.output = QString::fromStdString(output);
  details.folder = folder;
  details.warnings = checkWarnings;
  for (const QString& w : roadWarnings)
    if (!details.warnings.contains(w)) details.warnings << w;
  details.stale = before.StaleNow();
  return details;
}

}  // namespace lapforge
