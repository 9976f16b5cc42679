#include "platform/soundmodule/display_check.h"

#include <cstdlib>

namespace {
bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}
}  // namespace

bool DisplayAvailable() { return IsSet("QT_QPA_PLATFORM") || IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY"); }
