// The one entry of everything that happens on the link. Called by the transport on
// its worker threads, possibly several at once.
#pragma once

#include "app/platform_types.h"

// Connect outcome, received payloads (dispatched by size) and the end of the session.
// Always returns DPN_OK.
HRESULT LinkMessageHandler(void* userContext, DWORD messageId, void* message);
