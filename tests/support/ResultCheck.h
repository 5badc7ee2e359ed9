// A result of the core as a test checks it: true when Ok, with its message
// kept for the expectations that look into it.
#pragma once

#include <string>

#include "support/Result.h"

namespace lapforge {

// message takes the result's text (empty for Ok).
inline bool Ok(const Result& result, std::string& message) {
  message = result.Text();
  return static_cast<bool>(result);
}

}  // namespace lapforge
