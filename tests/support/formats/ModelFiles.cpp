#include "tests/support/formats/ModelFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "tests/support/formats/WriterBlocks.h"

namespace lapforge {

namespace writertest {

namespace {

// Where a layout keeps its object count and descriptors: file positions,
// and offsets stored in the file that count from byte 4, both counted from
// the model header in an MTS file.
struct Descriptors {
  size_t count, offset, stride, vertices, indexCount, indexOffset;
};

Descriptors DescriptorsOf(ModelLayout layout) {
  switch (layout) {
    case ModelLayout::Mts:
      return {280, 284, 64, 8, 16, 20};  // from the model header
    case ModelLayout::Gtr:
      return {284, 288, 64, 8, 16, 20};
    case ModelLayout::RFactor:
      return {372, 376, 132, 24, 32, 36};
    case ModelLayout::Gtl:
      return {364, 368, 108, 8, 36, 40};
  }
  return {};
}

// The model header of an MTS file: the second "CUBE_MTS_4.10".
size_t MtsModelHeader(const std::vector<uint8_t>& bytes) {
  static const char kMagic[] = "CUBE_MTS_4.10";
  for (size_t at = 16; at + sizeof kMagic <= bytes.size(); ++at)
    if (std::memcmp(bytes.data() + at, kMagic, sizeof kMagic) == 0) return at;
  ADD_FAILURE() << "no model header";
  return bytes.size();
}

}  // namespace

ModelLayout LayoutOfExport(const std::string& format) {
  if (format == "mts") return ModelLayout::Mts;
  if (format == "gtr") return ModelLayout::Gtr;
  if (format == "rfactor") return ModelLayout::RFactor;
  return ModelLayout::Gtl;  // gtl and gtr2
}

std::vector<ModelObject> ReadModelObjects(const std::vector<uint8_t>& bytes, ModelLayout layout) {
  const size_t header = layout == ModelLayout::Mts ? MtsModelHeader(bytes) : 0;
  const size_t base = layout == ModelLayout::Mts ? header : 4;
  const Descriptors d = DescriptorsOf(layout);
  std::vector<ModelObject> objects(static_cast<size_t>(std::max(0, I32At(bytes, header + d.count))));
  const size_t first = base + U32At(bytes, header + d.offset);
  for (size_t k = 0; k < objects.size(); ++k) {
    const size_t at = first + k * d.stride;
    objects[k].vertices = I32At(bytes, at + d.vertices);
    const size_t indices = U32At(bytes, at + d.indexCount);
    const size_t block = base + U32At(bytes, at + d.indexOffset);
    if (block > bytes.size() || (bytes.size() - block) / 2 < indices) {
      ADD_FAILURE() << "index block of object " << k << " runs past the file";
      return objects;
    }
    objects[k].indices.resize(indices);
    if (indices > 0) std::memcpy(objects[k].indices.data(), bytes.data() + block, 2 * indices);
  }
  return objects;
}

std::vector<ModelMaterial> ReadModelMaterials(const std::vector<uint8_t>& bytes, ModelLayout layout) {
  std::vector<ModelMaterial> materials;
  if (layout == ModelLayout::Mts) {
    // 16-byte signature, count, then per material a 108-byte record, one
    // texture (count, 44-byte record, 36-byte parameters).
    const size_t n = U32At(bytes, 16);
    for (size_t k = 0, at = 20; k < n && at < bytes.size(); ++k, at += 108 + 4 + 44 + 36)
      materials.push_back({TextAt(bytes, at, 32), U16At(bytes, at + 32)});
    return materials;
  }
  size_t at = U32At(bytes, 0) + 4;
  const size_t n = U32At(bytes, at);
  at += 4;
  for (size_t k = 0; k < n && at < bytes.size(); ++k) {
    if (layout == ModelLayout::Gtr) {
      // 108-byte record, texture count, 44 + 40 bytes per texture.
      materials.push_back({TextAt(bytes, at, 32), U16At(bytes, at + 32)});
      at += 108 + 4 + 84 * size_t{U32At(bytes, at + 108)};
    } else {
      // 968-byte record, entry count, 76 + 96 bytes per entry.
      materials.push_back({TextAt(bytes, at, 64), U16At(bytes, at + 64)});
      at += 968 + 4 + 172 * size_t{U32At(bytes, at + 968)};
    }
  }
  return materials;
}

}  // namespace writertest

}  // namespace lapforge
