// Connects a module's client to a host on loopback, as the module's start-up does, and
// has the host accept it. The client's own handler then sees the connect outcome.
// Main thread of a benchmark.
#pragma once

#include <cstdint>

#include "link/direct_play.h"
#include "platform/link/session_host.h"

// Starts the client's connect to 127.0.0.1:port.
void StartConnect(IDirectPlay8Client& client, std::uint16_t port);
// StartConnect to the host, then the host's Accept; false when it did not accept.
bool ConnectToHost(IDirectPlay8Client& client, SessionHost& host);
