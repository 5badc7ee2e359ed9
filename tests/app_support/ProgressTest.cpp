// Progress lines: a percentage rewritten in place, only when it changes,
// and a line end once done; nothing without a sink.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/support/Progress.h"

namespace {

std::string Contents(std::FILE* f) {
  std::rewind(f);
  std::string s;
  for (int c; (c = std::fgetc(f)) != EOF;) s += static_cast<char>(c);
  return s;
}

}  // namespace

TEST(Progress, PercentOnlyWhenItChangesThenALineEnd) {
  std::FILE* f = std::tmpfile();
  ASSERT_NE(f, nullptr);
  {
    CProgress p("Meshing", 300, f);
    p.Step();  // 0 %
    p.Step();  // still 0 %
    p.Step();  // 1 %
    p.Set(300);
    p.Set(450);  // beyond the total: 100 %, not again
  }
  EXPECT_EQ(Contents(f), "\rMeshing:   0%\rMeshing:   1%\rMeshing: 100%\n");
  std::fclose(f);
}

TEST(Progress, NothingWithoutASinkOrBeforeTheFirstStep) {
  std::FILE* f = std::tmpfile();
  ASSERT_NE(f, nullptr);
  { CProgress idle("Writing", 10, f); }
  { CProgress empty("Writing", 0, f); empty.Step(); }  // no total: done at once
  EXPECT_EQ(Contents(f), "\rWriting: 100%\n");
  std::fclose(f);
  CProgress none("Writing", 10, nullptr);
  none.Step();
  EXPECT_FALSE(none.Shown());
}
