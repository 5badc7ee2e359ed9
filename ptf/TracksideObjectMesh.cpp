// Building a trackside object file from a mesh: the switch tree, one shape
// per material or texture, and the triangles of each face as front and back
// fans.
#include <algorithm>
#include <array>
#include <numeric>

#include "mesh/GlFaceArray.h"
#include "mesh/GlMaterialArray.h"
#include "mesh/GlMipArray.h"
#include "mesh/GlPointArray.h"
#include "ptf/Descriptors.h"
#include "ptf/TracksideObject.h"
#include "support/TextFormat.h"

namespace lapforge {

namespace {

// Texture name of shapes whose faces carry no texture: their colour is in
// the appearance's lighting.
constexpr const char* kUntexturedMap = "rgbmap";

CN5ObjSw* MakeSwitch(CN5Root& root, CN5Obj* parent, const char* name, std::initializer_list<double> values) {
  auto* sw = root.Create<CN5ObjSw>(parent);
  sw->switchName = name;
  sw->values.assign(values);
  return sw;
}

// Whether the winding of a face's first three corners (positions from b
// on) runs against the face's stored normal.
bool WoundAgainstNormal(const std::vector<_dxyz>& positions, uint32_t b, const CGlFace& f) {
  const _dxyz& p0 = positions[b];
  const _dxyz& p1 = positions[b + 1];
  const _dxyz& p2 = positions[b + 2];
  const double ax = p1.x - p0.x, ay = p1.y - p0.y, az = p1.z - p0.z;
  const double bx = p2.x - p1.x, by = p2.y - p1.y, bz = p2.z - p1.z;
  const double wx = ay * bz - az * by, wy = az * bx - ax * bz, wz = ax * by - ay * bx;
  return f.normalValid && (f.normal.x * wx + f.normal.y * wy + f.normal.z * wz) < 0;
}

}  // namespace

void WeekendValues(int weekendOption, double& low, double& high) {
  switch (weekendOption) {
    case 1:
      low = 1.0, high = 2.9;
      break;
    case 2:
      low = 0.0, high = 0.9;
      break;
    case 3:
      low = 1.0, high = 1.9;
      break;
    case 4:
      low = 2.0, high = 2.9;
      break;
    default:
      low = 0.0, high = 2.9;
      break;
  }
}

CN5ObjGp* CN5Tso::MakeSwitchTree(const std::string& path, int weekendOption, bool extraLod) {
  CN5ObjSw* top = Create<CN5ObjSw>(nullptr);
  if (ToLower(path).find("horiz.") != std::string::npos) {
    // A horizon panel: shown in every weather, never hidden by distance.
    horizon = 1;
    top->switchName = "Weather";
    top->values = {0.0, 1.0, 2.0};
    auto* group = Create<CN5ObjGp>(top);
    top->children.push_back(group);
    return group;
  }
  top->switchName = "Population";
  top->values = {1.0, 2.9};
  double low, high;
  WeekendValues(weekendOption, low, high);
  CN5ObjSw* weekend = MakeSwitch(*this, top, "Weekend", {low, high});
  auto* lod = Create<CN5ObjLw>(weekend);
  lod->values = {0.0, std::max(lodDistance, kMinLodDistance)};
  auto* group = Create<CN5ObjGp>(lod);
  if (extraLod)
    lod->children.push_back(group);
  else
    Create<CN5ObjEm>(lod);
  return group;
}

void CN5Tso::MarkTwins(const CGlPointArray& points, const CGlFaceArray& faces) {
  // Faces with equal position sums are twins (the two sides of one
  // double-sided polygon); sorting the sums finds them without comparing
  // every pair. Sums are taken in double precision so that the order of the
  // vertices does not change them.
  const int n = faces.GetSize();
  twins_.assign(static_cast<size_t>(n), 0);
  std::vector<std::array<double, 3>> sums(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    const CGlFace& f = faces[i];
    std::array<double, 3> s{0, 0, 0};
    for (int k = 0; k < f.GetVertexCount(); ++k) {
      const CGlPoint& p = points[f.vertices[k]];
      s[0] += p.x, s[1] += p.y, s[2] += p.z;
    }
    sums[size_t(i)] = s;
  }
  std::vector<int> order(static_cast<size_t>(n));
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(), [&](int a, int b) { return sums[size_t(a)] < sums[size_t(b)]; });
  for (size_t i = 0; i + 1 < order.size(); ++i) {
    const size_t a = static_cast<size_t>(order[i]), c = static_cast<size_t>(order[i + 1]);
    if (sums[a] == sums[c]) twins_[a] = twins_[c] = 1;
  }
}

bool CN5Tso::MkTso(const std::string& filePath, const CGlPointArray& pointsIn, const CGlFaceArray& facesIn,
                   const CGlMaterialArray& materials, const CGlMipArray& mips, bool useMaterials, int weekendOption,
                   bool doubleSided, bool extraLod) {
  // Each call builds and writes a tree of its own, numbered from 1.
  objects.clear();
  ResetWriteIds();
  twins_.clear();
  shapes_ = 0;
  horizon = 0;

  // An object file always has a shape: an empty mesh becomes one point at
  // the origin and one face on it.
  CGlPointArray onePoint;
  CGlFaceArray oneFace;
  const CGlPointArray* points = &pointsIn;
  const CGlFaceArray* faces = &facesIn;
  if (facesIn.IsEmpty()) {
    onePoint.Add(CGlPoint(0, 0, 0));
    CGlFace f;
    for (int k = 0; k < 3; ++k) f.AddVertex(0);
    oneFace.Add(f);
    points = &onePoint;
    faces = &oneFace;
  }

  if (doubleSided) MarkTwins(*points, *faces);

  CN5ObjGp* group = MakeSwitchTree(filePath, weekendOption, extraLod);
  if (useMaterials) {
    for (int m = 0; m < materials.GetSize(); ++m)
      MakeMatShapes(group, *points, *faces, m, materials[m].materialName, materials[m].mapName, doubleSided);
  } else {
    MakeMipShapes(group, *points, *faces, -1, std::string(), doubleSided);
    for (int m = 0; m < mips.GetSize(); ++m) MakeMipShapes(group, *points, *faces, m, mips[m].mipTitle, doubleSided);
  }
  if (shapes_ == 0) return false;
  return static_cast<bool>(WriteToFile(filePath));
}

bool CN5Tso::MkTso(const std::string& filePath, const CGlPointArray& points, const CGlFaceArray& faces,
                   const CGlMipArray& mips, int weekendOption, bool doubleSided, bool extraLod) {
  return MkTso(filePath, points, faces, CGlMaterialArray(), mips, false, weekendOption, doubleSided, extraLod);
}

bool CN5Tso::MkTso(const std::string& filePath, const CGlPointArray& points, CGlFaceArray& faces,
                   CGlMaterialArray& materials, int weekendOption, bool doubleSided, bool extraLod) {
  faces.CreateTextureCoordsFromRGB(materials, std::string());
  return MkTso(filePath, points, faces, materials, CGlMipArray(), true, weekendOption, doubleSided, extraLod);
}

void CN5Tso::MakeMatShapes(CN5ObjGp* group, const CGlPointArray& points, const CGlFaceArray& faces, int material,
                           const std::string& materialName, const std::string& mapName, bool doubleSided) {
  std::vector<int> selection;
  selection.reserve(size_t(faces.GetSize()));
  for (int i = 0; i < faces.GetSize(); ++i)
    if (!faces[i].deleted && faces[i].materialIndex == material) selection.push_back(i);
  if (!selection.empty()) MakeShape(group, points, faces, selection, doubleSided, materialName, mapName);
}

void CN5Tso::MakeMipShapes(CN5ObjGp* group, const CGlPointArray& points, const CGlFaceArray& faces, int mip,
                           const std::string& title, bool doubleSided) {
  std::vector<int> selection;
  selection.reserve(size_t(faces.GetSize()));
  if (mip >= 0) {
    for (int i = 0; i < faces.GetSize(); ++i) {
      const CGlFace& f = faces[i];
      if (!f.deleted && f.mipIndex == mip && f.hasUVs) selection.push_back(i);
    }
    if (!selection.empty()) MakeShape(group, points, faces, selection, doubleSided, title, title);
    return;
  }
  for (int i = 0; i < faces.GetSize(); ++i) {
    const CGlFace& f = faces[i];
    if (!f.deleted && (f.mipIndex < 0 || !f.hasUVs)) selection.push_back(i);
  }
  if (selection.empty()) return;
  if (horizon || singleShape) {
    MakeShape(group, points, faces, selection, doubleSided, title, std::string());
    return;
  }
  // One shape per colour. The remaining faces are walked from the last to
  // the first, so each colour group holds its faces in reverse order.
  std::vector<int> same;
  same.reserve(selection.size());
  while (!selection.empty()) {
    const _float_rgba c = faces[selection.front()].faceColour;
    same.clear();
    for (size_t k = selection.size(); k-- > 0;) {
      const _float_rgba& fc = faces[selection[k]].faceColour;
      if (fc.r == c.r && fc.g == c.g && fc.b == c.b) {
        same.push_back(selection[k]);
        selection.erase(selection.begin() + static_cast<std::ptrdiff_t>(k));
      }
    }
    MakeShape(group, points, faces, same, doubleSided, title, std::string());
  }
}

void CN5Tso::MakeShape(CN5ObjGp* group, const CGlPointArray& points, const CGlFaceArray& faces,
                       const std::vector<int>& selection, bool doubleSided, const std::string& textureName,
                       const std::string& mapName) {
  auto* shape = Create<CN5ObjSh>(group);
  CN5ObjAp* ap = CreateNewAppearance(shape, mapName.empty() ? std::string(kUntexturedMap) : mapName);
  if (!textureName.empty()) ap->objectName = textureName;
  auto* geometry = Create<CN5ObjGm>(shape);
  auto* vl = Create<CN5ObjVl>(geometry);

  size_t corners = 0;
  bool anyNormal = false;
  for (int i : selection) {
    const CGlFace& f = faces[i];
    corners += size_t(f.GetVertexCount());
    for (int k = 0; k < f.GetVertexCount() && !anyNormal; ++k) anyNormal = points[f.vertices[k]].hasNormal != 0;
  }
  vl->positions.reserve(corners);
  vl->uvs.reserve(corners);
  if (anyNormal) vl->normals.reserve(corners);
  geometry->triangles.reserve(3 * corners);

  for (int i : selection) {
    const CGlFace& f = faces[i];
    const int n = f.GetVertexCount();
    if (n < 3) continue;
    ap->lighting[0] = f.faceColour.r;
    ap->lighting[1] = f.faceColour.g;
    ap->lighting[2] = f.faceColour.b;
    for (int t = 3; t < 9; ++t) ap->lighting[t] = 1.0;

    const uint32_t b = static_cast<uint32_t>(vl->positions.size());
    const int uvPairs = f.GetUVCount();
    for (int k = 0; k < n; ++k) {
      const CGlPoint& p = points[f.vertices[k]];
      vl->positions.push_back({p.x, p.y, p.z});
      if (anyNormal) vl->normals.push_back(p.hasNormal ? _dxyz{p.nx, p.ny, p.nz} : _dxyz{0, 0, 1});
      if (k < uvPairs)
        vl->uvs.push_back({f.uvs[2 * k], f.uvs[2 * k + 1]});
      else
        vl->uvs.push_back({0, 0});
    }

    const bool reversed = WoundAgainstNormal(vl->positions, b, f);
    const bool twin = HasTwin(i);

    std::vector<uint32_t>& tri = geometry->triangles;
    if (doubleSided || !reversed) {
      tri.insert(tri.end(), {b, b + 1, b + 2});
      for (uint32_t k = 2; k + 1 < uint32_t(n); ++k) tri.insert(tri.end(), {b, b + k, b + k + 1});
    }
    if ((doubleSided || reversed) && !twin) {
      tri.insert(tri.end(), {b + 2, b + 1, b});
      for (uint32_t k = 2; k + 1 < uint32_t(n); ++k) tri.insert(tri.end(), {b + k + 1, b + k, b});
    }
  }
  ++shapes_;
}

}  // namespace lapforge
