// Seeded round trips of every core message, cut and damaged copies of them.
#include <gtest/gtest.h>

#include <random>

#include "platform/directplay/core_messages.h"

namespace dpnet {
namespace {

class RandomFields {
 public:
  explicit RandomFields(std::uint32_t seed) : engine_(seed) {}

  std::uint32_t U32() { return static_cast<std::uint32_t>(engine_()); }
  std::size_t Size(std::size_t most) {
    return std::uniform_int_distribution<std::size_t>(0, most)(engine_);
  }
  Bytes Blob() {
    Bytes bytes(Size(12));
    for (auto& byte : bytes) byte = static_cast<std::uint8_t>(U32());
    return bytes;
  }
  // Text never holds a zero: the zero is its terminator on the wire.
  std::u16string Wide() {
    std::u16string text(Size(10), u'x');
    for (auto& unit : text) unit = static_cast<char16_t>(1 + U32() % 0xFFFF);
    return text;
  }
  std::string Narrow() {
    std::string text(Size(20), 'x');
    for (auto& unit : text) unit = static_cast<char>(1 + U32() % 255);
    return text;
  }
  GUID Guid() {
    GUID guid{U32(), static_cast<std::uint16_t>(U32()), static_cast<std::uint16_t>(U32()), {}};
    for (auto& byte : guid.Data4) byte = static_cast<std::uint8_t>(U32());
    return guid;
  }

  PlayerConnectInfo ConnectInfo() {
    PlayerConnectInfo info{U32(),  U32() % 10, Wide(), Blob(), Wide(),
                           Blob(), Narrow(),   Guid(), Guid(), Blob()};
    if (info.dnetVersion < kFirstExtendedVersion) info.alternateAddresses.clear();
    return info;
  }
  SendConnectInfo Welcome() {
    SendConnectInfo info;
    info.session = {U32(), U32(), U32(), Wide(), Wide(), Blob(), Blob(), Guid(), Guid()};
    info.dpnid = U32();
    info.version = U32();
    info.versionNotUsed = U32();
    for (std::size_t i = Size(3); i > 0; --i) {
      info.entries.push_back({U32(), U32(), U32(), U32(), U32(), U32(), Wide(), Blob(), Narrow()});
    }
    for (std::size_t i = Size(3); i > 0; --i)
      info.memberships.push_back({U32(), U32(), U32(), U32()});
    info.reply = Blob();
    return info;
  }

 private:
  std::mt19937 engine_;
};

// The message decodes to itself; cut anywhere before `mustHave` bytes it is malformed;
// any damaged copy that still decodes encodes to what it decoded to.
template <typename Message, typename Decoder>
void ExpectSound(const Message& message, Decoder decode, std::uint32_t seed,
                 std::size_t mustHave = SIZE_MAX) {
  SCOPED_TRACE("seed " + std::to_string(seed));
  const Bytes bytes = Encode(message);
  const auto decoded = decode(bytes);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(*decoded, message);
  for (std::size_t cut = 0; cut < std::min(bytes.size(), mustHave); ++cut) {
    ASSERT_FALSE(decode(std::span(bytes).first(cut))) << "cut at " << cut;
  }
  std::mt19937 engine(seed);
  for (int round = 0; round < 20; ++round) {
    Bytes damaged = bytes;
    damaged[engine() % damaged.size()] ^= static_cast<std::uint8_t>(1u << (engine() % 8));
    if (const auto again = decode(damaged)) {
      EXPECT_EQ(decode(Encode(*again)), again);
    }
  }
}

TEST(CoreCodec, EveryMessageRoundTripsAndRejectsCuts) {
  for (std::uint32_t seed = 1; seed <= 200; ++seed) {
    RandomFields random(seed);
    ExpectSound(random.ConnectInfo(), DecodePlayerConnectInfo, seed);
    ExpectSound(random.Welcome(), DecodeSendConnectInfo, seed);
    ExpectSound(ConnectFailed{static_cast<HRESULT>(random.U32()), random.Blob()},
                DecodeConnectFailed, seed);
    ExpectSound(TerminateSession{random.Blob()}, DecodeTerminateSession, seed);
    // The payload runs to the message's end, so only the header must be whole.
    ExpectSound(ProcessCompletionRequest{random.U32(), random.Blob()},
                DecodeProcessCompletionRequest, seed, 8);
  }
}

TEST(CoreCodec, FieldsPointingOutsideTheMessageAreMalformed) {
  Bytes terminate = Encode(TerminateSession{{1, 2, 3}});
  ASSERT_EQ(terminate.size(), 15u);
  terminate[4] = 0xFC;  // the data's offset, far past the end
  EXPECT_FALSE(DecodeTerminateSession(terminate));
  // A count of entries that cannot fit is not believed.
  Bytes welcome = Encode(SendConnectInfo{});
  welcome[welcome.size() - 8] = 0xFF;
  EXPECT_FALSE(DecodeSendConnectInfo(welcome));
  EXPECT_FALSE(DecodeConnectFailed(EncodeAckConnectInfo()));  // another type
}

}  // namespace
}  // namespace dpnet
