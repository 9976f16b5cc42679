// Hands what one layer has for the other across, until neither has more: the reliable
// link's events go up to the core layer, the core layer's requests go down to the link.
// Both the client and the host drive their two state machines through this. Pure; the
// caller's thread.
#pragma once

#include <vector>

#include "platform/directplay/core_session.h"
#include "platform/directplay/reliable_link.h"

namespace dpnet {

void Apply(ReliableLink& link, const LinkRequest& request, Clock::time_point now);

// Core is CoreClient or CoreHost.
template <typename Core>
void ExchangeBetweenLayers(ReliableLink& link, Core& core, Clock::time_point now) {
  for (;;) {
    const std::vector<LinkEvent> events = link.TakeEvents();
    for (const LinkEvent& event : events) {
      core.OnLinkEvent(event);
    }
    const std::vector<LinkRequest> requests = core.TakeRequests();
    for (const LinkRequest& request : requests) {
      Apply(link, request, now);
    }
    if (events.empty() && requests.empty()) {
      return;
    }
  }
}

}  // namespace dpnet
