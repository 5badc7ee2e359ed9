// Descriptor payloads: header values and blocks per format version, the
// reader/writer differences, files written by the games' tools.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <set>

#include "mesh/GlMaterial.h"
#include "ptf/RecordListing.h"
#include "tests/support/ResultCheck.h"
#include "tests/support/TestSupport.h"
#include "tests/support/ptf/RecordBytes.h"
#include "tests/support/ptf/RecordTrees.h"

namespace lapforge {

namespace {

std::unique_ptr<CN5Root> Read(const std::vector<uint8_t>& bytes) {
  auto r = std::make_unique<CN5Root>();
  std::string err;
  EXPECT_TRUE(Ok(r->ReadFromBuffer(bytes, "test"), err)) << err;
  EXPECT_EQ(r->BytesRead(), bytes.size());
  return r;
}

std::vector<uint8_t> Rewrite(const std::vector<uint8_t>& bytes) {
  auto r = Read(bytes);
  r->keepAllTsoReferences = true;
  return r->WriteToBuffer();
}

// A single descriptor written as the root of a file of the given version.
template <typename T, typename F>
std::vector<uint8_t> WriteAlone(int version, F setUp) {
  CN5Root r;
  r.formatVersion = version;
  setUp(*r.Create<T>(nullptr));
  return r.WriteToBuffer();
}

}  // namespace

TEST(Descriptors, TrackSummaryBlockByVersion) {
  auto setUp = [](CN5ObjTk& tk) {
    tk.bumpDefs.resize(1);
    tk.bumpDefs[0].first[0] = 0xAA;
    tk.bumpDefs[0].second[15] = 0xBB;
  };
  CRecordBytes v5;
  v5.Record(1, 2, "TrackDescriptor").Header("", 6);
  v5.I32(0).U8(0);
  const double defaults[21] = {-0.596574, -0.32186, -0.735, 0.8, 0.3, 1,      1, 1, 0.3, 0.7,   1,
                               1,         1,        1,      1,   1,   0.0001, 1, 1, 1,   0.0004};
  for (double d : defaults) v5.F64(d);
  v5.Zeroes(4);
  v5.U32(0).U32(0).U32(0);  // no details, no TSO references, no segments
  EXPECT_EQ(WriteAlone<CN5ObjTk>(5, setUp), v5.Bytes());
  EXPECT_EQ(WriteAlone<CN5ObjTk>(6, setUp), v5.Bytes());

  CRecordBytes v7;
  v7.Record(1, 2, "TrackDescriptor").Header("", 8);
  v7.I32(0).U8(0).F64(0.2).F64(0.2).F64(0.2).F32(4.0f);  // the 33-byte block
  v7.U32(1).U32(48).Zeroes(16).U8(0xAA).Zeroes(15).Zeroes(15).U8(0xBB);
  v7.U32(0);
  v7.U32(0).U32(0).U32(0);
  EXPECT_EQ(WriteAlone<CN5ObjTk>(7, setUp), v7.Bytes());

  auto back = Read(v7.Bytes());
  auto* tk = dynamic_cast<CN5ObjTk*>(back->Root());
  ASSERT_TRUE(tk);
  EXPECT_EQ(tk->headerValue, 8);
  ASSERT_EQ(tk->bumpDefs.size(), 1u);
  EXPECT_EQ(tk->bumpDefs[0].index, 0);
  EXPECT_EQ(tk->bumpDefs[0].first[0], 0xAA);
  EXPECT_EQ(tk->bumpDefs[0].second[15], 0xBB);
  EXPECT_FLOAT_EQ(tk->northSouthAngle, 4.0f);
  auto back5 = Read(v5.Bytes());
  EXPECT_DOUBLE_EQ(dynamic_cast<CN5ObjTk*>(back5->Root())->summaryValues[20], 0.0004);
}

TEST(Descriptors, SegmentBumpListsOnlyInVersion7) {
  auto setUp = [](CN5ObjSg& sg) {
    sg.segType = 1;
    sg.endX = 2.5;
    sg.bumpRefs.resize(1);
    sg.bumpRefs[0][11] = 0x11;
  };
  CRecordBytes v5;
  v5.Record(1, 2, "SegmentDescriptor").Header("", 1).U32(0).U32(0).U32(0);
  v5.I32(1).F64(0).F64(0).F64(0).F64(2.5).F64(0).F64(0).U8(0).U8(0);  // 54 bytes
  EXPECT_EQ(WriteAlone<CN5ObjSg>(5, setUp), v5.Bytes());
  CRecordBytes v7;
  v7.Record(1, 2, "SegmentDescriptor").Header("", 2).U32(0).U32(0).U32(0);
  v7.I32(1).F64(0).F64(0).F64(0).F64(2.5).F64(0).F64(0).U8(0).U8(0);
  v7.U32(1).U32(12).Zeroes(11).U8(0x11);
  v7.U32(0);
  EXPECT_EQ(WriteAlone<CN5ObjSg>(7, setUp), v7.Bytes());
  auto back = Read(v7.Bytes());
  ASSERT_EQ(dynamic_cast<CN5ObjSg*>(back->Root())->bumpRefs.size(), 1u);
}

TEST(Descriptors, BankLineFullAndCompactBlocks) {
  auto setUp = [](CN5ObjXs& xs) {
    xs.latStart = -10;
    xs.heightStart = 1.0 / 3.0;
    xs.gradStart = 0.25;
    xs.latEnd = -10.5;
    xs.heightEnd = 2;
    xs.gradEnd = 0.5;
    xs.flag = 1;
  };
  CRecordBytes v5;
  v5.Record(1, 2, "X_SectionDescriptor").Header("", 2);
  v5.F64(-10).F64(1.0 / 3.0).F64(0.25).F64(-10.5).F64(2).F64(0.5).U8(1);  // 49 bytes
  EXPECT_EQ(WriteAlone<CN5ObjXs>(5, setUp), v5.Bytes());
  CRecordBytes v6;
  v6.Record(1, 2, "X_SectionDescriptor").Header("", 3);
  v6.F32(-10).F64(1.0 / 3.0).F32(0.25).F32(-10.5).F64(2).F32(0.5).U8(1);  // 33 bytes
  v6.U8(0).U8(0);                                                         // two sides with tag 0: a payload of 35 bytes
  EXPECT_EQ(WriteAlone<CN5ObjXs>(6, setUp), v6.Bytes());
  EXPECT_EQ(WriteAlone<CN5ObjXs>(7, setUp), v6.Bytes());

  // Sides with tags 1 and 2 read into the byte and float lists.
  CRecordBytes sides;
  sides.Record(1, 2, "X_SectionDescriptor").Header("", 3);
  sides.F32(1).F64(2).F32(3).F32(4).F64(5).F32(6).U8(0);
  sides.U8(1).F32(7).F32(8).U8(2).F32(9).F32(10).U8(0x21).U8(0x22);
  auto back = Read(sides.Bytes());
  auto* xs = dynamic_cast<CN5ObjXs*>(back->Root());
  ASSERT_TRUE(xs);
  EXPECT_EQ(xs->sideBytes, (std::vector<uint8_t>{1, 2, 0x21, 0x22}));
  EXPECT_EQ(xs->sideFloats, (std::vector<float>{7, 8, 9, 10}));
  EXPECT_DOUBLE_EQ(xs->heightEnd, 5);
}

// Every float field the writer fills from a value is written as 0 when the
// value is not finite, or, in a single-precision field, too large for one:
// doubles, floats, value arrays and the floats kept as bytes. An index kept
// beside them (all bits set, a NaN were it a float) stays as it is.
TEST(Descriptors, NonFiniteValuesAreWrittenAsZero) {
  const double nan = std::nan(""), inf = HUGE_VAL;
  const float fnan = std::nanf(""), finf = HUGE_VALF;
  auto bytesOf = [](auto& out, std::initializer_list<float> floats) {
    std::memcpy(out.data(), floats.begin(), 4 * floats.size());
  };
  const auto xs = [&](CN5ObjXs& x) {
    x.latStart = nan, x.heightStart = inf, x.gradStart = 1e39, x.latEnd = -inf, x.heightEnd = 2, x.gradEnd = 0.5;
  };
  const auto sg = [&](CN5ObjSg& g) {
    g.startX = nan, g.endAngle = -inf, g.endX = 2.5;
    g.bumpRefs.resize(1);
    bytesOf(g.bumpRefs[0], {fnan, 3.0f});
    const int32_t index = -1;
    std::memcpy(g.bumpRefs[0].data() + 8, &index, 4);
    g.bumpScales.resize(1);
    bytesOf(g.bumpScales[0], {finf, 1.0f, 2.0f, fnan});
  };
  const auto tk = [&](CN5ObjTk& t) {
    t.northSouthAngle = fnan, t.lightValues[1] = inf;
    t.bumpDefs.resize(1);
    bytesOf(t.bumpDefs[0].first, {1.0f, fnan, 3.0f, -finf});
  };
  const auto vl = [&](CN5ObjVl& v) { v.positions = {{nan, 5, inf}}; };
  CRecordBytes xs5, xs6, sg7, tk7, vl7;
  xs5.Record(1, 2, "X_SectionDescriptor").Header("", 2).F64(0).F64(0).F64(1e39).F64(0).F64(2).F64(0.5).U8(0);
  xs6.Record(1, 2, "X_SectionDescriptor").Header("", 3).F32(0).F64(0).F32(0).F32(0).F64(2).F32(0.5).U8(0).Zeroes(2);
  sg7.Record(1, 2, "SegmentDescriptor").Header("", 2).U32(0).U32(0).U32(0);
  sg7.I32(0).F64(0).F64(0).F64(0).F64(2.5).F64(0).F64(0).U8(0).U8(0);
  sg7.U32(1).U32(12).F32(0).F32(3).I32(-1).U32(1).U32(16).F32(0).F32(1).F32(2).F32(0);
  tk7.Record(1, 2, "TrackDescriptor").Header("", 8).I32(0).U8(0).F64(0.2).F64(0).F64(0.2).F32(0);
  tk7.U32(1).U32(48).Zeroes(16).F32(1).F32(0).F32(3).F32(0).Zeroes(16).U32(0);
  tk7.U32(0).U32(0).U32(0);
  vl7.Record(1, 2, "PlainVertexListDescriptor").Header("", 1).U32(1).U32(1).Values({0}).Values({5}).Values({0});
  vl7.U32(0).Values({0}).Values({0}).Values({1}).U32(3).Values({0}).Values({0}).Zeroes(88);
  const std::pair<std::vector<uint8_t>, const CRecordBytes&> cases[] = {
      {WriteAlone<CN5ObjXs>(5, xs), xs5}, {WriteAlone<CN5ObjXs>(7, xs), xs6}, {WriteAlone<CN5ObjSg>(7, sg), sg7},
      {WriteAlone<CN5ObjTk>(7, tk), tk7}, {WriteAlone<CN5ObjVl>(7, vl), vl7},
  };
  for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cases[i].first, cases[i].second.Bytes()) << "case " << i;

  // The detail block: its position and texture values are doubles.
  CN5Root d;
  auto* td = d.Create<CN5ObjTd>(nullptr);
  d.CreateNewAppearance(td, "");
  for (size_t off : {size_t(0), size_t(88)}) std::memcpy(td->block.data() + off, off ? &inf : &nan, 8);
  CRecordBytes tdb;
  tdb.Record(1, 2, "TrackDetailDescriptor").Header("", 0);
  tdb.Record(3, 4, "AppearanceDescriptor").Header("", 2).U32(0).Zeroes(24);
  for (double v : {1.0, 1.0, 1.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 1.0}) tdb.F64(v);
  tdb.I32(3);
  tdb.Zeroes(16).F64(1).F64(1).Zeroes(8).I32(32).Zeroes(8);  // 0: NaN written as 0
  tdb.F64(1).F64(1).Zeroes(8).I32(32);
  tdb.F64(1).Zeroes(8).Zeroes(16);  // 88: infinity written as 0
  EXPECT_EQ(d.WriteToBuffer(), tdb.Bytes());
}

TEST(Descriptors, BandBlockByVersion) {
  auto setUp = [](CN5ObjFs& fs) {
    fs.latStart = -3.5;
    fs.latEnd = 7.25;
    fs.straighten = 1;
    fs.bandKind = 2;
    fs.grip = 3;
  };
  CRecordBytes v5;
  v5.Record(1, 2, "F_SectionDescriptor").Header("", 4).F64(-3.5).F64(7.25).U8(1).I32(2).I32(3).U32(0);
  EXPECT_EQ(WriteAlone<CN5ObjFs>(5, setUp), v5.Bytes());
  CRecordBytes v7;
  v7.Record(1, 2, "F_SectionDescriptor").Header("", 5).F32(-3.5).F32(7.25).U8(1).I32(2).I32(3).U32(0);
  EXPECT_EQ(WriteAlone<CN5ObjFs>(6, setUp), v7.Bytes());
  EXPECT_EQ(WriteAlone<CN5ObjFs>(7, setUp), v7.Bytes());
}

TEST(Descriptors, BandKindNormalisedAndSurfaceSkip) {
  // A textured band of kind 0 is written as kind 1 (grip up to 3) or 3.
  for (int grip : {3, 4}) {
    CN5Root r;
    auto* fs = r.Create<CN5ObjFs>(nullptr);
    fs->grip = grip;
    fs->appearance = r.CreateNewAppearance(fs, "road.tga");
    fs->textureCoords = r.Create<CN5ObjTu>(fs);
    auto back = Read(r.WriteToBuffer());
    auto* b = dynamic_cast<CN5ObjFs*>(back->Root());
    ASSERT_TRUE(b);
    EXPECT_EQ(b->bandKind, grip == 3 ? 1 : 3);
    EXPECT_EQ(b->textureName, "road");
    EXPECT_TRUE(b->textureCoords);
  }
  // A surface flag of 0 is followed by 42 bytes the reader skips.
  CRecordBytes b;
  b.Record(1, 2, "F_SectionDescriptor").Header("", 5).F32(0).F32(1).U8(0).I32(9).I32(1);
  b.Record(3, 4, "AppearanceDescriptor").Header("", 2);
  b.Record(5, 6, "TextureDescriptor").Header("", 1).Str("grass");
  b.Zeroes(24).Zeroes(100);
  b.Record(7, 8, "TextureCoordsDescriptor").Header("", 1).U32(4).U32(3);
  b.Values({0, 1}).Values({0, 1}).Zeroes(56).U32(0).U32(0).Zeroes(8).U32(0).U32(0).Zeroes(8);
  b.U8(0).Zeroes(42);
  auto back = Read(b.Bytes());
  auto* fs = dynamic_cast<CN5ObjFs*>(back->Root());
  ASSERT_TRUE(fs);
  EXPECT_EQ(fs->textureName, "grass");
  // Two pairs are replaced by the four default corners.
  auto* tu = dynamic_cast<CN5ObjTu*>(fs->textureCoords);
  ASSERT_TRUE(tu);
  EXPECT_EQ(tu->u1, (std::vector<double>{0, 0, 1, 1}));
  EXPECT_EQ(tu->v1, (std::vector<double>{0, 1, 1, 0}));
  // Read from a file, a kind above 4 is written as 2.
  back->keepAllTsoReferences = true;
  auto again = Read(back->WriteToBuffer());
  EXPECT_EQ(dynamic_cast<CN5ObjFs*>(again->Root())->bandKind, 2);
}

TEST(Descriptors, WallBlockByVersion) {
  auto setUp = [](CN5ObjWs& ws) {
    ws.latStart = -2;
    ws.latEnd = -4;
    ws.heightStart = 1.5;
    ws.widthEnd = 0.25;
    ws.extraValue = 5;
    ws.wallType = 0x813;
  };
  auto group = [](CRecordBytes& b) { b.Zeroes(8).U32(0).U32(0).U32(0).U32(0).U32(0); };
  CRecordBytes v5;
  v5.Record(1, 2, "W_SectionDescriptor").Header("", 5);
  v5.F64(-2).F64(-4).U8(0).I32(3).F64(1.5).F64(0).F64(0).F64(0.25).F64(0).F64(0).I32(5).I32(0x813).I32(1);
  group(v5);
  EXPECT_EQ(WriteAlone<CN5ObjWs>(5, setUp), v5.Bytes());
  CRecordBytes v6;
  v6.Record(1, 2, "W_SectionDescriptor").Header("", 6);
  v6.F32(-2).F32(-4).U8(0).I32(3).F64(1.5).F64(0).F64(0).F64(0.25).F64(0).F64(0).I32(5).I32(0x813).I32(1);
  group(v6);
  EXPECT_EQ(WriteAlone<CN5ObjWs>(6, setUp), v6.Bytes());
  CRecordBytes v7;
  v7.Record(1, 2, "W_SectionDescriptor").Header("", 7);
  v7.F32(-2).F32(-4).U8(0).I32(3).F64(1.5).F64(0).F64(0).F64(0.25).F64(0).F64(0).I32(5);
  v7.I32(1);  // extension follows; a wall on the right has the values at 16 and 20 negated
  v7.F32(-1.0f).I32(4).Zeroes(8).F32(-0.3f).F32(-0.9f).Zeroes(4).F32(0.5f).F32(1.0f).F32(1.1f);
  v7.U32(0x813).U32(1);
  group(v7);
  EXPECT_EQ(WriteAlone<CN5ObjWs>(7, setUp), v7.Bytes());

  // Read back, the wall is tied to its file: tie value 1, extension as stored.
  auto back = Read(v7.Bytes());
  auto* ws = dynamic_cast<CN5ObjWs*>(back->Root());
  ASSERT_TRUE(ws);
  EXPECT_EQ(ws->wallType, 0x813);
  EXPECT_EQ(ws->faces.size(), 5u);
  auto again = back->WriteToBuffer();
  std::vector<uint8_t> want = v7.Bytes();
  want[44 + 9] = 1;  // ids 8, name 24, header 12: the tie int32 after two floats and a byte
  EXPECT_EQ(again, want);
}

TEST(Descriptors, SmallKindsPinned) {
  CRecordBytes to7;
  to7.Record(1, 2, "TSODescriptor").Header("", 3).Str("tree.3do").Str("(_TSO)").U8(1);
  CN5Root r;
  r.formatVersion = 7;
  auto* ro = r.Create<CN5ObjRo>(nullptr);
  r.CreateNewTso(ro, "C:\\Objects\\TREE");
  CRecordBytes ro7;
  ro7.Record(1, 2, "TSOReferenceDescriptor").Header("", 1).Zeroes(48);
  ro7.Record(3, 4, "TSODescriptor").Header("", 3).Str("tree.3do").Str("(_TSO)").U8(1);
  EXPECT_EQ(r.WriteToBuffer(), ro7.Bytes());
  r.ResetWriteIds();
  r.formatVersion = 5;
  CRecordBytes ro5;
  ro5.Record(1, 2, "TSOReferenceDescriptor").Header("", 1).Zeroes(48);
  ro5.Record(3, 4, "TSODescriptor").Header("", 2).Str("tree.3do").Str("(_TSO)");
  EXPECT_EQ(r.WriteToBuffer(), ro5.Bytes());
  CN5Root n;
  EXPECT_EQ(n.CreateNewTso(n.Create<CN5ObjRo>(nullptr), "Flag.3DO")->fileName, "flag.3do");

  // Texture: header value 1 and the name; read with header 2, one more byte.
  CRecordBytes tx;
  tx.Record(1, 2, "TextureDescriptor").Header("", 2).Str("a.tga").U8(7);
  auto back = Read(tx.Bytes());
  EXPECT_EQ(back->WriteToBuffer(), CRecordBytes().Record(1, 2, "TextureDescriptor").Header("", 1).Str("a.tga").Bytes());

  // Track detail: appearance child then the 112-byte block with its defaults.
  CN5Root d;
  auto* td = d.Create<CN5ObjTd>(nullptr);
  d.CreateNewAppearance(td, "");
  CRecordBytes tdb;
  tdb.Record(1, 2, "TrackDetailDescriptor").Header("", 0);
  tdb.Record(3, 4, "AppearanceDescriptor").Header("", 2).U32(0).Zeroes(24);
  for (double v : {1.0, 1.0, 1.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 1.0}) tdb.F64(v);
  tdb.I32(3);
  tdb.Zeroes(16).F64(1).F64(1).Zeroes(8).I32(32).Zeroes(8);  // 16, 24: 1.0; 40: 32
  tdb.F64(1).F64(1).Zeroes(8).I32(32);                       // 52, 60: 1.0; 76: 32
  tdb.F64(1).F64(1).Zeroes(16);                              // 80, 88: 1.0
  EXPECT_EQ(d.WriteToBuffer(), tdb.Bytes());
}

TEST(Descriptors, HeaderValuesFollowFormatVersion) {
  std::map<std::string, int> v5, v7;
  for (int v : {5, 7}) {
    auto t = MakeTrackTree(1, v);
    auto back = Read(t->WriteToBuffer());
    for (auto& o : back->All()) (v == 5 ? v5 : v7)[o->GetRtName()] = o->headerValue;
  }
  EXPECT_EQ(v5["class CN5ObjTk"], 6);
  EXPECT_EQ(v7["class CN5ObjTk"], 8);
  EXPECT_EQ(v5["class CN5ObjSg"], 1);
  EXPECT_EQ(v7["class CN5ObjSg"], 2);
  EXPECT_EQ(v5["class CN5ObjXs"], 2);
  EXPECT_EQ(v7["class CN5ObjXs"], 3);
  EXPECT_EQ(v5["class CN5ObjFs"], 4);
  EXPECT_EQ(v7["class CN5ObjFs"], 5);
  EXPECT_EQ(v5["class CN5ObjWs"], 5);
  EXPECT_EQ(v7["class CN5ObjWs"], 7);
  EXPECT_EQ(v5["class CN5ObjTo"], 2);
  EXPECT_EQ(v7["class CN5ObjTo"], 3);
  for (const char* same : {"class CN5ObjRo", "class CN5ObjTd", "class CN5ObjAp", "class CN5ObjTx", "class CN5ObjTu"})
    EXPECT_EQ(v5[same], v7[same]) << same;
}

TEST(Descriptors, EveryWritableKindRoundTrips) {
  for (int v : {5, 6, 7}) {
    SCOPED_TRACE(v);
    auto tree = MakeEveryKindTree(v);
    tree->keepAllTsoReferences = true;
    std::vector<uint8_t> first = tree->WriteToBuffer();
    auto back = Read(first);
    std::set<std::string> kinds;
    for (auto& o : back->All()) kinds.insert(o->GetRtName());
    for (const char* k : {"CN5ObjTk", "CN5ObjSg", "CN5ObjXs", "CN5ObjWs", "CN5ObjFs", "CN5ObjRo", "CN5ObjTo",
                          "CN5ObjTd", "CN5ObjSw", "CN5ObjLw", "CN5ObjSh", "CN5ObjAp", "CN5ObjEm", "CN5ObjGm",
                          "CN5ObjTx", "CN5ObjGp", "CN5ObjTu", "CN5ObjVl", "CN5ObjTs", "CN5ObjTl"})
      EXPECT_TRUE(kinds.count(std::string("class ") + k)) << k;
    // The geometry built with collected triangles gains its written tri list.
    EXPECT_EQ(back->All().size(), tree->All().size() + 1);
    // Written again from the file, only each wall's tie value changes (3 for
    // a built wall, 1 for one read from a file).
    back->keepAllTsoReferences = true;
    std::vector<uint8_t> second = back->WriteToBuffer();
    std::vector<uint8_t> expected = first;
    for (auto& o : back->All())
      if (auto* ws = dynamic_cast<CN5ObjWs*>(o.get())) {
        size_t at = ws->dataOffset + (ws->headerValue >= 6 ? 9 : 17);
        ASSERT_EQ(expected[at], 3);
        expected[at] = 1;
      }
    EXPECT_EQ(second, expected);
    EXPECT_EQ(Rewrite(second), second);
  }
  // The built trackside object has no walls: identical at once.
  auto tso = MakeTrackSideTree();
  auto bytes = tso->WriteToBuffer();
  EXPECT_EQ(Rewrite(bytes), bytes);
}

TEST(Descriptors, TrackFromFileKeepsOnlyFlaggerAndTruckObjects) {
  CN5Root r;
  auto* tk = r.Create<CN5ObjTk>(nullptr);
  for (const char* name : {"tree", "Flagger_stand", "grandstand", "truck_led", "TRUCK_TRON2"})
    r.CreateNewTso(r.Create<CN5ObjRo>(tk, &tk->tsoRefs), name);
  auto bytes = r.WriteToBuffer();
  auto back = Read(bytes);
  EXPECT_EQ(dynamic_cast<CN5ObjTk*>(back->Root())->tsoRefs.size(), 5u);
  auto filtered = Read(back->WriteToBuffer());
  std::vector<std::string> names;
  for (auto& o : filtered->All())
    if (auto* to = dynamic_cast<CN5ObjTo*>(o.get())) names.push_back(to->fileName);
  EXPECT_EQ(names, (std::vector<std::string>{"flagger_stand.3do", "truck_led.3do", "truck_tron2.3do"}));
}

TEST(Descriptors, GameTrackSideObjectReadsCompletely) {
  const std::vector<uint8_t> file = MakeGameTrackSideFile();
  auto r = Read(file);
  ASSERT_EQ(r->All().size(), 17u);
  auto* lod = dynamic_cast<CN5ObjLw*>(r->Root());
  ASSERT_TRUE(lod);
  EXPECT_EQ(lod->objectName, "lod_tree");
  EXPECT_EQ(lod->values, (std::vector<double>{0.0, 350.0}));
  EXPECT_EQ(lod->children.size(), 2u);
  EXPECT_TRUE(r->hasWeekendValue);
  EXPECT_DOUBLE_EQ(r->weekendValue, 1.0);
  auto* dn = dynamic_cast<CN5ObjSw*>(r->All()[2].get());
  ASSERT_TRUE(dn);
  EXPECT_EQ(dn->switchName, "day_night");
  EXPECT_EQ(dn->extraByte, 1);
  ASSERT_EQ(dn->children.size(), 2u);
  EXPECT_EQ(dn->children[0], dn->children[1]);
  auto* gp = dn->children[0];
  EXPECT_EQ(gp->depth, 3);
  ASSERT_EQ(gp->children.size(), 2u);
  auto* gm = dynamic_cast<CN5ObjGm*>(gp->children[0]->children[0]);
  ASSERT_TRUE(gm);
  // The strip 0 1 2 3 3 1: (0,1,2), the odd run reversed (3,2,1), two
  // degenerate runs skipped.
  EXPECT_EQ(gm->triangles, (std::vector<uint32_t>{0, 1, 2, 3, 2, 1}));
  auto* ts = dynamic_cast<CN5ObjTs*>(gm->children[1]);
  ASSERT_TRUE(ts);
  EXPECT_EQ(ts->indices, (std::vector<uint32_t>{0, 1, 2, 3, 3, 1}));
  EXPECT_EQ(ts->children[0], gm->children[0]);  // the vertex list by reference
  auto* vl = dynamic_cast<CN5ObjVl*>(gm->children[0]);
  ASSERT_TRUE(vl);
  ASSERT_EQ(vl->positions.size(), 4u);
  EXPECT_DOUBLE_EQ(vl->positions[3].y, 1);
  EXPECT_DOUBLE_EQ(vl->normals[0].z, 1);
  EXPECT_DOUBLE_EQ(vl->uvs[1].u, 1);
  ASSERT_NE(vl->tailArray1, 0u);
  ASSERT_NE(vl->tailArray2, 0u);
  double t1, t2;
  std::memcpy(&t1, file.data() + vl->tailArray1 + 8 * 3, 8);
  std::memcpy(&t2, file.data() + vl->tailArray2, 8);
  EXPECT_DOUBLE_EQ(t1, 0.4);
  EXPECT_DOUBLE_EQ(t2, 1.1);
  // The second shape shares the first one's appearance.
  EXPECT_EQ(gp->children[1]->children[1], gp->children[0]->children[1]);
  auto* ap = dynamic_cast<CN5ObjAp*>(gp->children[0]->children[1]);
  ASSERT_TRUE(ap);
  EXPECT_EQ(ap->GetPrimaryTexture(), "body");
  CGlMaterial m;
  ap->GetMaterial(m);
  EXPECT_EQ(m.materialName, "chrome");
  EXPECT_EQ(m.mapName, "maps\\body.tga");
  EXPECT_FLOAT_EQ(m.diffuse.r, 0.5f);
  EXPECT_FLOAT_EQ(m.diffuse.b, 0.125f);
  EXPECT_EQ(m.shader.maps[0].stageType, 11);
  EXPECT_EQ(m.shader.maps[0].textureName, "envmap.tga");
  EXPECT_FLOAT_EQ(m.shader.shaderValue, 0.3f);
}

TEST(Descriptors, GameTrackSideObjectRewritesStably) {
  const std::vector<uint8_t> file = MakeGameTrackSideFile();
  std::vector<uint8_t> once = Rewrite(file);
  std::vector<uint8_t> twice = Rewrite(once);
  EXPECT_EQ(twice, once);
  auto r = Read(once);
  // The strip came back as a list of the same triangles; the vertex tails
  // are written empty.
  auto* gm = dynamic_cast<CN5ObjGm*>(r->All()[5].get());
  ASSERT_TRUE(gm);
  auto* tl = dynamic_cast<CN5ObjTl*>(gm->children[1]);
  ASSERT_TRUE(tl);
  EXPECT_EQ(tl->indices, (std::vector<uint32_t>{0, 1, 2, 3, 2, 1}));
  auto* vl = dynamic_cast<CN5ObjVl*>(gm->children[0]);
  EXPECT_EQ(vl->tailArray1, 0u);
  EXPECT_EQ(vl->positions.size(), 4u);
  size_t textures = 0;
  for (auto& o : r->All()) textures += o->IsRtName("CN5ObjTx");
  EXPECT_EQ(textures, 1u);  // an appearance is written with its first slot only
}

TEST(Descriptors, StripWriterInvertsReader) {
  CN5Root r;
  auto* ts = r.Create<CN5ObjTs>(nullptr);
  r.Create<CN5ObjVl>(ts);
  ts->triangles = {0, 1, 2, 3, 2, 1, 2, 3, 4, 5, 4, 3};
  auto back = Read(r.WriteToBuffer());
  auto* s = dynamic_cast<CN5ObjTs*>(back->Root());
  ASSERT_TRUE(s);
  EXPECT_EQ(s->indices, (std::vector<uint32_t>{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(s->triangles, ts->triangles);
}

TEST(Descriptors, WeekendSwitchSetsRootValue) {
  CN5Root r;
  auto* sw = r.Create<CN5ObjSw>(nullptr);
  sw->switchName = "Weekend";
  sw->values = {3.0, 1.0};
  r.Create<CN5ObjEm>(sw);
  r.Create<CN5ObjEm>(sw);
  CRecordBytes want;
  want.Record(1, 2, "StateSwitchDescriptor").U32(1).U32(0).U32(1);
  want.Block(56, {{0, 1}, {52, 1}}).Str("Weekend").Block(12, {{0, 2}}).Values({3.0, 1.0}).U32(8);
  want.Record(3, 4, "EmptyDescriptor").U32(1).U32(0).Record(5, 4).U32(1).U32(0);
  EXPECT_EQ(r.WriteToBuffer(), want.Bytes());
  auto back = Read(want.Bytes());
  EXPECT_TRUE(back->hasWeekendValue);
  EXPECT_DOUBLE_EQ(back->weekendValue, 3.0);
}

TEST(Descriptors, AppearanceBuilderAndTextures) {
  CN5Root r;
  r.formatVersion = 7;
  auto* tk = r.Create<CN5ObjTk>(nullptr);
  auto* sg = r.Create<CN5ObjSg>(tk, &tk->segments);
  auto* fs = r.Create<CN5ObjFs>(sg, &sg->bands);
  auto* ws = r.Create<CN5ObjWs>(sg, &sg->walls);
  ws->wallType = 0x812;
  auto* ws2 = r.Create<CN5ObjWs>(sg, &sg->walls);
  auto* td = r.Create<CN5ObjTd>(tk, &tk->details);
  auto* a = r.CreateNewAppearance(fs, "C:\\Tex\\Road.Tga");
  EXPECT_EQ(a->mode, 1);
  EXPECT_EQ(a->lighting[6], 0.0);
  EXPECT_EQ(a->lighting[3], 1.0);
  ASSERT_EQ(a->children.size(), 1u);
  EXPECT_EQ(dynamic_cast<CN5ObjTx*>(a->children[0])->textureName, "road.tga");
  EXPECT_EQ(a->GetPrimaryTexture(), "road");
  EXPECT_EQ(r.CreateNewAppearance(ws, "w")->mode, 18);
  EXPECT_EQ(r.CreateNewAppearance(ws2, "w")->mode, 0);
  auto* d = r.CreateNewAppearance(td, "");
  EXPECT_EQ(d->mode, 3);
  EXPECT_TRUE(d->children.empty());
  EXPECT_EQ(d->lighting[3], 0.0);
  EXPECT_EQ(d->lighting[8], 0.0);
  EXPECT_EQ(r.CreateNewAppearance(sg, "x")->mode, 2);
  r.defaultAppearanceMode = 5;
  EXPECT_EQ(r.CreateNewAppearance(sg, "x")->mode, 5);

  // Names cut only after a folder or before an extension that is not first.
  auto* tx = dynamic_cast<CN5ObjTx*>(a->children[0]);
  tx->textureName = ".hidden";
  EXPECT_EQ(a->GetPrimaryTexture(), ".hidden");
  tx->textureName = "\\Name.tga";
  EXPECT_EQ(a->GetPrimaryTexture(), "\\name");
  tx->textureName = "Dir\\Sub\\NAME.PART.TGA";
  EXPECT_EQ(a->GetPrimaryTexture(), "name.part");
  double red, green, blue;
  std::string texture = "unchanged", name;
  CN5ObjAp plain;
  plain.objectName = "own";
  plain.GetColourTexture(red, green, blue, texture, name);
  EXPECT_EQ(texture, "unchanged");
  EXPECT_EQ(name, "own");
  a->GetColourTexture(red, green, blue, texture, name);
  EXPECT_EQ(texture, "dir\\sub\\name.part.tga");
  EXPECT_EQ(red, 1.0);
  CGlMaterial m;
  a->GetMaterial(m);
  EXPECT_EQ(m.materialName, "name.part");  // the map's file title when the appearance has no name
  EXPECT_EQ(m.mapName, "dir\\sub\\name.part.tga");
}

// The kinds read but not modelled are written back byte for byte around
// their child record: the inspector's rewrite of a file holding one is the
// same file, which the inspector reads again. Fillers are not zero, so bytes
// out of place show.
TEST(Descriptors, UnmodelledKindsAreWrittenBackByteForByte) {
  const auto child = [](CRecordBytes& b) { b.Record(3, 4, "EmptyDescriptor").U32(1).U32(0); };
  const auto block = [](CRecordBytes& b, size_t n) { b.Block(n, {{0, 0x11223344}, {n - 4, 0x55667788}}); };
  const std::pair<const char*, std::function<void(CRecordBytes&)>> kinds[] = {
      {"TransformDescriptor", [&](CRecordBytes& b) { block(b, 104), child(b); }},
      {"SelfLightingDescriptor", [&](CRecordBytes& b) { block(b, 131), child(b); }},
      {"AnimatedTransformDescriptor", [&](CRecordBytes& b) { block(b, 104), child(b), b.U32(7).Str("spin").U32(9).U32(1).U8(5); }},
      {"PortalDescriptor", [&](CRecordBytes& b) { b.U32(5), child(b), b.U32(6).U32(8).U32(10).U32(11); }},
      {"AppNodeDescriptor", [&](CRecordBytes& b) { block(b, 60), b.Str("node"), child(b); }},
      {"TriFanDescriptor", [&](CRecordBytes& b) { child(b), b.U32(1).U32(4).U32(12).U32(0).U32(1).U32(2); }},
      {"RegionMorphVertexListDescriptor",
       [&](CRecordBytes& b) {
         b.U32(1).U32(1).Values({1}).Values({2}).Values({3}).U32(0).Values({0}).Values({0}).Values({1}).U32(3);
         b.Values({0.5}).Values({0.25}).Block(56, {{0, 9}}).U32(0).Values({4}).Zeroes(8).U32(0).Values({5}).Zeroes(8);
       }},
  };
  CTempDir dir;
  for (const auto& [name, payload] : kinds) {
    CRecordBytes file;
    file.Record(1, 2, name).Header("object", 3);
    payload(file);
    WriteText(dir.File("in.3do"), std::string(file.Bytes().begin(), file.Bytes().end()));
    std::string error, listing;
    ASSERT_TRUE(Ok(RewriteRecordFile(dir.File("in.3do"), dir.File("out.3do")), error)) << error;
    EXPECT_EQ(ReadBytes(dir.File("out.3do")), file.Bytes()) << name;
    EXPECT_TRUE(Ok(InspectRecordFile(dir.File("out.3do"), listing), error)) << error;
  }
}

}  // namespace lapforge
