// The nearest other ship in free flight, whose sound the Doppler loop carries, and how
// fast it closes in. Dialog thread (the periodic update).
#pragma once

#include <limits>

struct NearestShip {
  int ownSlot = 0;  // the own slot the search was made for
  int slot = -1;    // -1: none found
  float distance = std::numeric_limits<float>::max();  // km
  // 1 when the distance stays the same; +1 for each SPEED_OF_SOUND of closing speed.
  float dopplerFactor = 1.0f;
  // How much the distance lowers the loop's volume: 0 at the ground, toward 1 high up;
  // 1 while the own ship moves in another frame.
  float distanceFade = 1.0f;
};

// Searches only while the own slot's motion is planet-centred (ref below 0). Ships of
// types 10 to 19 and ships not in free flight (ref other than -1) are never taken; of
// equal distances the lowest slot number stays.
NearestShip FindNearestShip();
