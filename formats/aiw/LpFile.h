// The racing lines of a track as a game stores them: ".lp" files beside each
// other in one folder ("race", "pit0" or "pit", "maxrace", "minrace"), each a
// list of lateral offsets 3 m apart along the track. CLReadLP gathers them
// into one line per record for the AI waypoint writer.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "support/Result.h"

namespace lapforge {

// One racing-line station: the race and pit lines and the two passing lines
// (each pass line halfway between the race line and the file's line).
struct _lpline {
  float distance = 0;
  float race = 0;
  float pitDistance = 0;
  float pit = 0;
  float outerPass = 0;
  float innerPass = 0;
};
using CLpLineArray = std::vector<_lpline>;

// Metres between the records of an LP file.
inline constexpr double kLpSpacing = 3;

// The bytes of an LP file holding one line, laterals[i] at i * kLpSpacing:
// record type 2, version 1, the record count, then one 20-byte record per
// lateral: the distance (float), 0, the lateral (float), 0, 0. This is the
// layout ParseLP reads; the words it does not use are left zero.
std::vector<uint8_t> LpFileBytes(std::span<const float> laterals);

class CLReadLP {
 public:
  // Reads the lines of the LP files in path's folder (path's own file name
  // is not used). Ok when "race" and a pit line ("pit0", else "pit") gave
  // records; otherwise fails CannotRead saying what is missing, or Damaged
  // naming a damaged file and the offset of the fault.
  Result ReadLPLines(const std::string& path);
  // The LP files ReadLPLines may read for path: those of its names found in
  // path's folder, and path itself.
  static std::vector<std::string> ReadFiles(const std::string& path);
  // Reads the laterals of the file name + ".lp" in path's folder, found
  // without regard to letter case. Returns the number read: 0 when there is
  // no such file or it is of another record type or version (note says
  // which). Raises CFormatError when the file is cut short or its count
  // does not fit it; nothing is allocated from an unchecked count.
  // laterals is left empty when nothing was read.
  int ReadLP(const std::string& path, const std::string& name, std::vector<float>& laterals);
  // The laterals of one LP file's bytes; source names it in messages.
  static int ParseLP(std::span<const uint8_t> bytes, const std::string& source, std::vector<float>& laterals,
                     std::string* note = nullptr);

  // The lines from laterals already at hand (one per kLpSpacing, as the
  // files hold them), the way ReadLPLines makes them from the files: race
  // sets the number of records, a shorter pit line leaves the rest at 0,
  // maxrace and minrace (either may be empty) give the pass lines. Race and
  // pit must not be empty.
  void SetLines(std::span<const float> race, std::span<const float> pit, std::span<const float> maxrace,
                std::span<const float> minrace);

  // Race and pit laterals at distance d (0 and 0 before the lines are read).
  // A distance beyond the last record takes the last record; such distances
  // are counted (ClampCount) so that the caller can warn once.
  void GetRaceLine(double d, double& race, double& pit) const;
  // Outer and inner pass laterals at distance d, the same way.
  void GetPassLines(double d, double& outer, double& inner) const;

  // The distance the lines cover: records × spacing.
  double CoveredLength() const { return static_cast<double>(lines.size()) * spacing; }
  // The records of the pit line, and the distance they cover: a pit line
  // may have fewer records than the race line, and beyond them its lateral
  // is 0.
  size_t PitRecords() const { return std::min(pitRecords, lines.size()); }
  double PitCoveredLength() const { return static_cast<double>(PitRecords()) * spacing; }
  long ClampCount() const { return clamped_; }
  // The greatest distance that had to be clamped.
  double FurthestClamped() const { return furthest_; }

  CLpLineArray lines;
  size_t pitRecords = SIZE_MAX;  // set by ReadLPLines; lines filled otherwise have a pit lateral each
  int intervals = -1;
  double spacing = 1;
  std::string note;  // why the last ReadLP gave no records

 private:
  // ReadLPLines, raising CFormatError for a damaged file.
  Result ReadLines(const std::string& path);
  const _lpline* LineAt(double d) const;
  mutable long clamped_ = 0;
  mutable double furthest_ = 0;
};

}  // namespace lapforge
