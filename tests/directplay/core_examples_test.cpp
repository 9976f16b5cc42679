// The example frames of the core protocol's documentation: each decodes to the fields
// the documentation lists and encodes back byte for byte.
#include <gtest/gtest.h>

#include "link/direct_play.h"
#include "platform/directplay/core_messages.h"
#include "tests/support/hex_bytes.h"

namespace dpnet {
namespace {

// The UDP payloads of the examples. The first four bytes are the data frame's header
// (7F: a reliable, sequential core message in one frame); the core message follows.
constexpr std::size_t kFrameHeader = 4;

const std::vector<std::uint8_t> kConnectInfoFrame = HexBytes(
    "7F 00 01 00 C1 00 00 00 04 00 00 00 08 00 00 00 "
    "60 00 00 00 14 00 00 00 00 00 00 00 00 00 00 00 "
    "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
    "00 00 00 00 00 00 00 00 23 81 BE 94 AB A1 FB 48 "
    "A2 E7 23 85 9E 65 89 36 DA 80 EF 61 1B 69 47 42 "
    "9A DD 1C 7B ED 2B C1 3E 58 00 00 00 08 00 00 00 "
    "07 02 08 FE 41 34 EF 3D 54 00 65 00 73 00 74 00 "
    "20 00 55 00 73 00 65 00 72 00 00 00 ");

const std::vector<std::uint8_t> kSendConnectInfoFrame = HexBytes(
    "7F 00 01 02 C2 00 00 00 00 00 00 00 00 00 00 00 "
    "50 00 00 00 04 00 00 00 00 00 00 00 02 00 00 00 "
    "56 01 00 00 1A 00 00 00 00 00 00 00 00 00 00 00 "
    "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
    "23 81 BE 94 AB A1 FB 48 A2 E7 23 85 9E 65 89 36 "
    "DA 80 EF 61 1B 69 47 42 9A DD 1C 7B ED 2B C1 3E "
    "20 81 8E 94 03 00 00 00 00 00 00 00 02 00 00 00 "
    "00 00 00 00 21 81 9E 94 00 00 00 00 02 01 00 00 "
    "02 00 00 00 00 00 00 00 07 00 00 00 42 01 00 00 "
    "14 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
    "00 00 00 00 20 81 8E 94 00 00 00 00 00 01 00 00 "
    "03 00 00 00 00 00 00 00 08 00 00 00 2E 01 00 00 "
    "14 00 00 00 00 00 00 00 00 00 00 00 CC 00 00 00 "
    "62 00 00 00 78 2D 64 69 72 65 63 74 70 6C 61 79 "
    "3A 2F 70 72 6F 76 69 64 65 72 3D 25 37 42 45 42 "
    "46 45 37 42 41 30 2D 36 32 38 44 2D 31 31 44 32 "
    "2D 41 45 30 46 2D 30 30 36 30 39 37 42 30 31 34 "
    "31 31 25 37 44 3B 68 6F 73 74 6E 61 6D 65 3D 36 "
    "35 2E 35 32 2E 32 33 39 2E 36 31 3B 70 6F 72 74 "
    "3D 32 33 30 32 00 54 00 65 00 73 00 74 00 20 00 "
    "55 00 73 00 65 00 72 00 00 00 54 00 65 00 73 00 "
    "74 00 20 00 55 00 73 00 65 00 72 00 00 00 54 00 "
    "65 00 73 00 74 00 20 00 53 00 65 00 73 00 73 00 "
    "69 00 6F 00 6E 00 00 00 ");

std::span<const std::uint8_t> CoreMessage(const std::vector<std::uint8_t>& frame) {
  return std::span(frame).subspan(kFrameHeader);
}

// The session instance and the application of the examples.
constexpr GUID kInstance{
    0x94BE8123, 0xA1AB, 0x48FB, {0xA2, 0xE7, 0x23, 0x85, 0x9E, 0x65, 0x89, 0x36}};
constexpr GUID kApplication{
    0x61EF80DA, 0x691B, 0x4247, {0x9A, 0xDD, 0x1C, 0x7B, 0xED, 0x2B, 0xC1, 0x3E}};

TEST(CoreExamples, ExtendedConnectInfoFromAPeerNamedTestUser) {
  const auto info = DecodePlayerConnectInfo(CoreMessage(kConnectInfoFrame));
  ASSERT_TRUE(info);
  EXPECT_EQ(info->flags, kObjectTypePeer);
  EXPECT_EQ(info->dnetVersion, 8u);
  EXPECT_EQ(info->name, u"Test User");
  EXPECT_EQ(info->instance, kInstance);
  EXPECT_EQ(info->application, kApplication);
  // One IPv4 alternate address: 65.52.239.61, port 2302.
  EXPECT_EQ(info->alternateAddresses, HexBytes("07 02 08 FE 41 34 EF 3D"));
  EXPECT_TRUE(info->url.empty() && info->data.empty() && info->password.empty());

  const Bytes encoded = Encode(*info);
  EXPECT_TRUE(std::ranges::equal(encoded, CoreMessage(kConnectInfoFrame)));
}

TEST(CoreExamples, SendConnectInfoWithTwoPeersInTheNameTable) {
  const auto info = DecodeSendConnectInfo(CoreMessage(kSendConnectInfoFrame));
  ASSERT_TRUE(info);
  EXPECT_EQ(info->session.flags, 0x4u);  // host migration allowed
  EXPECT_EQ(info->session.maxPlayers, 0u);
  EXPECT_EQ(info->session.currentPlayers, 2u);
  EXPECT_EQ(info->session.sessionName, u"Test Session");
  EXPECT_EQ(info->session.instance, kInstance);
  EXPECT_EQ(info->session.application, kApplication);
  EXPECT_EQ(info->dpnid, 0x948E8120u);
  EXPECT_EQ(info->version, 3u);
  EXPECT_TRUE(info->memberships.empty());
  ASSERT_EQ(info->entries.size(), 2u);

  const NameTableEntry& host = info->entries[0];
  EXPECT_EQ(host.dpnid, 0x949E8121u);
  EXPECT_EQ(host.flags, kEntryHost | kEntryPeer);
  EXPECT_EQ(host.version, 2u);
  EXPECT_EQ(host.name, u"Test User");
  const NameTableEntry& joining = info->entries[1];
  EXPECT_EQ(joining.dpnid, info->dpnid);
  EXPECT_EQ(joining.flags, kEntryPeer);
  EXPECT_EQ(joining.version, 3u);
  EXPECT_EQ(joining.dnetVersion, 8u);
  EXPECT_EQ(joining.name, u"Test User");
  EXPECT_EQ(joining.url,
            "x-directplay:/provider=%7BEBFE7BA0-628D-11D2-AE0F-006097B01411%7D;"
            "hostname=65.52.239.61;port=2302");

  const Bytes encoded = Encode(*info);
  EXPECT_TRUE(std::ranges::equal(encoded, CoreMessage(kSendConnectInfoFrame)));
}

TEST(CoreExamples, PlayerIdsAreIndexAndVersionHiddenByTheInstance) {
  EXPECT_EQ(MakeDpnid(2, 2, kInstance), 0x949E8121u);
  EXPECT_EQ(MakeDpnid(3, 3, kInstance), 0x948E8120u);
}

// The documented codes, as a host writes them into DN_CONNECT_FAILED.
TEST(CoreExamples, RefusalsCarryTheDocumentedCodes) {
  EXPECT_EQ(Encode(ConnectFailed{DPNERR_HOSTREJECTEDCONNECTION, {}}),
            HexBytes("C5 00 00 00 60 82 15 80 00 00 00 00 00 00 00 00"));
  EXPECT_EQ(Encode(ConnectFailed{DPNERR_INVALIDAPPLICATION, {}}),
            HexBytes("C5 00 00 00 00 83 15 80 00 00 00 00 00 00 00 00"));
}

}  // namespace
}  // namespace dpnet
