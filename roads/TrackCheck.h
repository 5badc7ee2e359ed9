// The track checker: reads a loaded description the way the exports do and
// reports what would make a bad track (a loop that does not close, sections
// without length, surfaces without texture entries or materials, rows the
// track build refuses, a mesh beyond the budget, blocks a game writer has
// to split), writing nothing and meshing nothing: block sizes are counted.
// The CLI's check command prints the findings; every export runs the same
// checks first.
#pragma once

#include <string>
#include <vector>

namespace lapforge {

class TrkDsc;

enum class CheckSeverity { Error, Warning };

// One finding. row is the row's position in its table, or, for the rows of
// a section (Traction, Contour, Mesh, bumps), its position among that
// section's rows; -1 when the finding concerns no single row. section is
// the section index (-1 outside the sections).
struct CheckFinding {
  CheckSeverity severity = CheckSeverity::Error;
  std::string table;
  int row = -1;
  int section = -1;
  std::string message;
};

class CTrackCheck {
 public:
  // The most vertices one object of a game file can index (16-bit indices).
  static constexpr long long kVertexLimit = 65535;
  // The most mesh an export may make: 4 GB of face and point records. A
  // face with its four points takes some 550 bytes, so this is about 7.7
  // million faces, many times what a track needs at the finest useful
  // resolutions (a 20 km track meshed every metre along and every half metre
  // across 30 m is 1.2 million faces).
  static constexpr double kMeshBudget = 4.0 * 1024 * 1024 * 1024;
  // A closed loop may miss its start by this much before it is an error.
  static constexpr double kGapTolerance = 0.01;      // metres
  static constexpr double kHeadingTolerance = 0.01;  // degrees

  // Checks a description. descriptionPath locates the material map files
  // (looked up beside it); empty skips that check.
  std::vector<CheckFinding> Check(const TrkDsc& db, const std::string& descriptionPath);
  // Loads and checks a file; a description that cannot be loaded is one
  // error finding carrying the load message (and loaded, when given, is
  // set false).
  std::vector<CheckFinding> CheckFile(const std::string& xmlFile, bool* loaded = nullptr);

  // The bytes of mesh records the last Check counted for the export blocks;
  // negative when the track could not be built.
  double MeshBytes() const { return meshBytes_; }

  static int ErrorCount(const std::vector<CheckFinding>& findings);
  // "error: Traction row 2 of section 5: ..." (the parts a finding has).
  static std::string FormatLine(const CheckFinding& finding);
  // The findings as a JSON array of objects with the keys severity
  // ("error"/"warning"), table, row, section (null when -1) and message.
  static std::string ToJson(const std::vector<CheckFinding>& findings);

 private:
  double meshBytes_ = -1;
};

}  // namespace lapforge
