#include <gtest/gtest.h>

#include "description/KeyIndex.h"

namespace lapforge {

TEST(KeyIndex, DenseSparseAndMigration) {
  CKeyIndex<int> index;
  index.Get(-5) = 1;                // negative: in the map
  index.Get(int64_t{1} << 40) = 2;  // far away: in the map, no huge array
  index.Get(3000) = 3;              // beyond the array's reach for now
  EXPECT_EQ(index.Count(), 3u);
  for (int k = 0; k < 5000; ++k) index.Get(k) = k + 10;  // the array grows over 3000
  EXPECT_EQ(index.Count(), 5002u);
  ASSERT_NE(index.Find(3000), nullptr);
  EXPECT_EQ(*index.Find(3000), 3010);  // one place per key: the later write won
  EXPECT_EQ(*index.Find(-5), 1);
  EXPECT_EQ(*index.Find(int64_t{1} << 40), 2);
  EXPECT_EQ(index.Find(5000), nullptr);
  index.Erase(3000);
  index.Erase(-5);
  index.Erase(123456789);  // absent: nothing happens
  EXPECT_FALSE(index.Contains(3000));
  EXPECT_FALSE(index.Contains(-5));
  EXPECT_EQ(index.Count(), 5000u);
  index.Clear();
  EXPECT_EQ(index.Count(), 0u);
  EXPECT_FALSE(index.Contains(1));
}

TEST(KeyIndex, SparseKeysInsideTheArrayStayFindable) {
  // Keys 12 apart outrun the array's growth limit while still falling
  // inside the array it already has: each must be found where it was put.
  CKeyIndex<int> index;
  for (int k = 0; k < 5000; ++k) index.Get(12 * k + 1) = k;
  for (int k = 0; k < 5000; ++k) {
    ASSERT_NE(index.Find(12 * k + 1), nullptr) << k;
    EXPECT_EQ(*index.Find(12 * k + 1), k);
  }
  EXPECT_EQ(index.Count(), 5000u);
  EXPECT_EQ(index.Find(2), nullptr);
}

}  // namespace lapforge
