// Checks shared by the link clients on the arguments of Connect and Send. Pure.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "link/direct_play.h"

// The port of a host address that names 127.0.0.1 over TCP/IP; nullopt for any other.
std::optional<std::uint16_t> LoopbackPort(const IDirectPlay8Address* address);

// Connect's arguments apart from the host address: S_OK, or the status to return.
HRESULT CheckConnectArguments(const DPN_APPLICATION_DESC* applicationDesc,
                              const void* userConnectData, DWORD userConnectDataSize,
                              DWORD flags);

// The buffers of one send joined into one payload; nullopt when they are not valid
// (none, a null pointer with a size, more than LINK_MAX_PAYLOAD bytes, or NOCOPY asked).
std::optional<std::vector<std::uint8_t>> JoinSendBuffers(const DPN_BUFFER_DESC* buffers,
                                                         DWORD count, DWORD flags);
