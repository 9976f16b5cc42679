#include "link/notification_packet.h"

void HandleNotificationPacket(const NotificationPayload& /*payload*/) {}
