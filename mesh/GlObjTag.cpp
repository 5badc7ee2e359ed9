#include "mesh/GlObjTag.h"

void CGlObjTag::ClearObjTag() {
  std::string keep = std::move(name);
  *this = CGlObjTag();
  name = std::move(keep);
}
