#include "preview/OffscreenRender.h"

namespace lapforge {

struct COffscreenRender::Context {
  CPreviewRenderer renderer;
};

COffscreenRender::COffscreenRender() : context_(std::make_unique<Context>()) {}
COffscreenRender::~COffscreenRender() = default;

bool COffscreenRender::Start(int width, int height, std::string& message) {
  width_ = width, height_ = height;
  message = "the offscreen preview is not made yet";
  return false;
}
CPreviewRenderer& COffscreenRender::Renderer() { return context_->renderer; }
void COffscreenRender::Upload(const CPreviewScene& scene) { context_->renderer.Upload(scene); }
QImage COffscreenRender::Render(const CPreviewCamera&, int) { return QImage(); }
int COffscreenRender::SectionAtPixel(const CPreviewCamera&, int, int) { return -1; }
void COffscreenRender::Finish() {}

}  // namespace lapforge
