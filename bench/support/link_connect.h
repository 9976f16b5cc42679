// Connects a module's client to a host on loopback, as the module's start-up does, and
// has the host accept it. The client's own handler then sees the connect outcome.
// Main thread of a benchmark.
#pragma once

#include "platform/link/link_host.h"
#include "platform/link/tcp_link_client.h"

// False when the host did not accept the client.
bool ConnectToHost(TcpLinkClient& client, LinkHost& host);
