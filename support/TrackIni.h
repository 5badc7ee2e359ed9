// The pit-lane, stall and grid values of a track that the AI information
// carries, and the reader that fills them from a track.ini.
#pragma once

#include <cstdint>
#include <string>

namespace lapforge {

struct VARS_AIW_TRACK_INFO {
  float mergePitIn = 0;       // merge into pit lane, longitudinal
  float mergePitOut = 0;      // merge out of pit lane, longitudinal
  float stallsLongStart = 0;  // first stall
  float stallsLatStart = 0;
  float stallsLongEnd = 0;    // last stall
  float stallsLatEnd = 0;
  float gridLat = 0;
  uint8_t pollPositionLeft = 0;
};

// Fills what it finds in the ini file into info (fields it does not find keep
// their values). Always returns false, as callers expect.
bool ReadTrackIni(const std::string& iniFile, VARS_AIW_TRACK_INFO& info);

// Reads up to count decimal numbers from the start of text, separated by
// blanks, as "%f %f %f" would; returns how many were read.
int ScanFloats(const std::string& text, float* out, int count);

}  // namespace lapforge
