// Stand-ins for the dialog tests: a window that records what the dialog does to it, a
// message box presenter that records boxes, a link client that records connects and
// sends, and the reset of the session between tests. Test thread, except where a
// member says otherwise.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "app/dialog_window.h"
#include "app/message_box.h"
#include "link/direct_play.h"
#include "tests/support/recording_message_boxes.h"
#include "tests/support/recording_window.h"

// Send runs the dialog procedure at once, as a front end does on the dialog thread.
class FakeWindow : public RecordingWindow {
 public:
  FakeWindow() { EnableItem(IDC_TEST_TONE, false); }
  std::intptr_t Send(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
};

struct SentPacket {
  std::vector<BYTE> data;
  DWORD timeoutMs;
  DWORD flags;
};

// The client the link creates; the test reaches it through FakeClient::Current().
class FakeClient : public IDirectPlay8Client {
 public:
  HRESULT Initialize(void* userContext, PFNDPNMESSAGEHANDLER handler, DWORD flags) override;
  HRESULT Connect(const DPN_APPLICATION_DESC* applicationDesc, IDirectPlay8Address* hostAddress,
                  IDirectPlay8Address* deviceAddress, const void* securityDesc, const void* credentials,
                  const void* userConnectData, DWORD userConnectDataSize, void* asyncContext,
                  DPNHANDLE* asyncHandle, DWORD flags) override;
  HRESULT Send(const DPN_BUFFER_DESC* buffers, DWORD bufferCount, DWORD timeOutMs, void* asyncContext,
               DPNHANDLE* asyncHandle, DWORD flags) override;

  // Delivers the connect outcome on a worker thread of its own and waits for it.
  void CompleteConnect(HRESULT result);

  static FakeClient* Current();

  HRESULT connectResult = DPNSUCCESS_PENDING;
  int connects = 0;
  std::u16string connectHost;
  std::vector<SentPacket> sent;

 private:
  PFNDPNMESSAGEHANDLER handler_ = nullptr;
  void* userContext_ = nullptr;
};

// Installs a factory making FakeClients, and address objects whose SetSP or
// AddComponent fail as asked, counted in creation order (0 device, 1 host).
void InstallFakeLink(int failingSetSpAddress = -1, int failingComponentAddress = -1);

// Puts the session back as the process starts it, releasing what earlier tests made.
void ResetSession();
// Only the values: stage, flags, switches, players, delayed slots and the log's count
// as the process starts them; the sound manager, the bank, the ship sounds, the link
// and the window stay.
void ResetSessionValues();
// Deletes the ship sounds and every sound the bank loaded, emptying their handles.
void DeleteLoadedSounds();
