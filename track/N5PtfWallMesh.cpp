// Wall meshing: a wall as a box along its segment, two sides and a top per
// longitudinal step and a cap at either end, leaning with the banking unless
// the wall is vertical.
#include <algorithm>
#include <cmath>

#include "mesh/GlFaceArray.h"
#include "mesh/GlMaterialArray.h"
#include "mesh/GlMipArray.h"
#include "mesh/GlPointArray.h"
#include "track/N5MeshSupport.h"
#include "track/N5Ptf.h"

namespace {

using Corner = GlWallCorner;
using WallRow = GlWallRow;

WallRow WallRowAt(const CN5ObjSg& sg, const CN5ObjWs& wall, double d, double lat, double w, double h) {
  const double b = sg.GetBanking(d, lat);
  WallRow r;
  double x, y, z;
  auto set = [&](Corner& c, double raise) {
    c.x = static_cast<float>(x);
    c.y = static_cast<float>(y);
    c.z = static_cast<float>(z + raise);
  };
  if (wall.vertical) {
    // Plumb sides: the tops straight above the bottoms, the bottoms on the
    // plane of the surface at the wall line.
    double lx, ly, zLine;
    wall.GetXYZ(sg, d, lat, 0, lx, ly, zLine);
    wall.GetXYZ(sg, d, lat, -w, x, y, z);
    z = zLine - b * w;
    set(r.bottomRight, 0);
    set(r.topRight, h);
    wall.GetXYZ(sg, d, lat, w, x, y, z);
    z = zLine + b * w;
    set(r.bottomLeft, 0);
    set(r.topLeft, h);
    return r;
  }
  // The sides stand square to the banked surface: the top is moved across
  // by the sine of the bank angle times the height.
  const double lean = std::sin(std::atan(b)) * h;
  wall.GetXYZ(sg, d, lat, -w, x, y, z);
  set(r.bottomRight, 0);
  wall.GetXYZ(sg, d, lat, -w - lean, x, y, z);
  set(r.topRight, h);
  wall.GetXYZ(sg, d, lat, w, x, y, z);
  set(r.bottomLeft, 0);
  wall.GetXYZ(sg, d, lat, w - lean, x, y, z);
  set(r.topLeft, h);
  return r;
}

}  // namespace

void CN5Ptf::GetGlWallFaces(int seg, CN5ObjSg* segment, CN5ObjWs* wall, CGlPointArray& points, CGlFaceArray& faces,
                            CGlMipArray& textures, CGlMaterialArray& glMaterials) {
  if (!segment || !wall || wall->faces.size() < 5) return;
  const CN5ObjSg& sg = *segment;
  const int nL = LongSteps(sg);
  const double step = sg.length / nL;

  // The rows of the cross section, shared by the sides, the top and the caps.
  wallRowScratch_.resize(static_cast<size_t>(nL) + 1);
  WallRow* rows = wallRowScratch_.data();
  bool rowsMade = false;
  auto makeRows = [&] {
    for (int k = 0; k <= nL; ++k) {
      const double d = k == nL ? sg.length : k * step;
      rows[k] = WallRowAt(sg, *wall, d, MeshLerp(wall->latStart, wall->latEnd, k, nL),
                          MeshLerp(wall->widthStart, wall->widthEnd, k, nL),
                          MeshLerp(wall->heightStart, wall->heightEnd, k, nL));
    }
    rowsMade = true;
  };

  const long long faceBase = faces.GetSize(), pointBase = points.GetSize();
  const long long reserved = 3LL * nL + 2;
  faces.SetSize(faceBase + reserved);
  points.SetSize(pointBase + 4 * reserved);
  CGlFace* outFace = faces.data() + faceBase;
  CGlPoint* outPoint = points.data() + pointBase;
  int32_t pointIndex = static_cast<int32_t>(pointBase);

  CGlFace proto;
  proto.sourceIndex = seg;
  proto.hasUVs = 1;
  proto.faceColour.r = proto.faceColour.g = seg % 2 != 0 ? 0.7f : 0.9f;

  CGlFace* face = nullptr;
  auto begin = [&] {
    face = outFace++;
    *face = proto;
  };
  auto corner = [&](const Corner& c, double u, double v) {
    CGlPoint& p = *outPoint++;
    p.x = c.x;
    p.y = c.y;
    p.z = c.z;
    face->AddVertex(pointIndex++);
    face->AddUV(static_cast<float>(u), static_cast<float>(v));
  };

  for (int f = 0; f < 5; ++f) {
    const CN5ObjWs::_ApTuPair& pair = wall->faces[static_cast<size_t>(f)];
    auto* tu = dynamic_cast<const CN5ObjTu*>(pair.textureCoords);
    if (!pair.appearance || !tu || tu->u1.size() < 4 || tu->v1.size() < 4) continue;
    int mip, material;
    if (!RegisterGlTexture(pair.appearance, GlUse::Wall, wall->wallType, textures, glMaterials, mip, material))
      continue;
    proto.mipIndex = mip;
    proto.materialIndex = material;
    if (!rowsMade) makeRows();
    const std::vector<double>& u = tu->u1;
    const std::vector<double>& v = tu->v1;
    const double tMin = std::min({v[0], v[1], v[2]});
    const double tMax = std::max({v[0], v[1], v[2]});

    if (f <= 2) {
      for (int k = 0; k < nL; ++k) {
        const WallRow& a = rows[k];
        const WallRow& b = rows[k + 1];
        const double s0 = MeshLerp(u[0], u[1], k, nL), s1 = MeshLerp(u[0], u[1], k + 1, nL);
        begin();
        if (f == 0) {
          corner(a.topRight, s0, tMin);
          corner(a.bottomRight, s0, tMax);
          corner(b.bottomRight, s1, tMax);
          corner(b.topRight, s1, tMin);
        } else if (f == 2) {
          corner(a.bottomLeft, s0, tMax);
          corner(a.topLeft, s0, tMin);
          corner(b.topLeft, s1, tMin);
          corner(b.bottomLeft, s1, tMax);
        } else {
          corner(a.topRight, s0, v[0]);
          corner(b.topRight, s1, v[1]);
          corner(b.topLeft, s1, v[2]);
          corner(a.topLeft, s0, v[3]);
        }
      }
    } else if (f == 3) {
      const WallRow& a = rows[0];
      begin();
      corner(a.bottomRight, u[0], v[0]);
      corner(a.topRight, u[1], v[1]);
      corner(a.topLeft, u[2], v[2]);
      corner(a.bottomLeft, u[3], v[3]);
    } else {
      const WallRow& b = rows[nL];
      begin();
      corner(b.bottomLeft, u[0], v[0]);
      corner(b.topLeft, u[1], v[1]);
      corner(b.topRight, u[2], v[2]);
      corner(b.bottomRight, u[3], v[3]);
    }
  }
  // Faces without a texture were never made: give back what they reserved.
  faces.SetSize(outFace - faces.data());
  points.SetSize(outPoint - points.data());
}
