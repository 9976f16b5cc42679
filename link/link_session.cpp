#include "link/link_session.h"

#include "app/message_box.h"
#include "app/process_end.h"
#include "app/session_state.h"
#include "link/direct_play.h"
#include "link/message_dispatch.h"

IDirectPlay8Client* g_pDPClient = nullptr;
IDirectPlay8Address* g_pDeviceAddress = nullptr;
IDirectPlay8Address* g_pHostAddress = nullptr;
void (*linkProcessExit)(int code) = EndProcess;

namespace {

constexpr const char* kCommunicationError = "Communication Error!";
constexpr const char* kFatalError = "Fatal Error!";

constexpr int CONNECT_FAILED_DIALOG_CODE = 2;

void ShowLinkBox(const char* text, const char* title, unsigned icon) {
  ShowMessageBox(session.dialogWindow, text, title, icon);
}

void ShowCommunicationError(const char* text) {
  ShowLinkBox(text, kCommunicationError, MB_ICONWARNING);
}

// Creates an address with the TCP/IP service provider into `address`; the object stays
// there even when setting the provider fails.
HRESULT CreateTcpAddress(IDirectPlay8Address*& address) {
  HRESULT status = CoCreateInstance(CLSID_DirectPlay8Address, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IDirectPlay8Address, &address);
  if (Failed(status)) {
    ShowCommunicationError(
        "Failed to co-create the IDirectPlay8Address instance, please report this error.");
    return status;
  }
  status = address->SetSP(&CLSID_DP8SP_TCPIP);
  if (Failed(status)) {
    ShowCommunicationError("Failed setting the service provider, please report this error.");
  }
  return status;
}

// The size of a zero-terminated wide string with its terminator; 0 for none, which
// the address then refuses.
DWORD WideStringBytes(const char16_t* text) {
  if (text == nullptr) {
    return 0;
  }
  DWORD characters = 0;
  while (text[characters] != u'\0') {
    ++characters;
  }
  return (characters + 1) * static_cast<DWORD>(sizeof(char16_t));
}

DPN_APPLICATION_DESC SessionDescription() {
  DPN_APPLICATION_DESC description;
  description.dwSize = DPN_APPLICATION_DESC_SIZE;
  description.dwFlags = DPNSESSION_NODPNSVR;
  description.guidApplication = APPLICATION_GUID;
  return description;
}

// Without a client there is nothing to call; the step fails as a refused call would.
HRESULT CallConnect() {
  if (g_pDPClient == nullptr) {
    return DPNERR_UNINITIALIZED;
  }
  const DPN_APPLICATION_DESC description = SessionDescription();
  DPNHANDLE asyncHandle = 0;
  return g_pDPClient->Connect(&description, g_pHostAddress, g_pDeviceAddress, nullptr, nullptr,
                              nullptr, 0, nullptr, &asyncHandle, 0);
}

HRESULT CallSend(const void* data, DWORD size, bool guaranteed, DWORD timeoutMs) {
  if (g_pDPClient == nullptr) {
    return DPNERR_UNINITIALIZED;
  }
  DPN_BUFFER_DESC buffer;
  buffer.dwBufferSize = size;
  buffer.pBufferData = static_cast<const BYTE*>(data);
  const DWORD flags = guaranteed ? DPNSEND_GUARANTEED | DPNSEND_NOLOOPBACK
                                 : DPNSEND_NOCOMPLETE | DPNSEND_NOLOOPBACK;
  DPNHANDLE asyncHandle = 0;
  return g_pDPClient->Send(&buffer, 1, timeoutMs, nullptr, &asyncHandle, flags);
}

}  // namespace

HRESULT InitDirectPlay() {
  HRESULT status = CoCreateInstance(CLSID_DirectPlay8Client, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IDirectPlay8Client, &g_pDPClient);
  if (Failed(status)) {
    ShowCommunicationError(
        "Failed co-creating the first IDirectPlay8Client instance, please report this error.");
    return status;
  }
  status = g_pDPClient->Initialize(nullptr, LinkMessageHandler, 0);
  if (Failed(status)) {
    ShowCommunicationError("Failed on Initialize g_pDPClient, please report this error.");
  }
  return status;
}

HRESULT CreateDeviceAddress() { return CreateTcpAddress(g_pDeviceAddress); }

HRESULT EnumDirectPlayHosts() {
  const HRESULT status = CreateHostAddress(session.g_wszHostName.c_str());
  if (Failed(status)) {
    ShowCommunicationError("Failed to create host address, please report this error.");
  }
  return status;
}

HRESULT CreateHostAddress(const char16_t* hostName) {
  HRESULT status = CreateTcpAddress(g_pHostAddress);
  if (Failed(status)) {
    return status;
  }
  status = g_pHostAddress->AddComponent(DPNA_KEY_HOSTNAME, hostName, WideStringBytes(hostName),
                                        DPNA_DATATYPE_STRING);
  if (Failed(status)) {
    ShowCommunicationError("Failed adding host name to host address, please report this error.");
    return status;
  }
  const DWORD port = LINK_PORT;
  status = g_pHostAddress->AddComponent(DPNA_KEY_PORT, &port, sizeof port, DPNA_DATATYPE_DWORD);
  if (Failed(status)) {
    ShowCommunicationError("Failed adding port to host address, please report this error.");
  }
  return status;
}

HRESULT ConnectToSession() {
  const HRESULT status = CallConnect();
  if (status == S_OK || status == DPNSUCCESS_PENDING) {
    return S_OK;
  }
  ShowLinkBox("Failed on g_pDPClient->Connect, please report this error.", kFatalError,
              MB_ICONERROR);
  if (HWND dialog = session.dialogWindow) {
    dialog->End(CONNECT_FAILED_DIALOG_CODE);
  }
  return Failed(status) ? status : E_FAIL;
}

HRESULT SendPacket(const void* data, DWORD size, bool guaranteed, DWORD timeoutMs) {
  const HRESULT status = CallSend(data, size, guaranteed, timeoutMs);
  if (Failed(status)) {
    ShowCommunicationError("Failed sending data on SendPacket, please report this error.");
    linkProcessExit(0);
  }
  return status;
}

void ReleaseLinkObjects() {
  delete g_pDPClient;
  delete g_pDeviceAddress;
  delete g_pHostAddress;
  g_pDPClient = nullptr;
  g_pDeviceAddress = nullptr;
  g_pHostAddress = nullptr;
}
