#include "gui/StatusWindow.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>

#include "gui/GuiSupport.h"

namespace lapforge {

CStatusWindow::CStatusWindow(int files, qint64 elapsedMs, const QString& comment, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::CustomizeWindowHint) {
  setWindowTitle(QStringLiteral("Lapforge Status"));
  setModal(false);

  auto* picture = new QLabel(this);
  picture->setPixmap(style()->standardIcon(QStyle::SP_DialogApplyButton).pixmap(48, 48));
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
  grid->addWidget(ok_, 4, 0, 1, 2, Qt::AlignCenter);
  grid->setSizeConstraint(QLayout::SetFixedSize);

  closeTimer_ = new QTimer(this);
  closeTimer_->setSingleShot(true);
  closeTimer_->setInterval(kAutoCloseMs);
  connect(closeTimer_, &QTimer::timeout, this, &QDialog::accept);
  closeTimer_->start();
}

CStatusWindow* CStatusWindow::OperationCompleted(int files, const QElapsedTimer& start, const QString& comment) {
  auto* w = new CStatusWindow(files, start.isValid() ? start.elapsed() : 0, comment);
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

QString CStatusWindow::CompletedText() const { return completed_->text(); }
QString CStatusWindow::FilesText() const { return files_->text(); }
QString CStatusWindow::TimeText() const { return time_->text(); }
QString CStatusWindow::CommentText() const { return comment_->text(); }

}  // namespace lapforge
