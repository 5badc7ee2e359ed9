// Drawing the preview without a window: an OpenGL 3.3 core context on an
// offscreen surface and a framebuffer object of the picture's size, read
// back as an image. The program needs a QGuiApplication; Start makes one
// when there is none. Which platform gives a context is Qt's: with an X
// display (a desktop, or `xvfb-run -a` on a machine without one) the xcb
// platform gives one through GLX (Mesa's llvmpipe draws without a graphics
// card); without a display Qt's "offscreen" platform usually gives none,
// and Start says so. The application made here stays to the end of the
// program; an instance of this class is let go before then (not as a
// static object, which would outlive Qt's own).
#pragma once

#include <QImage>
#include <memory>
#include <string>

#include "preview/PreviewCamera.h"
#include "preview/PreviewRenderer.h"

namespace lapforge {

class COffscreenRender {
 public:
  COffscreenRender();
  ~COffscreenRender();

  // Makes the context, the framebuffer of width x height and the renderer;
  // false with message when no OpenGL 3.3 core context can be had.
  bool Start(int width, int height, std::string& message);
  // The renderer on this context (after Start); calls on it through the
  // functions below find the context current.
  CPreviewRenderer& Renderer();
  void Upload(const CPreviewScene& scene);
  // Draws into the framebuffer and reads the picture back (RGB, top row first).
  QImage Render(const CPreviewCamera& camera, int selectedSection = -1);
  int SectionAtPixel(const CPreviewCamera& camera, int x, int y);
  // Waits until the last draw is done (for timing).
  void Finish();
  int Width() const { return width_; }
  int Height() const { return height_; }

 private:
  struct Context;
  std::unique_ptr<Context> context_;
  int width_ = 0, height_ = 0;
};

}  // namespace lapforge
