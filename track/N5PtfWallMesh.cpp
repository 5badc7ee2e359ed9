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

namespace lapforge {

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

// The rows of a wall's cross section at the nL + 1 longitudinal steps,
// shared by the sides, the top and the caps.
void MakeWallRows(const CN5ObjSg& sg, const CN5ObjWs& wall, int nL, WallRow* rows) {
  const double step = sg.length / nL;
  for (int k = 0; k <= nL; ++k) {
    const double d = k == nL ? sg.length : k * step;
    rows[k] = WallRowAt(sg, wall, d, MeshLerp(wall.latStart, wall.latEnd, k, nL),
                        MeshLerp(wall.widthStart, wall.widthEnd, k, nL),
                        MeshLerp(wall.heightStart, wall.heightEnd, k, nL));
  }
}

// Appends wall faces, each a copy of proto, with a point of their own per
// corner.
class CWallFaceWriter {
 public:
  CWallFaceWriter(std::vector<CGlFace>& faces, std::vector<CGlPoint>& points, CGlFace& proto)
      : faces_(faces), points_(points), proto_(proto), pointIndex_(static_cast<int32_t>(points.size())) {}

  // Face f of the wall (0 right side, 1 top, 2 left side, 3 start cap, 4
  // end cap) with its texture coordinates u and v.
  void Face(int f, const WallRow* rows, int nL, const std::vector<double>& u, const std::vector<double>& v) {
    const double tMin = std::min({v[0], v[1], v[2]});
    const double tMax = std::max({v[0], v[1], v[2]});
    if (f <= 2) {
      for (int k = 0; k < nL; ++k) {
        const WallRow& a = rows[k];
        const WallRow& b = rows[k + 1];
        const double s0 = MeshLerp(u[0], u[1], k, nL), s1 = MeshLerp(u[0], u[1], k + 1, nL);
        Begin();
        if (f == 0) {
          Corner(a.topRight, s0, tMin);
          Corner(a.bottomRight, s0, tMax);
          Corner(b.bottomRight, s1, tMax);
          Corner(b.topRight, s1, tMin);
        } else if (f == 2) {
          Corner(a.bottomLeft, s0, tMax);
          Corner(a.topLeft, s0, tMin);
          Corner(b.topLeft, s1, tMin);
          Corner(b.bottomLeft, s1, tMax);
        } else {
          Corner(a.topRight, s0, v[0]);
          Corner(b.topRight, s1, v[1]);
          Corner(b.topLeft, s1, v[2]);
          Corner(a.topLeft, s0, v[3]);
        }
      }
    } else if (f == 3) {
      const WallRow& a = rows[0];
      Begin();
      Corner(a.bottomRight, u[0], v[0]);
      Corner(a.topRight, u[1], v[1]);
      Corner(a.topLeft, u[2], v[2]);
      Corner(a.bottomLeft, u[3], v[3]);
    } else {
      const WallRow& b = rows[nL];
      Begin();
      Corner(b.bottomLeft, u[0], v[0]);
      Corner(b.topLeft, u[1], v[1]);
      Corner(b.topRight, u[2], v[2]);
      Corner(b.bottomRight, u[3], v[3]);
    }
  }

 private:
  void Begin() {
    faces_.push_back(proto_);
    face_ = &faces_.back();
  }
  void Corner(const GlWallCorner& c, double u, double v) {
    points_.push_back(pointProto_);
    CGlPoint& p = points_.back();
    p.x = c.x;
    p.y = c.y;
    p.z = c.z;
    face_->AddVertex(pointIndex_++);
    face_->AddUV(static_cast<float>(u), static_cast<float>(v));
  }

  std::vector<CGlFace>& faces_;
  std::vector<CGlPoint>& points_;
  const CGlFace& proto_;
  const CGlPoint pointProto_;
  int32_t pointIndex_;
  CGlFace* face_ = nullptr;
};

}  // namespace

void CN5Ptf::GetGlWallFaces(int seg, CN5ObjSg* segment, CN5ObjWs* wall, CGlPointArray& points, CGlFaceArray& faces,
                            CGlMipArray& textures, CGlMaterialArray& glMaterials) {
  if (!segment || !wall || wall->faces.size() < 5) return;
  const CN5ObjSg& sg = *segment;
  const int nL = LongSteps(sg);
  // The rows are made when the first face with a texture needs them.
  wallRowScratch_.resize(static_cast<size_t>(nL) + 1);
  WallRow* rows = wallRowScratch_.data();
  bool rowsMade = false;

  // Room for the sides, the top and the caps, made once; a face without a
  // texture is simply not appended.
  std::vector<CGlFace>& outFaces = faces.Items();
  std::vector<CGlPoint>& outPoints = points.Items();
  const size_t reserved = 3 * static_cast<size_t>(nL) + 2;
  MeshGrow(outFaces, reserved);
  MeshGrow(outPoints, 4 * reserved);
  CGlFace proto;
  proto.sourceIndex = seg;
  proto.hasUVs = 1;
  proto.faceColour.r = proto.faceColour.g = seg % 2 != 0 ? 0.7f : 0.9f;
  CWallFaceWriter writer(outFaces, outPoints, proto);

  for (int f = 0; f < 5; ++f) {
    const CN5ObjWs::_ApTuPair& pair = wall->faces[static_cast<size_t>(f)];
    auto* tu = dynamic_cast<const CN5ObjTu*>(pair.textureCoords);
    if (!pair.appearance || !tu || tu->u1.size() < 4 || tu->v1.size() < 4) continue;
    int mip, material;
    if (!RegisterGlTexture(pair.appearance, GlUse::Wall, wall->wallType, textures, glMaterials, mip, material))
      continue;
    proto.mipIndex = mip;
    proto.materialIndex = material;
    if (!rowsMade) MakeWallRows(sg, *wall, nL, rows), rowsMade = true;
    writer.Face(f, rows, nL, tu->u1, tu->v1);
  }
}

}  // namespace lapforge
