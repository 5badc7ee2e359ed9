// Properties of the meshed track over whole circuits: the sample circuit and
// generated closed circuits, flat and banked.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "description/TrkDsc.h"
#include "mapping/PtfMapping.h"
#include "mesh/GlFaceArray.h"
#include "mesh/GlMaterialArray.h"
#include "mesh/GlMipArray.h"
#include "mesh/GlPointArray.h"
#include "tests/support/ResultCheck.h"
#include "tests/support/TestSupport.h"
#include "tests/support/description/Descriptions.h"

namespace lapforge {

namespace {

void BuildCircuit(const CircuitOptions& o, CN5PtfDb& model) {
  CRecordingUI ui;
  TrkDsc ds;
  FillGeneratedCircuit(ds, o);
  std::string error;
  ASSERT_TRUE(Ok(PTFObjFromDataBase(ds, model, ""), error)) << error;
}

void BuildSample(CN5PtfDb& model) {
  CRecordingUI ui;
  TrkDsc ds;
  ASSERT_TRUE(ds.ReadXml(std::string(LAPFORGE_SOURCE_DIR) + "/examples/sample-circuit.xml"));
  std::string error;
  ASSERT_TRUE(Ok(PTFObjFromDataBase(ds, model, ""), error)) << error;
}

struct Mesh {
  CGlPointArray points;
  CGlFaceArray faces;
  CGlMipArray textures;
  CGlMaterialArray materials;
};

struct Vec {
  double x = 0, y = 0, z = 0;
};
Vec Sub(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec Cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double Length(Vec a) { return std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z); }
Vec At(const CGlPoint& p) { return {p.x, p.y, p.z}; }
double TriangleArea(Vec a, Vec b, Vec c) { return Length(Cross(Sub(b, a), Sub(c, a))) / 2; }

double FaceArea(const Mesh& m, const CGlFace& f) {
  Vec p[4];
  for (int k = 0; k < f.vertexCount; ++k) p[k] = At(m.points[f.vertices[k]]);
  double a = TriangleArea(p[0], p[1], p[2]);
  if (f.vertexCount == 4) a += TriangleArea(p[0], p[2], p[3]);
  return a;
}

// The surface between band b and band b + 1 of a segment, meshed alone.
void MeshBand(CN5Ptf& model, int s, int b, Mesh& m) {
  CN5ObjSg* sg = model.GetSegObj(s);
  model.GetGlTractionFaces(s, sg, sg->GetFsObj(b), sg->GetFsObj(b + 1), m.points, m.faces, m.textures, m.materials);
}

// A face corner on the start or end line of its segment, with the lateral
// position along that line and its texture coordinates.
struct EdgeCorner {
  Vec p;
  double across = 0;
  double u = 0, v = 0;
};

// The corners of a band's faces that lie on the segment's start line
// (atEnd false) or end line: the cross line through the start (end) point,
// square to the heading there.
std::vector<EdgeCorner> EdgeCorners(CN5Ptf& model, int s, const Mesh& m, bool atEnd) {
  const CN5ObjSg* sg = model.GetSegObj(s);
  const double h = atEnd ? sg->endAngle : sg->startAngle;
  const double ox = atEnd ? sg->endX : sg->startX, oy = atEnd ? sg->endY : sg->startY;
  std::vector<EdgeCorner> out;
  for (const CGlFace& f : m.faces)
    for (int k = 0; k < f.vertexCount; ++k) {
      const CGlPoint& p = m.points[f.vertices[k]];
      const double dx = p.x - ox, dy = p.y - oy;
      if (std::fabs(dx * std::cos(h) + dy * std::sin(h)) > 2e-3) continue;
      out.push_back({At(p), -dx * std::sin(h) + dy * std::cos(h), f.uvs[2 * k], f.uvs[2 * k + 1]});
    }
  std::sort(out.begin(), out.end(), [](const EdgeCorner& a, const EdgeCorner& b) { return a.across < b.across; });
  return out;
}

// Distance from a point to the polyline through the corners (sorted across).
double DistanceToEdge(Vec p, const std::vector<EdgeCorner>& edge) {
  double best = 1e30;
  for (size_t i = 0; i < edge.size(); ++i) {
    best = std::min(best, Length(Sub(p, edge[i].p)));
    if (i + 1 == edge.size()) break;
    Vec a = edge[i].p, d = Sub(edge[i + 1].p, a);
    double len2 = d.x * d.x + d.y * d.y + d.z * d.z;
    if (len2 == 0) continue;
    Vec ap = Sub(p, a);
    double t = (ap.x * d.x + ap.y * d.y + ap.z * d.z) / len2;
    if (t <= 0 || t >= 1) continue;
    best = std::min(best, Length(Sub(ap, {d.x * t, d.y * t, d.z * t})));
  }
  return best;
}

// The band's area measured independently on a fine grid of track points.
double BandArea(CN5Ptf& model, int s, int b) {
  CN5ObjSg* sg = model.GetSegObj(s);
  CN5ObjFs* r = sg->GetFsObj(b);
  CN5ObjFs* l = sg->GetFsObj(b + 1);
  const int along = 120, across = 12;
  std::vector<Vec> grid;
  for (int i = 0; i <= along; ++i) {
    const double t = static_cast<double>(i) / along;
    const double right = r->latStart + t * (r->latEnd - r->latStart);
    const double left = l->latStart + t * (l->latEnd - l->latStart);
    for (int j = 0; j <= across; ++j) {
      double x, y, z;
      sg->GetXYZ(t * sg->length, right + (left - right) * j / across, x, y, z);
      grid.push_back({x, y, z});
    }
  }
  auto point = [&](int i, int j) { return grid[static_cast<size_t>(i * (across + 1) + j)]; };
  double area = 0;
  for (int i = 0; i < along; ++i)
    for (int j = 0; j < across; ++j)
      area += TriangleArea(point(i, j), point(i + 1, j), point(i + 1, j + 1)) +
              TriangleArea(point(i, j), point(i + 1, j + 1), point(i, j + 1));
  return area;
}

// Every face of the whole track: finite corners and texture coordinates,
// indices inside the lists, four points reserved per face.
void ExpectSoundMesh(CN5Ptf& model) {
  Mesh m;
  model.GetGlFaces(m.points, m.faces, m.textures, m.materials);
  ASSERT_GT(m.faces.GetSize(), 0);
  EXPECT_EQ(m.points.GetSize(), 4 * m.faces.GetSize());
  for (const CGlFace& f : m.faces) {
    ASSERT_GE(f.vertexCount, 3);
    ASSERT_EQ(f.uvCount, 2 * f.vertexCount);
    ASSERT_TRUE(m.textures.InBounds(f.mipIndex));
    ASSERT_TRUE(m.materials.InBounds(f.materialIndex));
    for (int k = 0; k < f.vertexCount; ++k) {
      ASSERT_TRUE(m.points.InBounds(f.vertices[k]));
      const CGlPoint& p = m.points[f.vertices[k]];
      ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z));
      ASSERT_TRUE(std::isfinite(f.uvs[2 * k]) && std::isfinite(f.uvs[2 * k + 1]));
    }
  }
}

// Across every segment boundary, band by band: the end line of one segment
// and the start line of the next have their corners on each other's edge
// (no gap), the same corners when both have the same cells across
// (sharedCorners), and texture coordinates that run on: U the same, V the
// same up to the whole repeats that each segment's start drops, except at
// the start line.
void ExpectBandsJoin(CN5Ptf& model, bool sharedCorners) {
  const int n = model.NoSegments();
  int boundaries = 0;
  for (int s = 0; s < n; ++s) {
    const int next = (s + 1) % n;
    const int bands = std::min(model.GetSegObj(s)->NoTractions(), model.GetSegObj(next)->NoTractions());
    for (int b = 0; b + 1 < bands; ++b) {
      // Where the model itself moves a band edge at the boundary (the
      // outermost band reaches under the first wall, and walls differ from
      // section to section) there is nothing to join.
      CN5ObjSg* sa = model.GetSegObj(s);
      CN5ObjSg* sc = model.GetSegObj(next);
      if (sa->GetFsObj(b)->latEnd != sc->GetFsObj(b)->latStart ||
          sa->GetFsObj(b + 1)->latEnd != sc->GetFsObj(b + 1)->latStart) {
        EXPECT_EQ(b, 0) << "segments " << s << "/" << next;
        continue;
      }
      Mesh a, c;
      MeshBand(model, s, b, a);
      MeshBand(model, next, b, c);
      if (a.faces.GetSize() == 0 || c.faces.GetSize() == 0) continue;
      std::vector<EdgeCorner> end = EdgeCorners(model, s, a, true);
      std::vector<EdgeCorner> start = EdgeCorners(model, next, c, false);
      ASSERT_FALSE(end.empty());
      ASSERT_FALSE(start.empty());
      ++boundaries;
      const std::string where =
          "segments " + std::to_string(s) + "/" + std::to_string(next) + " band " + std::to_string(b);
      for (const EdgeCorner& e : end) EXPECT_LT(DistanceToEdge(e.p, start), 2e-3) << where;
      for (const EdgeCorner& e : start) EXPECT_LT(DistanceToEdge(e.p, end), 2e-3) << where;
      // V starts again from 0 at the start line.
      const bool lapLine = next == 0;
      for (const EdgeCorner& e : end)
        for (const EdgeCorner& o : start) {
          if (lapLine) break;
          if (Length(Sub(e.p, o.p)) > 2e-3) continue;
          EXPECT_NEAR(e.u, o.u, 1e-3) << where;
          const double dv = e.v - o.v;
          EXPECT_NEAR(dv, std::round(dv), 1e-3) << where;
        }
      if (sharedCorners) {
        for (const EdgeCorner& e : end) {
          double nearest = 1e30;
          for (const EdgeCorner& o : start) nearest = std::min(nearest, Length(Sub(e.p, o.p)));
          EXPECT_LT(nearest, 2e-3) << where;
        }
      }
    }
  }
  EXPECT_GT(boundaries, 0);
}

// Each band of each segment: its faces cover the band's area within 1%, and
// on a flat track every face looks up.
void ExpectBandsCovered(CN5Ptf& model, bool flat) {
  const int n = model.NoSegments();
  for (int s = 0; s < n; ++s)
    for (int b = 0; b + 1 < model.GetSegObj(s)->NoTractions(); ++b) {
      Mesh m;
      MeshBand(model, s, b, m);
      ASSERT_GT(m.faces.GetSize(), 0) << "segment " << s << " band " << b;
      double area = 0;
      for (CGlFace& f : m.faces) {
        area += FaceArea(m, f);
        f.FaceNormal(m.points);
        if (flat)
          EXPECT_GT(f.normal.z, 0.999f);
        else
          EXPECT_GT(f.normal.z, 0.0f);
      }
      const double want = BandArea(model, s, b);
      EXPECT_NEAR(area, want, want * 0.01) << "segment " << s << " band " << b;
    }
}

}  // namespace

TEST(GeneratedCircuit, ClosesOnItselfWithTheRequestedLengthAndHeightsThatMeet) {
  CircuitOptions o;
  o.banked = true;
  CN5PtfDb model;
  BuildCircuit(o, model);
  ASSERT_EQ(model.NoSegments(true), 8);
  // The engine's truncated degree factor leaves a few micrometres.
  EXPECT_NEAR(model.GetTrackLength(), 2000, 1e-4);
  CN5ObjSg* last = model.GetSegObj(7);
  EXPECT_NEAR(last->endX, 0, 1e-4);
  EXPECT_NEAR(last->endY, 0, 1e-4);
  // Banked: the outer edge 0.08 x 18 = 1.44 m up at the end of every arc,
  // and level again at the end of every straight.
  EXPECT_NEAR(last->GetHeight(last->length, -9), 1.44, 1e-9);
  EXPECT_NEAR(model.GetSegObj(0)->GetHeight(0, -9), 1.44, 1e-9);
  EXPECT_NEAR(model.GetSegObj(0)->GetHeight(model.GetSegObj(0)->length, -9), 0, 1e-9);
  // Four surfaces (five band edges) and two walls per segment.
  EXPECT_EQ(model.GetSegObj(3)->bands.size(), 5u);
  EXPECT_EQ(model.GetSegObj(3)->walls.size(), 2u);
}

TEST(MeshProperties, SampleCircuit) {
  CN5PtfDb model;
  BuildSample(model);
  ExpectSoundMesh(model);
  // The first section is meshed finer across than the rest: its corners lie
  // on the next segment's edge without being the same corners.
  ExpectBandsJoin(model, false);
  ExpectBandsCovered(model, false);
}

TEST(MeshProperties, FlatGeneratedCircuit) {
  CircuitOptions o;
  o.detailEvery = 3;
  CN5PtfDb model;
  BuildCircuit(o, model);
  ExpectSoundMesh(model);
  ExpectBandsJoin(model, true);
  ExpectBandsCovered(model, true);
}

TEST(MeshProperties, BankedGeneratedCircuit) {
  CircuitOptions o;
  o.banked = true;
  o.bands = 6;
  o.bandWidth = 3;
  o.latRes = 1;
  o.longRes = 4;
  CN5PtfDb model;
  BuildCircuit(o, model);
  ExpectSoundMesh(model);
  ExpectBandsJoin(model, true);
  ExpectBandsCovered(model, false);
}

}  // namespace lapforge
