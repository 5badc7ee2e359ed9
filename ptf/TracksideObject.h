// A trackside object file (".3do"): one scenery object as an object record
// tree. CN5Tso builds such a tree from a mesh (points, faces and their
// materials or textures) and writes it; the track places the file through a
// TSO reference.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ptf/RecordFile.h"

namespace lapforge {

class CGlPointArray;
class CGlFaceArray;
class CGlMaterialArray;
class CGlMipArray;
class CN5Obj;
class CN5ObjGp;

class CN5Tso : public CN5Root {
 public:
  // Builds the switch tree and one shape per material (useMaterials) or per
  // texture, and writes it to path. False, and nothing written, when no shape
  // was made. weekendOption picks the days the object is shown (1 to 4, any
  // other value: every day); extraLod keeps the object at every distance.
  bool MkTso(const std::string& path, const CGlPointArray& points, const CGlFaceArray& faces,
             const CGlMaterialArray& materials, const CGlMipArray& mips, bool useMaterials, int weekendOption,
             bool doubleSided, bool extraLod);
  // Grouped by texture; no materials.
  bool MkTso(const std::string& path, const CGlPointArray& points, const CGlFaceArray& faces, const CGlMipArray& mips,
             int weekendOption, bool doubleSided, bool extraLod);
  // Grouped by material; faces without one first get palette coordinates and
  // the palette material (so both arrays may grow).
  bool MkTso(const std::string& path, const CGlPointArray& points, CGlFaceArray& faces, CGlMaterialArray& materials,
             int weekendOption, bool doubleSided, bool extraLod);

  // The non-deleted faces of one material (one mip) as one shape; mip -1
  // takes the faces without texture or without generated coordinates, split
  // by colour unless the object is a horizon or single-shape object.
  void MakeMatShapes(CN5ObjGp* group, const CGlPointArray& points, const CGlFaceArray& faces, int material,
                     const std::string& materialName, const std::string& mapName, bool doubleSided);
  void MakeMipShapes(CN5ObjGp* group, const CGlPointArray& points, const CGlFaceArray& faces, int mip,
                     const std::string& title, bool doubleSided);
  // One shape of the faces listed (indices into faces).
  void MakeShape(CN5ObjGp* group, const CGlPointArray& points, const CGlFaceArray& faces,
                 const std::vector<int>& selection, bool doubleSided, const std::string& textureName,
                 const std::string& mapName);

  // Whether the face at an index has a coincident face (same vertex position
  // sums) in the array handed to the last MkTso with the double-sided flag.
  bool HasTwin(int face) const { return face >= 0 && size_t(face) < twins_.size() && twins_[size_t(face)]; }

  double lodDistance = 0;   // metres; raised to 200 when written
  int32_t horizon = 0;      // the object is a horizon panel (its path holds "horiz.")
  int32_t singleShape = 0;  // untextured faces make one shape, not one per colour
  int32_t dayNight = 1;     // every state of a "day_night" switch is read

  // The smallest distance at which an object is hidden.
  static constexpr double kMinLodDistance = 200.0;

 private:
  // Builds the switch tree for the object at path and returns its group.
  CN5ObjGp* MakeSwitchTree(const std::string& path, int weekendOption, bool extraLod);
  void MarkTwins(const CGlPointArray& points, const CGlFaceArray& faces);

  std::vector<uint8_t> twins_;
  int shapes_ = 0;
};

// The "Weekend" switch values for a weekend option.
void WeekendValues(int weekendOption, double& low, double& high);

}  // namespace lapforge
