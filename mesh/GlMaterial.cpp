#include "mesh/GlMaterial.h"

#include "support/FileString.h"

namespace lapforge {

void CGlMaterial::SetMapName(const std::string& path) {
  mapName = path;
  mapTitle = FileString::Title(path);
}

}  // namespace lapforge
