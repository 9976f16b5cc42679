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

// Send runs the dialog procedure at once, as a front end does on the dialog thread.
class FakeWindow : public DialogWindow {
 public:
  FakeWindow() { enabled_[IDC_TEST_TONE] = false; }

  void Post(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
  std::intptr_t Send(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
  void End(int code) override;  // any thread

  void SetItemText(int id, const std::string& text) override { texts[id] = text; }
  void ScrollToBottom(int id) override { scrolledToBottom[id] = true; }
  void EnableItem(int id, bool enabled) override { enabled_[id] = enabled; }
  bool IsItemEnabled(int id) const override;
  void CheckItem(int id, bool isChecked) override { checked[id] = isChecked; }
  void FocusItem(int id) override { focus = id; }
  void SetIcons() override { iconsSet = true; }
  void StartTimer(int id, unsigned periodMs) override { timers[id] = periodMs; }
  void StopTimer(int id) override { timers.erase(id); }

  std::vector<int> EndCodes() const;
  std::vector<unsigned> Posts() const;

  std::map<int, std::string> texts;
  std::map<int, bool> scrolledToBottom;
  std::map<int, bool> checked;
  std::map<int, unsigned> timers;
  int focus = 0;
  bool iconsSet = false;

 private:
  mutable std::mutex mutex_;
  std::vector<int> endCodes_;
  std::vector<unsigned> posts_;
  std::map<int, bool> enabled_;
};

struct ShownBox {
  HWND owner;
  std::string text;
  std::string title;
  unsigned type;
};

// Installs itself for its lifetime; any thread may show a box.
class RecordingBoxes : public MessageBoxPresenter {
 public:
  RecordingBoxes() { SetMessageBoxPresenter(this); }
  ~RecordingBoxes() override { SetMessageBoxPresenter(nullptr); }
  int Show(HWND owner, std::string_view text, std::string_view title, unsigned type) override;
  std::vector<ShownBox> Boxes() const;

 private:
  mutable std::mutex mutex_;
  std::vector<ShownBox> boxes_;
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
