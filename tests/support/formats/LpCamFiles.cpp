#include "tests/support/formats/LpCamFiles.h"

#include <cstring>
#include <fstream>

namespace lapforge {

namespace {

// Little-endian appends, written out here so the files do not depend on
// the program's own byte writer.
void PutU16(std::vector<uint8_t>& b, uint16_t v) {
  b.push_back(static_cast<uint8_t>(v & 0xff));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
void PutU32(std::vector<uint8_t>& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>((v >> (8 * i)) & 0xff));
}
void PutF32(std::vector<uint8_t>& b, float f) {
  uint32_t v;
  std::memcpy(&v, &f, 4);
  PutU32(b, v);
}

constexpr float kFiller = 777.0f;

}  // namespace

std::vector<uint8_t> BuildLp(const std::vector<float>& laterals, uint16_t type, uint16_t version) {
  std::vector<uint8_t> b;
  PutU16(b, type);
  PutU16(b, version);
  PutU32(b, static_cast<uint32_t>(laterals.size()));
  const int floatsPerRecord = type == 3 ? 6 : 5;
  for (size_t i = 0; i < laterals.size(); ++i) {
    PutF32(b, 3.0f * static_cast<float>(i));  // offset 0: a distance, not read
    PutF32(b, kFiller);                       // offset 4
    PutF32(b, laterals[i]);                   // offset 8: the lateral
    for (int k = 3; k < floatsPerRecord; ++k) PutF32(b, kFiller);
  }
  return b;
}

std::vector<float> LpLaterals(size_t count, float value) { return std::vector<float>(count, value); }

void WriteLpFile(const std::string& folder, const std::string& name, const std::vector<uint8_t>& bytes) {
  std::ofstream f(folder + "/" + name, std::ios::binary);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> BuildCamList(const std::vector<SourceCam>& cams, uint32_t version, uint32_t secondCount) {
  std::vector<uint8_t> b;
  b.insert(b.end(), {'M', 'A', 'C', 'T'});
  PutU32(b, version);
  PutU32(b, 0xCAFE);  // not used
  PutU32(b, static_cast<uint32_t>(cams.size()));
  auto record = [&](const SourceCam& c) {
    PutF32(b, c.distance);   // 0
    PutF32(b, c.lateral);    // 4
    PutF32(b, c.height);     // 8
    PutF32(b, c.zoneStart);  // 12
    PutU32(b, static_cast<uint32_t>(c.type));  // 16
    PutF32(b, kFiller);      // 20
    PutF32(b, c.zoom);       // 24
    PutF32(b, kFiller);      // 28
    for (float a : c.angle) PutF32(b, a);  // 32, 36, 40
    PutF32(b, c.fov);        // 44
    PutF32(b, kFiller);      // 48
    PutF32(b, kFiller);      // 52
    if (version == 2) b.push_back(0xAB);
  };
  for (const SourceCam& c : cams) record(c);
  PutU32(b, secondCount);
  SourceCam filler;
  filler.distance = kFiller;
  for (uint32_t i = 0; i < secondCount; ++i) record(filler);
  return b;
}

}  // namespace lapforge
