// The requests both sides of the core layer make of their link. Pure; any thread.
#pragma once

#include <span>
#include <utility>

#include "platform/directplay/core_session.h"

namespace dpnet {

// A core message: reliable, in order, with USER_1.
inline LinkRequest CoreSendRequest(Bytes message) {
  return {LinkRequest::Kind::kSend, std::move(message), SendKind{true, true, true}};
}

// Application data, in order; reliable when guaranteed.
inline LinkRequest DataSendRequest(std::span<const std::uint8_t> payload, bool guaranteed) {
  return {LinkRequest::Kind::kSend, Bytes(payload.begin(), payload.end()),
          SendKind{guaranteed, true, false}};
}

inline LinkRequest DisconnectRequest() { return {LinkRequest::Kind::kDisconnect, {}, {}}; }

}  // namespace dpnet
