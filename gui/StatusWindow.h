// The completion report: a small tool window, not modal, centred on the
// screen, that says how many files an operation wrote and how long it took,
// and closes on "OK" or by itself after five seconds.
#pragma once

#include <QDialog>
#include <QElapsedTimer>


class QLabel;
class QPushButton;
class QTimer;

namespace lapforge {

class CStatusWindow : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kAutoCloseMs = 5000;

  CStatusWindow(int files, qint64 elapsedMs, const QString& comment = {}, QWidget* parent = nullptr);

  // Shows a new report (deleted when it closes) and returns at once.
  static CStatusWindow* OperationCompleted(int files, const QElapsedTimer& start, const QString& comment = {});

  QString CompletedText() const;
  QString FilesText() const;
  QString TimeText() const;
  QString CommentText() const;
  QPushButton* OkButton() const { return ok_; }
  // The one-shot timer that closes the report.
  QTimer* CloseTimer() const { return closeTimer_; }

 private:
  QLabel* completed_;
  QLabel* files_;
  QLabel* time_;
  QLabel* comment_;
  QPushButton* ok_;
  QTimer* closeTimer_;
};

}  // namespace lapforge
