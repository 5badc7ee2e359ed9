// The readers the imports start from say what kind of failure a file is and,
// for damaged bytes, the file and the byte where reading went wrong.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "gpl/TrkReader.h"
#include "ptf/RecordFile.h"
#include "support/ImageFile.h"
#include "tests/support/TestSupport.h"

namespace lapforge {

namespace {

enum class Reader { Trk, Record, Image };

struct Fault {
  const char* name;
  Reader reader;
  std::vector<uint8_t> bytes;  // none: the file is not there
  Status status;
  uint64_t offset;
};

std::vector<uint8_t> Words(std::initializer_list<uint32_t> words, const std::string& tail = {}) {
  std::vector<uint8_t> out;
  for (uint32_t w : words)
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(w >> (8 * i)));
  out.insert(out.end(), tail.begin(), tail.end());
  return out;
}

const Fault kFaults[] = {
    {"missing.trk", Reader::Trk, {}, Status::CannotRead, 0},
    // Ten bytes: the 28-byte header is not there.
    {"short.trk", Reader::Trk, std::vector<uint8_t>(10, 1), Status::Damaged, 0},
    // Header words: unused, type, length, columns, sections, traction bytes,
    // unused. No sections: the count at byte 16.
    {"nosections.trk", Reader::Trk, Words({0, 4, 1000, 2, 0, 0, 0}), Status::Damaged, 16},
    // One section but no height columns: the count at byte 12.
    {"nocolumns.trk", Reader::Trk, Words({0, 4, 1000, 0, 1, 0, 0}), Status::Damaged, 12},
    {"missing.3do", Reader::Record, {}, Status::CannotRead, 0},
    // Object id 1, class id 7, a class name of 16 bytes of which 5 are there:
    // the name that starts at byte 12 runs past the end.
    {"cut.3do", Reader::Record, Words({1, 7, 16}, "Track"), Status::Damaged, 12},
    // Text is not a record file at all.
    {"text.3do", Reader::Record, Words({}, "<?xml version=\"1.0\"?>"), Status::Damaged, 0},
    // "DDS ", a header of 124 bytes, the flags, and then nothing: the height
    // at byte 12 is missing.
    {"cut.dds", Reader::Image, Words({0x20534444, 124, 0}), Status::Damaged, 12},
    // A header size other than 124, at byte 4, is told before anything else
    // is read.
    {"odd.dds", Reader::Image, Words({0x20534444, 100, 0, 4, 4}), Status::Damaged, 4},
};

class ReadFault : public ::testing::TestWithParam<Fault> {};

TEST_P(ReadFault, SaysWhatAndWhere) {
  const Fault& f = GetParam();
  CTempDir dir;
  const std::string path = dir.File(f.name);
  if (!f.bytes.empty()) WriteText(path, std::string(f.bytes.begin(), f.bytes.end()));
  Result read;
  CNTrk trk;
  CN5Root root;
  CRgbaImage image;
  switch (f.reader) {
    case Reader::Trk:
      read = trk.SetFromFile(path);
      break;
    case Reader::Record:
      read = root.ReadFromFile(path);
      break;
    case Reader::Image:
      read = LoadImageFile(path, image);
      break;
  }
  EXPECT_FALSE(read);
  EXPECT_EQ(read.status, f.status) << read.Text();
  EXPECT_EQ(read.file, path);
  EXPECT_EQ(read.offset, f.offset) << read.Text();
  EXPECT_NE(read.Text().find(path), std::string::npos) << read.Text();
}

INSTANTIATE_TEST_SUITE_P(Files, ReadFault, ::testing::ValuesIn(kFaults),
                         [](const ::testing::TestParamInfo<Fault>& info) {
                           std::string name = info.param.name;
                           for (char& c : name)
                             if (c == '.') c = '_';
                           return name;
                         });

}  // namespace

}  // namespace lapforge
