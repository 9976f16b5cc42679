#include "platform/link/client_arguments.h"

HRESULT MessageHandlerSlot::Register(void* userContext, PFNDPNMESSAGEHANDLER handler,
                                     DWORD flags) {
  if (handler == nullptr || flags != 0) {
    return DPNERR_INVALIDPARAM;
  }
  if (Registered()) {
    return DPNERR_ALREADYINITIALIZED;
  }
  userContext_ = userContext;
  handler_ = handler;
  return S_OK;
}

namespace {

// The port of a host address that names 127.0.0.1 over TCP/IP; nullopt for any other.
std::optional<std::uint16_t> LoopbackPort(const IDirectPlay8Address* address) {
  if (address == nullptr || address->ServiceProvider() != CLSID_DP8SP_TCPIP ||
      AddressString(*address, DPNA_KEY_HOSTNAME) != u"127.0.0.1") {
    return std::nullopt;
  }
  DWORD port = 0;
  if (!AddressDword(*address, DPNA_KEY_PORT, port) || port == 0 || port > 65535) {
    return std::nullopt;
  }
  return static_cast<std::uint16_t>(port);
}

}  // namespace

HRESULT CheckConnect(const MessageHandlerSlot& handler,
                     const DPN_APPLICATION_DESC* applicationDesc,
                     const IDirectPlay8Address* hostAddress, const void* userConnectData,
                     DWORD userConnectDataSize, DWORD flags, std::uint16_t& port) {
  if (!handler.Registered()) {
    return DPNERR_UNINITIALIZED;
  }
  if (applicationDesc == nullptr || applicationDesc->dwSize != DPN_APPLICATION_DESC_SIZE ||
      flags != 0 || (userConnectData == nullptr && userConnectDataSize != 0)) {
    return DPNERR_INVALIDPARAM;
  }
  const std::optional<std::uint16_t> loopbackPort = LoopbackPort(hostAddress);
  if (!loopbackPort) {
    return DPNERR_INVALIDHOSTADDRESS;
  }
  port = *loopbackPort;
  return S_OK;
}

std::optional<std::vector<std::uint8_t>> JoinSendBuffers(const DPN_BUFFER_DESC* buffers,
                                                         DWORD count, DWORD flags) {
  if ((flags & DPNSEND_NOCOPY) != 0 || buffers == nullptr || count == 0) {
    return std::nullopt;
  }
  std::size_t total = 0;
  for (DWORD i = 0; i < count; ++i) {
    if (buffers[i].dwBufferSize != 0 && buffers[i].pBufferData == nullptr) {
      return std::nullopt;
    }
    total += buffers[i].dwBufferSize;
  }
  if (total > LINK_MAX_PAYLOAD) {
    return std::nullopt;
  }
  std::vector<std::uint8_t> payload;
  payload.reserve(total);
  for (DWORD i = 0; i < count; ++i) {
    payload.insert(payload.end(), buffers[i].pBufferData,
                   buffers[i].pBufferData + buffers[i].dwBufferSize);
  }
  return payload;
}
