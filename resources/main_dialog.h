// The main dialog's template as data: caption, font, size and the controls in tab
// order, in dialog units (x: a quarter of the font's average character width, y: an
// eighth of its height). Front ends build their windows from it. Constant; any thread.
#pragma once

#include <array>
#include <string_view>

#include "app/dialog_window.h"

enum class ControlKind { PushButton, CheckBox, LogBox };

struct ControlTemplate {
  int id;
  ControlKind kind;
  std::string_view caption;  // '&' marks the mnemonic
  int x;
  int y;
  int width;
  int height;
  bool enabled;  // at open; every check box opens checked
};

struct DialogTemplate {
  std::string_view caption;
  std::string_view fontFamily;
  int fontPoints;
  int width;
  int height;
};

inline constexpr DialogTemplate MAIN_DIALOG{"Sound Module - Varnholt Industries", "MS Shell Dlg", 8, 337,
                                            138};

inline constexpr std::array<ControlTemplate, 9> MAIN_DIALOG_CONTROLS{{
    {IDC_TEST_TONE, ControlKind::PushButton, "&Test Tone", 280, 7, 50, 14, false},
    {IDC_WEAPONS, ControlKind::CheckBox, "Weapons and Explosions", 119, 121, 96, 10, true},
    {IDC_NOTIFICATIONS, ControlKind::CheckBox, "Notifications and Chat", 7, 121, 85, 10, true},
    {IDC_DOCK_ANNOUNCEMENTS, ControlKind::CheckBox, "Dock Announcements", 237, 110, 87, 10, true},
    {IDC_ENVIRONMENTAL, ControlKind::CheckBox, "Environmental Sounds", 119, 110, 87, 10, true},
    {IDC_ONBOARD, ControlKind::CheckBox, "Onboard Effects", 237, 121, 67, 10, true},
    {IDC_END_OF_TRANSMISSION, ControlKind::CheckBox, "End of Transmission", 7, 111, 79, 10, true},
    {IDC_WHODAT, ControlKind::PushButton, "&Whodat?", 280, 27, 50, 14, true},
    {IDC_STATUS_BOX, ControlKind::LogBox, "", 7, 7, 260, 92, true},
}};

// The control with this id, or null.
constexpr const ControlTemplate* FindControl(int id) {
  for (const ControlTemplate& control : MAIN_DIALOG_CONTROLS) {
    if (control.id == id) {
      return &control;
    }
  }
  return nullptr;
}
