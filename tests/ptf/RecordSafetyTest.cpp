// Damaged files: truncation, flipped bytes, huge counts, reference cycles
// and deep nesting are refused with a message, never read outside the file.
#include <gtest/gtest.h>

#include <random>

#include "ptf/RecordListing.h"
#include "tests/support/ResultCheck.h"
#include "tests/support/TestSupport.h"
#include "tests/support/ptf/RecordBytes.h"
#include "tests/support/ptf/RecordTrees.h"

namespace lapforge {

namespace {

// Reads an image from a buffer of exactly its size, so that the sanitizer
// sees any read beyond it.
bool ReadExact(const std::vector<uint8_t>& bytes, std::string& error, CN5Root& r) {
  return Ok(r.ReadFromBuffer(std::vector<uint8_t>(bytes.begin(), bytes.end()), "damaged.ptf"), error);
}

std::vector<std::vector<uint8_t>> ValidFiles() {
  std::vector<std::vector<uint8_t>> files = {MakeGameTrackSideFile()};
  for (int v : {5, 7}) {
    auto t = MakeEveryKindTree(v);
    files.push_back(t->WriteToBuffer());
  }
  return files;
}

CRecordBytes GroupStart(uint32_t id, uint32_t cls, bool first) {
  CRecordBytes b;
  b.Record(id, cls, first ? "GroupDescriptor" : nullptr).Header("", 1).U32(1).Zeroes(48).U32(1);
  return b;
}

}  // namespace

TEST(RecordSafety, EveryPrefixIsRefused) {
  auto files = ValidFiles();
  for (size_t f = 0; f < files.size(); ++f) {
    const auto& good = files[f];
    // Every prefix of the game file and of one built track; every third of
    // the other.
    for (size_t n = 0; n < good.size(); n += f == 2 ? 3 : 1) {
      CN5Root r;
      std::string err;
      ASSERT_FALSE(ReadExact(std::vector<uint8_t>(good.begin(), good.begin() + n), err, r)) << n;
      EXPECT_NE(err.find("damaged.ptf"), std::string::npos);
      EXPECT_NE(err.find("unexpected end of file"), std::string::npos) << err;
      EXPECT_TRUE(r.All().empty());
      EXPECT_EQ(r.Root(), nullptr);
    }
  }
}

TEST(RecordSafety, FlippedBytesReadOrFailCleanly) {
  std::mt19937 rng(12345);
  testing::internal::CaptureStderr();  // damaged class names are reported on the console
  auto files = ValidFiles();
  for (size_t f = 0; f < files.size(); ++f) {
    const auto& good = files[f];
    for (size_t i = f == 0 ? 0 : f; i < good.size(); i += f == 0 ? 1 : 5) {
      auto bad = good;
      bad[i] ^= i % 2 ? 0xFF : uint8_t(1 + rng() % 255);
      CN5Root r;
      std::string err;
      if (!ReadExact(bad, err, r)) {
        EXPECT_FALSE(err.empty());
        continue;
      }
      // What reads is listed and written back, and the result reads again.
      InspectRecordTree(r);
      r.keepAllTsoReferences = true;
      auto out = r.WriteToBuffer();
      CN5Root again;
      ReadExact(out, err, again);
    }
  }
  testing::internal::GetCapturedStderr();
}

TEST(RecordSafety, HugeCountsAndLengths) {
  std::vector<CRecordBytes> cases;
  cases.push_back(GroupStart(1, 2, true).U32(0xFFFFFFFF).U32(0));                            // child list
  cases.push_back(CRecordBytes().Record(1, 2).U32(0xFFFFFFFF).Text("GroupDesc"));            // class name
  cases.push_back(CRecordBytes().Record(1, 2, "TextureDescriptor").U32(1).U32(0xFFFFFFF0));  // object name
  cases.push_back(CRecordBytes().Record(1, 2, "TextureDescriptor").Header("", 1).U32(0x7FFFFFFF).Text("a"));
  cases.push_back(CRecordBytes().Record(1, 2, "LodSwitchDescriptor").Header("", 1).Zeroes(85).U32(0xFFFFFFF8));
  cases.push_back(CRecordBytes()
                      .Record(1, 2, "TriListDescriptor")
                      .Header("", 1)
                      .U32(0)
                      .U32(1)
                      .U32(0x3FFFFFFF)
                      .U32(0xFFFFFFFC)
                      .U32(0));
  cases.push_back(
      CRecordBytes().Record(1, 2, "W_SectionDescriptor").Header("", 5).Zeroes(73).I32(0x7FFFFFFF));  // wall groups
  cases.push_back(
      CRecordBytes().Record(1, 2, "W_SectionDescriptor").Header("", 5).Zeroes(73).I32(-1));  // negative groups
  cases.push_back(CRecordBytes().Record(1, 2, "TrackDescriptor").Header("", 8).Zeroes(33).U32(0x10000000).U32(0));
  cases.push_back(CRecordBytes().Record(1, 2, "X_SectionDescriptor").Header("named", 3).Zeroes(35));
  for (size_t i = 0; i < cases.size(); ++i) {
    CN5Root r;
    std::string err;
    EXPECT_FALSE(ReadExact(cases[i].Bytes(), err, r)) << i;
    EXPECT_FALSE(err.empty()) << i;
  }
}

TEST(RecordSafety, ReferenceCyclesAreRefused) {
  // A group listing itself.
  CRecordBytes self = GroupStart(1, 2, true);
  self.U32(1).U32(4).U32(1);
  // A group whose child group lists the outer one.
  CRecordBytes loop = GroupStart(1, 2, true);
  loop.U32(1).U32(4);
  loop.Append(GroupStart(3, 2, false).U32(1).U32(4).U32(1));
  for (auto* b : {&self, &loop}) {
    CN5Root r;
    std::string err;
    EXPECT_FALSE(ReadExact(b->Bytes(), err, r));
    EXPECT_NE(err.find("refers to a record enclosing it"), std::string::npos) << err;
  }
  // A finished record referred to again is a shared child, not a cycle.
  CRecordBytes shared = GroupStart(1, 2, true);
  shared.U32(2).U32(8);
  shared.Append(GroupStart(3, 2, false).U32(0)).U32(3);
  CN5Root r;
  std::string err;
  EXPECT_TRUE(ReadExact(shared.Bytes(), err, r)) << err;
}

TEST(RecordSafety, DeepNestingIsRefused) {
  auto nested = [](int levels) {
    CRecordBytes b;
    for (int i = 0; i < levels; ++i) b.Append(GroupStart(uint32_t(i + 1) * 2 + 1, 2, i == 0).U32(1).U32(4));
    b.U32(0);
    return b;
  };
  {
    CN5Root r;
    std::string err;
    EXPECT_TRUE(ReadExact(nested(CN5Root::kMaxDepth).Bytes(), err, r)) << err;
    EXPECT_EQ(r.All().size(), size_t(CN5Root::kMaxDepth));
    EXPECT_FALSE(InspectRecordTree(r).empty());
  }
  CN5Root r;
  std::string err;
  EXPECT_FALSE(ReadExact(nested(100000).Bytes(), err, r));
  EXPECT_NE(err.find("nested too deeply"), std::string::npos) << err;
}

TEST(RecordSafety, InspectorOnDamagedFiles) {
  CTempDir dir;
  const auto good = MakeGameTrackSideFile();
  std::string listing, error;
  WriteText(dir.File("good.3do"), std::string(good.begin(), good.end()));
  ASSERT_TRUE(Ok(InspectRecordFile(dir.File("good.3do"), listing), error)) << error;
  for (size_t n = 0; n < good.size(); n += 13) {
    std::string path = dir.File("cut.3do");
    WriteText(path, std::string(good.begin(), good.begin() + n));
    listing.clear();
    error.clear();
    EXPECT_FALSE(Ok(InspectRecordFile(path, listing), error)) << n;
    EXPECT_NE(error.find("cut.3do"), std::string::npos) << error;
    EXPECT_TRUE(listing.empty());
    EXPECT_FALSE(Ok(RewriteRecordFile(path, dir.File("out.3do")), error));
    EXPECT_FALSE(Exists(dir.File("out.3do")));
  }
  EXPECT_FALSE(Ok(InspectRecordFile(dir.File("none.3do"), listing), error));
  EXPECT_NE(error.find("Cannot open"), std::string::npos);
  // A root of an unknown class: nothing to list.
  auto unknown = CRecordBytes().Record(1, 2, "MeshDescriptor").Header("", 1).Bytes();
  WriteText(dir.File("unknown.3do"), std::string(unknown.begin(), unknown.end()));
  testing::internal::CaptureStderr();
  EXPECT_FALSE(Ok(InspectRecordFile(dir.File("unknown.3do"), listing), error));
  testing::internal::GetCapturedStderr();
  EXPECT_NE(error.find("no record"), std::string::npos);
}

TEST(RecordSafety, RecordsListedTwiceDoNotMultiplyWork) {
  // Sixty groups, each listing the next one twice: 2^60 paths through 60
  // records. The listing names each repeat by id; a geometry over the chain
  // collects each primitive once.
  const int levels = 60;
  CRecordBytes b;
  b.Record(1, 2, "GeometryDescriptor").Header("", 1);
  b.Record(3, 4, "PlainVertexListDescriptor").Header("", 1).U32(1).U32(0);
  b.U32(0).U32(0).U32(0).U32(0).U32(0).U32(0).U32(0).U32(3).U32(0).U32(0).Zeroes(88);
  for (int i = 0; i < levels; ++i) b.Append(GroupStart(uint32_t(10 + i), 5, i == 0).U32(2).U32(8));
  b.Record(9, 6, "TriListDescriptor").Header("", 1).U32(0).U32(1).U32(3).U32(12).U32(0).U32(1).U32(2);
  for (int i = levels - 1; i >= 0; --i) b.U32(i == levels - 1 ? 9 : uint32_t(10 + i + 1));
  CN5Root r;
  std::string err;
  ASSERT_TRUE(ReadExact(b.Bytes(), err, r)) << err;
  auto* gm = dynamic_cast<CN5ObjGm*>(r.Root());
  ASSERT_TRUE(gm);
  EXPECT_EQ(gm->triangles, (std::vector<uint32_t>{0, 1, 2}));
  std::string listing = InspectRecordTree(r);
  EXPECT_LT(std::count(listing.begin(), listing.end(), '\n'), 4 * levels);
  EXPECT_EQ(r.WriteToBuffer().size() > 0, true);
}

// Another kind of file is told as such, not as a record running past the
// end of the file (a record file cut short still is one: EveryPrefixIsRefused).
TEST(RecordSafety, OtherFilesAreNotRecordFiles) {
  CTempDir dir;
  for (const std::string& head : {std::string("<?xml version=\"1.0\"?>\n<TrkDsc/>\n"),
                                  std::string("\x01\0\0\0\x02\0\0\0\x05\0\0\0Tr\nk\0", 17),  // a name with a line break
                                  std::string("\x01\0\0\0\x02\0\0\0\x05\0\0\0Trakx", 17),   // no NUL where it ends
                                  std::string("\0\0\0\0\x01\0\0\0", 8)}) {                   // more after a null root
    WriteText(dir.File("track.ptf"), head);
    std::string listing, error;
    EXPECT_FALSE(Ok(InspectRecordFile(dir.File("track.ptf"), listing), error));
    EXPECT_NE(error.find("track.ptf: not a record file"), std::string::npos) << error;
  }
}

// A record of an unknown kind ends its list when read, so what follows it is
// not in the tree: the rewrite names the kind and writes nothing.
TEST(RecordSafety, RewriteRefusesRecordsOfUnknownKinds) {
  CTempDir dir;
  CRecordBytes b = GroupStart(1, 2, true);
  b.U32(2).U32(8).Record(3, 4, "MeshDescriptor").Header("", 1).U32(7).Record(5, 6, "EmptyDescriptor").U32(1).U32(0);
  WriteText(dir.File("odd.3do"), std::string(b.Bytes().begin(), b.Bytes().end()));
  std::string error;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(Ok(RewriteRecordFile(dir.File("odd.3do"), dir.File("out.3do")), error));
  testing::internal::GetCapturedStderr();
  EXPECT_NE(error.find("odd.3do: holds a record of the kind \"MeshDescriptor\""), std::string::npos) << error;
  EXPECT_FALSE(Exists(dir.File("out.3do")));
}

}  // namespace lapforge
