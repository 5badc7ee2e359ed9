// The track model written as a PTF file and read back: the record layout of
// a small track pinned to the byte, and round trips of a built track.
#include <gtest/gtest.h>

#include "support/Errors.h"
#include "tests/support/ResultCheck.h"
#include "tests/support/TestSupport.h"
#include "tests/support/ptf/RecordBytes.h"
#include "tests/support/track/TrackBuilders.h"
#include "track/N5Ptf.h"

namespace lapforge {

namespace {

// The 177-byte summary block of an older track record with its defaults.
void OldSummary(CRecordBytes& b, int32_t segments) {
  b.I32(segments).U8(0);
  double values[21];
  for (double& v : values) v = 1.0;
  values[0] = -0.596574, values[1] = -0.32186, values[2] = -0.735, values[3] = 0.8, values[4] = 0.3;
  values[8] = 0.3, values[9] = 0.7, values[16] = 0.0001, values[20] = 0.0004;
  for (double v : values) b.F64(v);
  b.Zeroes(4);
}

TEST(PtfFile, OneStraightSegmentInBothVersions) {
  CN5Ptf ptf;
  ChainSegments(ptf, {{0, 100, 0}}, {5, 6, 0, 0});

  // Version 5: track header 6 with the long summary, segment header 1.
  CRecordBytes v5;
  v5.Record(1, 2, "TrackDescriptor").Header("", 6);
  OldSummary(v5, 1);
  v5.U32(0).U32(0);  // no details, no TSO references
  v5.U32(4);         // segment array of one
  v5.Record(3, 4, "SegmentDescriptor").Header("", 1);
  v5.U32(0).U32(0).U32(0);  // bank lines, bands, walls
  v5.I32(0).F64(5).F64(6).F64(0).F64(105).F64(6).F64(0).U8(0).U8(0);
  EXPECT_EQ(ptf.WritePtfToBuffer(5), v5.Bytes());

  // Version 7: track header 8 with the short summary, segment header 2
  // with (empty) bump lists.
  CRecordBytes v7;
  v7.Record(1, 2, "TrackDescriptor").Header("", 8);
  v7.I32(1).U8(0).F64(0.2).F64(0.2).F64(0.2).F32(4.0f).U32(0).U32(0);
  v7.U32(0).U32(0).U32(4);
  v7.Record(3, 4, "SegmentDescriptor").Header("", 2);
  v7.U32(0).U32(0).U32(0);
  v7.I32(0).F64(5).F64(6).F64(0).F64(105).F64(6).F64(0).U8(0).U8(0);
  v7.U32(0).U32(0);
  EXPECT_EQ(ptf.WritePtfToBuffer(7), v7.Bytes());
  // Every write numbers from 1 again.
  EXPECT_EQ(ptf.WritePtfToBuffer(7), v7.Bytes());
}

TEST(PtfFile, BandRecordsOfABuiltSegment) {
  // One band surface (grip 1, no texture entry: "Asphalt") and its left edge.
  CN5Ptf ptf;
  ChainSegments(ptf, {{0, 40, 0}});
  ptf.CreateNewTraction(0, -4, -4, 1, 0, 0, 0, {});
  ptf.CreateNewTraction(0, 4, 4, 1, 0, 0, 0, {});
  ptf.FinishTractionTextures(0);
  std::vector<uint8_t> bytes = ptf.WritePtfToBuffer(5);

  CRecordBytes b;
  b.Record(1, 2, "TrackDescriptor").Header("", 6);
  OldSummary(b, 1);
  b.U32(0).U32(0).U32(4);
  b.Record(3, 4, "SegmentDescriptor").Header("", 1);
  b.U32(0);         // no bank lines
  b.U32(2).U32(8);  // two bands
  b.Record(5, 6, "F_SectionDescriptor").Header("", 4);
  b.F64(-4).F64(-4).U8(0).I32(1).I32(1);  // kind 0 with a surface is written as 1
  b.Record(7, 8, "AppearanceDescriptor").Header("", 2);
  b.Record(9, 10, "TextureDescriptor").Header("", 1).Str("trackmat\\asphalt");
  b.Zeroes(24);
  for (double v : {1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 1}) b.F64(v);
  b.I32(1);  // mode of a band surface
  b.Record(11, 12, "TextureCoordsDescriptor").Header("", 1);
  // Corners from lat -4 and 4 with the 5 m default width; 40 m over the
  // 20 m default repeat.
  b.U32(4).U32(3).Values({-0.8, -0.8, 0.8, 0.8}).Values({0, 2, 2, 0});
  b.Zeroes(56).U32(0).U32(0).Zeroes(8).U32(0).U32(0).Zeroes(8);
  b.U8(1);  // one texture in use
  b.Record(13, 6).Header("", 4);
  b.F64(4).F64(4).U8(0).I32(0).I32(1).U32(0);  // the left edge: no surface
  b.U32(0);                                    // no walls
  b.I32(0).F64(0).F64(0).F64(0).F64(40).F64(0).F64(0).U8(0).U8(0);
  EXPECT_EQ(bytes, b.Bytes());
}

TEST(PtfFile, BuiltTrackReadsBackAndRewritesIdentically) {
  for (int version : {7, 5}) {
    SCOPED_TRACE(version);
    CTempDir dir;
    CN5Ptf built;
    BuildGeneratedTrack(built, 12, 1200);
    ASSERT_TRUE(built.WritePtf(dir.File("built.ptf"), version));
    EXPECT_EQ(built.path, dir.File("built.ptf"));
    std::vector<uint8_t> first = ReadBytes(dir.File("built.ptf"));

    Result opened;
    std::unique_ptr<CN5Ptf> read = CN5Ptf::CreateFromFile(dir.File("built.ptf"), opened);
    ASSERT_NE(read, nullptr) << opened.Text();
    EXPECT_EQ(read->trackName, "built");
    EXPECT_EQ(read->NoSegments(), 12);
    EXPECT_EQ(read->NoTrackDetails(), 1);
    EXPECT_NEAR(read->GetTrackLength(), 1200, 1e-6);
    for (double lng : {0.0, 150.0, 777.0, 1199.0})
      for (double lat : {-11.0, 0.0, 5.0}) {
        double x0 = 0, y0 = 0, z0 = 0, x1 = 0, y1 = 0, z1 = 0;
        built.GetXYZ(lng, lat, x0, y0, z0);
        read->GetXYZ(lng, lat, x1, y1, z1);
        EXPECT_NEAR(x0, x1, 1e-3);
        EXPECT_NEAR(y0, y1, 1e-3);
        EXPECT_NEAR(z0, z1, 1e-6);
      }
    CN5ObjSg* sg = read->GetSegObj(5);
    ASSERT_EQ(sg->NoTractions(), 4);
    ASSERT_EQ(sg->NoWalls(), 2);
    ASSERT_EQ(sg->NoBanks(), 2);
    EXPECT_EQ(sg->GetFsObj(1)->textureName, "road");
    EXPECT_EQ(sg->GetWsObj(1)->wallType, 2049);
    EXPECT_EQ(sg->GetWsObj(1)->textureNames[1], "walltop");
    EXPECT_EQ(sg->GetXsObj(1)->heightStart, built.GetSegObj(5)->GetXsObj(1)->heightStart);
    // The width of a band as read is the distance to the next one.
    EXPECT_NEAR(sg->GetFsObj(1)->widthStart, 20, 1e-6);

    // A track read and written again keeps its bytes from then on.
    ASSERT_TRUE(read->WritePtf(dir.File("again.ptf"), version));
    std::vector<uint8_t> second = ReadBytes(dir.File("again.ptf"));
    EXPECT_EQ(second.size(), first.size());
    std::unique_ptr<CN5Ptf> reread = CN5Ptf::CreateFromFile(dir.File("again.ptf"), opened);
    ASSERT_NE(reread, nullptr);
    ASSERT_TRUE(reread->WritePtf(dir.File("third.ptf"), version));
    EXPECT_EQ(ReadBytes(dir.File("third.ptf")), second);
  }
}

TEST(PtfFile, TrackWithoutWallsRewritesToTheSameBytes) {
  for (int version : {7, 5}) {
    SCOPED_TRACE(version);
    CTempDir dir;
    CN5Ptf built;
    FillTextureTables(built);
    ChainSegments(built, {{0, 100, 0}, {1, 80, 0.8}, {0, 30, 0}});
    for (int s = 0; s < 3; ++s) {
      built.CreateNewTraction(s, -6, -6, 5, 0, 0, 0, {});
      built.CreateNewTraction(s, -5, -5, 1, 0, 0, 0, {});
      built.CreateNewTraction(s, 5, 5, 13, 0, 0, 1, {});
      built.CreateNewTraction(s, 6, 6, 5, 0, 0, 0, {});
      built.FinishTractionTextures(s);
      built.CreateNewBank(s, -6, -6, 1, 1.5, 0.01, 0);
      built.CreateNewBank(s, 6, 6, 1.5, 1.5, 0, 0.02);
    }
    built.CreateNewTrackDetail(20, 0, 2, 3, 0.5, "arrow", 1, 2);
    ASSERT_TRUE(built.WritePtf(dir.File("a.ptf"), version));
    Result opened;
    std::unique_ptr<CN5Ptf> read = CN5Ptf::CreateFromFile(dir.File("a.ptf"), opened);
    ASSERT_NE(read, nullptr) << opened.Text();
    ASSERT_TRUE(read->WritePtf(dir.File("b.ptf"), version));
    EXPECT_EQ(ReadBytes(dir.File("b.ptf")), ReadBytes(dir.File("a.ptf")));
  }
}

// A version 5 track of one segment whose lists are given as raw records.
std::vector<uint8_t> OneSegmentFile(int32_t segType, double endAngle, const CRecordBytes& lists) {
  CRecordBytes b;
  b.Record(1, 2, "TrackDescriptor").Header("", 6);
  OldSummary(b, 1);
  b.U32(0).U32(0).U32(4);
  b.Record(3, 4, "SegmentDescriptor").Header("", 1);
  b.Append(lists);
  b.I32(segType).F64(0).F64(0).F64(0).F64(100).F64(0).F64(endAngle).U8(0).U8(0);
  return b.Bytes();
}

TEST(PtfFile, ReadTracksWithOddListsAreQueriedSafely) {
  // Bank lines: a null record and a band record; bands: a null record and
  // the same band again.
  CRecordBytes lists;
  lists.U32(2).U32(8).U32(0);
  lists.Record(5, 6, "F_SectionDescriptor").Header("", 4).F64(-3).F64(-3).U8(0).I32(0).I32(1).U32(0);
  lists.U32(2).U32(8).U32(0).U32(5);
  lists.U32(0);
  CN5Ptf ptf;
  std::string error;
  ASSERT_TRUE(Ok(ptf.ReadFromBuffer(OneSegmentFile(0, 0, lists), "odd.ptf"), error)) << error;
  EXPECT_DOUBLE_EQ(ptf.GetTrackLength(), 100);
  double x = 0, y = 0, z = -1;
  ptf.GetXYZ(50, 3, x, y, z);
  EXPECT_NEAR(x, 50, 1e-5);
  EXPECT_EQ(z, 0);  // no usable bank line
  std::vector<double> lats;
  std::vector<uint16_t> grips;
  ptf.GetTractionsAt(50, lats, grips);
  EXPECT_EQ(lats, std::vector<double>{-3});
  double dl, dr, wl, wr;
  ptf.GetDriveBoundsAt(50, 0, dl, dr, wl, wr);
  EXPECT_EQ(wr, -3);
  EXPECT_EQ(ptf.GetSegObj(0)->GetFsObj(0), nullptr);
  EXPECT_FALSE(ptf.WritePtfToBuffer(5).empty());

  // An arc whose headings do not differ has no radius: rejected.
  CRecordBytes empty;
  empty.U32(0).U32(0).U32(0);
  CN5Ptf arc;
  ASSERT_TRUE(Ok(arc.ReadFromBuffer(OneSegmentFile(1, 0, empty), "arc.ptf"), error)) << error;
  EXPECT_THROW(arc.GetTrackLength(), CInvalidArgument);
  EXPECT_EQ(arc.GetSegObj(0)->CheckForErrors(), 1);
}

TEST(PtfFile, MissingDamagedAndEmpty) {
  CTempDir dir;
  Result read;
  EXPECT_EQ(CN5Ptf::CreateFromFile(dir.File("none.ptf"), read), nullptr);
  EXPECT_EQ(read.status, Status::CannotRead);  // a file that cannot be opened, not a damaged one

  CN5Ptf built;
  BuildGeneratedTrack(built, 3, 300);
  std::vector<uint8_t> bytes = built.WritePtfToBuffer(7);
  bytes.resize(bytes.size() / 2);
  WriteText(dir.File("cut.ptf"), std::string(bytes.begin(), bytes.end()));
  EXPECT_EQ(CN5Ptf::CreateFromFile(dir.File("cut.ptf"), read), nullptr);
  EXPECT_EQ(read.status, Status::Damaged);
  EXPECT_NE(read.Text().find("cut.ptf"), std::string::npos);

  // Without a track record nothing is written.
  CN5Ptf empty;
  EXPECT_FALSE(empty.WritePtf(dir.File("empty.ptf"), 7));
  EXPECT_FALSE(Exists(dir.File("empty.ptf")));
}

}  // namespace

}  // namespace lapforge
