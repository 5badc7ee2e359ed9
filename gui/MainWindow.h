// The main window: one button per conversion, the options, the table editor
// and help. Conversions run on a worker thread; the buttons are disabled and
// a busy indicator shows until the conversion ends.
#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/Browser.h"


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

  // The fifteen buttons, in tab order.
  const std::vector<QPushButton*>& Buttons() const { return buttons_; }
  QPushButton* Button(const QString& text) const;
  CConversionRunner* Runner() const { return runner_; }
  int HelpTopic() const { return helpTopic_; }
  CFileDialogs& Dialogs() const { return *dialogs_; }

  // Shows every table editor as it is opened (tests answer them).
  std::function<void(LapforgeEdit*)> onEditorOpened;

 signals:
  // The window closed (the program ends).
  void Closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void PtfToXml();
  void XmlToPtf();
  void GplToXml();
  void OpenXml();
  void Options();
  // An XML... operation of the driver: the description, then its output.
  using Operation = int (CLapforge::*)(const std::string&, const std::string&);
  void XmlToFile(const char* extension, Operation op);
  void XmlToFolder(const char* format, Operation op);
  void NewXml();
  void Help();
  // Runs work (the number of files it wrote, 0 when it failed) and reports
  // the files written.
  void Run(std::function<int()> work);
  void SetBusy(bool busy);

  std::unique_ptr<CFileDialogs> ownDialogs_;
  CFileDialogs* dialogs_;
  CBrowser browser_;
  CConversionRunner* runner_;
  QProgressBar* busy_;
  std::vector<QPushButton*> buttons_;
  QElapsedTimer start_;
  int helpTopic_ = 0;
};

}  // namespace lapforge
