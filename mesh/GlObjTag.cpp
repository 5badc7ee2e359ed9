#include "mesh/GlObjTag.h"

namespace lapforge {

void CGlObjTag::ClearObjTag() {
  std::string keep = std::move(name);
  *this = CGlObjTag();
  name = std::move(keep);
}

}  // namespace lapforge
