// The computed racing line of a description: the track built, sampled and
// optimised, then written as CSV or as an LP file; the same line serves the
// AI waypoint road without LP files and the track map.
#include <algorithm>
#include <cmath>
#include <memory>

#include "description/TrkDsc.h"
#include "formats/aiw/LpFile.h"
#include "mapping/PtfMapping.h"
#include "roads/ComputedLine.h"
#include "roads/Lapforge.h"
#include "roads/LapforgeReading.h"
#include "support/FileIO.h"
#include "support/FileString.h"
#include "support/TextFormat.h"
#include "support/UserInterface.h"

namespace lapforge {

namespace {

// The stations either side of distance d and the share of the second.
void Around(const _rl_track_stations& t, double d, size_t& i0, size_t& i1, double& f) {
  const size_t n = t.stations.size();
  if (t.closed) {
    double k = d / t.step;
    k -= std::floor(k / static_cast<double>(n)) * static_cast<double>(n);
    const double base = std::floor(k);
    i0 = std::min(static_cast<size_t>(base), n - 1);
    i1 = (i0 + 1) % n;
    f = std::clamp(k - base, 0.0, 1.0);
    return;
  }
  const double k = std::clamp(d / t.step, 0.0, static_cast<double>(n - 1));
  i0 = std::min(static_cast<size_t>(k), n - 2);
  i1 = i0 + 1;
  f = std::clamp(k - static_cast<double>(i0), 0.0, 1.0);
}

}  // namespace

double ComputedLine::OffsetAt(double d) const {
  if (line.offset.size() != track.stations.size() || track.stations.size() < 2) return 0;
  size_t i0, i1;
  double f;
  Around(track, d, i0, i1, f);
  return (1 - f) * line.offset[i0] + f * line.offset[i1];
}

void ComputedLine::BoundsAt(double d, double margin, double& lo, double& hi) const {
  lo = hi = 0;
  if (track.stations.size() < 2) return;
  size_t i0, i1;
  double f;
  Around(track, d, i0, i1, f);
  const _rl_station &a = track.stations[i0], &b = track.stations[i1];
  lo = (1 - f) * a.lo + f * b.lo + margin;
  hi = (1 - f) * a.hi + f * b.hi - margin;
}

std::string SectionAtDistance(const TrkDsc& db, CN5Ptf& model, double d) {
  int segment;
  CN5ObjSg* seg = nullptr;
  double t;
  if (!model.GetSegAt(d, segment, seg, t)) return std::string();
  // A split section makes two segments.
  for (int i = 0, first = 0; i < db.Section.Count(); ++i) {
    TrkDsc::SectionRow sec = db.Section[i];
    const double f = sec.SplitOr(0.0) / sec.Length();
    const int segments = f > 0 && f < 1 ? 2 : 1;
    if (segment < first + segments) return StrFormat("section %d (row %d)", sec.IndexOr(i), i + 1);
    first += segments;
  }
  return std::string();
}

bool ComputeRacingLine(const TrkDsc& db, CN5Ptf& model, const LineOptions& options, ComputedLine& out,
                       const std::string& caption) {
  // Where a fault lies, in the user's terms.
  auto place = [&](double d) {
    const std::string section = SectionAtDistance(db, model, d);
    return StrFormat("%.1f m along the track", d) + (section.empty() ? std::string() : ", in " + section);
  };
  if (Result sampled = SampleTrack(model, options.step, out.track); !sampled) {
    ShowError(sampled.Text() + (out.track.fault >= 0 ? " (" + place(out.track.fault) + ")" : std::string()), caption);
    return false;
  }
  _rl_options opt;
  opt.closed = out.track.closed;
  opt.margin = options.margin;
  opt.car.grip = options.grip;
  if (!out.line.Optimise(out.track.stations, opt)) {
    const _rl_error& e = out.line.error;
    std::string text;
    if (e.status == ERlStatus::NoRoom && e.station >= 0) {
      const _rl_station& s = out.track.stations[static_cast<size_t>(e.station)];
      text = StrFormat(
          "No room for a racing line %s: the drivable strip from %.2f to %.2f m is %.2f m wide, and a "
          "margin of %g m either side needs %g m",
          place(e.distance).c_str(), s.lo, s.hi, s.hi - s.lo, options.margin, 2 * options.margin);
    } else if (e.status == ERlStatus::OutOfMemory) {
      text = "out of memory while computing the racing line";
    } else {
      text = "The racing line cannot be computed: " + e.message +
             (e.station >= 0 ? " (" + place(e.distance) + ")" : std::string());
    }
    ShowError(text, caption);
    return false;
  }
  return true;
}

std::vector<float> LineLpLaterals(const ComputedLine& computed) {
  const double length = computed.track.length;
  const size_t records = static_cast<size_t>(std::ceil(length / kLpSpacing - 1e-9));
  std::vector<float> laterals(records);
  for (size_t k = 0; k < records; ++k)
    laterals[k] = static_cast<float>(computed.OffsetAt(kLpSpacing * static_cast<double>(k)));
  return laterals;
}

std::string LineCsv(CN5Ptf& model, const ComputedLine& computed) {
  const CRacingLine& l = computed.line;
  const std::vector<_rl_station>& st = computed.track.stations;
  CTextWriter out;
  out.Reserve(st.size() * 80 + 128);
  out.Line("distance,offset,x,y,z,curvature,speed");
  for (size_t i = 0; i < st.size(); ++i) {
    double x = l.x[i], y = l.y[i], z = l.z[i];
    TrackPoint(model, st[i].distance, l.offset[i], x, y, z);
    out.LineF("%.3f,%.4f,%.4f,%.4f,%.4f,%.6f,%.3f", st[i].distance, l.offset[i], x, y, z, l.curvature[i], l.speed[i]);
  }
  out.LineF("# lap time %.3f s over %.3f m", l.lapTime, l.length);
  return out.Take();
}

int CLapforge::LineFromDataBase(const TrkDsc& db, const std::string& outFile, const LineOptions& options) {
  const std::string ext = ToLower(FileString::Extension(outFile));
  const bool lp = ext == "lp" || ext == ".lp";
  if (!lp && ext != "csv" && ext != ".csv") {
    ShowError("the racing line is written as .csv or .lp, not \"" + outFile + "\"", "Racing Line");
    return 0;
  }
  if (!OutputsClear({outFile})) return 0;
  CN5PtfDb model;
  if (!PTFObjFromDataBase(db, model, "")) return 0;
  try {
    ComputedLine computed;
    if (!ComputeRacingLine(db, model, options, computed, "Racing Line")) return 0;
    Result written;
    if (lp)
      written = ReplaceFile(outFile, LpFileBytes(LineLpLaterals(computed)));
    else
      written = ReplaceFile(outFile, LineCsv(model, computed));
    if (!written) {
      Show(written, "Racing Line");
      return 0;
    }
    CountFilesWritten(1);
    return 1;
  } catch (const std::bad_alloc&) {
    ShowError("out of memory while computing the racing line", "Racing Line");
    return 0;
  }
}

int CLapforge::XMLToLine(const std::string& xmlFile, const std::string& outFile, const LineOptions& options) {
  std::unique_ptr<TrkDsc> db = DataBaseFromXML(xmlFile);
  if (!db) return 0;
  ReadingScope reading(*this, {xmlFile});
  return LineFromDataBase(*db, outFile, options);
}

}  // namespace lapforge
