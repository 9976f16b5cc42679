#include "link/message_dispatch.h"

#include <algorithm>

#include "app/main_dialog.h"
#include "app/message_box.h"
#include "app/session_state.h"
#include "link/link_messages.h"
#include "link/packet_handlers.h"
#include "link/notification_packet.h"
#include "link/player_state_packet.h"
#include "reactions/event_packet.h"
#include "reactions/weapon_packet.h"

PacketHandlers packetHandlers{HandlePlayerStatePacket, HandleEventPacket, HandleWeaponPacket,
                              HandleNotificationPacket};

namespace {

constexpr const char* kCheckConnectionText =
    "Failed on ConnectToSession.\n\nPlease verify your Console Client program is running and is "
    "currently\nconnected to the Varnholt Industries server and try again.";

void OnConnectComplete(const DPNMSG_CONNECT_COMPLETE& message) {
  if (message.hResultCode == 0) {
    ++session.startupStage;
    return;
  }
  HWND dialog = session.dialogWindow;
  ShowMessageBox(dialog, kCheckConnectionText, "Check Connection", MB_ICONERROR);
  if (dialog != nullptr) {
    dialog->End(3);
  }
}

// Copies the payload so the handler owns its bytes after the transport frees them.
template <std::size_t N>
void Deliver(void (*handler)(const std::array<std::uint8_t, N>&), const BYTE* data) {
  if (handler == nullptr) {
    return;
  }
  std::array<std::uint8_t, N> copy;
  std::copy_n(data, N, copy.begin());
  handler(copy);
}

void OnReceive(const DPNMSG_RECEIVE& message) {
  const PacketHandlers handlers = packetHandlers;
  switch (message.dwReceiveDataSize) {
    case PLAYER_STATE_PACKET_SIZE:
      Deliver(handlers.playerState, message.pReceiveData);
      break;
    case EVENT_PACKET_SIZE:
      Deliver(handlers.event, message.pReceiveData);
      break;
    case WEAPON_PACKET_SIZE:
      Deliver(handlers.weapon, message.pReceiveData);
      break;
    case NOTIFICATION_PACKET_SIZE:
      Deliver(handlers.notification, message.pReceiveData);
      break;
    default:
      break;  // no packet has this size
  }
}

}  // namespace

HRESULT LinkMessageHandler(void* /*userContext*/, DWORD messageId, void* message) {
  switch (messageId) {
    case DPN_MSGID_CONNECT_COMPLETE:
      OnConnectComplete(*static_cast<const DPNMSG_CONNECT_COMPLETE*>(message));
      break;
    case DPN_MSGID_RECEIVE:
      OnReceive(*static_cast<const DPNMSG_RECEIVE*>(message));
      break;
    case DPN_MSGID_TERMINATE_SESSION:
      RequestDialogClose();
      break;
    default:
      break;
  }
  return DPN_OK;
}
