// What the link clients share: the registered message handler, and the checks on the
// arguments of Connect and Send. The checks are pure.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <vector>

#include "link/direct_play.h"

// The handler Initialize registered, with its user context. Registered on the main
// thread before any connect; called on the client's workers.
class MessageHandlerSlot {
 public:
  // Initialize's checks and the registration: S_OK, DPNERR_INVALIDPARAM or
  // DPNERR_ALREADYINITIALIZED.
  HRESULT Register(void* userContext, PFNDPNMESSAGEHANDLER handler, DWORD flags);
  bool Registered() const { return handler_.load() != nullptr; }
  void Call(DWORD messageId, void* message) const {
    handler_.load()(userContext_, messageId, message);
  }

 private:
  std::atomic<PFNDPNMESSAGEHANDLER> handler_{nullptr};
  void* userContext_ = nullptr;
};

// Connect's checks before anything starts: the handler is registered, the arguments are
// valid and the host address names 127.0.0.1 over TCP/IP with a port. S_OK with `port`
// set, or the status Connect returns.
HRESULT CheckConnect(const MessageHandlerSlot& handler,
                     const DPN_APPLICATION_DESC* applicationDesc,
                     const IDirectPlay8Address* hostAddress, const void* userConnectData,
                     DWORD userConnectDataSize, DWORD flags, std::uint16_t& port);

// The buffers of one send joined into one payload; nullopt when they are not valid
// (none, a null pointer with a size, more than LINK_MAX_PAYLOAD bytes, or NOCOPY asked).
std::optional<std::vector<std::uint8_t>> JoinSendBuffers(const DPN_BUFFER_DESC* buffers,
                                                         DWORD count, DWORD flags);
