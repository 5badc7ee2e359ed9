#include "gui/GuiSupport.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QThread>
#include <QUrl>
#include <cstdio>
#include <exception>
#include <mutex>

#include "support/Errors.h"

namespace lapforge {

// ---- Pickers -------------------------------------------------------------

QString CQtFileDialogs::NameFilter(const std::string& filter) {
  const QString f = QString::fromStdString(filter);
  const QString shown = f.section('|', 0, 0);
  const QString pattern = f.section('|', 1, 1);
  if (pattern.isEmpty()) return shown;
  const QString lower = pattern.toLower();
  if (lower == pattern) return shown;
  // "XML files (*.XML)" -> "XML files (*.XML *.xml)"
  QString label = shown;
  const int close = label.lastIndexOf(')');
  if (close < 0) return shown;
  label.insert(close, ' ' + lower);
  return label;
}

namespace {

QString StartPath(const FileDialogRequest& r) {
  if (!r.proposedFile.empty()) return QString::fromStdString(r.proposedFile);
  return QString::fromStdString(r.startFolder);
}

QWidget* DialogParent() { return QApplication::activeWindow(); }

}  // namespace

std::string CQtFileDialogs::OpenFile(const FileDialogRequest& request) {
  // The current directory stays as it was: Qt's dialogs never change it.
  const QString chosen = QFileDialog::getOpenFileName(DialogParent(), QString::fromStdString(request.title),
                                                      StartPath(request), NameFilter(request.filter));
  return chosen.toStdString();
}

std::string CQtFileDialogs::SaveFile(const FileDialogRequest& request) {
  // The name keeps the letter case typed; only a missing extension is added.
  QFileDialog dialog(DialogParent(), QString::fromStdString(request.title), QString(), NameFilter(request.filter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension).toLower());
  const QString start = StartPath(request);
  if (!request.proposedFile.empty())
    dialog.selectFile(start);
  else if (!start.isEmpty())
    dialog.setDirectory(start);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first().toStdString();
}

std::string CQtFileDialogs::PickFolder(const std::string& preselected) {
  return QFileDialog::getExistingDirectory(DialogParent(), QString(), QString::fromStdString(preselected))
      .toStdString();
}

namespace {
// A folder dialog that also takes the name of a folder not made yet.
class CNewFolderDialog : public QFileDialog {
 public:
  using QFileDialog::QFileDialog;
  QString chosen;
  void accept() override {
    const QStringList files = selectedFiles();
    if (!files.isEmpty() && !QFileInfo::exists(files.first())) {
      chosen = files.first();
      QDialog::accept();
      return;
    }
    QFileDialog::accept();
  }
};
}  // namespace

std::string CQtFileDialogs::PickOutputFolder(const FileDialogRequest& request) {
  CNewFolderDialog dialog(DialogParent(), QString::fromStdString(request.title),
                          QString::fromStdString(request.startFolder));
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  // Only the program's own dialog lets a new name through.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Choose"));
  if (dialog.exec() != QDialog::Accepted) return {};
  if (!dialog.chosen.isEmpty()) return dialog.chosen.toStdString();
  return dialog.selectedFiles().isEmpty() ? std::string() : dialog.selectedFiles().first().toStdString();
}

// ---- User-interface port -------------------------------------------------

namespace {
std::atomic<bool> gShuttingDown{false};
}

CQtUserInterface::CQtUserInterface() { previous_ = SetUserInterface(this); }
CQtUserInterface::~CQtUserInterface() { SetUserInterface(previous_); }

void CQtUserInterface::SetShuttingDown() { gShuttingDown = true; }

template <class F>
auto CQtUserInterface::OnWindowThread(F f) {
  using R = decltype(f());
  if (QThread::currentThread() == thread()) return f();
  R result{};
  QMetaObject::invokeMethod(
      this, [&] { result = f(); }, Qt::BlockingQueuedConnection);
  return result;
}

namespace {
// What the conversion running on this thread has given so far.
struct RunLog {
  QStringList warnings;
  bool failed = false;
};
thread_local RunLog* tRunLog = nullptr;
thread_local CQuietThread* tQuiet = nullptr;
}  // namespace

CQuietThread::CQuietThread() : previous_(tQuiet) { tQuiet = this; }
CQuietThread::~CQuietThread() { tQuiet = previous_; }

void CQtUserInterface::Message(const std::string& text, const std::string& caption) {
  Notify(text, caption, UiSeverity::Information);
}

void CQtUserInterface::Notify(const std::string& text, const std::string& caption, UiSeverity severity) {
  if (tQuiet) {
    if (tQuiet->first_.empty()) tQuiet->first_ = text;
    return;
  }
  if (tRunLog) {
    if (severity == UiSeverity::Warning) {
      tRunLog->warnings << QString::fromStdString(text);
      return;
    }
    if (severity == UiSeverity::Error) tRunLog->failed = true;
  }
  if (gShuttingDown) {
    std::fprintf(stderr, "%s%s%s\n", caption.c_str(), caption.empty() ? "" : ": ", text.c_str());
    return;
  }
  OnWindowThread([&] {
    ShowMessage(QString::fromStdString(text), QString::fromStdString(caption), severity);
    return 0;
  });
}

bool CQtUserInterface::YesNo(const std::string& text, const std::string& caption) {
  if (tQuiet) return false;
  if (gShuttingDown) return true;
  return OnWindowThread([&] {
    return ShowQuestion(QString::fromStdString(text), QString::fromStdString(caption), false) == UiAnswer::Yes;
  });
}

UiAnswer CQtUserInterface::YesNoCancel(const std::string& text, const std::string& caption) {
  if (tQuiet) return UiAnswer::Cancel;
  if (gShuttingDown) return UiAnswer::Yes;
  return OnWindowThread(
      [&] { return ShowQuestion(QString::fromStdString(text), QString::fromStdString(caption), true); });
}

void CQtUserInterface::ShowMessage(const QString& text, const QString& caption, UiSeverity severity) {
  // A box without a caption still says what it is in its title bar.
  switch (severity) {
    case UiSeverity::Error:
      QMessageBox::critical(DialogParent(), caption.isEmpty() ? QStringLiteral("Lapforge - Error") : caption, text);
      break;
    case UiSeverity::Warning:
      QMessageBox::warning(DialogParent(), caption.isEmpty() ? QStringLiteral("Lapforge - Warning") : caption, text);
      break;
    case UiSeverity::Information:
      QMessageBox::information(DialogParent(), caption.isEmpty() ? QStringLiteral("Lapforge") : caption, text);
      break;
  }
}

UiAnswer CQtUserInterface::ShowQuestion(const QString& text, const QString& caption, bool withCancel) {
  QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
  if (withCancel) buttons |= QMessageBox::Cancel;
  switch (QMessageBox::question(DialogParent(), caption, text, buttons)) {
    case QMessageBox::Yes:
      return UiAnswer::Yes;
    case QMessageBox::No:
      return UiAnswer::No;
    default:
      return withCancel ? UiAnswer::Cancel : UiAnswer::No;
  }
}

// ---- Conversion runner ---------------------------------------------------

std::atomic<int> CConversionRunner::running_{0};

namespace {
// The core keeps shared tables and templates; two windows running exports
// at once take turns.
std::mutex gConversionMutex;
}  // namespace

CConversionRunner::CConversionRunner(QObject* parent) : QObject(parent) {}
CConversionRunner::~CConversionRunner() = default;

void CConversionRunner::Run(std::function<int()> work, std::function<void(int)> done) {
  if (busy_) return;
  busy_ = true;
  emit BusyChanged(true);
  auto result = std::make_shared<int>(0);
  auto log = std::make_shared<RunLog>();
  ++running_;
  QThread* worker = QThread::create([work = std::move(work), result, log] {
    std::lock_guard<std::mutex> lock(gConversionMutex);
    tRunLog = log.get();
    try {
      *result = work();
    } catch (const std::exception& e) {
      ShowError(ErrorText(e), "Lapforge");
      *result = 0;
    }
    tRunLog = nullptr;
    if (log->failed) *result = 0;
  });
  connect(worker, &QThread::finished, this, [this, result, log, done = std::move(done)] {
    busy_ = false;
    warnings_ = log->warnings;
    emit BusyChanged(false);
    if (done) done(*result);
    emit Finished(*result);
  });
  connect(worker, &QThread::finished, worker, [worker] {
    --running_;
    worker->deleteLater();
  });
  worker->start();
}

void CConversionRunner::WaitForAll() {
  while (running_.load() > 0) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    QThread::msleep(10);
  }
}

// ---- Help ----------------------------------------------------------------

namespace {
struct TopicPage {
  int topic;
  const char* table;  // the table editor's table, or nullptr
  const char* page;
};
constexpr TopicPage kPages[] = {
    {101, "TractionTex", "tractiontex.html"},
    {102, "Traction", "traction.html"},
    {103, "WallTex", "walltex.html"},
    {104, "Contour", "contour.html"},
    {105, "Mesh", "mesh.html"},
    {106, "PtfBumpRef", "ptfbumpref.html"},
    {107, "PtfBumpScale", "ptfbumpscale.html"},
    {108, "TSO", "tso.html"},
    {109, "TrackDetail", "trackdetail.html"},
    {110, "PtfBumpDef", "ptfbumpdef.html"},
    {111, "InfieldObj", "infieldobj.html"},
    {112, "VerticalObj", "verticalobj.html"},
    {113, "Section", "section.html"},
    {114, "TrackSummary", "tracksummary.html"},
    {115, "Material", "material.html"},
    {116, nullptr, "index.html"},
    {117, nullptr, "tables.html"},
    {118, "OutfieldObj", "outfieldobj.html"},
    {119, "AIInfo", "aiinfo.html"},
};
}  // namespace

QString CHelp::PageName(int topic) {
  for (const TopicPage& p : kPages)
    if (p.topic == topic) return QString::fromLatin1(p.page);
  return QStringLiteral("tables.html");
}

int CHelp::TableTopic(const QString& table) {
  for (const TopicPage& p : kPages)
    if (p.table && table.compare(QLatin1String(p.table), Qt::CaseInsensitive) == 0) return p.topic;
  return kTablesTopic;
}

QString CHelp::Folder() {
  const QString given = qEnvironmentVariable("LAPFORGE_HELP");
  if (!given.isEmpty()) return QDir::cleanPath(given);
  const QDir exe(QCoreApplication::applicationDirPath());
  for (const QString& rel : {QStringLiteral("help"), QStringLiteral("../share/lapforge/help")}) {
    const QString dir = exe.absoluteFilePath(rel);
    if (QFileInfo::exists(dir + "/index.html")) return QDir::cleanPath(dir);
  }
  return QDir::cleanPath(exe.absoluteFilePath("help"));
}

bool CHelp::Open(int topic) {
  const QString file = Folder() + '/' + PageName(topic);
  if (!QFileInfo::exists(file)) {
    ShowError("The help page " + file.toStdString() + " cannot be found", "Lapforge");
    return false;
  }
  if (QDesktopServices::openUrl(QUrl::fromLocalFile(file))) return true;
  // No desktop browser took the page: the program shows it itself.
  if (showInProgram) {
    showInProgram(file);
    return true;
  }
  ShowError("The help page " + file.toStdString() + " cannot be shown: no web browser is set up on this desktop",
            "Lapforge");
  return false;
}

std::string SiblingFile(const std::string& path, const std::string& extension) {
  const QFileInfo info(QString::fromStdString(path));
  return info.dir().filePath(info.completeBaseName() + '.' + QString::fromStdString(extension)).toStdString();
}

QString FormatElapsed(qint64 milliseconds) {
  if (milliseconds < 0) milliseconds = 0;
  return QStringLiteral("%1.%2").arg(milliseconds / 1000).arg(milliseconds % 1000, 3, 10, QLatin1Char('0'));
}

}  // namespace lapforge
