#include <gtest/gtest.h>

#include "support/SafeFileTitles.h"

namespace lapforge {

// Names given in turn to one set of titles, and the title each becomes.
TEST(SafeFileTitles, EveryNameBecomesASafeUniqueTitle) {
  struct Case {
    const char* name;
    const char* title;
  };
  const Case cases[] = {
      {"TrackObj000", "TrackObj000"},    // safe names stay as they are
      {"../../escape", "______escape"},  // no separator, no ".."
      {"C:\\x", "C__x"},
      {"xpitBoard.v2", "xpitBoard_v2"},  // the scene cuts a title at a dot
      {"my board", "my_board"},          // a blank ends a scene file entry
      {"tab\there\n", "tab_here_"},      // control characters
      {"board", "board"},
      {"Board", "Board_2"},  // repeats differ in more than letter case
      {"board", "board_3"},
      {"board_2", "board_2_2"},
      {"", "Obj0011"},  // the eleventh name
      {"con", "con_"},  // device names of the games' platform
      {"LPT9", "LPT9_"},
      {"COM10", "COM10"},
      {"Tribüne", "Trib__ne"},  // bytes outside ASCII
  };
  CSafeFileTitles titles(63);
  for (const Case& c : cases) EXPECT_EQ(titles.Next(c.name), c.title) << c.name;
}

// A title is cut to the length given, and a repeat's number fits within it.
TEST(SafeFileTitles, LongNamesAreCutAndRepeatsStayWithinTheLength) {
  CSafeFileTitles titles(10);
  EXPECT_EQ(titles.Next("abcdefghijklmnop"), "abcdefghij");
  EXPECT_EQ(titles.Next("abcdefghijXYZ"), "abcdefgh_2");
  EXPECT_EQ(titles.Next("abcdefghij"), "abcdefgh_3");
}

}  // namespace lapforge
