// The CRLF text writer formats straight into its text: lines of any length,
// one after another, without losing or doubling bytes at the growth steps.
#include <gtest/gtest.h>

#include <string>

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

