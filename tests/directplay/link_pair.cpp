#include "tests/directplay/link_pair.h"

#include <algorithm>

using dpnet::Clock;

namespace {
const Clock::time_point kStart = Clock::time_point{} + std::chrono::hours(1000);
}  // namespace

LinkPair::LinkPair(std::uint32_t seed, PipeFaults faults, dpnet::ReliableOptions options)
    : LinkPair(seed, faults, options, options) {}

LinkPair::LinkPair(std::uint32_t seed, PipeFaults faults, dpnet::ReliableOptions clientOptions,
                   dpnet::ReliableOptions hostOptions)
    : client(dpnet::ReliableLink::Connect(kStart, seed | 1, clientOptions)),
      now(kStart),
      random_(seed),
      faults_(faults),
      hostOptions_(hostOptions) {}

void LinkPair::Transmit(bool toHost, const dpnet::Bytes& bytes) {
  std::uniform_real_distribution<double> chance(0, 1);
  const int copies = chance(random_) < faults_.drop ? 0 : (chance(random_) < faults_.duplicate ? 2 : 1);
  for (int i = 0; i < copies; ++i) {
    const auto delay = std::chrono::duration_cast<Clock::duration>(faults_.maxDelay * chance(random_));
    transit_.emplace(now + delay, InTransit{toHost, bytes});
  }
}

void LinkPair::Collect() {
  for (auto& bytes : client.TakeDatagrams()) {
    Transmit(true, bytes);
    clientSent.push_back(std::move(bytes));
  }
  for (auto& event : client.TakeEvents()) clientEvents.push_back(std::move(event));
  if (!host) return;
  for (auto& bytes : host->TakeDatagrams()) {
    if (!hostStalled) Transmit(false, bytes);
    hostSent.push_back(std::move(bytes));
  }
  for (auto& event : host->TakeEvents()) hostEvents.push_back(std::move(event));
}

std::optional<Clock::time_point> LinkPair::NextMoment() const {
  std::optional<Clock::time_point> next;
  auto consider = [&](std::optional<Clock::time_point> t) {
    if (t) next = std::min(next.value_or(*t), *t);
  };
  if (!transit_.empty()) consider(transit_.begin()->first);
  consider(client.NextDeadline());
  if (host && !hostStalled) consider(host->NextDeadline());
  return next;
}

void LinkPair::Advance(Clock::time_point moment) {
  now = std::max(now, moment);
  while (!transit_.empty() && transit_.begin()->first <= now) {
    const InTransit datagram = transit_.begin()->second;
    transit_.erase(transit_.begin());
    if (!datagram.toHost) {
      client.OnDatagram(datagram.bytes, now);
    } else if (hostStalled) {
      continue;
    } else if (host) {
      host->OnDatagram(datagram.bytes, now);
    } else {
      host = dpnet::ReliableLink::Accept(datagram.bytes, now, hostOptions_);
    }
    Collect();
  }
  auto due = [&](std::optional<Clock::time_point> deadline) { return deadline && *deadline <= now; };
  if (due(client.NextDeadline())) client.OnTime(now);
  if (host && !hostStalled && due(host->NextDeadline())) host->OnTime(now);
  Collect();
}

bool LinkPair::RunUntil(const std::function<bool()>& done, Clock::duration limit) {
  const Clock::time_point end = now + limit;
  Collect();
  // A bound on steps, so that a link whose deadline never moves fails the test instead
  // of hanging it.
  for (int steps = 0; !done(); ++steps) {
    const auto next = NextMoment();
    if (!next || *next > end || steps == 1'000'000) return false;
    Advance(*next);
  }
  return true;
}

void LinkPair::RunFor(Clock::duration span) {
  const Clock::time_point end = now + span;
  RunUntil([&] { return false; }, span);
  now = std::max(now, end);
}

std::vector<dpnet::LinkEvent> OfKind(const std::vector<dpnet::LinkEvent>& events,
                                     dpnet::LinkEvent::Kind kind) {
  std::vector<dpnet::LinkEvent> out;
  std::ranges::copy_if(events, std::back_inserter(out), [kind](const auto& e) { return e.kind == kind; });
  return out;
}
