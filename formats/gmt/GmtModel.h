// The rFactor model (GMT) format: the MTS object builder with the rFactor
// texture policy (target extension "tga", ".dds" maps kept, the palette map
// named after the "_rgbmap.dds" image the rFactor road writes).
#pragma once

#include "formats/mts/MtsModel.h"

namespace lapforge {

class CZGmt : public CZMts {
 public:
  CZGmt();
  std::string GetTextID() const override { return "RFACTOR"; }
  void Report(const std::string& text) override;
  void BuildGL() override;
  // Moves the objects as CZMts does; the GMT origin is the object tag's
  // position and moves with them.
  void TranslateWrite(double dx, double dy, double dz) override;
};

}  // namespace lapforge
