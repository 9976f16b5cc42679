// The connect handshake of one link, both roles: the connector's CONNECT with retries
// and its confirming CONNECTED, the listener's CONNECTED with POLL with retries, answers
// to duplicates, the version both sides then speak, and the round trip it measured.
// It also numbers the link's later CFRAMEs (HARD_DISCONNECT). Pure; one link's thread.
#pragma once

#include <optional>
#include <vector>

#include "platform/directplay/command_frames.h"
#include "platform/directplay/link_types.h"

namespace dpnet {

class Handshake {
 public:
  enum class Result { kNothing, kEstablished, kRefused };

  // The connector; the first CONNECT goes to `out` at once.
  static Handshake Connector(std::uint32_t sessionId, const ReliableOptions& options,
                             Clock::time_point now, std::vector<Bytes>& out);
  // The listener for a CONNECT from a new address; nullopt when that CONNECT is not one
  // to accept. The CONNECTED answer goes to `out` at once.
  static std::optional<Handshake> Listener(const ConnectFrame& connect, const ReliableOptions& options,
                                           Clock::time_point now, std::vector<Bytes>& out);

  // A CONNECT, CONNECTED or CONNECTED_SIGNED from the peer, before or after the link
  // is established (a duplicate is answered as the peer needs).
  Result OnFrame(const ConnectFrame& frame, Clock::time_point now, std::vector<Bytes>& out);
  // A DFRAME from the connector before its confirmation came: it is connected, so the
  // confirmation was lost; the listener asks again at once rather than at its next retry.
  void OnEarlyData(Clock::time_point now, std::vector<Bytes>& out);
  // Retries when due; false once the retries ran out unanswered.
  bool OnTime(Clock::time_point now, std::vector<Bytes>& out);

  bool Established() const { return established_; }
  // When OnTime must run next while not established.
  Clock::time_point Deadline() const { return deadline_; }
  std::uint32_t SessionId() const { return sessionId_; }
  // The lower of the two sides' versions, once established.
  std::uint32_t Version() const { return version_; }
  // The round trip of the CONNECT or CONNECTED the peer answered.
  std::optional<Clock::duration> RoundTrip() const { return roundTrip_; }
  // A HARD_DISCONNECT of this link, numbered after the CFRAMEs before it.
  Bytes HardDisconnect(Clock::time_point now);

 private:
  Handshake(bool connector, std::uint32_t sessionId, const ReliableOptions& options);
  void SendOwn(Clock::time_point now, std::vector<Bytes>& out);
  void Send(Opcode opcode, bool poll, std::uint8_t responseId, Clock::time_point now,
            std::vector<Bytes>& out);
  void Establish(const ConnectFrame& answer, Clock::time_point now);
  Result OnConnectorFrame(const ConnectFrame& frame, Clock::time_point now, std::vector<Bytes>& out);
  Result OnListenerFrame(const ConnectFrame& frame, Clock::time_point now, std::vector<Bytes>& out);

  bool connector_;
  std::uint32_t sessionId_;
  ReliableOptions options_;
  std::uint32_t version_;
  bool established_ = false;
  int retries_ = 0;
  std::uint8_t nextMessageId_ = 0;
  std::uint8_t lastOwnId_ = 0;      // our latest CONNECT or CONNECTED with POLL
  Clock::time_point lastOwnSent_;
  std::uint8_t peerMessageId_ = 0;  // the listener answers the latest CONNECT
  Clock::time_point deadline_;
  std::optional<Clock::duration> roundTrip_;
};

}  // namespace dpnet
