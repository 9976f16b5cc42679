#include "reactions/whodat_lines.h"

#include <cstring>
#include <mutex>

#include "app/session_state.h"

namespace {

// The tick length the loop's smoothing assumes, in seconds.
constexpr double kTickSeconds = 0.25;

struct SlotLabel {
  int ref;
  int type;
  char ivr[IVR_CHARS + 1];
};

SlotLabel LabelOf(int index) {
  PlayerSlot& slot = session.players[index];
  std::scoped_lock lock(slot.lock);
  SlotLabel label{slot.ref, slot.type, {}};
  std::memcpy(label.ivr, slot.ivr, sizeof label.ivr);
  return label;
}

void LogShipLines(HWND window, const NearestShip& ship) {
  const SlotLabel our = LabelOf(ship.ownSlot);
  const SlotLabel closest = LabelOf(ship.slot);
  LogStatusFormat(window, "slts our %i clo %i @ %.3f (ing %.1f)", ship.ownSlot, ship.slot,
                  static_cast<double>(ship.distance), static_cast<double>(ship.dopplerFactor));
  LogStatusFormat(window, "refs our %i clo %i / typs our %i clo %i", our.ref, closest.ref, our.type,
                  closest.type);
  LogStatusFormat(window, "IVRs our %s clo %s (ET %.3f)", our.ivr, closest.ivr, kTickSeconds);
}

}  // namespace

void LogWhodatLines(HWND window, const NearestShip& ship, const DopplerTarget& target) {
  if (ship.slot < 0) {
    LogStatus(window, "No target found...");
  } else {
    LogShipLines(window, ship);
  }
  LogStatusFormat(window, "vols new %.1f old %.1f / frqs new %.1f old %.1f", static_cast<double>(target.volume),
                  static_cast<double>(session.lastDopplerVolume), static_cast<double>(target.frequency),
                  static_cast<double>(session.lastDopplerFrequency));
  session.whodatRequested = 0;
}
