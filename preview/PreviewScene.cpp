#include "preview/PreviewScene.h"

#include <algorithm>

namespace lapforge {

void PreviewBounds::Add(const float p[3]) {
  for (int c = 0; c < 3; ++c) {
    min[c] = empty ? p[c] : std::min(min[c], p[c]);
    max[c] = empty ? p[c] : std::max(max[c], p[c]);
  }
  empty = false;
}

bool CPreviewScene::Build(const TrkDsc&, const std::string&, const std::atomic<bool>*, std::string& message) {
  Clear();
  message = "the preview scene is not made yet";
  return false;
}

void CPreviewScene::Clear() { *this = CPreviewScene(); }

int CPreviewScene::SectionAt(double, double) const { return -1; }

int CPreviewScene::FirstStationOf(int section) const {
  for (size_t i = 0; i < stations_.size(); ++i)
    if (stations_[i].section == section) return static_cast<int>(i);
  return -1;
}

}  // namespace lapforge
