// Writes a GTR / GTR2 model file (".gmt"): a 332-byte header, the MTS-style
// object descriptors, triangle records, normals, vertex and index blocks,
// then the material section whose position the first word gives.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formats/gmt/GtrModel.h"
#include "support/Result.h"

namespace lapforge {

class CByteWriter;

class CZGtrFile : public CZGtr {
 public:
  static constexpr int32_t kHeaderSize = 332;
  static constexpr int32_t kDescriptorOffset = 328;  // counted from byte 4

  // upNormals: every triangle normal (0, 1, 0) and descriptors starting
  // with 0, as sky domes, clouds and horizons need; also on when the file
  // title starts with "cloud", "sky" or "horiz". False when the file could
  // not be written (error set).
  Result WriteGTRFile(const std::string& path, int upNormals);
  // The file's bytes for the objects built so far.
  std::vector<uint8_t> GTRFileBytes(bool upNormals) const;
  // The same into w, which must be empty (cleared, its room kept); given
  // path, the file as written there (its title is part of it).
  void GTRFileBytes(CByteWriter& w, const std::string& path, int upNormals);
  void GTRFileBytes(CByteWriter& w, bool upNormals) const;

  // True for the titles that get up-normals.
  static bool UpNormalsTitle(const std::string& title);

 private:
  void WriteGtrMaterial(CByteWriter& w, const CMtsObj& object) const;
};

}  // namespace lapforge
