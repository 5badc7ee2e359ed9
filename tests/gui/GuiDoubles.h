// Doubles for the desktop tests: pickers answered from a script, and the
// user-interface port recording what it showed and on which thread.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QThread>
#include <QUrl>
#include <deque>
#include <string>
#include <vector>

#include "gui/GuiSupport.h"
#include "gui/StatusWindow.h"
#include "support/Browser.h"

namespace lapforge {

// Runs the event loop until the condition holds or the time is up.
template <class Condition>
bool WaitFor(Condition done, int ms) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < ms) QTest::qWait(20);
  return done();
}

class CScriptedDialogs : public CFileDialogs {
 public:
  struct Asked {
    std::string kind;  // "open", "save" or "folder"
    FileDialogRequest request;
    std::string preselected;
  };
  std::vector<Asked> asked;
  std::deque<std::string> answers;  // an empty answer (or none left) cancels

  std::string OpenFile(const FileDialogRequest& r) override {
    asked.push_back({"open", r, {}});
    return Next();
  }
  std::string SaveFile(const FileDialogRequest& r) override {
    asked.push_back({"save", r, {}});
    return Next();
  }
  std::string PickFolder(const std::string& preselected) override {
    asked.push_back({"folder", {}, preselected});
    return Next();
  }
  std::string PickOutputFolder(const FileDialogRequest& r) override {
    asked.push_back({"folder", r, r.startFolder});
    return Next();
  }

 private:
  std::string Next() {
    if (answers.empty()) return {};
    std::string a = answers.front();
    answers.pop_front();
    return a;
  }
};

class CTestUI : public CQtUserInterface {
 public:
  struct Shown {
    QString text;
    QString caption;
    bool onWindowThread;
    UiSeverity severity = UiSeverity::Information;  // a question is Information
  };
  std::vector<Shown> shown;
  std::deque<UiAnswer> answers;  // Yes when none left

  bool AllOnWindowThread() const {
    for (const Shown& s : shown)
      if (!s.onWindowThread) return false;
    return true;
  }
  bool Showed(const QString& text) const {
    for (const Shown& s : shown)
      if (s.text == text) return true;
    return false;
  }

 protected:
  void ShowMessage(const QString& text, const QString& caption, UiSeverity severity) override {
    shown.push_back({text, caption, QThread::currentThread() == qApp->thread(), severity});
  }
  UiAnswer ShowQuestion(const QString& text, const QString& caption, bool) override {
    shown.push_back({text, caption, QThread::currentThread() == qApp->thread()});
    if (answers.empty()) return UiAnswer::Yes;
    UiAnswer a = answers.front();
    answers.pop_front();
    return a;
  }
};

// The completion reports on screen.
inline std::vector<CStatusWindow*> VisibleReports() {
  std::vector<CStatusWindow*> found;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* s = qobject_cast<CStatusWindow*>(w); s && s->isVisible()) found.push_back(s);
  return found;
}
inline void CloseReports() {
  for (CStatusWindow* s : VisibleReports()) s->close();
  QApplication::processEvents();
}

// Receives the pages the desktop would open in its browser.
class CUrlCatcher : public QObject {
  Q_OBJECT
 public:
  CUrlCatcher();
  ~CUrlCatcher() override;
  std::vector<QUrl> opened;
 public slots:
  void Open(const QUrl& url);
};

}  // namespace lapforge
