// The CRLF text writer formats straight into its text: lines of any length,
// one after another, without losing or doubling bytes at the growth steps.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>

#include "app/support/TextFormat.h"

TEST(TextWriter, FormattedLinesOfAnyLengthEndInCrLf) {
  CTextWriter out;
  out.LineF("a=%d", 1);
  out.AppendF("(%4.4f,%3.3f)", -1.5707963, 2.0);
  out.Line();
  const std::string longText(300, 'x');  // beyond the room formatted in place
  out.LineF("%s|%d", longText.c_str(), 7);
  out.Line("end");
  EXPECT_EQ(out.Text(), "a=1\r\n(-1.5708,2.000)\r\n" + longText + "|7\r\nend\r\n");
}

// A game reads neither "nan" nor "inf": every floating conversion writes a
// value that is not finite as 0, and every other conversion (widths and
// precisions from arguments included) prints as printf prints it.
TEST(TextWriter, NonFiniteNumbersAreWrittenAsZero) {
  const double nan = std::nan(""), inf = HUGE_VAL;
  const std::pair<std::string, std::string> cases[] = {
      {[&] {
         CTextWriter w;
         w.AppendF("(%4.4f,%4.4f,%4.4f)", nan, -inf, inf);
         return w.Take();
       }(),
       "(0.0000,0.0000,0.0000)"},
      {[&] {
         CTextWriter w;
         w.AppendF("%g|%e|%3.3f|%Lf", -nan, inf, 1.25, static_cast<long double>(inf));
         return w.Take();
       }(),
       "0|0.000000e+00|1.250|0.000000"},
      {[&] {
         CTextWriter w;
         w.AppendF("%s=%d %5.1f%% %*.*f %-4u| %lld %zu %c %x", "inf", -3, nan, 7, 2, 2.5, 42u, -9LL, size_t{12}, 'n',
                   255u);
         return w.Take();
       }(),
       "inf=-3   0.0%    2.50 42  | -9 12 n ff"},
  };
  for (const auto& [got, want] : cases) EXPECT_EQ(got, want);
}
