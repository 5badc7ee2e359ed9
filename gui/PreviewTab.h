// The table editor's "3D" tab: the 3D view of the edited description with
// buttons for its three cameras, kept up to date as the description
// changes. A burst of edits makes one rebuild a moment after the last; the
// scene is built on a worker thread from a copy of the description, a
// build that a later edit made stale is cancelled, and the finished scene is
// swapped in on the window thread. Nothing is rebuilt while the tab is
// hidden; shown again with changes pending, it rebuilds. Where no OpenGL
// context can be had the tab says so instead.
#pragma once

#include <QString>
#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "preview/PreviewCamera.h"


class QLabel;
class QTimer;
class QToolButton;

namespace lapforge {
class CPreviewScene;
class CPreviewView;
class TrkDsc;

class CPreviewTab : public QWidget {
  Q_OBJECT
 public:
  // What a build reads: its own copy of the description, made on the
  // worker thread from what the function holds (empty for no description),
  // and the folder the texture maps are looked for in.
  struct Input {
    std::function<std::shared_ptr<const TrkDsc>()> description;
    std::string textureFolder;
  };
  // source is asked on the window thread each time a build starts.
  explicit CPreviewTab(std::function<Input()> source, QWidget* parent = nullptr);
  ~CPreviewTab() override;

  // The description changed: a rebuild follows a moment later while the tab
  // is shown, else when it is shown next.
  void DescriptionChanged();
  // Starts a rebuild now (cancelling one under way).
  void RebuildNow();
  void SetSelectedSection(int section);

  // The 3D view; nullptr where there is no OpenGL (the notice says why).
  CPreviewView* View() const { return view_; }
  // What the tab says over or instead of the view ("" when the scene is
  // shown).
  QString Notice() const;
  // Builds started, and whether one is under way or waiting for its turn.
  int Builds() const { return builds_; }
  bool Busy() const { return job_ != nullptr || waiting_; }
  // Whether the latest finished build made a track.
  bool HasTrack() const { return hasTrack_; }

 signals:
  void SectionClicked(int section);
  // A build ended (done or given up); the scene is in the view if it made a
  // track.
  void BuildFinished(bool track);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  struct Job;
  void StartBuild();
  void Finished(const std::shared_ptr<Job>& job);
  void ShowNotice(const QString& text);
  void Cancel();

  std::function<Input()> source_;
  CPreviewView* view_ = nullptr;
  QLabel* notice_;
  QTimer* timer_;
  QToolButton* modes_[3] = {};
  std::shared_ptr<Job> job_;  // the build under way
  std::thread worker_;
  bool waiting_ = false;  // a build is due once the one under way has stopped
  bool stale_ = true;     // the scene shown is not the description's
  bool hasTrack_ = false;
  bool fitNext_ = true;
  int builds_ = 0;
};

}  // namespace lapforge
