#include "platform/directplay/directplay_link.h"

#include <memory>

#include "platform/directplay/directplay_client.h"

void UseDirectPlayTransport() {
  SetDirectPlayClientFactory([] { return std::make_unique<DirectPlayClient>(); });
}
