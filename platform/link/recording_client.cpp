#include "platform/link/recording_client.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <utility>

namespace {

constexpr char kHeader[] =
    "# A session recorded by soundmodule --record: every payload the module received,\n"
    "# byte-exact. Times are seconds after the module asked for its configuration;\n"
    "# payloads that came before that go out at the flight's start.\n"
    "configuration:\n"
    "flight:\n";

std::string Hex(const BYTE* bytes, DWORD size) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(size * 2);
  for (DWORD i = 0; i < size; ++i) {
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 0xF];
  }
  return text;
}

std::string Timed(double seconds, const std::string& command) {
  char time[32];
  std::snprintf(time, sizeof time, "@%.3f ", seconds);
  return time + command + "\n";
}

bool WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
    if (written <= 0) {
      return false;
    }
    done += static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace

RecordingClient::RecordingClient(std::unique_ptr<IDirectPlay8Client> client, int fd)
    : client_(std::move(client)), fd_(fd) {}

HRESULT RecordingClient::Initialize(void* userContext, PFNDPNMESSAGEHANDLER handler,
                                    DWORD flags) {
  handler_ = handler;
  userContext_ = userContext;
  return client_->Initialize(this, handler == nullptr ? nullptr : &RecordingClient::OnMessage,
                             flags);
}

HRESULT RecordingClient::Connect(const DPN_APPLICATION_DESC* applicationDesc,
                                 IDirectPlay8Address* hostAddress,
                                 IDirectPlay8Address* deviceAddress, const void* securityDesc,
                                 const void* credentials, const void* userConnectData,
                                 DWORD userConnectDataSize, void* asyncContext,
                                 DPNHANDLE* asyncHandle, DWORD flags) {
  return client_->Connect(applicationDesc, hostAddress, deviceAddress, securityDesc, credentials,
                          userConnectData, userConnectDataSize, asyncContext, asyncHandle, flags);
}

HRESULT RecordingClient::Send(const DPN_BUFFER_DESC* buffers, DWORD bufferCount, DWORD timeOutMs,
                              void* asyncContext, DPNHANDLE* asyncHandle, DWORD flags) {
  {
    std::lock_guard hold(lock_);
    if (!start_) {
      start_ = Clock::now();
    }
  }
  return client_->Send(buffers, bufferCount, timeOutMs, asyncContext, asyncHandle, flags);
}

HRESULT RecordingClient::OnMessage(void* self, DWORD messageId, void* message) {
  auto* recorder = static_cast<RecordingClient*>(self);
  if (messageId == DPN_MSGID_RECEIVE) {
    const auto* receive = static_cast<const DPNMSG_RECEIVE*>(message);
    recorder->WriteLine(Timed(recorder->Now(), "bytes " + Hex(receive->pReceiveData,
                                                               receive->dwReceiveDataSize)));
  } else if (messageId == DPN_MSGID_TERMINATE_SESSION) {
    // Played back, the session stays open as long as it did here.
    recorder->WriteLine(Timed(recorder->Now(), "end"));
  }
  return recorder->handler_(recorder->userContext_, messageId, message);
}

double RecordingClient::Now() const {
  std::lock_guard hold(lock_);
  return start_ ? std::chrono::duration<double>(Clock::now() - *start_).count() : 0.0;
}

void RecordingClient::WriteLine(const std::string& line) {
  std::lock_guard hold(lock_);
  WriteAll(fd_, line);  // a full disk loses the recording, never the session
}

bool RecordLinkTo(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    return false;
  }
  if (!WriteAll(fd, kHeader)) {
    ::close(fd);
    return false;
  }
  SetDirectPlayClientFactory([inner = InstalledDirectPlayClientFactory(), fd] {
    std::unique_ptr<IDirectPlay8Client> client = inner ? inner() : nullptr;
    return client ? std::make_unique<RecordingClient>(std::move(client), fd) : nullptr;
  });
  return true;
}
