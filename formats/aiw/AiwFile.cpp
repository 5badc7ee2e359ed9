#include "formats/aiw/AiwFile.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "support/Errors.h"
#include "support/FileIO.h"
#include "track/TrackQuery.h"

namespace lapforge {

namespace {

constexpr double kStep = 6;  // metres between race waypoints
constexpr double kQuarterTurn = 1.570796325;
constexpr double kFullTurn = 6.2831853;
constexpr double kHalfTurn = 3.14159265;
constexpr int kGridSlots = 24;      // plus slot 103 with the extras
constexpr int kTeleportSlots = 102;
constexpr int kStalls = 12;         // plus stall 51 with the extras
constexpr double kSlotOffset = 2.25;  // grid slots either side of the grid lateral
// The most race waypoints a file gets: a track of 6000 km, hundreds of times
// any circuit, and far inside the int the waypoints are numbered with.
constexpr int kMaxRaceWaypoints = 1000000;

bool Finite(const aiwe& w) {
  const double v[] = {w.lat,    w.dist,     w.x,        w.y,        w.z,        w.vx,
                      w.vy,     w.vz,       w.px,       w.py,       w.pz,       w.width[0],
                      w.width[1], w.width[2], w.width[3], w.heading, w.pitch, w.roll, w.pathOffset};
  for (double x : v)
    if (!std::isfinite(x)) return false;
  return true;
}

// A race waypoint number kept inside the race lap: pit-lane ends and grid
// slots near the start line point across it.
int32_t WrapRace(long long k, int n) {
  long long m = k % n;
  return static_cast<int32_t>(m < 0 ? m + n : m);
}

// The grid and teleport slots alternate either side of the grid lateral,
// the first slot on the pole side.
double SlotLateral(const VARS_AIW_TRACK_INFO& info, int k) {
  const bool even = k % 2 == 0;
  const bool left = info.pollPositionLeft != 0 ? even : !even;
  return info.gridLat + (left ? kSlotOffset : -kSlotOffset);
}

}  // namespace

double CZWriteAIW::NormAng(double a) {
  if (!std::isfinite(a)) return 0;
  a += kQuarterTurn;
  if (a < 0) {
    if (a < -kFullTurn * 64) a = std::fmod(a, kFullTurn);  // skip the long climb, same result
    while (a < 0) a += kFullTurn;
  }
  a = kFullTurn - a;
  if (a > kHalfTurn) a -= kFullTurn;
  return a;
}

void CZWriteAIW::Place(ITrackQuery& track, aiwe& w, double d, double lat, bool withAngles) {
  w.dist = d;
  w.lat = lat;
  track.GetXYZ(d, lat, w.x, w.y, w.z);
  if (withAngles) track.GetAngles(d, lat, w.heading, w.pitch, w.roll);
}

std::string CZWriteAIW::BuildAiw(ITrackQuery& track, const VARS_AIW_TRACK_INFO& info, const CLReadLP& lp, int extras) {
  waypoints.clear();
  grid.clear();
  teleport.clear();
  stalls.clear();
  aux.clear();
  warning.clear();
  track_ = &track;
  const double L = track.GetTrackLength();
  length_ = L;
  // The race waypoints are counted before the count becomes an int.
  const double along = L * 0.16666666666666666;
  if (!(L > 0) || !std::isfinite(L) || !(along >= 1))
    ThrowInvalidArgument(StrFormat("The track is %.3f m long, too short for AI waypoints", L));
  if (along > kMaxRaceWaypoints)
    ThrowInvalidArgument(StrFormat("The track is %.0f m long, too long for AI waypoints: one every %g m makes at most "
                                   "%d, a track of %.0f m",
                                   L, kStep, kMaxRaceWaypoints, kMaxRaceWaypoints * kStep));
  const int n = static_cast<int>(along);
  int P = 0;
  double stallSpan = 0;
  CheckPitAndStalls(info, P, stallSpan);
  const double s = stallSpan * 0.08333333333333333;

  const int gridSlots = kGridSlots + (extras ? 1 : 0);
  const int stallCount = kStalls + (extras ? 1 : 0);
  waypoints.reserve(static_cast<size_t>(n) + static_cast<size_t>(P) + 1 + gridSlots + stallCount);
  AddRaceWaypoints(lp, n);
  double pitReach = AddPitLane(lp, info.mergePitIn, n, P);
  AddGridSlots(info, gridSlots);
  AddTeleportSlots(info);
  pitReach = std::max(pitReach, AddStalls(info, lp, n, P, s, stallCount));
  CheckFinite();
  SetWarning(lp, pitReach);

  CTextWriter out;
  out.Reserve(waypoints.size() * 560 + (grid.size() + teleport.size() + stalls.size()) * 200 + 4096);
  out.Line("[Features]");
  out.Line("pitlanes=1");
  out.LineF("startinggrid=%d", 104);
  out.LineF("pitspots=%d", 52);
  out.Line("garagespots=3");
  out.Line();
  WriteAiwGrid(out);
  WriteAiwPits(out, s * 0.25);
  WriteLengthDetailsAiw(out, static_cast<int>(waypoints.size()), L, info.stallsLatStart > 0 ? 1 : 0);
  WriteAiwRace(out);
  return out.Take();
}

// The pit lane runs from merge-in to merge-out, across the start line when
// merge-out comes first; pitWaypoints is its length in 6 m steps. The
// stalls' span runs the same way.
void CZWriteAIW::CheckPitAndStalls(const VARS_AIW_TRACK_INFO& info, int& pitWaypoints, double& stallSpan) const {
  const double L = length_;
  double pitLength = info.mergePitOut - info.mergePitIn;
  if (pitLength < 0) pitLength += L;
  if (!(pitLength >= 0 && pitLength <= L))
    ThrowInvalidArgument(StrFormat("The pit lane from MergePitIn %g to MergePitOut %g does not fit the %.3f m track",
                                   static_cast<double>(info.mergePitIn), static_cast<double>(info.mergePitOut), L));
  pitWaypoints = static_cast<int>(pitLength) / 6;
  stallSpan = info.stallsLongEnd - info.stallsLongStart;
  if (stallSpan < 0) stallSpan += L;
  if (!(stallSpan >= 0 && stallSpan <= L) || !std::isfinite(info.stallsLatStart) ||
      !std::isfinite(info.stallsLatEnd) || !std::isfinite(info.gridLat))
    ThrowInvalidArgument(StrFormat("The stalls from StallsLongStart %g to StallsLongEnd %g do not fit the %.3f m "
                                   "track or a lateral value is not a number",
                                   static_cast<double>(info.stallsLongStart), static_cast<double>(info.stallsLongEnd),
                                   L));
  // Grid slots and stalls this far beside the track stand where no car can
  // reach them.
  const std::pair<const char*, float> laterals[] = {
      {"GridLat", info.gridLat}, {"StallsLatStart", info.stallsLatStart}, {"StallsLatEnd", info.stallsLatEnd}};
  for (const auto& [column, lat] : laterals)
    if (std::fabs(lat) > ITrackQuery::kFarOffset)
      ThrowInvalidArgument(
          StrFormat("The AIInfo %s of %g m lies more than %g km beside the track; no grid slot or "
                    "pit stall can stand there",
                    column, static_cast<double>(lat), ITrackQuery::kFarOffset / 1000));
}

// Race waypoints every 6 m, halfway between the reference line and the
// racing line, kept a metre inside the drivable strip.
void CZWriteAIW::AddRaceWaypoints(const CLReadLP& lp, int n) {
  ITrackQuery& track = *track_;
  for (int i = 0; i < n; ++i) {
    aiwe& w = waypoints.emplace_back();
    const double d = kStep * i;
    double r, pit;
    lp.GetRaceLine(d, r, pit);
    double dl = 4.0, dr = 4.0, wl = 4.0, wr = 4.0;
    track.GetDriveBoundsAt(d, r, dl, dr, wl, wr);
    double q = r * 0.5;
    if (q < dr + 1) q = dr + 1;
    if (q > dl - 1) q = dl - 1;
    w.index = i;
    Place(track, w, d, q, false);
    double x = 0, y = 0, z = 0;
    track.GetXYZ(d, q - 1, x, y, z);
    w.px = x - w.x, w.py = y - w.y, w.pz = z - w.z;
    x = y = z = 0;
    track.GetXYZ(kStep * ((i + 1) % n), q, x, y, z);
    w.vx = x - w.x, w.vy = y - w.y, w.vz = z - w.z;
    w.pathOffset = q - r;
    w.prev = i == 0 ? n - 1 : i - 1;
    w.next = (i + 1) % n;
    w.link = -1;
    w.branch = 0;
    w.width[0] = std::max(dl - q, 0.2);
    w.width[1] = std::max(q - dr, 0.2);
    w.width[2] = wl - q;
    w.width[3] = q - wr;
  }
}

// The pit lane: its first and last ten waypoints blend from the racing line
// into the pit line and link to the race waypoints they leave and join.
// Returns the furthest distance the pit line is read at: a pit line shorter
// than that leaves the pit lane on the reference line there.
double CZWriteAIW::AddPitLane(const CLReadLP& lp, float mergeIn, int n, int P) {
  ITrackQuery& track = *track_;
  double pitReach = 0;
  auto blend = [&](int w, double d) {
    double race, pit;
    lp.GetRaceLine(d, race, pit);
    if (w < 10) pitReach = std::max(pitReach, d);
    return (w * race + (10 - w) * pit) * 0.1;
  };
  for (int j = 0; j <= P; ++j) {
    const int index = n + j;
    const double d = track.GetNormalizedLength(static_cast<float>(mergeIn + static_cast<float>(6 * j)));
    const int w = j < 10 ? 10 - j : (j > P - 10 ? j - P + 10 : 0);
    const double lat = blend(w, d);
    aiwe& p = waypoints.emplace_back();
    p.index = index;
    Place(track, p, d, lat, false);
    double x = 0, y = 0, z = 0;
    track.GetXYZ(d, lat - 1, x, y, z);
    p.px = x - p.x, p.py = y - p.y, p.pz = z - p.z;
    const double d2 = track.GetNormalizedLength(d + kStep);
    x = y = z = 0;
    track.GetXYZ(d2, blend(w, d2), x, y, z);
    p.vx = x - p.x, p.vy = y - p.y, p.vz = z - p.z;
    p.branch = 1;
    p.link = -1;
    if (j < 10)
      p.link = WrapRace(static_cast<long long>(d / kStep), n);
    else if (j > P - 10)
      p.link = WrapRace(static_cast<long long>(d / kStep + 1), n);
    p.prev = index - 1;
    if (j == 0) {
      p.prev = WrapRace(static_cast<long long>(p.link) - 2, n);
      waypoints[static_cast<size_t>(p.prev)].link = index;
    }
    p.next = j == P ? p.link : index + 1;
    double dl = 4.0, dr = 4.0, wl = 4.0, wr = 4.0;
    track.GetDriveBoundsAt(d, lat, dl, dr, wl, wr);
    p.width[0] = dl - lat;
    p.width[1] = lat - dr;
    p.width[2] = wl - lat;
    p.width[3] = lat - wr;
  }
  return pitReach;
}

// Grid slots behind the start line, both sides of the grid lateral; each
// is reached from the race waypoint 30 m behind it.
void CZWriteAIW::AddGridSlots(const VARS_AIW_TRACK_INFO& info, int gridSlots) {
  ITrackQuery& track = *track_;
  for (int g = 0; g < gridSlots; ++g) {
    const bool extra = g == kGridSlots;
    const double lat = extra ? static_cast<double>(info.gridLat) : SlotLateral(info, g);
    const double d = track.GetNormalizedLength(extra ? 10.0 : -20.0 - 8.0 * g);
    aiwe& w = waypoints.emplace_back();
    w.index = static_cast<int32_t>(waypoints.size() - 1);
    Place(track, w, d, lat, true);
    w.prev = std::max(0, static_cast<int>(d / kStep - 5));
    waypoints[static_cast<size_t>(w.prev)].link = w.index;
    w.next = w.index;
    w.link = -1;
    const int name = extra ? 103 : g;
    w.branch = name + 2;
    aiwe slot = w;
    slot.index = name;
    grid.push_back(slot);
  }
  aux.push_back(grid.back());
}

void CZWriteAIW::AddTeleportSlots(const VARS_AIW_TRACK_INFO& info) {
  for (int k = 0; k < kTeleportSlots; ++k) {
    aiwe& w = teleport.emplace_back();
    w.index = k;
    Place(*track_, w, track_->GetNormalizedLength(-250.0 - 8.0 * k), SlotLateral(info, k), true);
  }
}

// Pit stalls evenly from the first to the last (spacing s), each reached
// from the pit-lane waypoint 18 m behind it. Returns the furthest distance
// the pit line is read at.
double CZWriteAIW::AddStalls(const VARS_AIW_TRACK_INFO& info, const CLReadLP& lp, int n, int P, double s,
                             int stallCount) {
  ITrackQuery& track = *track_;
  const float mergeIn = info.mergePitIn;
  const int pitFirst = n, pitLast = n + P;
  double pitReach = 0;
  for (int t = 0; t < stallCount; ++t) {
    const double d = track.GetNormalizedLength((t + 1) * s + info.stallsLongStart);
    const float lat = info.stallsLatStart +
                      static_cast<float>(t) * (info.stallsLatEnd - info.stallsLatStart) * 0.083333336f;
    aiwe& w = waypoints.emplace_back();
    w.index = static_cast<int32_t>(waypoints.size() - 1);
    Place(track, w, d, lat, true);
    double race, pit;
    lp.GetRaceLine(d, race, pit);
    pitReach = std::max(pitReach, d);
    w.pathOffset = pit - lat;
    // A stall outside the pit lane's span is tied to its nearest end.
    const long long along = static_cast<long long>(track.GetNormalizedLength(d - mergeIn)) / 6;
    const long long link = std::clamp<long long>(n + along + 3, pitFirst, pitLast);
    w.link = static_cast<int32_t>(link);
    w.prev = static_cast<int32_t>(std::clamp<long long>(link - 6, pitFirst, pitLast));
    waypoints[static_cast<size_t>(w.prev)].link = w.index;
    w.next = w.index;
    const int name = t == kStalls ? 51 : t;
    w.branch = name + 106;
    aiwe stall = w;
    stall.index = name;
    stalls.push_back(stall);
  }
  aux.push_back(stalls.back());
  return pitReach;
}

void CZWriteAIW::CheckFinite() const {
  for (const std::vector<aiwe>* list : {&waypoints, &teleport})
    for (const aiwe& w : *list)
      if (!Finite(w))
        ThrowInvalidArgument(StrFormat("The AI waypoint at %.3f m, lateral %.3f, has a value that is not a number",
                                       w.dist, w.lat));
}

// A racing line or pit line shorter than what the waypoints read of it.
void CZWriteAIW::SetWarning(const CLReadLP& lp, double pitReach) {
  const double L = length_;
  if (lp.ClampCount() > 0)
    warning = StrFormat("Warning: the racing line covers %.1f m (%zu records) but the track is %.1f m long; "
                        "distances up to %.1f m use its last record",
                        lp.CoveredLength(), lp.lines.size(), L, lp.FurthestClamped());
  if (pitReach >= lp.PitCoveredLength() && lp.PitCoveredLength() < lp.CoveredLength())
    warning += StrFormat(
        "%sWarning: the pit line covers %.1f m (%zu records) but the pit lane reaches %.1f m of the "
        "%.1f m track; beyond its end the pit line lies on the track's reference line",
        warning.empty() ? "" : "\n", lp.PitCoveredLength(), lp.PitRecords(), pitReach, L);
}

Result CZWriteAIW::AIWFromLP(ITrackQuery& track, const VARS_AIW_TRACK_INFO& info, const std::string& lpPath,
                             const std::string& outPath, int extras) {
  warning.clear();
  CLReadLP lp;
  if (Result read = lp.ReadLPLines(lpPath); !read) return read;
  const std::string text = BuildAiw(track, info, lp, extras);
  return ReplaceFile(outPath, text);
}

void CZWriteAIW::WriteLocation(CTextWriter& out, const char* indexKey, int index, const char* posKey,
                               const char* oriKey, const aiwe& w) {
  out.LineF("%s=%d", indexKey, index);
  out.LineF("%s=(%4.4f,%4.4f,%4.4f)", posKey, w.x, w.z, w.y);
  out.LineF("%s=(%4.4f,%4.4f,%4.4f)", oriKey, w.pitch, NormAng(w.heading), w.roll);
}

void CZWriteAIW::WriteAiwGrid(CTextWriter& out) {
  out.Line("[GRID]");
  for (const aiwe& g : grid) WriteLocation(out, "GridIndex", g.index, "Pos", "Ori", g);
  out.Line();
  out.Line();
  out.Line("[ALTGRID]");
  out.Line();
  out.Line();
  out.Line();
  out.Line("[TELEPORT]");
  for (const aiwe& t : teleport) WriteLocation(out, "GridIndex", t.index, "Pos", "Ori", t);
}

void CZWriteAIW::WriteAiwPits(CTextWriter& out, double garageStep) {
  out.Line();
  out.Line("[PITS]");
  for (const aiwe& t : stalls) {
    WriteLocation(out, "TeamIndex", t.index, "PitPos", "PitOri", t);
    // Three garages per stall, side by side behind it, turned half a radian
    // towards the stall's side of the track.
    for (int g = 0; g < 3; ++g) {
      double x = 0, y = 0, z = 0;
      track_->GetXYZ(t.dist - 2 - (2 - g) * garageStep, t.lat, x, y, z);
      out.LineF("GarPos=(%d,%4.4f,%4.4f,%4.4f)", g, x, z, y);
      double heading = 0, pitch = 0, roll = 0;
      track_->GetAngles(t.dist - 2 + g * garageStep, t.lat, heading, pitch, roll);
      heading += t.lat < 0 ? 0.5 : -0.5;
      out.LineF("GarOri=(%d,%4.4f,%4.4f,%4.4f)", g, pitch, NormAng(heading), roll);
    }
  }
  out.Line();
  out.Line();
  out.Line("[AUX]");
  for (size_t k = 0; k < aux.size(); ++k) WriteLocation(out, "LocationIndex", static_cast<int>(k), "Pos", "Ori", aux[k]);
}

void CZWriteAIW::WriteLengthDetailsAiw(CTextWriter& out, int count, double length, int leftHandedPits) {
  out.Line();
  out.Line("[Waypoint]");
  out.Line("trackstate=497");
  out.Line("times=(99999.9922,99999.92)");
  out.LineF("number_waypoints=%d", count);
  out.LineF("lap_length=%4.4f", length);
  out.LineF("sector_1_length=%4.4f", length * 0.333);
  out.LineF("sector_2_length=%4.4f", length * 0.666);
  out.LineF("LeftHandedPits=%d", leftHandedPits);
  out.LineF("FuelUse=%4.4f", length * 9.1);
  out.Line("GrooveWidth=6.200000");
  out.Line("GrooveWidthWet=4.000000");
  out.Line("WorstTime=(0.0000)");
  out.Line("MidTime=(0.0000)");
  out.Line("BestTime=(0.0000)");
  out.LineF("WorstAdjust=(%4.4f)", 0.878);
  out.LineF("MidAdjust=(%4.4f)", 1.033);
  out.LineF("BestAdjust=(%4.4f)", 1.136);
  out.Line("RaceQualRatio=(0.9880)");
  out.Line("CheatDelta=(0.0000,0.0000,0.0000)");
}

void CZWriteAIW::WriteAiwRace(CTextWriter& out) {
  const double L = length_;
  const double second = L * 0.3333333333333333;
  const double third = static_cast<float>(L * 0.6666f);
  for (const aiwe& w : waypoints) {
    const int sector = w.dist > third ? 2 : (w.dist > second ? 1 : 0);
    out.LineF("wp_pos=(%4.4f,%4.4f,%4.4f)", w.x, w.z, w.y);
    out.LineF("wp_perp=(%4.4f,%4.4f,%4.4f)", w.px, w.pz, w.py);
    out.LineF("wp_vect=(%4.4f,%4.4f,%4.4f)", w.vx, w.vz, w.vy);
    out.LineF("wp_width=(%3.3f,%3.3f,%3.3f,%3.3f)", w.width[0], w.width[1], w.width[2], w.width[3]);
    out.LineF("wp_dwidth=(%3.3f,%3.3f,0,0)", w.width[2], w.width[3]);
    out.LineF("wp_path=(%4.4f,%4.4f)", w.pathOffset, w.pathOffset * 0.8);
    out.Line("wp_alpha=(0.0000)");
    out.Line("wp_galpha=(0.04000)");
    out.LineF("wp_score=(%d,%3.3f)", sector, w.dist);
    out.Line("wp_marks=(0)");
    out.LineF("wp_groove_lat=(%4.4f)", w.pathOffset * -0.25);
    out.Line("wp_wpse=(0,0)");
    out.Line("wp_dswpse=(0,0)");
    out.LineF("wp_branchID=(%d)", w.branch);
    out.LineF("wp_bitfields=(%d)", w.branch > 1 ? 1 : 0);
    out.LineF("WP_PTRS=(%d,%d,%d,%d)", w.prev, w.next, w.link, w.branch);
  }
  out.Line();
}

}  // namespace lapforge
