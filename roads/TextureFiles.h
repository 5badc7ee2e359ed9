// Where the texture maps of an export's materials are found: beside the
// description, by the map's path or its file name in any letter case, or
// by its title with another image extension. The glTF export and the 3D
// preview read the images so.
#pragma once

#include <string>

namespace lapforge {

class CGlMaterial;
class CN5Ptf;

// The file a texture map names, looked for beside the description (folder):
// by the map's path under folder (or from the root for an absolute one),
// then by its file name in folder itself, every part of the path in any
// letter case; when the map's own file is in neither place, a file of the
// same title with one of the image extensions. Empty when there is none.
std::string FindTextureFile(const std::string& folder, const std::string& map);

// The title of the file a map names (no folders, no extension), letter
// case kept.
std::string MapTitle(const std::string& map);

// The texture file of a material of the track's mesh: the map the track's
// material table gives it (which keeps the letter case and the folders the
// mesh's own map name has lost), else its own. map gets the map name shown
// in messages. Empty when there is none.
std::string FindMaterialTexture(const CN5Ptf& model, const CGlMaterial& material, const std::string& folder,
                                std::string& map);

}  // namespace lapforge
