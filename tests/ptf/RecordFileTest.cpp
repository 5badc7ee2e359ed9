#include <gtest/gtest.h>

#include <cstring>

#include "ptf/N5Inspect.h"
#include "tests/support/TestSupport.h"
#include "tests/support/ptf/RecordTrees.h"

namespace {

std::vector<uint8_t> Rewrite(const std::vector<uint8_t>& bytes, int version = 0) {
  CN5Root r;
  std::string err;
  EXPECT_TRUE(r.ReadFromBuffer(bytes, "test", err)) << err;
  if (version) r.formatVersion = version;
  r.keepAllTsoReferences = true;
  return r.WriteToBuffer();
}

void U32(std::vector<uint8_t>& v, uint32_t x) {
  for (int i = 0; i < 4; ++i) v.push_back(uint8_t(x >> (8 * i)));
}
void Str(std::vector<uint8_t>& v, const char* s) {
  v.insert(v.end(), s, s + std::strlen(s) + 1);
}

}  // namespace

TEST(RecordFile, EmptyDescriptorRootIs36Bytes) {
  CN5Root r;
  r.Create<CN5ObjEm>(nullptr);
  std::vector<uint8_t> want;
  U32(want, 1);
  U32(want, 2);
  U32(want, 16);
  Str(want, "EmptyDescriptor");
  U32(want, 1);
  U32(want, 0);
  EXPECT_EQ(r.WriteToBuffer(), want);
}

TEST(RecordFile, ChildListsSharedChildAndClassNameOnce) {
  CN5Root r;
  auto* gp = r.Create<CN5ObjGp>(nullptr);
  gp->objectName = "";
  auto* em = r.Create<CN5ObjEm>(gp);
  gp->children.push_back(em);  // shared: written in full once, then as a reference
  auto* inner = r.Create<CN5ObjGp>(gp);
  inner->objectName = "";
  std::vector<uint8_t> want;
  U32(want, 1), U32(want, 2), U32(want, 16), Str(want, "GroupDescriptor");
  U32(want, 1), U32(want, 0), U32(want, 1);  // header: empty name is a single zero word
  U32(want, 1);
  want.resize(want.size() + 48, 0);
  U32(want, 1);
  U32(want, 3), U32(want, 12);  // list of 3
  U32(want, 3), U32(want, 4), U32(want, 16), Str(want, "EmptyDescriptor"), U32(want, 1), U32(want, 0);
  U32(want, 3);                                       // the shared child again
  U32(want, 5), U32(want, 2);                         // same class: no name
  U32(want, 1), U32(want, 0), U32(want, 1), U32(want, 1);
  want.resize(want.size() + 48, 0);
  U32(want, 1), U32(want, 0);  // empty child list is 4 bytes
  EXPECT_EQ(r.WriteToBuffer(), want);
  CN5Root back;
  std::string err;
  ASSERT_TRUE(back.ReadFromBuffer(want, "t", err)) << err;
  ASSERT_EQ(back.Root()->children.size(), 3u);
  EXPECT_EQ(back.Root()->children[0], back.Root()->children[1]);
  EXPECT_EQ(back.All().size(), 3u);
}

TEST(RecordFile, EveryWritableKindRoundTrips) {
  for (int v : {5, 6, 7}) {
    auto t = MakeTrackTree(3, v);
    t->keepAllTsoReferences = true;
    auto first = t->WriteToBuffer();
    // A wall read from a file is written with its tie value 1 instead of 3;
    // from then on the bytes stay the same.
    auto second = Rewrite(first);
    EXPECT_EQ(second.size(), first.size());
    EXPECT_EQ(Rewrite(second), second) << "version " << v;
  }
  auto tso = MakeTrackSideTree();
  auto a = tso->WriteToBuffer();
  EXPECT_EQ(Rewrite(a), a);
}

TEST(RecordFile, SummaryBlockByVersion) {
  auto t5 = MakeTrackTree(0, 5);
  auto t7 = MakeTrackTree(0, 7);
  auto b5 = t5->WriteToBuffer(), b7 = t7->WriteToBuffer();
  // Root: ids 8 + name length 4 + "TrackDescriptor\0" 16 + header 12.
  uint32_t h5, h7;
  std::memcpy(&h5, b5.data() + 36, 4);
  std::memcpy(&h7, b7.data() + 36, 4);
  EXPECT_EQ(h5, 6u);
  EXPECT_EQ(h7, 8u);
  // Summary 177 vs 33 + bump count + trailing zero; the TSO record of
  // version 7 carries one more byte.
  EXPECT_EQ(b5.size() - b7.size(), 177u - 41u - 1u);
}

TEST(RecordFile, TriStripIsWrittenAsList) {
  CN5Root r;
  auto* ts = r.Create<CN5ObjTs>(nullptr);
  r.Create<CN5ObjVl>(ts);
  ts->triangles = {0, 1, 2, 2, 1, 3};
  // Written strip is 0 2 1 3, read back as (0,2,1) and the odd run reversed (3,1,2).
  auto bytes = r.WriteToBuffer();
  CN5Root back;
  std::string err;
  ASSERT_TRUE(back.ReadFromBuffer(bytes, "t", err)) << err;
  auto* s = dynamic_cast<CN5ObjTs*>(back.Root());
  ASSERT_TRUE(s);
  EXPECT_EQ(s->indices, (std::vector<uint32_t>{0, 2, 1, 3}));
  EXPECT_EQ(s->triangles, (std::vector<uint32_t>{0, 2, 1, 3, 1, 2}));
  // Under a geometry the strip's triangles are written as a tri list.
  CN5Root g;
  auto* gm = g.Create<CN5ObjGm>(nullptr);
  g.Create<CN5ObjVl>(gm);
  gm->CollectTriangles(s, 0);
  auto list = g.WriteToBuffer();
  CN5Root third;
  ASSERT_TRUE(third.ReadFromBuffer(list, "t", err)) << err;
  ASSERT_TRUE(third.All()[2]->IsRtName("CN5ObjTl"));
  EXPECT_EQ(dynamic_cast<CN5ObjTl*>(third.All()[2].get())->indices, s->triangles);
}

TEST(RecordFile, TruncatedAndDamagedFilesFailCleanly) {
  auto t = MakeTrackTree(2, 7);
  auto good = t->WriteToBuffer();
  CRecordingUI ui;
  for (size_t n = 0; n < good.size(); ++n) {
    std::unique_ptr<uint8_t[]> exact(new uint8_t[n ? n : 1]);
    std::memcpy(exact.get(), good.data(), n);
    CN5Root r;
    std::string err;
    EXPECT_FALSE(r.ReadFromBuffer(std::vector<uint8_t>(exact.get(), exact.get() + n), "t", err)) << n;
  }
  for (size_t i = 0; i < good.size(); i += 3) {
    auto bad = good;
    bad[i] ^= 0xFF;
    CN5Root r;
    std::string err;
    r.ReadFromBuffer(bad, "t", err);
  }
}

TEST(RecordFile, SelfReferenceIsRejected) {
  std::vector<uint8_t> b;
  U32(b, 1), U32(b, 2), U32(b, 16), Str(b, "GroupDescriptor");
  U32(b, 1), U32(b, 0), U32(b, 1), U32(b, 1);
  b.resize(b.size() + 48, 0);
  U32(b, 1), U32(b, 1), U32(b, 4), U32(b, 1);  // child list holding itself
  CN5Root r;
  std::string err;
  EXPECT_FALSE(r.ReadFromBuffer(b, "t", err));
  EXPECT_NE(err.find("encloses"), std::string::npos);
}

TEST(RecordFile, InspectorListsTree) {
  auto t = MakeTrackTree(1, 7);
  auto text = InspectRecordTree(*t);
  EXPECT_NE(text.find("0 TrackDescriptor"), std::string::npos);
  EXPECT_NE(text.find("texture=\"asphalt\""), std::string::npos);
  EXPECT_NE(text.find("type=0"), std::string::npos);
}
