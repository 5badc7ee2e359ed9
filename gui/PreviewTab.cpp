#include "gui/PreviewTab.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QMetaObject>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <exception>

#include "description/TrkDsc.h"
#include "gui/GuiSupport.h"
#include "gui/PreviewView.h"
#include "preview/PreviewScene.h"
#include "support/Errors.h"

namespace lapforge {

// One build: the scene it makes and how it ended. The worker writes it; the
// window thread reads it once the worker has posted its end.
struct CPreviewTab::Job {
  std::atomic<bool> cancel{false};
  std::shared_ptr<CPreviewScene> scene;
  bool track = false;
  std::string message;
};

namespace {

// The first line of a message, shortened to fit the notice.
QString FirstLine(const std::string& text) {
  QString why = QString::fromStdString(text).section(QLatin1Char('\n'), 0, 0).trimmed();
  if (why.size() > 120) why = why.left(117) + QStringLiteral("...");
  return why;
}

}  // namespace

CPreviewTab::CPreviewTab(std::function<Input()> source, QWidget* parent)
    : QWidget(parent), source_(std::move(source)) {
  setObjectName(QStringLiteral("previewTab"));
  notice_ = new QLabel(this);
  notice_->setObjectName(QStringLiteral("previewNotice"));
  notice_->setWordWrap(true);
  timer_ = new QTimer(this);
  timer_->setSingleShot(true);
  timer_->setInterval(300);
  connect(timer_, &QTimer::timeout, this, &CPreviewTab::RebuildNow);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* bar = new QHBoxLayout;
  auto* group = new QButtonGroup(this);
  struct ModeDef {
    const char* text;
    const char* tip;
    PreviewView mode;
  };
  const ModeDef defs[] = {
      {"Orbit", "Drag to orbit, shift-drag or middle button to pan, wheel to zoom, double-click to fit",
       PreviewView::Orbit},
      {"Top", "Looking straight down: drag to pan, wheel to zoom, double-click to fit", PreviewView::Top},
      {"Drive",
       "At a driver's eye height on the centre line: Up and Down move, Left and Right turn, Page Up and Page Down "
       "go by section",
       PreviewView::Drive},
  };
  for (int i = 0; i < 3; ++i) {
    auto* b = new QToolButton(this);
    b->setText(QString::fromLatin1(defs[i].text));
    b->setToolTip(QString::fromLatin1(defs[i].tip));
    b->setCheckable(true);
    b->setChecked(i == 0);
    group->addButton(b, i);
    bar->addWidget(b);
    modes_[i] = b;
  }
  bar->addStretch(1);
  layout->addLayout(bar);

  QString why;
  if (!CPreviewView::OpenGlAvailable(why)) {
    for (QToolButton* b : modes_) b->setEnabled(false);
    notice_->setAlignment(Qt::AlignCenter);
    notice_->setText(why);
    layout->addWidget(notice_, 1);
    stale_ = false;
    return;
  }
  // The notice goes on its own line above the view while it has something
  // to say.
  layout->addWidget(notice_);
  view_ = new CPreviewView(this);
  layout->addWidget(view_, 1);
  connect(view_, &CPreviewView::SectionClicked, this, &CPreviewTab::SectionClicked);
  connect(view_, &CPreviewView::GlFailed, this, [this](const QString& why) {
    ShowNotice(QStringLiteral("The 3D view cannot draw here: %1").arg(why));
  });
  connect(group, &QButtonGroup::idClicked, this, [this, defs](int id) { view_->SetMode(defs[id].mode); });
  connect(view_, &CPreviewView::ModeChanged, this, [this](PreviewView mode) {
    const int id = mode == PreviewView::Orbit ? 0 : mode == PreviewView::Top ? 1 : 2;
    modes_[id]->setChecked(true);
  });
  ShowNotice(QStringLiteral("Building the 3D view..."));
}

CPreviewTab::~CPreviewTab() {
  // A build under way stops at its next block; its posted end goes with
  // this object.
  timer_->stop();
  Cancel();
  if (worker_.joinable()) worker_.join();
}

void CPreviewTab::Cancel() {
  if (job_) job_->cancel = true;
}

QString CPreviewTab::Notice() const { return notice_->isVisible() || !view_ ? notice_->text() : QString(); }

void CPreviewTab::ShowNotice(const QString& text) {
  notice_->setText(text);
  notice_->setVisible(!text.isEmpty());
}

void CPreviewTab::DescriptionChanged() {
  if (!view_) return;
  stale_ = true;
  // The build under way reads the description as it was.
  Cancel();
  if (isVisible()) timer_->start();
}

void CPreviewTab::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (view_ && stale_ && !timer_->isActive()) RebuildNow();
}

void CPreviewTab::RebuildNow() {
  timer_->stop();
  if (!view_) return;
  if (job_) {
    // One worker at a time: the next build starts once this one has
    // stopped.
    Cancel();
    waiting_ = true;
    return;
  }
  StartBuild();
}

void CPreviewTab::StartBuild() {
  waiting_ = false;
  stale_ = false;
  ++builds_;
  auto job = std::make_shared<Job>();
  Input input;
  try {
    if (source_) input = source_();
  } catch (const std::exception& e) {
    job->message = ErrorText(e);
  }
  job_ = job;
  if (worker_.joinable()) worker_.join();
  worker_ = std::thread([this, job, input = std::move(input)] {
    if (!input.description) {
      if (job->message.empty()) job->message = "no description";
    } else {
      // A preview shows no message boxes: what the build would say is
      // the notice.
      const CQuietThread quiet;
      try {
        const std::shared_ptr<const TrkDsc> db = input.description();
        auto scene = std::make_shared<CPreviewScene>();
        job->track = scene->Build(*db, input.textureFolder, &job->cancel, job->message);
        if (job->track) job->scene = std::move(scene);
      } catch (const std::exception& e) {
        job->track = false;
        job->message = ErrorText(e);
      }
      if (!job->track && job->message.empty()) job->message = quiet.First();
    }
    // Delivered on the window thread, unless this tab is gone by then (its
    // destructor waits for this thread, so the tab is there when posting).
    QMetaObject::invokeMethod(this, [this, job] { Finished(job); }, Qt::QueuedConnection);
  });
}

void CPreviewTab::Finished(const std::shared_ptr<Job>& job) {
  if (worker_.joinable()) worker_.join();
  if (job_ == job) job_.reset();
  if (!job->cancel) {
    hasTrack_ = job->track;
    if (job->track) {
      view_->SetScene(job->scene, fitNext_);
      fitNext_ = false;
      ShowNotice(QString());
    } else {
      view_->SetScene(nullptr);
      ShowNotice(job->message.empty() ? QStringLiteral("No track to show.")
                                      : QStringLiteral("No track to show: %1").arg(FirstLine(job->message)));
    }
  }
  // Next: the build asked for meanwhile, or the one a cancelling edit made
  // due while the tab was hidden and has been shown again since.
  if (waiting_ || (stale_ && isVisible() && !timer_->isActive())) StartBuild();
  if (!job->cancel) emit BuildFinished(job->track);
}

void CPreviewTab::SetSelectedSection(int section) {
  if (view_) view_->SetSelectedSection(section);
}

}  // namespace lapforge
