// Writes the seed corpus of the texture image decoder: DDS files of each
// kind it reads (DXT1, DXT5, uncompressed with and without alpha, the
// extended header) and a TGA.
#include <vector>

#include "fuzz/SeedWriter.h"
#include "tests/support/ImageFiles.h"

using namespace lapforge;

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  CSeedWriter seeds(argv[1]);
  std::vector<uint8_t> blocks(64);
  for (size_t i = 0; i < blocks.size(); ++i) blocks[i] = static_cast<uint8_t>(i * 37);
  seeds.Put("dxt1.dds", DdsFile(8, 8, {0x4, kDxt1}, std::vector<uint8_t>(blocks.begin(), blocks.begin() + 32)));
  seeds.Put("dxt5.dds", DdsFile(5, 7, {0x4, kDxt5}, blocks));
  seeds.Put("argb.dds", DdsFile(3, 2, {0x41, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000}, std::vector<uint8_t>(24, 0x80)));
  seeds.Put("rgb565.dds", DdsFile(2, 2, {0x40, 0, 16, 0xF800, 0x07E0, 0x001F, 0}, {1, 2, 3, 4, 5, 6, 7, 8}));
  seeds.Put("dx10.dds", DdsFile(2, 1, {}, {1, 2, 3, 4, 5, 6, 7, 8}, 28));
  seeds.Put("bgr.tga", TgaFile(2, 1, {0, 0, 255, 255, 0, 0}));
  return seeds.Finish();
}
