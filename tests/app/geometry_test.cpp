#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "app/random.h"
#include "app/sound_param.h"
#include "app/vector3.h"

TEST(Vector3, ArithmeticLeavesInputsAndFollowsComponents) {
  const Vector3 a{1.0f, 2.0f, 3.0f};
  const Vector3 b{-4.0f, 0.5f, 2.0f};
  EXPECT_EQ(Add(a, b), (Vector3{-3.0f, 2.5f, 5.0f}));
  EXPECT_EQ(Subtract(a, b), (Vector3{5.0f, 1.5f, 1.0f}));
  EXPECT_EQ(Scale(a, -2.0f), (Vector3{-2.0f, -4.0f, -6.0f}));
  EXPECT_FLOAT_EQ(Dot(a, b), -4.0f + 1.0f + 6.0f);
  EXPECT_FLOAT_EQ(Length(Vector3{3.0f, 4.0f, 12.0f}), 13.0f);
  EXPECT_EQ(a, (Vector3{1.0f, 2.0f, 3.0f}));
}

TEST(Vector3, CrossFollowsRightHandRule) {
  EXPECT_EQ(Cross({1, 0, 0}, {0, 1, 0}), (Vector3{0, 0, 1}));
  EXPECT_EQ(Cross({0, 1, 0}, {1, 0, 0}), (Vector3{0, 0, -1}));
  const Vector3 c = Cross({1.0f, 2.0f, 3.0f}, {-4.0f, 0.5f, 2.0f});
  EXPECT_EQ(c, (Vector3{2.0f * 2.0f - 3.0f * 0.5f, 3.0f * -4.0f - 1.0f * 2.0f, 1.0f * 0.5f - 2.0f * -4.0f}));
}

TEST(Vector3, NormalizeGivesUnitLengthAndKeepsZero) {
  const Vector3 n = Normalize({0.0f, -3.0f, 4.0f});
  EXPECT_FLOAT_EQ(n.y, -0.6f);
  EXPECT_FLOAT_EQ(n.z, 0.8f);
  EXPECT_FLOAT_EQ(Length(n), 1.0f);
  // A position on the spin axis has no eastward direction.
  const Vector3 zero = Normalize(Cross({0, 0, 1}, {0, 0, 2939.6f}));
  EXPECT_EQ(zero, (Vector3{}));
  EXPECT_FALSE(std::isnan(zero.x));
}

TEST(Random, FirstDrawsFromStartStateThenStayInRange) {
  // This binary draws nowhere else, so the sequence starts at the fixed state.
  EXPECT_EQ(sm::rand(), 41);
  EXPECT_EQ(sm::rand(), 18467);
  EXPECT_EQ(sm::rand(), 6334);
  EXPECT_EQ(sm::rand(), 26500);
  EXPECT_EQ(sm::rand(), 19169);
  for (int i = 0; i < 10000; ++i) {
    const int draw = sm::rand();
    ASSERT_GE(draw, 0);
    ASSERT_LE(draw, 32767);
  }
}

TEST(SoundParam, TruncatesTowardZero) {
  EXPECT_EQ(TruncateToInt(-1500.7f), -1500);
  EXPECT_EQ(TruncateToInt(257.0f), 257);
  EXPECT_EQ(TruncateToInt(3.9f), 3);
  EXPECT_EQ(TruncateToInt(-0.0f), 0);
  EXPECT_EQ(TruncateToInt16(-1500.7f), -1500);
  EXPECT_EQ(TruncateToInt16(3.9f), 3);
  EXPECT_EQ(TruncateToByte(257.0f), 1);
  EXPECT_EQ(TruncateToByte(3.9f), 3);
  EXPECT_EQ(TruncateToByte(-1500.7f), static_cast<std::uint8_t>(-1500 & 0xFF));
}

TEST(SoundParam, SixteenBitKeepsLowBitsAsSigned) {
  EXPECT_EQ(TruncateToInt16(40000.0f), static_cast<std::int16_t>(40000 - 65536));
  EXPECT_EQ(TruncateToInt16(65536.0f + 5.0f), 5);
}

TEST(SoundParam, UnrepresentableValuesGiveIntegerIndefinite) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (float value : {1e30f, -1e30f, nan, inf, -inf, 2147483648.0f}) {
    SCOPED_TRACE(value);
    EXPECT_EQ(TruncateToInt(value), INT32_MIN);
    EXPECT_EQ(TruncateToInt16(value), 0);
    EXPECT_EQ(TruncateToByte(value), 0);
  }
  EXPECT_EQ(TruncateToInt(-2147483648.0f), INT32_MIN);
  EXPECT_EQ(TruncateToInt(2147483520.0f), 2147483520);  // largest float below 2^31
}
