// Test support for the TCP link: a message handler that records what the client
// delivers (called on the client's worker threads), and host addresses for a port.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "link/direct_play.h"

class LinkRecorder {
 public:
  // Pass this as the handler with the recorder as the user context.
  static HRESULT Handle(void* context, DWORD messageId, void* message) {
    static_cast<LinkRecorder*>(context)->Record(messageId, message);
    return DPN_OK;
  }

  // Waits until at least `count` connect outcomes / payloads / terminations came.
  bool WaitForConnects(std::size_t count) {
    return Wait([&] { return connects_.size() >= count; });
  }
  bool WaitForData(std::size_t count) {
    return Wait([&] { return data_.size() >= count; });
  }
  bool WaitForTerminates(std::size_t count) {
    return Wait([&] { return terminates_.size() >= count; });
  }

  std::vector<HRESULT> Connects() const { return Locked(connects_); }
  std::vector<std::vector<std::uint8_t>> Data() const { return Locked(data_); }
  std::vector<HRESULT> Terminates() const { return Locked(terminates_); }

 private:
  void Record(DWORD messageId, void* message) {
    std::lock_guard hold(mutex_);
    if (messageId == DPN_MSGID_CONNECT_COMPLETE) {
      connects_.push_back(static_cast<DPNMSG_CONNECT_COMPLETE*>(message)->hResultCode);
    } else if (messageId == DPN_MSGID_RECEIVE) {
      const auto* receive = static_cast<DPNMSG_RECEIVE*>(message);
      data_.emplace_back(receive->pReceiveData,
                         receive->pReceiveData + receive->dwReceiveDataSize);
    } else if (messageId == DPN_MSGID_TERMINATE_SESSION) {
      terminates_.push_back(static_cast<DPNMSG_TERMINATE_SESSION*>(message)->hResultCode);
    }
    changed_.notify_all();
  }

  template <typename Predicate>
  bool Wait(Predicate ready) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(20), ready);
  }

  template <typename T>
  T Locked(const T& value) const {
    std::lock_guard hold(mutex_);
    return value;
  }

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<HRESULT> connects_;
  std::vector<std::vector<std::uint8_t>> data_;
  std::vector<HRESULT> terminates_;
};

inline IDirectPlay8Address HostAddress(std::uint16_t port, const char16_t* host = u"127.0.0.1") {
  IDirectPlay8Address address;
  address.SetSP(&CLSID_DP8SP_TCPIP);
  std::u16string_view name(host);
  address.AddComponent(DPNA_KEY_HOSTNAME, host,
                       static_cast<DWORD>((name.size() + 1) * sizeof(char16_t)),
                       DPNA_DATATYPE_STRING);
  const DWORD value = port;
  address.AddComponent(DPNA_KEY_PORT, &value, sizeof value, DPNA_DATATYPE_DWORD);
  return address;
}

inline DPN_APPLICATION_DESC SessionDescription(const GUID& application = APPLICATION_GUID) {
  DPN_APPLICATION_DESC description;
  description.dwSize = DPN_APPLICATION_DESC_SIZE;
  description.dwFlags = DPNSESSION_NODPNSVR;
  description.guidApplication = application;
  return description;
}
