// Textures of the built track: the texture table entry of a band or wall,
// appearances named through the material table, and the texture
// coordinates of bands and wall faces, which run on from segment to segment.
#include <algorithm>
#include <cmath>

#include "support/FileString.h"
#include "track/N5Ptf.h"

namespace lapforge {

namespace {

// The texture coordinate of the continuity list entry at lateral lat (the
// last one recorded there), or fallback.
double ContinuedAt(const std::vector<_vars_wall_continuity>& list, double lat, double fallback) {
  for (auto it = list.rbegin(); it != list.rend(); ++it)
    if (it->lat == lat) return it->s;
  return fallback;
}

void SetCorners(CN5ObjTu* tu, const double (&u)[4], const double (&v)[4]) {
  tu->u1.assign(u, u + 4);
  tu->v1.assign(v, v + 4);
}

}  // namespace

VARS_TRACK_TRACTION_TEX CN5Ptf::TractionEntryFor(const CN5ObjFs& band) const {
  VARS_TRACK_TRACTION_TEX entry;
  entry.grip = static_cast<uint16_t>(band.grip);
  entry.textureIndex = band.textureIndex;
  switch (band.grip) {
    case 2:
      entry.tex = "Concrete";
      break;
    case 3:
    case 13:
    case 103:
      entry.tex = band.grip == 13 ? "Curbing" : "Paint";
      entry.clampHint = 1;
      break;
    case 4:
    case 5:
    case 6:
    case 7:
    case 8:
      entry.tex = "Grass";
      break;
    default:
      entry.tex = "Asphalt";
      break;
  }
  for (const VARS_TRACK_TRACTION_TEX& e : tractionTex)
    if (e.grip == band.grip && (e.textureIndex < 0 || e.textureIndex == band.textureIndex)) entry = e;
  return entry;
}

VARS_TRACK_WALL_TEX CN5Ptf::WallEntryFor(int grip, int textureIndex) const {
  VARS_TRACK_WALL_TEX entry;
  entry.grip = static_cast<uint16_t>(grip);
  entry.textureIndex = textureIndex;
  for (const VARS_TRACK_WALL_TEX& e : wallTex)
    if (e.grip == grip && (e.textureIndex < 0 || e.textureIndex == textureIndex)) entry = e;
  // An entry without a side texture gives way to the family entry of the
  // texture index (its last two digits).
  if (entry.texRight.empty())
    for (const VARS_TRACK_WALL_TEX& e : wallTex)
      if (e.grip == grip && e.textureIndex == textureIndex % 100) entry = e;
  return entry;
}

CN5ObjAp* CN5Ptf::CreateNewAppearance(CN5Obj* record, const std::string& texture, int flag) {
  _vars_track_material material;
  std::string mapName = materials.Lookup(texture, material) ? material.mapName : texture;
  CN5ObjAp* ap = CN5Root::CreateNewAppearance(record, std::string(), nullptr);
  ap->appearanceName = texture;
  std::string file = FileString::FileName(mapName);
  if (!file.empty()) Create<CN5ObjTx>(ap)->textureName = flag == 1 ? "trackmat\\" + file : file;
  return ap;
}

CN5ObjTu* CN5Ptf::CreateNewTextureCoordsTraction(CN5ObjFs* band, CN5ObjFs* next, double startLong, double endLong,
                                                 const VARS_TRACK_TRACTION_TEX& entry) {
  double rl = entry.repeatLength > 0 ? entry.repeatLength : 20;
  double rw = entry.repeatWidth > 0 ? entry.repeatWidth : 5;
  double vs = std::fmod(startLong / rl, 1.0);
  double ve = (endLong - startLong) / rl + vs;
  // Corners: start-right, end-right, end-left, start-left.
  double u[4] = {band->latStart / rw, band->latEnd / rw, next ? next->latEnd / rw : 0, next ? next->latStart / rw : 0};
  if (entry.clampHint & 1) {
    bool rightHigh = band->latStart >= 0 && entry.r90 != 0;
    u[0] = u[1] = rightHigh ? 0.99 : 0;
    u[2] = u[3] = rightHigh ? 0 : 0.99;
  }
  if (entry.clampHint & 2) {
    vs = 0;
    ve = 1;
  }
  if (entry.clampHint & 4)
    for (double& x : u) x = 0.99 - x;
  double v[4] = {vs, ve, ve, vs};
  if (band->texCoords.size() == 4)
    for (int i = 0; i < 4; ++i) {
      u[i] = band->texCoords[static_cast<size_t>(i)].u;
      v[i] = band->texCoords[static_cast<size_t>(i)].v;
    }
  auto* tu = Create<CN5ObjTu>(band);
  SetCorners(tu, u, v);
  tu->rotation = entry.r90;
  tu->material = entry.tex2;
  return tu;
}

CN5ObjTu* CN5Ptf::CreateNewTextureCoordsWall(CN5ObjWs* wall, double startLong, double endLong, double latStart,
                                             double latEnd, int face, const VARS_TRACK_WALL_TEX& entry,
                                             const std::vector<_vars_track_tex_coord>& coords) {
  // On an arc the texture keeps its size along the wall's own arc length.
  double k = 1;
  if (auto* sg = dynamic_cast<const CN5ObjSg*>(wall->parent); sg && sg->radius != 0)
    k = std::fabs((sg->radius - (latStart + latEnd) / 2) / sg->radius);
  double rl = entry.repeatLength > 0.01 ? entry.repeatLength : 20;
  double span = (endLong - startLong) / rl * k;

  // Right faces run on forwards from the wall that ended at this wall's
  // start; left faces run backwards.
  int c = face == 1 ? (latStart > 0 ? 0 : 2) : face;
  double s0, s1;
  if (c == 0) {
    s0 = ContinuedAt(prevRight, latStart, 0);
    s1 = s0 + span;
  } else if (c == 2) {
    s1 = ContinuedAt(prevLeft, latStart, span);
    s0 = s1 - span;
  } else {
    s0 = 0;
    s1 = span;
  }
  double m = wall->repeatModulus > 0 ? wall->repeatModulus : 1000;
  s0 = std::trunc(m * s0) / m;
  s1 = std::trunc(m * s1) / m;
  if (s0 == s1) s1 = s0 + 1 / m;

  double tMax = entry.maxTexV, tMin = entry.minTexV;
  for (size_t i = 0; i + 1 < coords.size(); ++i)
    if (coords[i].surface == c && coords[i + 1].surface == c) {
      s0 = coords[i].u;
      s1 = coords[i + 1].u;
      tMax = std::max(coords[i].v, coords[i + 1].v);
      tMin = std::min(coords[i].v, coords[i + 1].v);
    }

  auto* tu = Create<CN5ObjTu>(wall);
  if (face == 0) {
    SetCorners(tu, {s0, s1, s1, s0}, {tMax, tMax, tMin, tMin});
  } else if (face == 1) {
    if (latStart <= 0)
      SetCorners(tu, {s1, s0, s0, s1}, {0, 0, 1, 1});
    else
      SetCorners(tu, {s0, s1, s1, s0}, {1, 1, 0, 0});
  } else if (face == 2) {
    SetCorners(tu, {s1, s0, s0, s1}, {tMin, tMin, tMax, tMax});
  } else {
    double hi = entry.maxTexV, lo = entry.minTexV;
    SetCorners(tu, {1, 1, 0, 0}, {hi, lo, lo, hi});
  }
  if (face == 0) curRight.push_back({latEnd, s1});
  if (face == 2) curLeft.push_back({latEnd, s0});
  tu->rotation = 0;
  tu->material = entry.tex5;
  return tu;
}

}  // namespace lapforge
