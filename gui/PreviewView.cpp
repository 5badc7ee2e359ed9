#include "gui/PreviewView.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "preview/PreviewRenderer.h"
#include "preview/PreviewScene.h"

namespace lapforge {

namespace {

// Camera steps: zoom per wheel notch, metres per drive key press, and a
// turn key press as the pixels of a sideways drag (about five degrees).
constexpr double kWheelStep = 1.2;
constexpr double kDriveStep = 5;
constexpr double kTurnPixels = 15;
// A few pixels of wobble are still a click.
constexpr double kClickSlack = 4;

}  // namespace

CPreviewView::CPreviewView(QWidget* parent) : QOpenGLWidget(parent) {
  setObjectName(QStringLiteral("preview3d"));
  setFormat(Format());
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(false);
}

CPreviewView::~CPreviewView() {
  // The context outlives this part of the widget: it must not call back.
  if (QOpenGLContext* c = context()) disconnect(c, nullptr, this, nullptr);
  ReleaseGl();
}

QSurfaceFormat CPreviewView::Format() {
  QSurfaceFormat f;
  f.setRenderableType(QSurfaceFormat::OpenGL);
  f.setVersion(3, 3);
  f.setProfile(QSurfaceFormat::CoreProfile);
  f.setDepthBufferSize(24);
  return f;
}

bool CPreviewView::OpenGlAvailable(QString& message) {
  if (qEnvironmentVariable("LAPFORGE_NO_OPENGL") == QLatin1String("1")) {
    message = QStringLiteral("The 3D view is turned off (LAPFORGE_NO_OPENGL is set).");
    return false;
  }
  // A context made once on a hidden surface tells whether the widget's
  // would work; asking again would give the same answer.
  static const QString why = [] {
    QOpenGLContext context;
    context.setFormat(Format());
    if (!context.create()) return QStringLiteral("No OpenGL context can be made on this display.");
    const QSurfaceFormat got = context.format();
    if (got.version() < qMakePair(3, 3))
      return QStringLiteral("The 3D view needs OpenGL 3.3; this display offers %1.%2.")
          .arg(got.majorVersion())
          .arg(got.minorVersion());
    QOffscreenSurface surface;
    surface.setFormat(got);
    surface.create();
    if (!surface.isValid() || !context.makeCurrent(&surface))
      return QStringLiteral("No OpenGL context can be made current on this display.");
    context.doneCurrent();
    return QString();
  }();
  message = why;
  return why.isEmpty();
}

QSize CPreviewView::sizeHint() const { return {320, 400}; }
QSize CPreviewView::minimumSizeHint() const { return {120, 120}; }

int CPreviewView::PixelWidth() const { return std::max(1, static_cast<int>(std::lround(width() * devicePixelRatioF()))); }
int CPreviewView::PixelHeight() const {
  return std::max(1, static_cast<int>(std::lround(height() * devicePixelRatioF())));
}

void CPreviewView::SetScene(std::shared_ptr<const CPreviewScene> scene, bool fit) {
  scene_ = std::move(scene);
  ++generation_;
  if (scene_ && (fit || !fitted_)) {
    camera_.SetStations(scene_->Stations());
    FitCamera();
    fitted_ = true;
  } else if (scene_) {
    // The driver stays where he was on the rebuilt track (new stations
    // start him at the line).
    const double driven = camera_.DriveDistance();
    camera_.SetStations(scene_->Stations());
    if (mode_ == PreviewView::Drive) camera_.DriveBy(driven);
  }
  if (initialized_ && context()) {
    makeCurrent();
    UploadPending();
    doneCurrent();
  }
  update();
}

void CPreviewView::SetSelectedSection(int section) {
  section = std::max(section, -1);
  if (section == selected_) return;
  selected_ = section;
  update();
}

void CPreviewView::SetMode(PreviewView mode) {
  if (mode == mode_) return;
  mode_ = mode;
  if (scene_) {
    FitCamera();
    // The drive starts at the selected section, or at the start line.
    if (mode_ == PreviewView::Drive) camera_.DriveToSection(std::max(selected_, 0));
  }
  emit ModeChanged(mode_);
  update();
}

void CPreviewView::Fit() {
  if (scene_) FitCamera();
  update();
}

void CPreviewView::FitCamera() {
  const PreviewBounds& b = scene_->Bounds();
  camera_.Fit(b, mode_);
  if (mode_ == PreviewView::Drive || b.empty) return;
  // The camera frames the track for a wide picture; the tab is often
  // narrower: zoom out until the corners of the ground the track covers are
  // in the picture (at once from above, in a few steps in perspective).
  const int w = PixelWidth(), h = PixelHeight();
  const double z = 0.5 * (double(b.min[2]) + b.max[2]);
  for (int pass = 0; pass < 6; ++pass) {
    double worst = 0;
    for (int corner = 0; corner < 4; ++corner) {
      const double world[3] = {corner & 1 ? b.max[0] : b.min[0], corner & 2 ? b.max[1] : b.min[1], z};
      double px = 0, py = 0;
      if (!camera_.Project(world, w, h, px, py)) {
        worst = std::max(worst, 2.0);
        continue;
      }
      worst = std::max({worst, std::abs(px - w / 2.0) / (w / 2.0), std::abs(py - h / 2.0) / (h / 2.0)});
    }
    if (worst <= 0.98) break;
    camera_.Zoom(0.95 / worst);
  }
}

void CPreviewView::initializeGL() {
  // A widget moved to another window gets a new context: the old one's
  // objects go with it.
  connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &CPreviewView::ReleaseGl, Qt::UniqueConnection);
  renderer_ = std::make_unique<CPreviewRenderer>();
  std::string message;
  initialized_ = renderer_->Initialize(&message);
  if (!initialized_) emit GlFailed(QString::fromStdString(message));
  uploaded_ = 0;
  UploadPending();
}

void CPreviewView::UploadPending() {
  if (!initialized_ || uploaded_ == generation_) return;
  // Without a scene an empty one lets go of the last one's buffers.
  renderer_->Upload(scene_ ? *scene_ : CPreviewScene());
  uploaded_ = generation_;
}

void CPreviewView::ReleaseGl() {
  if (!renderer_) return;
  makeCurrent();
  renderer_->Release();
  renderer_.reset();
  initialized_ = false;
  uploaded_ = 0;
  doneCurrent();
}

void CPreviewView::paintGL() {
  ++frames_;
  QOpenGLFunctions* gl = context()->functions();
  const int w = PixelWidth(), h = PixelHeight();
  gl->glViewport(0, 0, w, h);
  if (initialized_ && scene_) {
    UploadPending();
    renderer_->Draw(camera_, w, h, selected_);
    return;
  }
  gl->glClearColor(kPreviewBackground[0] / 255.0f, kPreviewBackground[1] / 255.0f, kPreviewBackground[2] / 255.0f, 1);
  gl->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

int CPreviewView::SectionAt(const QPointF& at) {
  if (!initialized_ || !scene_ || !context()) return -1;
  const double ratio = devicePixelRatioF();
  makeCurrent();
  UploadPending();
  const int section = renderer_->SectionAtPixel(camera_, PixelWidth(), PixelHeight(),
                                                static_cast<int>(at.x() * ratio), static_cast<int>(at.y() * ratio));
  doneCurrent();
  return section;
}

void CPreviewView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton && event->button() != Qt::MiddleButton)
    return QOpenGLWidget::mousePressEvent(event);
  button_ = event->button();
  // The top view looks straight down: its drag pans.
  panning_ = button_ == Qt::MiddleButton || (event->modifiers() & Qt::ShiftModifier) || mode_ == PreviewView::Top;
  dragged_ = false;
  pressAt_ = lastAt_ = event->position();
  setFocus(Qt::MouseFocusReason);
}

void CPreviewView::mouseMoveEvent(QMouseEvent* event) {
  if (button_ == Qt::NoButton) return QOpenGLWidget::mouseMoveEvent(event);
  if (!dragged_ && (event->position() - pressAt_).manhattanLength() < kClickSlack) return;
  dragged_ = true;
  const QPointF d = event->position() - lastAt_;
  lastAt_ = event->position();
  if (panning_)
    camera_.Pan(d.x(), d.y(), std::max(height(), 1));
  else
    camera_.Orbit(d.x(), d.y());
  update();
}

void CPreviewView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != button_) return QOpenGLWidget::mouseReleaseEvent(event);
  button_ = Qt::NoButton;
  if (dragged_ || event->button() != Qt::LeftButton) return;
  const int section = SectionAt(event->position());
  if (section >= 0) emit SectionClicked(section);
}

void CPreviewView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) Fit();
}

void CPreviewView::wheelEvent(QWheelEvent* event) {
  const double steps = event->angleDelta().y() / 120.0;
  if (steps != 0) {
    camera_.Zoom(std::pow(kWheelStep, steps));
    update();
  }
  event->accept();
}

void CPreviewView::keyPressEvent(QKeyEvent* event) {
  if (mode_ != PreviewView::Drive || !scene_) return QOpenGLWidget::keyPressEvent(event);
  switch (event->key()) {
    case Qt::Key_Up:
      camera_.DriveBy(kDriveStep);
      break;
    case Qt::Key_Down:
      camera_.DriveBy(-kDriveStep);
      break;
    case Qt::Key_Left:
      camera_.Orbit(-kTurnPixels, 0);
      break;
    case Qt::Key_Right:
      camera_.Orbit(kTurnPixels, 0);
      break;
    case Qt::Key_PageUp:
      camera_.NextSection();
      break;
    case Qt::Key_PageDown:
      camera_.PreviousSection();
      break;
    default:
      return QOpenGLWidget::keyPressEvent(event);
  }
  event->accept();
  update();
}

}  // namespace lapforge
