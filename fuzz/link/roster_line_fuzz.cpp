// Fuzz target for the roster-line parser: any bytes as the line of a roster notice.
// Must never read past the line, and the text it keeps must be a piece of the line.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "link/roster_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const RosterLine line = ParseRosterLine(text);
  if (line.ivr.empty()) return 0;
  const char* begin = line.ivr.data();
  if (begin != text.data() || line.ivr.size() > text.size() ||
      line.ivr.find(',') != std::string_view::npos) {
    __builtin_trap();
  }
  return 0;
}
