// The sounds of a trace laid out over time: one row per sound file that was played, in
// the order of its first play, each with the spans in which it sounded and how loud.
// Pure; any thread.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tools/flight_picture/trace_reader.h"

struct Span {
  double start = 0.0;
  double end = 0.0;
  int volume = 0;  // hundredths of a decibel
  bool looping = false;
  bool lengthKnown = true;  // false: a one-shot of unknown length, drawn as a short mark
};

struct SoundRow {
  std::string file;
  std::vector<Span> spans;
};

// The length in seconds of a sound file, when it can be found.
using SoundLength = std::function<std::optional<double>(const std::string& file)>;

// How long a one-shot of unknown length is drawn.
constexpr double MARK_SECONDS = 0.25;

// A loop's span is split at every change of its volume; loops still playing at the end
// of the trace run to endSeconds. Failed plays did not sound and are left out.
std::vector<SoundRow> BuildRows(const std::vector<TraceEvent>& events, double endSeconds,
                                const SoundLength& lengthOf);
