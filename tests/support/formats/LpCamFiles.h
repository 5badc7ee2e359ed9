// Builders of the game files the AI waypoint and camera conversions read:
// racing-line (LP) files and "MACT" camera lists, laid out byte by byte
// independently of the readers under test. Bytes that the readers must not
// use carry filler values, so that a read at a wrong offset shows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lapforge {

// An LP file: uint16 record type (2: 20-byte records, 3: 24-byte records),
// uint16 version, uint32 count, then the records with the lateral as the
// float at record offset 8.
std::vector<uint8_t> BuildLp(const std::vector<float>& laterals, uint16_t type = 2, uint16_t version = 1);

// count laterals all equal to value.
std::vector<float> LpLaterals(size_t count, float value);

// Writes folder/name with the given bytes (name keeps its letter case).
void WriteLpFile(const std::string& folder, const std::string& name, const std::vector<uint8_t>& bytes);

// One camera of a source camera list.
struct SourceCam {
  float distance = 0;
  float lateral = 0;
  float height = 0;
  float zoneStart = 0;
  int32_t type = 1;  // 1 static, otherwise tracking
  float zoom = 1;
  float angle[3] = {0, 0, 0};
  float fov = 0;
};

// A camera list: "MACT", version, an unused word, the camera count, the
// 56-byte records (each followed by one extra byte in version 2), then a
// second list of secondCount filler records.
std::vector<uint8_t> BuildCamList(const std::vector<SourceCam>& cams, uint32_t version = 1, uint32_t secondCount = 1);

}  // namespace lapforge
