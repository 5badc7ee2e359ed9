// CZMts object building: one object per material, then the palette object.
#include "formats/mts/MtsModel.h"

#include <algorithm>

#include "formats/shaders/ShaderDictionary.h"
#include "support/FileString.h"
#include "support/TextFormat.h"

namespace lapforge {

CZMts::CZMts() = default;

void CZMts::Report(const std::string&) {}

void CZMts::BuildGL() {}

void CZMts::TranslateWrite(double dx, double dy, double dz) {
  const float fx = static_cast<float>(dx), fy = static_cast<float>(dy), fz = static_cast<float>(dz);
  for (CMtsObj& object : objects) object.points.MovePoints(fx, fy, fz);
  origin[0] -= fx;
  origin[1] -= fz;
  origin[2] -= fy;
}

namespace {

bool ExtensionIn(const std::string& extension, std::initializer_list<const char*> list) {
  for (const char* e : list)
    if (extension == e) return true;
  return false;
}

}  // namespace

std::string CZMts::AdjustedMapName(const std::string& path, bool mainMap) const {
  if (path.empty()) return path;
  const std::string name = FileString::FileName(path);
  const std::string extension = FileString::Extension(name);
  bool keep = ExtensionIn(extension, {"bmp", "tga"}) || (ddsFlag && extension == "dds");
  if (mainMap) keep = keep || extension == "bik" || (ddsFlag && extension == "jpg");
  // The palette map is the one image a road may write itself: its name
  // follows that image so that the game finds what was written.
  if (!paletteExtension.empty() && EqualsNoCase(FileString::Title(name), CGlMaterialArray::kRGBMapName))
    return FileString::ChangeExtension(name, paletteExtension);
  return keep ? name : FileString::ChangeExtension(name, targetExtension);
}

std::string CZMts::PaletteMapName() const {
  return "_RGBMAP." + (paletteExtension.empty() ? targetExtension : paletteExtension);
}

int CZMts::MakeObject(const CGlPointArray& pointList, const CGlFaceArray& faceList, const CGlMipArray&,
                      const CGlMaterialArray& materialList, int, int noClamp, int) {
  points = pointList;
  faces.Copy(faceList);
  uvClamp = noClamp == 0 ? 1 : 0;
  float cx = 0.0f, cy = 0.0f, cz = 0.0f;
  faces.CentreFaces(points, cx, cy, cz, 1);
  origin[0] = cx;
  origin[1] = cz;
  origin[2] = cy;
  faces.FacesExtent(points);
  faces.FaceOnlyNormals(points, false, 0);
  largestExtent = -1.0;
  if (!faces.ExtentsNotComputed()) {
    largestExtent = std::max({largestExtent, static_cast<double>(faces.maxPoint.x - faces.minPoint.x),
                              static_cast<double>(faces.maxPoint.y - faces.minPoint.y),
                              static_cast<double>(faces.maxPoint.z - faces.minPoint.z)});
  }
  MakeMaterialObjects(points, materialList);
  return 1;
}

void CZMts::MakeMaterialObjects(const CGlPointArray& pointList, const CGlMaterialArray& materialList) {
  materials.RemoveAll();
  materials.AddMaterialArray(materialList, faces);
  faces.CreateTextureCoordsFromDiffuseMaterial(materials);
  triangleCount = 0;
  for (int m = 0; m < materials.GetSize(); ++m) MakeMaterials(pointList, faces, m, materials[m], triangleCount);
  MakeShapes(pointList, faces, -1, nullptr, 0);
}

int CZMts::MakeMaterials(const CGlPointArray& pointList, const CGlFaceArray& faceList, int m,
                         const CGlMaterial& material, int& runningCount) {
  size_t count = 0;
  for (const CGlFace& f : faceList) count += (f.materialIndex == m && !f.deleted) ? 1 : 0;
  if (count == 0) return 0;
  CGlFaceArray chosen;
  chosen.Reserve(static_cast<long long>(count));
  for (const CGlFace& f : faceList)
    if (f.materialIndex == m && !f.deleted) chosen.Add(f);
  CGlFaceArray triangles;
  triangles.ToTriangles(chosen);
  runningCount += triangles.GetSize();

  CMtsObj object;
  object.material = material;
  if (object.material.transparencyMode < 0)
    object.material.transparencyMode = object.material.fallbackTransparencyMode;
  object.material.mapName = AdjustedMapName(material.mapName, true);
  for (CGlShaderTex& map : object.material.shader.maps)
    map.textureName = AdjustedMapName(map.textureName, false);
  object.mapName = object.material.mapName;
  object.objectName = material.materialName;
  return AddMaterial(pointList, triangles, std::move(object));
}

int CZMts::MakeShapes(const CGlPointArray& pointList, const CGlFaceArray& faceList, int selection,
                      const CGlMip* mip, int flag) {
  CGlFaceArray chosen;
  for (const CGlFace& f : faceList) {
    if (f.deleted || f.materialIndex != -1) continue;
    const bool take = selection < 0 ? (f.mipIndex < 0 || f.hasUVs == 0) : (f.mipIndex == selection && f.hasUVs);
    if (take) chosen.Add(f);
  }
  return ShapeFromMip(pointList, chosen, mip, flag);
}

int CZMts::ShapeFromMip(const CGlPointArray& pointList, const CGlFaceArray& faceList, const CGlMip* mip, int flag) {
  CGlFaceArray triangles;
  triangles.ToTriangles(faceList);
  CGlMaterialArray palette(CGfxDictionary::FindShaderMatch);
  triangles.CreateTextureCoordsFromRGB(palette, std::string());
  triangleCount += triangles.GetSize();

  CMtsObj object;
  object.objectName = "_RGBMAP";
  object.mapName = PaletteMapName();
  if (mip) {
    object.objectName = FileString::Title(mip->mipName);
    object.mapName = FileString::ChangeExtension(FileString::FileName(mip->mipName), targetExtension);
    object.material.transparencyMode = static_cast<int16_t>(mip->mipFlag);
  }
  object.material.materialName = object.objectName;
  object.material.mapName = object.mapName;
  object.material.noDepthWrite = static_cast<int8_t>(flag);
  return AddMaterial(pointList, triangles, std::move(object));
}

namespace {

// What adding one triangle changed in the source-to-piece map, so that a
// triangle that does not fit can be taken back.
struct CornerUndo {
  size_t source;
  int32_t index;
  int32_t piece;
};

// The pieces of one object, each of at most CZMts::kVertexLimit vertices
// so that every index fits 16 bits; a piece shares the vertices of its
// triangles. remap[source] names the piece vertex of a source point, valid
// while remapPiece[source] is the current piece.
class CPieceFiller {
 public:
  CPieceFiller(const CGlPointArray& pointList, const CMtsObj& object, int32_t first, size_t triangles)
      : pointList_(pointList),
        object_(object),
        first_(first),
        remaining_(triangles),
        remap_(pointList.size(), -1),
        remapPiece_(pointList.size(), -1) {
    Start();
  }

  CMtsObj& Current() { return current_; }

  // The next piece, empty.
  void Next() {
    ++piece_;
    Start();
  }

  // Adds the fan triangle of f over the corners to the current piece; false
  // (and nothing added) when its new vertices would not fit.
  bool AddTriangle(const CGlFace& f, const int (&corners)[3]) {
    const int before = current_.points.GetSize();
    CornerUndo undo[3];
    CGlFace t;
    t.vertexCount = 3;
    t.mipIndex = first_ + piece_;
    t.materialIndex = f.materialIndex;
    t.normal = f.normal;
    t.normalValid = f.normalValid;
    t.hasUVs = 1;
    for (int c = 0; c < 3; ++c) {
      const int corner = corners[c];
      const CGlPoint& from = pointList_.Get(f.vertices[corner]);
      const size_t source = static_cast<size_t>(f.vertices[corner]);
      const bool hasPair = corner < f.GetUVCount();
      const float u = hasPair ? f.uvs[2 * corner] : 0.0f;
      const float v = hasPair ? f.uvs[2 * corner + 1] : 0.0f;
      undo[c] = {source, remap_[source], remapPiece_[source]};
      // A corner whose point this piece already holds with the same
      // coordinates shares it; the point is copied only when it is new.
      int32_t mapped = remapPiece_[source] == piece_ ? remap_[source] : -1;
      if (mapped < 0 || current_.points.data()[mapped].u != u || current_.points.data()[mapped].v != v) {
        CGlPoint& p = current_.points.Items().emplace_back(from);
        p.u = u;
        p.v = v;
        p.hasUV = 1;
        if (!p.hasNormal) {
          p.nx = f.normal.x;
          p.ny = f.normal.y;
          p.nz = f.normal.z;
          p.hasNormal = 1;
        }
        mapped = current_.points.GetSize() - 1;
        remap_[source] = mapped;
        remapPiece_[source] = piece_;
      }
      t.vertices[c] = mapped;
      t.AddUV(u, v);
    }
    if (current_.points.GetSize() > CZMts::kVertexLimit) {
      for (int c = 2; c >= 0; --c) {
        remap_[undo[c].source] = undo[c].index;
        remapPiece_[undo[c].source] = undo[c].piece;
      }
      current_.points.SetSize(before);
      return false;
    }
    current_.faces.Add(std::move(t));
    --remaining_;
    return true;
  }

 private:
  void Start() {
    current_ = CMtsObj();
    current_.mapName = object_.mapName;
    current_.objectName = CZMts::PieceName(object_.objectName, piece_ + 1);
    current_.material = object_.material;
    current_.faces.Reserve(static_cast<long long>(remaining_));
    current_.points.Reserve(
        static_cast<long long>(std::min({pointList_.size(), remaining_ * 3, size_t{CZMts::kVertexLimit}})));
  }

  const CGlPointArray& pointList_;
  const CMtsObj& object_;
  const int32_t first_;
  int32_t piece_ = 0;
  size_t remaining_;
  std::vector<int32_t> remap_, remapPiece_;
  CMtsObj current_;
};

}  // namespace

int CZMts::AddMaterial(const CGlPointArray& pointList, const CGlFaceArray& triangles, CMtsObj object) {
  size_t fanTriangles = 0;
  for (const CGlFace& f : triangles)
    if (f.GetUVCount() > 0 && f.GetVertexCount() >= 3) fanTriangles += static_cast<size_t>(f.GetVertexCount() - 2);
  // An object of no triangles is left out: GMT readers refuse an object of
  // no vertices, and no game file of these formats carries one.
  if (fanTriangles == 0) return -1;

  const int32_t first = static_cast<int32_t>(objects.size());
  CPieceFiller pieces(pointList, object, first, fanTriangles);
  for (const CGlFace& f : triangles) {
    if (f.GetUVCount() == 0) continue;
    const int n = f.GetVertexCount();
    for (int j = 0; j + 2 < n; ++j) {
      const int corners[3] = {0, j + 1, j + 2};
      if (pieces.AddTriangle(f, corners)) continue;
      objects.push_back(std::move(pieces.Current()));
      pieces.Next();
      pieces.AddTriangle(f, corners);  // three vertices always fit an empty piece
    }
  }
  objects.push_back(std::move(pieces.Current()));
  return first;
}

int CZMts::TotalTriangles() const {
  int total = 0;
  for (const CMtsObj& object : objects) total += object.faces.GetSize();
  return total;
}

float CZMts::FarDistance() const {
  if (!(largestExtent > 0.0)) return 5000.0f;
  return static_cast<float>(10.0 * std::clamp(largestExtent, 50.0, 1000.0));
}

}  // namespace lapforge
