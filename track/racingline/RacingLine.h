// The minimum-curvature racing line of a track, from pure geometry: a
// reference line sampled at stations, each with a unit normal pointing left
// and the lateral interval a car may use there. The line is the reference
// moved along the normals by one lateral offset per station; CRacingLine
// chooses the offsets that minimise the summed squared curvature,
// sum kappa_i^2 ds_i, inside the interval less a margin at every station,
// and then the speed a car can carry along it and its lap time.
//
// The formulation follows the minimum-curvature planner of Heilmeier et al.
// (Vehicle System Dynamics, 2019) with discrete geometry in place of their
// splines: kappa_i is the signed curvature of the circle through the line's
// points i-1, i, i+1 (the Menger curvature), which depends on three offsets.
// Linearised around the current line it makes the objective a quadratic
// whose Hessian is pentadiagonal (with a cyclic wrap-around for a closed
// line), solved under the box constraints by CBoxQp; the line is then
// re-linearised around the new solution (Gauss-Newton with a step search on
// the true objective), three times by default, starting from the reference
// line. Linearising the whole curvature, rather than only the second
// difference with the reference's spacing as the spline formulation does,
// matters: with a fixed spacing a line moved inwards on a circle would look
// straighter although it turns tighter, and the optimum would hug the
// inside.
//
// A very small pull towards the middle of the allowed interval makes the
// solution unique where the curvature does not decide it (on a straight
// any straight line is as good); it bows a line held on the edge of a
// straight by about a centimetre over a kilometre. The first linearisation
// is solved for a sequence of pulls from strong to this weak one, so that
// the bounds the line comes to rest on are found a few at a time.
#pragma once

#include <cmath>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "track/racingline/SpeedProfile.h"

namespace lapforge {

struct RlSolverState;

// One station of the reference line. The normal is the lateral direction in
// plan (normalised on input); an offset a moves the point by a * (nx, ny)
// in plan and a * nz in height (nz: height change per metre of offset, the
// bank). distance is the station's distance along the reference line; it
// must increase and is used only to say where a fault is.
struct _rl_station {
  double x = 0, y = 0, z = 0;
  double nx = 0, ny = 1, nz = 0;
  double distance = 0;
  double lo = 0, hi = 0;  // the allowed offsets, before the margin: right edge, left edge
};

// The normal pointing left of a heading (radians from +X towards +Y).
inline void SetHeading(_rl_station& s, double heading) {
  s.nx = -std::sin(heading);
  s.ny = std::cos(heading);
}

struct _rl_options {
  bool closed = true;      // the last station joins the first
  double margin = 1.0;     // metres kept from each bound: half a car's width and a safety distance
  int iterations = 3;      // linearisations of the curvature; 0 keeps the reference line
  _rl_vehicle car;         // for the speed profile
};

enum class ERlStatus {
  Ok,
  TooFewStations,  // fewer than 3 stations
  NonFinite,       // a coordinate, normal, distance or bound is not a finite number
  BadStation,      // a zero normal, a distance not above the previous one, or a station on top of the previous
  NoRoom,          // the interval is narrower than twice the margin (or lo > hi)
  BadOptions,      // a margin, iteration count or vehicle value out of range
  SolverFailed,    // the quadratic programme could not be solved
  OutOfMemory,     // too many stations for the memory there is
};

// Why a computation failed, and where: station is the first station at
// fault (-1 when none applies) and distance its distance along the line.
struct _rl_error {
  ERlStatus status = ERlStatus::Ok;
  int station = -1;
  double distance = 0;
  std::string message;
};

class CRacingLine {
 public:
  CRacingLine();
  ~CRacingLine();
  CRacingLine(const CRacingLine&) = delete;
  CRacingLine& operator=(const CRacingLine&) = delete;

  // Computes the minimum-curvature line and its speed profile. 1 on success
  // with the results below filled; 0 with error saying what and where, and
  // the results empty.
  int Optimise(std::span<const _rl_station> stations, const _rl_options& options);
  // The results for given offsets instead of optimised ones (a centre line,
  // a line read from a file): the same checks, the offsets clamped into the
  // interval less the margin. 0 also when offsets has the wrong size.
  int Evaluate(std::span<const _rl_station> stations, const _rl_options& options, std::span<const double> offsets);

  // ---- results, one entry per station ----
  std::vector<double> offset;     // lateral offset from the reference, left positive
  std::vector<double> x, y, z;    // the line's points
  std::vector<double> curvature;  // signed, 1/m, positive turning left (open ends: the neighbour's)
  std::vector<double> speed;      // m/s
  double lapTime = 0;             // s: the whole line (the lap, when closed)
  double length = 0;              // m: the line's length (the lap, when closed)
  double objective = 0;           // sum of kappa^2 ds over the stations with a curvature
  int factorisations = 0;         // sparse factorisations of the solver, over all linearisations

  _rl_error error;

 private:
  // Checks the stations and options; fills lo_, hi_ (margin applied) and
  // the unit normals.
  bool Prepare(std::span<const _rl_station> stations, const _rl_options& options);
  bool PrepareStation(size_t i);
  void Linearise(bool closed);
  bool Fail(ERlStatus status, int station, double distance, std::string message);
  int OutOfMemory(size_t stations);
  bool OptimiseOffsets(std::span<const _rl_station> stations, const _rl_options& options);
  bool EvaluateOffsets(std::span<const _rl_station> stations, const _rl_options& options,
                       std::span<const double> offsets);
  // Points, curvature and weights of the line with offsets a; when jacobian
  // is set also the curvature's derivatives by the three offsets. Returns
  // the objective with the pull towards the middle.
  double Geometry(const std::vector<double>& a, bool jacobian);
  // Points, curvature, speed and lap time of the line in offset.
  bool Finish();
  void Clear();

  std::span<const _rl_station> st_;
  _rl_options opt_;
  size_t n_ = 0;
  std::vector<double> nx_, ny_, lo_, hi_, mid_, share_;
  std::vector<double> weight_, jac_, step_, trial_, baseDiag_, baseF_;
  std::unique_ptr<RlSolverState> solver_;
  CSpeedProfile profile_;
};

}  // namespace lapforge
