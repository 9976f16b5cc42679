#include "tests/dialog/dialog_fakes.h"

#include <thread>

#include "app/main_dialog.h"
#include "app/session_state.h"
#include "audio/sound.h"
#include "audio/sound_bank_table.h"
#include "audio/sound_manager.h"
#include "link/link_session.h"

std::intptr_t FakeWindow::Send(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  return DialogProc(this, message, wParam, lParam);
}

namespace {

FakeClient* currentClient = nullptr;

class FailingAddress : public IDirectPlay8Address {
 public:
  FailingAddress(bool failSetSp, bool failComponent) : failSetSp_(failSetSp), failComponent_(failComponent) {}
  HRESULT SetSP(const GUID* serviceProvider) override {
    return failSetSp_ ? E_FAIL : IDirectPlay8Address::SetSP(serviceProvider);
  }
  HRESULT AddComponent(const char16_t* name, const void* data, DWORD size, DWORD dataType) override {
    return failComponent_ ? E_FAIL : IDirectPlay8Address::AddComponent(name, data, size, dataType);
  }

 private:
  bool failSetSp_;
  bool failComponent_;
};

}  // namespace

HRESULT FakeClient::Initialize(void* userContext, PFNDPNMESSAGEHANDLER handler, DWORD) {
  userContext_ = userContext;
  handler_ = handler;
  return S_OK;
}

HRESULT FakeClient::Connect(const DPN_APPLICATION_DESC*, IDirectPlay8Address* hostAddress,
                            IDirectPlay8Address*, const void*, const void*, const void*, DWORD, void*,
                            DPNHANDLE*, DWORD) {
  ++connects;
  if (hostAddress != nullptr) {
    connectHost = AddressString(*hostAddress, DPNA_KEY_HOSTNAME);
  }
  return connectResult;
}

HRESULT FakeClient::Send(const DPN_BUFFER_DESC* buffers, DWORD, DWORD timeOutMs, void*, DPNHANDLE*,
                         DWORD flags) {
  sent.push_back({std::vector<BYTE>(buffers->pBufferData, buffers->pBufferData + buffers->dwBufferSize),
                  timeOutMs, flags});
  return S_OK;
}

void FakeClient::CompleteConnect(HRESULT result) {
  std::thread worker([this, result] {
    DPNMSG_CONNECT_COMPLETE message;
    message.hResultCode = result;
    handler_(userContext_, DPN_MSGID_CONNECT_COMPLETE, &message);
  });
  worker.join();
}

FakeClient* FakeClient::Current() { return currentClient; }

void InstallFakeLink(int failingSetSpAddress, int failingComponentAddress) {
  SetDirectPlayClientFactory([] {
    auto client = std::make_unique<FakeClient>();
    currentClient = client.get();
    return client;
  });
  auto created = std::make_shared<int>(0);
  SetDirectPlayAddressFactory([=]() -> std::unique_ptr<IDirectPlay8Address> {
    const int index = (*created)++;
    return std::make_unique<FailingAddress>(index == failingSetSpAddress, index == failingComponentAddress);
  });
}

void ResetSessionValues() {
  session.startupStage = 0;
  session.whodatRequested = 0;
  session.g_wszHostName.clear();
  session.soundsReady = 0;
  session.configurationComplete = 0;
  for (Flag* flag : {&session.docked, &session.propulsionOn, &session.gearDown, &session.hullIonized,
                     &session.supersonic}) {
    *flag = 0;
  }
  session.ownSlot = 0;
  session.ownPlayerNumber = 0;
  session.shipType = 0;
  session.cabinDamping = 0.0f;
  session.gearFade = 0.0f;
  session.planetRotationRate = 0.0f;
  session.lastDopplerVolume = -10000.0f;
  session.lastDopplerFrequency = 8000.0f;
  session.precipitationLevel = 0.0f;
  session.lastEnvironmentalSwitch = 0;
  session.environmentalSwitchSeen = false;
  session.precipitationLoopIndex = 0;
  for (PlayerSlot& slot : session.players) {
    std::scoped_lock lock(slot.lock);
    slot.position = slot.velocity = slot.surfaceVelocity = Vector3{};
    slot.latitudeAngle = 0.0f;
    slot.ref = 0;
    slot.type = 0;
    SetIvr(slot, "");
    slot.objectId = 0;
    slot.active = 0;
  }
  for (DelayedSoundSlot& slot : session.delayedSounds) {
    std::scoped_lock lock(slot.lock);
    slot.active = 0;
  }
  for (Flag* flag :
       {&session.weaponsSwitch, &session.notificationsSwitch, &session.dockAnnouncementsSwitch,
        &session.environmentalSwitch, &session.onboardSwitch, &session.endOfTransmissionSwitch}) {
    *flag = 1;
  }
  {
    std::scoped_lock lock(session.statusLog.statusLogLock);
    session.statusLog.statusLineCount = 0;
  }
  {
    std::scoped_lock lock(session.precipitationLock);
    session.precipitationIntensity = 0.0f;
  }
  SetProcessExit([](int) {});
  SetClosePause([](std::chrono::milliseconds) {});
}

void ResetSession() {
  ReleaseLinkObjects();
  currentClient = nullptr;
  SetDirectPlayClientFactory(nullptr);
  SetDirectPlayAddressFactory(nullptr);
  delete session.soundManager.exchange(nullptr);
  session.dialogWindow = nullptr;
  ResetSessionValues();
  session.bank = SoundBank{};
  session.cockpitAmbience.Exchange(nullptr);
  session.engineLoop.Exchange(nullptr);
  session.cockpitStartup.Exchange(nullptr);
  ClearSessionTables();
}

void DeleteLoadedSounds() {
  session.cockpitAmbience.Exchange(nullptr);
  session.engineLoop.Exchange(nullptr);
  session.cockpitStartup.Exchange(nullptr);
  for (const SoundBankEntry& entry : SoundBankEntries()) {
    Sound** handle = entry.handle(session.bank);
    delete *handle;
    *handle = nullptr;
  }
}
