#include "mesh/GlMaterial.h"

#include "app/support/FileString.h"

void CGlMaterial::SetMapName(const std::string& path) {
  mapName = path;
  mapTitle = FileString::Title(path);
}
