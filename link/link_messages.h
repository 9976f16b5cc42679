// The link's messages to the module, with the original identifiers and field names.
// A transport builds these on its worker threads and hands them to LinkMessageHandler.
#pragma once

#include "app/platform_types.h"

constexpr DWORD DPN_MSGID_CONNECT_COMPLETE = 0xFFFF0005u;
constexpr DWORD DPN_MSGID_RECEIVE = 0xFFFF0011u;
constexpr DWORD DPN_MSGID_TERMINATE_SESSION = 0xFFFF0016u;

constexpr HRESULT DPN_OK = 0;

struct DPNMSG_CONNECT_COMPLETE {
  DWORD dwSize = sizeof(DPNMSG_CONNECT_COMPLETE);
  HRESULT hResultCode = 0;
};

struct DPNMSG_RECEIVE {
  DWORD dwSize = sizeof(DPNMSG_RECEIVE);
  const BYTE* pReceiveData = nullptr;
  DWORD dwReceiveDataSize = 0;
};

struct DPNMSG_TERMINATE_SESSION {
  DWORD dwSize = sizeof(DPNMSG_TERMINATE_SESSION);
  HRESULT hResultCode = 0;
};

// The signature of the handler a client registers.
using PFNDPNMESSAGEHANDLER = HRESULT (*)(void* userContext, DWORD messageId, void* message);
