// The minimum-curvature racing line of a generated closed circuit with a
// station every metre, at 5 km and at 25 km: three linearisations, each a
// box-constrained quadratic programme, and the speed profile. The time per
// station should stay the same (linear cost). Beside it, in the same run,
// the reference: one sparse LDLT analysis, factorisation and solve of a
// cyclic pentadiagonal matrix of the same size, the building block of each
// solver iteration. Every run starts with cold caches.
// The track-model path beside them: a generated track model (straights and
// arcs of alternating turn, an open road) sampled every metre into stations
// with its drivable strip (SampleTrack) and optimised, timed together.
// Counters: per_station (time per station), factorisations (sparse LDLT
// factorisations of one solve), lap_s (the estimated lap time).
#include <benchmark/benchmark.h>

#include <Eigen/SparseCholesky>
#include <Eigen/SparseCore>
#include <map>
#include <vector>

#include "bench/EvictCaches.h"
#include "tests/support/racingline/ReferenceLines.h"
#include "tests/support/track/TrackBuilders.h"
#include "track/N5Ptf.h"
#include "track/racingline/TrackStations.h"

namespace lapforge {

namespace {

const std::vector<_rl_station>& Circuit(int metres) {
  static std::map<int, std::vector<_rl_station>> circuits;
  auto it = circuits.find(metres);
  if (it == circuits.end()) it = circuits.emplace(metres, GeneratedCircuit(metres, 1.0, 6.0)).first;
  return it->second;
}

void PerStation(benchmark::State& state, size_t stations) {
  state.counters["per_station"] = benchmark::Counter(static_cast<double>(state.iterations() * stations),
                                                     benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["stations"] = static_cast<double>(stations);
}

void BM_RacingLine(benchmark::State& state) {
  const std::vector<_rl_station>& circuit = Circuit(static_cast<int>(state.range(0)));
  _rl_options options;
  int factorisations = 0;
  double lap = 0;
  for (auto _ : state) {
    state.PauseTiming();
    EvictCaches();
    state.ResumeTiming();
    CRacingLine line;
    if (!line.Optimise(circuit, options)) state.SkipWithError(line.error.message.c_str());
    factorisations = line.factorisations;
    lap = line.lapTime;
    benchmark::DoNotOptimize(line.offset.data());
  }
  PerStation(state, circuit.size());
  state.counters["factorisations"] = factorisations;
  state.counters["lap_s"] = lap;
}
BENCHMARK(BM_RacingLine)->Arg(5000)->Arg(25000)->Unit(benchmark::kMillisecond);

void BM_RacingLineOfTrackModel(benchmark::State& state) {
  const double metres = static_cast<double>(state.range(0));
  CN5Ptf track;
  BuildGeneratedTrack(track, static_cast<int>(metres / 125), metres);  // 125 m pieces
  track.GetTrackLength();
  _rl_options options;
  double lap = 0;
  size_t stations = 0;
  for (auto _ : state) {
    state.PauseTiming();
    EvictCaches();
    state.ResumeTiming();
    _rl_track_stations sampled;
    if (Result r = SampleTrack(track, 1.0, sampled); !r) state.SkipWithError(r.message.c_str());
    options.closed = sampled.closed;
    CRacingLine line;
    if (!line.Optimise(sampled.stations, options)) state.SkipWithError(line.error.message.c_str());
    lap = line.lapTime;
    stations = sampled.stations.size();
    benchmark::DoNotOptimize(line.offset.data());
  }
  PerStation(state, stations);
  state.counters["lap_s"] = lap;
}
BENCHMARK(BM_RacingLineOfTrackModel)->Arg(5000)->Arg(25000)->Unit(benchmark::kMillisecond);

void BM_SparseLdltReference(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  // (second difference)' (second difference) + I on a loop: the pattern of
  // the racing line's Hessian.
  std::vector<Eigen::Triplet<double>> entries;
  for (int i = 0; i < n; ++i) {
    entries.emplace_back(i, i, 7.0);
    entries.emplace_back(std::max(i, (i + 1) % n), std::min(i, (i + 1) % n), -4.0);
    entries.emplace_back(std::max(i, (i + 2) % n), std::min(i, (i + 2) % n), 1.0);
  }
  Eigen::SparseMatrix<double> h(n, n);
  h.setFromTriplets(entries.begin(), entries.end());
  Eigen::VectorXd b = Eigen::VectorXd::Ones(n), x(n);
  for (auto _ : state) {
    state.PauseTiming();
    EvictCaches();
    state.ResumeTiming();
    Eigen::SimplicialLDLT<Eigen::SparseMatrix<double>, Eigen::Lower> ldlt(h);
    x = ldlt.solve(b);
    benchmark::DoNotOptimize(x.data());
  }
  PerStation(state, static_cast<size_t>(n));
}
BENCHMARK(BM_SparseLdltReference)->Arg(5000)->Arg(25000)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace lapforge
