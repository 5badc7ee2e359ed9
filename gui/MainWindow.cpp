#include "gui/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include "description/TrkDsc.h"
#include "gui/ExportCheck.h"
#include "gui/FolderSnapshot.h"
#include "gui/GuiSupport.h"
#include "gui/HelpWindow.h"
#include "gui/OptionsDialog.h"
#include "gui/StatusWindow.h"
#include "gui/TableEditor.h"
#include "roads/Lapforge.h"
#include "support/FileString.h"
#include "support/RegOption.h"
#include "support/UserInterface.h"

namespace lapforge {

namespace {

constexpr int kRecentCount = 8;
const char* const kRecentSetting = "RecentFiles";

QString Plain(QString text) { return text.remove('&').remove(QStringLiteral("...")); }

// The folder of a picked track, remembered as the starting folder of the
// racing-line and camera pickers.
void RememberTrackFolder(const std::string& file) {
  static_cast<void>(CRegOption::SetOption("LastPapyTrack", FileString::Path(file)));
}

}  // namespace

CMainWindow::CMainWindow(CFileDialogs* dialogs, QWidget* parent)
    : QMainWindow(parent),
      ownDialogs_(dialogs ? nullptr : new CQtFileDialogs),
      dialogs_(dialogs ? dialogs : ownDialogs_.get()),
      browser_(*dialogs_) {
  setWindowTitle(QStringLiteral("Lapforge  V1.11a"));
  setAcceptDrops(true);
  runner_ = new CConversionRunner(this);
  connect(runner_, &CConversionRunner::BusyChanged, this, &CMainWindow::SetBusy);
  BuildCommands();
  BuildMenus();

  busy_ = new QProgressBar(this);
  busy_->setRange(0, 0);
  busy_->setMaximumWidth(160);
  busy_->setMaximumHeight(14);
  busy_->hide();
  statusBar()->addPermanentWidget(busy_);
  // Without a desktop browser, help opens in the program's own window.
  if (!CHelp::showInProgram) CHelp::showInProgram = [](const QString& file) { CHelpWindow::ShowPage(file); };
}

CMainWindow::~CMainWindow() = default;

// The command buttons in three groups; each button has its menu command.
void CMainWindow::BuildCommands() {
  struct Command {
    const char* text;
    int group;  // 0 import, 1 export, 2 tools
    std::function<void()> action;
  };
  const std::vector<Command> commands = {
      {"Nascar .PTF to XML", 0, [this] { PtfToXml(); }},
      {"GPL .TRK to XML", 0, [this] { GplToXml(); }},
      {"XML to PTF", 1, [this] { XmlToPtf(); }},
      {"XML to rFactor", 1, [this] { XmlToFolder("rFactor", &CLapforge::XMLtoRFactor); }},
      {"XML to GTR", 1, [this] { XmlToFolder("GTR", &CLapforge::XMLtoGTR); }},
      {"XML to GTR2", 1, [this] { XmlToFolder("GTR2", &CLapforge::XMLtoGTR2); }},
      {"XML to GTL", 1, [this] { XmlToFolder("GTL", &CLapforge::XMLtoGTL); }},
      {"XML to F1 MTS", 1, [this] { XmlToFolder("MTS", &CLapforge::XMLToMTS); }},
      {"XML to 3DS", 1, [this] { XmlToFile("3DS", "3DS file", &CLapforge::XMLTo3DS); }},
      {"XML to 3SE", 1, [this] { XmlToFile("3SE", "3SE scene", &CLapforge::XMLto3SE); }},
      {"Open XML", 2, [this] { OpenXml(); }},
      {"New XML", 2, [this] { NewXml(); }},
      {"Options", 2, [this] { Options(); }},
      {"Help", 2, [this] { Help(); }},
  };
  const char* titles[] = {"Import a track", "Export a description", "Tools"};
  QGridLayout* grids[3];
  auto* central = new QWidget(this);
  auto* columns = new QHBoxLayout(central);
  for (int g = 0; g < 3; ++g) {
    auto* box = new QGroupBox(QString::fromLatin1(titles[g]), central);
    grids[g] = new QGridLayout(box);
    columns->addWidget(box, g == 1 ? 2 : 1, Qt::AlignTop);
  }
  int placed[3] = {0, 0, 0};
  for (const Command& c : commands) {
    auto* b = new QPushButton(QString::fromLatin1(c.text), central);
    b->setMinimumSize(150, 34);
    connect(b, &QPushButton::clicked, this, c.action);
    // Exports sit two to a row, the other groups one.
    const int perRow = c.group == 1 ? 2 : 1;
    grids[c.group]->addWidget(b, placed[c.group] / perRow, placed[c.group] % perRow);
    ++placed[c.group];
    buttons_.push_back(b);
    auto* a = new QAction(QString::fromLatin1(c.text), this);
    connect(a, &QAction::triggered, this, c.action);
    actions_.push_back(a);
  }
  for (size_t i = 1; i < buttons_.size(); ++i) setTabOrder(buttons_[i - 1], buttons_[i]);
  setCentralWidget(central);
}

void CMainWindow::BuildMenus() {
  QAction* open = Action(QStringLiteral("Open XML"));
  open->setText(QStringLiteral("&Open XML..."));
  open->setShortcut(QKeySequence::Open);
  open->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
  QAction* fresh = Action(QStringLiteral("New XML"));
  fresh->setText(QStringLiteral("&New XML"));
  fresh->setShortcut(QKeySequence::New);
  fresh->setIcon(style()->standardIcon(QStyle::SP_FileIcon));
  QAction* help = Action(QStringLiteral("Help"));
  help->setText(QStringLiteral("&Help"));
  help->setShortcut(QKeySequence::HelpContents);
  help->setIcon(style()->standardIcon(QStyle::SP_DialogHelpButton));
  QAction* options = Action(QStringLiteral("Options"));
  options->setText(QStringLiteral("&Options..."));
  options->setMenuRole(QAction::PreferencesRole);

  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->addAction(fresh);
  file->addAction(open);
  recentMenu_ = file->addMenu(QStringLiteral("Open &Recent"));
  connect(recentMenu_, &QMenu::aboutToShow, this, &CMainWindow::FillRecentMenu);
  FillRecentMenu();
  file->addSeparator();
  QAction* exit = file->addAction(QStringLiteral("E&xit"));
  connect(exit, &QAction::triggered, this, &QWidget::close);
  exit->setShortcut(QKeySequence::Quit);
  exit->setMenuRole(QAction::QuitRole);
  actions_.push_back(exit);

  QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
  edit->addAction(options);

  QMenu* convert = menuBar()->addMenu(QStringLiteral("&Convert"));
  for (const char* text : {"Nascar .PTF to XML", "GPL .TRK to XML"}) convert->addAction(Action(QLatin1String(text)));
  convert->addSeparator();
  for (const char* text : {"XML to PTF", "XML to rFactor", "XML to GTR", "XML to GTR2", "XML to GTL", "XML to F1 MTS",
                           "XML to 3DS", "XML to 3SE"})
    convert->addAction(Action(QLatin1String(text)));

  QMenu* helpMenu = menuBar()->addMenu(QStringLiteral("&Help"));
  helpMenu->addAction(help);
  QAction* about = helpMenu->addAction(QStringLiteral("&About Lapforge"));
  connect(about, &QAction::triggered, this, &CMainWindow::About);
  about->setMenuRole(QAction::AboutRole);
  actions_.push_back(about);

  QToolBar* tools = addToolBar(QStringLiteral("Commands"));
  tools->setObjectName(QStringLiteral("commands"));
  tools->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  tools->setMovable(false);
  tools->addAction(fresh);
  tools->addAction(open);
  tools->addSeparator();
  tools->addAction(help);
  // The shortcuts work wherever the focus is in the window.
  addActions(QList<QAction*>(actions_.begin(), actions_.end()));
}

QPushButton* CMainWindow::Button(const QString& text) const {
  for (QPushButton* b : buttons_)
    if (b->text() == text) return b;
  return nullptr;
}

QAction* CMainWindow::Action(const QString& text) const {
  for (QAction* a : actions_)
    if (Plain(a->text()) == Plain(text)) return a;
  return nullptr;
}

void CMainWindow::showEvent(QShowEvent* event) {
  if (helpTopic_ == 0) helpTopic_ = CHelp::kMainWindowTopic;
  QMainWindow::showEvent(event);
}

void CMainWindow::SetBusy(bool busy) {
  for (QPushButton* b : buttons_) b->setEnabled(!busy);
  // Help, About and Exit stay usable while a conversion runs.
  for (QAction* a : actions_) {
    const QString t = Plain(a->text());
    if (t != QLatin1String("Help") && t != QLatin1String("About Lapforge") && t != QLatin1String("Exit"))
      a->setEnabled(!busy);
  }
  if (recentMenu_) recentMenu_->setEnabled(!busy);
  busy_->setVisible(busy);
  if (busy)
    statusBar()->showMessage(QStringLiteral("Working..."));
  else
    statusBar()->clearMessage();
}

void CMainWindow::Run(std::function<int()> work, const std::string& output, bool folder,
                      const QStringList& checkWarnings) {
  start_.start();
  const CFolderSnapshot before = folder ? CFolderSnapshot::Take(QString::fromStdString(output)) : CFolderSnapshot();
  runner_->Run(std::move(work), [this, output, folder, checkWarnings, before](int files) {
    if (files <= 0) return;
    CStatusWindow::OperationCompleted(
        files, start_, CompletionDetails::Of(output, folder, checkWarnings, runner_->Warnings(), before));
  });
}

// ---- Files ---------------------------------------------------------------

QStringList CMainWindow::RecentFiles() {
  const QString stored = QString::fromStdString(CRegOption::GetOption(kRecentSetting, std::string()));
  return stored.split('\n', Qt::SkipEmptyParts);
}

void CMainWindow::AddRecent(const QString& path) {
  QStringList recent = RecentFiles();
  const QString absolute = QFileInfo(path).absoluteFilePath();
  recent.removeAll(absolute);
  recent.prepend(absolute);
  while (recent.size() > kRecentCount) recent.removeLast();
  static_cast<void>(CRegOption::SetOption(kRecentSetting, recent.join('\n').toStdString()));
  FillRecentMenu();
}

void CMainWindow::FillRecentMenu() {
  if (!recentMenu_) return;
  recentMenu_->clear();
  const QStringList recent = RecentFiles();
  for (int i = 0; i < recent.size(); ++i) {
    const QString path = recent[i];
    QAction* a = recentMenu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(path));
    connect(a, &QAction::triggered, this, [this, path] { OpenFile(path); });
  }
  recentMenu_->setEnabled(!recent.isEmpty() && !runner_->Busy());
}

bool CMainWindow::OpenFile(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (!QFileInfo(path).isFile()) {
    ShowError("The file " + path.toStdString() + " cannot be found", "Lapforge");
    return false;
  }
  if (suffix == QLatin1String("xml")) {
    OpenEditor(path.toStdString());
    return true;
  }
  if (suffix == QLatin1String("ptf")) {
    PtfToXml(path.toStdString());
    return true;
  }
  if (suffix == QLatin1String("trk")) {
    GplToXml(path.toStdString());
    return true;
  }
  ShowError(path.toStdString() +
                " is not a file Lapforge opens: a track description (.xml), a NASCAR track (.ptf) or a GPL "
                "track (.trk)",
            "Lapforge");
  return false;
}

void CMainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (runner_->Busy() || !event->mimeData()->hasUrls()) return;
  for (const QUrl& url : event->mimeData()->urls()) {
    const QString suffix = QFileInfo(url.toLocalFile()).suffix().toLower();
    if (url.isLocalFile() && (suffix == "xml" || suffix == "ptf" || suffix == "trk")) {
      event->acceptProposedAction();
      return;
    }
  }
}

void CMainWindow::dropEvent(QDropEvent* event) {
  // The first file Lapforge opens; one command at a time.
  for (const QUrl& url : event->mimeData()->urls()) {
    const QString suffix = QFileInfo(url.toLocalFile()).suffix().toLower();
    if (url.isLocalFile() && (suffix == "xml" || suffix == "ptf" || suffix == "trk")) {
      event->acceptProposedAction();
      OpenFile(url.toLocalFile());
      return;
    }
  }
}

// ---- Commands ------------------------------------------------------------

void CMainWindow::PtfToXml(const std::string& givenPtf) {
  const std::string ptf =
      givenPtf.empty() ? browser_.GetReadFile("PTF", PickerText{"Choose the PTF track to convert", {}}) : givenPtf;
  if (ptf.empty()) return;
  RememberTrackFolder(ptf);
  const std::string xml = browser_.GetWriteFile("XML", {"Save the description as", SiblingFile(ptf, "xml")});
  if (xml.empty()) return;
  const bool xyz = CRegOption::GetOption("TSOXYZ", 0) != 0;
  const bool autoMaterials = CRegOption::GetOption("ISIMaterials", 1) != 0;
  AddRecent(QString::fromStdString(xml));
  Run([=] { return CLapforge().PTFtoXML(ptf, xml, xyz, autoMaterials) == 1 ? 1 : 0; }, xml);
}

void CMainWindow::GplToXml(const std::string& givenTrk) {
  const std::string trk =
      givenTrk.empty() ? browser_.GetReadFile("TRK", PickerText{"Choose the GPL track to convert", {}}) : givenTrk;
  if (trk.empty()) return;
  RememberTrackFolder(trk);
  const std::string xml = browser_.GetWriteFile("XML", {"Save the description as", SiblingFile(trk, "xml")});
  if (xml.empty()) return;
  const bool fromGplTrk = CRegOption::GetOption("TRKFromGPLTRK", 1) != 0;
  const bool autoMaterials = CRegOption::GetOption("ISIMaterials", 1) != 0;
  AddRecent(QString::fromStdString(xml));
  Run([=] { return CLapforge().GplTrktoXML(trk, xml, fromGplTrk, autoMaterials) == 1 ? 1 : 0; }, xml);
}

void CMainWindow::XmlToPtf() {
  const std::string xml = browser_.GetReadFile("XML", PickerText{"Choose the description to convert", {}});
  if (xml.empty()) return;
  std::string ptf =
      browser_.GetWriteFile("PTF", {"Save the PTF track as", FileString::LowerFileName(SiblingFile(xml, "ptf"))});
  if (ptf.empty()) return;
  // The games find a track by its lower-cased name, which is the name written.
  const std::string lower = FileString::LowerFileName(ptf);
  if (lower != ptf &&
      !UI().YesNo("PTF file names are written in lower case: the track is written as\n" + lower + "\nWrite it?",
                  "Lapforge"))
    return;
  CheckedExport(xml, lower, false, false, &CLapforge::XMLToPTF);
}

void CMainWindow::XmlToFile(const char* extension, const char* what, Operation op) {
  const std::string xml = browser_.GetReadFile("XML", PickerText{"Choose the description to convert", {}});
  if (xml.empty()) return;
  const std::string out =
      browser_.GetWriteFile(extension, {std::string("Save the ") + what + " as",
                                        SiblingFile(xml, QString::fromLatin1(extension).toLower().toStdString())});
  if (out.empty()) return;
  CheckedExport(xml, out, false, true, op);
}

void CMainWindow::XmlToFolder(const char* format, Operation op) {
  const std::string xml = browser_.GetReadFile("XML", PickerText{"Choose the description to convert", {}});
  if (xml.empty()) return;
  const std::string folder = browser_.GetFolder(
      format,
      {std::string("Choose the folder for the ") + format + " files (a new name is created)", FileString::Path(xml)});
  if (folder.empty()) return;
  CheckedExport(xml, folder, true, true, op);
}

void CMainWindow::CheckedExport(const std::string& xml, const std::string& output, bool folder, bool meshes,
                                Operation op) {
  AddRecent(QString::fromStdString(xml));
  CheckThenExport(
      *runner_, this, [xml] { return CheckFile(xml); }, meshes,
      [=, this](const QStringList& warnings) {
        Run([=] { return CLapforge().Files(op, xml, output); }, output, folder, warnings);
      });
}

void CMainWindow::OpenXml() {
  const std::string xml = browser_.GetReadFile("XML", PickerText{"Choose the description to open", {}});
  if (!xml.empty()) OpenEditor(xml);
}

void CMainWindow::OpenEditor(const std::string& xml) {
  // Read on the worker, with the busy bar; a description that cannot be
  // read has had its message and opens no editor.
  AddRecent(QString::fromStdString(xml));
  auto loaded = std::make_shared<std::shared_ptr<TrkDsc>>();
  runner_->Run(
      [loaded, xml] {
        *loaded = CLapforge().DataBaseFromXML(xml);
        return *loaded ? 1 : 0;
      },
      [this, loaded, xml](int ok) {
        if (!ok) return;
        auto* editor = new LapforgeEdit(QString::fromStdString(xml), std::move(*loaded), *dialogs_, this);
        editor->setAttribute(Qt::WA_DeleteOnClose);
        editor->setModal(true);
        if (onEditorOpened) onEditorOpened(editor);
        editor->open();
      });
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

void CMainWindow::About() {
  QMessageBox::about(this, QStringLiteral("About Lapforge"),
                     QStringLiteral("Lapforge  V1.11a\n\nTurns a track description (XML) into racing-sim game files "
                                    "and reads game tracks back into descriptions."));
}

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
