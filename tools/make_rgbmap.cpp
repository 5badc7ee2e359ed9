// Writes the palette texture "_rgbmap.dds" that untextured faces point into
// (program template 110): a 256 x 256 DXT1 image without mip levels.
//
// The mesh model gives a face of colour (R, G, B) texture coordinates in the
// cell of qR = R / 32, qB = B / 32 (0..7) and qG = G / 16 (0..15): texel
// columns 4 qR + 32 qB .. +3 and texel rows 16 qG .. +15. Each cell is filled
// with the middle of its colour range, so every colour the mesh maps to that
// cell is shown within half a cell of itself. Cells are whole 4 x 4 blocks,
// so each block is solid: both endpoints the cell colour, every index 0.
//
// Usage: make_rgbmap [OUT.dds]   (default: support/resources/110_binary_rgbmap.dds)
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "support/ByteWriter.h"
#include "support/FileIO.h"

using namespace lapforge;

namespace {

constexpr int kSize = 256;
constexpr int kBlocks = kSize / 4;

// The nearest value of a channel of bits bits to an 8-bit value.
uint16_t Quantise(int value, int bits) {
  int top = (1 << bits) - 1;
  return static_cast<uint16_t>((value * top + 127) / 255);
}

uint16_t Rgb565(int r, int g, int b) {
  return static_cast<uint16_t>(Quantise(r, 5) << 11 | Quantise(g, 6) << 5 | Quantise(b, 5));
}

std::vector<uint8_t> BuildImage() {
  CByteWriter w;
  w.Reserve(128 + kBlocks * kBlocks * 8);
  w.Bytes("DDS ", 4);
  w.U32(124);                                 // header size
  w.U32(0x1 | 0x2 | 0x4 | 0x1000 | 0x80000);  // caps, height, width, pixel format, linear size
  w.U32(kSize);                               // height
  w.U32(kSize);                               // width
  w.U32(kBlocks * kBlocks * 8);               // linear size of the top level
  w.U32(0);                                   // depth
  w.U32(0);                                   // mip levels
  w.Zeroes(11 * 4);                           // reserved
  w.U32(32);                                  // pixel format size
  w.U32(0x4);                                 // four-character code present
  w.Bytes("DXT1", 4);
  w.Zeroes(5 * 4);  // bit count and masks
  w.U32(0x1000);    // texture
  w.Zeroes(4 * 4);  // caps 2..4, reserved
  for (int by = 0; by < kBlocks; ++by) {
    int qG = by / 4;  // 16 texel rows per cell
    for (int bx = 0; bx < kBlocks; ++bx) {
      int qR = bx % 8;  // 4 texel columns per cell
      int qB = bx / 8;  // 32 texel columns per blue step
      uint16_t c = Rgb565(32 * qR + 16, 16 * qG + 8, 32 * qB + 16);
      w.U16(c);
      w.U16(c);
      w.U32(0);
    }
  }
  return w.Take();
}

}  // namespace

int main(int argc, char** argv) {
  std::string out = argc > 1 ? argv[1] : std::string(LAPFORGE_SOURCE_DIR "/support/resources/110_binary_rgbmap.dds");
  std::vector<uint8_t> image = BuildImage();
  if (Result written = ReplaceFile(out, image); !written) {
    std::fprintf(stderr, "%s\n", written.Text().c_str());
    return 1;
  }
  std::printf("%s: %zu bytes\n", out.c_str(), image.size());
  return 0;
}
