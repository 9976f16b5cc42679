// Reading a sound trace (JSON Lines, one operation on a sound per line) into events.
// A line that is not a JSON object with a number t, a known op and a file name is
// skipped and counted, never fatal. Pure; any thread.
#pragma once

#include <istream>
#include <string>
#include <vector>

#include "tools/flight_picture/line_records.h"

struct TraceEvent {
  enum class Op { Create, Play, Stop, Rewind, Delete };
  double seconds = 0.0;  // since the module's process started
  Op op = Op::Create;
  std::string file;
  int flags = 0;    // play: 1 = looping
  int volume = 0;   // play: hundredths of a decibel, 0 full, -10000 silent
  int status = 0;   // negative: the operation failed
};

using Trace = LineRecords<TraceEvent>;

Trace ParseTrace(std::istream& in);
