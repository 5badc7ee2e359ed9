// Texture images: a DDS (DXT1, DXT3, DXT5 or uncompressed), TGA, BMP, PNG or
// JPEG file decoded into 8-bit RGBA, and RGBA encoded as PNG. Of a DDS with
// mipmaps only the first, largest level is read. Decoding never reads
// outside the bytes it is given: a damaged or unsupported image is an error
// saying what was wrong (and where, when the data ends too soon).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "support/Result.h"

namespace lapforge {

// An image as 8-bit RGBA, rows top first, without padding.
struct CRgbaImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;  // width * height * 4 bytes
};

// The largest width or height decoded (at most 1 GiB of RGBA).
inline constexpr int kMaxImageSide = 16384;

// Decodes a DDS file image. source names the data in messages.
Result DecodeDds(std::span<const uint8_t> bytes, CRgbaImage& out, const std::string& source);
// Decodes an image of any of the kinds above, told apart by its content.
Result DecodeImage(std::span<const uint8_t> bytes, CRgbaImage& out, const std::string& source);
// Reads and decodes an image file; messages name the file.
Result LoadImageFile(const std::string& path, CRgbaImage& out);

// The PNG file of an image: 8-bit RGB when every pixel is opaque, RGBA
// otherwise. Fails (Invalid) when the image has no pixels.
Result EncodePng(const CRgbaImage& image, std::string& png);

}  // namespace lapforge
