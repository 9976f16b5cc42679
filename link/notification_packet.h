// The 82-byte notification packet: chat and cargo notices, and roster lines that fill
// the player table. HandleNotificationPacket: link worker threads.
#pragma once

#include "link/packet_handlers.h"

void HandleNotificationPacket(const NotificationPayload& payload);
