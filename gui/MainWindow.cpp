#include "gui/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>

#include "gui/GuiSupport.h"
#include "gui/OptionsDialog.h"
#include "gui/StatusWindow.h"
#include "gui/TableEditor.h"
#include "roads/Lapforge.h"
#include "support/FileString.h"
#include "support/RegOption.h"
#include "support/UserInterface.h"

namespace lapforge {

CMainWindow::CMainWindow(CFileDialogs* dialogs, QWidget* parent)
    : QMainWindow(parent),
      ownDialogs_(dialogs ? nullptr : new CQtFileDialogs),
      dialogs_(dialogs ? dialogs : ownDialogs_.get()),
      browser_(*dialogs_) {
  setWindowTitle(QStringLiteral("Lapforge  V1.11a"));
  runner_ = new CConversionRunner(this);
  connect(runner_, &CConversionRunner::BusyChanged, this, &CMainWindow::SetBusy);

  struct ButtonDef {
    const char* text;
    std::function<void()> action;
  };
  const std::vector<ButtonDef> defs = {
      {"Nascar .PTF to XML", [this] { PtfToXml(); }},
      {"XML to PTF", [this] { XmlToPtf(); }},
      {"GPL .TRK to XML", [this] { GplToXml(); }},
      {"Open XML", [this] { OpenXml(); }},
      {"Options", [this] { Options(); }},
      {"XML to 3DS", [this] { XmlToFile("3DS", &CLapforge::XMLTo3DS); }},
      {"XML to F1 MTS", [this] { XmlToFolder("MTS", &CLapforge::XMLToMTS); }},
      {"XML to rFactor", [this] { XmlToFolder("rFactor", &CLapforge::XMLtoRFactor); }},
      {"XML to GTR", [this] { XmlToFolder("GTR", &CLapforge::XMLtoGTR); }},
      {"New XML", [this] { NewXml(); }},
      {"Help", [this] { Help(); }},
      {"Exit", [this] { close(); }},
      {"XML to GTL", [this] { XmlToFolder("GTL", &CLapforge::XMLtoGTL); }},
      {"XML to 3SE", [this] { XmlToFile("3SE", &CLapforge::XMLto3SE); }},
      {"XML to GTR2", [this] { XmlToFolder("GTR2", &CLapforge::XMLtoGTR2); }},
  };

  auto* central = new QWidget(this);
  auto* grid = new QGridLayout(central);
  for (size_t i = 0; i < defs.size(); ++i) {
    auto* b = new QPushButton(QString::fromLatin1(defs[i].text), central);
    b->setMinimumSize(150, 34);
    connect(b, &QPushButton::clicked, this, defs[i].action);
    grid->addWidget(b, static_cast<int>(i / 3), static_cast<int>(i % 3));
    buttons_.push_back(b);
  }
  for (size_t i = 1; i < buttons_.size(); ++i) setTabOrder(buttons_[i - 1], buttons_[i]);
  setCentralWidget(central);

  busy_ = new QProgressBar(this);
  busy_->setRange(0, 0);
  busy_->setMaximumWidth(160);
  busy_->setMaximumHeight(14);
  busy_->hide();
  statusBar()->addPermanentWidget(busy_);

  auto* help = new QShortcut(QKeySequence::HelpContents, this);
  connect(help, &QShortcut::activated, this, &CMainWindow::Help);
}

CMainWindow::~CMainWindow() = default;

QPushButton* CMainWindow::Button(const QString& text) const {
  for (QPushButton* b : buttons_)
    if (b->text() == text) return b;
  return nullptr;
}

void CMainWindow::showEvent(QShowEvent* event) {
  if (helpTopic_ == 0) helpTopic_ = CHelp::kMainWindowTopic;
  QMainWindow::showEvent(event);
}

void CMainWindow::SetBusy(bool busy) {
  for (QPushButton* b : buttons_) b->setEnabled(!busy);
  busy_->setVisible(busy);
  if (busy)
    statusBar()->showMessage(QStringLiteral("Working..."));
  else
    statusBar()->clearMessage();
}

void CMainWindow::Run(std::function<int()> work) {
  start_.start();
  runner_->Run(std::move(work), [this](int files) {
    if (files > 0) CStatusWindow::OperationCompleted(files, start_);
  });
}

namespace {
// The folder of a picked track, remembered as the starting folder of the
// racing-line and camera pickers.
void RememberTrackFolder(const std::string& file) {
  static_cast<void>(CRegOption::SetOption("LastPapyTrack", FileString::Path(file)));
}
}  // namespace

void CMainWindow::PtfToXml() {
  const std::string ptf = browser_.GetReadFile("PTF");
  if (ptf.empty()) return;
  RememberTrackFolder(ptf);
  const std::string xml = browser_.GetWriteFile("XML");
  if (xml.empty()) return;
  const bool xyz = CRegOption::GetOption("TSOXYZ", 0) != 0;
  const bool autoMaterials = CRegOption::GetOption("ISIMaterials", 1) != 0;
  Run([=] { return CLapforge().PTFtoXML(ptf, xml, xyz, autoMaterials) == 1 ? 1 : 0; });
}

void CMainWindow::XmlToPtf() {
  const std::string xml = browser_.GetReadFile("XML");
  if (xml.empty()) return;
  const std::string ptf = browser_.GetWriteFile("PTF");
  if (ptf.empty()) return;
  Run([=] { return CLapforge().Files(&CLapforge::XMLToPTF, xml, ptf); });
}

void CMainWindow::GplToXml() {
  const std::string trk = browser_.GetReadFile("TRK");
  if (trk.empty()) return;
  RememberTrackFolder(trk);
  const std::string xml = browser_.GetWriteFile("XML");
  if (xml.empty()) return;
  const bool fromGplTrk = CRegOption::GetOption("TRKFromGPLTRK", 1) != 0;
  const bool autoMaterials = CRegOption::GetOption("ISIMaterials", 1) != 0;
  Run([=] { return CLapforge().GplTrktoXML(trk, xml, fromGplTrk, autoMaterials) == 1 ? 1 : 0; });
}

void CMainWindow::XmlToFile(const char* extension, Operation op) {
  const std::string xml = browser_.GetReadFile("XML");
  if (xml.empty()) return;
  const std::string out = browser_.GetWriteFile(extension);
  if (out.empty()) return;
  Run([=] { return CLapforge().Files(op, xml, out); });
}

void CMainWindow::XmlToFolder(const char* format, Operation op) {
  const std::string xml = browser_.GetReadFile("XML");
  if (xml.empty()) return;
  const std::string folder = browser_.GetFolder(format);
  if (folder.empty()) return;
  Run([=] { return CLapforge().Files(op, xml, folder); });
}

void CMainWindow::OpenXml() {
  const std::string xml = browser_.GetReadFile("XML");
  if (xml.empty()) return;
  auto* editor = new LapforgeEdit(QString::fromStdString(xml), *dialogs_, this);
  editor->setAttribute(Qt::WA_DeleteOnClose);
  editor->setModal(true);
  if (onEditorOpened) onEditorOpened(editor);
  editor->open();
}

void CMainWindow::NewXml() {
  auto* editor = new LapforgeEdit(QString(), *dialogs_, nullptr);
  editor->setAttribute(Qt::WA_DeleteOnClose);
  if (onEditorOpened) onEditorOpened(editor);
  editor->show();
}

void CMainWindow::Options() {
  COptionsDialog dialog(this);
  dialog.exec();
}

void CMainWindow::Help() { CHelp::Open(helpTopic_ ? helpTopic_ : CHelp::kMainWindowTopic); }

void CMainWindow::closeEvent(QCloseEvent* event) {
  if (runner_->Busy() &&
      !UI().YesNo("A conversion is still running. Its files are finished before the program ends; exit anyway?",
                  "Lapforge")) {
    event->ignore();
    return;
  }
  // Open editors close first; one that keeps its edits (Cancel) keeps the
  // program running.
  for (QWidget* w : QApplication::topLevelWidgets()) {
    auto* editor = qobject_cast<LapforgeEdit*>(w);
    if (editor && editor->isVisible() && !editor->close()) {
      event->ignore();
      return;
    }
  }
  QMainWindow::closeEvent(event);
  emit Closed();
}

}  // namespace lapforge
