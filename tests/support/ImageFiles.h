// Builders of small texture image files for tests and fuzz seeds.
#pragma once

#include <cstdint>
#include <vector>

namespace lapforge {

// The pixel format part of a DDS header.
struct DdsPixelFormat {
  uint32_t flags = 0;   // 0x4 FourCC, 0x40 RGB, 0x1 alpha pixels, 0x2 alpha only, 0x20000 luminance
  uint32_t fourCC = 0;  // e.g. 0x31545844 "DXT1"
  uint32_t bitCount = 0;
  uint32_t r = 0, g = 0, b = 0, a = 0;
};

inline constexpr uint32_t kDxt1 = 0x31545844, kDxt5 = 0x35545844, kDx10 = 0x30315844;

// A DDS file: the 128-byte header for width x height and the pixel format,
// the 20-byte extended header when dxgiFormat is not 0 (FourCC "DX10"),
// then pixels as given.
std::vector<uint8_t> DdsFile(uint32_t width, uint32_t height, const DdsPixelFormat& format,
                             const std::vector<uint8_t>& pixels, uint32_t dxgiFormat = 0);

// An uncompressed 24-bit TGA of width x height whose pixels are given as
// BGR triples, bottom row first (the TGA default).
std::vector<uint8_t> TgaFile(uint16_t width, uint16_t height, const std::vector<uint8_t>& bgrBottomUp);

}  // namespace lapforge
