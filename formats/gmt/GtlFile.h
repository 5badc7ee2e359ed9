// Writes the GTL model layout (".gmt", used by the GTL and GTR2 exports):
// the rFactor objects and write materials in a smaller header, with 108-byte
// object descriptors, 36-byte collision triangles carrying their plane
// distance, and never a second UV block.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formats/gmt/GmtFile.h"

namespace lapforge {

class CZGTLFile : public CZGmtFile {
 public:
  static constexpr int32_t kGtlHeaderSize = 532;
  static constexpr int32_t kGtlDescriptorOffset = 528;  // counted from byte 4
  static constexpr int32_t kDescriptorSize = 108;
  static constexpr int32_t kCollisionSize = 36;

  // The object must have been made (MakeObject). Fails when the file could
  // not be written.
  Result WriteGTLFile(const std::string& path, const CGlObjTag& tag);
  std::vector<uint8_t> GTLFileBytes(const CGlObjTag& tag);
  // The same into w, which must be empty (cleared, its room kept); given
  // path, the file as written there (its title is part of it).
  void GTLFileBytes(CByteWriter& w, const CGlObjTag& tag);
  void GTLFileBytes(CByteWriter& w, const std::string& path, const CGlObjTag& tag);

 protected:
  bool HasSecondUVBlock() const override { return false; }

 private:
  // Steps of GTLFileBytes.
  int32_t WriteGtlHeader(CByteWriter& w, const CGlObjTag& tag, int32_t n, int32_t t) const;
  void WriteGtlDescriptors(CByteWriter& w, int32_t n, int64_t running) const;
};

}  // namespace lapforge
