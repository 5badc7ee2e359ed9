// The racing line computed for tracks built from descriptions, through the
// track model: on a straight it keeps to the middle, on a circle to the
// outside at a constant offset, through a corner between straights it runs
// outside-inside-outside; everywhere it keeps the margin, its lap time is
// below the middle line's where there are corners to straighten (on a
// circle the wider line is longer and slower), and its LP file reads back
// as the same line.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

#include "description/TrkDsc.h"
#include "formats/aiw/LpFile.h"
#include "mapping/PtfMapping.h"
#include "roads/ComputedLine.h"
#include "roads/Lapforge.h"
#include "tests/support/TestSupport.h"

namespace lapforge {

namespace {

constexpr double kPi = 3.14159265358979323846;

// One section: a straight (turn 0) or an arc of radius radius turning by
// turn degrees (left positive).
struct Piece {
  double length = 0;
  double turn = 0;
  double radius = 0;
};
Piece Straight(double length) { return {length, 0, 0}; }
Piece Arc(double radius, double turn) { return {radius * std::fabs(turn) * kPi / 180, turn, radius}; }

// A flat track of pieces, asphalt from -width/2 to width/2 (the grass band
// at the left edge only closes the strip).
void FillPieces(TrkDsc& ds, const std::vector<Piece>& pieces, double width) {
  ds.TrackSummary.AddTrackSummaryRow("line test", "", 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, false, 0.5, 15.0f, 4.0f,
                                     5.0f);
  double start = 0, heading = 0;
  for (size_t i = 0; i < pieces.size(); ++i) {
    const Piece& p = pieces[i];
    auto s = ds.Section.AddSectionRow(static_cast<uint16_t>(i), static_cast<int8_t>(p.turn != 0 ? 1 : 0), start,
                                      p.length, heading, p.turn, p.radius, 0.0);
    ds.Traction.AddTractionRow(-width / 2, -width / 2, static_cast<uint16_t>(1), static_cast<uint16_t>(0), false,
                               nullptr, nullptr, nullptr, nullptr, s);
    ds.Traction.AddTractionRow(width / 2, width / 2, static_cast<uint16_t>(5), static_cast<uint16_t>(0), false,
                               nullptr, nullptr, nullptr, nullptr, s);
    start += p.length;
    heading += p.turn;
  }
}

// The line's offset expected at a distance, within tol.
struct Expect {
  double distance, offset, tol;
};

struct LineCase {
  const char* name;
  std::function<void(TrkDsc&)> fill;
  std::vector<Expect> expect;
  double curvatureAbove = 0;  // the line's curvature lies between this and the centre line's
  double centreCurvature = 0;
  // The lap time over the middle line's, worked out by hand; 0 when it is
  // only known to be below it.
  double lapRatio = 0;
};

void PrintTo(const LineCase& c, std::ostream* os) { *os << c.name; }

// The rounded square: straights of 300 m and left corners of radius 50 m,
// 12 m wide; with the 1 m margin the line may use -5 to 5. A corner's
// middle is 300 + 78.54 / 2 = 339.27 m along.
const double kQuarter50 = 50 * kPi / 2;

const LineCase kCases[] = {
    // An open straight: nothing turns, the line keeps to the middle.
    {"Straight", [](TrkDsc& ds) { FillPieces(ds, {Straight(400)}, 12); },
     {{0, 0, 0.01}, {200, 0, 0.01}, {400, 0, 0.01}}, 0, 0, 1},
    // A circle of radius 100 m and width 12 m: the widest circle it holds
    // runs 5 m outside the centre (the right, turning left), radius 105 m.
    // At the grip limit a lap of radius r takes 2 pi r / sqrt(mu g r), so
    // the wider line is the slower one here, by sqrt(105 / 100).
    {"Circle", [](TrkDsc& ds) { FillPieces(ds, {Arc(100, 90), Arc(100, 90), Arc(100, 90), Arc(100, 90)}, 12); },
     {{0, -5, 0.02}, {100, -5, 0.02}, {300, -5, 0.02}, {500, -5, 0.02}},
     1 / 105.0 - 1e-4, 1 / 100.0, std::sqrt(1.05)},
    // Straight middles on the outside edge, corner middles on the inside.
    {"RoundedSquare",
     [](TrkDsc& ds) {
       FillPieces(ds, {Straight(300), Arc(50, 90), Straight(300), Arc(50, 90), Straight(300), Arc(50, 90),
                       Straight(300), Arc(50, 90)},
                  12);
     },
     {{150, -5, 0.05},
      {300 + kQuarter50 / 2, 5, 0.05},
      {450 + kQuarter50, -5, 0.05},
      {900 + 2.5 * kQuarter50, 5, 0.05}}},
    // The sample circuit: its bounds and lap time only.
    {"SampleCircuit",
     [](TrkDsc& ds) { ASSERT_TRUE(ds.ReadXml(LAPFORGE_SOURCE_DIR "/examples/sample-circuit.xml")); },
     {}},
};

class ComputedLineOnTracks : public ::testing::TestWithParam<LineCase> {
 protected:
  CScopedSettings settings;
  CRecordingUI ui;
};

TEST_P(ComputedLineOnTracks, KeepsTheMarginBeatsTheMiddleLineAndReadsBackFromItsLpFile) {
  const LineCase& c = GetParam();
  TrkDsc db;
  c.fill(db);
  CN5PtfDb model;
  ASSERT_TRUE(CLapforge().PTFObjFromDataBase(db, model, ""));
  LineOptions options;
  ComputedLine computed;
  ASSERT_TRUE(ComputeRacingLine(db, model, options, computed, "test"));
  const CRacingLine& l = computed.line;
  const std::vector<_rl_station>& st = computed.track.stations;
  ASSERT_EQ(l.offset.size(), st.size());
  EXPECT_LE(computed.track.step, options.step);

  for (const Expect& e : c.expect) EXPECT_NEAR(computed.OffsetAt(e.distance), e.offset, e.tol) << e.distance;
  std::vector<double> middle(st.size());
  for (size_t i = 0; i < st.size(); ++i) {
    EXPECT_GE(l.offset[i], st[i].lo + options.margin - 1e-6) << st[i].distance;
    EXPECT_LE(l.offset[i], st[i].hi - options.margin + 1e-6) << st[i].distance;
    middle[i] = (st[i].lo + st[i].hi) / 2;
    if (c.centreCurvature > 0) {
      EXPECT_LT(std::fabs(l.curvature[i]), c.centreCurvature) << st[i].distance;
      EXPECT_GT(std::fabs(l.curvature[i]), c.curvatureAbove) << st[i].distance;
    }
  }

  // The middle of the strip, evaluated the same way.
  CRacingLine centre;
  _rl_options opt;
  opt.closed = computed.track.closed;
  opt.margin = options.margin;
  ASSERT_TRUE(centre.Evaluate(st, opt, middle)) << centre.error.message;
  if (c.lapRatio == 0)
    EXPECT_LT(l.lapTime, centre.lapTime - 0.01);
  else
    EXPECT_NEAR(l.lapTime / centre.lapTime, c.lapRatio, 1e-3);

  // The LP file: one record every 3 m over the track, read back by the
  // reader of the AI waypoint road.
  const std::vector<float> laterals = LineLpLaterals(computed);
  std::vector<float> back;
  ASSERT_EQ(CLReadLP::ParseLP(LpFileBytes(laterals), "race.lp", back),
            static_cast<int>(std::ceil(computed.track.length / 3)));
  for (size_t k = 0; k < back.size(); ++k) EXPECT_NEAR(back[k], computed.OffsetAt(3.0 * k), 1e-3) << k;
  EXPECT_TRUE(ui.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Tracks, ComputedLineOnTracks, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

}  // namespace lapforge
