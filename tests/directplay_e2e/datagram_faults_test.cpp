// The relay's faults on one direction: what the seed decides, and what no fault may do
// (invent a datagram, repeat one more than once, move one more than one place back).
#include "tests/support/datagram_faults.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace {

using Clock = DatagramFaults::Clock;
using std::chrono::milliseconds;

constexpr int kDatagrams = 4000;
constexpr FaultRates kRates{0.2, 0.05, 0.1};

// Datagrams numbered 0.. in, one each millisecond; every number that came out, in order.
std::vector<int> Relayed(std::uint32_t seed, FaultCounts* counts = nullptr) {
  DatagramFaults faults(kRates, seed, milliseconds(30));
  const Clock::time_point start{};
  std::vector<int> out;
  const auto collect = [&](const std::vector<DatagramFaults::Datagram>& datagrams) {
    for (const auto& d : datagrams) out.push_back(d[0] | d[1] << 8);
  };
  for (int i = 0; i < kDatagrams; ++i) {
    const auto now = start + milliseconds(i);
    collect(faults.Due(now));
    collect(faults.Take({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i >> 8)}, now));
  }
  collect(faults.Due(start + std::chrono::hours(1)));
  if (counts) *counts = faults.Counts();
  return out;
}

TEST(DatagramFaultsTest, TheSeedAloneDecidesAndTheFaultsStayWithinTheirBounds) {
  const std::uint32_t seed = 20261210;
  SCOPED_TRACE("seed " + std::to_string(seed));
  FaultCounts counts;
  const std::vector<int> out = Relayed(seed, &counts);
  EXPECT_EQ(Relayed(seed), out);
  EXPECT_NE(Relayed(seed + 1), out);

  std::map<int, int> times;
  int highest = -1;
  for (const int number : out) {
    ASSERT_TRUE(number >= 0 && number < kDatagrams) << number;
    EXPECT_LE(++times[number], 2) << number;
    EXPECT_GE(number, highest - 1) << "overtaken by more than one: " << number;
    highest = std::max(highest, number);
  }
  const auto count = [&](int n) {
    return static_cast<int>(std::count_if(times.begin(), times.end(), [n](auto& t) { return t.second == n; }));
  };
  EXPECT_EQ(kDatagrams - static_cast<int>(times.size()), counts.dropped);
  EXPECT_EQ(count(2), counts.duplicated);
  // Within about 4.5 standard deviations of each rate.
  EXPECT_NEAR(counts.dropped, kDatagrams * kRates.drop, 115);
  EXPECT_NEAR(counts.duplicated, kDatagrams * kRates.duplicate, 65);
  EXPECT_GT(counts.held, 200);
}

TEST(DatagramFaultsTest, AHeldDatagramGoesAfterTheNextOneOrWhenItsHoldEnds) {
  DatagramFaults faults({0, 0, 1}, 7, milliseconds(30));
  const Clock::time_point start{};
  EXPECT_TRUE(faults.Take({1}, start).empty());
  EXPECT_EQ(faults.Take({2}, start), (std::vector<DatagramFaults::Datagram>{{2}, {1}}));
  EXPECT_TRUE(faults.Take({3}, start).empty());
  EXPECT_EQ(faults.NextDeadline(), start + milliseconds(30));
  EXPECT_TRUE(faults.Due(start + milliseconds(29)).empty());
  EXPECT_EQ(faults.Due(start + milliseconds(30)), std::vector<DatagramFaults::Datagram>{{3}});
  EXPECT_EQ(faults.NextDeadline(), std::nullopt);

  faults.SetSilent(true);
  EXPECT_TRUE(faults.Take({4}, start).empty());
  EXPECT_EQ(faults.NextDeadline(), std::nullopt);
  EXPECT_EQ(faults.Counts().dropped, 1);
}

}  // namespace
