// Docking: the docked state with its sounds, and numbered dock announcements that
// follow their chime. Link worker threads.
#pragma once

struct EventPacket;

void CompleteConfiguration(const EventPacket& packet);
// Changes of the docked state are heard only once the configuration burst is over.
void ReportDockState(const EventPacket& packet);
void QueueDockAnnouncement(const EventPacket& packet);
