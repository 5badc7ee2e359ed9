// A texture image (mip) record: the map path, its title (the key in the
// texture list) and file name. Faces refer to mips by index.
#pragma once

#include <cstdint>
#include <string>

namespace lapforge {

class CGlMip {
 public:
  uint8_t used = 0;
  int32_t attribA = -1;
  int32_t attribB = -1;
  int32_t attribs[5] = {0, 0, 0, 0, 0};
  int32_t attribC = -1;
  std::string label;        // first string, carried by 3SE
  std::string mipName;      // map path
  std::string mipTitle;     // key in the texture list
  std::string mipFileName;  // file name
  uint8_t mipFlag = 0;
};

}  // namespace lapforge
