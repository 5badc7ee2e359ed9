// Texture image decoding: DDS pixels worked out by hand from the block and
// mask layouts, every truncated prefix and malformed header refused without
// reading past the data, TGA rows and the PNG header as written.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "support/ImageFile.h"
#include "tests/support/ImageFiles.h"
#include "tests/support/ResultCheck.h"

namespace lapforge {

namespace {

using Bytes = std::vector<uint8_t>;

// A copy of bytes[0, n) at the very end of its own allocation, so that a
// read past n is caught by AddressSanitizer as well.
struct Tail {
  Tail(const Bytes& bytes, size_t n) : size(n), data(new uint8_t[n]) {
    if (n) std::memcpy(data.get(), bytes.data(), n);
  }
  std::span<const uint8_t> Span() const { return {data.get(), size}; }
  size_t size;
  std::unique_ptr<uint8_t[]> data;
};

Bytes Decoded(const Bytes& file) {
  CRgbaImage image;
  std::string error;
  EXPECT_TRUE(Ok(DecodeImage(file, image, "t.dds"), error)) << error;
  return image.pixels;
}

}  // namespace

// One DXT1 block: colour 0 = 0xFFE0 (31, 63, 0 -> 255, 255, 0), colour 1 =
// 0x8410 (16, 32, 16 -> 132, 130, 132 by bit replication); colour 0 above
// colour 1 means four opaque colours. Two bits per pixel, row bytes 4 to 7,
// lowest bits first: 0x44 = 0 1 0 1, 0x11 = 1 0 1 0, 0x00, 0x55 = 1 1 1 1.
TEST(ImageFile, Dxt1BlockDecodesAsWorkedOutByHand) {
  const Bytes file = DdsFile(4, 4, {0x4, kDxt1}, {0xE0, 0xFF, 0x10, 0x84, 0x44, 0x11, 0x00, 0x55});
  const Bytes Y = {255, 255, 0, 255}, G = {132, 130, 132, 255};
  Bytes expected;
  for (const Bytes* p : {&Y, &G, &Y, &G, &G, &Y, &G, &Y, &Y, &Y, &Y, &Y, &G, &G, &G, &G})
    expected.insert(expected.end(), p->begin(), p->end());
  EXPECT_EQ(Decoded(file), expected);
}

struct Uncompressed {
  const char* name;
  uint32_t width, height;
  DdsPixelFormat format;
  Bytes pixels, rgba;
  uint32_t dxgi = 0;
};

class DdsUncompressed : public testing::TestWithParam<Uncompressed> {};

TEST_P(DdsUncompressed, PixelsComeOutAsWorkedOutByHand) {
  const Uncompressed& c = GetParam();
  CRgbaImage image;
  std::string error;
  ASSERT_TRUE(Ok(DecodeImage(DdsFile(c.width, c.height, c.format, c.pixels, c.dxgi), image, "t.dds"), error)) << error;
  EXPECT_EQ(image.width, static_cast<int>(c.width));
  EXPECT_EQ(image.height, static_cast<int>(c.height));
  EXPECT_EQ(image.pixels, c.rgba);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, DdsUncompressed,
    testing::Values(
        // 0x80102030 and 0xFF010203 through the masks.
        Uncompressed{"A8R8G8B8", 2, 1, {0x41, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000},
                     {0x30, 0x20, 0x10, 0x80, 0x03, 0x02, 0x01, 0xFF}, {0x10, 0x20, 0x30, 0x80, 1, 2, 3, 0xFF}},
        // Rows of 3 bytes, not padded to 4: the second row starts at byte 3.
        Uncompressed{"R8G8B8 one column", 1, 2, {0x40, 0, 24, 0xFF0000, 0xFF00, 0xFF, 0},
                     {0x30, 0x20, 0x10, 0xFF, 0, 0}, {0x10, 0x20, 0x30, 255, 0, 0, 255, 255}},
        // 0x8410 = 16, 32, 16; 0xF81F = 31, 0, 31.
        Uncompressed{"R5G6B5", 2, 1, {0x40, 0, 16, 0xF800, 0x07E0, 0x001F, 0},
                     {0x10, 0x84, 0x1F, 0xF8}, {132, 130, 132, 255, 255, 0, 255, 255}},
        // 0xC03F = alpha 1, red 16, green 1, blue 31; 5 bits scale by
        // 255 / 31 rounded: 16 -> 132, 1 -> 8.
        Uncompressed{"A1R5G5B5", 2, 1, {0x41, 0, 16, 0x7C00, 0x03E0, 0x001F, 0x8000},
                     {0x3F, 0xC0, 0x00, 0x00}, {132, 8, 255, 255, 0, 0, 0, 0}},
        // No blue mask: blue reads 0.
        Uncompressed{"G8R8", 2, 1, {0x40, 0, 16, 0xFF, 0xFF00, 0, 0}, {0x10, 0x20, 0xF0, 0xE0},
                     {0x10, 0x20, 0, 255, 0xF0, 0xE0, 0, 255}},
        Uncompressed{"L8", 2, 1, {0x20000, 0, 8, 0xFF, 0, 0, 0}, {0x40, 0xC0},
                     {0x40, 0x40, 0x40, 255, 0xC0, 0xC0, 0xC0, 255}},
        Uncompressed{"A8", 2, 1, {0x2, 0, 8, 0, 0, 0, 0xFF}, {0x40, 0xC0}, {0, 0, 0, 0x40, 0, 0, 0, 0xC0}},
        // DXGI_FORMAT_R8G8B8A8_UNORM (28) in the extended header.
        Uncompressed{"DX10 R8G8B8A8", 1, 1, {}, {1, 2, 3, 4}, {1, 2, 3, 4}, 28}),
    [](const testing::TestParamInfo<Uncompressed>& i) {
      std::string n = i.param.name;
      for (char& c : n)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      return n;
    });

// Every prefix of a well-formed file is refused with a message; nothing is
// read beyond it (the prefix ends its allocation) and nothing is returned.
TEST(ImageFile, EveryTruncatedDdsIsRefused) {
  Bytes dxt5(32, 0x5A);  // 8 x 4: two 16-byte blocks
  const Bytes files[] = {
      DdsFile(8, 4, {0x4, kDxt5}, dxt5),
      DdsFile(1, 2, {0x40, 0, 24, 0xFF0000, 0xFF00, 0xFF, 0}, {1, 2, 3, 4, 5, 6}),
      DdsFile(1, 1, {}, {1, 2, 3, 4}, 28),
  };
  for (const Bytes& file : files) {
    for (size_t n = 0; n < file.size(); ++n) {
      Tail t(file, n);
      CRgbaImage image;
      std::string error;
      EXPECT_FALSE(Ok(DecodeImage(t.Span(), image, "cut.dds"), error)) << n;
      EXPECT_NE(error.find("cut.dds: "), std::string::npos) << n << " " << error;
      EXPECT_TRUE(image.pixels.empty() && image.width == 0) << n;
    }
    Tail whole(file, file.size());
    CRgbaImage image;
    std::string error;
    EXPECT_TRUE(Ok(DecodeImage(whole.Span(), image, "whole.dds"), error)) << error;
  }
}

struct Malformed {
  const char* name;
  Bytes file;
  const char* message;
};

class DdsMalformed : public testing::TestWithParam<Malformed> {};

TEST_P(DdsMalformed, IsRefusedSayingWhatIsWrong) {
  const Malformed& c = GetParam();
  Tail t(c.file, c.file.size());
  CRgbaImage image;
  std::string error;
  EXPECT_FALSE(Ok(DecodeDds(t.Span(), image, "bad.dds"), error));
  EXPECT_NE(error.find(c.message), std::string::npos) << error;
  EXPECT_TRUE(image.pixels.empty());
}

Bytes Patched(Bytes b, size_t at, uint32_t v) {
  std::memcpy(&b[at], &v, 4);
  return b;
}

const Bytes kRgb1x1 = DdsFile(1, 1, {0x40, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0}, {1, 2, 3, 4});

INSTANTIATE_TEST_SUITE_P(
    Headers, DdsMalformed,
    testing::Values(
        Malformed{"Magic", Patched(kRgb1x1, 0, 0x3F534444), "bad.dds: not a DDS file"},
        Malformed{"HeaderSize", Patched(kRgb1x1, 4, 100), "header size 100"},
        Malformed{"ZeroWidth", Patched(kRgb1x1, 16, 0), "0 x 1 pixels"},
        Malformed{"HugeHeight", Patched(kRgb1x1, 12, 0xFFFFFFFF), "sides must be 1 to 16384"},
        Malformed{"FormatSize", Patched(kRgb1x1, 76, 0), "pixel format size 0"},
        Malformed{"BitCount", Patched(kRgb1x1, 88, 12), "12 bits are not supported"},
        Malformed{"MaskBeyondPixel", Patched(kRgb1x1, 88, 16), "masks reach beyond the 16-bit pixel"},
        Malformed{"NoColour", Patched(kRgb1x1, 80, 0), "neither colour nor alpha"},
        Malformed{"FourCC", DdsFile(4, 4, {0x4, 0x32495441}, Bytes(16)), "'ATI2' is not supported"},
        Malformed{"Dxgi", DdsFile(4, 4, {}, Bytes(16), 98), "format 98 is not supported"},
        // The largest image the header may claim, without its pixels:
        // refused before anything is allocated for it.
        Malformed{"NoPixels", DdsFile(16384, 16384, {0x4, kDxt1}, Bytes(8)),
                  "unexpected end of file reading DDS level 0 pixels at offset 128 (134217728 bytes needed, 8 left)"}),
    [](const testing::TestParamInfo<Malformed>& i) { return std::string(i.param.name); });

// TGA rows are stored bottom first; images come out top row first. PNG
// header: signature, IHDR length 13, width and height big-endian, bit depth
// 8, colour type 2 (RGB) when every pixel is opaque, 6 (RGBA) otherwise.
TEST(ImageFile, TgaRowsTopFirstAndPngWrittenAndReadBack) {
  CRgbaImage image;
  std::string error;
  ASSERT_TRUE(Ok(DecodeImage(TgaFile(1, 2, {0, 0, 255, 255, 0, 0}), image, "t.tga"), error)) << error;
  EXPECT_EQ(image.pixels, (Bytes{0, 0, 255, 255, 255, 0, 0, 255}));  // blue over red

  for (uint8_t alpha : {255, 128}) {
    CRgbaImage source{2, 1, {10, 20, 30, 255, 40, 50, 60, alpha}};
    std::string png;
    ASSERT_TRUE(Ok(EncodePng(source, png), error)) << error;
    const Bytes head(png.begin(), png.begin() + 26);
    EXPECT_EQ(head, (Bytes{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R', 0, 0, 0, 2,
                           0, 0, 0, 1, 8, static_cast<uint8_t>(alpha == 255 ? 2 : 6)}));
    CRgbaImage back;
    ASSERT_TRUE(Ok(DecodeImage(Bytes(png.begin(), png.end()), back, "t.png"), error)) << error;
    EXPECT_EQ(back.pixels, source.pixels);
  }

  // Not an image; and a PNG header claiming 20000 pixels across, refused
  // before it is decoded.
  EXPECT_FALSE(Ok(DecodeImage(Bytes{'h', 'e', 'l', 'l', 'o'}, image, "t.txt"), error));
  EXPECT_NE(error.find("t.txt: not an image of a supported kind"), std::string::npos) << error;
  Bytes wide = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R', 0, 0, 0x4E, 0x20,
                0, 0, 0, 1, 8, 6, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_FALSE(Ok(DecodeImage(wide, image, "wide.png"), error));
  EXPECT_NE(error.find("20000 x 1 pixels"), std::string::npos) << error;
  EXPECT_FALSE(Ok(DecodeImage(Bytes{}, image, "empty.png"), error));
  EXPECT_NE(error.find("empty.png: the file is empty"), std::string::npos) << error;

  // A 32-byte uncompressed TGA whose header claims 8224 x 8224 pixels
  // (0x2020 at offsets 12 and 14): refused, not decoded to 270 MB of zeros.
  Bytes claims(32, 0x20);
  claims[0] = claims[1] = claims[3] = 0, claims[2] = 2, claims[30] = claims[31] = 0;
  EXPECT_FALSE(Ok(DecodeImage(claims, image, "big.tga"), error));
  EXPECT_NE(error.find("an image of 8224 x 8224 pixels cannot be held in a file of 32 bytes"), std::string::npos)
      << error;
}

}  // namespace lapforge
