#include "link/player_state_packet.h"

void HandlePlayerStatePacket(const PlayerStatePayload& /*payload*/) {}
