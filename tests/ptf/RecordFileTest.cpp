// Record framing: identifiers, back-references, class names, headers and
// child lists, pinned to the byte.
#include <gtest/gtest.h>

#include "tests/support/ResultCheck.h"
#include "tests/support/TestSupport.h"
#include "tests/support/ptf/RecordBytes.h"
#include "tests/support/ptf/RecordTrees.h"

namespace lapforge {

namespace {

void ReadOk(CN5Root& r, const std::vector<uint8_t>& bytes) {
  std::string err;
  ASSERT_TRUE(Ok(r.ReadFromBuffer(bytes, "test"), err)) << err;
  EXPECT_EQ(r.BytesRead(), bytes.size());
}

}  // namespace

TEST(RecordFraming, EmptyDescriptorRootIs36Bytes) {
  CN5Root r;
  r.Create<CN5ObjEm>(nullptr);
  const std::vector<uint8_t> want = {1,   0,   0,   0,   2,   0,   0,   0,   16,  0, 0, 0, 'E', 'm', 'p', 't', 'y', 'D',
                                     'e', 's', 'c', 'r', 'i', 'p', 't', 'o', 'r', 0, 1, 0, 0,   0,   0,   0,   0,   0};
  EXPECT_EQ(r.WriteToBuffer(), want);
  CN5Root back;
  ReadOk(back, want);
  ASSERT_EQ(back.All().size(), 1u);
  EXPECT_TRUE(back.Root()->IsRtName("CN5ObjEm"));
  EXPECT_EQ(back.Root()->objectId, 1u);
  EXPECT_EQ(back.Root()->classId, 2u);
}

TEST(RecordFraming, SharedChildIsWrittenOnceThenAsReference) {
  CN5Root r;
  auto* gp = r.Create<CN5ObjGp>(nullptr);
  gp->objectName = "";
  auto* em = r.Create<CN5ObjEm>(gp);
  gp->children.push_back(em);
  CRecordBytes want;
  want.Record(1, 2, "GroupDescriptor");
  want.U32(1).U32(0).U32(1);  // header: an empty object name is one zero word
  want.U32(1).Zeroes(48).U32(1);
  want.U32(2).U32(8);  // a list of two: count and byte count 8
  want.Record(3, 4, "EmptyDescriptor").U32(1).U32(0);
  want.U32(3);  // the same object again: its id only
  ASSERT_EQ(want.Size(), 144u);
  EXPECT_EQ(r.WriteToBuffer(), want.Bytes());

  CN5Root back;
  ReadOk(back, want.Bytes());
  ASSERT_EQ(back.All().size(), 2u);
  CN5Obj* root = back.Root();
  ASSERT_EQ(root->children.size(), 2u);
  EXPECT_EQ(root->children[0], root->children[1]);
  EXPECT_EQ(root->children[0]->parent, root);
  EXPECT_EQ(root->lastChild, root->children[1]);
  EXPECT_EQ(root->children[0]->depth, 1);
}

TEST(RecordFraming, ClassNameGivenOnceAndEmptyList) {
  CN5Root r;
  auto* gp = r.Create<CN5ObjGp>(nullptr);
  gp->objectName = "";
  r.Create<CN5ObjGp>(gp);  // default name "Group", no children
  r.Create<CN5ObjEm>(gp);
  CRecordBytes want;
  want.Record(1, 2, "GroupDescriptor").U32(1).U32(0).U32(1).U32(1).Zeroes(48).U32(1);
  want.U32(2).U32(8);
  want.Record(3, 2);  // a class seen before: no name
  want.U32(1).U32(6).Text("Group").U32(1);
  want.U32(1).Zeroes(48).U32(1);
  want.U32(0);  // an empty child list is its count alone
  want.Record(4, 5, "EmptyDescriptor").U32(1).U32(0);
  EXPECT_EQ(r.WriteToBuffer(), want.Bytes());

  CN5Root back;
  ReadOk(back, want.Bytes());
  ASSERT_EQ(back.All().size(), 3u);
  EXPECT_EQ(back.All()[1]->className, "GroupDescriptor");
  EXPECT_EQ(back.All()[1]->objectName, "Group");
  EXPECT_EQ(back.All()[1]->classId, 2u);
  EXPECT_TRUE(back.All()[1]->children.empty());
  EXPECT_EQ(back.All()[2]->classId, 5u);
}

TEST(RecordFraming, NullChildAndIdentifiersRestartAfterReset) {
  CN5Root r;
  auto* gp = r.Create<CN5ObjGp>(nullptr);
  gp->objectName = "";
  gp->children.push_back(nullptr);
  CRecordBytes want;
  want.Record(1, 2, "GroupDescriptor").U32(1).U32(0).U32(1).U32(1).Zeroes(48).U32(1);
  want.U32(1).U32(4).U32(0);
  EXPECT_EQ(r.WriteToBuffer(), want.Bytes());
  // Without a reset the root has been written: a second write is a reference.
  EXPECT_EQ(r.WriteToBuffer(), (std::vector<uint8_t>{1, 0, 0, 0}));
  r.ResetWriteIds();
  EXPECT_EQ(r.WriteToBuffer(), want.Bytes());

  CN5Root back;
  ReadOk(back, want.Bytes());
  ASSERT_EQ(back.Root()->children.size(), 1u);
  EXPECT_EQ(back.Root()->children[0], nullptr);
}

TEST(RecordFraming, WritingWithoutOutputWritesNothing) {
  CN5Root r;
  EXPECT_EQ(r.WriteBytes("abcd", 4), 0u);
  EXPECT_EQ(r.WriteZeroes(4), 0u);
}

TEST(RecordFraming, SetParentAttachesEverywhere) {
  CN5Root r;
  auto* tk = r.Create<CN5ObjTk>(nullptr);
  auto* sg = r.Create<CN5ObjSg>(tk, &tk->segments);
  EXPECT_EQ(sg->parent, tk);
  EXPECT_EQ(sg->root, &r);
  EXPECT_EQ(sg->depth, 1);
  EXPECT_EQ(tk->children, std::vector<CN5Obj*>{sg});
  EXPECT_EQ(tk->segments, std::vector<CN5Obj*>{sg});
  EXPECT_EQ(tk->lastChild, sg);
  ASSERT_EQ(r.All().size(), 2u);
  EXPECT_EQ(r.Root(), tk);
}

TEST(RecordFraming, FilesOnDisk) {
  CTempDir dir;
  auto t = MakeTrackSideTree();
  ASSERT_TRUE(t->WriteToFile(dir.File("obj.3do"), true));
  Result read;
  auto back = CN5Root::CreateFromFile(dir.File("obj.3do"), read);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->folder, dir.Path() + "/");
  EXPECT_EQ(back->BytesRead(), ReadBytes(dir.File("obj.3do")).size());
  EXPECT_FALSE(CN5Root::CreateFromFile(dir.File("missing.3do"), read));
  EXPECT_EQ(read.status, Status::CannotRead);  // a file that cannot be opened, not a damaged one
  WriteText(dir.File("bad.3do"), "\x01\x00\x00");
  EXPECT_FALSE(CN5Root::CreateFromFile(dir.File("bad.3do"), read));
  EXPECT_EQ(read.status, Status::Damaged);
  EXPECT_NE(read.Text().find("bad.3do"), std::string::npos);
}

TEST(RecordFraming, ClassNamesSelectByPrefix) {
  const char* names[] = {"SegmentDescriptor",
                         "TrackDescriptor",
                         "X_SectionDescriptor",
                         "W_SectionDescriptor",
                         "F_SectionDescriptor",
                         "TSOReferenceDescriptor",
                         "TSODescriptor",
                         "TrackDetailDescriptor",
                         "StateSwitchDescriptor",
                         "LodSwitchDescriptor",
                         "ShapeDescriptor",
                         "AppearanceDescriptor",
                         "EmptyDescriptor",
                         "GeometryDescriptor",
                         "TextureDescriptor",
                         "GroupDescriptor",
                         "TextureCoordsDescriptor",
                         "PlainVertexListDescriptor",
                         "TriFanDescriptor",
                         "TriStripDescriptor",
                         "TriListDescriptor",
                         "TransformDescriptor",
                         "AnimatedTransformDescriptor",
                         "PortalDescriptor",
                         "RegionMorphVertexListDescriptor",
                         "SelfLightingDescriptor",
                         "BillboardDescriptor",
                         "AppNodeDescriptor"};
  const char* kinds[] = {"CN5ObjSg", "CN5ObjTk", "CN5ObjXs", "CN5ObjWs", "CN5ObjFs", "CN5ObjRo", "CN5ObjTo",
                         "CN5ObjTd", "CN5ObjSw", "CN5ObjLw", "CN5ObjSh", "CN5ObjAp", "CN5ObjEm", "CN5ObjGm",
                         "CN5ObjTx", "CN5ObjGp", "CN5ObjTu", "CN5ObjVl", "CN5ObjFn", "CN5ObjTs", "CN5ObjTl",
                         "CN5ObjTf", "CN5ObjAn", "CN5ObjPo", "CN5ObjMl", "CN5ObjSl", "CN5ObjBl", "CN5ObjNo"};
  CN5Root r;
  for (size_t i = 0; i < std::size(names); ++i) {
    std::unique_ptr<CN5Obj> o(r.NewDescriptor(std::string(names[i]) + "_v2"));
    ASSERT_TRUE(o) << names[i];
    EXPECT_EQ(o->GetRtName(), std::string("class ") + kinds[i]);
    EXPECT_TRUE(o->IsRtName(kinds[i]));
    EXPECT_FALSE(o->IsRtName("CN5Obj"));
  }
  EXPECT_EQ(r.NewDescriptor("Track"), nullptr);
  EXPECT_EQ(r.NewDescriptor("MeshDescriptor"), nullptr);
}

TEST(RecordFraming, UnrecognizedRecordEndsItsList) {
  CRecordBytes b;
  b.Record(1, 2, "GroupDescriptor").Header("", 1).U32(1).Zeroes(48).U32(1);
  b.U32(2).U32(8);
  b.Record(3, 4, "MeshDescriptor").Header("", 1).U32(77);
  b.Record(5, 6, "EmptyDescriptor").U32(1).U32(0);
  testing::internal::CaptureStderr();
  CN5Root r;
  std::string err;
  ASSERT_TRUE(Ok(r.ReadFromBuffer(b.Bytes(), "t"), err)) << err;
  EXPECT_NE(testing::internal::GetCapturedStderr().find("Unrecognized record"), std::string::npos);
  // The group keeps what came before the unknown record; reading stops there.
  ASSERT_EQ(r.All().size(), 1u);
  EXPECT_TRUE(r.Root()->children.empty());
  EXPECT_LT(r.BytesRead(), b.Size());
}

TEST(RecordFraming, LongerClassNameIsKeptAsSpelled) {
  CRecordBytes b;
  b.Record(7, 9, "EmptyDescriptor_v2").U32(1).U32(0);
  CN5Root r;
  ReadOk(r, b.Bytes());
  ASSERT_TRUE(r.Root());
  EXPECT_TRUE(r.Root()->IsRtName("CN5ObjEm"));
  EXPECT_EQ(r.Root()->className, "EmptyDescriptor_v2");
  EXPECT_EQ(r.WriteToBuffer(), CRecordBytes().Record(1, 2, "EmptyDescriptor_v2").U32(1).U32(0).Bytes());
}

}  // namespace lapforge
