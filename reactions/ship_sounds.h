// The own ship's three sounds (cockpit ambience, engine, start-up), chosen by ship type,
// and the reactions that drive them. Link worker threads; the dialog thread reaches the
// ambience through its Onboard Effects box. The handles are SharedSounds, so a transfer
// may replace them while another thread plays or stops them.
#pragma once

#include <cstdint>

struct EventPacket;
class Sound;

// Creates the three sounds of the type and sets cabinDamping. An unknown type or a file
// that cannot be loaded shows "Could not find file!" and ends the dialog with code 2.
void SelectShipSounds(std::uint8_t type);
// Stops and destroys the three sounds and empties their handles.
void ReleaseShipSounds();

// Slot assignment: sounds of the new type, the earlier ones (if any) released first.
void AssignShipSounds(std::uint8_t type);
void TransferToSlot(const EventPacket& packet);
void StartPropulsion(const EventPacket& packet);
void ShutDownPropulsion();
void SetEngineLevel(const EventPacket& packet);
void SetRumbleLevel(const EventPacket& packet);

// Ship types 1 and 6 hear the neutral chime where the others hear this voice phrase.
Sound* VoiceOrChime(Sound* phrase);
