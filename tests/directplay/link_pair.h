// Two ReliableLinks wired to each other in memory, on a simulated clock, through a
// seeded pipe that drops, duplicates and reorders datagrams. The client connects; the
// host is accepted from the first datagram that reaches it. Time jumps from one due
// moment (a delivery or a link's deadline) to the next, so tests never sleep.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <random>

#include "platform/directplay/reliable_link.h"

struct PipeFaults {
  double drop = 0;
  double duplicate = 0;
  dpnet::Clock::duration maxDelay{};  // each datagram is delayed by up to this: reordering
};

class LinkPair {
 public:
  LinkPair(std::uint32_t seed, PipeFaults faults, dpnet::ReliableOptions options = {});
  LinkPair(std::uint32_t seed, PipeFaults faults, dpnet::ReliableOptions clientOptions,
           dpnet::ReliableOptions hostOptions);

  // Runs until `done` holds or nothing is left to happen or `limit` of simulated time
  // passed; true when `done` held.
  bool RunUntil(const std::function<bool()>& done, dpnet::Clock::duration limit);
  // Runs for `span` of simulated time.
  void RunFor(dpnet::Clock::duration span);

  dpnet::ReliableLink client;
  std::optional<dpnet::ReliableLink> host;
  std::vector<dpnet::LinkEvent> clientEvents;
  std::vector<dpnet::LinkEvent> hostEvents;
  // Every datagram each side sent, as sent (before the pipe's faults).
  std::vector<dpnet::Bytes> clientSent;
  std::vector<dpnet::Bytes> hostSent;
  // While set, everything to and from the host is lost and its timers stand still.
  bool hostStalled = false;
  dpnet::Clock::time_point now;

 private:
  struct InTransit {
    bool toHost = false;
    dpnet::Bytes bytes;
  };
  void Collect();
  void Transmit(bool toHost, const dpnet::Bytes& bytes);
  std::optional<dpnet::Clock::time_point> NextMoment() const;
  void Advance(dpnet::Clock::time_point moment);

  std::mt19937 random_;
  PipeFaults faults_;
  dpnet::ReliableOptions hostOptions_;
  std::multimap<dpnet::Clock::time_point, InTransit> transit_;
};

// The events of one kind in `events`.
std::vector<dpnet::LinkEvent> OfKind(const std::vector<dpnet::LinkEvent>& events,
                                     dpnet::LinkEvent::Kind kind);
