#include "bench/support/link_connect.h"

#include <chrono>

#include "link/direct_play.h"

void StartConnect(IDirectPlay8Client& client, std::uint16_t port) {
  IDirectPlay8Address address;
  address.SetSP(&CLSID_DP8SP_TCPIP);
  address.AddComponent(DPNA_KEY_HOSTNAME, u"127.0.0.1", 20, DPNA_DATATYPE_STRING);
  const DWORD portValue = port;
  address.AddComponent(DPNA_KEY_PORT, &portValue, sizeof portValue, DPNA_DATATYPE_DWORD);
  DPN_APPLICATION_DESC description;
  description.dwSize = DPN_APPLICATION_DESC_SIZE;
  description.guidApplication = APPLICATION_GUID;
  client.Connect(&description, &address, nullptr, nullptr, nullptr, nullptr, 0, nullptr, nullptr, 0);
}

bool ConnectToHost(IDirectPlay8Client& client, SessionHost& host) {
  StartConnect(client, host.Port());
  return host.Accept(std::chrono::seconds(5)) == AcceptOutcome::kAccepted;
}
