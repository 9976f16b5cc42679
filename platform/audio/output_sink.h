// Outputs that pull the mix: each is a small table of operations (open, close, alive)
// over a state of its own. open starts pulling on the sink's own thread (or, for the
// offline sink, on the test's thread); after close returns, no pull is in progress and
// none follows. The operations are called under the owning device's output lock.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

// Fills frameCount interleaved 16-bit stereo frames at MIX_RATE.
using MixPull = std::function<void(std::int16_t* frames, int frameCount)>;

struct SinkOps {
  // Null when the output cannot be opened.
  void* (*open)(const std::string& path, MixPull pull);
  void (*close)(void* sink);
  // False once the output went away (the device was unplugged).
  bool (*alive)(void* sink);
};

// The default audio device through SDL2, in periods of at most 256 frames.
extern const SinkOps SDL_SINK;
// A WAV file at path, written in real time by a pacing thread.
extern const SinkOps WAV_FILE_SINK;
// Mixes in real time and discards the result; always opens.
extern const SinkOps NULL_SINK;
