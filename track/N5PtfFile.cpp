// The track model as a PTF file: written from the track record down, and
// read back into a new model.
#include <algorithm>

#include "support/ByteWriter.h"
#include "support/FileIO.h"
#include "support/FileString.h"
#include "track/N5Ptf.h"

namespace lapforge {

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

Result CN5Ptf::WritePtf(const std::string& filePath, int version) {
  std::vector<uint8_t> bytes = WritePtfToBuffer(version);
  if (bytes.empty()) return Result::Fail(Status::WrongKind, std::string(), filePath);
  if (Result written = ReplaceFile(filePath, bytes); !written) return written;
  path = filePath;
  return Result::Ok();
}

Result CN5Ptf::ReadPtf(const std::string& filePath) {
  // The caches refer to the records of the tree being replaced.
  foundTk = writeTk = nullptr;
  laidOut.clear();
  trackLength = 0;
  segmentCount = 0;
  if (Result read = ReadFromFile(filePath); !read) return read;
  trackName = FileString::Title(filePath);
  return Result::Ok();
}

std::unique_ptr<CN5Ptf> CN5Ptf::CreateFromFile(const std::string& filePath, Result& result) {
  auto model = std::make_unique<CN5Ptf>();
  result = model->ReadPtf(filePath);
  if (!result) return nullptr;
  return model;
}

}  // namespace lapforge
