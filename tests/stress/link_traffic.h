// The Console Client's traffic for the soak: every kind of packet the module takes,
// built for a player slot and a frame number, and handed to the message handler as the
// link's worker threads hand it. Any thread.
#pragma once

#include <cstdint>

namespace soak {

// One player's state: moving around the planet, in free flight.
void SendPlayerState(int slot, std::uint64_t frame);
// A rotating choice of events that neither close the dialog nor assign the slot:
// dock state, configuration, lights and gear, rain, death and the ship events.
void SendEvent(int slot, std::uint64_t frame);
// A launch or an explosion, launcher and target among the players.
void SendWeapon(int slot, std::uint64_t frame);
// A chat, a cargo notice or a roster line for the slot.
void SendNotification(int slot, std::uint64_t frame);
// Lightning far away: its thunder waits half a minute in the delayed-sound queue.
void SendDistantLightning(std::uint64_t frame);
// The slot assigned again, or a transfer, to one of the ship types with sounds.
void SendShipChange(std::uint64_t count);

}  // namespace soak
