// The drive camera's moves along a track of four sections of 10 m each
// (stations every 5 m, a joint's station twice, once per section), a lap
// of 40 m: where each move from a starting distance leaves the driver.
#include <gtest/gtest.h>

#include <vector>

#include "preview/PreviewCamera.h"

namespace lapforge {

namespace {

struct Move {
  const char* name;
  double from;  // metres from the start line
  enum Kind { Next, Previous, By, ToSection } kind;
  double amount;  // metres for By, the section for ToSection
  double to;      // metres after the move
  int section;    // the section there
};

void PrintTo(const Move& m, std::ostream* os) { *os << m.name; }

std::vector<PreviewStation> FourSections() {
  std::vector<PreviewStation> stations;
  for (int s = 0; s < 4; ++s)
    for (int k = 0; k <= 2; ++k) {
      PreviewStation st;
      st.distance = float(10 * s + 5 * k);
      st.x = st.distance;
      st.section = s;
      stations.push_back(st);
    }
  return stations;
}

class DriveTest : public ::testing::TestWithParam<Move> {};

TEST_P(DriveTest, EndsWhereItShould) {
  const Move& m = GetParam();
  CPreviewCamera camera;
  camera.SetStations(FourSections());
  PreviewBounds bounds;
  camera.Fit(bounds, PreviewView::Drive);
  camera.DriveBy(m.from - camera.DriveDistance());
  ASSERT_DOUBLE_EQ(camera.DriveDistance(), m.from);
  switch (m.kind) {
    case Move::Next:
      camera.NextSection();
      break;
    case Move::Previous:
      camera.PreviousSection();
      break;
    case Move::By:
      camera.DriveBy(m.amount);
      break;
    case Move::ToSection:
      // A section the track does not have leaves the driver where he is.
      EXPECT_EQ(camera.DriveToSection(static_cast<int>(m.amount)), m.amount < 4);
      break;
  }
  EXPECT_DOUBLE_EQ(camera.DriveDistance(), m.to);
  EXPECT_EQ(camera.DriveSection(), m.section);
  // The eye is 1.3 m above the line there, looking along it (+X).
  double eye[3], target[3];
  camera.Eye(eye);
  camera.Target(target);
  EXPECT_DOUBLE_EQ(eye[0], m.to);
  EXPECT_NEAR(eye[2], 1.3, 1e-6);
  EXPECT_GT(target[0], eye[0]);
}

INSTANTIATE_TEST_SUITE_P(
    FourSections, DriveTest,
    ::testing::Values(Move{"next from the start", 0, Move::Next, 0, 10, 1},
                      Move{"next from a joint", 10, Move::Next, 0, 20, 2},
                      Move{"next from the middle", 25, Move::Next, 0, 30, 3},
                      Move{"next from the last", 35, Move::Next, 0, 0, 0},
                      Move{"previous from the middle", 15, Move::Previous, 0, 10, 1},
                      Move{"previous from a start", 20, Move::Previous, 0, 10, 1},
                      Move{"previous from the first", 0, Move::Previous, 0, 30, 3},
                      Move{"back over the line", 2, Move::By, -5, 37, 3},
                      Move{"on over the line", 38, Move::By, 7, 5, 0},
                      Move{"to section 2", 0, Move::ToSection, 2, 20, 2},
                      Move{"to no section", 15, Move::ToSection, 9, 15, 1}),
    [](const ::testing::TestParamInfo<Move>& info) {
      std::string name = info.param.name;
      for (char& c : name)
        if (c == ' ') c = '_';
      return name;
    });

}  // namespace

}  // namespace lapforge
