#include "app/main_dialog.h"

#include <new>
#include <span>
#include <thread>

#include "app/message_box.h"
#include "app/process_end.h"
#include "app/session_state.h"
#include "app/startup_sequence.h"
#include "audio/direct_sound.h"
#include "audio/sound.h"
#include "audio/sound_actions.h"
#include "audio/sound_manager.h"

namespace {

void SleepFor(std::chrono::milliseconds duration) { std::this_thread::sleep_for(duration); }

ProcessExit processExit = EndProcess;
ClosePause closePause = SleepFor;

constexpr int kCheckBoxes[] = {IDC_WEAPONS,       IDC_NOTIFICATIONS, IDC_DOCK_ANNOUNCEMENTS,
                               IDC_ENVIRONMENTAL, IDC_ONBOARD,       IDC_END_OF_TRANSMISSION};

// The user's close, and every WM_CLOSE sent by the start-up sequence or the link.
void ClosePath(HWND window) {
  window->StopTimer(DIALOG_TIMER_ID);
  LogStatus(window, "Closing connection...");
  closePause(CLOSE_PAUSE);
  window->End(IDCANCEL);
}

void PlayTestTone(HWND window) {
  PlayOnce(session.bank.testTone);
  window->EnableItem(IDC_TEST_TONE, false);
}

void RequestWhodat(HWND) { session.whodatRequested = 1; }
void FlipWeapons(HWND) { FlipSwitch(session.weaponsSwitch); }
void FlipNotifications(HWND) { FlipSwitch(session.notificationsSwitch); }
void FlipEndOfTransmission(HWND) { FlipSwitch(session.endOfTransmissionSwitch); }

void FlipDockAnnouncements(HWND) {
  FlipSwitch(session.dockAnnouncementsSwitch);
  if (session.dockAnnouncementsSwitch != 0 || session.soundsReady == 0) {
    return;
  }
  const SoundBank& bank = session.bank;
  StopSounds(bank.dockAnnouncements);
  StopSound(bank.dockEvacAnnouncement);
  StopSound(bank.dockChime);
}

void FlipEnvironmental(HWND) {
  FlipSwitch(session.environmentalSwitch);
  if (session.environmentalSwitch != 0 || session.soundsReady == 0) {
    return;
  }
  const SoundBank& bank = session.bank;
  StopSounds(bank.thunderSounds);
  StopSound(bank.miningLoop);
  StopSound(bank.waveLoop);
}

// Turning the cabin sounds back on while the engines run restarts the ambience loop.
void FlipOnboard(HWND) {
  FlipSwitch(session.onboardSwitch);
  const std::shared_ptr<Sound> ambience = session.cockpitAmbience.Get();
  if (ambience == nullptr) {
    return;
  }
  if (session.onboardSwitch != 0 && session.propulsionOn != 0) {
    PlayLooping(ambience.get(), 0, -1);
  } else {
    StopSound(ambience.get());
  }
}

struct Command {
  int id;
  void (*action)(HWND window);
};

constexpr Command kCommands[] = {
    {IDCANCEL, ClosePath},
    {IDC_TEST_TONE, PlayTestTone},
    {IDC_WHODAT, RequestWhodat},
    {IDC_WEAPONS, FlipWeapons},
    {IDC_NOTIFICATIONS, FlipNotifications},
    {IDC_DOCK_ANNOUNCEMENTS, FlipDockAnnouncements},
    {IDC_ENVIRONMENTAL, FlipEnvironmental},
    {IDC_ONBOARD, FlipOnboard},
    {IDC_END_OF_TRANSMISSION, FlipEndOfTransmission},
};

// The control id is the low word of wParam; the notification code is not looked at.
bool OnCommand(HWND window, std::uintptr_t wParam) {
  const int id = static_cast<int>(wParam & 0xFFFFu);
  for (const Command& command : kCommands) {
    if (command.id == id) {
      command.action(window);
      return true;
    }
  }
  return false;
}

}  // namespace

void RequestDialogClose() {
  if (HWND dialog = session.dialogWindow) {
    dialog->Send(WM_CLOSE, 0, 0);
  }
}

void SetProcessExit(ProcessExit exitProcess) { processExit = exitProcess; }
void SetClosePause(ClosePause pause) { closePause = pause; }

void InitDialog(HWND window) {
  window->SetIcons();
  auto* manager = new (std::nothrow) SoundManager();
  session.soundManager = manager;
  if (manager == nullptr) {
    window->End(3);
    return;
  }
  if (Failed(manager->Init(window, DSSCL_NORMAL))) {
    ShowMessageBox(window, "Error initializing DirectSound.  Sample will now exit.", "DirectSound Sample",
                   MB_ICONERROR);
    window->End(3);
    return;
  }
  for (int id : kCheckBoxes) {
    window->CheckItem(id, true);
  }
  window->FocusItem(IDC_TEST_TONE);
  window->StartTimer(DIALOG_TIMER_ID, DIALOG_TIMER_PERIOD_MS);
}

std::intptr_t DialogProc(HWND window, unsigned message, std::uintptr_t wParam, std::intptr_t /*lParam*/) {
  switch (message) {
    case WM_INITDIALOG:
      session.dialogWindow = window;
      InitDialog(window);
      return 1;
    case WM_COMMAND:
      return OnCommand(window, wParam) ? 1 : 0;
    case WM_CLOSE:
      OnCommand(window, IDCANCEL);
      return 1;
    case WM_TIMER:
      TimerTick(window);
      return 1;
    case WM_APP:
      RefreshStatusBox(window);
      return 1;
    case WM_DESTROY:
      // Lines logged from now on are kept without notifying a window that is gone.
      session.dialogWindow = nullptr;
      processExit(0);
      return 1;
    default:
      return 0;
  }
}
