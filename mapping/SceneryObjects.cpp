// Scenery of a PTF track written as trackside object files beside it:
// infield fills and vertical boards, each centred on its lowest point,
// written as an object file and placed by a TSO reference.
#include <cmath>

#include "mapping/PtfMapping.h"
#include "mesh/GlFaceArray.h"
#include "mesh/GlInsert.h"
#include "mesh/GlMipArray.h"
#include "mesh/GlPointArray.h"
#include "ptf/TracksideObject.h"
#include "support/Errors.h"
#include "support/FileString.h"
#include "support/Memory.h"

namespace lapforge {

namespace {

// Degrees to radians for inserts (pi taken as 3.14159).
constexpr double kInsertDegToRad = 0.017453277777777776;

}  // namespace

CN5ObjRo* CN5PtfDb::AddGlInsert(const CGlInsert& insert, int /*flag*/) {
  CN5ObjTk* tk = GetWriteTk();
  auto* ref = Create<CN5ObjRo>(tk, &tk->tsoRefs);
  ref->placement[0] = insert.x;
  ref->placement[1] = insert.y;
  ref->placement[2] = insert.z;
  ref->placement[3] = insert.a * kInsertDegToRad;
  ref->placement[4] = -insert.b * kInsertDegToRad;
  ref->placement[5] = insert.c * kInsertDegToRad;
  CreateNewTso(ref, insert.name);
  return ref;
}

void CN5PtfDb::WriteSceneryObject(const std::string& folder, const std::string& title, CGlPointArray& points,
                                  CGlFaceArray& faces, const std::string& texture) {
  CGlMipArray mips;
  CGlMip mip;
  mip.mipName = texture;
  mip.mipTitle = texture;
  mips.Add(mip);
  faces.AutoMakeMips(points, mips, texture, 20.0);
  float cx = 0, cy = 0, cz = 0;
  faces.CentreFaces(points, cx, cy, cz, 0);
  CGlInsert insert;
  insert.name = title;
  insert.x = cx;
  insert.y = cy;
  insert.z = cz;
  AddGlInsert(insert, 0);
  CN5Tso tso;
  tso.defaultAppearanceMode = 1;
  tso.lodDistance = kSceneryLod;
  if (tso.MkTso(SceneryObjectFile(folder, title), points, faces, mips, 0, false, false)) ++sceneryFilesWritten;
}

std::string CN5PtfDb::SceneryObjectFile(const std::string& folder, const std::string& title) {
  return FileString::LowerFileName(folder + title + ".3do");
}

std::vector<std::string> CN5PtfDb::SceneryObjectFiles(const std::vector<std::string>& titles,
                                                      const std::string& folder) {
  CSafeFileTitles safe(kSceneryTitleLength);
  std::vector<std::string> files;
  files.reserve(titles.size());
  for (const std::string& title : titles) files.push_back(SceneryObjectFile(folder, safe.Next(title)));
  return files;
}

void CN5PtfDb::AddInfield(const std::string& folder, const std::string& name, double centreRaise, int start, int end,
                          int excludeStart, int excludeEnd, const std::string& texture) {
  // Every object takes its file title in description order, whether or not
  // it makes a file, so that the titles are known before the build.
  const std::string title = sceneryTitles_.Next(name);
  if (!EnsureLength()) return;
  const double length = std::trunc(trackLength);
  double s = start, e = end, xs = excludeStart, xe = excludeEnd;
  if (e < s) e += length;
  if (xe < xs) xe += length;

  // The fan's edge points every 5 m beside an excluded stretch, else every
  // 20 m; counted first, so that a range the machine cannot hold stops the
  // build with the row rather than taking the machine down.
  constexpr double kExcludedStep = 5, kPlainStep = 20;
  const long long count = EdgeFanPoints(s, e, xs, xe, kExcludedStep, kPlainStep);
  const double bytes = static_cast<double>(count) * sizeof(CGlPoint) + static_cast<double>(count - 1) * sizeof(CGlFace);
  if (const std::string refusal = MemoryRefusal(bytes, "the infield object \"" + title + "\""); !refusal.empty())
    ThrowInvalidArgument(refusal);

  // The centre: the middle of the edge points every 10 m, the excluded
  // stretch left out.
  CGlPoint centre;
  if (!EdgeCentre(0, s, e, 10, xs, xe, centreRaise, centre)) return;
  CGlPointArray points;
  CGlFaceArray faces;
  EdgeFan(0, centre, s, e, xs, xe, kExcludedStep, kPlainStep, -1, points, faces);
  WriteSceneryObject(folder, title, points, faces, texture);
}

void CN5PtfDb::AddVerticalObject(const std::string& folder, const std::string& name, double longStart, double latStart,
                                 double longEnd, double latEnd, double height, const std::string& texture) {
  const std::string title = sceneryTitles_.Next(name);
  if (!EnsureLength()) return;
  CGlPointArray points;
  CGlFaceArray faces;
  CGlPoint corners[4];
  BoardCorners(longStart, latStart, longEnd, latEnd, 0, height, corners);
  const CGlPoint &p0 = corners[0], &p1 = corners[1], &p2 = corners[2], &p3 = corners[3];
  CGlFace f;
  f.mipIndex = 0;
  f.hasUVs = 1;
  // The board faces the track from either side.
  if (latStart > 0) {
    for (const CGlPoint& p : {p0, p1, p2, p3}) f.AddVertex(points.Add(p));
    for (float uv : {1.f, 1.f, 0.f, 1.f, 0.f, 0.f, 1.f, 0.f}) f.AddFloat(uv);
  } else {
    for (const CGlPoint& p : {p0, p3, p2, p1}) f.AddVertex(points.Add(p));
    for (float uv : {1.f, 1.f, 1.f, 0.f, 0.f, 0.f, 0.f, 1.f}) f.AddFloat(uv);
  }
  faces.Add(f);
  WriteSceneryObject(folder, title, points, faces, texture);
}

}  // namespace lapforge
