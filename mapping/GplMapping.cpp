#include "mapping/GplMapping.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <exception>
#include <unordered_map>

#include "description/TrkDsc.h"
#include "description/tables/MaterialTable.h"
#include "description/tables/TableRows.h"
#include "mapping/RecordRows.h"
#include "support/Errors.h"
#include "support/FileIO.h"
#include "support/FileString.h"
#include "support/TextFormat.h"
#include "support/TrackIni.h"

namespace lapforge {

namespace {

constexpr double u = kTrkMetresPerUnit;

double Degrees(double radians) { return radians * kTrkRadToDeg; }

uint64_t PairKey(int grip, int textureIndex) {
  return (uint64_t(uint32_t(grip)) << 32) | uint32_t(textureIndex);
}

// Sorts a list by (surface code, texture index); the pairs are unique, and
// the sort is stable all the same.
template <typename Array>
void SortByPair(Array& list) {
  list.StableSort([](const auto& a, const auto& b) {
    return a.grip < b.grip || (a.grip == b.grip && a.textureIndex < b.textureIndex);
  });
}

}  // namespace

std::unique_ptr<CNTrkGplDb> CNTrkGplDb::CreateFromFile(const std::string& path, Result& result) {
  auto trk = std::make_unique<CNTrkGplDb>();
  result = trk->SetFromFile(path);
  if (!result) return nullptr;
  return trk;
}

void CNTrkGplDb::DbGetSummary(TrackSummaryRecord& summary) {
  summary = TrackSummaryRecord();
  summary.name = FileString::Title(FilePath());
  summary.lengthMetres = GetTrackLength() * u;
  summary.lengthMiles = GetTrackLength() * kTrkMilesPerUnit;
  double x = 0, y = 0, z = 0, heading = 0;
  GetXYZOfBank(0, 0, x, y, z, false);
  summary.xOrigin = x * u;
  summary.yOrigin = y * u;
  summary.zOrigin = 0;
  GetAngles(0, heading);
  startAngle_ = Degrees(heading);
  summary.startAngle = startAngle_;
  // A GPL track has no light, north or resolution values: the description
  // gets fixed ones.
  summary.ambient = 0.6;
  summary.longRes = summary.arcRes = summary.latRes = 5;
}

void CNTrkGplDb::DbGetSection(int index, SectionRecord& section) const {
  std::optional<NTRK_SECTION> hs = GetSection(index);
  if (!hs) ThrowInvalidArgument(StrFormat("CNTrkGplDb::DbGetSection: section %d", index));
  const NTRK_SECTION h = *hs;
  const NTRK_SECTION n = *GetSection(index + 1);
  if (h.kind - 1LL < -128 || h.kind - 1LL > 127)
    Fail(StrFormat("section %d has the kind %d, which is neither a straight nor a curve", index, h.kind), 0);

  section = SectionRecord();
  section.index = index;
  section.type = h.kind - 1;
  section.start = h.start * u;
  section.angleStart = Degrees(ToRadians(h.heading)) - startAngle_;

  double x0 = 0, y0 = 0, x1 = 0, y1 = 0, z = 0;
  GetXYZOfBank(h.start, 0, x0, y0, z, false);
  GetXYZOfBank(n.start, 0, x1, y1, z, false);
  const double dx = (x1 - x0) * u, dy = (y1 - y0) * u;
  const double a0 = ToRadians(h.heading), a1 = ToRadians(n.heading);

  if (section.type > 0) {
    const double delta = ToRadians(h.headingChange);
    section.angleChange = Degrees(delta);
    const double ds = std::sin(a1) - std::sin(a0), dc = std::cos(a1) - std::cos(a0);
    // A curve that turns by nothing has no length to recover from its ends.
    if (std::fabs(ds) > std::fabs(dc))
      section.length = std::fabs(delta / ds * dx);
    else
      section.length = dc != 0 ? std::fabs(delta / dc * dy) : 0.0;
    section.radius = delta != 0 ? section.length / delta : 0.0;
  } else {
    double delta = a1 - a0;
    if (delta < -kTrkHalfTurn)
      delta += kTrkFullTurn;
    else if (delta > kTrkHalfTurn)
      delta = -(kTrkFullTurn - delta);
    section.angleChange = Degrees(delta);
    section.length = std::sqrt(dx * dx + dy * dy);
    section.radius = 0;
  }
}

void CNTrkGplDb::DbGetTractions(int index, std::vector<TractionRecord>& tractions, bool gplTrk) {
  tractions.clear();
  records_.clear();
  NTRK_SECTION h;
  if (!GetSectionInfoN4(index, h, records_)) return;
  const double pl = (h.length / 10 + static_cast<int64_t>(h.start)) * u;
  const double wallLong = (h.length / 2 + static_cast<int64_t>(h.start)) * u;
  const size_t m = records_.size();
  tractions.reserve(m);

  for (size_t k = 0; k < m; ++k) {
    const NTRK_TRACTION& r = records_[k];
    const bool last = k + 1 == m;
    TractionRecord t;
    t.latStart = r.latStart * u;
    t.latEnd = r.latEnd * u;
    t.grip = static_cast<uint16_t>(r.surface & 0xFFFF);
    t.textureIndex = static_cast<uint16_t>((gplTrk ? r.textureGplTrk : r.texture) & 0xFFFF);
    t.height = t.heightEnd = static_cast<float>(r.height * u);
    t.width = t.widthEnd = 0;

    if (t.grip >= 2048) {
      // The wall moves to the middle of the gap to the next band.
      double w0 = 0, w1 = 0;
      if (!last) {
        w0 = (records_[k + 1].latStart * u - t.latStart) * 0.5;
        w1 = (records_[k + 1].latEnd * u - t.latEnd) * 0.5;
        if (w0 < 0.001) w0 = 0;
        if (w1 < 0.001) w1 = 0;
      }
      t.width = static_cast<float>(w0);
      t.widthEnd = static_cast<float>(w1);
      t.latStart += w0;
      t.latEnd += w1;

      VARS_TRACK_WALL_TEX e;
      e.grip = t.grip;
      e.textureIndex = t.textureIndex;
      e.width = w0;
      e.height = t.height;
      e.vertical = 1;
      e.firstSection = index;
      e.longPos = static_cast<float>(wallLong);
      e.latPos = static_cast<float>((t.latStart + t.latEnd) * 0.5);
      e.texLeft = "error";
      e.texRight = "error";
      if (w0 > 0.01 && !(gplTrk && (r.flagsB & 131072))) {
        e.texTop = "error";
        e.texEnd = "error";
      }
      DbFindAddWallTex(e);
    } else {
      double g0 = 0, g1 = 0;
      if (!last) {
        g0 = (records_[k + 1].latStart * u - t.latStart) * 0.5;
        g1 = (records_[k + 1].latEnd * u - t.latEnd) * 0.5;
      }
      VARS_TRACK_TRACTION_TEX e;
      e.grip = t.grip;
      e.textureIndex = t.textureIndex;
      if (gplTrk) {
        e.r90 = 1;
        if (r.flagsB & 8)
          e.clampHint = t.latStart < 0 ? 7 : 3;
        else if (r.flagsB & (2 | 512))
          e.clampHint = t.latStart < 0 ? 5 : 1;
      } else if (r.flagsA & 16) {
        e.clampHint = 1;
      }
      e.firstSection = index;
      e.longPos = static_cast<float>(pl);
      e.latPos = static_cast<float>(0.1 * (g1 + t.latEnd) + 0.9 * (g0 + t.latStart));
      e.tex = "error";
      DbFindAddTractionTex(e);
    }
    tractions.push_back(t);
  }
}

void CNTrkGplDb::DbGetContours(int index, std::vector<ContourRecord>& contours) const {
  contours.clear();
  std::optional<NTRK_SECTION> h = GetSection(index);
  if (!h) return;
  const int S = GetNumberOfSections();
  const int here = index % S;
  const int next = (here + 1) % S;
  const NTRK_SECTION n = *GetSection(next);
  const int C = GetNumberOfColumns();
  contours.reserve(static_cast<size_t>(C));
  for (int k = 0; k < C; ++k) {
    const NTRK_HEIGHT a = GetHeight(here, k);
    const NTRK_HEIGHT b = GetHeight(next, k);
    ContourRecord c;
    c.latStart = c.latEnd = GetColumnPosition(k) * u;
    c.height = a.d * u;
    c.grad = h->length != 0 ? static_cast<double>(a.c) / h->length : 0.0;
    c.heightEnd = b.d * u;
    c.gradEnd = n.length != 0 ? static_cast<double>(b.c) / n.length : 0.0;
    contours.push_back(c);
  }
}

void CNTrkGplDb::CheckTractionReferences() const {
  const int64_t records = GetNumberOfTractionRecords();
  const int64_t allowed = 8 * records + 64;
  int64_t total = 0;
  for (int i = 0; i < GetNumberOfSections(); ++i) {
    int32_t n = GetSection(i)->tractionCount;
    if (n > 0) total += n;
  }
  if (total > allowed)
    Fail(StrFormat("its sections refer to %lld traction records in all, but the table holds %lld",
                   static_cast<long long>(total), static_cast<long long>(records)),
         20);
}

// The first section that uses a pair is the one recorded: a later entry
// with a pair already listed is dropped.
void CNTrkGplDb::DbFindAddTractionTex(const VARS_TRACK_TRACTION_TEX& entry) {
  if (!tractionPairs_.insert(PairKey(entry.grip, entry.textureIndex)).second) return;
  tractionTex_.Add(entry);
  sorted_ = false;
}
void CNTrkGplDb::DbFindAddWallTex(const VARS_TRACK_WALL_TEX& entry) {
  if (!wallPairs_.insert(PairKey(entry.grip, entry.textureIndex)).second) return;
  wallTex_.Add(entry);
  sorted_ = false;
}

void CNTrkGplDb::SortLists() const {
  if (sorted_) return;
  SortByPair(tractionTex_);
  SortByPair(wallTex_);
  sorted_ = true;
}

const CTrackTractionTexArray& CNTrkGplDb::TractionTex() const {
  SortLists();
  return tractionTex_;
}
const CTrackWallTexArray& CNTrkGplDb::WallTex() const {
  SortLists();
  return wallTex_;
}

namespace {

// A texture list line applied to a traction or wall texture entry.
void ApplyLine(VARS_TRACK_TRACTION_TEX& t, int /*kind*/, double first, double second, const std::string& name) {
  t.repeatLength = first;
  t.repeatWidth = second;
  t.tex = name;
}

void ApplyLine(VARS_TRACK_WALL_TEX& w, int kind, double first, double /*second*/, const std::string& name) {
  if (kind == 1) {
    w.repeatLength = first;
    w.texLeft = name;
    w.texRight = name;
  } else if (kind == 4 || kind == 5) {
    w.texEnd = name;
  } else {
    w.texTop = name;
  }
}

template <typename Array>
void UpdateFirst(Array& list, int grip, int textureIndex, int kind, double first, double second,
                 const std::string& name) {
  for (int i = 0; i < list.GetSize(); ++i) {
    auto& e = list.ElementAt(i);
    if (e.grip != grip || e.textureIndex != textureIndex) continue;
    ApplyLine(e, kind, first, second, name);
    return;
  }
}

// Position of the first entry of each (surface code, texture index) pair.
template <typename Array>
std::unordered_map<uint64_t, int> FirstByPair(const Array& list) {
  std::unordered_map<uint64_t, int> first;
  first.reserve(static_cast<size_t>(list.GetSize()));
  for (int i = 0; i < list.GetSize(); ++i) first.emplace(PairKey(list[i].grip, list[i].textureIndex), i);
  return first;
}

}  // namespace

void UpdateTractionTex(CTrackTractionTexArray& list, int grip, int textureIndex, int kind, double first,
                       double second, const std::string& name) {
  UpdateFirst(list, grip, textureIndex, kind, first, second, name);
}

void UpdateWallTex(CTrackWallTexArray& list, int grip, int textureIndex, int kind, double first, double second,
                   const std::string& name) {
  UpdateFirst(list, grip, textureIndex, kind, first, second, name);
}

void ApplyTextureList(const std::string& text, CTrackTractionTexArray& tractionTex, CTrackWallTexArray& wallTex) {
  // The entries are found through an index made once, so that a long list
  // over long tables stays linear.
  const std::unordered_map<uint64_t, int> tractionAt = FirstByPair(tractionTex);
  const std::unordered_map<uint64_t, int> wallAt = FirstByPair(wallTex);
  size_t pos = 0;
  while (pos < text.size()) {
    size_t eol = text.find('\n', pos);
    if (eol == std::string::npos) eol = text.size();
    std::string line = text.substr(pos, eol - pos);
    pos = eol + 1;
    // Everything from the first '/' on is a comment.
    size_t slash = line.find('/');
    if (slash != std::string::npos) line.resize(slash);
    int g = 0, x = 0, k = 0, used = 0;
    float f1 = 0, f2 = 0;
    if (std::sscanf(line.c_str(), "%d %d %d %f %f %n", &g, &x, &k, &f1, &f2, &used) != 5) continue;
    size_t b = static_cast<size_t>(used), e = b;
    while (e < line.size() && !std::isspace(static_cast<unsigned char>(line[e]))) ++e;
    if (e == b || g <= 0) continue;
    std::string name = line.substr(b, e - b);
    const uint64_t key = PairKey(g, x);
    if (auto it = tractionAt.find(key); it != tractionAt.end())
      ApplyLine(tractionTex.ElementAt(it->second), k, f1, f2, name);
    if (auto it = wallAt.find(key); it != wallAt.end()) ApplyLine(wallTex.ElementAt(it->second), k, f1, f2, name);
  }
}

namespace {

void AddRows(CNTrkGplDb& trk, TrkDsc& ds, bool gplTrk) {
  TrackSummaryRecord sum;
  trk.DbGetSummary(sum);
  AddTrackSummaryRow(ds, sum);

  SectionRecord sec;
  std::vector<TractionRecord> tractions;
  std::vector<ContourRecord> contours;
  const int S = trk.GetNumberOfSections();
  if (S > 65536) ThrowInvalidArgument(StrFormat("%d sections are more than a description holds", S));
  for (int i = 0; i < S; ++i) {
    trk.DbGetSection(i, sec);
    const TrkDsc::SectionRow r = AddSectionRow(ds, sec);
    trk.DbGetTractions(i, tractions, gplTrk);
    for (const TractionRecord& t : tractions) AddTractionRow(ds, r, t);
    trk.DbGetContours(i, contours);
    for (const ContourRecord& c : contours) AddContourRow(ds, r, c);
  }
}

// A GPL track carries no overrides, race types, V ranges, catch fences or
// repeat moduli: its rows get the fixed values, and every surface entry
// takes part in the contours.
void AddTextureRows(TrkDsc& ds, CTrackTractionTexArray tractionTex, CTrackWallTexArray wallTex,
                    const CTrackMaterialArray& materials) {
  for (int i = 0; i < tractionTex.GetSize(); ++i) {
    VARS_TRACK_TRACTION_TEX& t = tractionTex.ElementAt(i);
    t.gripOverride = -1;
    t.raceType = 0;
    t.contourFlag = 1;
  }
  for (int i = 0; i < wallTex.GetSize(); ++i) {
    VARS_TRACK_WALL_TEX& w = wallTex.ElementAt(i);
    w.gripOverride = -1;
    w.raceType = 0;
    w.minTexV = 0.0f;
    w.maxTexV = 1.0f;
    w.catchFence = 0;
    w.repeatModulus = 0;
  }
  AddTextureAndMaterialRows(ds, tractionTex, wallTex, materials);
}

// "_blank.tex" is a template for the user, made anew by every import;
// skipped silently when it cannot be created.
void WriteBlankList(const std::string& path, const std::string& text) { static_cast<void>(ReplaceFile(path, text)); }

std::string TextureListFile(const std::string& path) {
  return FindFileNoCase(FileString::Path(path), FileString::FileName(FileString::ChangeExtension(path, "tex")));
}

}  // namespace

std::vector<std::string> GplTrkReadFiles(const std::string& path) {
  std::vector<std::string> files{path};
  for (std::string file : {TextureListFile(path), FindFileNoCase(FileString::Path(path), "track.ini")})
    if (!file.empty()) files.push_back(std::move(file));
  return files;
}

std::string GplBlankListFile(const std::string& path) {
  const std::string folder = FileString::Path(path);
  std::string blank = FindFileNoCase(folder, "_blank.tex");
  return blank.empty() ? folder + "_blank.tex" : blank;
}

std::unique_ptr<TrkDsc> DataBaseFromGplTrk(const std::string& path, bool gplTrk, bool /*autoMaterials*/,
                                           Result& result) {
  std::unique_ptr<CNTrkGplDb> trk = CNTrkGplDb::CreateFromFile(path, result);
  if (!trk) {
    result = std::move(result).Prefixed("The track file cannot be read: ");
    return nullptr;
  }
  auto ds = std::make_unique<TrkDsc>();
  // Companion files sit beside the track; their names are matched without
  // regard to case.
  const std::string folder = FileString::Path(path);
  try {
    trk->CheckTractionReferences();
    AddRows(*trk, *ds, gplTrk);

    CTrackTractionTexArray tractionTex = trk->DbGetTractionTex();
    CTrackWallTexArray wallTex = trk->DbGetWallTex();
    std::string texList = TextureListFile(path);
    std::string text;
    if (!texList.empty() && ReadWholeFile(texList, text)) ApplyTextureList(text, tractionTex, wallTex);

    CTrackMaterialArray materials;
    BuildMaterialTable(materials, tractionTex, wallTex, true);

    CTextWriter blank;
    for (const _vars_track_material& m : materials) blank.Line(m.texLine);
    WriteBlankList(GplBlankListFile(path), blank.Text());

    AddTextureRows(*ds, tractionTex, wallTex, materials);

    VARS_AIW_TRACK_INFO info;
    std::string ini = FindFileNoCase(folder, "track.ini");
    if (!ini.empty()) ReadTrackIni(ini, info);
    AddAIInfoRow(*ds, info);
  } catch (const CFormatError& e) {
    result.status = Status::Damaged;
    result.message = std::string("The track file cannot be read: ") + e.what();
    result.file = path;
    result.offset = e.Offset();
    return nullptr;
  } catch (const std::exception& e) {
    result.status = Status::Failed;
    result.message = std::string("The track file cannot be converted: ") + path + ": " + ErrorText(e);
    result.file = path;
    return nullptr;
  }
  return ds;
}

}  // namespace lapforge
