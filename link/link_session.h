// The module's side of the session with the Console Client: one client, a device and
// a host address, the asynchronous connect to 127.0.0.1:2400 and the one send.
// InitDirectPlay: main thread, before the dialog. The others: dialog thread.
// Each operation shows its own box on failure and returns the failing status.
#pragma once

#include "app/platform_types.h"

constexpr DWORD LINK_PORT = 2400;

HRESULT InitDirectPlay();
HRESULT CreateDeviceAddress();
HRESULT EnumDirectPlayHosts();
HRESULT CreateHostAddress(const char16_t* hostName);
HRESULT ConnectToSession();
// A failed send shows its box and ends the process with exit code 0.
HRESULT SendPacket(const void* data, DWORD size, bool guaranteed, DWORD timeoutMs);
