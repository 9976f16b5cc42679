// Turning computed floats into integer sound parameters and packet fields.
// Truncation toward zero; NaN, infinities and values outside the 32-bit range give
// 0x80000000, as the original processor's conversion did. Pure; any thread.
#pragma once

#include <cstdint>

std::int32_t TruncateToInt(float value);
// The low 16 bits of the truncated value, read as signed.
std::int16_t TruncateToInt16(float value);
// The low 8 bits of the truncated value (ship types, slots, player numbers).
std::uint8_t TruncateToByte(float value);
