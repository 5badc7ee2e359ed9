// Builds small GPL .TRK files byte by byte from a list of sections, for the
// reader's and the import's tests, the fuzz seeds and the benchmark.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lapforge {

struct TrkBuildTraction {
  double latStart = 0;  // metres
  double latEnd = 0;
  int surface = 1;
  int flagsA = 0;
  double height = 0;  // metres
  int texture = 0;
  int textureGplTrk = 0;
  int flagsB = 0;
};

struct TrkBuildWall {
  int kind = 1;
  double latStart = 0;  // metres
  double latEnd = 0;
};

struct TrkBuildSection {
  bool curve = false;
  double length = 100;  // metres along the reference line
  double turnDeg = 0;   // heading change over a curve (positive to the left)
  // A heading jump after a straight: the next section starts turned by this
  // much (the track's corners drawn as kinks).
  double kinkDeg = 0;
  std::vector<TrkBuildTraction> tractions;
  std::vector<TrkBuildWall> walls;
  // Height of each column at the section start, metres (empty: all 0). The
  // height runs linearly to the next section's value.
  std::vector<double> heights;
};

struct TrkBuildTrack {
  int type = 1;                   // 1 classic, 3000 with the extra header field, 2000 unsupported
  double startX = 0, startY = 0;  // metres
  double startHeadingDeg = 0;
  std::vector<double> columns = {-10, 0, 10};  // lateral positions, metres, ascending
  std::vector<TrkBuildSection> sections;
};

// Byte offsets of a built file's parts, for tests that damage them.
struct TrkLayout {
  size_t sectionOffsets = 0;
  size_t heightBlock = 0;
  size_t tractionTable = 0;
  size_t sectionArea = 0;
  std::vector<size_t> sectionHeaders;  // absolute offset of each header
};

std::vector<uint8_t> BuildTrk(const TrkBuildTrack& track, TrkLayout* layout = nullptr);

// The usual bands of one section: grass, a wall, kerb, road, kerb, a wall
// and grass, 30 m wide in all.
std::vector<TrkBuildTraction> StandardTractions(int textureBase = 0);

// A closed circuit: straights and left-hand curves that turn by 360 degrees
// in all, with a right-hand kink, standard tractions and rising heights.
TrkBuildTrack ClosedCircuit(int type = 1);

// A circuit of n sections with tractionsPerSection bands each, for the
// benchmark and the fuzz seeds.
TrkBuildTrack LargeCircuit(int sections, int tractionsPerSection);

// Two sections, for the fuzz seeds: a straight with standard tractions and
// walls on both sides, then a 180 degree curve.
TrkBuildTrack WalledTwoSections();

// A circuit of n sections with tractionsPerSection bands each, every band
// with a (surface code, texture index) pair of its own: pairs rising along
// the track, or falling (the order that costs a sorted insert the most).
TrkBuildTrack DistinctPairsCircuit(int sections, int tractionsPerSection, bool descending);

// Track length in units of a built track.
int32_t TrkMetresToUnits(double metres);

}  // namespace lapforge
