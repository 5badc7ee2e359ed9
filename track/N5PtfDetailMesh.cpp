// Detail meshing: a painted detail as a grid of decal cells laid 1 cm above
// the track surface, turned to the detail's heading.
#include <algorithm>
#include <cmath>

#include "mesh/GlFaceArray.h"
#include "mesh/GlMaterialArray.h"
#include "mesh/GlMipArray.h"
#include "mesh/GlPointArray.h"
#include "track/N5MeshSupport.h"
#include "track/N5Ptf.h"

namespace lapforge {

namespace {

// How far a decal floats above the surface, against depth fighting.
constexpr double kDecalLift = 0.01;
// The smallest cell of a detail, whatever the track's resolutions.
constexpr double kMinDetailCell = 0.5;

// The detail's appearance: its first child that is one.
const CN5Obj* DetailAppearance(const CN5ObjTd& td) {
  for (const CN5Obj* c : td.children)
    if (dynamic_cast<const CN5ObjAp*>(c)) return c;
  return nullptr;
}

}  // namespace

double CN5Ptf::DetailCellSize() const {
  const double c = std::min(latResolution, longResolution);
  return c > kMinDetailCell ? c : kMinDetailCell;  // also for a value that is not a number
}

void CN5Ptf::DetailGrid(const CN5ObjTd& detail, int& rows, int& cells) const {
  const DetailBlock d = ReadDetailBlock(detail);
  const double cell = DetailCellSize();
  rows = std::max(1, MeshCount(std::max(1.0, d.length / cell)));
  cells = std::max(1, MeshCount(std::max(1.0, d.width / cell)));
}

void CN5Ptf::GetGlTrackDetailFaces(int detail, CGlPointArray& points, CGlFaceArray& faces, CGlMipArray& textures,
                                   CGlMaterialArray& glMaterials) {
  CN5ObjTd* td = GetTrackDetailObj(detail);
  if (!td) return;
  int mip, material;
  if (!RegisterGlTexture(DetailAppearance(*td), GlUse::Detail, 0, textures, glMaterials, mip, material)) return;

  const DetailBlock d = ReadDetailBlock(*td);
  int nL, nW;
  DetailGrid(*td, nL, nW);
  const double dx = d.length / nL, dy = -d.width / nW;
  const double x0 = -d.length / 2, y0 = d.width / 2;

  int index;
  CN5ObjSg* sg = nullptr;
  double t;
  const double heading = GetSegAt(d.lng, index, sg, t) ? sg->startAngle + sg->sweep * t : 0;
  const double turn = d.heading + _quarter_turn - heading;
  const double ct = std::cos(turn), st = std::sin(turn);
  const double ch = std::cos(heading), sh = std::sin(heading);

  std::vector<CGlFace>& outFaces = faces.Items();
  std::vector<CGlPoint>& outPoints = points.Items();
  const size_t count = static_cast<size_t>(nL) * static_cast<size_t>(nW);
  MeshGrow(outFaces, count);
  MeshGrow(outPoints, 4 * count);
  int32_t pointIndex = static_cast<int32_t>(outPoints.size());

  CGlFace proto;
  proto.hasUVs = 1;
  proto.mipIndex = mip;
  proto.materialIndex = material;
  const CGlPoint pointProto;
  auto place = [&](double x, double y) {
    outPoints.push_back(pointProto);
    CGlPoint& p = outPoints.back();
    const double xr = x * ct - y * st, yr = x * st + y * ct;
    double px = 0, py = 0, pz = 0;
    GetXYZ(d.lng, d.lat + yr, px, py, pz);
    p.x = static_cast<float>(px + xr * ch);
    p.y = static_cast<float>(py + xr * sh);
    p.z = static_cast<float>(pz + kDecalLift);
  };
  for (int i = 0; i < nL; ++i) {
    const double x = x0 + i * dx;
    const double v0 = MeshLerp(d.vStart, d.vEnd, i, nL), v1 = MeshLerp(d.vStart, d.vEnd, i + 1, nL);
    for (int j = 0; j < nW; ++j) {
      const double y = y0 + j * dy;
      const double u0 = MeshLerp(d.uStart, d.uEnd, j, nW), u1 = MeshLerp(d.uStart, d.uEnd, j + 1, nW);
      outFaces.push_back(proto);
      CGlFace& f = outFaces.back();
      place(x, y);
      place(x, y + dy);
      place(x + dx, y + dy);
      place(x + dx, y);
      for (int k = 0; k < 4; ++k) f.AddVertex(pointIndex + k);
      pointIndex += 4;
      f.AddUV(static_cast<float>(u0), static_cast<float>(v0));
      f.AddUV(static_cast<float>(u1), static_cast<float>(v0));
      f.AddUV(static_cast<float>(u1), static_cast<float>(v1));
      f.AddUV(static_cast<float>(u0), static_cast<float>(v1));
    }
  }
}

}  // namespace lapforge
