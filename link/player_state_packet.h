// The 64-byte player state packet: one player's motion. HandlePlayerStatePacket: link
// worker threads.
#pragma once

#include "link/packet_handlers.h"

// Updates the slot's motion; for the own slot also the wind and gear airflow loops.
void HandlePlayerStatePacket(const PlayerStatePayload& payload);
