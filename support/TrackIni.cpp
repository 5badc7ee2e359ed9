#include "support/TrackIni.h"

#include <cstdio>

#include "support/Profile.h"
#include "support/TextFormat.h"

namespace lapforge {

int ScanFloats(const std::string& text, float* out, int count) {
  const char* p = text.c_str();
  int n = 0;
  while (n < count) {
    int used = 0;
    float v = 0;
    if (std::sscanf(p, " %f%n", &v, &used) != 1) break;
    out[n++] = v;
    p += used;
  }
  return n;
}

namespace {

bool ReadFloat(const CProfile& ini, const char* section, const char* key, float& out) {
  std::string v = ini.GetString(section, key, "");
  if (v.empty()) return false;
  float f = 0;
  if (ScanFloats(v, &f, 1) == 1) out = f;
  return true;
}

void ReadStall(const CProfile& ini, const std::string& key, float& lon, float& lat) {
  std::string v = ini.GetString("pit_lane_0", key, "");
  if (v.empty()) return;
  float f[3];
  int n = ScanFloats(v, f, 3);
  if (n >= 1) lon = f[0];
  if (n >= 2) lat = f[1];
}

}  // namespace

bool ReadTrackIni(const std::string& iniFile, VARS_AIW_TRACK_INFO& info) {
  CProfile ini;
  if (!ini.Load(iniFile)) return false;

  if (!ReadFloat(ini, "pit_lane_0", "merge_to_pit_line_dlong", info.mergePitIn))
    ReadFloat(ini, "ai_track", "pit_lane_start_dlong", info.mergePitIn);
  if (!ReadFloat(ini, "pit_lane_0", "lane_merge_dlong", info.mergePitOut))
    ReadFloat(ini, "ai_track", "merge_from_pit_line_dlong", info.mergePitOut);

  std::string lastStall;
  for (const std::string& key : ini.KeyNames("pit_lane_0")) {
    if (key.compare(0, 6, "stall_") == 0) lastStall = key;
  }
  ReadStall(ini, "stall_0", info.stallsLongEnd, info.stallsLatEnd);
  if (!lastStall.empty()) ReadStall(ini, lastStall, info.stallsLongStart, info.stallsLatStart);
  return false;
}

}  // namespace lapforge
