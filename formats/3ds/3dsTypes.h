// The 3DS model format: a chunk tree of named triangle objects with their
// materials. CZMaxFile adds the writing.
#pragma once

#include <string>

#include "formats/base/ModelFormat.h"

namespace lapforge {

class CZMax : public CSim {
 public:
  std::string GetTextID() const override { return "3DS"; }
};

}  // namespace lapforge
