// The 27 kinds of ship event (event code 10) around the own ship. Link worker threads.
#pragma once

struct EventPacket;
class Sound;

constexpr int SHIP_EVENT_COUNT = 27;

// Dispatches on the 16-bit whole number of valueA; sub-codes outside 0..26 are ignored.
void HandleShipEvent(const EventPacket& packet);

// One of the three pain sounds for a draw of 0..32767, each taking a third of the draws.
Sound* PainSound(int draw);
