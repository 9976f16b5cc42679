#include "link/direct_play.h"

#include <cstring>
#include <mutex>
#include <utility>

namespace {

std::mutex factoryLock;
DirectPlayClientFactory clientFactory;
DirectPlayAddressFactory addressFactory;

bool ValidComponentData(const void* data, DWORD size, DWORD dataType) {
  if (data == nullptr) {
    return false;
  }
  if (dataType == DPNA_DATATYPE_DWORD) {
    return size == sizeof(DWORD);
  }
  if (dataType == DPNA_DATATYPE_STRING) {
    // Whole UTF-16 units, ending in the terminator.
    if (size < sizeof(char16_t) || size % sizeof(char16_t) != 0) {
      return false;
    }
    char16_t last = 0;
    std::memcpy(&last, static_cast<const BYTE*>(data) + size - sizeof(char16_t), sizeof last);
    return last == u'\0';
  }
  return false;
}

struct CreateRequest {
  const GUID& classId;
  const void* outer;
  DWORD context;
  const GUID& interfaceId;
};

// What both creations share: the request must name this class and interface, in
// process, without an outer object; a factory that gives nothing is out of memory.
template <typename Interface>
HRESULT Create(const CreateRequest& request, const GUID& classId, const GUID& interfaceId,
               const std::function<std::unique_ptr<Interface>()>& factory, Interface** object) {
  if (object == nullptr) {
    return E_INVALIDARG;
  }
  *object = nullptr;
  if (request.outer != nullptr || request.context != CLSCTX_INPROC_SERVER ||
      request.classId != classId || request.interfaceId != interfaceId) {
    return E_INVALIDARG;
  }
  std::unique_ptr<Interface> created = factory();
  if (created == nullptr) {
    return E_OUTOFMEMORY;
  }
  *object = created.release();
  return S_OK;
}

}  // namespace

HRESULT IDirectPlay8Address::SetSP(const GUID* serviceProvider) {
  if (serviceProvider == nullptr) {
    return DPNERR_INVALIDPARAM;
  }
  serviceProvider_ = *serviceProvider;
  return S_OK;
}

HRESULT IDirectPlay8Address::AddComponent(const char16_t* name, const void* data, DWORD size,
                                          DWORD dataType) {
  if (name == nullptr || !ValidComponentData(data, size, dataType)) {
    return DPNERR_INVALIDPARAM;
  }
  const auto* bytes = static_cast<const BYTE*>(data);
  components_[std::u16string(name)] = AddressComponent{dataType, {bytes, bytes + size}};
  return S_OK;
}

const AddressComponent* IDirectPlay8Address::Component(std::u16string_view name) const {
  const auto found = components_.find(name);
  return found == components_.end() ? nullptr : &found->second;
}

std::u16string AddressString(const IDirectPlay8Address& address, std::u16string_view name) {
  const AddressComponent* component = address.Component(name);
  if (component == nullptr || component->dataType != DPNA_DATATYPE_STRING) {
    return {};
  }
  std::u16string text(component->data.size() / sizeof(char16_t) - 1, u'\0');
  std::memcpy(text.data(), component->data.data(), text.size() * sizeof(char16_t));
  return text;
}

bool AddressDword(const IDirectPlay8Address& address, std::u16string_view name, DWORD& value) {
  const AddressComponent* component = address.Component(name);
  if (component == nullptr || component->dataType != DPNA_DATATYPE_DWORD) {
    return false;
  }
  std::memcpy(&value, component->data.data(), sizeof value);
  return true;
}

void SetDirectPlayClientFactory(DirectPlayClientFactory factory) {
  std::lock_guard hold(factoryLock);
  clientFactory = std::move(factory);
}

DirectPlayClientFactory InstalledDirectPlayClientFactory() {
  std::lock_guard hold(factoryLock);
  return clientFactory;
}

void SetDirectPlayAddressFactory(DirectPlayAddressFactory factory) {
  std::lock_guard hold(factoryLock);
  addressFactory = std::move(factory);
}

HRESULT CoCreateInstance(const GUID& classId, void* outer, DWORD context, const GUID& interfaceId,
                         IDirectPlay8Client** object) {
  std::lock_guard hold(factoryLock);
  if (!clientFactory && object != nullptr) {
    *object = nullptr;
    return REGDB_E_CLASSNOTREG;
  }
  return Create({classId, outer, context, interfaceId}, CLSID_DirectPlay8Client,
                IID_IDirectPlay8Client, clientFactory, object);
}

HRESULT CoCreateInstance(const GUID& classId, void* outer, DWORD context, const GUID& interfaceId,
                         IDirectPlay8Address** object) {
  std::lock_guard hold(factoryLock);
  const DirectPlayAddressFactory plain = [] { return std::make_unique<IDirectPlay8Address>(); };
  return Create({classId, outer, context, interfaceId}, CLSID_DirectPlay8Address,
                IID_IDirectPlay8Address, addressFactory ? addressFactory : plain, object);
}
