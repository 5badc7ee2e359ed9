// Building the track record by record: segments, traction bands (kept
// sorted across the track), walls with their catch fences, bank lines and
// painted details.
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "support/Errors.h"
#include "track/N5Ptf.h"

namespace lapforge {

namespace {

// Whether (aStart, aEnd) sorts after (bStart, bEnd), so that a new record
// with the b values goes before it.
bool SortsAfter(double aStart, double aEnd, double bStart, double bEnd) {
  return aStart > bStart || (aStart == bStart && aEnd > bEnd);
}

// Where a new wall goes in a segment's list, kept in lateral order; false
// when a wall within 2 cm of it at both ends is there already (the new one
// is a duplicate and is not added).
bool WallPlace(const CN5ObjSg& sg, double latStart, double latEnd, size_t& at) {
  at = sg.walls.size();
  for (size_t i = 0; i < sg.walls.size(); ++i) {
    auto* o = dynamic_cast<CN5ObjWs*>(sg.walls[i]);
    if (o && std::fabs(o->latStart - latStart) <= 0.02 && std::fabs(o->latEnd - latEnd) <= 0.02) return false;
  }
  for (size_t i = 0; i < sg.walls.size(); ++i) {
    auto* o = dynamic_cast<CN5ObjWs*>(sg.walls[i]);
    if (o && SortsAfter(o->latStart, o->latEnd, latStart, latEnd)) {
      at = i;
      break;
    }
  }
  return true;
}

}  // namespace

int CN5Ptf::CreateSegment() {
  CN5ObjTk* tk = GetWriteTk();
  auto* sg = Create<CN5ObjSg>(tk);
  // Texture positions of this segment's walls continue those of the last one.
  prevRight.swap(curRight);
  prevLeft.swap(curLeft);
  curRight.clear();
  curLeft.clear();
  sg->index = static_cast<int>(tk->segments.size());
  tk->segments.push_back(sg);
  return sg->index;
}

void CN5Ptf::CreateNewTraction(int seg, double latStart, double latEnd, int grip, int textureIndex, int bandKind,
                               int straighten, const std::vector<_vars_track_tex_coord>& coords) {
  CN5ObjSg* sg = CheckedSegment(seg, "CreateNewTraction");
  size_t at = sg->bands.size();
  for (size_t i = 0; i < sg->bands.size(); ++i) {
    auto* b = dynamic_cast<CN5ObjFs*>(sg->bands[i]);
    if (!b) continue;
    if (b->latStart == latStart && b->latEnd == latEnd) return;
    // A band that shares one edge with its neighbour is moved off it by
    // 1 cm, so that the bands stay strictly ordered at both ends.
    if (b->latStart > latStart) {
      latEnd -= 0.01;
      at = i;
      break;
    }
    if (b->latStart == latStart && b->latEnd > latEnd) {
      latStart -= 0.01;
      at = i;
      break;
    }
  }
  auto* fs = Create<CN5ObjFs>(sg);
  fs->latStart = latStart;
  fs->latEnd = latEnd;
  fs->bandKind = bandKind;
  fs->grip = std::abs(grip);
  fs->straighten = static_cast<uint8_t>(straighten);
  fs->textureIndex = textureIndex;
  fs->texCoords = coords;
  sg->bands.insert(sg->bands.begin() + static_cast<std::ptrdiff_t>(at), fs);
}

void CN5Ptf::FinishTractionTextures(int seg) {
  CN5ObjSg* sg = CheckedSegment(seg, "FinishTractionTextures");
  std::vector<CN5ObjFs*> bands;
  bands.reserve(sg->bands.size());
  for (CN5Obj* o : sg->bands)
    if (auto* b = dynamic_cast<CN5ObjFs*>(o)) bands.push_back(b);
  size_t n = bands.size();
  if (n > 0) {
    // The rightmost surface reaches under the first wall.
    if (CN5ObjWs* w = sg->GetWsObj(0)) {
      bands[0]->latStart = std::fmin(bands[0]->latStart, w->latStart - w->boundWidthStart);
      bands[0]->latEnd = std::fmin(bands[0]->latEnd, w->latEnd - w->boundWidthEnd);
    }
    for (size_t i = 0; i + 1 < n; ++i) {
      if (bands[i]->latStart == bands[i + 1]->latStart) bands[i]->latStart -= 0.01;
      if (bands[i]->latEnd == bands[i + 1]->latEnd) bands[i]->latEnd -= 0.01;
    }
    // Band i's surface runs to band i + 1; the last band is only its left edge.
    for (size_t i = 0; i + 1 < n; ++i) {
      CN5ObjFs* b = bands[i];
      VARS_TRACK_TRACTION_TEX entry = TractionEntryFor(*b);
      b->contourFlag = entry.contourFlag;
      if (b->grip != 12) b->grip %= 10;
      if (b->grip < 1) b->grip = 1;
      if (entry.raceType > 0) b->bandKind = entry.raceType;
      if (!entry.tex.empty()) {
        CN5ObjAp* ap = CreateNewAppearance(b, entry.tex, 1);
        b->appearance = ap;
        b->textureCoords = CreateNewTextureCoordsTraction(b, bands[i + 1], sg->startLong, sg->endLong, entry);
        b->textureName = ap->GetPrimaryTexture();
      } else {
        b->children.push_back(nullptr);
      }
    }
    bands[n - 1]->children.push_back(nullptr);
  }
  MoveDuplicateXS(seg);
}

void CN5Ptf::CreateNewWall(int seg, double latStart, double latEnd, int grip, int textureIndex,
                           const std::vector<_vars_track_tex_coord>& coords, double widthStart, double widthEnd,
                           double heightStart, double heightEnd, int detail, int straighten) {
  CN5ObjSg* sg = CheckedSegment(seg, "CreateNewWall");
  // A wall with a catch fence: the fence stands 0.4 m further out.
  if (grip == 2070 || grip == 2071) {
    int fenceTexture = grip == 2070 ? 2060 : 2061;
    double out = latStart > 0 ? 0.4 : -0.4;
    CreateNewWall(seg, latStart + out, latEnd + out, 2053, fenceTexture, {}, 0, 0, 0, 0, 1, 0);
    grip = 2049;
    textureIndex = fenceTexture;
  }
  VARS_TRACK_WALL_TEX entry = WallEntryFor(grip, textureIndex);

  double w = entry.width < 0 ? 0 : entry.width;
  double ws = w, we = w, bws = w, bwe = w;
  if (widthStart > 0) ws = we = bws = bwe = widthStart;
  if (widthEnd > 0) we = bwe = widthEnd;
  if (detail) {
    if (bws > 0.1) {
      latStart += latStart <= 0 ? -bws : bws;
      latEnd += latEnd <= 0 ? -bwe : bwe;
    } else {
      latStart += latStart <= 0 ? -0.01 : 0.01;
      latEnd += latEnd <= 0 ? -0.01 : 0.01;
    }
  }
  double hs = entry.height > 0 ? entry.height : 1.2;
  if (heightStart > 0) hs = heightStart;
  double he = heightEnd > 0 ? heightEnd : hs;

  size_t at;
  if (!WallPlace(*sg, latStart, latEnd, at)) return;

  auto* wall = Create<CN5ObjWs>(sg);
  wall->latStart = latStart;
  wall->latEnd = latEnd;
  wall->straighten = static_cast<uint8_t>(straighten);
  wall->heightStart = hs;
  wall->heightEnd = he;
  wall->widthStart = ws;
  wall->widthEnd = we;
  wall->boundWidthStart = bws;
  wall->boundWidthEnd = bwe;
  wall->wallType = entry.gripOverride > 0 ? entry.gripOverride : std::abs(grip);
  wall->raceType = entry.raceType;
  wall->vertical = entry.vertical;
  wall->catchFence = entry.catchFence;
  wall->repeatModulus = entry.repeatModulus > 0 ? entry.repeatModulus : 1000;
  sg->walls.insert(sg->walls.begin() + static_cast<std::ptrdiff_t>(at), wall);

  AddWallFaces(sg, wall, entry, grip, coords);
}

// Five faces: right, top, left, and the two ends. A wall without width has
// only its two sides; a wall of grip 0 or below has none.
void CN5Ptf::AddWallFaces(CN5ObjSg* sg, CN5ObjWs* wall, const VARS_TRACK_WALL_TEX& entry, int grip,
                          const std::vector<_vars_track_tex_coord>& coords) {
  const std::string* names[5] = {&entry.texRight, &entry.texTop,
                                 entry.texLeft.empty() ? &entry.texRight : &entry.texLeft, &entry.texEnd,
                                 &entry.texEnd};
  wall->faces.assign(5, CN5ObjWs::_ApTuPair());
  wall->textureNames.assign(5, std::string());
  for (int f = 0; f < 5; ++f) {
    const std::string& name = *names[f];
    bool sideFace = f == 0 || f == 2;
    if (grip <= 0 || name.empty() || (!sideFace && !(wall->widthStart > 0.005))) continue;
    CN5ObjAp* ap = CreateNewAppearance(wall, name, 1);
    CN5ObjTu* tu =
        CreateNewTextureCoordsWall(wall, sg->startLong, sg->endLong, wall->latStart, wall->latEnd, f, entry, coords);
    wall->faces[static_cast<size_t>(f)] = {ap, tu};
    wall->textureNames[static_cast<size_t>(f)] = ap->GetPrimaryTexture();
  }
}

void CN5Ptf::CreateNewBank(int seg, double latStart, double latEnd, double heightStart, double heightEnd,
                           double gradStart, double gradEnd) {
  CN5ObjSg* sg = CheckedSegment(seg, "CreateNewBank");
  // On an arc a bank line never crosses the centre.
  if (sg->segType == 1) {
    if (sg->radius < 0) {
      latStart = std::fmax(latStart, sg->radius);
      latEnd = std::fmax(latEnd, sg->radius);
    } else if (sg->radius > 0) {
      latStart = std::fmin(latStart, sg->radius);
      latEnd = std::fmin(latEnd, sg->radius);
    }
  }
  size_t at = sg->bankLines.size();
  for (size_t i = 0; i < sg->bankLines.size(); ++i) {
    auto* x = dynamic_cast<CN5ObjXs*>(sg->bankLines[i]);
    if (!x) continue;
    if (x->latStart == latStart && x->latEnd == latEnd) return;
    if (SortsAfter(x->latStart, x->latEnd, latStart, latEnd)) {
      at = i;
      break;
    }
  }
  auto* xs = Create<CN5ObjXs>(sg);
  xs->latStart = latStart;
  xs->latEnd = latEnd;
  xs->heightStart = heightStart;
  xs->heightEnd = heightEnd;
  xs->gradStart = gradStart;
  xs->gradEnd = gradEnd;
  xs->CalcFactors(sg->length, sg->radius);
  sg->bankLines.insert(sg->bankLines.begin() + static_cast<std::ptrdiff_t>(at), xs);
}

void CN5Ptf::MoveDuplicateXS(int seg) {
  CN5ObjSg* sg = CheckedSegment(seg, "MoveDuplicateXS");
  for (size_t i = 0; i + 1 < sg->bankLines.size(); ++i) {
    auto* a = dynamic_cast<CN5ObjXs*>(sg->bankLines[i]);
    auto* b = dynamic_cast<CN5ObjXs*>(sg->bankLines[i + 1]);
    if (!a || !b) continue;
    if (a->latStart == b->latStart) a->latStart -= 0.005;
    if (a->latEnd == b->latEnd) a->latEnd -= 0.005;
  }
  for (CN5Obj* o : sg->bankLines)
    if (auto* x = dynamic_cast<CN5ObjXs*>(o)) x->CalcFactors(sg->length, sg->radius);
}

void CN5Ptf::CreateNewTrackDetail(double lng, double lat, double width, double length, double heading,
                                  const std::string& texture, double u, double v) {
  CN5ObjTk* tk = GetWriteTk();
  auto* td = Create<CN5ObjTd>(tk, &tk->details);
  auto put = [&](size_t off, double value) { std::memcpy(td->block.data() + off, &value, 8); };
  put(0, lng);
  put(8, lat);
  put(16, width);
  put(24, length);
  put(32, heading);
  put(52, u);
  put(60, u);
  put(80, v);
  put(88, v);
  CreateNewAppearance(td, texture, 0);
}

}  // namespace lapforge
