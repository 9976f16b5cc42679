// The three ways the Console Client's float fields are read: as a whole number, as an
// exact kind code, and as a numeric zero test. Pure; any thread.
#pragma once

#include <bit>
#include <cstdint>

#include "app/sound_param.h"

// Truncated toward zero.
inline std::int32_t WholeNumber(float value) { return TruncateToInt(value); }
// The low 16 bits of the whole number, read as signed.
inline std::int16_t WholeNumber16(float value) { return TruncateToInt16(value); }

// The 32 bits against the pattern of `code`: 1.0000001 is not 1.0, nor -0.0 0.0.
inline bool IsExactly(float value, float code) {
  return std::bit_cast<std::uint32_t>(value) == std::bit_cast<std::uint32_t>(code);
}

// A numeric test, so -0.0 counts as zero and NaN does not.
inline bool IsZero(float value) { return value == 0.0f; }
