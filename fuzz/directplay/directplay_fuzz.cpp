// Fuzz target for the DirectPlay 8 protocol. The bytes are steps: a step byte (what to
// do, and how far the clock moves first), a length byte, then that many bytes. Every
// datagram step is decoded as a frame (a decoded frame must survive its own encoding)
// and goes to two links: one connecting with the session id of the published sample
// connection, with the module's core layer above it, one accepted from the first
// datagram. Other steps send payloads, disconnect, or run the timers. Each link's events
// must stay well-formed (kConnected at most once and first, kClosed at most once and
// last, messages within the limit), what it sends must fit a frame, nothing may grow past
// its bounds, and the client's session messages must be those the module relies on: one
// connect-complete first, receives only after a successful one, one terminate last.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "link/direct_play.h"
#include "platform/directplay/coalesced.h"
#include "platform/directplay/core_session.h"
#include "platform/directplay/frames.h"
#include "platform/directplay/layer_exchange.h"
#include "platform/directplay/reliable_link.h"

namespace {

using dpnet::Clock;
using dpnet::LinkEvent;

constexpr std::uint32_t kSampleSession = 0x79C9AEC6;
// SACKs and CFRAMEs are small; our DFRAMEs are at most maxFrameSize.
constexpr std::size_t kMaxTakenPerStep = 1000;

dpnet::ReliableOptions Options() {
  dpnet::ReliableOptions options;
  options.maxMessageSize = 4096;
  options.maxQueuedBytes = 16384;
  options.maxFrameSize = 600;
  return options;
}

void CheckFrameRoundTrip(std::span<const std::uint8_t> datagram) {
  const auto frame = dpnet::DecodeFrame(datagram);
  if (!frame) return;
  if (dpnet::DecodeFrame(dpnet::EncodeFrame(*frame)) != frame) __builtin_trap();
  const auto* data = std::get_if<dpnet::DataFrame>(&*frame);
  if (data == nullptr) return;
  if (const auto parts = dpnet::DecodeCoalesced(data->payload)) {
    if (dpnet::DecodeCoalesced(dpnet::EncodeCoalesced(*parts)) != parts) __builtin_trap();
  }
}

class CheckedLink {
 public:
  explicit CheckedLink(dpnet::ReliableLink link) : link_(std::move(link)) { Check(); }

  dpnet::ReliableLink& operator*() { return link_; }
  dpnet::ReliableLink* operator->() { return &link_; }

  // Takes what the link put out and checks it; the events, for a layer above.
  std::vector<LinkEvent> Check() {
    const auto datagrams = link_.TakeDatagrams();
    if (datagrams.size() > kMaxTakenPerStep) __builtin_trap();
    for (const auto& datagram : datagrams) {
      if (datagram.size() > Options().maxFrameSize || !dpnet::DecodeFrame(datagram)) __builtin_trap();
    }
    std::vector<LinkEvent> events = link_.TakeEvents();
    for (const LinkEvent& event : events) {
      if (closed_) __builtin_trap();  // nothing after kClosed
      if (event.kind == LinkEvent::Kind::kConnected && (connected_ || messages_ > 0)) __builtin_trap();
      if (event.kind == LinkEvent::Kind::kMessage &&
          (!connected_ || event.message.empty() || event.message.size() > Options().maxMessageSize)) {
        __builtin_trap();
      }
      connected_ = connected_ || event.kind == LinkEvent::Kind::kConnected;
      messages_ += event.kind == LinkEvent::Kind::kMessage ? 1 : 0;
      closed_ = event.kind == LinkEvent::Kind::kClosed;
    }
    if (closed_ != link_.Closed() || (link_.Connected() && !connected_)) __builtin_trap();
    return events;
  }

 private:
  dpnet::ReliableLink link_;
  bool connected_ = false;
  bool closed_ = false;
  std::size_t messages_ = 0;
};

// The module's side of the session above the connecting link.
class CheckedClient {
 public:
  // Hands the link's events up and the core layer's requests down until both are done.
  void Exchange(CheckedLink& link, std::vector<LinkEvent> events, Clock::time_point now) {
    while (!events.empty()) {
      for (const LinkEvent& event : events) core_.OnLinkEvent(event);
      for (const dpnet::LinkRequest& request : core_.TakeRequests()) dpnet::Apply(*link, request, now);
      events = link.Check();
    }
    for (const dpnet::ClientEvent& event : core_.TakeEvents()) Check(event);
  }
  void Send(std::span<const std::uint8_t> payload, bool guaranteed) {
    if (core_.Send(payload, guaranteed) != (joined_ && !ended_ && !payload.empty())) __builtin_trap();
  }

 private:
  void Check(const dpnet::ClientEvent& event) {
    using Kind = dpnet::ClientEvent::Kind;
    if (ended_ || (event.kind == Kind::kConnectComplete) == completed_) __builtin_trap();
    if (event.kind != Kind::kConnectComplete && !joined_) __builtin_trap();
    if (event.kind == Kind::kConnectComplete) {
      completed_ = true;
      joined_ = event.result == S_OK;
      ended_ = !joined_;
      if (!joined_ && event.result >= 0) __builtin_trap();  // a failure is negative
    }
    ended_ = ended_ || event.kind == Kind::kTerminate;
  }

  dpnet::CoreClient core_{APPLICATION_GUID};
  bool completed_ = false;
  bool joined_ = false;
  bool ended_ = false;
};

std::vector<LinkEvent> Step(CheckedLink& link, std::uint8_t kind, std::span<const std::uint8_t> bytes,
                            Clock::time_point now) {
  switch (kind % 4) {
    case 0: link->OnDatagram(bytes, now); break;
    case 1: link->OnTime(now); break;
    case 2: link->Send(bytes, {(kind & 4) != 0, (kind & 8) != 0, (kind & 16) != 0}, now); break;
    default: (kind & 4) != 0 ? link->HardDisconnect(now) : link->Disconnect(now); break;
  }
  return link.Check();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Clock::time_point now{};
  CheckedLink connector(dpnet::ReliableLink::Connect(now, kSampleSession, Options()));
  CheckedClient client;
  std::optional<CheckedLink> acceptor;
  for (std::size_t offset = 0; offset + 2 <= size;) {
    const std::uint8_t kind = data[offset];
    const std::size_t length = std::min<std::size_t>(data[offset + 1], size - offset - 2);
    const std::span<const std::uint8_t> bytes(data + offset + 2, length);
    offset += 2 + length;
    // The top three bits move the clock: not at all, or by 1 ms times a power of 8, up
    // to 262 s (past every timer of the link).
    now += std::chrono::milliseconds((kind >> 5) == 0 ? 0 : 1 << (3 * ((kind >> 5) - 1)));
    if (kind % 4 == 0) CheckFrameRoundTrip(bytes);
    if (kind % 4 == 2 && (kind & 16) == 0) {
      client.Send(bytes, (kind & 4) != 0);  // the module's payloads go through its core layer
      client.Exchange(connector, connector.Check(), now);
    } else {
      client.Exchange(connector, Step(connector, kind, bytes, now), now);
    }
    if (acceptor) {
      Step(*acceptor, kind, bytes, now);
    } else if (kind % 4 == 0) {
      if (auto accepted = dpnet::ReliableLink::Accept(bytes, now, Options())) acceptor.emplace(std::move(*accepted));
    }
  }
  return 0;
}
