// Reading a sound trace (JSON Lines, one operation on a sound per line) into events.
// A line that is not a JSON object with a number t, a known op and a file name is
// skipped and counted, never fatal. Pure; any thread.
#pragma once

#include <istream>
#include <string>
#include <vector>

struct TraceEvent {
  enum class Op { Create, Play, Stop, Rewind, Delete };
  double seconds = 0.0;  // since the module's process started
  Op op = Op::Create;
  std::string file;
  int flags = 0;    // play: 1 = looping
  int volume = 0;   // play: hundredths of a decibel, 0 full, -10000 silent
  int status = 0;   // negative: the operation failed
};

struct Trace {
  std::vector<TraceEvent> events;
  int skipped = 0;  // malformed lines
};

Trace ParseTrace(std::istream& in);
