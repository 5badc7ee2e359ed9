// The description mapping of the track model: summary, sections, contours
// and the bank lines made from them, details, trackside objects, bumps, and
// the band and wall read-out with its texture tables.
#include "mapping/PtfMapping.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "support/Errors.h"
#include "support/FileString.h"
#include "support/TextFormat.h"

namespace lapforge {

namespace {

constexpr double kMetresToMiles = 0.0006213711922373339;
constexpr double kHalfTurn = 3.14159265;

// a / b, or 0 where the quotient would not be a finite number.
double SafeDiv(double a, double b) {
  if (b == 0) return 0;
  double q = a / b;
  return std::isfinite(q) ? q : 0;
}

// A lateral position kept on the near side of an arc's centre.
double ClampToCentre(const CN5ObjSg& seg, double lat) {
  if (seg.segType != 1) return lat;
  if (seg.radius < 0) return std::fmax(lat, seg.radius);
  if (seg.radius > 0) return std::fmin(lat, seg.radius);
  return lat;
}

struct ContourPoint {
  double lat, height, grad;
};

// Height and gradient at lat across points sorted by lateral: the
// outermost point's values beyond them, linear between neighbours.
void ReadAcross(const std::vector<ContourPoint>& pts, double lat, double& height, double& grad) {
  if (lat <= pts.front().lat) {
    height = pts.front().height, grad = pts.front().grad;
    return;
  }
  if (lat >= pts.back().lat) {
    height = pts.back().height, grad = pts.back().grad;
    return;
  }
  for (size_t i = 0; i + 1 < pts.size(); ++i) {
    const ContourPoint &a = pts[i], &b = pts[i + 1];
    if (lat >= a.lat && lat < b.lat) {
      double f = SafeDiv(lat - a.lat, b.lat - a.lat);
      height = a.height + f * (b.height - a.height);
      grad = a.grad + f * (b.grad - a.grad);
      return;
    }
  }
  height = pts.back().height, grad = pts.back().grad;
}

template <size_t N>
void Put(std::array<uint8_t, N>& b, size_t off, const void* v, size_t n) {
  std::memcpy(b.data() + off, v, n);
}
template <size_t N>
double BlockDouble(const std::array<uint8_t, N>& b, size_t off) {
  double v;
  std::memcpy(&v, b.data() + off, 8);
  return v;
}

const CN5ObjTu* Coords(const CN5Obj* o) {
  auto* tu = dynamic_cast<const CN5ObjTu*>(o);
  return tu && tu->u1.size() >= 4 && tu->v1.size() >= 4 ? tu : nullptr;
}

}  // namespace

std::unique_ptr<CN5PtfDb> CN5PtfDb::CreateFromFile(const std::string& filePath, Result& result) {
  auto model = std::make_unique<CN5PtfDb>();
  result = model->ReadPtf(filePath);
  if (!result) return nullptr;
  std::string name = FileString::FileName(filePath);
  model->trackName = name.substr(0, name.find('.'));
  return model;
}

// ---- summary and sections ----

CN5ObjSg* CN5PtfDb::FirstSegObj() {
  CN5ObjTk* tk = writeTk ? writeTk : GetTk();
  if (!tk) return nullptr;
  for (CN5Obj* o : tk->segments)
    if (auto* sg = dynamic_cast<CN5ObjSg*>(o)) return sg;
  return nullptr;
}

int CN5PtfDb::SegmentSlots() {
  CN5ObjTk* tk = writeTk ? writeTk : GetTk();
  return tk ? static_cast<int>(tk->segments.size()) : 0;
}

void CN5PtfDb::DbSetSummary(const TrackSummaryRecord& s) {
  cursorX = s.xOrigin;
  cursorY = s.yOrigin;
  cursorZ = s.zOrigin;
  cursorHeading = s.startAngle * _ang_to_rad;
  cursorLong = 0;
  startHeight = s.zOrigin;
  if (s.longRes > 0) longResolution = s.longRes;
  if (s.arcRes > 0) arcResolution = s.arcRes * _ang_to_rad;
  if (s.latRes > 0) latResolution = s.latRes;
  CN5ObjTk* tk = GetWriteTk();
  tk->nightFlag = static_cast<uint8_t>(s.night != 0);
  tk->northSouthAngle = static_cast<float>(s.nsAngle * _ang_to_rad);
  for (double& v : tk->lightValues) v = s.ambient;
}

void CN5PtfDb::DbGetSummary(TrackSummaryRecord& s) {
  s.lengthMetres = GetTrackLength();
  s.lengthMiles = s.lengthMetres * kMetresToMiles;
  s.name = trackName;
  if (CN5ObjTk* tk = GetTk(); tk && tk->headerValue == 8) {
    s.ambient = tk->lightValues[0];
    s.night = tk->nightFlag;
    s.nsAngle = tk->northSouthAngle * _rad_to_ang;
  }
  s.longRes = s.arcRes = s.latRes = 5;
  if (CN5ObjSg* first = FirstSegObj()) {
    s.startAngle = first->startAngle * _rad_to_ang;
    s.xOrigin = trackStartX;
    s.yOrigin = trackStartY;
    s.zOrigin = 0;
    startHeight = 0;
  }
}

int CN5PtfDb::DbSetSection(const SectionRecord& section) {
  int index = CreateSegment();
  CN5ObjSg* sg = GetSegObj(index);
  sg->longRes = section.longRes;
  sg->arcRes = section.arcRes * _ang_to_rad;
  sg->latRes = section.latRes;
  sg->startX = cursorX;
  sg->startY = cursorY;
  sg->startAngle = cursorHeading;
  sg->startLong = cursorLong;
  cursorLong += section.length;
  sg->endLong = cursorLong;
  sg->CalcEnd(section.type, section.length, section.angleChange * _ang_to_rad);
  std::vector<std::string> faults;
  if (sg->CheckForErrors(&faults) > 0) {
    std::string text;
    for (const std::string& f : faults) text += (text.empty() ? "" : "\n") + f;
    ThrowInvalidArgument(text);
  }
  cursorX = sg->endX;
  cursorY = sg->endY;
  cursorHeading = sg->endAngle;
  // The chain changed: positions are laid out again when next asked.
  trackLength = 0;
  return index;
}

void CN5PtfDb::DbGetSection(int index, SectionRecord& s) {
  EnsureLength();
  CN5ObjSg* sg = GetSegObj(index);
  if (!sg) ThrowInvalidArgument("DbGetSection: no segment " + std::to_string(index));
  // Headings are relative to the first segment record of the array, which
  // a file may not hold at position 0.
  const CN5ObjSg* first = FirstSegObj();
  s.index = index;
  s.type = sg->segType;
  s.start = sg->startLong;
  s.length = sg->length;
  s.radius = sg->radius;
  s.angleStart = (sg->startAngle - first->startAngle) * _rad_to_ang;
  double d = sg->endAngle - sg->startAngle;
  if (d < -kHalfTurn)
    d += _two_pi;
  else if (d > kHalfTurn)
    d = -(_two_pi - d);
  s.angleChange = d * _rad_to_ang;
}

// ---- contours and bank lines ----

void CN5PtfDb::DbSetContours(int seg, const std::vector<ContourRecord>& list) {
  CheckedSegment(seg, "DbSetContours");
  if (contours_.size() <= size_t(seg)) contours_.resize(size_t(seg) + 1);
  std::vector<ContourRecord>& stored = contours_[size_t(seg)];
  stored = list;
  for (ContourRecord& c : stored) {
    c.height += startHeight;
    c.heightEnd += startHeight;
  }
}

const std::vector<ContourRecord>& CN5PtfDb::StoredContours(int seg) const {
  static const std::vector<ContourRecord> none;
  return seg >= 0 && size_t(seg) < contours_.size() ? contours_[size_t(seg)] : none;
}

void CN5PtfDb::DbGetContours(int seg, std::vector<ContourRecord>& list) {
  list.clear();
  CN5ObjSg* sg = GetSegObj(seg);
  if (!sg) return;
  list.reserve(sg->bankLines.size());
  for (CN5Obj* o : sg->bankLines)
    if (auto* x = dynamic_cast<CN5ObjXs*>(o))
      list.push_back(
          {x->latStart, x->heightStart - startHeight, x->gradStart, x->latEnd, x->heightEnd - startHeight, x->gradEnd});
}

bool CN5PtfDb::GetContourInfo(int seg, double latStart, double latEnd, ContourRecord& out) const {
  const std::vector<ContourRecord>& stored = StoredContours(seg);
  const CN5ObjSg* sg = const_cast<CN5PtfDb*>(this)->GetSegObj(seg);
  if (stored.empty() || !sg) return false;
  std::vector<ContourPoint> atStart, atEnd;
  atStart.reserve(stored.size());
  atEnd.reserve(stored.size());
  for (const ContourRecord& c : stored) {
    atStart.push_back({ClampToCentre(*sg, c.latStart), c.height, c.grad});
    atEnd.push_back({ClampToCentre(*sg, c.latEnd), c.heightEnd, c.gradEnd});
  }
  auto byLat = [](const ContourPoint& a, const ContourPoint& b) { return a.lat < b.lat; };
  std::stable_sort(atStart.begin(), atStart.end(), byLat);
  std::stable_sort(atEnd.begin(), atEnd.end(), byLat);
  out.latStart = ClampToCentre(*sg, latStart);
  out.latEnd = ClampToCentre(*sg, latEnd);
  ReadAcross(atStart, out.latStart, out.height, out.grad);
  ReadAcross(atEnd, out.latEnd, out.heightEnd, out.gradEnd);
  return true;
}

void CN5PtfDb::BanksFromContours(int seg) {
  for (const ContourRecord& c : StoredContours(seg))
    CreateNewBank(seg, c.latStart, c.latEnd, c.height, c.heightEnd, c.grad, c.gradEnd);
}

void CN5PtfDb::BanksFromGrips(int seg) {
  const std::vector<ContourRecord> stored = StoredContours(seg);
  CN5ObjSg* sg = GetSegObj(seg);
  if (stored.empty() || !sg) return;
  const ContourRecord& first = stored.front();
  CreateNewBank(seg, first.latStart, first.latEnd, first.height, first.heightEnd, first.grad, first.gradEnd);
  const std::vector<CN5Obj*> bands = sg->bands;
  for (size_t i = 0; i < bands.size(); ++i) {
    auto* b = dynamic_cast<CN5ObjFs*>(bands[i]);
    if (!b) continue;
    // Every band but the last took its texture entry's flag when its
    // textures were made; the last one only marks an edge and is looked up.
    int flag = i + 1 < bands.size() ? b->contourFlag : TractionEntryFor(*b).contourFlag;
    if (!flag) continue;
    ContourRecord c;
    if (GetContourInfo(seg, b->latStart, b->latEnd, c))
      CreateNewBank(seg, c.latStart, c.latEnd, c.height, c.heightEnd, c.grad, c.gradEnd);
  }
  const ContourRecord& last = stored.back();
  CreateNewBank(seg, last.latStart, last.latEnd, last.height, last.heightEnd, last.grad, last.gradEnd);
  MoveDuplicateXS(seg);
}

void CN5PtfDb::MakeMissingBanks() {
  const int n = static_cast<int>(GetWriteTk()->segments.size());
  for (int i = 1; i < n; ++i) {
    CN5ObjSg* sg = GetSegObj(i);
    CN5ObjSg* prev = GetSegObj(i - 1);
    if (!sg || !prev || !sg->bands.empty()) continue;
    sg->bands = prev->bands;
    sg->walls = prev->walls;
    BanksFromGrips(i);
  }
  // Each segment without bank lines is joined from the nearest earlier one
  // that has some (one made here included) to the nearest later one. Both
  // are found in one pass each way, not by a search per segment, which was
  // quadratic on a track without contours.
  std::vector<CN5ObjSg*> segs(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) segs[size_t(i)] = GetSegObj(i);
  auto hasBanks = [&](int i) { return segs[size_t(i)] && !segs[size_t(i)]->bankLines.empty(); };
  std::vector<int> nextWithBanks(static_cast<size_t>(n) + 1, n);
  for (int i = n - 1; i >= 0; --i) nextWithBanks[size_t(i)] = hasBanks(i) ? i : nextWithBanks[size_t(i) + 1];
  int p = -1;  // the last segment before i with bank lines
  for (int i = 0; i < n; ++i) {
    if (i > 0 && hasBanks(i - 1)) p = i - 1;
    CN5ObjSg* sg = segs[size_t(i)];
    if (!sg || !sg->bankLines.empty()) continue;
    const int q = nextWithBanks[size_t(i) + 1];
    if (p < 0 || q >= n || StoredContours(p).empty() || StoredContours(q).empty()) continue;
    CN5ObjSg* prev = segs[size_t(p)];
    CN5ObjSg* next = segs[size_t(q)];
    const double gap = next->startLong - prev->endLong;
    if (!(gap > 0)) continue;
    const double x0 = sg->startLong - prev->endLong, x1 = sg->endLong - prev->endLong;
    std::vector<ContourRecord> made;
    for (const ContourRecord& pc : StoredContours(p)) {
      // From the end of the earlier segment to the start of the later one:
      // the cubic with the heights and gradients of both ends.
      ContourRecord nc;
      GetContourInfo(q, pc.latEnd, pc.latEnd, nc);
      const double h0 = pc.heightEnd, g0 = pc.gradEnd, h1 = nc.height, g1 = nc.grad;
      const double lat0 = pc.latEnd, lat1 = nc.latStart;
      const double d = h1 - h0 - g0 * gap, e = g1 - g0;
      const double a = (e * gap - 2 * d) / (gap * gap * gap), b = (3 * d - e * gap) / (gap * gap), c = g0;
      auto h = [&](double x) { return ((a * x + b) * x + c) * x + h0; };
      auto dh = [&](double x) { return (3 * a * x + 2 * b) * x + c; };
      ContourRecord m;
      m.latStart = lat0 + (lat1 - lat0) * x0 / gap;
      m.latEnd = lat0 + (lat1 - lat0) * x1 / gap;
      m.height = h(x0);
      m.grad = dh(x0);
      m.heightEnd = h(x1);
      m.gradEnd = dh(x1);
      made.push_back(m);
    }
    if (contours_.size() <= size_t(i)) contours_.resize(size_t(i) + 1);
    contours_[size_t(i)] = std::move(made);
    BanksFromGrips(i);
  }
}

// ---- details and trackside objects ----

void CN5PtfDb::DbSetDetails(const TrackDetailRecord& d) {
  double heading = 0, pitch = 0, roll = 0;
  GetAngles(d.lng, d.lat, heading, pitch, roll);
  CreateNewTrackDetail(d.lng, d.lat, d.width, d.length, (d.angle - 90) * _ang_to_rad + heading, d.tex, d.u, d.v);
}

void CN5PtfDb::DbGetDetails(std::vector<TrackDetailRecord>& list) {
  list.clear();
  const int n = NoTrackDetails();
  list.reserve(size_t(n));
  for (int i = 0; i < n; ++i) {
    CN5ObjTd* td = GetTrackDetailObj(i);
    if (!td) continue;
    TrackDetailRecord d;
    d.lng = BlockDouble(td->block, 0);
    d.lat = BlockDouble(td->block, 8);
    d.width = BlockDouble(td->block, 16);
    d.length = BlockDouble(td->block, 24);
    double heading = 0, pitch = 0, roll = 0;
    GetAngles(d.lng, d.lat, heading, pitch, roll);
    d.angle = (BlockDouble(td->block, 32) - heading) * _rad_to_ang + 90;
    d.u = BlockDouble(td->block, 52);
    d.v = BlockDouble(td->block, 88);
    if (auto* ap = td->children.empty() ? nullptr : dynamic_cast<CN5ObjAp*>(td->children[0]))
      d.tex = ap->GetPrimaryTexture();
    list.push_back(std::move(d));
  }
}

void CN5PtfDb::DbSetTso(const TsoRecord& t) {
  CN5ObjTk* tk = GetWriteTk();
  auto* ref = Create<CN5ObjRo>(tk, &tk->tsoRefs);
  double x = t.x, y = t.y, z = t.z;
  double lng = t.x, lat = t.y;
  if (t.worldXYZ) {
    double dz = 0;
    GetLatPos(x, y, z, lng, lat, dz);
  } else {
    double px = 0, py = 0, pz = 0;
    GetXYZ(t.x, t.y, px, py, pz);
    x = px, y = py, z = pz + t.z;
  }
  double a = t.a * _ang_to_rad, b = t.b * _ang_to_rad, c = t.c * _ang_to_rad;
  if (!t.worldAngle) {
    double heading = 0, pitch = 0, roll = 0;
    GetAngles(lng, lat, heading, pitch, roll);
    a += heading, b += pitch, c += roll;
  }
  const double placement[6] = {x, y, z, a, b, c};
  std::copy(placement, placement + 6, ref->placement);
  CreateNewTso(ref, t.name);
}

void CN5PtfDb::DbGetTso(std::vector<TsoRecord>& list, bool world) {
  list.clear();
  CN5ObjTk* tk = writeTk ? writeTk : GetTk();
  if (!tk) return;
  for (CN5Obj* o : tk->tsoRefs) {
    auto* ref = dynamic_cast<CN5ObjRo*>(o);
    auto* to = ref && !ref->children.empty() ? dynamic_cast<CN5ObjTo*>(ref->children[0]) : nullptr;
    if (!to) continue;
    TsoRecord t;
    t.name = ToLower(to->fileName);
    size_t dot = t.name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) t.name.resize(dot);
    const double* p = ref->placement;
    double lng = 0, lat = 0, dz = 0;
    GetLatPos(p[0], p[1], p[2], lng, lat, dz);
    if (world) {
      t.x = p[0], t.y = p[1], t.z = p[2];
      t.worldXYZ = 1;
      t.comment = StrFormat("LNG LAT %f %f %f", lng, lat, dz);
    } else {
      t.x = lng, t.y = lat, t.z = dz;
      t.worldXYZ = 0;
      t.comment = StrFormat("XYZ %f %f %f", p[0], p[1], p[2]);
    }
    t.worldAngle = 1;
    t.a = p[3] * _rad_to_ang;
    t.b = p[4] * _rad_to_ang;
    t.c = p[5] * _rad_to_ang;
    list.push_back(std::move(t));
  }
}

// ---- tables and bumps ----

void CN5PtfDb::DbSetMaterial(const std::string& name, const std::string& mapName, int transparency) {
  _vars_track_material m;
  m.name = name;
  m.mapName = mapName;
  m.transparency = static_cast<int16_t>(transparency);
  materials.Add(m);
}

void CN5PtfDb::DbSetBumpDefs(int index, const PtfBumpDefRecord& def) {
  CN5ObjTk* tk = GetWriteTk();
  CheckIndex(index, tk->bumpDefs.size() + 1, "DbSetBumpDefs");
  _vars_track_bump_defs d;
  // The description gives only the list position, which is also what a
  // file read back reports as the index.
  d.index = index;
  Put(d.first, 0, def.sizes, 16);
  Put(d.second, 0, def.distances, 16);
  tk->bumpDefs.insert(tk->bumpDefs.begin() + index, d);
}

void CN5PtfDb::DbGetBumpDefs(std::vector<PtfBumpDefRecord>& list) {
  list.clear();
  CN5ObjTk* tk = GetTk();
  if (!tk) return;
  for (const _vars_track_bump_defs& d : tk->bumpDefs) {
    PtfBumpDefRecord b;
    b.index = d.index;
    std::memcpy(b.sizes, d.first.data(), 16);
    std::memcpy(b.distances, d.second.data(), 16);
    list.push_back(b);
  }
}

void CN5PtfDb::DbSetBumpRef(int seg, const PtfBumpRefRecord& ref) {
  CN5ObjSg* sg = CheckedSegment(seg, "DbSetBumpRef");
  std::array<uint8_t, 12> raw{};
  Put(raw, 0, &ref.latStart, 4);
  Put(raw, 4, &ref.latEnd, 4);
  Put(raw, 8, &ref.index, 4);
  sg->bumpRefs.push_back(raw);
}

void CN5PtfDb::DbSetBumpScale(int seg, const PtfBumpScaleRecord& scale) {
  CN5ObjSg* sg = CheckedSegment(seg, "DbSetBumpScale");
  std::array<uint8_t, 16> raw{};
  const float v[4] = {scale.latStart, scale.latEnd, scale.scaleStart, scale.scaleEnd};
  Put(raw, 0, v, 16);
  sg->bumpScales.push_back(raw);
}

void CN5PtfDb::DbGetBumpRefs(int seg, std::vector<PtfBumpRefRecord>& list) {
  list.clear();
  CN5ObjSg* sg = GetSegObj(seg);
  if (!sg) return;
  for (const auto& raw : sg->bumpRefs) {
    PtfBumpRefRecord r;
    std::memcpy(&r.latStart, raw.data(), 4);
    std::memcpy(&r.latEnd, raw.data() + 4, 4);
    std::memcpy(&r.index, raw.data() + 8, 4);
    list.push_back(r);
  }
}

void CN5PtfDb::DbGetBumpScales(int seg, std::vector<PtfBumpScaleRecord>& list) {
  list.clear();
  CN5ObjSg* sg = GetSegObj(seg);
  if (!sg) return;
  for (const auto& raw : sg->bumpScales) {
    float v[4];
    std::memcpy(v, raw.data(), 16);
    list.push_back({v[0], v[1], v[2], v[3]});
  }
}

// ---- band and wall read-out ----

void CN5PtfDb::DbGetTractions(int seg, std::vector<TractionRecord>& list) {
  list.clear();
  // Repeat lengths are worked out from the segment lengths.
  EnsureLength();
  CN5ObjSg* sg = GetSegObj(seg);
  if (!sg) return;
  list.reserve(sg->bands.size() + sg->walls.size());
  for (CN5Obj* o : sg->bands) {
    auto* b = dynamic_cast<CN5ObjFs*>(o);
    if (!b) continue;
    TractionRecord t;
    t.latStart = b->latStart;
    t.latEnd = b->latEnd;
    t.grip = static_cast<uint16_t>(b->grip);
    t.textureIndex = b->appearance ? static_cast<uint16_t>(FindTextureInfo(*b, *sg)) : 0;
    t.kind = static_cast<uint16_t>(b->bandKind);
    t.straighten = b->straighten;
    if (const CN5ObjTu* tu = Coords(b->textureCoords)) {
      t.coordCount = 4;
      for (int k = 0; k < 4; ++k)
        t.coords[k] = {0, static_cast<float>(tu->u1[size_t(k)]), static_cast<float>(tu->v1[size_t(k)])};
    }
    list.push_back(t);
  }
  for (CN5Obj* o : sg->walls) {
    auto* w = dynamic_cast<CN5ObjWs*>(o);
    if (!w) continue;
    TractionRecord t;
    t.latStart = w->latStart;
    t.latEnd = w->latEnd;
    t.grip = static_cast<uint16_t>(w->wallType);
    t.textureIndex = static_cast<uint16_t>(FindTextureInfo(*w, *sg));
    t.kind = static_cast<uint16_t>(w->raceType);
    t.vertical = w->vertical;
    t.straighten = w->straighten;
    t.height = static_cast<float>(w->heightStart);
    t.heightEnd = static_cast<float>(w->heightEnd);
    t.width = static_cast<float>(w->widthStart);
    t.widthEnd = static_cast<float>(w->widthEnd);
    const CN5ObjTu* right = w->faces.size() > 0 ? Coords(w->faces[0].textureCoords) : nullptr;
    const CN5ObjTu* left = w->faces.size() > 2 ? Coords(w->faces[2].textureCoords) : nullptr;
    auto f = [](double v) { return static_cast<float>(v); };
    if (right) {
      t.coordCount = 2;
      t.coords[0] = {0, f(right->u1[0]), f(right->v1[0])};
      t.coords[1] = {0, f(right->u1[1]), f(right->v1[2])};
    } else if (left) {
      t.coordCount = 2;
      t.coords[0] = {2, f(left->u1[1]), f(left->v1[1])};
      t.coords[1] = {2, f(left->u1[0]), f(left->v1[2])};
    }
    list.push_back(t);
  }
}

namespace {

// Identity of a texture table entry: the numbers and texts it is matched by.
void AppendKey(std::string& key, int32_t v) { key.append(reinterpret_cast<const char*>(&v), sizeof v); }
void AppendKey(std::string& key, const std::string& text) {
  AppendKey(key, static_cast<int32_t>(text.size()));
  key += text;
}

template <typename Array>
void SortByGrip(Array& list) {
  list.StableSort([](const auto& a, const auto& b) { return a.grip < b.grip; });
}

}  // namespace

void CN5PtfDb::SortDbTex() const {
  if (dbTexSorted_) return;
  SortByGrip(dbTractionTex);
  SortByGrip(dbWallTex);
  dbTexSorted_ = true;
}

CTrackTractionTexArray CN5PtfDb::DbGetTractionTex() const {
  SortDbTex();
  return dbTractionTex;
}

CTrackWallTexArray CN5PtfDb::DbGetWallTex() const {
  SortDbTex();
  return dbWallTex;
}

// A new entry is appended; a stable sort by grip when the table is copied
// out puts it after the entries of its grip and lower, where an insert into
// the sorted table would have put it.
int CN5PtfDb::FindTextureInfo(const CN5ObjFs& band, const CN5ObjSg& seg) {
  const int grip = band.grip;
  std::string key;
  AppendKey(key, grip);
  AppendKey(key, band.bandKind);
  AppendKey(key, band.textureName);
  auto found = tractionTexIndex_.find(key);
  if (found != tractionTexIndex_.end()) return found->second;
  int& count = tractionGripCount_[grip];
  VARS_TRACK_TRACTION_TEX e;
  e.grip = static_cast<uint16_t>(band.grip);
  e.raceType = static_cast<uint16_t>(band.bandKind);
  e.clampHint = 0;
  e.tex = band.textureName;
  if (const CN5ObjTu* tu = Coords(band.textureCoords)) {
    const std::vector<double>&u = tu->u1, &v = tu->v1;
    e.repeatLength = SafeDiv(seg.length, v[1] - v[0]);
    // |u3 - u0| + 0.1 truncating to 1; compared as a double, so that a span
    // that is not a finite number (from a damaged file) is no clamp.
    const double span = std::fabs(u[3] - u[0]) + 0.1;
    if (span >= 1.0 && span < 2.0) e.clampHint = 1;
    if (band.widthEnd > band.widthStart)
      e.repeatWidth = SafeDiv(band.widthEnd, u[2] - u[1]);
    else if (band.widthStart != 0)
      e.repeatWidth = SafeDiv(band.widthStart, u[3] - u[0]);
  }
  e.contourFlag = 1;
  e.firstSection = seg.index;
  e.textureIndex = count;
  dbTractionTex.Add(e);
  dbTexSorted_ = false;
  tractionTexIndex_.emplace(std::move(key), count);
  return count++;
}

int CN5PtfDb::FindTextureInfo(const CN5ObjWs& wall, const CN5ObjSg& seg) {
  auto name = [&](size_t face) { return face < wall.textureNames.size() ? wall.textureNames[face] : std::string(); };
  const std::string right = name(0), top = name(1), left = name(2), end = name(3);
  const int grip = static_cast<uint16_t>(wall.wallType);
  std::string key;
  AppendKey(key, grip);
  AppendKey(key, wall.vertical);
  AppendKey(key, left);
  AppendKey(key, right);
  AppendKey(key, top);
  auto found = wallTexIndex_.find(key);
  if (found != wallTexIndex_.end()) return found->second;
  int& count = wallGripCount_[grip];
  VARS_TRACK_WALL_TEX e;
  e.texLeft = left;
  e.texRight = right;
  e.texTop = top;
  e.texEnd = end.empty() ? top : end;
  e.grip = static_cast<uint16_t>(grip);
  e.height = wall.heightStart;
  e.width = wall.widthStart;
  e.raceType = static_cast<uint16_t>(wall.raceType);
  e.vertical = wall.vertical;
  e.repeatLength = 1;
  const CN5ObjTu* rightTu = wall.faces.size() > 0 ? Coords(wall.faces[0].textureCoords) : nullptr;
  const CN5ObjTu* leftTu = wall.faces.size() > 2 ? Coords(wall.faces[2].textureCoords) : nullptr;
  if (rightTu)
    e.repeatLength = SafeDiv(seg.length, rightTu->u1[1] - rightTu->u1[0]);
  else if (leftTu)
    e.repeatLength = SafeDiv(seg.length, leftTu->u1[0] - leftTu->u1[1]);
  e.firstSection = seg.index;
  e.textureIndex = count;
  dbWallTex.Add(e);
  dbTexSorted_ = false;
  wallTexIndex_.emplace(std::move(key), count);
  return count++;
}

}  // namespace lapforge
