// CZMts object building: one object per material, then the palette object.
#include "formats/ZMts.h"

#include <algorithm>

#include "app/support/FileString.h"
#include "app/support/TextFormat.h"
#include "app/support/UserInterface.h"

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
  CGlMaterialArray palette;
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
  object.material.noDepthWrite = static_cast<uint8_t>(flag);
  return AddMaterial(pointList, triangles, std::move(object));
}

int CZMts::AddMaterial(const CGlPointArray& pointList, const CGlFaceArray& triangles, CMtsObj object) {
  const int32_t k = static_cast<int32_t>(objects.size());
  std::vector<int32_t> remap(pointList.size(), -1);
  size_t fanTriangles = 0;
  for (const CGlFace& f : triangles)
    if (f.GetUVCount() > 0 && f.GetVertexCount() >= 3) fanTriangles += static_cast<size_t>(f.GetVertexCount() - 2);
  object.faces.Reserve(static_cast<long long>(fanTriangles));
  object.points.Reserve(static_cast<long long>(std::min(pointList.size(), fanTriangles * 3)));

  long long largestIndex = -1;
  for (const CGlFace& f : triangles) {
    if (f.GetUVCount() == 0) continue;
    const int n = f.GetVertexCount();
    for (int j = 0; j + 2 < n; ++j) {
      const int corners[3] = {0, j + 1, j + 2};
      CGlFace t;
      t.vertexCount = 3;
      t.mipIndex = k;
      t.materialIndex = f.materialIndex;
      t.normal = f.normal;
      t.normalValid = f.normalValid;
      t.hasUVs = 1;
      for (int c = 0; c < 3; ++c) {
        const int corner = corners[c];
        const int32_t source = f.vertices[corner];
        CGlPoint p = pointList.Get(source);
        const bool hasPair = corner < f.GetUVCount();
        p.u = hasPair ? f.uvs[2 * corner] : 0.0f;
        p.v = hasPair ? f.uvs[2 * corner + 1] : 0.0f;
        p.hasUV = 1;
        if (!p.hasNormal) {
          p.nx = f.normal.x;
          p.ny = f.normal.y;
          p.nz = f.normal.z;
          p.hasNormal = 1;
        }
        int32_t& mapped = remap[static_cast<size_t>(source)];
        if (mapped < 0 || object.points.data()[mapped].u != p.u || object.points.data()[mapped].v != p.v)
          mapped = object.points.Add(p);
        t.vertices[c] = mapped;
        largestIndex = std::max<long long>(largestIndex, mapped);
        t.AddUV(p.u, p.v);
      }
      object.faces.Add(t);
    }
  }
  if (largestIndex > kVertexLimit) {
    UI().Message(StrFormat("Data will be lost for Material %s\nVertices used %ld but the limit is %ld",
                           object.material.materialName.c_str(), static_cast<long>(largestIndex),
                           static_cast<long>(kVertexLimit)),
                 "");
  }
  objects.push_back(std::move(object));
  return k;
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
