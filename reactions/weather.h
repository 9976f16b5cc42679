// The world outside the ship: lightning with its delayed thunder, the precipitation
// intensity with the hull-ionization warning, and the mining and wave loops. Link
// worker threads.
#pragma once

struct EventPacket;

// The thunder entry for a draw of 0..32767; the top draw stays inside the 15 entries.
int ThunderIndex(int draw);

void StrikeLightning(const EventPacket& packet);
void ChangePrecipitation(const EventPacket& packet);
void SetEnvironmentLoops(const EventPacket& packet);
