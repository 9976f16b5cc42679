// Reading a roster line: comma-separated fields, of which the module keeps the first
// (the player's ivr), the third (the ship type) and the eighth (the object id). Pure;
// any thread.
#pragma once

#include <cstdint>
#include <string_view>

struct RosterLine {
  // Fields the line stopped before keep these values.
  std::string_view ivr;
  std::uint32_t shipType = 0;
  std::uint32_t objectId = 0;
};

// Reading stops at the first field that does not have its form: a text field takes at
// least one character up to the next comma; a number field skips blanks and takes an
// optional sign and digits. Numbers wrap in 32 bits, a minus sign included.
RosterLine ParseRosterLine(std::string_view text);
