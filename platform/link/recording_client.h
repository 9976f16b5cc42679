// A link client that records the session as it passes through: every payload received,
// byte-exact, with its time, written as a console-sim scenario that plays the session back.
// Wraps whichever client the platform installed. Times count from the module's first send
// (its configuration request), which is when console-sim starts a flight; payloads that
// came before it go out at the flight's start. The handler is called on the wrapped
// client's workers, Send on the dialog thread; each line goes to the file with one write
// under a lock, so a session that ends any way leaves a complete scenario behind.
#pragma once

#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "link/direct_play.h"

class RecordingClient final : public IDirectPlay8Client {
 public:
  // Writes to `fd`, which stays open for the rest of the process.
  RecordingClient(std::unique_ptr<IDirectPlay8Client> client, int fd);
  RecordingClient(const RecordingClient&) = delete;
  RecordingClient& operator=(const RecordingClient&) = delete;

  HRESULT Initialize(void* userContext, PFNDPNMESSAGEHANDLER handler, DWORD flags) override;
  HRESULT Connect(const DPN_APPLICATION_DESC* applicationDesc, IDirectPlay8Address* hostAddress,
                  IDirectPlay8Address* deviceAddress, const void* securityDesc,
                  const void* credentials, const void* userConnectData,
                  DWORD userConnectDataSize, void* asyncContext, DPNHANDLE* asyncHandle,
                  DWORD flags) override;
  HRESULT Send(const DPN_BUFFER_DESC* buffers, DWORD bufferCount, DWORD timeOutMs,
               void* asyncContext, DPNHANDLE* asyncHandle, DWORD flags) override;

 private:
  using Clock = std::chrono::steady_clock;

  static HRESULT OnMessage(void* self, DWORD messageId, void* message);
  // The scenario time of now: seconds since the first send, 0 before it.
  double Now() const;
  void WriteLine(const std::string& line);

  std::unique_ptr<IDirectPlay8Client> client_;
  const int fd_;
  PFNDPNMESSAGEHANDLER handler_ = nullptr;
  void* userContext_ = nullptr;
  mutable std::mutex lock_;
  std::optional<Clock::time_point> start_;  // under lock_
};

// Installs a client factory that wraps the current one in a recorder writing to `path`;
// false (nothing changed) when the file cannot be written. Main thread, before
// InitDirectPlay.
bool RecordLinkTo(const std::string& path);
