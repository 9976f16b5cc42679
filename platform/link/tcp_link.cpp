#include "platform/link/tcp_link.h"

#include <memory>

#include "platform/link/tcp_link_client.h"

void UseTcpLinkTransport() {
  SetDirectPlayClientFactory([] { return std::make_unique<TcpLinkClient>(); });
}
