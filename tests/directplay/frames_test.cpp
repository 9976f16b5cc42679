// The reliable protocol's frames: the published example frames decode to their
// documented fields and encode back byte for byte; random frames survive a round trip.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>

#include "platform/directplay/coalesced.h"
#include "platform/directplay/frames.h"
#include "tests/directplay/test_seed.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using dpnet::ConnectFrame;
using dpnet::DataFrame;
using dpnet::Frame;
using dpnet::Opcode;
using dpnet::SackFrame;

template <typename T>
T DecodeAs(const Bytes& bytes) {
  const auto frame = dpnet::DecodeFrame(bytes);
  EXPECT_TRUE(frame && std::holds_alternative<T>(*frame));
  EXPECT_EQ(dpnet::EncodeFrame(*frame), bytes);
  return std::get<T>(*frame);
}

ConnectFrame ConnectOf(Opcode opcode, bool poll, std::uint8_t id, std::uint32_t timestamp) {
  return {opcode, poll, id, 0, 0x00010006, 0x79C9AEC6, timestamp, {}, {}};
}

// The sample connection: CONNECT, CONNECTED with POLL, CONNECTED without, then the
// KeepAlive each side sends (both directions carry the same bytes).
TEST(FramesTest, SampleConnectionSequence) {
  EXPECT_EQ(DecodeAs<ConnectFrame>({0x88, 0x01, 0x00, 0x00, 0x06, 0x00, 0x01, 0x00, 0xC6, 0xAE,
                                    0xC9, 0x79, 0x9D, 0x36, 0x67, 0x23}),
            ConnectOf(Opcode::kConnect, true, 0, 0x2367369D));
  EXPECT_EQ(DecodeAs<ConnectFrame>({0x88, 0x02, 0x00, 0x00, 0x06, 0x00, 0x01, 0x00, 0xC6, 0xAE,
                                    0xC9, 0x79, 0xE1, 0xDF, 0x04, 0x00}),
            ConnectOf(Opcode::kConnected, true, 0, 0x0004DFE1));
  EXPECT_EQ(DecodeAs<ConnectFrame>({0x80, 0x02, 0x01, 0x00, 0x06, 0x00, 0x01, 0x00, 0xC6, 0xAE,
                                    0xC9, 0x79, 0x9D, 0x36, 0x67, 0x23}),
            ConnectOf(Opcode::kConnected, false, 1, 0x2367369D));
  const auto keepAlive = DecodeAs<DataFrame>({0x3F, 0x02, 0x00, 0x00, 0xC6, 0xAE, 0xC9, 0x79});
  EXPECT_EQ(keepAlive.command, 0x3F);  // DATA RELIABLE SEQUENTIAL POLL NEW_MSG END_MSG
  EXPECT_EQ(keepAlive.control, dpnet::kControlKeepAlive);
  EXPECT_EQ(keepAlive.seq, 0);
  EXPECT_EQ(keepAlive.nextReceive, 0);
  EXPECT_EQ(keepAlive.masks, dpnet::Masks{});
  EXPECT_EQ(keepAlive.payload, (Bytes{0xC6, 0xAE, 0xC9, 0x79}));
}

// An unreliable DFRAME and the SACK that answers it. The prose around these bytes says
// a 5-byte payload and Next Receive 5; the bytes say 6 and 6, which is what the
// normative layout gives, so the bytes are what is checked.
TEST(FramesTest, SampleDataAndAcknowledgement) {
  const auto data = DecodeAs<DataFrame>({0x3D, 0x00, 0x05, 0x03, 0x01, 0x41, 0x42, 0x43, 0x44, 0x45});
  EXPECT_EQ(data.command, 0x3D);  // DATA SEQUENTIAL POLL NEW_MSG END_MSG, not reliable
  EXPECT_EQ(data.seq, 5);
  EXPECT_EQ(data.nextReceive, 3);
  EXPECT_EQ(data.payload, (Bytes{0x01, 'A', 'B', 'C', 'D', 'E'}));
  const auto sack = DecodeAs<SackFrame>({0x80, 0x06, 0x01, 0x00, 0x03, 0x06, 0x00, 0x00, 0x07, 0x5D, 0x11, 0x00});
  EXPECT_EQ(sack, (SackFrame{false, true, 0, 3, 6, 0x00115D07, {}}));
}

TEST(FramesTest, MasksFollowTheHeaderInOrderAndOnlyWhenFlagged) {
  DataFrame frame{0x07, 0, 9, 4, dpnet::Masks::From(0x1'0000'0000, 0x5), {0xAA}};
  EXPECT_EQ(dpnet::EncodeFrame(frame),
            (Bytes{0x07, 0x60, 9, 4, 1, 0, 0, 0, 5, 0, 0, 0, 0xAA}));  // SACK2 SEND1
}

TEST(FramesTest, CoalescedPayloadsAreAlignedBehindTheirHeaders) {
  const std::vector<dpnet::SubPayload> parts{{0x06, {1, 2, 3}}, {0x40, {4}}, {0x02, Bytes(0x123, 9)}};
  const Bytes encoded = dpnet::EncodeCoalesced(parts);
  const Bytes head{0x03, 0x06, 0x01, 0x40, 0x23, 0x0B, 0, 0, 1, 2, 3, 0, 4, 0, 0, 0};
  ASSERT_EQ(encoded.size(), head.size() + 0x123);
  EXPECT_TRUE(std::equal(head.begin(), head.end(), encoded.begin()));
  EXPECT_EQ(dpnet::DecodeCoalesced(encoded), parts);
}

TEST(FramesTest, BrokenLayoutsAreRejected) {
  const std::vector<Bytes> broken{
      {0x80, 0x01, 0, 0, 6, 0, 1, 0, 1, 2, 3, 4, 5, 6, 7},      // CONNECT one byte short
      {0x82, 0x01, 0, 0, 6, 0, 1, 0, 1, 2, 3, 4, 5, 6, 7, 8},   // a stray bCommand bit
      {0x80, 0x05, 0, 0, 6, 0, 1, 0, 1, 2, 3, 4, 5, 6, 7, 8},   // unknown opcode
      {0x80, 0x06, 0x40, 0, 3, 6, 0, 0, 7, 0x5D, 0x11, 0},       // unknown SACK flag
      {0x80, 0x06, 0x03, 0, 3, 6, 0, 0, 7, 0x5D, 0x11, 0, 1},    // SACK mask cut short
      {0x01, 0x10, 0, 0, 1, 2, 3},                               // DFRAME mask cut short
      {0x00, 0x01, 0x02, 0x03},                                  // host enumeration
  };
  for (const auto& bytes : broken) EXPECT_FALSE(dpnet::DecodeFrame(bytes)) << bytes.size();
  EXPECT_FALSE(dpnet::DecodeCoalesced(Bytes{0x05, 0x01, 0, 0, 1, 2, 3, 4}));  // size past the end
  EXPECT_FALSE(dpnet::DecodeCoalesced(Bytes{0x01, 0x00, 0, 0, 1}));           // no end marker
}

class RandomFrames {
 public:
  explicit RandomFrames(std::uint32_t seed) : random_(seed) {}

  std::uint8_t Byte() { return static_cast<std::uint8_t>(random_()); }
  std::uint32_t Word() { return static_cast<std::uint32_t>(random_()); }
  std::size_t Below(std::size_t n) { return random_() % n; }
  Bytes Data(std::size_t size) {
    Bytes out(size);
    for (auto& b : out) b = Byte();
    return out;
  }
  dpnet::Masks Masks() {
    auto half = [&] { return Below(2) ? std::optional<std::uint32_t>(Word()) : std::nullopt; };
    return {half(), half(), half(), half()};
  }

  Frame Any() {
    switch (Below(3)) {
      case 0: {
        const auto opcode = std::array{Opcode::kConnect, Opcode::kConnected,
                                       Opcode::kConnectedSigned, Opcode::kHardDisconnect}[Below(4)];
        ConnectFrame f{opcode, Below(2) == 1, Byte(), Byte(), Word(), Word(), Word(), {}, {}};
        if (opcode == Opcode::kConnectedSigned) f.signing = dpnet::SigningFields{random_(), random_(), random_(), Word(), Word()};
        if (opcode == Opcode::kHardDisconnect && Below(2)) f.signature = random_();
        return f;
      }
      case 1: return SackFrame{Below(2) == 1, Below(2) == 1, Byte(), Byte(), Byte(), Word(), Masks()};
      default:
        return DataFrame{static_cast<std::uint8_t>(Byte() | dpnet::kCommandData),
                         static_cast<std::uint8_t>(Byte() & 0x0F), Byte(), Byte(), Masks(), Data(Below(40))};
    }
  }

  std::vector<dpnet::SubPayload> Parts() {
    std::vector<dpnet::SubPayload> parts(1 + Below(dpnet::kMaxCoalesced));
    for (auto& part : parts) {
      part = {static_cast<std::uint8_t>(Byte() & dpnet::kCoalescedFlagBits),
              Data(Below(8) == 0 ? Below(dpnet::kMaxCoalescedSize + 1) : Below(12))};
    }
    return parts;
  }

 private:
  std::mt19937_64 random_;
};

// Every frame decodes to itself; a frame cut short is rejected, or is a different,
// shorter frame whose own encoding is exactly the cut bytes (a DFRAME's payload).
// Coalesced payloads cut short are always rejected.
TEST(FramesTest, SeededRoundTrip) {
  const std::uint32_t seed = TestSeed();
  SCOPED_TRACE(SeedTrace(seed));
  RandomFrames random(seed);
  for (int i = 0; i < 2000; ++i) {
    const Frame frame = random.Any();
    const Bytes bytes = dpnet::EncodeFrame(frame);
    ASSERT_EQ(dpnet::DecodeFrame(bytes), frame) << i;
    const Bytes cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(random.Below(bytes.size())));
    if (const auto shorter = dpnet::DecodeFrame(cut)) {
      ASSERT_NE(*shorter, frame) << i;
      ASSERT_EQ(dpnet::EncodeFrame(*shorter), cut) << i;
    }
    const auto parts = random.Parts();
    const Bytes coalesced = dpnet::EncodeCoalesced(parts);
    ASSERT_EQ(coalesced.size(), dpnet::CoalescedSize(parts));
    ASSERT_EQ(dpnet::DecodeCoalesced(coalesced), parts) << i;
    ASSERT_FALSE(dpnet::DecodeCoalesced(std::span(coalesced).first(random.Below(coalesced.size())))) << i;
  }
}

}  // namespace
