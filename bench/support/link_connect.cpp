#include "bench/support/link_connect.h"

#include <chrono>

#include "link/direct_play.h"

bool ConnectToHost(TcpLinkClient& client, LinkHost& host) {
  IDirectPlay8Address address;
  address.SetSP(&CLSID_DP8SP_TCPIP);
  address.AddComponent(DPNA_KEY_HOSTNAME, u"127.0.0.1", 20, DPNA_DATATYPE_STRING);
  const DWORD port = host.Port();
  address.AddComponent(DPNA_KEY_PORT, &port, sizeof port, DPNA_DATATYPE_DWORD);
  DPN_APPLICATION_DESC description;
  description.dwSize = DPN_APPLICATION_DESC_SIZE;
  description.guidApplication = APPLICATION_GUID;
  client.Connect(&description, &address, nullptr, nullptr, nullptr, nullptr, 0, nullptr, nullptr, 0);
  return host.Accept(std::chrono::seconds(5)) == AcceptOutcome::kAccepted;
}
