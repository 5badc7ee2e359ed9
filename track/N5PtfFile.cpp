// The track model as a PTF file: written from the track record down, and
// read back into a new model.
#include <algorithm>

#include "support/ByteWriter.h"
#include "support/FileIO.h"
#include "support/FileString.h"
#include "support/UserInterface.h"
#include "track/N5Ptf.h"

std::vector<uint8_t> CN5Ptf::WritePtfToBuffer(int version) {
  formatVersion = version;
  CN5ObjTk* tk = writeTk ? writeTk : GetTk();
  if (!tk) return {};
  // Every write numbers its records from 1 again.
  ResetWriteIds();
  CByteWriter w;
  // A built track has no file image to size the output by; its records
  // take a little over 100 bytes each.
  w.Reserve(std::max(image.size(), objects.size() * 128) + 4096);
  out = &w;
  WriteNext(tk);
  out = nullptr;
  return w.Take();
}

int CN5Ptf::WritePtf(const std::string& filePath, int version, std::string* error) {
  std::vector<uint8_t> bytes = WritePtfToBuffer(version);
  if (bytes.empty()) return 0;
  std::string reason;
  // A file that cannot be created is skipped silently; the caller may ask why.
  if (!ReplaceFile(filePath, bytes, reason)) {
    if (error) *error = reason;
    return 0;
  }
  path = filePath;
  return 1;
}

bool CN5Ptf::ReadPtf(const std::string& filePath, std::string& error, bool* damaged) {
  // The caches refer to the records of the tree being replaced.
  foundTk = writeTk = nullptr;
  laidOut.clear();
  trackLength = 0;
  segmentCount = 0;
  if (!ReadFromFile(filePath, error, damaged)) return false;
  trackName = FileString::Title(filePath);
  return true;
}

std::unique_ptr<CN5Ptf> CN5Ptf::CreateFromFile(const std::string& filePath) {
  auto model = std::make_unique<CN5Ptf>();
  std::string error;
  bool damaged = false;
  if (!model->ReadPtf(filePath, error, &damaged)) {
    if (damaged) UI().Message(error, "Damaged track file");
    return nullptr;
  }
  return model;
}
