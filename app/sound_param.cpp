#include "app/sound_param.h"

#include <cmath>

std::int32_t TruncateToInt(float value) {
  // 2^31 is exactly representable; every float below it in magnitude fits.
  constexpr float kLimit = 2147483648.0f;
  if (!(value >= -kLimit && value < kLimit)) {  // false for NaN too
    return INT32_MIN;
  }
  return static_cast<std::int32_t>(std::trunc(value));
}

std::int16_t TruncateToInt16(float value) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(
      static_cast<std::uint32_t>(TruncateToInt(value)) & 0xFFFFu));
}

std::uint8_t TruncateToByte(float value) {
  return static_cast<std::uint8_t>(static_cast<std::uint32_t>(TruncateToInt(value)) & 0xFFu);
}
