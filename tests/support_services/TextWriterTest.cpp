// The CRLF text writer formats straight into its text: lines of any length,
// one after another, without losing or doubling bytes at the growth steps.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "support/TextFormat.h"

namespace lapforge {

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
  CTextWriter w;
  w.AppendF("(%4.4f,%g,%e)|%Lf|", std::nan(""), -HUGE_VAL, HUGE_VAL, static_cast<long double>(HUGE_VAL));
  w.LineF("%s=%d %5.1f%% %*.*f %-4u| %lld %zu %c %x", "inf", -3, -std::nan(""), 7, 2, 2.5, 42u, -9LL, size_t{12}, 'n',
          255u);
  EXPECT_EQ(w.Text(), "(0.0000,0,0.000000e+00)|0.000000|inf=-3   0.0%    2.50 42  | -9 12 n ff\r\n");
}

}  // namespace lapforge
