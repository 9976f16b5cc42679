#include "app/random.h"

#include <gtest/gtest.h>

TEST(Random, FirstDrawsFromStartState) {
  EXPECT_EQ(sm::rand(), 41);
  EXPECT_EQ(sm::rand(), 18467);
  EXPECT_EQ(sm::rand(), 6334);
  EXPECT_EQ(sm::rand(), 26500);
  EXPECT_EQ(sm::rand(), 19169);
}
