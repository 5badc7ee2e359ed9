// A reader of the model files the MTS-family and GMT-family writers make,
// written from their layouts alone for the tests: the object descriptors
// with their index blocks, and the material records' names and flag words.
// Every read is checked against the file; a read past its end fails the
// test.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lapforge {

namespace writertest {

enum class ModelLayout { Mts, Gtr, RFactor, Gtl };

struct ModelObject {
  int32_t vertices = 0;
  std::vector<uint16_t> indices;  // three per triangle
};

struct ModelMaterial {
  std::string name;
  uint16_t flags = 0;  // the record's first flag word
};

// The layout of the block files of an export as the command line names it
// ("mts", "gtr", "rfactor", "gtr2", "gtl").
ModelLayout LayoutOfExport(const std::string& format);

std::vector<ModelObject> ReadModelObjects(const std::vector<uint8_t>& bytes, ModelLayout layout);
// The material records in object order (materials without frame lists or
// animation data, as the tracks of the tests make them).
std::vector<ModelMaterial> ReadModelMaterials(const std::vector<uint8_t>& bytes, ModelLayout layout);

}  // namespace writertest

}  // namespace lapforge
