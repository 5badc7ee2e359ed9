// A Grand Prix Legends track file (.TRK) held in memory: the whole file is
// read once into one buffer and interpreted in place. Answers the geometric
// questions of the import: sections, headings, positions and heights at a
// distance along and a lateral offset across the track, tractions and height
// columns.
//
// Every offset, count and index taken from the file is checked against the
// buffer; a file whose layout does not fit is refused at load with a
// CFormatError naming the file and the fault. Data that only some queries
// read (the inline walls of a section) is checked when those queries run.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "support/ByteReader.h"
#include "support/Result.h"

namespace lapforge {

// Track units per metre, and the conversions of track units.
inline constexpr double kTrkUnitsPerMetre = 19685.0;
inline constexpr double kTrkMetresPerUnit = 5.08001016002032e-05;
inline constexpr double kTrkMilesPerUnit = 3.156571969709596e-08;
inline constexpr double kTrkRadToDeg = 57.29577957855229;
inline constexpr double kTrkHalfTurn = 3.14159265;
inline constexpr double kTrkFullTurn = 6.2831853;

// The fixed header at the start of the file.
struct NTRK_HEADER {
  int32_t unused0 = 0;
  int32_t type = 0;           // below 2000 classic; 2000 unsupported; 3000 shifted section headers
  int32_t length = 0;         // track length, units
  int32_t columns = 0;        // C, number of height columns
  int32_t sections = 0;       // S, number of sections
  int32_t tractionBytes = 0;  // T, byte size of the traction table
  int32_t unused24 = 0;
};

// The first 48 bytes of a section header, as laid out after loading.
struct NTRK_SECTION {
  int32_t kind = 0;      // 1 straight, anything else a curve
  int32_t start = 0;     // units
  int32_t length = 0;    // units
  uint32_t heading = 0;  // binary angle at the section start
  int32_t x = 0;         // start point (straight) or centre (curve)
  int32_t y = 0;
  int32_t headingChange = 0;  // signed binary angle
  int32_t unused28 = 0;
  int32_t unused32 = 0;
  int32_t unused36 = 0;
  int32_t tractionCount = 0;
  int32_t firstTraction = 0;  // index of the first record in the traction table
};
static_assert(sizeof(NTRK_SECTION) == 48);

// One traction record (32 bytes).
struct NTRK_TRACTION {
  int32_t latStart = 0;
  int32_t latEnd = 0;
  int32_t surface = 0;  // low 16 bits: surface code, 2048 and above walls
  int32_t flagsA = 0;
  int32_t height = 0;
  int32_t texture = 0;
  int32_t textureGplTrk = 0;  // texture index of GPLTRK-made files
  int32_t flagsB = 0;
};
static_assert(sizeof(NTRK_TRACTION) == 32);

// One height record (32 bytes): the cubic a t^3 + b t^2 + c t + d of a
// column, and p, q (start x, y of the column for a straight; its radius for
// a curve).
struct NTRK_HEIGHT {
  int32_t a = 0, b = 0, c = 0, d = 0;
  int32_t unused16 = 0, unused20 = 0;
  int32_t p = 0, q = 0;
};
static_assert(sizeof(NTRK_HEIGHT) == 32);

class CNTrk {
 public:
  static constexpr size_t kHeaderSize = 28;
  static constexpr size_t kSectionHeaderSize = 52;
  static constexpr size_t kWallSize = 20;

  CNTrk() = default;
  virtual ~CNTrk() = default;
  CNTrk(const CNTrk&) = delete;
  CNTrk& operator=(const CNTrk&) = delete;

  // Reads and interprets a file: fails CannotRead when it cannot be opened,
  // Damaged (at the offset of the fault) when its layout does not fit its
  // size. The result carries the warnings of the read.
  Result SetFromFile(const std::string& path);
  // Interprets a copy of the bytes (the file). Returns 1; raises
  // CFormatError for a layout that does not fit. A type the reader only
  // half knows is read and noted in Warnings().
  int SetDataPtr(const uint8_t* data, size_t size);
  // What the last read noticed without failing ("Unsupported TRK type").
  const std::vector<std::string>& Warnings() const { return warnings_; }

  const std::string& FilePath() const { return path_; }
  const NTRK_HEADER& Header() const { return header_; }
  int GetType() const { return header_.type; }
  int GetNumberOfSections() const { return header_.sections; }
  int GetNumberOfColumns() const { return header_.columns; }
  int32_t GetTrackLength() const { return header_.length; }
  // Records in the traction table.
  int GetNumberOfTractionRecords() const { return header_.tractionBytes / 32; }
  // Lateral position of height column k, units.
  int32_t GetColumnPosition(int k) const;

  // The header of section index modulo S (S gives section 0); none for a
  // negative index or a track without sections.
  std::optional<NTRK_SECTION> GetSection(int index) const;
  // Copies the first 48 bytes of the section header and appends the
  // section's traction records in file order. 0 (nothing appended) for an
  // index out of range.
  int GetSectionInfoN4(int index, NTRK_SECTION& header, std::vector<NTRK_TRACTION>& tractions) const;
  // Height record of section i, column k.
  NTRK_HEIGHT GetHeight(int section, int column) const;

  // Heading (radians) at a distance along the track, units. The two further
  // outputs of the game's query are not produced.
  void GetAngles(double distance, double& heading) const;
  // World position of (distance, lateral) in units. Lateral equal to the
  // largest (smallest) 32-bit integer stands for the section's last (first)
  // wall. With pairHeights, a point outside the outer columns takes its
  // height from the outer pair of columns.
  void GetXYZOfBank(int32_t distance, int32_t lateral, double& x, double& y, double& z, bool pairHeights) const;
  // The same in metres.
  void GetXYZOfBankM(double distance, double lateral, double& x, double& y, double& z, bool pairHeights) const;

  static double ToRadians(uint32_t heading) { return heading * 6.28318 / 4294967296.0; }
  static double ToRadians(int32_t change) { return change * 6.28318 / 2147483648.0; }

 protected:
  // The section holding a distance (wrapped into the track) and the fraction
  // t along it.
  int LocateDistance(double distance, double& t) const;
  double HeadingAt(const NTRK_SECTION& s, double t) const;
  double Cubic(int section, int column, double t) const;
  double HeightAt(int section, double lateral, double t, bool pairHeights) const;
  [[noreturn]] void Fail(const std::string& what, size_t offset) const;
  // Steps of SetDataPtr: the header, then the places of the blocks.
  void ReadHeader();
  uint64_t ReadLayout();

  std::vector<uint8_t> buffer_;  // the whole file plus 16 zero bytes
  size_t size_ = 0;              // bytes of the file
  CByteReader reader_{nullptr, 0};
  std::string path_;         // lower-cased
  std::string displayPath_;  // as given, for messages
  std::vector<std::string> warnings_;
  NTRK_HEADER header_;
  std::vector<int32_t> columns_;         // lateral positions of the height columns
  std::vector<int32_t> sectionOffsets_;  // relative to the section area
  std::vector<int32_t> sectionStarts_;   // start distance of each section
  bool startsAscending_ = true;
  size_t heightBlock_ = 0;
  size_t tractionTable_ = 0;
  size_t sectionArea_ = 0;
  int baseColumn_ = 0;  // left column of the pair straddling the centre line
};

}  // namespace lapforge
