// The material list shared by the blocks of one export, indexed by material
// name so that meshes from many sources merge without duplicates.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "mesh/GlArray.h"
#include "mesh/GlMaterial.h"

class CGlFaceArray;
class CGlBlockArray;
class CGlMipArray;

class CGlMaterialArray : public CGlArray<CGlMaterial> {
 public:
  // Name of the material kept for the GPL collision mesh (compared without case).
  static constexpr const char* kCollisionName = "_GPL_COLLISION_MAT";
  static constexpr const char* kRGBMapName = "_rgbmap";
  static constexpr const char* kRGBMapFile = "_rgbmap.tga";

  bool Lookup(const std::string& name, int& index) const;
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
};
