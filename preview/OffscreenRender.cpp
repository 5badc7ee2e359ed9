#include "preview/OffscreenRender.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions>
#include <QSurfaceFormat>
#include <cstdlib>

namespace lapforge {

namespace {

// The program's arguments for a QGuiApplication made here; they must live
// as long as it does.
int gArgc = 1;
char gArgv0[] = "lapforge";
char* gArgv[] = {gArgv0, nullptr};

// The application made here when the program has none, kept to the end of
// the program: the platform plugin and the OpenGL driver it loads stay
// loaded for the next picture (and what the driver keeps is its own until
// the end, not lost).
QGuiApplication* gApplication = nullptr;

}  // namespace

struct COffscreenRender::Context {
  std::unique_ptr<QOffscreenSurface> surface;
  std::unique_ptr<QOpenGLContext> gl;
  std::unique_ptr<QOpenGLFramebufferObject> fbo;
  CPreviewRenderer renderer;

  bool MakeCurrent() { return gl && surface && gl->makeCurrent(surface.get()); }

  ~Context() {
    if (MakeCurrent()) {
      renderer.Release();
      fbo.reset();
      gl->doneCurrent();
    }
    gl.reset();
    surface.reset();
  }
};

COffscreenRender::COffscreenRender() : context_(std::make_unique<Context>()) {}
COffscreenRender::~COffscreenRender() = default;

bool COffscreenRender::Start(int width, int height, std::string& message) {
  Context& c = *context_;
  width_ = width, height_ = height;
  if (!QGuiApplication::instance()) {
    // Without a display the xcb platform would end the program; Qt's
    // offscreen platform starts anywhere (and may give no OpenGL).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
      qputenv("QT_QPA_PLATFORM", "offscreen");
    gApplication = new QGuiApplication(gArgc, gArgv);
  }
  const std::string advice =
      " (on a machine without a display, run the command under xvfb-run -a; Mesa's llvmpipe draws without a "
      "graphics card)";
  QSurfaceFormat format;
  format.setRenderableType(QSurfaceFormat::OpenGL);
  format.setVersion(3, 3);
  format.setProfile(QSurfaceFormat::CoreProfile);
  format.setDepthBufferSize(24);
  c.gl = std::make_unique<QOpenGLContext>();
  c.gl->setFormat(format);
  if (!c.gl->create()) {
    message = "no OpenGL context can be had on the Qt platform \"" + QGuiApplication::platformName().toStdString() +
              "\"" + advice;
    return false;
  }
  c.surface = std::make_unique<QOffscreenSurface>();
  c.surface->setFormat(c.gl->format());
  c.surface->create();
  if (!c.surface->isValid() || !c.MakeCurrent()) {
    message = "the OpenGL context cannot be made current on an offscreen surface" + advice;
    return false;
  }
  QOpenGLFramebufferObjectFormat fboFormat;
  fboFormat.setAttachment(QOpenGLFramebufferObject::Depth);
  fboFormat.setInternalTextureFormat(0x8058);  // GL_RGBA8
  c.fbo = std::make_unique<QOpenGLFramebufferObject>(width, height, fboFormat);
  if (!c.fbo->isValid()) {
    message = "no framebuffer of " + std::to_string(width) + " x " + std::to_string(height) + " pixels can be made";
    return false;
  }
  return c.renderer.Initialize(&message);
}

CPreviewRenderer& COffscreenRender::Renderer() { return context_->renderer; }

void COffscreenRender::Upload(const CPreviewScene& scene) {
  if (context_->MakeCurrent()) context_->renderer.Upload(scene);
}

QImage COffscreenRender::Render(const CPreviewCamera& camera, int selectedSection) {
  Context& c = *context_;
  if (!c.fbo || !c.MakeCurrent()) return QImage();
  c.fbo->bind();
  c.renderer.Draw(camera, width_, height_, selectedSection);
  QImage image = c.fbo->toImage(true).convertToFormat(QImage::Format_RGB888);
  c.fbo->release();
  return image;
}

int COffscreenRender::SectionAtPixel(const CPreviewCamera& camera, int x, int y) {
  Context& c = *context_;
  if (!c.fbo || !c.MakeCurrent()) return -1;
  return c.renderer.SectionAtPixel(camera, width_, height_, x, y);
}

void COffscreenRender::Finish() {
  if (context_->MakeCurrent()) context_->gl->functions()->glFinish();
}

}  // namespace lapforge
