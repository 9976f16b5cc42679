// Splitting a scenario line into words and reading the numbers in them. Pure; any
// thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace console_sim {

// Words separated by blanks; a double-quoted stretch belongs to its word without the
// quotes; '#' outside quotes starts a comment. Nullopt when a quote is left open.
std::optional<std::vector<std::string>> SplitWords(std::string_view line);

std::optional<std::int64_t> ReadInteger(std::string_view text);
// A finite decimal number.
std::optional<double> ReadNumber(std::string_view text);
// Three numbers separated by commas.
std::optional<std::vector<float>> ReadVector(std::string_view text);
// Pairs of hex digits.
std::optional<std::vector<std::uint8_t>> ReadHex(std::string_view text);

}  // namespace console_sim
