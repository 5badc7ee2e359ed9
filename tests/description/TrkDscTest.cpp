#include "description/TrkDsc.h"

#include <gtest/gtest.h>

TEST(TrkDsc, Smoke) {
  TrkDsc ds;
  auto s = ds.Section.AddSectionRow(0, 1, 0.0, 100.0, 0.0, 0.0, 0.0, 0.0);
  auto t = ds.Traction.AddTractionRow(-5.0, -5.0, 2, 0, false, 0.0f, 0.0f, 0.0f, 0.0f, s);
  EXPECT_EQ(s.GetTractionRows().size(), 1u);
  EXPECT_EQ(t.SectionRow(), s);
}
