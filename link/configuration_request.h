// The one packet the module sends: an event packet with code 7 asking the Console
// Client for its configuration burst. Pure; any thread.
#pragma once

#include "link/packet_handlers.h"

constexpr std::uint8_t CONFIGURATION_REQUEST_CODE = 7;

// Code 7, three zero bytes, then the floats 1.0, 110.0, 2.0 and 0.0.
EventPayload ConfigurationRequest();
