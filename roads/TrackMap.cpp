// The top view of a track. Shapes are gathered in world metres from the
// track model, then moved into picture pixels once the extent is known; the
// scale bar and north arrow are laid out in pixels.
#include "roads/TrackMap.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "description/TrkDsc.h"
#include "mapping/PtfMapping.h"
#include "roads/ComputedLine.h"
#include "roads/Lapforge.h"
#include "support/Errors.h"
#include "support/TextFormat.h"

namespace lapforge {

namespace {

constexpr MapColour kBackground{236, 240, 228, 255};
constexpr MapColour kOutline{20, 20, 20, 255};
constexpr MapColour kWall{40, 40, 48, 255};
constexpr MapColour kBoundary{255, 255, 255, 200};
constexpr MapColour kText{20, 20, 20, 255};
constexpr MapColour kPit{40, 90, 200, 255};
constexpr MapColour kDetail{230, 170, 0, 255};
constexpr MapColour kTso{150, 50, 170, 255};
constexpr MapColour kScenery{130, 80, 30, 255};

// Fill of a surface by its grip kind; the pit lane by its band kind.
MapColour SurfaceColour(int grip, int bandKind) {
  if (bandKind == 5) return {95, 110, 150, 255};
  switch (grip) {
    case 1:
      return {92, 92, 98, 255};  // asphalt
    case 2:
      return {175, 175, 168, 255};  // concrete
    case 3:
      return {205, 70, 55, 255};  // paint, curbing
    case 4:
    case 5:
    case 6:
    case 7:
    case 8:
      return {96, 156, 74, 255};  // grass
    case 9:
      return {214, 194, 140, 255};  // sand, gravel
    case 12:
      return {150, 115, 80, 255};  // dirt
    default:
      return {130, 130, 130, 255};
  }
}

// Samples of a segment's length: every 4 m and every 2 degrees of turn.
int Samples(const CN5ObjSg& sg) {
  const double byLength = sg.length / 4.0;
  const double byTurn = std::fabs(sg.sweep) / (2.0 * _ang_to_rad);
  const double n = std::ceil(std::max({1.0, byLength, byTurn}));
  return static_cast<int>(std::min(n, 400.0));
}

// A shape under construction; world shapes are in metres (y up) until they
// are placed, label offsets are in pixels.
struct Pending {
  MapShape shape;
  double dx = 0, dy = 0;  // pixel offset applied after placing
};

class CMapBuilder {
 public:
  CMapBuilder(CN5PtfDb& model, std::vector<Pending>& out)
      : model_(model), out_(out), segments_(model.NoSegments(true)) {}

  int Segments() const { return segments_; }

  MapShape& Add(MapShape::Kind kind, const char* role, MapColour fill, MapColour stroke, double size) {
    Pending p;
    p.shape.kind = kind;
    p.shape.role = role;
    p.shape.fill = fill;
    p.shape.stroke = stroke;
    p.shape.size = size;
    out_.push_back(std::move(p));
    return out_.back().shape;
  }
  void Label(double x, double y, const std::string& text, const char* role, double size, double dx = 5,
             double dy = -4) {
    MapShape& s = Add(MapShape::Kind::Text, role, kText, kText, size);
    s.xy = {x, y};
    s.label = text;
    out_.back().dx = dx;
    out_.back().dy = dy;
  }
  void Marker(double x, double y, const std::string& text, const char* role, MapColour colour) {
    MapShape& m = Add(MapShape::Kind::Marker, role, colour, kOutline, 3.5);
    m.xy = {x, y};
    Label(x, y, text, "label", 10);
  }
  // The points along a segment at a lateral running linearly from lat0 to
  // lat1, appended to xy (reversed when asked).
  void Edge(const CN5ObjSg& sg, double lat0, double lat1, std::vector<double>& xy, bool reverse, bool skipFirst) {
    const int n = Samples(sg);
    for (int k = 0; k <= n; ++k) {
      const int i = reverse ? n - k : k;
      if (skipFirst && k == 0) continue;
      const double t = static_cast<double>(i) / n;
      double x, y, z;
      sg.GetXYZ(t * sg.length, (1 - t) * lat0 + t * lat1, x, y, z);
      xy.push_back(x);
      xy.push_back(y);
    }
  }
  void Point(double lng, double lat, double& x, double& y) {
    double z = 0;
    x = y = 0;
    model_.GetXYZ(lng, lat, x, y, z);
  }

  std::vector<int> SectionOfSegments(const TrkDsc& db) const;
  void Track(const std::vector<int>& sectionOf, std::vector<std::vector<double>>& sectionRight,
             std::vector<std::vector<double>>& sectionLeft);
  void Walls();
  void SectionBoundaries(const TrkDsc& db);
  void StartLine();
  void PitLane(const TrkDsc& db, double length);
  void Objects(const TrkDsc& db);
  void RacingLine(const ComputedLine& computed);

 private:
  CN5PtfDb& model_;
  std::vector<Pending>& out_;
  const int segments_;
};

// The section each segment belongs to (a split section makes two
// segments), as the boundaries count them.
std::vector<int> CMapBuilder::SectionOfSegments(const TrkDsc& db) const {
  std::vector<int> sectionOf(static_cast<size_t>(std::max(segments_, 0)), -1);
  for (int i = 0, seg = 0; i < db.Section.Count() && seg < segments_; ++i) {
    TrkDsc::SectionRow sec = db.Section[i];
    const double f = sec.SplitOr(0.0) / sec.Length();
    for (int k = f > 0 && f < 1 ? 2 : 1; k > 0 && seg < segments_; --k) sectionOf[static_cast<size_t>(seg++)] = i;
  }
  return sectionOf;
}

// Surfaces, then the outer edges and the course (the reference line the
// track is laid along). Per section, its outer right and outer left edges
// are gathered forward.
void CMapBuilder::Track(const std::vector<int>& sectionOf, std::vector<std::vector<double>>& sectionRight,
                        std::vector<std::vector<double>>& sectionLeft) {
  std::vector<double> right, left, course;
  for (int s = 0; s < segments_; ++s) {
    CN5ObjSg* sg = model_.GetSegObj(s);
    if (!sg) continue;
    if (const int owner = sectionOf[static_cast<size_t>(s)]; owner >= 0 && sg->NoTractions() > 0) {
      std::vector<double>& r = sectionRight[static_cast<size_t>(owner)];
      std::vector<double>& l = sectionLeft[static_cast<size_t>(owner)];
      CN5ObjFs* rb = sg->GetFsObj(0);
      CN5ObjFs* lb = sg->GetFsObj(sg->NoTractions() - 1);
      if (rb && lb) {
        Edge(*sg, rb->latStart, rb->latEnd, r, false, !r.empty());
        Edge(*sg, lb->latStart, lb->latEnd, l, false, !l.empty());
      }
    }
    for (int b = 0; b + 1 < sg->NoTractions(); ++b) {
      CN5ObjFs* band = sg->GetFsObj(b);
      CN5ObjFs* next = sg->GetFsObj(b + 1);
      if (!band || !next) continue;
      MapShape& surface =
          Add(MapShape::Kind::Polygon, "surface", SurfaceColour(band->grip, band->bandKind), MapColour{}, 0);
      Edge(*sg, band->latStart, band->latEnd, surface.xy, false, false);
      Edge(*sg, next->latStart, next->latEnd, surface.xy, true, false);
    }
    if (sg->NoTractions() > 0) {
      CN5ObjFs* r = sg->GetFsObj(0);
      CN5ObjFs* l = sg->GetFsObj(sg->NoTractions() - 1);
      Edge(*sg, r->latStart, r->latEnd, right, false, !right.empty());
      Edge(*sg, l->latStart, l->latEnd, left, false, !left.empty());
    }
    Edge(*sg, 0, 0, course, false, !course.empty());
  }
  for (std::vector<double>* edge : {&right, &left}) {
    MapShape& outline = Add(MapShape::Kind::Polyline, "edge", MapColour{}, kOutline, 1.2);
    outline.xy = std::move(*edge);
  }
  MapShape& outline = Add(MapShape::Kind::Polyline, "outline", MapColour{}, MapColour{255, 255, 255, 160}, 1);
  outline.dashed = true;
  outline.xy = std::move(course);
}

void CMapBuilder::Walls() {
  for (int s = 0; s < segments_; ++s) {
    CN5ObjSg* sg = model_.GetSegObj(s);
    for (int w = 0; sg && w < sg->NoWalls(); ++w) {
      CN5ObjWs* ws = sg->GetWsObj(w);
      if (!ws) continue;
      MapShape& wall = Add(MapShape::Kind::Polyline, "wall", MapColour{}, kWall, 2);
      Edge(*sg, ws->latStart, ws->latEnd, wall.xy, false, false);
    }
  }
}

// Section boundaries with their indices, across the track at each
// section's first segment (a split section makes two segments).
void CMapBuilder::SectionBoundaries(const TrkDsc& db) {
  int seg = 0;
  for (int i = 0; i < db.Section.Count() && seg < segments_; ++i) {
    TrkDsc::SectionRow sec = db.Section[i];
    const double f = sec.SplitOr(0.0) / sec.Length();
    CN5ObjSg* sg = model_.GetSegObj(seg);
    seg += f > 0 && f < 1 ? 2 : 1;
    if (!sg || sg->NoTractions() == 0) continue;
    const double r = sg->GetFsObj(0)->latStart - 2, l = sg->GetFsObj(sg->NoTractions() - 1)->latStart + 2;
    double x0, y0, x1, y1, z;
    sg->GetXYZ(0.0, r, x0, y0, z);
    sg->GetXYZ(0.0, l, x1, y1, z);
    MapShape& tick = Add(MapShape::Kind::Polyline, "boundary", MapColour{}, kBoundary, 1);
    tick.xy = {x0, y0, x1, y1};
    Label(x1, y1, StrFormat("%d", sec.IndexOr(i)), "section", 10, 3, 4);
  }
}

void CMapBuilder::StartLine() {
  CN5ObjSg* sg = model_.GetSegObj(0);
  if (!(sg && sg->NoTractions() > 0)) return;
  double x0, y0, x1, y1, z;
  sg->GetXYZ(0.0, sg->GetFsObj(0)->latStart, x0, y0, z);
  sg->GetXYZ(0.0, sg->GetFsObj(sg->NoTractions() - 1)->latStart, x1, y1, z);
  MapShape& line = Add(MapShape::Kind::Polyline, "start", MapColour{}, MapColour{255, 255, 255, 255}, 3);
  line.xy = {x0, y0, x1, y1};
  Label(x0, y0, "Start", "label", 11, 5, 14);
}

// The pit lane: from the merge in to the merge out (over the line when it
// wraps), out at the stalls' lateral and back in at both merges.
void CMapBuilder::PitLane(const TrkDsc& db, double length) {
  if (!(db.AIInfo.Count() > 0 && length > 0)) return;
  TrkDsc::AIInfoRow ai = db.AIInfo[0];
  if (ai.IsMergePitInNull() || ai.IsMergePitOutNull()) return;
  const double in = ai.MergePitIn();
  double out = ai.MergePitOut();
  if (out < in) out += length;
  double stallLat = ai.StallsLatStartOr(0.0);
  MapShape& pit = Add(MapShape::Kind::Polyline, "pit", MapColour{}, kPit, 2);
  pit.dashed = true;
  const double steps = (out - in) / 4.0;  // clamped before it becomes an int: it may be huge or NaN
  const int n = steps > 2 ? static_cast<int>(std::min(steps, 2000.0)) : 2;
  for (int k = 0; k <= n; ++k) {
    const double t = static_cast<double>(k) / n;
    const double ramp = std::min({1.0, t / 0.1, (1 - t) / 0.1});
    double x, y;
    Point(in + t * (out - in), stallLat * ramp, x, y);
    pit.xy.push_back(x);
    pit.xy.push_back(y);
  }
  if (!ai.IsStallsLongStartNull() && !ai.IsStallsLongEndNull()) {
    double x0, y0, x1, y1;
    Point(ai.StallsLongStart(), stallLat, x0, y0);
    Point(ai.StallsLongEnd(), ai.StallsLatEndOr(stallLat), x1, y1);
    MapShape& stalls = Add(MapShape::Kind::Polyline, "pit", MapColour{}, kPit, 5);
    stalls.xy = {x0, y0, x1, y1};
    Label(x1, y1, "Pit", "label", 11);
  }
}

// Details, trackside objects and scenery.
void CMapBuilder::Objects(const TrkDsc& db) {
  for (int i = 0; i < db.TrackDetail.Count(); ++i) {
    TrkDsc::TrackDetailRow r = db.TrackDetail[i];
    if (r.IslongtiudeNull() || r.IslatitudeNull()) continue;
    double x, y;
    Point(r.longtiude(), r.latitude(), x, y);
    Marker(x, y, r.texOr("detail"), "detail", kDetail);
  }
  for (int i = 0; i < db.TSO.Count(); ++i) {
    TrkDsc::TSORow r = db.TSO[i];
    double x = r.X(), y = r.Y();
    if (!r.WorldXYZ()) Point(r.X(), r.Y(), x, y);
    Marker(x, y, r.Name(), "tso", kTso);
  }
  for (const _vars_vertical_obj& v : model_.verticalObjects) {
    double x, y;
    Point(v.longStart, v.latStart, x, y);
    Marker(x, y, v.title, "scenery", kScenery);
  }
  // An area the track has no bands beside gets no marker (the meshing leaves
  // it out with a warning).
  auto area = [&](const std::string& title, double start, double end, int side) {
    try {
      const CGlPoint p = model_.EdgePoint((start + end) / 2, side, 10);
      Marker(p.x, p.y, title, "scenery", kScenery);
    } catch (const CInvalidArgument&) {
    }
  };
  for (const _vars_infield_obj& v : model_.infieldObjects) area(v.title, v.start, v.end, v.left ? 1 : 0);
  for (const _vars_outfield_obj& v : model_.outfieldObjects) area(v.title, v.start, v.end, 0);
}

// The racing line in pieces coloured by speed, from red (the slowest) over
// yellow to green (the fastest): a new piece wherever the colour steps.
void CMapBuilder::RacingLine(const ComputedLine& computed) {
  const CRacingLine& l = computed.line;
  const size_t n = l.speed.size();
  if (n < 2 || l.x.size() != n || l.y.size() != n) return;
  const auto [slow, fast] = std::minmax_element(l.speed.begin(), l.speed.end());
  const double lo = *slow, span = std::max(*fast - *slow, 1e-9);
  constexpr int kShades = 12;
  auto shade = [&](size_t i) {
    return std::clamp(static_cast<int>((l.speed[i] - lo) / span * kShades), 0, kShades - 1);
  };
  auto colour = [&](int k) {
    const double t = (k + 0.5) / kShades;
    const double r = t < 0.5 ? 1 : 2 * (1 - t), g = t < 0.5 ? 2 * t : 1;
    return MapColour{static_cast<uint8_t>(40 + 200 * r), static_cast<uint8_t>(40 + 170 * g), 40, 255};
  };
  const size_t last = computed.track.closed ? n : n - 1;  // the piece from the last point back to the first
  MapShape* piece = nullptr;
  int current = -1;
  for (size_t i = 0; i < last; ++i) {
    const size_t j = (i + 1) % n;
    if (const int k = shade(i); k != current || !piece) {
      piece = &Add(MapShape::Kind::Polyline, "line", MapColour{}, colour(k), 2.5);
      piece->xy = {l.x[i], l.y[i]};
      current = k;
    }
    piece->xy.push_back(l.x[j]);
    piece->xy.push_back(l.y[j]);
  }
}

bool IsTrack(const MapShape& s) {
  return s.role == "surface" || s.role == "edge" || s.role == "outline" || s.role == "wall";
}

// The world rectangle the picture shows.
struct Extent {
  double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
  void Add(const std::vector<double>& xy) {
    for (size_t i = 0; i + 1 < xy.size(); i += 2) {
      minX = std::min(minX, xy[i]), maxX = std::max(maxX, xy[i]);
      minY = std::min(minY, xy[i + 1]), maxY = std::max(maxY, xy[i + 1]);
    }
  }
};

// Points that are not finite are left out of every shape; a marker or
// label without a position, and anything else (pit lane, markers) reaching
// further than CN5Ptf::kFarOffset beyond the track itself, is not drawn:
// the check warns of such values, and the track would shrink to a dot
// beside them. Returns the extent of what is left.
Extent DropUndrawable(std::vector<Pending>& pending) {
  Extent e;
  for (Pending& p : pending) {
    std::vector<double>& xy = p.shape.xy;
    size_t kept = 0;
    for (size_t i = 0; i + 1 < xy.size(); i += 2)
      if (std::isfinite(xy[i]) && std::isfinite(xy[i + 1])) {
        xy[kept++] = xy[i];
        xy[kept++] = xy[i + 1];
      }
    xy.resize(kept);
    if (IsTrack(p.shape)) e.Add(xy);
  }
  if (!(e.minX <= e.maxX)) e.minX = e.maxX = e.minY = e.maxY = 0;
  const double reach = CN5Ptf::kFarOffset;
  std::erase_if(pending, [&](const Pending& p) {
    if (p.shape.xy.empty()) return p.shape.kind == MapShape::Kind::Marker || p.shape.kind == MapShape::Kind::Text;
    if (IsTrack(p.shape)) return false;
    for (size_t i = 0; i + 1 < p.shape.xy.size(); i += 2)
      if (p.shape.xy[i] < e.minX - reach || p.shape.xy[i] > e.maxX + reach || p.shape.xy[i + 1] < e.minY - reach ||
          p.shape.xy[i + 1] > e.maxY + reach)
        return true;
    return false;
  });
  for (const Pending& p : pending) e.Add(p.shape.xy);
  return e;
}

// World metres to picture pixels (y down).
struct Frame {
  double offsetX, margin, minX, maxY, scale;
  void Place(std::vector<double>& xy) const {
    for (size_t i = 0; i + 1 < xy.size(); i += 2) {
      xy[i] = offsetX + (xy[i] - minX) * scale;
      xy[i + 1] = margin + (maxY - xy[i + 1]) * scale;
    }
  }
  void Place(Pending& p) const {
    for (size_t i = 0; i + 1 < p.shape.xy.size(); i += 2) {
      p.shape.xy[i] = offsetX + (p.shape.xy[i] - minX) * scale + p.dx;
      p.shape.xy[i + 1] = margin + (maxY - p.shape.xy[i + 1]) * scale + p.dy;
    }
  }
};

// Each section's ground: its right edge forward, then its left edge back.
std::vector<std::vector<double>> SectionAreas(std::vector<std::vector<double>>& sectionRight,
                                              const std::vector<std::vector<double>>& sectionLeft, const Frame& frame) {
  std::vector<std::vector<double>> areas(sectionRight.size());
  for (size_t i = 0; i < sectionRight.size(); ++i) {
    std::vector<double>& area = areas[i];
    const std::vector<double>& l = sectionLeft[i];
    if (sectionRight[i].empty() || l.empty()) continue;
    area = std::move(sectionRight[i]);
    for (size_t k = l.size(); k >= 2; k -= 2) {
      area.push_back(l[k - 2]);
      area.push_back(l[k - 1]);
    }
    frame.Place(area);
  }
  return areas;
}

void AppendColour(std::string& out, const char* attribute, MapColour c) {
  out += StrFormat(" %s=\"#%02x%02x%02x\"", attribute, c.r, c.g, c.b);
  if (c.a != 255) out += StrFormat(" %s-opacity=\"%.2f\"", attribute, c.a / 255.0);
}

void AppendEscaped(std::string& out, const std::string& text) {
  for (char c : text) {
    if (const char* entity = XmlMarkupEntity(c))
      out += entity;
    else if (c == '"')
      out += "&quot;";
    else
      out += c;
  }
}

// A point that is not finite (none should reach here) is left out.
void AppendPoints(std::string& out, const std::vector<double>& xy) {
  out += " points=\"";
  bool first = true;
  for (size_t i = 0; i + 1 < xy.size(); i += 2) {
    if (!std::isfinite(xy[i]) || !std::isfinite(xy[i + 1])) continue;
    out += StrFormat(first ? "%.1f,%.1f" : " %.1f,%.1f", xy[i], xy[i + 1]);
    first = false;
  }
  out += '"';
}

}  // namespace

bool CTrackMap::Build(const TrkDsc& db, int width, const LineOptions* line) {
  shapes_.clear();
  sectionAreas_.clear();
  width_ = std::max(width, 64);
  CN5PtfDb model;
  if (!CLapforge().PTFObjFromDataBase(db, model, "")) return false;
  const double length = model.GetTrackLength();  // lays the segments out: before any query

  // The shapes in world metres: the track, then what lies on and beside it.
  std::vector<Pending> pending;
  CMapBuilder map(model, pending);
  pending.reserve(static_cast<size_t>(map.Segments()) * 8 + 64);
  std::vector<std::vector<double>> sectionRight(static_cast<size_t>(db.Section.Count()));
  std::vector<std::vector<double>> sectionLeft(sectionRight.size());
  map.Track(map.SectionOfSegments(db), sectionRight, sectionLeft);
  map.Walls();
  map.SectionBoundaries(db);
  map.StartLine();
  map.PitLane(db, length);
  map.Objects(db);
  ComputedLine computed;
  if (line) {
    if (!ComputeRacingLine(db, model, *line, computed, "Map")) return false;
    map.RacingLine(computed);
  }
  const Extent e = DropUndrawable(pending);

  // The picture's scale from the extent of everything drawn. A span too wide
  // for a double (a band edge near the largest value) stays finite.
  const double margin = std::max(24.0, width_ * 0.05), footer = 40;
  auto span = [](double lo, double hi) {
    const double d = hi - lo;
    return std::isfinite(d) ? std::max(d, 1.0) : std::numeric_limits<double>::max();
  };
  const double spanX = span(e.minX, e.maxX), spanY = span(e.minY, e.maxY);
  scale_ = std::min((width_ - 2 * margin) / spanX, (2.0 * width_ - 2 * margin - footer) / spanY);
  if (!(scale_ > 0)) scale_ = 1;
  height_ = static_cast<int>(std::ceil(spanY * scale_ + 2 * margin + footer));
  const Frame frame{(width_ - spanX * scale_) / 2, margin, e.minX, e.maxY, scale_};

  shapes_.reserve(pending.size() + 8);
  MapShape& background = shapes_.emplace_back();
  background.kind = MapShape::Kind::Polygon;
  background.role = "background";
  background.fill = kBackground;
  background.xy = {0, 0, double(width_), 0, double(width_), double(height_), 0, double(height_)};
  for (Pending& p : pending) {
    frame.Place(p);
    shapes_.push_back(std::move(p.shape));
  }
  sectionAreas_ = SectionAreas(sectionRight, sectionLeft, frame);
  AddScaleBar(margin);
  AddNorthArrow(db, margin);
  if (line) AddLineLegend(computed);
  return true;
}

// The speeds the line's colours stand for and its lap time, in the bottom
// right corner.
void CTrackMap::AddLineLegend(const ComputedLine& computed) {
  const std::vector<double>& v = computed.line.speed;
  if (v.empty()) return;
  const auto [slow, fast] = std::minmax_element(v.begin(), v.end());
  MapShape& legend = shapes_.emplace_back();
  legend.kind = MapShape::Kind::Text;
  legend.role = "line";
  legend.fill = legend.stroke = kText;
  legend.size = 11;
  legend.xy = {width_ * 0.5, height_ - 14.0};
  legend.label = StrFormat("Racing line: red %.0f km/h to green %.0f km/h, lap %.1f s", *slow * 3.6, *fast * 3.6,
                           computed.line.lapTime);
}

// A round length near a quarter of the width.
void CTrackMap::AddScaleBar(double margin) {
  const double target = 0.25 * width_ / scale_;
  double bar = std::pow(10.0, std::floor(std::log10(target)));
  for (double m : {5.0, 2.0})
    if (bar * m <= target) {
      bar *= m;
      break;
    }
  const double bx = margin, by = height_ - 14.0;
  MapShape& scaleBar = shapes_.emplace_back();
  scaleBar.kind = MapShape::Kind::Polyline;
  scaleBar.role = "scale";
  scaleBar.stroke = kText;
  scaleBar.size = 3;
  scaleBar.xy = {bx, by - 6, bx, by, bx + bar * scale_, by, bx + bar * scale_, by - 6};
  MapShape& scaleText = shapes_.emplace_back();
  scaleText.kind = MapShape::Kind::Text;
  scaleText.role = "scale";
  scaleText.fill = scaleText.stroke = kText;
  scaleText.size = 11;
  scaleText.xy = {bx + bar * scale_ + 6, by};
  scaleText.label = bar >= 1000 ? StrFormat("%g km", bar / 1000) : StrFormat("%g m", bar);
}

// North is the world's +Y turned by the north-south angle.
void CTrackMap::AddNorthArrow(const TrkDsc& db, double margin) {
  double ns = 0;
  if (db.TrackSummary.Count() > 0) db.TrackSummary[0].CopyNS_Angle(ns);
  if (!std::isfinite(ns)) ns = 0;  // the check reports it; the arrow points along +Y
  const double a = ns * _ang_to_rad;
  const double ux = -std::sin(a), uy = -std::cos(a);  // picture y runs down
  const double cx = width_ - margin / 2 - 12, cy = margin / 2 + 22;
  MapShape& arrow = shapes_.emplace_back();
  arrow.kind = MapShape::Kind::Polygon;
  arrow.role = "north";
  arrow.fill = kText;
  arrow.xy = {cx + 16 * ux,          cy + 16 * uy,          cx - 10 * ux - 7 * uy, cy - 10 * uy + 7 * ux,
              cx - 4 * ux,           cy - 4 * uy,           cx - 10 * ux + 7 * uy, cy - 10 * uy - 7 * ux};
  MapShape& north = shapes_.emplace_back();
  north.kind = MapShape::Kind::Text;
  north.role = "north";
  north.fill = north.stroke = kText;
  north.size = 12;
  north.xy = {cx + 26 * ux - 4, cy + 26 * uy + 4};
  north.label = "N";
}

const std::vector<double>& CTrackMap::SectionArea(int section) const {
  static const std::vector<double> kNone;
  if (section < 0 || section >= SectionCount()) return kNone;
  return sectionAreas_[static_cast<size_t>(section)];
}

std::string CTrackMap::ToSvg() const {
  std::string out;
  size_t points = 0;
  for (const MapShape& s : shapes_) points += s.xy.size();
  out.reserve(points * 8 + shapes_.size() * 120 + 256);
  out += StrFormat(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" height=\"%d\" viewBox=\"0 0 %d %d\" "
      "font-family=\"sans-serif\">\n",
      width_, height_, width_, height_);
  for (const MapShape& s : shapes_) {
    switch (s.kind) {
      case MapShape::Kind::Polygon:
        out += "<polygon class=\"" + s.role + "\"";
        AppendPoints(out, s.xy);
        AppendColour(out, "fill", s.fill);
        out += "/>\n";
        break;
      case MapShape::Kind::Polyline:
        out += "<polyline class=\"" + s.role + "\"";
        AppendPoints(out, s.xy);
        out += " fill=\"none\"";
        AppendColour(out, "stroke", s.stroke);
        out += StrFormat(" stroke-width=\"%.1f\" stroke-linejoin=\"round\"", s.size);
        if (s.dashed) out += " stroke-dasharray=\"6,4\"";
        out += "/>\n";
        break;
      case MapShape::Kind::Marker:
        if (s.xy.size() < 2 || !std::isfinite(s.xy[0]) || !std::isfinite(s.xy[1])) break;
        out += StrFormat("<circle class=\"%s\" cx=\"%.1f\" cy=\"%.1f\" r=\"%.1f\"", s.role.c_str(), s.xy[0], s.xy[1],
                         s.size);
        AppendColour(out, "fill", s.fill);
        AppendColour(out, "stroke", s.stroke);
        out += "/>\n";
        break;
      case MapShape::Kind::Text:
        if (s.xy.size() < 2 || !std::isfinite(s.xy[0]) || !std::isfinite(s.xy[1])) break;
        out += StrFormat("<text class=\"%s\" x=\"%.1f\" y=\"%.1f\" font-size=\"%.0f\"", s.role.c_str(), s.xy[0],
                         s.xy[1], s.size);
        AppendColour(out, "fill", s.fill);
        out += ">";
        AppendEscaped(out, s.label);
        out += "</text>\n";
        break;
    }
  }
  out += "</svg>\n";
  return out;
}

}  // namespace lapforge
