// The GTR model format: the MTS object builder with GTR's texture policy
// (target extension "tga", ".dds" maps kept). CZGtrFile adds the writing.
#pragma once

#include "formats/mts/MtsModel.h"

namespace lapforge {

class CZGtr : public CZMts {
 public:
  CZGtr() {
    targetExtension = "tga";
    ddsFlag = true;
  }
  std::string GetTextID() const override { return "GTR"; }
};

}  // namespace lapforge
