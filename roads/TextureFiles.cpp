#include "roads/TextureFiles.h"

#include "mesh/GlMaterial.h"
#include "support/FileIO.h"
#include "support/FileString.h"
#include "track/N5Ptf.h"

namespace lapforge {

namespace {

// Image kinds tried, in this order, for a map whose own file is not there
// (a detail's texture is named without an extension).
constexpr const char* kImageExtensions[] = {"dds", "tga", "bmp", "png", "jpg", "jpeg"};

// The file part of a path, letter case kept.
std::string FilePart(const std::string& path) {
  const size_t sep = FileString::LastSeparator(path);
  return sep == std::string::npos ? path : path.substr(sep + 1);
}

// A file name without its extension, letter case kept.
std::string TitlePart(const std::string& file) {
  const size_t dot = file.rfind('.');
  return dot == std::string::npos || dot == 0 ? file : file.substr(0, dot);
}

}  // namespace

std::string MapTitle(const std::string& map) { return TitlePart(FilePart(map)); }

std::string FindTextureFile(const std::string& folder, const std::string& map) {
  const std::string file = FilePart(map);
  if (file.empty()) return {};
  const std::string where = map.substr(0, map.size() - file.size());
  // A drive letter names a place on another system: only the file name counts.
  const bool drive = map.size() > 1 && map[1] == ':';
  auto find = [&](const std::string& name) {
    std::string found;
    if (!where.empty() && !drive) found = FindPathNoCase(folder, where + name);
    return found.empty() ? FindFileNoCase(folder, name) : found;
  };
  std::string found = find(file);
  const std::string title = TitlePart(file), extension = FileString::Extension(file);
  for (const char* e : kImageExtensions) {
    if (!found.empty()) break;
    if (extension != e) found = find(title + "." + e);
  }
  return found;
}

std::string FindMaterialTexture(const CN5Ptf& model, const CGlMaterial& material, const std::string& folder,
                                std::string& map) {
  _vars_track_material row;
  map = model.materials.Lookup(material.materialName, row) && !row.mapName.empty() ? row.mapName : material.mapName;
  std::string path = FindTextureFile(folder, map);
  if (path.empty() && map != material.mapName) path = FindTextureFile(folder, material.mapName);
  return path;
}

}  // namespace lapforge
