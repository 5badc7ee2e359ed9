// Progress lines: a percentage rewritten in place only when it changes, a
// line end once done, nothing without a sink.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/Progress.h"

namespace lapforge {

TEST(Progress, PercentOnlyWhenItChangesThenALineEnd) {
  std::FILE* f = std::tmpfile();
  ASSERT_NE(f, nullptr);
  {
    CProgress p("Meshing", 300, f);
    p.Step(), p.Step();  // 0 % once
    p.Step();            // 1 %
    p.Set(450);          // beyond the total: 100 %
    CProgress none("Writing", 10, nullptr);
    none.Step();
    EXPECT_FALSE(none.Shown());
  }
  std::rewind(f);
  std::string s;
  for (int c; (c = std::fgetc(f)) != EOF;) s += static_cast<char>(c);
  EXPECT_EQ(s, "\rMeshing:   0%\rMeshing:   1%\rMeshing: 100%\n");
  std::fclose(f);
}

}  // namespace lapforge
