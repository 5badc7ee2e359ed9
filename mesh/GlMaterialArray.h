// The material list shared by the blocks of one export, indexed by material
// name so that meshes from many sources merge without duplicates.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "mesh/GlArray.h"
#include "mesh/GlMaterial.h"

namespace lapforge {

class CGlFaceArray;
class CGlBlockArray;
class CGlMipArray;
class CGlMatShader;

// Chooses the catalogue shader of a material that names none; 1 when one
// fitted. The shader dictionary (CGfxDictionary::FindShaderMatch) sits above
// the mesh model, so whoever creates a list hands it in.
using ShaderMatcher = int (*)(CGlMatShader& shader);

class CGlMaterialArray : public CGlArray<CGlMaterial> {
 public:
  // A list without a matcher keeps an empty shader name as it is.
  CGlMaterialArray() = default;
  // A list whose Add gives a material without a shader name the shader that
  // match chooses. A copy of the list keeps the matcher.
  explicit CGlMaterialArray(ShaderMatcher match) : match_(match) {}

  // Name of the material kept for the GPL collision mesh (compared without case).
  static constexpr const char* kCollisionName = "_GPL_COLLISION_MAT";
  static constexpr const char* kRGBMapName = "_rgbmap";
  static constexpr const char* kRGBMapFile = "_rgbmap.tga";

  bool Lookup(const std::string& name, int& index) const;
  // Appends a copy (its shader chosen by the matcher when it names none, the
  // collision material tinted) and maps its name to it.
  int Add(const CGlMaterial& material);
  int LookupAdd(const CGlMaterial& material);
  int AddByTexName(const std::string& path);
  // The palette material "_rgbmap" (map "_rgbmap.tga", after folder if given).
  int AddRGBMapMaterial(const std::string& folder = std::string());
  void ClearUsed();
  void MarkUsed(const CGlFaceArray& faces);
  void MarkUsed(const CGlFaceArray& faces, std::vector<uint8_t>& table) const;
  bool PurgeMaterials(CGlFaceArray& faces, CGlBlockArray& blocks);
  void CreateFromMips(const CGlMipArray& mips);
  void AddMaterialArray(const CGlMaterialArray& source, CGlFaceArray& faces);
  // The same for the faces firstFace .. endFace-1 only (faces placed by one
  // step of an explosion, so that faces merged before are not renumbered twice).
  void AddMaterialArray(const CGlMaterialArray& source, CGlFaceArray& faces, int firstFace, int endFace);
  void RemoveAll();
  // Rebuilds the name map from the current entries (a later entry wins).
  void RebuildMap();

 private:
  std::unordered_map<std::string, int> byName_;
  ShaderMatcher match_ = nullptr;
};

}  // namespace lapforge
