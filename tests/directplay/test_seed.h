// The seed of a randomized test: DPNET_TEST_SEED when set (to replay a failure),
// otherwise a fresh one. Tests print it on failure through SCOPED_TRACE.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

inline std::uint32_t TestSeed() {
  if (const char* fixed = std::getenv("DPNET_TEST_SEED")) {
    return static_cast<std::uint32_t>(std::strtoul(fixed, nullptr, 10));
  }
  return std::random_device{}();
}

inline std::string SeedTrace(std::uint32_t seed) {
  return "seed " + std::to_string(seed) + " (replay with DPNET_TEST_SEED)";
}
