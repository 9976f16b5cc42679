// Status codes and small value types that the module shares with its platform layers.
// The values are those of the original platform, so statuses can be compared with
// what callers and logs expect. Any thread.
#pragma once

#include <cstdint>

using HRESULT = std::int32_t;
using DWORD = std::uint32_t;
using BYTE = std::uint8_t;

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT CO_E_NOTINITIALIZED = static_cast<HRESULT>(0x800401F0u);

constexpr bool Succeeded(HRESULT status) { return status >= 0; }
constexpr bool Failed(HRESULT status) { return status < 0; }

// A 128-bit identifier in the in-memory layout of the original platform.
struct GUID {
  std::uint32_t Data1;
  std::uint16_t Data2;
  std::uint16_t Data3;
  std::uint8_t Data4[8];
  friend bool operator==(const GUID&, const GUID&) = default;
};

constexpr GUID GUID_NULL{0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
