// The editor's 3D view of the track: a preview scene drawn by the preview
// renderer in an OpenGL 3.3 core widget. A drag orbits, a shift-drag or the
// middle button pans, the wheel zooms and a double-click fits the track
// again; in the drive view Up and Down move along the centre line, Left and
// Right turn, Page Up and Page Down step by section. A click (not a drag) on
// a surface says which section it belongs to; the selected section is
// tinted.
#pragma once

#include <QOpenGLWidget>
#include <QPointF>
#include <QString>
#include <memory>

#include "preview/PreviewCamera.h"


namespace lapforge {
class CPreviewRenderer;
class CPreviewScene;

class CPreviewView : public QOpenGLWidget {
  Q_OBJECT
 public:
  explicit CPreviewView(QWidget* parent = nullptr);
  ~CPreviewView() override;

  // The surface format the view asks for: OpenGL 3.3 core with a depth
  // buffer.
  static QSurfaceFormat Format();
  // Whether such a context can be had here; why not in message. Asked once
  // per program (LAPFORGE_NO_OPENGL set to 1 says no without asking).
  static bool OpenGlAvailable(QString& message);

  // Takes a newly built scene, uploaded with the context current (at once
  // when the widget has its context, else on its first paint). The camera
  // keeps its place unless fit is set or it had no track before.
  void SetScene(std::shared_ptr<const CPreviewScene> scene, bool fit = false);
  const CPreviewScene* Scene() const { return scene_.get(); }
  // The section tinted, by its position in the Section table; -1 for none.
  void SetSelectedSection(int section);
  int SelectedSection() const { return selected_; }
  void SetMode(PreviewView mode);
  PreviewView Mode() const { return mode_; }
  void Fit();
  const CPreviewCamera& Camera() const { return camera_; }
  // The section drawn at a widget point (logical pixels); -1 for none.
  int SectionAt(const QPointF& at);
  // Whether the renderer holds the current scene (the context was made and
  // the scene uploaded).
  bool Uploaded() const { return scene_ && uploaded_ == generation_; }
  // Frames drawn, for tests that wait for a paint.
  int Frames() const { return frames_; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 signals:
  void SectionClicked(int section);
  void ModeChanged(PreviewView mode);
  // The context came but the renderer could not start on it.
  void GlFailed(const QString& message);

 protected:
  void initializeGL() override;
  void paintGL() override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // Uploads the scene when the renderer does not hold it yet; the context
  // must be current.
  void UploadPending();
  // Frames the scene in the current view, whatever the widget's shape.
  void FitCamera();
  void ReleaseGl();
  int PixelWidth() const;
  int PixelHeight() const;

  std::unique_ptr<CPreviewRenderer> renderer_;
  std::shared_ptr<const CPreviewScene> scene_;
  // Scenes are counted as they come; the renderer holds the one numbered
  // uploaded_ (0: none).
  unsigned generation_ = 0;
  unsigned uploaded_ = 0;
  bool initialized_ = false;
  CPreviewCamera camera_;
  PreviewView mode_ = PreviewView::Orbit;
  bool fitted_ = false;
  int selected_ = -1;
  int frames_ = 0;

  Qt::MouseButton button_ = Qt::NoButton;
  bool panning_ = false;
  bool dragged_ = false;
  QPointF pressAt_;
  QPointF lastAt_;
};

}  // namespace lapforge
