#include "gpl/TrkReader.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "support/FileIO.h"
#include "support/TextFormat.h"

namespace lapforge {

namespace {

// Byte offsets inside a section header.
constexpr size_t kSecWallCount = 48;
constexpr size_t kSecWalls = 52;

}  // namespace

void CNTrk::Fail(const std::string& what, size_t offset) const {
  std::string name = displayPath_.empty() ? std::string("TRK data") : displayPath_;
  throw CFormatError(name + ": " + what, offset);
}

Result CNTrk::SetFromFile(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (Result read = ReadWholeFile(path, bytes); !read) return read;
  path_ = ToLower(path);
  displayPath_ = path;
  Result result;
  try {
    SetDataPtr(bytes.data(), bytes.size());
  } catch (const CFormatError& e) {
    result = Result::Fail(Status::Damaged, e.what(), path, e.Offset());
  }
  result.warnings = warnings_;
  return result;
}

int CNTrk::SetDataPtr(const uint8_t* data, size_t size) {
  warnings_.clear();
  size_ = size;
  buffer_.assign(size + 16, 0);
  if (size) std::memcpy(buffer_.data(), data, size);
  reader_ = CByteReader(buffer_.data(), size_, displayPath_);
  columns_.clear();
  sectionOffsets_.clear();
  sectionStarts_.clear();

  if (size_ < kHeaderSize)
    Fail(StrFormat("the file holds %zu bytes, fewer than the %zu of the header", size_, kHeaderSize), 0);
  ReadHeader();
  const uint64_t H = ReadLayout();  // where the section offsets are
  const uint64_t S = static_cast<uint32_t>(header_.sections);

  sectionOffsets_.resize(S);
  for (uint64_t i = 0; i < S; ++i) {
    int32_t off = reader_.At<int32_t>(H + 4 * i);
    if (off < 0 || static_cast<uint64_t>(off) > size_ - sectionArea_ ||
        kSectionHeaderSize > size_ - sectionArea_ - static_cast<uint64_t>(off))
      Fail(StrFormat("the header of section %llu (offset %d in the section area at byte %zu) lies outside the "
                     "file (%zu bytes)",
                     static_cast<unsigned long long>(i), off, sectionArea_, size_),
           H + 4 * i);
    sectionOffsets_[i] = off;
  }

  if (header_.type == 2000) warnings_.push_back("Unsupported TRK type");
  if (header_.type == 3000) {
    // These headers carry one more field at byte 16, before x and y: the
    // fields from byte 20 move down over it; the one at 48 stays as well.
    for (uint64_t i = 0; i < S; ++i) {
      uint8_t* h = buffer_.data() + sectionArea_ + static_cast<size_t>(sectionOffsets_[i]);
      std::memmove(h + 16, h + 20, 32);
    }
  }
  if (header_.type >= 2000) header_.type = 4;

  sectionStarts_.resize(S);
  for (uint64_t i = 0; i < S; ++i)
    sectionStarts_[i] = reader_.At<int32_t>(sectionArea_ + static_cast<size_t>(sectionOffsets_[i]) + 4);
  startsAscending_ = std::is_sorted(sectionStarts_.begin(), sectionStarts_.end());

  baseColumn_ = 0;
  for (size_t k = 0; k + 1 < columns_.size(); ++k) {
    if (columns_[k] <= 0 && 0 < columns_[k + 1]) {
      baseColumn_ = static_cast<int>(k);
      break;
    }
  }
  return 1;
}

// The header's fields, each count checked to be positive.
void CNTrk::ReadHeader() {
  header_.unused0 = reader_.At<int32_t>(0);
  header_.type = reader_.At<int32_t>(4);
  header_.length = reader_.At<int32_t>(8);
  header_.columns = reader_.At<int32_t>(12);
  header_.sections = reader_.At<int32_t>(16);
  header_.tractionBytes = reader_.At<int32_t>(20);
  header_.unused24 = reader_.At<int32_t>(24);
  if (header_.sections <= 0) Fail(StrFormat("section count %d is not positive", header_.sections), 16);
  if (header_.columns <= 0) Fail(StrFormat("height column count %d is not positive", header_.columns), 12);
  if (header_.tractionBytes < 0) Fail(StrFormat("traction table size %d is negative", header_.tractionBytes), 20);
  if (header_.length <= 0) Fail(StrFormat("track length %d is not positive", header_.length), 8);
}

// The column positions, which follow the header, and the places of the
// blocks after it: the section offsets at a place fixed by the type, then
// the height block, the traction table and the section area, in that
// order. Each must fit the file. Returns the place of the section offsets.
uint64_t CNTrk::ReadLayout() {
  const uint64_t C = static_cast<uint32_t>(header_.columns);
  const uint64_t S = static_cast<uint32_t>(header_.sections);
  const uint64_t T = static_cast<uint32_t>(header_.tractionBytes);
  if (kHeaderSize + 4 * C > size_)
    Fail(StrFormat("%d height column positions do not fit in the file (%zu bytes)", header_.columns, size_), 12);
  columns_.resize(C);
  for (uint64_t k = 0; k < C; ++k) columns_[k] = reader_.At<int32_t>(kHeaderSize + 4 * k);

  const uint64_t H = header_.type < 2000 ? 68 : 92;
  if (H + 4 * S > size_)
    Fail(StrFormat("%d section offsets at byte %llu do not fit in the file (%zu bytes)", header_.sections,
                   static_cast<unsigned long long>(H), size_),
         16);
  heightBlock_ = H + 4 * S;
  const uint64_t room = size_ - heightBlock_;
  if (S > room / 32 / C)
    Fail(StrFormat("%d x %d height records at byte %zu do not fit in the file (%zu bytes)", header_.sections,
                   header_.columns, heightBlock_, size_),
         heightBlock_);
  tractionTable_ = heightBlock_ + 32 * S * C;
  if (T > size_ - tractionTable_)
    Fail(StrFormat("the traction table of %d bytes at byte %zu does not fit in the file (%zu bytes)",
                   header_.tractionBytes, tractionTable_, size_),
         tractionTable_);
  sectionArea_ = tractionTable_ + T;
  return H;
}

int32_t CNTrk::GetColumnPosition(int k) const {
  CheckIndex(k, columns_.size(), "CNTrk::GetColumnPosition");
  return columns_[static_cast<size_t>(k)];
}

std::optional<NTRK_SECTION> CNTrk::GetSection(int index) const {
  if (index < 0 || sectionOffsets_.empty()) return std::nullopt;
  size_t i = static_cast<size_t>(index) % sectionOffsets_.size();
  size_t at = sectionArea_ + static_cast<size_t>(sectionOffsets_[i]);
  if (!reader_.HasAt(at, sizeof(NTRK_SECTION))) Fail("section header outside the file", at);
  NTRK_SECTION s;
  std::memcpy(&s, reader_.Data() + at, sizeof s);
  return s;
}

int CNTrk::GetSectionInfoN4(int index, NTRK_SECTION& header, std::vector<NTRK_TRACTION>& tractions) const {
  std::optional<NTRK_SECTION> s = GetSection(index);
  if (!s) return 0;
  header = *s;
  const uint64_t T = static_cast<uint32_t>(header_.tractionBytes);
  if (s->tractionCount < 0 || s->firstTraction < 0 ||
      (static_cast<uint64_t>(s->firstTraction) + static_cast<uint64_t>(s->tractionCount)) * 32 > T)
    Fail(StrFormat("section %d refers to %d traction records from record %d, outside the traction table of %d "
                   "records",
                   index, s->tractionCount, s->firstTraction, header_.tractionBytes / 32),
         sectionArea_ + static_cast<size_t>(sectionOffsets_[static_cast<size_t>(index) % sectionOffsets_.size()]) + 40);
  size_t at = tractionTable_ + static_cast<size_t>(s->firstTraction) * 32;
  size_t n = static_cast<size_t>(s->tractionCount);
  if (!reader_.HasAt(at, n * 32)) Fail("traction records outside the file", at);
  size_t first = tractions.size();
  tractions.resize(first + n);
  if (n) std::memcpy(tractions.data() + first, reader_.Data() + at, n * 32);
  return 1;
}

NTRK_HEIGHT CNTrk::GetHeight(int section, int column) const {
  CheckIndex(section, sectionOffsets_.size(), "CNTrk::GetHeight section");
  CheckIndex(column, columns_.size(), "CNTrk::GetHeight column");
  size_t at = heightBlock_ + (static_cast<size_t>(section) * columns_.size() + static_cast<size_t>(column)) * 32;
  if (!reader_.HasAt(at, sizeof(NTRK_HEIGHT))) Fail("height record outside the file", at);
  NTRK_HEIGHT h;
  std::memcpy(&h, reader_.Data() + at, sizeof h);
  return h;
}

int CNTrk::LocateDistance(double distance, double& t) const {
  const double L = header_.length;
  if (distance < 0)
    distance += L;
  else if (distance >= L)
    distance -= L;
  // The last section starting at or before the distance. Starts ascend in
  // any sound file, so a binary search finds it; a damaged file with
  // starts out of order gets the same answer from a scan from the end.
  int i = 0;
  if (startsAscending_) {
    auto it = std::upper_bound(sectionStarts_.begin(), sectionStarts_.end(), distance,
                               [](double d, int32_t start) { return d < start; });
    if (it != sectionStarts_.begin()) i = static_cast<int>(it - sectionStarts_.begin()) - 1;
  } else {
    for (int k = static_cast<int>(sectionStarts_.size()) - 1; k >= 0; --k) {
      if (sectionStarts_[static_cast<size_t>(k)] <= distance) {
        i = k;
        break;
      }
    }
  }
  std::optional<NTRK_SECTION> s = GetSection(i);
  t = s->length != 0 ? (distance - s->start) / s->length : 0.0;
  return i;
}

double CNTrk::HeadingAt(const NTRK_SECTION& s, double t) const {
  double a = ToRadians(s.heading);
  if (s.kind != 1) a += t * ToRadians(s.headingChange);
  return a;
}

double CNTrk::Cubic(int section, int column, double t) const {
  NTRK_HEIGHT h = GetHeight(section, column);
  return ((static_cast<double>(h.a) * t + h.b) * t + h.c) * t + h.d;
}

void CNTrk::GetAngles(double distance, double& heading) const {
  double t = 0;
  int i = LocateDistance(distance, t);
  heading = HeadingAt(*GetSection(i), t);
}

void CNTrk::GetXYZOfBank(int32_t distance, int32_t lateral, double& x, double& y, double& z, bool pairHeights) const {
  double t = 0;
  const int i = LocateDistance(distance, t);
  const NTRK_SECTION s = *GetSection(i);
  const size_t at = sectionArea_ + static_cast<size_t>(sectionOffsets_[static_cast<size_t>(i)]);
  const double d = distance < 0                 ? distance + static_cast<double>(header_.length)
                   : distance >= header_.length ? distance - static_cast<double>(header_.length)
                                                : distance;

  double l = lateral;
  if (lateral == INT32_MAX || lateral == INT32_MIN) {
    // The section's last (first) wall stands for the lateral limit.
    int32_t walls = reader_.At<int32_t>(at + kSecWallCount, "wall count");
    if (walls <= 0) Fail(StrFormat("section %d has no wall for a query at the lateral limit", i), at + 48);
    size_t w = lateral == INT32_MAX ? static_cast<size_t>(walls - 1) : 0;
    size_t wat = at + kSecWalls + w * kWallSize;
    double w0 = reader_.At<int32_t>(wat + 4, "wall start lateral");
    double w1 = reader_.At<int32_t>(wat + 8, "wall end lateral");
    l = (1 - t) * w0 + t * w1;
  }

  const int C = static_cast<int>(columns_.size());
  const int k0 = baseColumn_;
  const int k1 = C > 1 ? k0 + 1 : k0;
  const double span = static_cast<double>(columns_[static_cast<size_t>(k1)]) - columns_[static_cast<size_t>(k0)];
  const double u = span != 0 ? (l - columns_[static_cast<size_t>(k0)]) / span : 0.0;
  const NTRK_HEIGHT h0 = GetHeight(i, k0);
  const NTRK_HEIGHT h1 = GetHeight(i, k1);
  if (s.kind == 1) {
    double a = ToRadians(s.heading);
    double along = d - s.start;
    x = (1 - u) * h0.p + u * h1.p + std::cos(a) * along;
    y = (1 - u) * h0.q + u * h1.q + std::sin(a) * along;
  } else {
    double angle = HeadingAt(s, t) - 1.570795;
    double r = (1 - u) * h0.p + u * h1.p;
    x = s.x + r * std::cos(angle);
    y = s.y + r * std::sin(angle);
  }

  z = HeightAt(i, l, t, pairHeights);
}

// Height at lateral l of section i (t along it): the column at or left of
// l and its right neighbour, blended; beyond the outer columns the outer
// pair when pairHeights, else the outer column alone.
double CNTrk::HeightAt(int i, double l, double t, bool pairHeights) const {
  const int C = static_cast<int>(columns_.size());
  int j = 0;
  bool pair = false;
  if (l <= columns_[0]) {
    j = 0;
    pair = pairHeights && C > 1;
  } else if (l >= columns_[static_cast<size_t>(C - 1)]) {
    j = pairHeights && C > 1 ? C - 2 : C - 1;
    pair = pairHeights && C > 1;
  } else {
    for (int k = 0; k + 1 < C; ++k) {
      if (columns_[static_cast<size_t>(k)] <= l && l < columns_[static_cast<size_t>(k + 1)]) {
        j = k;
        pair = true;
        break;
      }
    }
  }
  double z = Cubic(i, j, t);
  if (pair) {
    double cspan = static_cast<double>(columns_[static_cast<size_t>(j + 1)]) - columns_[static_cast<size_t>(j)];
    double v = cspan != 0 ? (l - columns_[static_cast<size_t>(j)]) / cspan : 0.0;
    z = (1 - v) * z + v * Cubic(i, j + 1, t);
  }
  return z;
}

void CNTrk::GetXYZOfBankM(double distance, double lateral, double& x, double& y, double& z, bool pairHeights) const {
  auto toUnits = [](double m) {
    double u = std::trunc(m * kTrkUnitsPerMetre);
    if (!(u > INT32_MIN)) return static_cast<int32_t>(INT32_MIN);
    if (!(u < INT32_MAX)) return static_cast<int32_t>(INT32_MAX);
    return static_cast<int32_t>(u);
  };
  GetXYZOfBank(toUnits(distance), toUnits(lateral), x, y, z, pairHeights);
  x *= kTrkMetresPerUnit;
  y *= kTrkMetresPerUnit;
  z *= kTrkMetresPerUnit;
}

}  // namespace lapforge
