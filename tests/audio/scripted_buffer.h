// A device buffer that records the calls made on it and answers as scripted. Test
// thread only.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "audio/direct_sound.h"
#include "tests/audio/wave_bytes.h"

class ScriptedBuffer final : public IDirectSoundBuffer {
 public:
  HRESULT GetStatus(DWORD* status) override {
    *status = lost ? DSBSTATUS_BUFFERLOST : (playing ? DSBSTATUS_PLAYING : 0);
    return DS_OK;
  }
  HRESULT GetCurrentPosition(DWORD*, DWORD*) override { return DS_OK; }
  HRESULT Lock(DWORD, DWORD bytes, void** area1, DWORD* bytes1, void**, DWORD*,
               DWORD) override {
    calls.push_back("Lock");
    if (Failed(lockResult)) return lockResult;
    memory.assign(bytes, 0xEE);
    *area1 = memory.data();
    *bytes1 = bytes;
    return DS_OK;
  }
  HRESULT Unlock(void*, DWORD, void*, DWORD) override {
    calls.push_back("Unlock");
    return DS_OK;
  }
  HRESULT Restore() override {
    calls.push_back("Restore");
    HRESULT result = DS_OK;
    if (!restoreResults.empty()) {
      result = restoreResults.front();
      restoreResults.pop_front();
    }
    if (result != DSERR_BUFFERLOST) lost = false;
    return result;
  }
  HRESULT Play(DWORD, DWORD, DWORD) override {
    calls.push_back("Play");
    playing = true;
    return DS_OK;
  }
  HRESULT Stop() override {
    calls.push_back("Stop");
    return stopResult;
  }
  HRESULT SetCurrentPosition(DWORD) override {
    calls.push_back("SetCurrentPosition");
    return DS_OK;
  }
  HRESULT SetVolume(LONG volume) override {
    calls.push_back("SetVolume " + std::to_string(volume));
    return DS_OK;
  }
  HRESULT SetFrequency(DWORD frequency) override {
    calls.push_back("SetFrequency " + std::to_string(frequency));
    return DS_OK;
  }
  HRESULT SetPan(LONG pan) override {
    calls.push_back("SetPan " + std::to_string(pan));
    return DS_OK;
  }

  bool lost = false;
  bool playing = false;
  HRESULT lockResult = DS_OK;
  HRESULT stopResult = DS_OK;
  std::deque<HRESULT> restoreResults;
  std::vector<std::string> calls;
  Bytes memory;
};
