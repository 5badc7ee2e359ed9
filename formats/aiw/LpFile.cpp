#include "formats/aiw/LpFile.h"

#include <algorithm>
#include <cmath>

#include "support/ByteReader.h"
#include "support/ByteWriter.h"
#include "support/Errors.h"
#include "support/FileIO.h"
#include "support/FileString.h"
#include "support/TextFormat.h"

namespace lapforge {

namespace {

constexpr size_t kHeaderSize = 8;
constexpr size_t kLateralOffset = 8;  // of the line's lateral inside a record

}  // namespace

std::vector<uint8_t> LpFileBytes(std::span<const float> laterals) {
  CByteWriter out;
  out.Reserve(kHeaderSize + laterals.size() * 20);
  out.U16(2);
  out.U16(1);
  out.U32(static_cast<uint32_t>(laterals.size()));
  for (size_t i = 0; i < laterals.size(); ++i) {
    out.F32(static_cast<float>(kLpSpacing * static_cast<double>(i)));
    out.F32(0);
    out.F32(laterals[i]);
    out.F32(0);
    out.F32(0);
  }
  return out.Take();
}

int CLReadLP::ParseLP(std::span<const uint8_t> bytes, const std::string& source, std::vector<float>& laterals,
                      std::string* note) {
  laterals.clear();
  CByteReader in(bytes, source);
  const uint16_t type = in.U16("record type");
  const uint16_t version = in.U16("version");
  const uint32_t count = in.U32("record count");
  if ((type != 2 && type != 3) || version != 1) {
    if (note) *note = StrFormat("%s: record type %u version %u is not an LP layout (types 2 and 3, version 1)",
                                source.c_str(), type, version);
    return 0;
  }
  if (count == 0) {
    if (note) *note = source + ": the file holds no records";
    return 0;
  }
  const size_t recordSize = type == 2 ? 20 : 24;
  // The count comes from the file: it must fit the bytes that follow before
  // anything is sized from it.
  if (count > in.Remaining() / recordSize)
    throw CFormatError(StrFormat("%s: %u records of %zu bytes do not fit the %zu bytes after the header",
                                 source.c_str(), count, recordSize, in.Remaining()),
                       kHeaderSize);
  laterals.resize(count);
  for (uint32_t i = 0; i < count; ++i) {
    const size_t at = kHeaderSize + i * recordSize + kLateralOffset;
    laterals[i] = in.At<float>(at, "record lateral");
    if (!std::isfinite(laterals[i])) {
      laterals.clear();
      throw CFormatError(StrFormat("%s: record %u has a lateral that is not a number", source.c_str(), i), at);
    }
  }
  return static_cast<int>(count);
}

int CLReadLP::ReadLP(const std::string& path, const std::string& name, std::vector<float>& laterals) {
  laterals.clear();
  note.clear();
  const std::string folder = FileString::Path(path);
  const std::string file = FindFileNoCase(folder, name + ".lp");
  if (file.empty()) {
    note = "no file " + name + ".lp in " + (folder.empty() ? std::string("the current folder") : folder);
    return 0;
  }
  std::vector<uint8_t> bytes;
  if (Result read = ReadWholeFile(file, bytes); !read) throw CFormatError(read.Text(), 0);
  return ParseLP(bytes, file, laterals, &note);
}

std::vector<std::string> CLReadLP::ReadFiles(const std::string& path) {
  std::vector<std::string> files{path};
  const std::string folder = FileString::Path(path);
  for (const char* name : {"race", "pit0", "pit", "maxrace", "minrace"}) {
    std::string file = FindFileNoCase(folder, std::string(name) + ".lp");
    if (!file.empty()) files.push_back(std::move(file));
  }
  return files;
}

Result CLReadLP::ReadLPLines(const std::string& path) {
  try {
    return ReadLines(path);
  } catch (const CFormatError& e) {
    return Result::Fail(Status::Damaged, e.what(), std::string(), e.Offset());
  }
}

Result CLReadLP::ReadLines(const std::string& path) {
  lines.clear();
  pitRecords = SIZE_MAX;
  intervals = -1;
  clamped_ = 0;
  furthest_ = 0;
  std::vector<float> race, pit, maxrace, minrace;
  if (!ReadLP(path, "race", race)) return Result::Fail(Status::CannotRead, "No racing line to read: " + note);
  if (!ReadLP(path, "pit0", pit)) {
    std::string pit0 = note;
    if (!ReadLP(path, "pit", pit))
      return Result::Fail(Status::CannotRead, "No pit lane line to read: " + pit0 + "; " + note);
  }
  ReadLP(path, "maxrace", maxrace);
  ReadLP(path, "minrace", minrace);
  SetLines(race, pit, maxrace, minrace);
  note.clear();
  return Result::Ok();
}

void CLReadLP::SetLines(std::span<const float> race, std::span<const float> pit, std::span<const float> maxrace,
                        std::span<const float> minrace) {
  clamped_ = 0;
  furthest_ = 0;
  spacing = kLpSpacing;
  lines.assign(race.size(), _lpline());
  for (size_t i = 0; i < race.size(); ++i) {
    lines[i].distance = static_cast<float>(kLpSpacing * static_cast<double>(i));
    lines[i].race = race[i];
  }
  // The race line sets the number of stations; a longer pit line is cut to
  // it and a shorter one leaves the rest at 0.
  const size_t n = std::min(pit.size(), lines.size());
  pitRecords = n;
  for (size_t i = 0; i < n; ++i) {
    lines[i].pitDistance = static_cast<float>(kLpSpacing * static_cast<double>(i));
    lines[i].pit = pit[i];
  }
  intervals = static_cast<int>(lines.size()) - 1;
  for (size_t i = 0; i < std::min(maxrace.size(), lines.size()); ++i)
    lines[i].outerPass = (lines[i].race + maxrace[i]) * 0.5f;
  for (size_t i = 0; i < std::min(minrace.size(), lines.size()); ++i)
    lines[i].innerPass = (lines[i].race + minrace[i]) * 0.5f;
}

const _lpline* CLReadLP::LineAt(double d) const {
  if (intervals <= 0 || lines.empty()) return nullptr;
  const double k = d / spacing;
  if (!(k >= 0)) return &lines.front();  // negative or not a number
  if (k >= static_cast<double>(lines.size())) {
    // A racing line shorter than the track: the last record holds on.
    ++clamped_;
    furthest_ = std::max(furthest_, d);
    return &lines.back();
  }
  return &lines[static_cast<size_t>(k)];
}

void CLReadLP::GetRaceLine(double d, double& race, double& pit) const {
  const _lpline* l = LineAt(d);
  race = l ? l->race : 0;
  pit = l ? l->pit : 0;
}

void CLReadLP::GetPassLines(double d, double& outer, double& inner) const {
  const _lpline* l = LineAt(d);
  outer = l ? l->outerPass : 0;
  inner = l ? l->innerPass : 0;
}

}  // namespace lapforge
