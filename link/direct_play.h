// The client side of the link as the module sees it: a DirectPlay8-like client, the
// address objects, and the creation stand-in that hands out whatever client the
// platform installed. The module calls these on the main and dialog threads; a
// client calls the registered handler on its own worker threads.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/platform_types.h"
#include "link/link_messages.h"

constexpr GUID CLSID_DirectPlay8Client{
    0x743F1DC6, 0x5ABA, 0x429F, {0x8B, 0xDF, 0xC5, 0x4D, 0x03, 0x25, 0x3D, 0xC2}};
constexpr GUID IID_IDirectPlay8Client{
    0x5102DACD, 0x241B, 0x11D3, {0xAE, 0xA7, 0x00, 0x60, 0x97, 0xB0, 0x14, 0x11}};
constexpr GUID CLSID_DirectPlay8Address{
    0x934A9523, 0xA3CA, 0x4BC5, {0xAD, 0xA0, 0xD6, 0xD9, 0x5D, 0x97, 0x94, 0x21}};
constexpr GUID IID_IDirectPlay8Address{
    0x83783300, 0x4063, 0x4C8A, {0x9D, 0xB3, 0x82, 0x83, 0x0A, 0x7F, 0xEB, 0x31}};
constexpr GUID CLSID_DP8SP_TCPIP{
    0xEBFE7BA0, 0x628D, 0x11D2, {0xAE, 0x0F, 0x00, 0x60, 0x97, 0xB0, 0x14, 0x11}};
// The Console Client's session.
constexpr GUID APPLICATION_GUID{
    0x2AD4CA3B, 0xAC68, 0x4D9B, {0x95, 0x22, 0xBE, 0x59, 0xCD, 0x48, 0x52, 0x76}};

constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;

// Statuses of the link, in its own facility.
constexpr HRESULT DPNSUCCESS_PENDING = 0x0015800E;
constexpr HRESULT DPNERR_CONNECTIONLOST = static_cast<HRESULT>(0x80158180u);
constexpr HRESULT DPNERR_HOSTREJECTEDCONNECTION = static_cast<HRESULT>(0x80158260u);
constexpr HRESULT DPNERR_INVALIDHOSTADDRESS = static_cast<HRESULT>(0x80158420u);
constexpr HRESULT DPNERR_INVALIDPARAM = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT DPNERR_NOCONNECTION = static_cast<HRESULT>(0x80158200u);
constexpr HRESULT DPNERR_TIMEDOUT = static_cast<HRESULT>(0x801584A0u);
constexpr HRESULT DPNERR_UNINITIALIZED = static_cast<HRESULT>(0x80158580u);
constexpr HRESULT DPNERR_ALREADYCONNECTED = static_cast<HRESULT>(0x80158030u);
constexpr HRESULT DPNERR_ALREADYINITIALIZED = static_cast<HRESULT>(0x801580A0u);
constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154u);

constexpr DWORD DPNSESSION_NODPNSVR = 0x40;

constexpr DWORD DPNSEND_NOCOPY = 0x01;
constexpr DWORD DPNSEND_NOCOMPLETE = 0x02;
constexpr DWORD DPNSEND_GUARANTEED = 0x08;
constexpr DWORD DPNSEND_NOLOOPBACK = 0x20;

constexpr DWORD DPNA_DATATYPE_STRING = 1;
constexpr DWORD DPNA_DATATYPE_DWORD = 2;

constexpr char16_t DPNA_KEY_HOSTNAME[] = u"hostname";
constexpr char16_t DPNA_KEY_PORT[] = u"port";

// The largest payload one send or receive carries.
constexpr DWORD LINK_MAX_PAYLOAD = 65536;

using DPNHANDLE = DWORD;

// The structure size the peer expects in dwSize; it is the size the description had
// where the session was first defined, not sizeof on this platform.
constexpr DWORD DPN_APPLICATION_DESC_SIZE = 72;

struct DPN_APPLICATION_DESC {
  DWORD dwSize = 0;
  DWORD dwFlags = 0;
  GUID guidInstance = GUID_NULL;
  GUID guidApplication = GUID_NULL;
  DWORD dwMaxPlayers = 0;
  DWORD dwCurrentPlayers = 0;
  const char16_t* pwszSessionName = nullptr;
  const char16_t* pwszPassword = nullptr;
  const void* pvReservedData = nullptr;
  DWORD dwReservedDataSize = 0;
  const void* pvApplicationReservedData = nullptr;
  DWORD dwApplicationReservedDataSize = 0;
};

struct DPN_BUFFER_DESC {
  DWORD dwBufferSize = 0;
  const BYTE* pBufferData = nullptr;
};

// One address component: its data type and its bytes exactly as given.
struct AddressComponent {
  DWORD dataType = 0;
  std::vector<BYTE> data;
};

// A service provider and named components. Plain values; a test may derive to make
// SetSP or AddComponent fail. Written on the dialog thread, read by a client's Connect.
class IDirectPlay8Address {
 public:
  virtual ~IDirectPlay8Address() = default;

  virtual HRESULT SetSP(const GUID* serviceProvider);
  // Copies size bytes. A string must be UTF-16 with its terminator; a DWORD 4 bytes.
  virtual HRESULT AddComponent(const char16_t* name, const void* data, DWORD size, DWORD dataType);

  const GUID& ServiceProvider() const { return serviceProvider_; }
  // Null when the address has no component of that name.
  const AddressComponent* Component(std::u16string_view name) const;
  std::size_t ComponentCount() const { return components_.size(); }

 private:
  GUID serviceProvider_ = GUID_NULL;
  std::map<std::u16string, AddressComponent, std::less<>> components_;
};

// The string of a string component without its terminator, or the value of a DWORD
// component; empty when the component is missing or of another type.
std::u16string AddressString(const IDirectPlay8Address& address, std::u16string_view name);
bool AddressDword(const IDirectPlay8Address& address, std::u16string_view name, DWORD& value);

// A session client. Initialize registers the handler, which the client then calls on
// its worker threads; Connect and Send never wait for the peer.
class IDirectPlay8Client {
 public:
  virtual ~IDirectPlay8Client() = default;

  virtual HRESULT Initialize(void* userContext, PFNDPNMESSAGEHANDLER handler, DWORD flags) = 0;
  // Asynchronous with flags 0: DPNSUCCESS_PENDING now, the outcome as the
  // connect-complete message later.
  virtual HRESULT Connect(const DPN_APPLICATION_DESC* applicationDesc,
                          IDirectPlay8Address* hostAddress, IDirectPlay8Address* deviceAddress,
                          const void* securityDesc, const void* credentials,
                          const void* userConnectData, DWORD userConnectDataSize,
                          void* asyncContext, DPNHANDLE* asyncHandle, DWORD flags) = 0;
  // Copies the payload before returning (DPNSEND_NOCOPY is not supported).
  virtual HRESULT Send(const DPN_BUFFER_DESC* buffers, DWORD bufferCount, DWORD timeOutMs,
                       void* asyncContext, DPNHANDLE* asyncHandle, DWORD flags) = 0;
};

// Creates the client that CoCreateInstance hands out; null means it could not.
using DirectPlayClientFactory = std::function<std::unique_ptr<IDirectPlay8Client>()>;
// Creates an address object; without one installed, plain addresses are made.
using DirectPlayAddressFactory = std::function<std::unique_ptr<IDirectPlay8Address>()>;

// Main thread, before InitDirectPlay (the platform at start-up, or a test).
void SetDirectPlayClientFactory(DirectPlayClientFactory factory);
// The factory installed last (empty when none), so that another can wrap it.
DirectPlayClientFactory InstalledDirectPlayClientFactory();
void SetDirectPlayAddressFactory(DirectPlayAddressFactory factory);

// The creation stand-in: class and interface must match the object asked for. With no
// client factory installed, the client class is not registered.
HRESULT CoCreateInstance(const GUID& classId, void* outer, DWORD context, const GUID& interfaceId,
                         IDirectPlay8Client** object);
HRESULT CoCreateInstance(const GUID& classId, void* outer, DWORD context, const GUID& interfaceId,
                         IDirectPlay8Address** object);

// The process-wide link objects: null until created, never released while the module
// runs. Written on the main and dialog threads only (link_session.cpp).
extern IDirectPlay8Client* g_pDPClient;
extern IDirectPlay8Address* g_pDeviceAddress;
extern IDirectPlay8Address* g_pHostAddress;

// How a failed send ends the process; EndProcess unless a test replaced it.
extern void (*linkProcessExit)(int code);

// Tests only: deletes the link objects and sets them back to null.
void ReleaseLinkObjects();
