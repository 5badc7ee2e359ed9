// The box-constrained QP solver on its own: small programmes solved by
// hand, and random ones against projected gradient run to high precision.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include <Eigen/Eigenvalues>

#include "track/racingline/BoxQp.h"

namespace lapforge {

namespace {

using Sparse = CBoxQp::SparseMatrix;
constexpr double kInf = std::numeric_limits<double>::infinity();

// The lower triangle of a dense matrix, every diagonal entry stored.
Sparse Lower(const Eigen::MatrixXd& h) {
  std::vector<Eigen::Triplet<double>> t;
  for (int j = 0; j < h.cols(); ++j)
    for (int i = j; i < h.rows(); ++i)
      if (i == j || h(i, j) != 0) t.emplace_back(i, j, h(i, j));
  Sparse s(h.rows(), h.cols());
  s.setFromTriplets(t.begin(), t.end());
  s.makeCompressed();
  return s;
}

Eigen::VectorXd Vec(std::initializer_list<double> v) {
  Eigen::VectorXd r(static_cast<Eigen::Index>(v.size()));
  Eigen::Index i = 0;
  for (double x : v) r[i++] = x;
  return r;
}

struct HandCase {
  const char* name;
  Eigen::MatrixXd h;
  Eigen::VectorXd f, lo, hi, expected;
};

Eigen::MatrixXd M2(double a, double b, double c) { return (Eigen::MatrixXd(2, 2) << a, b, b, c).finished(); }
Eigen::MatrixXd M1(double a) { return Eigen::MatrixXd::Constant(1, 1, a); }

class BoxQpHand : public testing::TestWithParam<HandCase> {};

TEST_P(BoxQpHand, FindsTheMinimumWorkedOutByHand) {
  const HandCase& c = GetParam();
  CBoxQp qp;
  Eigen::VectorXd x = Eigen::VectorXd::Zero(c.f.size());
  EXPECT_EQ(qp.Solve(Lower(c.h), c.f, c.lo, c.hi, x), EQpStatus::Solved) << c.name;
  for (Eigen::Index i = 0; i < x.size(); ++i) EXPECT_NEAR(x[i], c.expected[i], 1e-9) << c.name << " x" << i;
}

// min 1/2 x'Hx + f'x: unconstrained minimum -H^-1 f, then the bounds.
INSTANTIATE_TEST_SUITE_P(
    Cases, BoxQpHand,
    testing::Values(
        // 1-D: -f/h = 1 inside; -2 below -1; 10 above 3; 0.5 with no bounds.
        HandCase{"inside", M1(2), Vec({-2}), Vec({-5}), Vec({5}), Vec({1})},
        HandCase{"lower", M1(2), Vec({4}), Vec({-1}), Vec({5}), Vec({-1})},
        HandCase{"upper", M1(1), Vec({-10}), Vec({0}), Vec({3}), Vec({3})},
        HandCase{"unbounded", M1(4), Vec({-2}), Vec({-kInf}), Vec({kInf}), Vec({0.5})},
        // H = 0: the gradient 3 drives x to its lower bound.
        HandCase{"flat", M1(0), Vec({3}), Vec({-2}), Vec({7}), Vec({-2})},
        // H = [2 1; 1 2], f = (-1, -1): unconstrained (1/3, 1/3); x1 held at
        // 0.2: 2 x2 + 0.2 - 1 = 0, x2 = 0.4; g1 = 0.4 + 0.4 - 1 < 0.
        HandCase{"oneUpper", M2(2, 1, 2), Vec({-1, -1}), Vec({0, 0}), Vec({0.2, 1}), Vec({0.2, 0.4})},
        // Unconstrained (10/3, 10/3); at (1, 1) both gradients are -7.
        HandCase{"corner", M2(2, 1, 2), Vec({-10, -10}), Vec({0, 0}), Vec({1, 1}), Vec({1, 1})},
        // Unconstrained (-4/3, 5/3); x1 held at 0: 2 x2 - 2 = 0, x2 = 1
        // (not 5/3); g1 = 0 + 1 + 1 > 0.
        HandCase{"coupled", M2(2, 1, 2), Vec({1, -2}), Vec({0, -5}), Vec({5, 5}), Vec({0, 1})},
        // Singular H = [1 1; 1 1], f = (-1, 1): g2 = x1 + x2 + 1 > 0 holds
        // x2 at 0, then x1 - 1 = 0.
        HandCase{"singular", M2(1, 1, 1), Vec({-1, 1}), Vec({0, 0}), Vec({1, 1}), Vec({1, 0})}),
    [](const testing::TestParamInfo<HandCase>& i) { return std::string(i.param.name); });

// Projected gradient with step 1/L (L = the largest eigenvalue) converges
// linearly for a positive definite H; 20000 steps reach rounding level for
// the condition numbers drawn here (below about 100).
Eigen::VectorXd ProjectedGradient(const Eigen::MatrixXd& h, const Eigen::VectorXd& f, const Eigen::VectorXd& lo,
                                  const Eigen::VectorXd& hi) {
  const double step = 1 / Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd>(h).eigenvalues().maxCoeff();
  Eigen::VectorXd x = Eigen::VectorXd::Zero(f.size());
  for (int k = 0; k < 20000; ++k) x = (x - step * (h * x + f)).cwiseMax(lo).cwiseMin(hi);
  return x;
}

class BoxQpRandom : public testing::TestWithParam<int> {};

TEST_P(BoxQpRandom, AgreesWithProjectedGradient) {
  std::mt19937 rng(static_cast<unsigned>(GetParam()));
  std::uniform_real_distribution<double> u(-1, 1);
  CBoxQp qp;  // one solver for both problems: the second reuses the pattern
  for (int band : {1, 7}) {
    const int n = 3 + GetParam() % 6;
    // A banded positive definite matrix: B'B + I/2 with B of the given
    // bandwidth, so that active bounds and free variables mix.
    Eigen::MatrixXd b = Eigen::MatrixXd::Zero(n, n);
    for (int i = 0; i < n; ++i)
      for (int j = i; j < std::min(n, i + band + 1); ++j) b(i, j) = u(rng);
    const Eigen::MatrixXd h = b.transpose() * b + 0.5 * Eigen::MatrixXd::Identity(n, n);
    Eigen::VectorXd f(n), lo(n), hi(n);
    for (int i = 0; i < n; ++i) {
      f[i] = 3 * u(rng);
      lo[i] = -0.5 + 0.4 * u(rng);
      hi[i] = lo[i] + 0.1 + std::abs(u(rng));
    }
    Eigen::VectorXd x = Eigen::VectorXd::Constant(n, 0.25);
    ASSERT_EQ(qp.Solve(Lower(h), f, lo, hi, x), EQpStatus::Solved);
    const Eigen::VectorXd ref = ProjectedGradient(h, f, lo, hi);
    for (int i = 0; i < n; ++i) {
      EXPECT_GE(x[i], lo[i]);
      EXPECT_LE(x[i], hi[i]);
      EXPECT_NEAR(x[i], ref[i], 1e-7) << "band " << band << " x" << i;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, BoxQpRandom, testing::Range(1, 25));

TEST(BoxQp, RefusesBadInputAndLeavesTheStart) {
  const Sparse h = Lower(M2(2, 1, 2));
  Sparse noDiagonal(2, 2);
  noDiagonal.insert(1, 0) = 1;
  noDiagonal.insert(0, 0) = 1;
  noDiagonal.makeCompressed();
  const Eigen::VectorXd f = Vec({1, 1}), lo = Vec({0, 0}), hi = Vec({1, 1});
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Bad {
    const Sparse* h;
    Eigen::VectorXd f, lo, hi;
  } cases[] = {
      {&h, f, Vec({0, 2}), hi},  // lo > hi
      {&h, Vec({1, nan}), lo, hi},
      {&h, f, Vec({nan, 0}), hi},
      {&h, Vec({1}), Vec({0}), Vec({1})},  // sizes differ
      {&noDiagonal, f, lo, hi},
      {&h, f, Vec({kInf, 0}), Vec({kInf, 1})},
  };
  for (const Bad& c : cases) {
    CBoxQp qp;
    Eigen::VectorXd x = Vec({5, -5});
    EXPECT_EQ(qp.Solve(*c.h, c.f, c.lo, c.hi, x), EQpStatus::BadInput);
    EXPECT_EQ(x, Vec({5, -5}));
  }
}

}  // namespace

}  // namespace lapforge
