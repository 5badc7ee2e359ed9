#include "track/racingline/BoxQp.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace lapforge {

namespace {

double Clamp(double v, double lo, double hi) { return std::min(std::max(v, lo), hi); }

constexpr double kEpsilon = 2.220446049250313e-16;

}  // namespace

bool CBoxQp::PatternChanged(const SparseMatrix& H) const {
  if (!analysed_ || reduced_.rows() != H.rows() || reduced_.nonZeros() != H.nonZeros()) return true;
  const size_t outer = static_cast<size_t>(H.outerSize() + 1) * sizeof(int);
  const size_t inner = static_cast<size_t>(H.nonZeros()) * sizeof(int);
  return std::memcmp(reduced_.outerIndexPtr(), H.outerIndexPtr(), outer) != 0 ||
         std::memcmp(reduced_.innerIndexPtr(), H.innerIndexPtr(), inner) != 0;
}

void CBoxQp::FillReduced(const SparseMatrix& H) {
  const int* outer = H.outerIndexPtr();
  const int* inner = H.innerIndexPtr();
  const double* value = H.valuePtr();
  double* out = reduced_.valuePtr();
  for (int j = 0; j < H.outerSize(); ++j) {
    for (int p = outer[j]; p < outer[j + 1]; ++p) {
      const int i = inner[p];
      out[p] = fixed_[i] || fixed_[j] ? (i == j ? 1.0 : 0.0) : value[p];
    }
  }
}

bool CBoxQp::Factorise(const SparseMatrix& H) {
  FillReduced(H);
  if (!analysed_) {
    ldlt_.analyzePattern(reduced_);
    analysed_ = true;
  }
  ldlt_.setShift(0);
  ldlt_.factorize(reduced_);
  ++factorisations_;
  if (ldlt_.info() == Eigen::Success) return true;
  // Only semidefinite on the free variables: a small shift still gives a
  // descent direction.
  ldlt_.setShift(1e-10 * maxDiag_);
  ldlt_.factorize(reduced_);
  ++factorisations_;
  return ldlt_.info() == Eigen::Success;
}

double CBoxQp::Change(const SparseMatrix& H, const Eigen::VectorXd& g, const Eigen::VectorXd& s) {
  hs_.noalias() = H.selfadjointView<Eigen::Lower>() * s;
  return g.dot(s) + 0.5 * s.dot(hs_);
}

bool CBoxQp::Check(const SparseMatrix& H, const Eigen::VectorXd& f, const Eigen::VectorXd& lo,
                   const Eigen::VectorXd& hi, const Eigen::VectorXd& x) {
  const Eigen::Index n = H.rows();
  if (n < 1 || H.cols() != n || f.size() != n || lo.size() != n || hi.size() != n || x.size() != n ||
      !H.isCompressed())
    return false;
  // Bounds may be infinite (a free variable); nothing else may.
  for (Eigen::Index i = 0; i < n; ++i) {
    if (!std::isfinite(f[i]) || !std::isfinite(x[i]) || std::isnan(lo[i]) || std::isnan(hi[i]) || lo[i] > hi[i] ||
        lo[i] == HUGE_VAL || hi[i] == -HUGE_VAL)
      return false;
  }
  // The diagonal scales the gradient of the held variables, and every
  // column must store it so that a held variable's row can become the
  // identity's.
  diag_.resize(n);
  maxDiag_ = 0;
  for (int j = 0; j < n; ++j) {
    bool found = false;
    for (int p = H.outerIndexPtr()[j]; p < H.outerIndexPtr()[j + 1]; ++p) {
      const double v = H.valuePtr()[p];
      if (!std::isfinite(v)) return false;
      if (H.innerIndexPtr()[p] == j) {
        found = true;
        diag_[j] = v;
      }
    }
    if (!found || diag_[j] < 0) return false;
    maxDiag_ = std::max(maxDiag_, diag_[j]);
  }
  if (maxDiag_ == 0) maxDiag_ = 1;
  // Row sums of |H| (both triangles), for the rounding error of H x.
  rowAbs_.setZero(n);
  for (int j = 0; j < n; ++j) {
    for (int p = H.outerIndexPtr()[j]; p < H.outerIndexPtr()[j + 1]; ++p) {
      const int i = H.innerIndexPtr()[p];
      if (i < j) continue;
      const double v = std::abs(H.valuePtr()[p]);
      rowAbs_[i] += v;
      if (i != j) rowAbs_[j] += v;
    }
  }
  for (Eigen::Index i = 0; i < n; ++i)
    if (diag_[i] == 0) diag_[i] = maxDiag_;
  return true;
}

// Sets the held variables' step to their scaled gradient step; then
// converged when the whole step, the Newton step of the free variables
// and the scaled gradient step of the held ones, is within the tolerance
// (the gradient alone cannot tell: a long smooth bend may be far from its
// optimum with a tiny gradient), or when the slope along the step is lost
// in the rounding of the gradient, as happens in the nearly singular
// directions of H: no further step could be trusted.
bool CBoxQp::Converged(const Eigen::VectorXd& f, const Eigen::VectorXd& lo, const Eigen::VectorXd& hi,
                       const Eigen::VectorXd& x) {
  double largest = 0, slope = 0, noise = 0;
  for (Eigen::Index i = 0; i < x.size(); ++i) {
    if (fixed_[i]) d_[i] = -g_[i] / diag_[i];
    const double s = Clamp(x[i] + d_[i], lo[i], hi[i]) - x[i];
    largest = std::max(largest, std::abs(s));
    slope += g_[i] * s;
    noise += std::abs(s) * (rowAbs_[i] * std::abs(x[i]) + std::abs(f[i]));
  }
  return largest <= settings.tolerance || -slope <= 64 * kEpsilon * noise;
}

// Projected Armijo search along x(t) = P(x + t d), leaving the point it
// accepts in trial_. The change of the objective is computed from the step
// itself, so that the tiny decreases near the solution are not lost to
// rounding. False when no step is accepted.
bool CBoxQp::Search(const SparseMatrix& H, const Eigen::VectorXd& lo, const Eigen::VectorXd& hi,
                    const Eigen::VectorXd& x) {
  bool accepted = false;
  double t = 1;
  for (int h = 0; h <= settings.maxHalvings && !accepted; ++h, t *= 0.5) {
    for (Eigen::Index i = 0; i < x.size(); ++i) {
      trial_[i] = Clamp(x[i] + t * d_[i], lo[i], hi[i]);
      step_[i] = trial_[i] - x[i];
    }
    const double along = g_.dot(step_);
    if (along < 0) accepted = Change(H, g_, step_) <= settings.armijo * along;
  }
  return accepted;
}

EQpStatus CBoxQp::Solve(const SparseMatrix& H, const Eigen::VectorXd& f, const Eigen::VectorXd& lo,
                        const Eigen::VectorXd& hi, Eigen::VectorXd& x) {
  iterations_ = 0;
  factorisations_ = 0;
  optimality_ = 0;
  if (!Check(H, f, lo, hi, x)) return status_ = EQpStatus::BadInput;
  const Eigen::Index n = H.rows();
  if (PatternChanged(H)) {
    reduced_ = H;
    analysed_ = false;
  }
  fixed_.resize(n);
  g_.resize(n);
  d_.resize(n);
  trial_.resize(n);
  step_.resize(n);
  hs_.resize(n);

  for (Eigen::Index i = 0; i < n; ++i) x[i] = Clamp(x[i], lo[i], hi[i]);
  for (;; ++iterations_) {
    g_.noalias() = H.selfadjointView<Eigen::Lower>() * x;
    g_ += f;
    double opt = 0;
    for (Eigen::Index i = 0; i < n; ++i)
      opt = std::max(opt, std::abs(x[i] - Clamp(x[i] - g_[i] / diag_[i], lo[i], hi[i])));
    optimality_ = opt;
    // A variable at, or within eps of, a bound that the gradient pushes it
    // against is held; eps shrinks with the scaled projected gradient, so
    // that near the solution only the truly active bounds are held.
    const double eps = std::min(opt, settings.activeBand);
    for (Eigen::Index i = 0; i < n; ++i)
      fixed_[i] = (x[i] <= lo[i] + eps && g_[i] > 0) || (x[i] >= hi[i] - eps && g_[i] < 0);
    if (!Factorise(H)) return status_ = EQpStatus::NotDefinite;
    for (Eigen::Index i = 0; i < n; ++i) d_[i] = fixed_[i] ? 0.0 : -g_[i];
    d_ = ldlt_.solve(d_);
    if (Converged(f, lo, hi, x)) return status_ = EQpStatus::Solved;
    if (!Search(H, lo, hi, x)) return status_ = EQpStatus::Stalled;
    x.swap(trial_);
  }
}

}  // namespace lapforge
