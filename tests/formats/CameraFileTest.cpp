// Camera lists converted onto a straight 3000 m track along +X, where the
// point at (long, lat) is (long, lat, 0): static and tracking cameras, the
// activation zones between neighbours, both source versions, and damaged
// sources refused with nothing written.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>

#include "formats/aiw/CameraFile.h"
#include "support/Errors.h"
#include "tests/support/ResultCheck.h"
#include "tests/support/TestSupport.h"
#include "tests/support/formats/LpCamFiles.h"
#include "tests/support/track/TrackBuilders.h"

namespace lapforge {

namespace {

SourceCam Static(float distance, float lateral, float height, float zone) {
  SourceCam c;
  c.type = 1;
  c.distance = distance;
  c.lateral = lateral;
  c.height = height;
  c.zoneStart = zone;
  return c;
}

SourceCam Tracking(float distance, float lateral, float height, float zone, float zoom) {
  SourceCam c = Static(distance, lateral, height, zone);
  c.type = 0;
  c.zoom = zoom;
  return c;
}

// A static camera at 100 (zone from 50), tracking ones at 500 (zone from
// 100, 400 m before it) and 1200 (zone from 1000, 200 m before it).
std::vector<SourceCam> ThreeCameras() {
  SourceCam a = Static(100, -20, 5, -50);
  a.angle[0] = 0.1f;
  a.angle[1] = 0.2f;
  a.angle[2] = 0.3f;
  a.fov = 0.5f;
  return {a, Tracking(500, 15, 10, -400, 2), Tracking(1200, -10, 3, -200, 4)};
}

std::string Block(std::initializer_list<const char*> lines) {
  std::string s;
  for (const char* l : lines) s += std::string(l) + "\r\n";
  return s;
}

class CamTrack : public ::testing::Test {
 protected:
  void SetUp() override {
    FillTextureTables(track);
    ChainSegments(track, {TrackPiece{0, 3000, 0}});
    track.CreateNewTraction(0, -10, -10, 1, 0, 0, 0, {});
    track.CreateNewTraction(0, 10, 10, 5, 0, 0, 0, {});
    track.FinishTractionTextures(0);
  }
  CN5Ptf track;
  CZWriteCam writer;
  CTempDir dir;
  std::string error;  // the message of the last conversion
};

TEST(CamFile, TestBuilderFollowsTheLayout) {
  SourceCam c = Static(100, -20, 5, -50);
  c.zoom = 1;
  c.angle[0] = 0.5f;
  c.angle[1] = 0.25f;
  c.angle[2] = -1;
  c.fov = 2;
  const std::vector<uint8_t> expected = {
      0x4D, 0x41, 0x43, 0x54, 0x02, 0x00, 0x00, 0x00,  // "MACT", version 2
      0xFE, 0xCA, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00,  // unused word, one camera
      0x00, 0x00, 0xC8, 0x42, 0x00, 0x00, 0xA0, 0xC1,  // distance 100, lateral -20
      0x00, 0x00, 0xA0, 0x40, 0x00, 0x00, 0x48, 0xC2,  // height 5, zone -50
      0x01, 0x00, 0x00, 0x00, 0x00, 0x40, 0x42, 0x44,  // type 1, filler 777
      0x00, 0x00, 0x80, 0x3F, 0x00, 0x40, 0x42, 0x44,  // zoom 1, filler
      0x00, 0x00, 0x00, 0x3F, 0x00, 0x00, 0x80, 0x3E,  // angles 0.5, 0.25,
      0x00, 0x00, 0x80, 0xBF, 0x00, 0x00, 0x00, 0x40,  // -1, field of view 2
      0x00, 0x40, 0x42, 0x44, 0x00, 0x40, 0x42, 0x44,  // fillers
      0xAB,                                            // version 2's extra byte
      0x00, 0x00, 0x00, 0x00,                          // empty second list
  };
  EXPECT_EQ(BuildCamList({c}, 2, 0), expected);
}

TEST(CamFile, DamagedListsAreRefusedNamingTheFile) {
  auto expectRefused = [](const std::vector<uint8_t>& bytes, const std::string& words) {
    try {
      CZWriteCam::ReadCameras(bytes, "tv.cam");
      ADD_FAILURE() << "accepted: " << words;
    } catch (const CFormatError& e) {
      EXPECT_NE(std::string(e.what()).find("tv.cam"), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(words), std::string::npos) << e.what();
    }
  };
  std::vector<uint8_t> bytes = BuildCamList(ThreeCameras());
  bytes[0] = 'X';
  expectRefused(bytes, "MACT");
  bytes = BuildCamList(ThreeCameras());
  const uint32_t huge = 0x7FFFFFFF;
  std::memcpy(bytes.data() + 12, &huge, 4);
  expectRefused(bytes, "camera count 2147483647");
  bytes = BuildCamList(ThreeCameras(), 1, 2);
  std::memcpy(bytes.data() + 16 + 3 * 56, &huge, 4);
  expectRefused(bytes, "second camera count");
  // Version 2 records read as 56 bytes would misplace everything: a version
  // 1 file marked version 2 does not fit.
  bytes = BuildCamList(ThreeCameras(), 1, 0);
  bytes[4] = 2;
  expectRefused(bytes, "second camera count");
  std::vector<SourceCam> nan = ThreeCameras();
  nan[1].zoom = std::numeric_limits<float>::quiet_NaN();
  expectRefused(BuildCamList(nan), "camera 2");
  // A camera kilometres beside or above the track is a damaged record.
  std::vector<SourceCam> far = ThreeCameras();
  far[2].lateral = 1e30f;
  expectRefused(BuildCamList(far), "camera 3 stands 1e+30 m beside the track");
  far = ThreeCameras();
  far[0].height = -2e4f;
  expectRefused(BuildCamList(far), "camera 1 stands -20 m beside the track and -20000 m above it");

  // Every prefix of a whole file, read from a buffer that ends where it ends.
  const std::vector<uint8_t> whole = BuildCamList(ThreeCameras(), 2, 1);
  for (size_t n = 0; n < whole.size(); ++n) {
    std::unique_ptr<uint8_t[]> exact(new uint8_t[n ? n : 1]);
    std::memcpy(exact.get(), whole.data(), n);
    EXPECT_THROW(CZWriteCam::ReadCameras({exact.get(), n}, "cut.cam"), CFormatError) << n;
  }
}

TEST_F(CamTrack, StaticAndTrackingCamerasWithTheirZones) {
  const std::string text = writer.BuildCam(track, CZWriteCam::ReadCameras(BuildCamList(ThreeCameras()), "cams"));
  const std::string fixed = Block({"  Clear=TRUE", "  Color=(0, 0, 0)", "  ClipPlanes=(1.000000, 1000.000000)",
                                   "  LODMultiplier=(5.000000)", "  Size=(1.000000, 1.000000)",
                                   "  Center=(0.500000, 0.500000)", "  MipmapLODBias=(0.000000)"});
  // Static: orientation (-A2, A1 - quarter turn, A3), field of view 0.5 rad
  // in degrees; its zone runs from 50 to the next camera's start at 100.
  const std::string first = Block({"StaticCam=STATIC001", "{", "  Position=(-100.0000, -5.0000, 20.0000)",
                                   "  Orientation=(-0.2000, -1.4708, 0.3000)", "  Fov=(28.6479, 21.4859)"}) +
                            fixed +
                            Block({"  Flags1=(4)", "  Flags2=(0)", "  ActivationLocation=(-75.0000, -0.0000, -0.0000)",
                                   "  ActivationRadius=(25.0000)", "}"});
  // Tracking at (500, 15, 10), looking at its zone start (100, 0, 0): pitch
  // asin(-10 / 400.281), heading atan2(-15, -400) less a quarter turn; field
  // of view 2 atan2(0.5, 52.2015) in degrees; zone 100 to 1000.
  const std::string second = Block({"TrackingCam=TRACKING002", "{", "  Position=(-500.0000, -10.0000, -15.0000)",
                                    "  Orientation=(-0.0250, -4.6749, 0.0000)", "  Fov=(1.0976, 0.8232)"}) +
                             fixed +
                             Block({"  Flags1=(0)", "  Flags2=(0)", "  ActivationLocation=(-550.0000, -0.0000, -0.0000)",
                                    "  ActivationRadius=(450.0000)", "  TrackingRate=(0.000000)",
                                    "  MovementRate=(0.000000)", "}"});
  // The last camera's zone runs from 1000 across the line to the first
  // camera's start at 50 (3050): centre 2025, radius 1025.
  const std::string third = Block({"TrackingCam=TRACKING003", "{", "  Position=(-1200.0000, -3.0000, 10.0000)",
                                   "  Orientation=(-0.0150, 1.5208, 0.0000)", "  Fov=(0.0347, 0.0260)"}) +
                            fixed +
                            Block({"  Flags1=(1)", "  Flags2=(0)", "  ActivationLocation=(-2025.0000, -0.0000, -0.0000)",
                                   "  ActivationRadius=(1025.0000)", "  TrackingRate=(0.000000)",
                                   "  MovementRate=(0.000000)", "}"});
  EXPECT_EQ(text, first + second + third);
}

TEST_F(CamTrack, ZoneStartsBeyondOneLapAndDegenerateViewsStayFinite) {
  // A zone starting before the line is raised by the track length; a camera
  // right above its zone start looks straight down; zoom 0 gives a wide
  // view rather than a division by zero.
  std::vector<SourceCam> cams = {Tracking(10, 0, 20, -7000, 0), Tracking(20, 0, 5, 0, 1)};
  const std::string text = writer.BuildCam(track, CZWriteCam::ReadCameras(BuildCamList(cams), "cams"));
  EXPECT_EQ(text.find("nan"), std::string::npos) << text;
  EXPECT_EQ(text.find("inf"), std::string::npos) << text;
  // Second camera: zone start at its own point, 5 m below it.
  EXPECT_NE(text.find("  Orientation=(-1.5708, -1.5708, 0.0000)"), std::string::npos) << text;
  // -6990 + 3 x 3000 = 2010 and 20: the first zone runs from 2010 to 3020.
  EXPECT_NE(text.find("  ActivationLocation=(-2515.0000, -0.0000, -0.0000)\r\n  ActivationRadius=(505.0000)"),
            std::string::npos)
      << text;
}

TEST_F(CamTrack, VersionOneAndTwoFilesGiveTheSameFile) {
  WriteLpFile(dir.Path(), "v1.cam", BuildCamList(ThreeCameras(), 1, 2));
  WriteLpFile(dir.Path(), "v2.cam", BuildCamList(ThreeCameras(), 2, 2));
  ASSERT_TRUE(Ok(writer.CamToCam(track, dir.File("v1.cam"), dir.File("out1.cam")), error)) << error;
  ASSERT_TRUE(Ok(writer.CamToCam(track, dir.File("v2.cam"), dir.File("out2.cam")), error)) << error;
  EXPECT_EQ(ReadText(dir.File("out1.cam")), ReadText(dir.File("out2.cam")));
  EXPECT_EQ(ReadText(dir.File("out1.cam")).substr(0, 22), "StaticCam=STATIC001\r\n{");
}

TEST_F(CamTrack, NothingIsWrittenFromADamagedEmptyOrMissingSource) {
  const std::string out = dir.File("out.cam");
  WriteText(out, "old");
  std::vector<uint8_t> bytes = BuildCamList(ThreeCameras());
  bytes.resize(bytes.size() - 3);
  WriteLpFile(dir.Path(), "cut.cam", bytes);
  EXPECT_FALSE(Ok(writer.CamToCam(track, dir.File("cut.cam"), out), error));
  EXPECT_NE(error.find("cut.cam"), std::string::npos) << error;
  WriteLpFile(dir.Path(), "empty.cam", BuildCamList({}));
  EXPECT_FALSE(Ok(writer.CamToCam(track, dir.File("empty.cam"), out), error));
  EXPECT_NE(error.find("no cameras"), std::string::npos) << error;
  EXPECT_FALSE(Ok(writer.CamToCam(track, dir.File("none.cam"), out), error));
  EXPECT_NE(error.find("none.cam"), std::string::npos) << error;
  EXPECT_EQ(ReadText(out), "old");
}

}  // namespace

}  // namespace lapforge
