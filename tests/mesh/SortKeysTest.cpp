// The cell order that welding and shading sort by.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "mesh/GlSortKeys.h"

namespace lapforge {

TEST(GlSortKeys, CellsAreMonotoneAndClamped) {
  EXPECT_EQ(glsort::Cell32(0.0f, 1e-4), 0);
  EXPECT_EQ(glsort::Cell32(0.00003f, 1e-4), 0);
  EXPECT_EQ(glsort::Cell32(-0.00003f, 1e-4), 0);
  EXPECT_EQ(glsort::Cell32(1.0f, 1e-4), 10000);
  EXPECT_EQ(glsort::Cell32(-1.0f, 1e-4), -10000);
  EXPECT_EQ(glsort::Cell32(1e30f, 1e-4), INT32_MAX);
  EXPECT_EQ(glsort::Cell32(-1e30f, 1e-4), INT32_MIN);
  EXPECT_EQ(glsort::Cell32(NAN, 1e-4), INT32_MIN);
}

TEST(GlSortKeys, BucketAndSmallSortsGiveTheSameStrictOrder) {
  // Mixed ranges; then x all equal (y leads); then every cell equal.
  for (int shape = 0; shape < 3; ++shape) {
    for (size_t n : {size_t{100}, size_t{20000}}) {
      std::mt19937 rng(7);
      std::uniform_int_distribution<int32_t> small(-3, 3);
      std::uniform_int_distribution<int32_t> wide(INT32_MIN, INT32_MAX);
      std::vector<glsort::QPoint> records(n);
      for (size_t i = 0; i < n; ++i) {
        // Many ties in every coordinate, and cells across the whole range.
        const bool w = i % 5 == 0;
        records[i] = {w ? wide(rng) : small(rng), small(rng), w ? wide(rng) : small(rng), static_cast<int32_t>(i)};
        if (shape >= 1) records[i].kx = 5;
        if (shape == 2) records[i].ky = records[i].kz = -5;
      }
      for (bool descending : {false, true}) {
        std::vector<glsort::QPoint> expected = records, got = records;
        std::sort(expected.begin(), expected.end(), [descending](const glsort::QPoint& a, const glsort::QPoint& b) {
          if (a.kx != b.kx) return descending ? a.kx > b.kx : a.kx < b.kx;
          if (a.ky != b.ky) return descending ? a.ky > b.ky : a.ky < b.ky;
          if (a.kz != b.kz) return descending ? a.kz > b.kz : a.kz < b.kz;
          return a.index < b.index;
        });
        glsort::SortByCells(got, descending);
        ASSERT_EQ(got.size(), expected.size());
        for (size_t i = 0; i < n; ++i) {
          ASSERT_EQ(got[i].index, expected[i].index) << shape << " " << n << " " << descending << " " << i;
        }
      }
    }
  }
}

TEST(GlSortKeys, RecordsFilledFromPositionsComeInTheSortedOrder) {
  // Positions with ties, far values, infinities and NaN; then x all equal
  // (y leads, big buckets); then all NaN in x and every other cell equal.
  for (int shape = 0; shape < 3; ++shape) {
    for (size_t n : {size_t{100}, size_t{30000}}) {
      std::mt19937 rng(11);
      std::uniform_int_distribution<int> small(-3, 3);
      std::uniform_real_distribution<float> wide(-3e5f, 3e5f);
      std::vector<float> xyz(3 * n);
      for (size_t i = 0; i < n; ++i) {
        float* p = &xyz[3 * i];
        for (int a = 0; a < 3; ++a) p[a] = static_cast<float>(small(rng)) * 1.3e-4f;
        if (i % 7 == 0) p[0] = wide(rng);
        if (i % 11 == 0) p[2] = wide(rng);
        if (i % 101 == 0) p[i % 3] = NAN;
        if (i % 103 == 0) p[1] = (i % 2 ? 1.0f : -1.0f) * INFINITY;
        if (shape >= 1) p[0] = 2.5f;
        if (shape == 2) p[0] = NAN, p[1] = p[2] = -1.0f;
      }
      auto make = [](size_t i, float x, float y, float z) {
        return glsort::MakeQPoint(x, y, z, static_cast<int32_t>(i), 1e-4);
      };
      for (bool descending : {false, true}) {
        std::vector<glsort::QPoint> expected(n), got(n);
        for (size_t i = 0; i < n; ++i) expected[i] = make(i, xyz[3 * i], xyz[3 * i + 1], xyz[3 * i + 2]);
        std::sort(expected.begin(), expected.end(), glsort::CellsBefore<glsort::QPoint>{descending});
        glsort::FillSortedByCells(got.data(), xyz.data(), n, 1e-4, descending, make);
        for (size_t i = 0; i < n; ++i) {
          ASSERT_EQ(got[i].index, expected[i].index) << shape << " " << n << " " << descending << " " << i;
          ASSERT_EQ(got[i].kx, expected[i].kx);
        }
      }
    }
  }
}

}  // namespace lapforge
