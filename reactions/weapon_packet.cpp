#include "reactions/weapon_packet.h"

void HandleWeaponPacket(const WeaponPayload& /*payload*/) {}
