// The rain loops: the precipitation intensity as heard, following the weather while the
// own ship is low in the air, louder and higher with the speed through it. Dialog thread
// (the periodic update).
#pragma once

// Moves precipitationLevel toward its target, plays the loop of its band and stops the
// others when the band changes; "Environmental Sounds" off silences them all.
void UpdatePrecipitationLoops();
