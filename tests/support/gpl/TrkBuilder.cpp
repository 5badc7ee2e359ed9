#include "tests/support/gpl/TrkBuilder.h"

#include <cmath>
#include <cstring>
#include <stdexcept>

namespace lapforge {

namespace {

constexpr double kUnits = 19685.0;

// The reader's conversions of binary angles.
double HeadingRad(uint32_t h) { return h * 6.28318 / 4294967296.0; }
double ChangeRad(int32_t s) { return s * 6.28318 / 2147483648.0; }

int32_t Round(double v) { return static_cast<int32_t>(std::llround(v)); }

class Out {
 public:
  void I32(int32_t v) {
    uint8_t b[4];
    std::memcpy(b, &v, 4);
    bytes.insert(bytes.end(), b, b + 4);
  }
  void PadTo(size_t n) {
    if (bytes.size() < n) bytes.resize(n, 0);
  }
  std::vector<uint8_t> bytes;
};

}  // namespace

int32_t TrkMetresToUnits(double metres) { return Round(metres * kUnits); }

std::vector<uint8_t> BuildTrk(const TrkBuildTrack& track, TrkLayout* layout) {
  const size_t S = track.sections.size();
  const size_t C = track.columns.size();
  const size_t H = track.type < 2000 ? 68 : 92;
  if (28 + 4 * C > H) throw std::invalid_argument("BuildTrk: too many height columns for the header");

  struct Laid {
    int32_t start, length;
    uint32_t heading;
    int32_t x, y, change;
    std::vector<int32_t> p, q;
  };
  std::vector<Laid> laid(S);

  // Lay the sections out from the start point, in track units.
  double px = track.startX * kUnits, py = track.startY * kUnits;
  uint32_t h = static_cast<uint32_t>(static_cast<int64_t>(std::llround(track.startHeadingDeg / 360.0 * 4294967296.0)));
  int64_t start = 0;
  for (size_t i = 0; i < S; ++i) {
    const TrkBuildSection& s = track.sections[i];
    Laid& l = laid[i];
    l.start = static_cast<int32_t>(start);
    l.length = Round(s.length * kUnits);
    l.heading = h;
    const double a = HeadingRad(h);
    l.p.resize(C);
    l.q.resize(C);
    if (!s.curve) {
      l.x = Round(px);
      l.y = Round(py);
      l.change = 0;
      for (size_t k = 0; k < C; ++k) {
        double lat = track.columns[k] * kUnits;
        l.p[k] = Round(px - std::sin(a) * lat);
        l.q[k] = Round(py + std::cos(a) * lat);
      }
      px += std::cos(a) * l.length;
      py += std::sin(a) * l.length;
      h += static_cast<uint32_t>(static_cast<int64_t>(std::llround(s.kinkDeg / 360.0 * 4294967296.0)));
    } else {
      l.change = Round(s.turnDeg / 360.0 * 2147483648.0);
      const double delta = ChangeRad(l.change);
      const double R = l.length / delta;  // signed like the turn
      const double cx = px - R * std::cos(a - 1.570795), cy = py - R * std::sin(a - 1.570795);
      l.x = Round(cx);
      l.y = Round(cy);
      for (size_t k = 0; k < C; ++k) l.p[k] = Round(R - track.columns[k] * kUnits);
      h += 2u * static_cast<uint32_t>(l.change);
      const double a1 = HeadingRad(h);
      px = cx + R * std::cos(a1 - 1.570795);
      py = cy + R * std::sin(a1 - 1.570795);
    }
    start += l.length;
  }
  const int32_t trackLength = static_cast<int32_t>(start);

  size_t tractionCount = 0;
  for (const auto& s : track.sections) tractionCount += s.tractions.size();
  const size_t T = tractionCount * 32;

  Out o;
  o.I32(0);
  o.I32(track.type);
  o.I32(trackLength);
  o.I32(static_cast<int32_t>(C));
  o.I32(static_cast<int32_t>(S));
  o.I32(static_cast<int32_t>(T));
  o.I32(0);
  for (double c : track.columns) o.I32(Round(c * kUnits));
  o.PadTo(H);

  // Section offsets: headers one after another.
  const size_t headerSize = track.type == 3000 ? 56 : 52;
  std::vector<size_t> offsets(S);
  size_t at = 0;
  for (size_t i = 0; i < S; ++i) {
    offsets[i] = at;
    at += headerSize + 20 * track.sections[i].walls.size();
  }
  for (size_t i = 0; i < S; ++i) o.I32(static_cast<int32_t>(offsets[i]));

  TrkLayout lay;
  lay.sectionOffsets = H;
  lay.heightBlock = o.bytes.size();
  for (size_t i = 0; i < S; ++i) {
    const TrkBuildSection& s = track.sections[i];
    const TrkBuildSection& n = track.sections[(i + 1) % S];
    for (size_t k = 0; k < C; ++k) {
      double z0 = k < s.heights.size() ? s.heights[k] : 0.0;
      double z1 = k < n.heights.size() ? n.heights[k] : 0.0;
      o.I32(0);                          // a
      o.I32(0);                          // b
      o.I32(Round((z1 - z0) * kUnits));  // c: linear to the next section
      o.I32(Round(z0 * kUnits));         // d
      o.I32(0);
      o.I32(0);
      o.I32(laid[i].p[k]);
      o.I32(laid[i].q[k]);
    }
  }

  lay.tractionTable = o.bytes.size();
  std::vector<int32_t> first(S);
  int32_t index = 0;
  for (size_t i = 0; i < S; ++i) {
    first[i] = index;
    for (const TrkBuildTraction& t : track.sections[i].tractions) {
      o.I32(Round(t.latStart * kUnits));
      o.I32(Round(t.latEnd * kUnits));
      o.I32(t.surface);
      o.I32(t.flagsA);
      o.I32(Round(t.height * kUnits));
      o.I32(t.texture);
      o.I32(t.textureGplTrk);
      o.I32(t.flagsB);
      ++index;
    }
  }

  lay.sectionArea = o.bytes.size();
  for (size_t i = 0; i < S; ++i) {
    const TrkBuildSection& s = track.sections[i];
    const Laid& l = laid[i];
    lay.sectionHeaders.push_back(o.bytes.size());
    o.I32(s.curve ? 2 : 1);
    o.I32(l.start);
    o.I32(l.length);
    o.I32(static_cast<int32_t>(l.heading));
    if (track.type == 3000) o.I32(0x5A5A5A5A);  // the variant's extra field, dropped on load
    o.I32(l.x);
    o.I32(l.y);
    o.I32(l.change);
    o.I32(0);
    o.I32(0);
    o.I32(0);
    o.I32(static_cast<int32_t>(s.tractions.size()));
    o.I32(first[i]);
    o.I32(static_cast<int32_t>(s.walls.size()));
    for (const TrkBuildWall& w : s.walls) {
      o.I32(w.kind);
      o.I32(Round(w.latStart * kUnits));
      o.I32(Round(w.latEnd * kUnits));
      o.I32(0);
      o.I32(0);
    }
  }
  if (layout) *layout = lay;
  return o.bytes;
}

std::vector<TrkBuildTraction> StandardTractions(int textureBase) {
  auto band = [](double lat, int surface, int texture) {
    TrkBuildTraction t;
    t.latStart = t.latEnd = lat;
    t.surface = surface;
    t.texture = texture;
    t.textureGplTrk = texture + 100;
    return t;
  };
  std::vector<TrkBuildTraction> v = {
      band(-15, 6, textureBase + 0), band(-12, 2051, textureBase + 1), band(-10, 3, textureBase + 2),
      band(-8, 1, textureBase + 3),  band(8, 3, textureBase + 2),      band(10, 2053, textureBase + 4),
      band(12, 6, textureBase + 0),
  };
  v[1].height = 1.0;
  v[5].height = 1.5;
  return v;
}

TrkBuildTrack ClosedCircuit(int type) {
  TrkBuildTrack t;
  t.type = type;
  t.startX = 1000;
  t.startY = -500;
  t.startHeadingDeg = 200;  // headings pass through 360 on the way round
  t.columns = {-20, -10, 0, 10, 20};
  auto straight = [](double len) {
    TrkBuildSection s;
    s.length = len;
    return s;
  };
  auto curve = [](double len, double turn) {
    TrkBuildSection s;
    s.curve = true;
    s.length = len;
    s.turnDeg = turn;
    return s;
  };
  // A rounded rectangle with a chicane on each long side; the two chicanes
  // shift the track by the same amount in opposite directions, so it closes.
  t.sections = {straight(150), curve(40, 30), curve(40, -30), straight(150), curve(80, 90),
                straight(100), curve(80, 90), straight(150),  curve(40, 30), curve(40, -30),
                straight(150), curve(80, 90), straight(100),  curve(80, 90)};
  for (size_t i = 0; i < t.sections.size(); ++i) {
    TrkBuildSection& s = t.sections[i];
    s.tractions = StandardTractions(i % 2 == 0 ? 0 : 10);
    double z = 2.0 * static_cast<double>(i % 7);
    s.heights = {z, z + 0.1, z + 0.2, z + 0.1, z};
    s.walls = {TrkBuildWall{1, -12, -12}, TrkBuildWall{1, 10, 10}};
  }
  return t;
}

TrkBuildTrack WalledTwoSections() {
  TrkBuildTrack two;
  two.columns = {-5, 5};
  two.sections.resize(2);
  two.sections[0].tractions = StandardTractions();
  two.sections[0].walls = {TrkBuildWall{1, -6, -6}, TrkBuildWall{1, 6, 7}};
  two.sections[1].curve = true;
  two.sections[1].turnDeg = 180;
  return two;
}

TrkBuildTrack LargeCircuit(int sections, int tractionsPerSection) {
  TrkBuildTrack t;
  t.columns = {-30, -15, 0, 15, 30};
  const int half = sections / 2;
  for (int i = 0; i < sections; ++i) {
    TrkBuildSection s;
    s.curve = i % 2 == 1;
    s.length = s.curve ? 20 : 30;
    s.turnDeg = s.curve ? 360.0 / half : 0;
    for (int k = 0; k < tractionsPerSection; ++k) {
      TrkBuildTraction b;
      b.latStart = b.latEnd = -30.0 + 60.0 * k / tractionsPerSection;
      bool wall = k == 2 || k == tractionsPerSection - 3;
      b.surface = wall ? 2051 + (k % 3) : 1 + (k % 8);
      b.texture = (k + i / 50) % 24;
      b.textureGplTrk = b.texture;
      b.height = wall ? 1.0 : 0.0;
      s.tractions.push_back(b);
    }
    double z = 0.5 * std::sin(i * 0.05);
    s.heights = {z, z, z, z, z};
    t.sections.push_back(s);
  }
  return t;
}

TrkBuildTrack DistinctPairsCircuit(int sections, int tractionsPerSection, bool descending) {
  TrkBuildTrack t = LargeCircuit(sections, tractionsPerSection);
  const int total = sections * tractionsPerSection;
  int n = 0;
  for (TrkBuildSection& s : t.sections) {
    for (TrkBuildTraction& b : s.tractions) {
      const int m = descending ? total - 1 - n : n;
      // Bands only (surface codes below 2048), 40,000 texture indices each.
      b.surface = 1 + m / 40000;
      b.texture = b.textureGplTrk = m % 40000;
      b.height = 0;
      ++n;
    }
  }
  return t;
}

}  // namespace lapforge
