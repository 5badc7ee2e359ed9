#include "preview/PreviewRenderer.h"

namespace lapforge {

struct CPreviewRenderer::Gl {
  bool initialized = false;
};

CPreviewRenderer::CPreviewRenderer() : gl_(std::make_unique<Gl>()) {}
CPreviewRenderer::~CPreviewRenderer() = default;

bool CPreviewRenderer::Initialize(std::string* message) {
  if (message) *message = "the preview renderer is not made yet";
  return false;
}
bool CPreviewRenderer::Initialized() const { return gl_->initialized; }
void CPreviewRenderer::Upload(const CPreviewScene&) {}
void CPreviewRenderer::Draw(const CPreviewCamera&, int, int, int) {}
int CPreviewRenderer::SectionAtPixel(const CPreviewCamera&, int, int, int, int) { return -1; }
void CPreviewRenderer::Release() {}
long long CPreviewRenderer::UploadedBytes() const { return 0; }
int CPreviewRenderer::DrawCalls() const { return 0; }

}  // namespace lapforge
