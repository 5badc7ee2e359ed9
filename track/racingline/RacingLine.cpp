#include "track/racingline/RacingLine.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <new>
#include <utility>

#include "track/racingline/BoxQp.h"

namespace lapforge {

namespace {

// Weight of the pull towards the middle of the interval, per metre of line
// (1/m^4, against the squared curvature's 1/m^2 per metre). On a straight
// whose line lies on an edge held at both ends it acts like a load on a
// beam and bows the line inwards by about pull * 5 m * L^4 / 384: 3e-5 m
// over 300 m, 1.3 cm over a kilometre.
constexpr double kCentrePull = 1e-12;
// The pulls of the first linearisation: from kFirstPull down by kPullStep
// to kCentrePull.
constexpr double kFirstPull = 1e-4;
constexpr double kPullStep = 0.31622776601683794;  // 1/sqrt(10)
// The step search on the true objective halves a Gauss-Newton step at most
// this many times before the line is taken as converged.
constexpr int kMaxStepHalvings = 8;

bool Finite(double v) { return std::isfinite(v); }

}  // namespace

// The quadratic programme of one linearisation: the Hessian's lower
// triangle with its fixed pattern, and for every station the positions in
// it of the products of its three offsets, so that assembling is a pass
// over the stations without searching or allocating.
struct RlSolverState {
  CBoxQp qp;
  CBoxQp::SparseMatrix H;
  Eigen::VectorXd f, lo, hi, delta;
  // Per station six value positions: (prev,prev) (cur,prev) (next,prev)
  // (cur,cur) (next,cur) (next,next), each stored as lower-triangle entry;
  // -1 where an open line's end has no neighbour.
  std::vector<int> slot;
  size_t n = 0;
  bool closed = false;

  void Build(size_t count, bool isClosed);
};

void RlSolverState::Build(size_t count, bool isClosed) {
  if (count == n && isClosed == closed && H.rows() == static_cast<Eigen::Index>(count)) return;
  n = count;
  closed = isClosed;
  const int m = static_cast<int>(n);
  std::vector<Eigen::Triplet<double>> entries;
  entries.reserve(n * 6);
  auto add = [&](int r, int c) { entries.emplace_back(std::max(r, c), std::min(r, c), 0.0); };
  for (int i = 0; i < m; ++i) {
    add(i, i);
    if (i + 1 < m || closed) add((i + 1) % m, i);
    if (i + 2 < m || closed) add((i + 2) % m, i);
  }
  H.resize(m, m);
  H.setFromTriplets(entries.begin(), entries.end());
  H.makeCompressed();
  auto find = [&](int r, int c) {
    if (r < c) std::swap(r, c);
    const int* begin = H.innerIndexPtr() + H.outerIndexPtr()[c];
    const int* end = H.innerIndexPtr() + H.outerIndexPtr()[c + 1];
    const int* at = std::lower_bound(begin, end, r);
    return at != end && *at == r ? static_cast<int>(at - H.innerIndexPtr()) : -1;
  };
  slot.assign(n * 6, -1);
  for (int i = 0; i < m; ++i) {
    const int prev = (i + m - 1) % m, next = (i + 1) % m;
    int* s = &slot[static_cast<size_t>(i) * 6];
    s[0] = find(prev, prev);
    s[1] = find(i, prev);
    s[2] = find(next, prev);
    s[3] = find(i, i);
    s[4] = find(next, i);
    s[5] = find(next, next);
  }
  f.resize(m);
  lo.resize(m);
  hi.resize(m);
  delta.resize(m);
}

CRacingLine::CRacingLine() : solver_(std::make_unique<RlSolverState>()) {}
CRacingLine::~CRacingLine() = default;

void CRacingLine::Clear() {
  offset.clear();
  x.clear();
  y.clear();
  z.clear();
  curvature.clear();
  speed.clear();
  lapTime = 0;
  length = 0;
  objective = 0;
  factorisations = 0;
}

bool CRacingLine::Fail(ERlStatus status, int station, double distance, std::string message) {
  Clear();
  error.status = status;
  error.station = station;
  error.distance = distance;
  error.message = std::move(message);
  return false;
}

bool CRacingLine::Prepare(std::span<const _rl_station> stations, const _rl_options& options) {
  Clear();
  error = _rl_error{};
  st_ = stations;
  opt_ = options;
  n_ = stations.size();
  char text[256];
  if (n_ < 3) {
    std::snprintf(text, sizeof text, "a line needs at least 3 stations, it has %zu", n_);
    return Fail(ERlStatus::TooFewStations, -1, 0, text);
  }
  if (n_ > static_cast<size_t>(1) << 28) return OutOfMemory(n_) != 0;
  const _rl_vehicle& car = options.car;
  if (!Finite(options.margin) || options.margin < 0 || options.iterations < 0 || options.iterations > 50 ||
      !Finite(car.grip) || car.grip <= 0 || !Finite(car.topSpeed) || car.topSpeed <= 0 ||
      !Finite(car.powerPerMass) || car.powerPerMass < 0 || !Finite(car.gravity) || car.gravity <= 0)
    return Fail(ERlStatus::BadOptions, -1, 0,
                "the margin, grip, top speed and power must be finite, the grip and top speed above 0, the "
                "iterations 0 to 50");

  nx_.resize(n_);
  ny_.resize(n_);
  lo_.resize(n_);
  hi_.resize(n_);
  mid_.resize(n_);
  for (size_t i = 0; i < n_; ++i)
    if (!PrepareStation(i)) return false;
  // Each station's share of the reference's length, for the pull.
  share_.assign(n_, 0.0);
  for (size_t i = 0; i < n_; ++i) {
    if (i + 1 == n_ && !options.closed) break;
    const size_t q = (i + 1) % n_;
    const double d = std::hypot(stations[q].x - stations[i].x, stations[q].y - stations[i].y);
    share_[i] += 0.5 * d;
    share_[q] += 0.5 * d;
  }
  offset.resize(n_);
  x.resize(n_);
  y.resize(n_);
  z.resize(n_);
  curvature.resize(n_);
  weight_.resize(n_);
  jac_.resize(n_ * 3);
  baseDiag_.resize(n_);
  baseF_.resize(n_);
  trial_.resize(n_);
  step_.resize(n_);
  return true;
}

// Checks station i against the one before it and sets its lateral
// direction and its interval less the margin; false (Fail called) for a
// station that cannot be used.
bool CRacingLine::PrepareStation(size_t i) {
  char text[256];
  const _rl_station& s = st_[i];
  const int at = static_cast<int>(i);
  if (!Finite(s.x) || !Finite(s.y) || !Finite(s.z) || !Finite(s.nx) || !Finite(s.ny) || !Finite(s.nz) ||
      !Finite(s.distance) || !Finite(s.lo) || !Finite(s.hi)) {
    std::snprintf(text, sizeof text, "station %d (%.3f m along the line) has a value that is not a finite number", at,
                  s.distance);
    return Fail(ERlStatus::NonFinite, at, s.distance, text);
  }
  const double len = std::hypot(s.nx, s.ny);
  if (!(len > 1e-9)) {
    std::snprintf(text, sizeof text, "station %d (%.3f m along the line) has no lateral direction", at, s.distance);
    return Fail(ERlStatus::BadStation, at, s.distance, text);
  }
  nx_[i] = s.nx / len;
  ny_[i] = s.ny / len;
  if (i > 0) {
    const _rl_station& p = st_[i - 1];
    if (!(s.distance > p.distance)) {
      std::snprintf(text, sizeof text, "station %d (%.3f m along the line) does not lie beyond the one before (%.3f m)",
                    at, s.distance, p.distance);
      return Fail(ERlStatus::BadStation, at, s.distance, text);
    }
  }
  const size_t prev = i > 0 ? i - 1 : n_ - 1;
  if ((i > 0 || opt_.closed) && std::hypot(s.x - st_[prev].x, s.y - st_[prev].y) < 1e-6) {
    std::snprintf(text, sizeof text, "station %d (%.3f m along the line) lies on top of station %zu", at, s.distance,
                  prev);
    return Fail(ERlStatus::BadStation, at, s.distance, text);
  }
  const double margin = opt_.margin;
  lo_[i] = s.lo + margin;
  hi_[i] = s.hi - margin;
  if (hi_[i] < lo_[i]) {
    std::snprintf(text, sizeof text,
                  "no room for the margin at station %d, %.3f m along the line: the interval from %.3f to %.3f m "
                  "is %.3f m wide and the margin needs %.3f m",
                  at, s.distance, s.lo, s.hi, s.hi - s.lo, 2 * margin);
    return Fail(ERlStatus::NoRoom, at, s.distance, text);
  }
  mid_[i] = 0.5 * (lo_[i] + hi_[i]);
  return true;
}

double CRacingLine::Geometry(const std::vector<double>& a, bool jacobian) {
  for (size_t i = 0; i < n_; ++i) {
    x[i] = st_[i].x + a[i] * nx_[i];
    y[i] = st_[i].y + a[i] * ny_[i];
  }
  const bool closed = opt_.closed;
  double sum = 0;
  for (size_t i = 0; i < n_; ++i) {
    const bool end = !closed && (i == 0 || i + 1 == n_);
    double k = 0, jp = 0, jc = 0, jn = 0, w = 0;
    if (!end) {
      const size_t p = i > 0 ? i - 1 : n_ - 1, q = i + 1 < n_ ? i + 1 : 0;
      const double ax = x[i] - x[p], ay = y[i] - y[p];
      const double bx = x[q] - x[i], by = y[q] - y[i];
      const double cx = x[q] - x[p], cy = y[q] - y[p];
      const double la2 = ax * ax + ay * ay, lb2 = bx * bx + by * by, lc2 = cx * cx + cy * cy;
      const double d = std::sqrt(la2 * lb2 * lc2);
      w = 0.5 * (std::sqrt(la2) + std::sqrt(lb2));
      if (d > 1e-300) {
        const double cross = ax * by - ay * bx;
        k = 2 * cross / d;
        if (jacobian) {
          // kappa = 2 C / (|a| |b| |c|): d kappa = 2 dC / D - kappa d ln D,
          // by each of the three points, projected on its normal.
          const double s = 2 / d;
          const double dpx = s * -by - k * (-ax / la2 - cx / lc2), dpy = s * bx - k * (-ay / la2 - cy / lc2);
          const double dcx = s * cy - k * (ax / la2 - bx / lb2), dcy = s * -cx - k * (ay / la2 - by / lb2);
          const double dnx = s * -ay - k * (bx / lb2 + cx / lc2), dny = s * ax - k * (by / lb2 + cy / lc2);
          jp = dpx * nx_[p] + dpy * ny_[p];
          jc = dcx * nx_[i] + dcy * ny_[i];
          jn = dnx * nx_[q] + dny * ny_[q];
        }
      }
      sum += w * k * k;
    }
    curvature[i] = k;
    weight_[i] = w;
    if (jacobian) {
      jac_[3 * i] = jp;
      jac_[3 * i + 1] = jc;
      jac_[3 * i + 2] = jn;
    }
  }
  if (!closed) {
    curvature[0] = curvature[1];
    curvature[n_ - 1] = curvature[n_ - 2];
  }
  objective = sum;
  double pull = 0;
  for (size_t i = 0; i < n_; ++i) pull += share_[i] * (a[i] - mid_[i]) * (a[i] - mid_[i]);
  return sum + kCentrePull * pull;
}

bool CRacingLine::Finish() {
  for (size_t i = 0; i < n_; ++i) offset[i] = std::min(std::max(offset[i], lo_[i]), hi_[i]);
  Geometry(offset, false);
  const size_t steps = opt_.closed ? n_ : n_ - 1;
  length = 0;
  for (size_t i = 0; i < n_; ++i) z[i] = st_[i].z + offset[i] * st_[i].nz;
  for (size_t i = 0; i < steps; ++i) {
    const size_t q = (i + 1) % n_;
    const double d = std::sqrt((x[q] - x[i]) * (x[q] - x[i]) + (y[q] - y[i]) * (y[q] - y[i]) +
                               (z[q] - z[i]) * (z[q] - z[i]));
    if (!(d > 1e-9)) {
      char text[160];
      std::snprintf(text, sizeof text, "the line's points at stations %zu and %zu fall together", i, q);
      return Fail(ERlStatus::BadStation, static_cast<int>(i), st_[i].distance, text);
    }
    step_[i] = d;
    length += d;
  }
  lapTime = profile_.Compute(curvature, std::span<const double>(step_.data(), steps), opt_.closed, opt_.car, speed);
  if (!(lapTime > 0)) return Fail(ERlStatus::BadOptions, -1, 0, "no speed profile for this vehicle");
  return true;
}

int CRacingLine::Evaluate(std::span<const _rl_station> stations, const _rl_options& options,
                          std::span<const double> offsets) {
  try {
    return EvaluateOffsets(stations, options, offsets) ? 1 : 0;
  } catch (const std::bad_alloc&) {
    return OutOfMemory(stations.size());
  }
}

int CRacingLine::Optimise(std::span<const _rl_station> stations, const _rl_options& options) {
  try {
    return OptimiseOffsets(stations, options) ? 1 : 0;
  } catch (const std::bad_alloc&) {
    return OutOfMemory(stations.size());
  }
}

int CRacingLine::OutOfMemory(size_t stations) {
  char text[128];
  std::snprintf(text, sizeof text, "not enough memory for the racing line of %zu stations", stations);
  Fail(ERlStatus::OutOfMemory, -1, 0, text);
  return 0;
}

bool CRacingLine::EvaluateOffsets(std::span<const _rl_station> stations, const _rl_options& options,
                                  std::span<const double> offsets) {
  if (!Prepare(stations, options)) return false;
  if (offsets.size() != n_) return Fail(ERlStatus::BadOptions, -1, 0, "one offset per station is needed");
  for (size_t i = 0; i < n_; ++i) {
    if (!Finite(offsets[i])) {
      char text[128];
      std::snprintf(text, sizeof text, "the offset at station %zu is not a finite number", i);
      return Fail(ERlStatus::NonFinite, static_cast<int>(i), stations[i].distance, text);
    }
    offset[i] = offsets[i];
  }
  return Finish();
}

// The programme of the step delta from the current offsets a, without the
// pull: H = J'WJ and f = J'W kappa, and each variable's bounds; the
// diagonal and f are kept as the base the pull is added to.
void CRacingLine::Linearise(bool closed) {
  RlSolverState& qs = *solver_;
  double* h = qs.H.valuePtr();
  std::fill(h, h + qs.H.nonZeros(), 0.0);
  qs.f.setZero();
  for (size_t i = 0; i < n_; ++i) {
    const int* s = &qs.slot[i * 6];
    qs.lo[static_cast<Eigen::Index>(i)] = lo_[i] - offset[i];
    qs.hi[static_cast<Eigen::Index>(i)] = hi_[i] - offset[i];
    if (!closed && (i == 0 || i + 1 == n_)) continue;
    const double w = weight_[i];
    const double jp = jac_[3 * i], jc = jac_[3 * i + 1], jn = jac_[3 * i + 2];
    h[s[0]] += w * jp * jp;
    h[s[1]] += w * jc * jp;
    h[s[2]] += w * jn * jp;
    h[s[3]] += w * jc * jc;
    h[s[4]] += w * jn * jc;
    h[s[5]] += w * jn * jn;
    const double wk = w * curvature[i];
    const size_t p = i > 0 ? i - 1 : n_ - 1, q = i + 1 < n_ ? i + 1 : 0;
    qs.f[static_cast<Eigen::Index>(p)] += wk * jp;
    qs.f[static_cast<Eigen::Index>(i)] += wk * jc;
    qs.f[static_cast<Eigen::Index>(q)] += wk * jn;
  }
  for (size_t i = 0; i < n_; ++i) {
    baseDiag_[i] = h[qs.slot[i * 6 + 3]];
    baseF_[i] = qs.f[static_cast<Eigen::Index>(i)];
  }
}

bool CRacingLine::OptimiseOffsets(std::span<const _rl_station> stations, const _rl_options& options) {
  if (!Prepare(stations, options)) return false;
  RlSolverState& qs = *solver_;
  qs.Build(n_, options.closed);
  qs.qp.settings.tolerance = 1e-8;  // metres
  // Start on the reference line, which is smooth, where the interval
  // allows; its middle may jump where a band widens.
  for (size_t i = 0; i < n_; ++i) offset[i] = std::min(std::max(0.0, lo_[i]), hi_[i]);
  const bool closed = options.closed;
  for (int it = 0; it < options.iterations; ++it) {
    const double before = Geometry(offset, true);
    Linearise(closed);
    double* h = qs.H.valuePtr();
    // The first linearisation starts at the middle of the interval, far
    // from where the bounds will hold the line: it is solved for a strong
    // pull first, which keeps the line near the middle, and then for ever
    // weaker ones, each from the last solution, so that the held bounds
    // grow a few at a time. Later linearisations start at the solution.
    qs.delta.setZero();
    EQpStatus status = EQpStatus::Solved;
    for (double pull = it == 0 ? kFirstPull : kCentrePull;; pull = std::max(pull * kPullStep, kCentrePull)) {
      for (size_t i = 0; i < n_; ++i) {
        h[qs.slot[i * 6 + 3]] = baseDiag_[i] + pull * share_[i];
        qs.f[static_cast<Eigen::Index>(i)] = baseF_[i] + pull * share_[i] * (offset[i] - mid_[i]);
      }
      status = qs.qp.Solve(qs.H, qs.f, qs.lo, qs.hi, qs.delta);
      factorisations += qs.qp.factorisations();
      if (status == EQpStatus::BadInput || status == EQpStatus::NotDefinite || pull == kCentrePull) break;
    }
    if (status == EQpStatus::BadInput || status == EQpStatus::NotDefinite)
      return Fail(ERlStatus::SolverFailed, -1, 0, "the racing line's quadratic programme could not be solved");

    // The linearisation holds near the current line only: take the longest
    // fraction of the step that lowers the true objective.
    bool improved = false;
    double t = 1;
    for (int h2 = 0; h2 <= kMaxStepHalvings && !improved; ++h2, t *= 0.5) {
      for (size_t i = 0; i < n_; ++i)
        trial_[i] = std::min(std::max(offset[i] + t * qs.delta[static_cast<Eigen::Index>(i)], lo_[i]), hi_[i]);
      improved = Geometry(trial_, false) < before;
    }
    if (!improved) break;
    offset.swap(trial_);
  }
  return Finish();
}

}  // namespace lapforge
