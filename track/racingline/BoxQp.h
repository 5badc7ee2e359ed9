// A small solver for convex quadratic programmes with box constraints,
//   minimise 1/2 x'Hx + f'x  subject to  lo <= x <= hi,
// where H is sparse and positive definite (banded, or banded with a cyclic
// wrap-around, as the racing-line curvature gives it). CBoxQp is a
// projected Newton method (Bertsekas 1982), an active-set method that may
// change many bounds per iteration: the variables held at a bound are
// fixed, the others take the exact Newton step from one sparse LDLT
// factorisation of H restricted to them, and a projected Armijo search
// keeps every iterate inside the box and the objective decreasing. The
// sparsity pattern is analysed once and reused while it stays the same, so
// an iteration costs one numeric factorisation, linear in n for banded H.
//
// First-order methods (ADMM, projected gradient) need iterations in
// proportion to (a root of) the condition number; a curvature Hessian's
// long smooth modes make that number of the order of 1e12. A primal-dual
// active-set method converges in few steps on well-behaved problems but
// cycles on this one: its infeasible iterates swing far out of the box
// whenever the guessed set misses a contact.
#pragma once

#include <Eigen/SparseCholesky>
#include <Eigen/SparseCore>

namespace lapforge {

enum class EQpStatus {
  Solved,        // the step to the solution is within the tolerance or the rounding
  Stalled,       // no step decreased the objective any more: x is as good as the arithmetic allows
  IterationCap,  // maxIterations reached; x is feasible and better than the start
  BadInput,      // sizes differ, a value is not finite, lo > hi somewhere, or a diagonal entry is missing
  NotDefinite,   // H is not positive (semi)definite on the free variables
};

struct _qp_settings {
  int maxIterations = 200;
  // Convergence: no variable would move further than this (in the units of
  // x) in the next Newton step, or the objective's slope along that step is
  // within the rounding of the gradient.
  double tolerance = 1e-9;
  // The widest band next to a bound within which a variable pushed against
  // the bound is held there.
  double activeBand = 1e-3;
  double armijo = 1e-4;  // sufficient-decrease fraction of the projected search
  int maxHalvings = 40;
};

class CBoxQp {
 public:
  using SparseMatrix = Eigen::SparseMatrix<double, Eigen::ColMajor, int>;

  // Solves the programme. H holds the lower triangle in compressed form,
  // with every diagonal entry stored (zero when need be); entries above the
  // diagonal are ignored. Bounds may be infinite. x is the start on entry
  // (moved into the box first) and the solution on return; on BadInput it
  // is left as it was. A semidefinite H works where the bounds make the
  // minimum unique.
  EQpStatus Solve(const SparseMatrix& H, const Eigen::VectorXd& f, const Eigen::VectorXd& lo,
                  const Eigen::VectorXd& hi, Eigen::VectorXd& x);

  _qp_settings settings;

  EQpStatus status() const { return status_; }
  int iterations() const { return iterations_; }
  int factorisations() const { return factorisations_; }
  // The largest coordinate of the diagonally scaled projected gradient
  // step x - P(x - g/diag(H)) at the last iterate.
  double optimality() const { return optimality_; }

 private:
  // Validates the input and takes the diagonal.
  bool Check(const SparseMatrix& H, const Eigen::VectorXd& f, const Eigen::VectorXd& lo, const Eigen::VectorXd& hi,
             const Eigen::VectorXd& x);
  // Whether the pattern of H differs from the one analysed last.
  bool PatternChanged(const SparseMatrix& H) const;
  // H with the rows and columns of the held variables made the identity's.
  void FillReduced(const SparseMatrix& H);
  // Factorises the reduced matrix for the current held set; false when it
  // is not positive definite even after a small shift.
  bool Factorise(const SparseMatrix& H);
  // Objective change q(x + s) - q(x) for the gradient g at x, as
  // s'g + s'Hs/2.
  double Change(const SparseMatrix& H, const Eigen::VectorXd& g, const Eigen::VectorXd& s);
  // Steps of Solve: the convergence test of a step, and the line search
  // along it.
  bool Converged(const Eigen::VectorXd& f, const Eigen::VectorXd& lo, const Eigen::VectorXd& hi,
                 const Eigen::VectorXd& x);
  bool Search(const SparseMatrix& H, const Eigen::VectorXd& lo, const Eigen::VectorXd& hi, const Eigen::VectorXd& x);

  Eigen::SimplicialLDLT<SparseMatrix, Eigen::Lower> ldlt_;
  SparseMatrix reduced_;
  bool analysed_ = false;
  double maxDiag_ = 1;
  Eigen::VectorXd diag_, rowAbs_, g_, d_, trial_, step_, hs_;
  Eigen::Matrix<char, Eigen::Dynamic, 1> fixed_;  // 1 where the variable is held at a bound
  EQpStatus status_ = EQpStatus::BadInput;
  int iterations_ = 0;
  int factorisations_ = 0;
  double optimality_ = 0;
};

}  // namespace lapforge
