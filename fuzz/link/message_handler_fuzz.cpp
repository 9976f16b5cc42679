// Fuzz target for the message handler with the module running: the bytes are a script
// of what the link and the dialog do. Each step's first byte chooses it: a payload of
// one of the four packet sizes, a payload of any size up to 255 bytes, a timer tick, a
// connect outcome, the end of the session, or a click on a control. The bank, the ship
// sounds and eight active players are in place before every input.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "app/main_dialog.h"
#include "app/startup_sequence.h"
#include "link/direct_play.h"
#include "link/link_messages.h"
#include "link/packet_handlers.h"
#include "link/message_dispatch.h"
#include "tests/support/module_stage.h"

namespace {

constexpr int kPlayers = 8;
constexpr std::size_t kPacketSizes[] = {PLAYER_STATE_PACKET_SIZE, EVENT_PACKET_SIZE, WEAPON_PACKET_SIZE,
                                  NOTIFICATION_PACKET_SIZE};
constexpr unsigned kControls[] = {IDOK, IDCANCEL, IDC_TEST_TONE, IDC_WHODAT, 1020, 1021, 1022,
                                  1023, 1024, 1025, 1026};

class Script {
 public:
  explicit Script(std::span<const std::uint8_t> bytes) : rest_(bytes) {}
  bool Done() const { return rest_.empty(); }
  std::uint8_t Byte() {
    if (rest_.empty()) return 0;
    const std::uint8_t value = rest_.front();
    rest_ = rest_.subspan(1);
    return value;
  }
  // The next `size` bytes, zeros past the end of the input.
  std::vector<std::uint8_t> Bytes(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    const std::size_t taken = std::min(size, rest_.size());
    std::copy_n(rest_.begin(), taken, bytes.begin());
    rest_ = rest_.subspan(taken);
    return bytes;
  }

 private:
  std::span<const std::uint8_t> rest_;
};

void Receive(std::vector<std::uint8_t> payload) {
  DPNMSG_RECEIVE message;
  message.pReceiveData = payload.data();
  message.dwReceiveDataSize = static_cast<DWORD>(payload.size());
  LinkMessageHandler(nullptr, DPN_MSGID_RECEIVE, &message);
}

void ConnectComplete(std::uint8_t result) {
  DPNMSG_CONNECT_COMPLETE message;
  message.hResultCode = result == 0 ? S_OK : DPNERR_HOSTREJECTEDCONNECTION;
  LinkMessageHandler(nullptr, DPN_MSGID_CONNECT_COMPLETE, &message);
}

void Step(Script& script, HWND window) {
  const std::uint8_t action = script.Byte() % 9;
  switch (action) {
    case 0: case 1: case 2: case 3:
      Receive(script.Bytes(kPacketSizes[action]));
      break;
    case 4:
      Receive(script.Bytes(script.Byte()));
      break;
    case 5:
      TimerTick(window);
      break;
    case 6:
      ConnectComplete(script.Byte());
      break;
    case 7:
      LinkMessageHandler(nullptr, DPN_MSGID_TERMINATE_SESSION, nullptr);
      break;
    default:
      DialogProc(window, WM_COMMAND, kControls[script.Byte() % std::size(kControls)], 0);
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static ModuleStage stage;
  stage.Ready(kPlayers);
  Script script(std::span<const std::uint8_t>(data, size));
  while (!script.Done()) {
    Step(script, stage.Window());
  }
  return 0;
}
