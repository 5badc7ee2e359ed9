// CZMts object building: one object per material, then the palette object.
#include "formats/mts/MtsModel.h"

#include <algorithm>
#include <cmath>

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

namespace {

// The extents of faces whose points were all moved by (dx, dy, dz), moved
// the same way instead of found again: adding one value to every
// coordinate keeps their order, so the moved minimum and maximum are the
// old ones moved, to the bit. False (nothing changed) when an axis has no
// extent (minimum above maximum) or one out of the pass's range, where only
// a new pass gives the same result.
bool MoveExtents(CGlFaceArray& faces, float dx, float dy, float dz) {
  if (faces.GetSize() == 0) return false;
  const float d[3] = {dx, dy, dz};
  float* lo[3] = {&faces.minPoint.x, &faces.minPoint.y, &faces.minPoint.z};
  float* hi[3] = {&faces.maxPoint.x, &faces.maxPoint.y, &faces.maxPoint.z};
  // The pass starts from +-1e10 (its not-computed marker), so a coordinate
  // beyond that, before or after the move, is not what it would find.
  const auto inside = [](float x) { return std::fabs(x) < 1e10f; };
  for (int i = 0; i < 3; ++i) {
    const float a = *lo[i], b = *hi[i];
    if (!inside(a) || !inside(b) || !inside(a + d[i]) || !inside(b + d[i]) || a > b) return false;
  }
  for (int i = 0; i < 3; ++i) *lo[i] += d[i], *hi[i] += d[i];
  faces.centrePoint.x = (faces.minPoint.x + faces.maxPoint.x) / 2.0f;
  faces.centrePoint.y = (faces.minPoint.y + faces.maxPoint.y) / 2.0f;
  faces.centrePoint.z = (faces.minPoint.z + faces.maxPoint.z) / 2.0f;
  return true;
}

}  // namespace

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
  if (!MoveExtents(faces, -cx, -cy, -cz)) faces.FacesExtent(points);
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
  // The material's faces are read in place as the triangles of their fans
  // (a face of four corners as (0, 1, 3) and (1, 2, 3), its UV pairs carried
  // to all three corners), with no copy of the faces.
  std::vector<CMtsCorners>& fan = FanScratch();
  fan.clear();
  bool any = false;
  for (const CGlFace& f : faceList) {
    if (f.materialIndex != m || f.deleted) continue;
    any = true;
    const int n = f.GetVertexCount();
    if (n < 3) continue;
    if (n == 3) {
      ++runningCount;
      if (f.GetUVCount() > 0) fan.push_back({&f, {0, 1, 2}, static_cast<int8_t>(f.GetUVCount())});
      continue;
    }
    runningCount += n - 2;
    if (f.GetFloatCount() == 0) continue;
    for (int i = 0; i + 2 < n; ++i)
      fan.push_back({&f, {static_cast<int8_t>(i), static_cast<int8_t>(i + 1), static_cast<int8_t>(n - 1)},
                     CGlFace::kMaxVertices});
  }
  if (!any) return 0;

  CMtsObj object;
  object.material = material;
  if (object.material.transparencyMode < 0)
    object.material.transparencyMode = object.material.fallbackTransparencyMode;
  object.material.mapName = AdjustedMapName(material.mapName, true);
  for (CGlShaderTex& map : object.material.shader.maps)
    map.textureName = AdjustedMapName(map.textureName, false);
  object.mapName = object.material.mapName;
  object.objectName = material.materialName;
  return AddFan(pointList, fan, std::move(object));
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
  uint64_t stamp;
};

// index[source] names the piece vertex of a source point, valid while
// stamp[source] is the current piece's stamp. Stamps only grow, so the
// arrays are kept from object to object and block to block without being
// cleared.
struct CPieceRemap {
  std::vector<int32_t> index;
  std::vector<uint64_t> stamp;
  uint64_t last = 0;

  void Resize(size_t points) {
    if (index.size() < points) index.resize(points, -1), stamp.resize(points, 0);
  }
  uint64_t NextStamp() { return ++last; }
};

CPieceRemap& RemapScratch() {
  thread_local CPieceRemap remap;
  return remap;
}

// The pieces of one object, each of at most CZMts::kVertexLimit vertices
// so that every index fits 16 bits; a piece shares the vertices of its
// triangles.
class CPieceFiller {
 public:
  CPieceFiller(const CGlPointArray& pointList, const CMtsObj& object, int32_t first, size_t triangles,
               CPieceRemap& remap)
      : pointList_(pointList), object_(object), first_(first), remaining_(triangles), remap_(remap) {
    remap_.Resize(pointList.size());
    Start();
  }

  CMtsObj& Current() { return current_; }

  // The next piece, empty.
  void Next() {
    ++piece_;
    Start();
  }

  // Adds the triangle to the current piece; false (and nothing added) when
  // its new vertices would not fit.
  bool AddTriangle(const CMtsCorners& triangle) {
    const CGlFace& f = *triangle.face;
    const int before = current_.points.GetSize();
    CornerUndo undo[3];
    // The triangle is made in place and taken back when it does not fit.
    CGlFace& t = current_.faces.Items().emplace_back();
    t.vertexCount = 3;
    t.mipIndex = first_ + piece_;
    t.materialIndex = f.materialIndex;
    t.normal = f.normal;
    t.normalValid = f.normalValid;
    t.hasUVs = 1;
    for (int c = 0; c < 3; ++c) {
      const int corner = triangle.corner[c];
      const CGlPoint& from = pointList_.Get(f.vertices[corner]);
      const size_t source = static_cast<size_t>(f.vertices[corner]);
      const bool hasPair = corner < triangle.uvPairs;
      const float u = hasPair ? f.uvs[2 * corner] : 0.0f;
      const float v = hasPair ? f.uvs[2 * corner + 1] : 0.0f;
      undo[c] = {source, remap_.index[source], remap_.stamp[source]};
      // A corner whose point this piece already holds with the same
      // coordinates shares it; the point is copied only when it is new.
      int32_t mapped = remap_.stamp[source] == stamp_ ? remap_.index[source] : -1;
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
        remap_.index[source] = mapped;
        remap_.stamp[source] = stamp_;
      }
      t.vertices[c] = mapped;
      t.AddUV(u, v);
    }
    if (current_.points.GetSize() > CZMts::kVertexLimit) {
      for (int c = 2; c >= 0; --c) {
        remap_.index[undo[c].source] = undo[c].index;
        remap_.stamp[undo[c].source] = undo[c].stamp;
      }
      current_.points.SetSize(before);
      current_.faces.Items().pop_back();
      return false;
    }
    --remaining_;
    return true;
  }

 private:
  void Start() {
    stamp_ = remap_.NextStamp();
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
  CPieceRemap& remap_;
  uint64_t stamp_ = 0;
  CMtsObj current_;
};

}  // namespace

int CZMts::AddMaterial(const CGlPointArray& pointList, const CGlFaceArray& triangles, CMtsObj object) {
  std::vector<CMtsCorners>& fan = FanScratch();
  fan.clear();
  for (const CGlFace& f : triangles) {
    const int pairs = f.GetUVCount();
    if (pairs == 0) continue;
    for (int j = 0; j + 2 < f.GetVertexCount(); ++j)
      fan.push_back({&f, {0, static_cast<int8_t>(j + 1), static_cast<int8_t>(j + 2)}, static_cast<int8_t>(pairs)});
  }
  return AddFan(pointList, fan, std::move(object));
}

int CZMts::AddFan(const CGlPointArray& pointList, const std::vector<CMtsCorners>& fan, CMtsObj object) {
  // An object of no triangles is left out: GMT readers refuse an object of
  // no vertices, and no game file of these formats carries one.
  if (fan.empty()) return -1;

  const int32_t first = static_cast<int32_t>(objects.size());
  CPieceFiller pieces(pointList, object, first, fan.size(), RemapScratch());
  for (const CMtsCorners& triangle : fan) {
    if (pieces.AddTriangle(triangle)) continue;
    objects.push_back(std::move(pieces.Current()));
    pieces.Next();
    pieces.AddTriangle(triangle);  // three vertices always fit an empty piece
  }
  objects.push_back(std::move(pieces.Current()));
  return first;
}

std::vector<CMtsCorners>& CZMts::FanScratch() {
  thread_local std::vector<CMtsCorners> fan;
  return fan;
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
