// Properties of the meshed track over whole circuits: the sample circuit and
// generated closed circuits, flat and banked.
#include <gtest/gtest.h>

#include <cmath>

#include "description/TrkDsc.h"
#include "ptf/N5PtfDb.h"
#include "tests/support/TestSupport.h"
#include "tests/support/description/Descriptions.h"

namespace {

void BuildCircuit(const CircuitOptions& o, CN5PtfDb& model) {
  CRecordingUI ui;
  TrkDsc ds;
  FillGeneratedCircuit(ds, o);
  ASSERT_EQ(PTFObjFromDataBase(ds, model, ""), 1) << (ui.shown.empty() ? "" : ui.shown[0].text);
}

}  // namespace

TEST(GeneratedCircuit, ClosesOnItselfWithTheRequestedLengthAndHeightsThatMeet) {
  CircuitOptions o;
  o.banked = true;
  CN5PtfDb model;
  BuildCircuit(o, model);
  ASSERT_EQ(model.NoSegments(true), 8);
  // The engine's truncated degree factor leaves a few micrometres.
  EXPECT_NEAR(model.GetTrackLength(), 2000, 1e-4);
  CN5ObjSg* last = model.GetSegObj(7);
  EXPECT_NEAR(last->endX, 0, 1e-4);
  EXPECT_NEAR(last->endY, 0, 1e-4);
  // Banked: the outer edge 0.08 x 18 = 1.44 m up at the end of every arc,
  // and level again at the end of every straight.
  EXPECT_NEAR(last->GetHeight(last->length, -9), 1.44, 1e-9);
  EXPECT_NEAR(model.GetSegObj(0)->GetHeight(0, -9), 1.44, 1e-9);
  EXPECT_NEAR(model.GetSegObj(0)->GetHeight(model.GetSegObj(0)->length, -9), 0, 1e-9);
  // Four surfaces (five band edges) and two walls per segment.
  EXPECT_EQ(model.GetSegObj(3)->bands.size(), 5u);
  EXPECT_EQ(model.GetSegObj(3)->walls.size(), 2u);
}
