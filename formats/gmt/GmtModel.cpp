#include "formats/gmt/GmtModel.h"

namespace lapforge {

CZGmt::CZGmt() {
  targetExtension = "tga";
  ddsFlag = true;
  paletteExtension = "dds";
}

void CZGmt::Report(const std::string&) {}

void CZGmt::BuildGL() {}

void CZGmt::TranslateWrite(double dx, double dy, double dz) { CZMts::TranslateWrite(dx, dy, dz); }

}  // namespace lapforge
