#include "tests/support/ImageFiles.h"

namespace lapforge {

namespace {

void Le32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

}  // namespace

std::vector<uint8_t> DdsFile(uint32_t width, uint32_t height, const DdsPixelFormat& f,
                             const std::vector<uint8_t>& pixels, uint32_t dxgiFormat) {
  std::vector<uint8_t> out = {'D', 'D', 'S', ' '};
  Le32(out, 124);
  Le32(out, 0x1007);  // caps, height, width, pixel format
  Le32(out, height);
  Le32(out, width);
  for (int i = 0; i < 3 + 11; ++i) Le32(out, 0);  // pitch, depth, mipmap count, reserved
  Le32(out, 32);
  Le32(out, dxgiFormat ? (f.flags | 0x4) : f.flags);
  Le32(out, dxgiFormat ? kDx10 : f.fourCC);
  for (uint32_t v : {f.bitCount, f.r, f.g, f.b, f.a}) Le32(out, v);
  Le32(out, 0x1000);  // a texture
  for (int i = 0; i < 4; ++i) Le32(out, 0);
  if (dxgiFormat) {
    for (uint32_t v : {dxgiFormat, 3u, 0u, 1u, 0u}) Le32(out, v);  // 2D, one element
  }
  out.insert(out.end(), pixels.begin(), pixels.end());
  return out;
}

std::vector<uint8_t> TgaFile(uint16_t width, uint16_t height, const std::vector<uint8_t>& bgrBottomUp) {
  std::vector<uint8_t> out = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};  // true colour, no colour map, origin 0 0
  for (uint16_t v : {width, height}) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>(v >> 8));
  }
  out.push_back(24);
  out.push_back(0);  // bottom-left origin
  out.insert(out.end(), bgrBottomUp.begin(), bgrBottomUp.end());
  return out;
}

}  // namespace lapforge
