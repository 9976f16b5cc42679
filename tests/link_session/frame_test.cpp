// The frame parser on byte strings, without sockets.
#include <gtest/gtest.h>

#include <vector>

#include "platform/link/frame.h"

namespace {

using link_wire::FrameType;
using link_wire::ParseFrame;
using link_wire::ParseStatus;

std::vector<std::uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<std::uint8_t> out;
  for (int v : values) {
    out.push_back(static_cast<std::uint8_t>(v));
  }
  return out;
}

TEST(FrameParseTest, WholeFrameAndWhatFollowsIt) {
  auto bytes = link_wire::EncodeFrame(FrameType::kData, Bytes({1, 2, 3}));
  bytes.push_back(0xEE);  // the start of the next frame
  const auto parsed = ParseFrame(bytes);
  ASSERT_EQ(parsed.status, ParseStatus::kFrame);
  EXPECT_EQ(parsed.frame.type, FrameType::kData);
  EXPECT_EQ(std::vector<std::uint8_t>(parsed.frame.body.begin(), parsed.frame.body.end()),
            Bytes({1, 2, 3}));
  EXPECT_EQ(parsed.consumed, 8u);
}

TEST(FrameParseTest, EveryPrefixOfAFrameIsIncomplete) {
  const auto bytes = link_wire::EncodeFrame(FrameType::kTerminate, {});
  ASSERT_EQ(bytes, Bytes({1, 0, 0, 0, 4}));
  for (std::size_t n = 0; n < bytes.size(); ++n) {
    EXPECT_EQ(ParseFrame(std::span(bytes).first(n)).status, ParseStatus::kIncomplete) << n;
  }
  EXPECT_EQ(ParseFrame(bytes).frame.body.size(), 0u);
}

TEST(FrameParseTest, BadHeadersAreBrokenBeforeAnyBodyArrives) {
  EXPECT_EQ(ParseFrame(Bytes({0, 0, 0, 0, 3})).status, ParseStatus::kBroken);
  EXPECT_EQ(ParseFrame(Bytes({0x02, 0x00, 0x01, 0x00, 3})).status, ParseStatus::kBroken);
  EXPECT_EQ(ParseFrame(Bytes({0xFF, 0xFF, 0xFF, 0xFF, 3})).status, ParseStatus::kBroken);
  EXPECT_EQ(ParseFrame(Bytes({1, 0, 0, 0, 0})).status, ParseStatus::kBroken);
  EXPECT_EQ(ParseFrame(Bytes({1, 0, 0, 0, 5})).status, ParseStatus::kBroken);
  EXPECT_EQ(ParseFrame(Bytes({1, 0, 0, 0, 9})).status, ParseStatus::kBroken);
  // The largest length is fine and waits for its body.
  EXPECT_EQ(ParseFrame(Bytes({0x01, 0x00, 0x01, 0x00, 3})).status, ParseStatus::kIncomplete);
}

TEST(FrameParseTest, ConnectBodyRoundTripsAndMustBeTwentyBytes) {
  const link_wire::ConnectRequest request{{0x01020304, 0x0506, 0x0708, {9, 10, 11, 12, 13, 14, 15, 16}}, 7};
  const auto body = link_wire::EncodeConnectBody(request);
  ASSERT_EQ(body.size(), 20u);
  EXPECT_EQ(body[0], 0x04);
  EXPECT_EQ(body[4], 0x06);
  EXPECT_EQ(body[16], 7);
  const auto decoded = link_wire::DecodeConnectBody(body);
  ASSERT_TRUE(decoded.has_value());
  EXPECT_EQ(decoded->application, request.application);
  EXPECT_EQ(decoded->version, 7u);
  EXPECT_FALSE(link_wire::DecodeConnectBody(std::span(body).first(19)).has_value());
}

}  // namespace
