// The text a caught error is shown with: a failed allocation names the step
// the command was in, innermost first, even once the steps are left.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "support/Errors.h"

namespace lapforge {

namespace {

template <class Work>
std::string Caught(Work work) {
  try {
    work();
  } catch (const std::exception& e) {
    return ErrorText(e);
  }
  return "nothing thrown";
}

}  // namespace

TEST(ErrorText, OutOfMemoryNamesTheStepItLeft) {
  EXPECT_EQ(Caught([] { throw std::bad_alloc(); }), "out of memory");
  EXPECT_EQ(Caught([] {
              CWorkStep outer("building the track");
              CWorkStep inner("meshing the track");
              throw std::bad_alloc();
            }),
            "out of memory while meshing the track");
  CWorkStep outer("writing track.gmt");
  EXPECT_EQ(Caught([] { throw std::bad_array_new_length(); }), "out of memory while writing track.gmt");
  // A failure dealt with by a handler that did not ask is forgotten once
  // the next step begins; any other error keeps its own words.
  try {
    CWorkStep step("reading a.xml");
    throw std::runtime_error("x");
  } catch (const std::runtime_error&) {
  }
  { CWorkStep next("checking the track"); }
  EXPECT_EQ(Caught([] { throw std::bad_alloc(); }), "out of memory while writing track.gmt");
  EXPECT_EQ(Caught([] {
              CWorkStep step("meshing the track");
              throw std::invalid_argument("no segment 3");
            }),
            "no segment 3");
}

}  // namespace lapforge
