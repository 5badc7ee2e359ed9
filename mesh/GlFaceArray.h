// The face array of a mesh: polygons indexing a CGlPointArray, their extents,
// the per-material triangle lists, and the operations that triangulate,
// order, merge, purge, shade and texture them. Faces are removed by flag
// and compacted by copying, so indices held elsewhere stay valid.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "mesh/GlArray.h"
#include "mesh/GlFace.h"
#include "mesh/GlPoint.h"
#include "mesh/GlPointArray.h"

namespace lapforge {

class CGlMaterialArray;
class CGlMipArray;

class CGlFaceArray : public CGlArray<CGlFace> {
 public:
  CGlFaceArray();

  // --- records, extents, triangulation, ordering, merging, purging ---
  int CountFaces() const;
  bool AllTriangles() const;
  // True when the extents are marked not computed (min.x above max.x).
  bool ExtentsNotComputed() const { return minPoint.x > maxPoint.x; }
  void ResetExtents();
  void FacesExtent(const CGlPointArray& points);
  void GetExtents(const CGlPointArray& points, CGlPoint& outMin, CGlPoint& outMax);
  void CentreFaces(CGlPointArray& points, float& cx, float& cy, float& cz, int centreZ);
  void Copy(const CGlFaceArray& source);
  int Duplicate(int index);
  void AppendFaces(const CGlFaceArray& sourceFaces, const CGlPointArray& sourcePoints, CGlPointArray& destPoints);
  void ExtractSaveFaces(CGlFaceArray& destination, bool all) const;
  void ToTriangles(const CGlFaceArray& source);
  void SortByMaterial(const CGlFaceArray& source, const CGlMaterialArray& materials, int first);
  void FindFacesMatching(const std::vector<int32_t>& indices, CGlFaceArray& destination) const;
  int MarkUsedPoints(std::vector<uint8_t>& used, int pointCount) const;
  void CreateTriangleArrays();
  void Reverse(int index);
  void ReverseAll();
  void Mirror(CGlPointArray& points, bool mx, bool my, bool mz);
  void PurgeZeroSizeFaces(const CGlPointArray& points);
  // Welds vertices equal under CompareXYZ (positionOnly) or Compare and drops
  // the points no live face uses; faces naming a dropped point (deleted ones
  // only) get -1. Every index is checked before anything changes.
  void PurgeDuplicatePoints(CGlPointArray& points, bool positionOnly);
  int RenumberMaterials(const std::vector<int32_t>& map);
  void DeleteMaterialIndex(int material);

  // --- normals, shading, vertex alpha, tangents ---
  void FaceOnlyNormals(const CGlPointArray& points, bool onlyMissing, int firstFace);
  void FacetNormals(CGlPointArray& points, bool onlyMissing, int firstFace);
  void UpNormals(CGlPointArray& points);
  void VertexShading(CGlPointArray& points);
  // mode 0 random, 1 height, 2 steepness, 3 distance from the centre. A
  // range of 0 (flat mesh, equal normals, every point on the centre) divides
  // by 1 instead, so those meshes get alpha 0.
  void SetVertexAlpha(CGlPointArray& points, int material, int mode);
  void TangentVectors(CGlPointArray& points, std::vector<_float_xyz>& bitangents, int material);

  // --- face texture coordinates ---
  // Palette coordinates in "_rgbmap.tga" for a colour with components in 0..1.
  static void SetPaletteUVs(CGlFace& face, float r, float g, float b);
  // Planar projection (x / scale, y / scale). A scale of 0 (or not finite)
  // is taken as 1; a quotient too large for float32 is stored as 0.
  void SetUVScale(const CGlPointArray& points, float scale);
  void AutoMakeMips(const CGlPointArray& points, const CGlMipArray& textures, const std::string& title, double scale);
  void CreateTextureCoordsFromDiffuseMaterial(CGlMaterialArray& materials);
  void CreateTextureCoordsFromRGB(CGlMaterialArray& materials, const std::string& name);
  void ReScaleTextures(CGlPointArray& points, int channel, int material, float su, float sv, float ou, float ov,
                       float uFrom, float uTo, float vFrom, float vTo);
  void ReplaceTexturesFromMaterials(CGlMipArray& textures, const CGlMaterialArray& materials);

  CGlPoint minPoint;
  CGlPoint maxPoint;
  CGlPoint centrePoint;
  std::vector<CGlTriangles> triangleLists;
};

}  // namespace lapforge
