// The 3D preview as `lapforge render` draws the sample circuit from above
// and as a window picks in it: surfaces show their texture's colours, the
// selected section is tinted and no other, the sky is everywhere else, a
// click finds the section under it; a description that makes no track
// gives the sky alone and fails. Needs an OpenGL context: ctest runs this
// under xvfb-run.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <regex>
#include <string>

#include "description/TrkDsc.h"
#include "preview/OffscreenRender.h"
#include "preview/PreviewCamera.h"
#include "preview/PreviewRenderer.h"
#include "preview/PreviewScene.h"
#include "roads/Lapforge.h"
#include "support/ImageFile.h"
#include "tests/support/CliRun.h"
#include "tests/support/TestSupport.h"

namespace lapforge {

namespace {

const std::string kSample = LAPFORGE_SOURCE_DIR "/examples/sample-circuit.xml";
constexpr int kWidth = 640, kHeight = 480;
constexpr int kTinted = 5;  // a straight

struct Rgb {
  double r = 0, g = 0, b = 0;
};

// The mean colour of the 5 x 5 pixels around (x, y).
Rgb MeanAround(const QImage& image, int x, int y) {
  int r = 0, g = 0, b = 0;
  for (int dy = -2; dy <= 2; ++dy)
    for (int dx = -2; dx <= 2; ++dx) {
      const QRgb p = image.pixel(std::clamp(x + dx, 0, image.width() - 1), std::clamp(y + dy, 0, image.height() - 1));
      r += qRed(p), g += qGreen(p), b += qBlue(p);
    }
  return {r / 25.0, g / 25.0, b / 25.0};
}

// What every case looks at: the command's picture (top view, section
// kTinted tinted), the same scene and camera to say where things fall,
// the asphalt texture's mean colour, and a context for picking.
struct Sample {
  CTempDir dir;
  CliResult run;
  QImage picture;
  CPreviewScene scene;
  CPreviewCamera camera;
  Rgb asphalt;
  COffscreenRender offscreen;
  std::string noContext;
};

// Made once for the cases and let go after them (while Qt is still there).
std::unique_ptr<Sample> MakeSample() {
  auto s = std::make_unique<Sample>();
  s->run = RunCli(LAPFORGE_CLI, s->dir,
                  "render '" + kSample + "' '" + s->dir.File("top.png") + "' --view top --size " +
                      std::to_string(kWidth) + "x" + std::to_string(kHeight) + " --section " + std::to_string(kTinted));
  s->picture.load(QString::fromStdString(s->dir.File("top.png")));
  std::unique_ptr<TrkDsc> db = CLapforge().DataBaseFromXML(kSample);
  std::string message;
  if (db && s->scene.Build(*db, LAPFORGE_SOURCE_DIR "/examples", nullptr, message)) {
    s->camera.SetStations(s->scene.Stations());
    s->camera.Fit(s->scene.Bounds(), PreviewView::Top);
  }
  CRgbaImage asphalt;
  if (LoadImageFile(LAPFORGE_SOURCE_DIR "/examples/asphalt.dds", asphalt)) {
    const double n = double(asphalt.width) * asphalt.height;
    for (size_t i = 0; i + 3 < asphalt.pixels.size(); i += 4) {
      s->asphalt.r += asphalt.pixels[i] / n;
      s->asphalt.g += asphalt.pixels[i + 1] / n;
      s->asphalt.b += asphalt.pixels[i + 2] / n;
    }
  }
  if (s->offscreen.Start(kWidth, kHeight, s->noContext)) s->offscreen.Upload(s->scene);
  return s;
}

// Where a case looks: the middle of a section's reference line, or a
// point of the picture given as fractions of its size.
struct Probe {
  const char* name;
  int section;   // -1: the point (fx, fy) of the picture
  double fx, fy;
  enum Expect { Asphalt, Tinted, Sky, Picked } expect;
};

void PrintTo(const Probe& p, std::ostream* os) { *os << p.name; }

// The middle station of a section's reference line.
const PreviewStation* MiddleOf(const Sample& s, int section) {
  std::vector<const PreviewStation*> of;
  for (const PreviewStation& st : s.scene.Stations())
    if (st.section == section) of.push_back(&st);
  return of.empty() ? nullptr : of[of.size() / 2];
}

bool PixelOf(const Sample& s, const Probe& p, int& x, int& y) {
  if (p.section < 0) {
    x = static_cast<int>(p.fx * (kWidth - 1)), y = static_cast<int>(p.fy * (kHeight - 1));
    return true;
  }
  const PreviewStation* mid = MiddleOf(s, p.section);
  if (!mid) return false;
  const double world[3] = {mid->x, mid->y, mid->z};
  double px, py;
  if (!s.camera.Project(world, kWidth, kHeight, px, py)) return false;
  x = static_cast<int>(std::lround(px)), y = static_cast<int>(std::lround(py));
  return x >= 0 && y >= 0 && x < kWidth && y < kHeight;
}

class RenderTest : public ::testing::TestWithParam<Probe> {
 public:
  static void SetUpTestSuite() {
    if (std::getenv("DISPLAY")) sample_ = MakeSample();
  }
  static void TearDownTestSuite() { sample_.reset(); }

 protected:
  static std::unique_ptr<Sample> sample_;
};
std::unique_ptr<Sample> RenderTest::sample_;

TEST_P(RenderTest, ShowsWhatLiesThere) {
  if (!sample_) GTEST_SKIP() << "no X display (ctest runs this under xvfb-run)";
  Sample& s = *sample_;
  ASSERT_EQ(s.run.status, 0) << s.run.err;
  ASSERT_FALSE(s.picture.isNull());
  ASSERT_EQ(s.picture.width(), kWidth);
  ASSERT_EQ(s.picture.height(), kHeight);
  const Probe& p = GetParam();
  int x = 0, y = 0;
  ASSERT_TRUE(PixelOf(s, p, x, y)) << p.name;
  const Rgb seen = MeanAround(s.picture, x, y);
  Rgb want;
  double tolerance = 12;
  switch (p.expect) {
    case Probe::Asphalt:
      want = s.asphalt;
      break;
    case Probe::Tinted:
      want = {0.5 * s.asphalt.r + 0.5 * kPreviewTint[0], 0.5 * s.asphalt.g + 0.5 * kPreviewTint[1],
              0.5 * s.asphalt.b + 0.5 * kPreviewTint[2]};
      break;
    case Probe::Sky:
      want = {double(kPreviewBackground[0]), double(kPreviewBackground[1]), double(kPreviewBackground[2])};
      tolerance = 0;
      break;
    case Probe::Picked: {
      ASSERT_TRUE(s.noContext.empty()) << s.noContext;
      EXPECT_EQ(s.offscreen.SectionAtPixel(s.camera, x, y), p.section) << p.name;
      // The same from the ground the scene keeps of each section.
      if (const PreviewStation* mid = MiddleOf(s, p.section)) EXPECT_EQ(s.scene.SectionAt(mid->x, mid->y), p.section);
      return;
    }
  }
  EXPECT_NEAR(seen.r, want.r, tolerance) << p.name << " at " << x << "," << y;
  EXPECT_NEAR(seen.g, want.g, tolerance) << p.name << " at " << x << "," << y;
  EXPECT_NEAR(seen.b, want.b, tolerance) << p.name << " at " << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(
    SampleFromAbove, RenderTest,
    ::testing::Values(Probe{"straight 1", 1, 0, 0, Probe::Asphalt}, Probe{"straight 4", 4, 0, 0, Probe::Asphalt},
                      Probe{"arc 6", 6, 0, 0, Probe::Asphalt}, Probe{"arc 11", 11, 0, 0, Probe::Asphalt},
                      Probe{"straight 9", 9, 0, 0, Probe::Asphalt}, Probe{"straight 13", 13, 0, 0, Probe::Asphalt},
                      Probe{"tinted straight 5", kTinted, 0, 0, Probe::Tinted},
                      Probe{"top left corner", -1, 0, 0, Probe::Sky}, Probe{"bottom right corner", -1, 1, 1, Probe::Sky},
                      Probe{"the infield", -1, 0.5, 0.5, Probe::Sky}, Probe{"pick arc 3", 3, 0, 0, Probe::Picked},
                      Probe{"pick straight 0", 0, 0, 0, Probe::Picked}, Probe{"pick arc 14", 14, 0, 0, Probe::Picked},
                      Probe{"pick nothing", -1, 0.5, 0.5, Probe::Picked}),
    [](const ::testing::TestParamInfo<Probe>& info) {
      return std::regex_replace(info.param.name, std::regex("[^A-Za-z0-9]"), "_");
    });

// A description without sections: the sky alone is written, and the
// command fails with the build's message.
TEST(RenderCommand, NoTrackGivesTheSkyAndFails) {
  if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no X display (ctest runs this under xvfb-run)";
  CTempDir dir;
  std::string xml = ReadText(kSample);
  for (size_t at; (at = xml.find("<Section>")) != std::string::npos;)
    xml.erase(at, xml.find("</Section>", at) + 10 - at);
  WriteText(dir.File("empty.xml"), xml);
  const CliResult run =
      RunCli(LAPFORGE_CLI, dir, "render '" + dir.File("empty.xml") + "' '" + dir.File("empty.png") + "' --size 32x24");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("does not make a track"), std::string::npos) << run.err;
  QImage picture(QString::fromStdString(dir.File("empty.png")));
  ASSERT_EQ(picture.size(), QSize(32, 24));
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 32; ++x)
      ASSERT_EQ(picture.pixel(x, y), qRgb(kPreviewBackground[0], kPreviewBackground[1], kPreviewBackground[2]));
}

}  // namespace

}  // namespace lapforge
