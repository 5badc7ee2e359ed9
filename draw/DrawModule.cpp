// lapforge-draw.so: the PNG track map (gui/MapImage) and the 3D render
// (the preview's renderer on an OpenGL context without a window) behind
// the entry point of draw/DrawModule.h.
#include "draw/DrawModule.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include "description/TrkDsc.h"
#include "gui/MapImage.h"
#include "preview/OffscreenRender.h"
#include "preview/PreviewCamera.h"
#include "preview/PreviewScene.h"
#include "roads/TrackMap.h"
#include "support/FileIO.h"
#include "support/UserInterface.h"

namespace lapforge {

namespace {

int Render(const RenderRequest& request) {
  // The context first: without one there is nothing to draw on.
  COffscreenRender offscreen;
  std::string message;
  if (!offscreen.Start(request.width, request.height, message)) {
    UI().Message("Cannot render: " + message, "Render");
    return 1;
  }
  CPreviewScene scene;
  const bool built = scene.Build(*request.db, request.folder, nullptr, message);
  for (const std::string& w : scene.Warnings()) ShowWarning(w, "Textures");
  offscreen.Upload(scene);
  const PreviewView view = request.view == "top" ? PreviewView::Top
                           : request.view == "drive" ? PreviewView::Drive
                                                     : PreviewView::Orbit;
  CPreviewCamera camera;
  camera.SetStations(scene.Stations());
  camera.Fit(scene.Bounds(), view);
  if (view == PreviewView::Drive && request.section >= 0) camera.DriveToSection(request.section);
  const QImage image = offscreen.Render(camera, request.section);
  QByteArray png;
  QBuffer buffer(&png);
  if (image.isNull() || !buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) {
    UI().Message("the picture could not be drawn", "Render");
    return 1;
  }
  if (Result written = ReplaceFile(request.out, png.constData(), static_cast<size_t>(png.size())); !written) {
    UI().Message(written.Text(), "Render");
    return 1;
  }
  if (!built) {
    // The background is written; the description made no track.
    UI().Message(message, "Render");
    return 1;
  }
  return 0;
}

}  // namespace

}  // namespace lapforge

extern "C" __attribute__((visibility("default"))) const lapforge::DrawModule* lapforge_draw_module(int version) {
  static const lapforge::DrawModule module{lapforge::kDrawModuleVersion, &lapforge::WriteMapPng, &lapforge::Render};
  return version == lapforge::kDrawModuleVersion ? &module : nullptr;
}
