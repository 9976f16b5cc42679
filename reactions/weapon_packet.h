// The 36-byte weapon packet: launches and explosions, heard near at once and far after
// the sound's travel time. HandleWeaponPacket: link worker threads.
#pragma once

#include "link/packet_handlers.h"

void HandleWeaponPacket(const WeaponPayload& payload);
