// A Sound handle that one thread may replace while another plays it. Callers keep
// the shared_ptr from Get() for the length of their call, so a replaced Sound is
// deleted only after its last user is done. Any thread.
#pragma once

#include <memory>
#include <mutex>

class Sound;

class SharedSound {
 public:
  SharedSound() : sound_() {}
  // The Sound still held at process exit is left to the operating system, as the device
  // it plays on is: destroying it then would reach into a device already torn down.
  ~SharedSound() {}
  SharedSound(const SharedSound&) = delete;
  SharedSound& operator=(const SharedSound&) = delete;

  std::shared_ptr<Sound> Get() const {
    std::scoped_lock lock(mutex_);
    return sound_;
  }
  // Returns the Sound it replaced.
  std::shared_ptr<Sound> Exchange(std::shared_ptr<Sound> sound) {
    std::scoped_lock lock(mutex_);
    sound_.swap(sound);
    return sound;
  }

 private:
  mutable std::mutex mutex_;
  union {
    std::shared_ptr<Sound> sound_;  // never destroyed, see above
  };
};
