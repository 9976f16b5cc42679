#include "app/startup_sequence.h"

#include <unistd.h>

#include <bit>
#include <cstdio>

#include "app/message_box.h"
#include "app/regular_file.h"
#include "app/session_state.h"
#include "audio/sound_bank.h"
#include "link/configuration_request.h"
#include "link/link_session.h"
#include "reactions/lost_loops.h"
#include "reactions/periodic_update.h"

static_assert(std::endian::native == std::endian::little, "universe.dat holds a little-endian float");

namespace {

void NameHost() { session.g_wszHostName = u"127.0.0.1"; }

// A short file is no error: the bytes that could be read replace those of the old value.
void ReadRotationRate(std::FILE* file) {
  float rate = session.planetRotationRate;
  if (std::fseek(file, UNIVERSE_ROTATION_OFFSET, SEEK_SET) == 0) {
    // The file is little-endian, like this machine. The count read is not needed (a short
    // file is no error), but glibc's fortified fread insists that it is taken.
    [[maybe_unused]] const std::size_t bytesRead = std::fread(&rate, 1, sizeof rate, file);
  }
  session.planetRotationRate = rate;
}

std::FILE* OpenUniverseFile() {
  std::uint64_t size = 0;
  const int descriptor = OpenRegularFile("universe.dat", &size);
  if (descriptor < 0) return nullptr;
  std::FILE* file = ::fdopen(descriptor, "rb");
  if (file == nullptr) ::close(descriptor);
  return file;
}

void LoadUniverseData(HWND window) {
  LogStatus(window, "Loading barycentrics data...");
  std::FILE* file = OpenUniverseFile();
  if (file == nullptr) {
    LogStatus(window, "Fatal: Failed to open \"universe.dat\"!");
    window->Send(WM_CLOSE, 0, 0);
    return;
  }
  ReadRotationRate(file);
  std::fclose(file);
}

// Each link step reports its own failure; a failure does not skip the later steps.
void RunLinkStep(HWND window, HRESULT (*step)(), const char* failureText) {
  if (Failed(step())) {
    ShowMessageBox(window, failureText, "Fatal Error!", MB_ICONERROR);
    window->Send(WM_CLOSE, 0, 0);
  }
}

void StartConnection(HWND window) {
  LogStatus(window, "Connecting to client...");
  RunLinkStep(window, CreateDeviceAddress, "Failed on CreateDeviceAddress, please report this error.");
  RunLinkStep(window, EnumDirectPlayHosts, "Failed on EnumDirectPlayHosts, please report this error.");
  RunLinkStep(window, ConnectToSession, "Failed on ConnectToSession, please report this error.");
}

void RequestConfiguration(HWND window) {
  LogStatus(window, "Connected, getting configuration...");
  const EventPayload request = ConfigurationRequest();
  SendPacket(request.data(), static_cast<DWORD>(request.size()), true, 0);
}

void LoadSounds(HWND window) {
  LogStatus(window, "Loading sound files...");
  if (!LoadSoundBank(window)) {
    window->End(2);
    return;
  }
  session.soundsReady = 1;
  window->EnableItem(IDC_TEST_TONE, true);
}

void AwaitReady(HWND window) {
  if (session.configurationComplete == 0 || session.soundsReady == 0) {
    return;
  }
  LogStatus(window, "Ready!");
  session.startupStage = STAGE_RUNNING;
}

// One step for the current stage. The stage moves on before a step that waits for the
// link, so a completion arriving meanwhile on a worker thread is not lost.
void StartupStep(HWND window) {
  switch (session.startupStage.load()) {
    case 0:
      NameHost();
      session.startupStage = 1;
      break;
    case 1:
      LoadUniverseData(window);
      session.startupStage = 2;
      break;
    case 2:
      session.startupStage = STAGE_CONNECTING;
      StartConnection(window);
      break;
    case STAGE_CONNECTED:
      session.startupStage = 5;
      RequestConfiguration(window);
      break;
    case 5:
      session.startupStage = 6;
      LoadSounds(window);
      break;
    case 6:
      AwaitReady(window);
      break;
    default:
      break;  // waiting for the connection, or running
  }
}

}  // namespace

void TimerTick(HWND window) {
  StartupStep(window);
  if (session.startupStage >= STAGE_RUNNING) {
    PeriodicUpdate(window);
    ResumeLostLoops();
  }
}
