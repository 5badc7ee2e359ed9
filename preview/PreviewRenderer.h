// The 3D preview's OpenGL 3.3 core renderer. The caller makes a context
// current (a window's or preview/OffscreenRender's) around every call.
// Upload puts a scene on the graphics card once: one vertex and one index
// buffer, one texture per image (with mipmaps). Draw then binds and issues
// one draw per block and material, lit by a fixed sun, the selected
// section tinted; nothing is allocated or uploaded per frame. It draws into
// the framebuffer bound when it is called.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "preview/PreviewCamera.h"
#include "preview/PreviewScene.h"

namespace lapforge {

// The sky behind the track, RGB.
inline constexpr uint8_t kPreviewBackground[3] = {178, 202, 226};
// The colour mixed, half and half, into the selected section.
inline constexpr uint8_t kPreviewTint[3] = {255, 140, 0};

class CPreviewRenderer {
 public:
  CPreviewRenderer();
  ~CPreviewRenderer();
  CPreviewRenderer(const CPreviewRenderer&) = delete;
  CPreviewRenderer& operator=(const CPreviewRenderer&) = delete;

  // Compiles the programs; false (with message when given) when the
  // current context has no OpenGL 3.3 core or a program does not build.
  bool Initialize(std::string* message = nullptr);
  bool Initialized() const;
  // Replaces what was uploaded with the scene (which may be let go after).
  void Upload(const CPreviewScene& scene);
  // Draws the uploaded scene over the background into a viewport of
  // width x height pixels of the bound framebuffer; selectedSection (a
  // Section table position, -1 none) is tinted.
  void Draw(const CPreviewCamera& camera, int width, int height, int selectedSection = -1);
  // The section drawn at pixel (x, y) (from the top left) in a picture of
  // width x height, found by drawing section numbers into a framebuffer
  // of its own; -1 where no section is drawn. The bound framebuffer is
  // bound again after.
  int SectionAtPixel(const CPreviewCamera& camera, int width, int height, int x, int y);
  // Lets go of every object on the card (the context must be current).
  void Release();

  // Figures of the last Upload and Draw.
  long long UploadedBytes() const;
  int DrawCalls() const;

 private:
  struct Gl;
  std::unique_ptr<Gl> gl_;
};

}  // namespace lapforge
