#include "support/ImageFile.h"

#include <squish.h>
#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>

#include "support/ByteReader.h"
#include "support/Errors.h"
#include "support/FileIO.h"
#include "support/TextFormat.h"

namespace lapforge {

namespace {

// Pixel format flags of a DDS header.
constexpr uint32_t kAlphaPixels = 0x1, kAlphaOnly = 0x2, kFourCC = 0x4, kRgb = 0x40, kLuminance = 0x20000;

constexpr uint32_t FourCC(const char (&s)[5]) {
  return uint32_t(uint8_t(s[0])) | uint32_t(uint8_t(s[1])) << 8 | uint32_t(uint8_t(s[2])) << 16 |
         uint32_t(uint8_t(s[3])) << 24;
}

std::string FourCCText(uint32_t v) {
  std::string s;
  for (int i = 0; i < 4; ++i) {
    const char c = static_cast<char>((v >> (8 * i)) & 0xFF);
    s += c >= 32 && c < 127 ? c : '?';
  }
  return s;
}

// One channel of an uncompressed pixel: its mask, where it starts and how
// many bits it spans, scaled to 8 bits. A channel without a mask (a
// two-channel format has no blue) reads 0.
struct Channel {
  explicit Channel(uint32_t m) : mask(m) {
    if (!m) return;
    shift = std::countr_zero(m);
    bits = std::bit_width(m >> shift);
  }
  uint8_t From(uint32_t pixel) const {
    const uint32_t v = (pixel & mask) >> shift;
    if (bits == 0) return 0;
    if (bits >= 8) return static_cast<uint8_t>(v >> (bits - 8));
    const uint32_t max = (1u << bits) - 1;
    return static_cast<uint8_t>((v * 255 + max / 2) / max);
  }
  uint32_t mask;
  int shift = 0;
  int bits = 0;
};

// The pixel layout of level 0: a DXT block kind (squish flags), or the
// masks of an uncompressed pixel.
struct DdsFormat {
  int dxt = 0;
  uint32_t bitCount = 0;
  uint32_t flags = 0;
  uint32_t r = 0, g = 0, b = 0, a = 0;
};

// The formats of the extended (DX10) header this decoder reads.
bool FromDxgi(uint32_t dxgi, DdsFormat& f) {
  switch (dxgi) {
    case 71: case 72: f.dxt = squish::kDxt1; return true;  // BC1
    case 74: case 75: f.dxt = squish::kDxt3; return true;  // BC2
    case 77: case 78: f.dxt = squish::kDxt5; return true;  // BC3
    case 28: case 29:  // R8G8B8A8
      f = {0, 32, kRgb | kAlphaPixels, 0xFFu, 0xFF00u, 0xFF0000u, 0xFF000000u};
      return true;
    case 87: case 91:  // B8G8R8A8
      f = {0, 32, kRgb | kAlphaPixels, 0xFF0000u, 0xFF00u, 0xFFu, 0xFF000000u};
      return true;
    case 88: case 93:  // B8G8R8X8
      f = {0, 32, kRgb, 0xFF0000u, 0xFF00u, 0xFFu, 0};
      return true;
    default:
      return false;
  }
}

void DecodeUncompressed(const DdsFormat& f, const uint8_t* src, size_t count, uint8_t* out) {
  const Channel r(f.r), g(f.g), b(f.b), a(f.a);
  const bool luminance = (f.flags & kLuminance) != 0, colour = (f.flags & (kRgb | kLuminance)) != 0;
  const bool alpha = (f.flags & (kAlphaPixels | kAlphaOnly)) != 0 && f.a != 0;
  const size_t bytes = f.bitCount / 8;
  for (size_t i = 0; i < count; ++i, src += bytes, out += 4) {
    uint32_t v = 0;
    for (size_t k = 0; k < bytes; ++k) v |= uint32_t(src[k]) << (8 * k);
    if (!colour) {
      out[0] = out[1] = out[2] = 0;
    } else if (luminance) {
      out[0] = out[1] = out[2] = r.From(v);
    } else {
      out[0] = r.From(v), out[1] = g.From(v), out[2] = b.From(v);
    }
    out[3] = alpha ? a.From(v) : 255;
  }
}

// Where the fields of a DDS file that a refusal names begin: the header size,
// the height (then the width), the pixel format's size, flags, four-letter
// code, bits per pixel and channel masks, and the format of the extended
// header.
constexpr uint64_t kDdsHeaderSizeAt = 4, kDdsHeightAt = 12, kDdsFormatSizeAt = 76, kDdsFormatFlagsAt = 80,
                   kDdsFourCCAt = 84, kDdsBitCountAt = 88, kDdsMasksAt = 92, kDdsDxgiAt = 128;

// A damaged image, or one of a kind not decoded (unsupported).
Result Fail(const std::string& source, const std::string& what, Status status = Status::Damaged, uint64_t offset = 0) {
  return Result::Fail(status, source + ": " + what, source, offset);
}

}  // namespace

Result DecodeDds(std::span<const uint8_t> bytes, CRgbaImage& out, const std::string& source) {
  out = CRgbaImage();
  try {
    CByteReader r(bytes, source);
    if (r.U32("DDS magic") != FourCC("DDS ")) return Fail(source, "not a DDS file", Status::WrongKind);
    const uint32_t headerSize = r.U32("DDS header");
    if (headerSize != 124)
      return Fail(source, StrFormat("DDS header size %u, expected 124", headerSize), Status::Damaged, kDdsHeaderSizeAt);
    r.Skip(4, "DDS header");  // flags
    const uint32_t height = r.U32("DDS height"), width = r.U32("DDS width");
    r.Skip(4 + 4 + 4 + 44, "DDS header");  // pitch, depth, mipmap count, reserved
    const uint32_t formatSize = r.U32("DDS pixel format");
    if (formatSize != 32)
      return Fail(source, StrFormat("DDS pixel format size %u, expected 32", formatSize), Status::Damaged,
                  kDdsFormatSizeAt);
    DdsFormat f;
    f.flags = r.U32("DDS pixel format");
    const uint32_t fourCC = r.U32("DDS pixel format");
    f.bitCount = r.U32("DDS pixel format");
    f.r = r.U32("DDS pixel format"), f.g = r.U32("DDS pixel format"), f.b = r.U32("DDS pixel format");
    f.a = r.U32("DDS pixel format");
    r.Skip(20, "DDS header");  // caps and reserved

    if (width == 0 || height == 0 || width > kMaxImageSide || height > kMaxImageSide)
      return Fail(source,
                  StrFormat("DDS image of %u x %u pixels (sides must be 1 to %d)", width, height, kMaxImageSide),
                  Status::Damaged, kDdsHeightAt);
    if (f.flags & kFourCC) {
      if (fourCC == FourCC("DXT1")) {
        f.dxt = squish::kDxt1;
      } else if (fourCC == FourCC("DXT3")) {
        f.dxt = squish::kDxt3;
      } else if (fourCC == FourCC("DXT5")) {
        f.dxt = squish::kDxt5;
      } else if (fourCC == FourCC("DX10")) {
        const uint32_t dxgi = r.U32("DDS extended header");
        r.Skip(16, "DDS extended header");
        if (!FromDxgi(dxgi, f))
          return Fail(source, StrFormat("DDS format %u is not supported", dxgi), Status::Unsupported, kDdsDxgiAt);
      } else {
        return Fail(
            source,
            "DDS pixel format '" + FourCCText(fourCC) + "' is not supported (DXT1, DXT3, DXT5 or uncompressed RGB)",
            Status::Unsupported, kDdsFourCCAt);
      }
    } else if (!(f.flags & (kRgb | kLuminance | kAlphaOnly))) {
      return Fail(source, "DDS pixel format has neither colour nor alpha", Status::Damaged, kDdsFormatFlagsAt);
    }
    const size_t w = width, h = height;
    size_t levelBytes = 0;
    if (f.dxt) {
      levelBytes = ((w + 3) / 4) * ((h + 3) / 4) * (f.dxt == squish::kDxt1 ? 8 : 16);
    } else {
      if (f.bitCount != 8 && f.bitCount != 16 && f.bitCount != 24 && f.bitCount != 32)
        return Fail(source, StrFormat("DDS pixels of %u bits are not supported (8, 16, 24 or 32)", f.bitCount),
                    Status::Unsupported, kDdsBitCountAt);
      if (f.bitCount < 32 && ((f.r | f.g | f.b | f.a) >> f.bitCount) != 0)
        return Fail(source, StrFormat("DDS channel masks reach beyond the %u-bit pixel", f.bitCount), Status::Damaged,
                    kDdsMasksAt);
      levelBytes = w * h * (f.bitCount / 8);
    }
    // Level 0 comes first; whatever follows it (smaller levels, other
    // faces) is not needed.
    std::span<const uint8_t> level = r.View(levelBytes, "DDS level 0 pixels");
    out.pixels.resize(w * h * 4);
    if (f.dxt) {
      squish::DecompressImage(out.pixels.data(), static_cast<int>(w), static_cast<int>(h), level.data(), f.dxt);
    } else {
      DecodeUncompressed(f, level.data(), w * h, out.pixels.data());
    }
    out.width = static_cast<int>(w);
    out.height = static_cast<int>(h);
    return Result::Ok();
  } catch (const CFormatError& e) {
    out = CRgbaImage();
    return Result::Fail(Status::Damaged, e.what(), source, e.Offset());
  }
}

Result DecodeImage(std::span<const uint8_t> bytes, CRgbaImage& out, const std::string& source) {
  out = CRgbaImage();
  if (bytes.empty()) return Fail(source, "the file is empty");
  if (bytes.size() >= 4 && std::memcmp(bytes.data(), "DDS ", 4) == 0) return DecodeDds(bytes, out, source);
  if (bytes.size() > INT_MAX) return Fail(source, "the file is too large for an image");
  const int length = static_cast<int>(bytes.size());
  int w = 0, h = 0, channels = 0;
  // The size first, so that a header claiming a huge image is refused
  // before anything is allocated for it.
  if (!stbi_info_from_memory(bytes.data(), length, &w, &h, &channels))
    return Fail(source,
                std::string("not an image of a supported kind (DDS, TGA, BMP, PNG or JPEG): ") + stbi_failure_reason(),
                Status::WrongKind);
  if (w <= 0 || h <= 0 || w > kMaxImageSide || h > kMaxImageSide)
    return Fail(source, StrFormat("image of %d x %d pixels (sides must be 1 to %d)", w, h, kMaxImageSide));
  // No supported kind packs more pixels into a byte than this (a PNG of
  // one colour at 1 bit a pixel comes close), so a header that claims more
  // is a damaged or crafted file: refused before hundreds of megabytes are
  // decoded out of a few bytes.
  constexpr size_t kMostPixelsPerByte = 16384;
  if (size_t(w) * size_t(h) > std::max<size_t>(size_t(1) << 16, bytes.size() * kMostPixelsPerByte))
    return Fail(source, StrFormat("an image of %d x %d pixels cannot be held in a file of %zu bytes", w, h, bytes.size()),
                Status::Damaged);
  stbi_uc* pixels = stbi_load_from_memory(bytes.data(), length, &w, &h, &channels, 4);
  if (!pixels) return Fail(source, std::string("the image cannot be decoded: ") + stbi_failure_reason());
  out.width = w;
  out.height = h;
  out.pixels.assign(pixels, pixels + size_t(w) * size_t(h) * 4);
  stbi_image_free(pixels);
  return Result::Ok();
}

Result LoadImageFile(const std::string& path, CRgbaImage& out) {
  std::vector<uint8_t> bytes;
  if (Result read = ReadWholeFile(path, bytes); !read) return read;
  return DecodeImage(bytes, out, path);
}

Result EncodePng(const CRgbaImage& image, std::string& png) {
  png.clear();
  const size_t count = size_t(image.width > 0 ? image.width : 0) * size_t(image.height > 0 ? image.height : 0);
  if (count == 0 || image.width > kMaxImageSide || image.height > kMaxImageSide || image.pixels.size() != count * 4)
    return Result::Fail(Status::Invalid,
                        StrFormat("an image of %d x %d pixels cannot be written as PNG", image.width, image.height));
  bool opaque = true;
  for (size_t i = 3; i < image.pixels.size() && opaque; i += 4) opaque = image.pixels[i] == 255;
  std::vector<uint8_t> rgb;
  const uint8_t* data = image.pixels.data();
  if (opaque) {
    rgb.resize(count * 3);
    for (size_t i = 0; i < count; ++i) std::memcpy(&rgb[3 * i], &image.pixels[4 * i], 3);
    data = rgb.data();
  }
  const int channels = opaque ? 3 : 4;
  auto append = [](void* context, void* bytes, int size) {
    static_cast<std::string*>(context)->append(static_cast<const char*>(bytes), static_cast<size_t>(size));
  };
  if (!stbi_write_png_to_func(append, &png, image.width, image.height, channels, data, image.width * channels)) {
    png.clear();
    return Result::Fail(Status::Failed, "the PNG encoder failed");
  }
  return Result::Ok();
}

}  // namespace lapforge
