// Scenery meshes for the exporters: infield fans, outfield banks and boards,
// and the pieces they share with the scenery object files of a PTF track.
#include <algorithm>
#include <cfloat>
#include <cmath>

#include "mesh/GlFaceArray.h"
#include "mesh/GlMaterialArray.h"
#include "mesh/GlPointArray.h"
#include "support/FileString.h"
#include "track/N5MeshSupport.h"
#include "track/N5Ptf.h"

namespace lapforge {

namespace {

// The running bounding box of sampled points.
struct BoxOfPoints {
  float lo[3] = {FLT_MAX, FLT_MAX, FLT_MAX};
  float hi[3] = {-FLT_MAX, -FLT_MAX, -FLT_MAX};
  bool any = false;

  void Add(const CGlPoint& p) {
    const float v[3] = {p.x, p.y, p.z};
    for (int k = 0; k < 3; ++k) {
      lo[k] = std::min(lo[k], v[k]);
      hi[k] = std::max(hi[k], v[k]);
    }
    any = true;
  }
  CGlPoint Middle(double raise) const {
    return CGlPoint((lo[0] + hi[0]) / 2, (lo[1] + hi[1]) / 2, static_cast<float>((lo[2] + hi[2]) / 2 + raise));
  }
};

CGlFace Triangle(int a, int b, int c, int materialIndex) {
  CGlFace f;
  f.AddVertex(a);
  f.AddVertex(b);
  f.AddVertex(c);
  f.materialIndex = materialIndex;
  return f;
}

// Scenery values come from a user's description: a range or step that is
// not finite would make the sampling loops run without end.
bool AllFinite(std::initializer_list<double> values) {
  for (double v : values)
    if (!std::isfinite(v)) return false;
  return true;
}

// A tiling or sampling step, 10 m when the given one is not above 0.
double UsableStep(double step) { return step > 0 && std::isfinite(step) ? step : 10.0; }

// How many k >= first (0 or 1) give from + k step below `below`, exactly as
// the sampling loops work it out; the ceiling when a step not above 0
// would never get there.
long long StepsBelow(double from, double below, double step, int first) {
  if (!(from < below)) return 0;
  if (!(step > 0)) return kCountCeiling;
  const double estimate = std::ceil((below - from) / step);
  if (!(estimate < static_cast<double>(kCountCeiling))) return kCountCeiling;
  // The first k whose position is not below the end; the quotient may miss
  // it by one either way. Beyond 2^50 steps one more or less is nothing.
  long long k = static_cast<long long>(estimate);
  if (estimate < 0x1p50) {
    while (k > 0 && !(from + static_cast<double>(k - 1) * step < below)) --k;
    while (from + static_cast<double>(k) * step < below) ++k;
  }
  return k > first ? k - first : 0;
}

}  // namespace

long long CN5Ptf::EdgeFanPoints(double start, double end, double excludeStart, double excludeEnd, double excludedStep,
                                double plainStep) {
  // The centre, the first edge point, the points of the steps, the point at
  // excludeStart when a stretch is left out, and the last one at end.
  if (excludeStart > 0 && excludeEnd > 0)
    return CountSum(
        CountSum(StepsBelow(start, excludeStart, excludedStep, 1), StepsBelow(excludeEnd, end, excludedStep, 0)), 4);
  return CountSum(StepsBelow(start, end, plainStep, 1), 3);
}

CGlPoint CN5Ptf::EdgePoint(double lng, int side, double offset) {
  float x = 0, y = 0, z = 0;
  GetOutsideXYZ(lng, side, offset, x, y, z);
  return CGlPoint(x, y, z);
}

bool CN5Ptf::EdgeCentre(int side, double start, double end, double step, double excludeStart, double excludeEnd,
                        double raise, CGlPoint& centre) {
  if (!(step > 0) || !AllFinite({start, end, step, excludeStart, excludeEnd, raise})) return false;
  BoxOfPoints box;
  // Positions from a counter, so that a fractional step does not drift.
  for (long long k = 0;; ++k) {
    const double lng = start + static_cast<double>(k) * step;
    if (!(lng < end)) break;
    if (lng > excludeStart && lng < excludeEnd) continue;
    box.Add(EdgePoint(lng, side));
  }
  if (!box.any) return false;
  centre = box.Middle(raise);
  return true;
}

int CN5Ptf::EdgeFan(int side, const CGlPoint& centre, double start, double end, double excludeStart, double excludeEnd,
                    double excludedStep, double plainStep, int materialIndex, CGlPointArray& points,
                    CGlFaceArray& faces) {
  const bool excluded = excludeStart > 0 && excludeEnd > 0;
  const double step = excluded ? excludedStep : plainStep;
  const long long count = EdgeFanPoints(start, end, excludeStart, excludeEnd, excludedStep, plainStep);
  points.Reserve(points.GetSize() + count);
  faces.Reserve(faces.GetSize() + count - 1);

  const int c = points.Add(centre);
  const int first = points.Add(EdgePoint(start, side));
  auto fanTo = [&](double lng) {
    const int prev = points.GetSize() - 1;
    const int next = points.Add(EdgePoint(lng, side));
    faces.Add(Triangle(prev, c, next, materialIndex));
  };
  auto every = [&](double from, long long k0, double below) {
    for (long long k = k0;; ++k) {
      const double lng = from + static_cast<double>(k) * step;
      if (!(lng < below)) break;
      fanTo(lng);
    }
  };
  if (excluded) {
    every(start, 1, excludeStart);
    fanTo(excludeStart);
    every(excludeEnd, 0, end);
  } else {
    every(start, 1, end);
  }
  fanTo(end);
  faces.Add(Triangle(points.GetSize() - 1, c, first, materialIndex));
  return c;
}

void CN5Ptf::BoardCorners(double longStart, double latStart, double longEnd, double latEnd, double elevation,
                          double height, CGlPoint corners[4]) {
  float x = 0, y = 0, z = 0;
  GetXYZ(longStart, latStart, x, y, z);
  corners[0] = CGlPoint(x, y, static_cast<float>(z + elevation));
  x = y = z = 0;
  GetXYZ(longEnd, latEnd, x, y, z);
  corners[1] = CGlPoint(x, y, static_cast<float>(z + elevation));
  corners[2] = corners[1];
  corners[2].z = static_cast<float>(corners[1].z + height);
  corners[3] = corners[0];
  corners[3].z = static_cast<float>(corners[0].z + height);
}

bool CN5Ptf::InfieldRange(const _vars_infield_obj& infield, double& start, double& end, double& excludeStart,
                          double& excludeEnd) const {
  start = infield.start, end = infield.end;
  excludeStart = infield.excludeStart, excludeEnd = infield.excludeEnd;
  if (!AllFinite({start, end, excludeStart, excludeEnd})) return false;
  if (excludeStart > 0 && excludeEnd > 0) {
    // Each value after the previous one, wrapping past the start line.
    if (start > excludeStart) excludeStart += trackLength;
    if (excludeStart > excludeEnd) excludeEnd += trackLength;
    if (excludeEnd > end) end += trackLength;
  } else if (end < start) {
    // Without an excluded stretch only the end wraps: the chain above would
    // send the end a whole lap further for any infield not starting at 0.
    end += trackLength;
  }
  return true;
}

void CN5Ptf::CountInfieldObject(const _vars_infield_obj& infield, GlBlockCount& block) {
  double start, end, excludeStart, excludeEnd;
  if (!EnsureLength() || !InfieldRange(infield, start, end, excludeStart, excludeEnd)) return;
  const double step = UsableStep(infield.tilingScale);
  // A fan: every edge point after the first closes a triangle, and one more
  // closes the fan.
  const long long points = EdgeFanPoints(start, end, excludeStart, excludeEnd, step, step);
  block.rows = std::max(block.rows, points - 2);
  block.across = CountSum(block.across, 1);
  block.Add(FileString::Title(infield.material), points - 1, points);
}

void CN5Ptf::CreateInfieldObject(const _vars_infield_obj& infield, CGlFaceArray& faces, CGlPointArray& points,
                                 CGlMaterialArray& materials) {
  if (!EnsureLength()) return;
  const int material = materials.AddByTexName(infield.material);
  double start, end, excludeStart, excludeEnd;
  if (!InfieldRange(infield, start, end, excludeStart, excludeEnd)) return;
  const double step = UsableStep(infield.tilingScale);
  const int side = infield.left ? 1 : 0;
  CGlPoint centre;
  if (!EdgeCentre(side, start, end, step, excludeStart, excludeEnd, infield.peakHeight, centre)) return;
  EdgeFan(side, centre, start, end, excludeStart, excludeEnd, step, step, material, points, faces);
  // Along the left edge the fan runs the other way round.
  if (side) faces.ReverseAll();
  faces.VertexShading(points);
  faces.SetUVScale(points, infield.textureMappingScale);
}

bool CN5Ptf::OutfieldSteps(const _vars_outfield_obj& outfield, double& start, double& end, long long& steps) const {
  start = outfield.start;
  end = outfield.end;
  if (!AllFinite({start, end, outfield.widthStart, outfield.widthEnd, outfield.elevationStart, outfield.elevationEnd,
                  outfield.peakHeight}))
    return false;
  if (end < start) end += trackLength;
  if (!(end >= start)) return false;
  const double n = (end - start) / UsableStep(outfield.tilingScale) + 1;
  steps = n < static_cast<double>(kCountCeiling) ? std::max(1LL, static_cast<long long>(n)) : kCountCeiling;
  return true;
}

void CN5Ptf::CountOutfieldObject(const _vars_outfield_obj& outfield, GlBlockCount& block) {
  double start, end;
  long long steps;
  if (!EnsureLength() || !OutfieldSteps(outfield, start, end, steps)) return;
  // Inner and outer edge points at each of the steps + 1 positions and the
  // peak; a triangle per step on either edge and one joining them at each end.
  const long long edge = CountSum(steps, 1);
  block.rows = std::max(block.rows, steps);
  block.across = CountSum(block.across, 2);
  block.Add(FileString::Title(outfield.material), CountProduct(2, edge), CountSum(CountProduct(2, edge), 1));
}

void CN5Ptf::CreateOutfieldObject(const _vars_outfield_obj& outfield, CGlFaceArray& faces, CGlPointArray& points,
                                  CGlMaterialArray& materials) {
  if (!EnsureLength()) return;
  const int material = materials.AddByTexName(outfield.material);
  double start, end;
  long long n;
  if (!OutfieldSteps(outfield, start, end, n)) return;
  const double step = (end - start) / static_cast<double>(n);
  const int side = outfield.widthStart < 0 ? 0 : 1;

  // Inner and outer edge at each of the n steps (start and end included).
  const size_t count = static_cast<size_t>(n) + 1;
  std::vector<CGlPoint> inner(count), outer(count);
  BoxOfPoints box;
  for (size_t k = 0; k < count; ++k) {
    const double f = static_cast<double>(k) / static_cast<double>(n);
    const double lng = start + static_cast<double>(k) * step;
    const double width = outfield.widthStart + (outfield.widthEnd - outfield.widthStart) * f;
    const double elevation = outfield.elevationStart + (outfield.elevationEnd - outfield.elevationStart) * f;
    inner[k] = EdgePoint(lng, side);
    outer[k] = EdgePoint(lng, side, width);
    outer[k].z = static_cast<float>(outer[k].z + elevation);
    box.Add(inner[k]);
    box.Add(outer[k]);
  }

  points.Reserve(points.GetSize() + static_cast<long long>(2 * count + 1));
  faces.Reserve(faces.GetSize() + static_cast<long long>(2 * count + 2));
  const int c = points.Add(box.Middle(outfield.peakHeight));
  // Triangles are listed as for the right side; on the left each is
  // mirrored so that the bank still faces up.
  auto add = [&](int a, int b, int d) {
    faces.Add(side == 0 ? Triangle(a, b, d, material) : Triangle(d, b, a, material));
  };
  const int firstInner = points.Add(inner[0]);
  for (size_t k = 1; k < count; ++k) {
    const int prev = points.GetSize() - 1;
    add(prev, c, points.Add(inner[k]));
  }
  const int lastInner = points.GetSize() - 1;
  add(c, firstInner, points.Add(outer[0]));
  for (size_t k = 1; k < count; ++k) {
    const int prev = points.GetSize() - 1;
    add(c, prev, points.Add(outer[k]));
  }
  add(points.GetSize() - 1, lastInner, c);
  faces.VertexShading(points);
  faces.SetUVScale(points, outfield.textureMappingScale);
}

void CN5Ptf::CountTreeObject(const _vars_vertical_obj& vertical, GlBlockCount& block) {
  if (!EnsureLength()) return;
  block.rows = std::max(block.rows, 1LL);
  block.across = CountSum(block.across, 1);
  block.Add(FileString::Title(vertical.material), 1, 4);
}

void CN5Ptf::CreateTreeObject(const _vars_vertical_obj& vertical, CGlFaceArray& faces, CGlPointArray& points,
                              CGlMaterialArray& materials) {
  if (!EnsureLength()) return;
  const int material = materials.AddByTexName(vertical.material);
  // One quad, its winding the same on either side of the track: the games
  // draw it from both sides only when its material is double-sided.
  materials[material].doubleSided = 1;
  CGlPoint corners[4];
  BoardCorners(vertical.longStart, vertical.latStart, vertical.longEnd, vertical.latEnd, vertical.elevation,
               vertical.height, corners);
  CGlFace f;
  for (const CGlPoint& p : corners) f.AddVertex(points.Add(p));
  for (float uv : {1.f, 1.f, 0.f, 1.f, 0.f, 0.f, 1.f, 0.f}) f.AddFloat(uv);
  f.hasUVs = 1;
  f.materialIndex = material;
  const int first = faces.Add(f);
  faces.FacetNormals(points, false, first);
}

}  // namespace lapforge
