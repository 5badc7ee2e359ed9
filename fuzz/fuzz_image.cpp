// Fuzz target for the texture image decoder: any input is either refused
// with a message or gives an image of the size it claims, within the side
// limit; a decoded image encodes as PNG and decodes back to the same pixels.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "support/ImageFile.h"

using namespace lapforge;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CRgbaImage image;
  if (Result decoded = DecodeImage({data, size}, image, "fuzz"); !decoded) {
    if (decoded.Text().empty() || !image.pixels.empty()) std::abort();
    return 0;
  }
  if (image.width < 1 || image.height < 1 || image.width > kMaxImageSide || image.height > kMaxImageSide ||
      image.pixels.size() != size_t(image.width) * size_t(image.height) * 4)
    std::abort();
  // Re-encoding is slow for big images; small ones are enough to check it.
  if (image.pixels.size() > (1u << 16)) return 0;
  std::string png;
  CRgbaImage back;
  if (!EncodePng(image, png)) std::abort();
  if (!DecodeImage({reinterpret_cast<const uint8_t*>(png.data()), png.size()}, back, "fuzz.png")) std::abort();
  if (back.pixels != image.pixels) std::abort();
  return 0;
}
