// Reading the module's timestamped log: lines "MILLISECONDS TEXT", the milliseconds on
// the sound trace's clock. Blank lines are ignored; a line without a leading number is
// skipped and counted. Pure; any thread.
#pragma once

#include <istream>
#include <string>
#include <vector>

#include "tools/flight_picture/line_records.h"

struct LogMark {
  double seconds = 0.0;
  std::string text;
};

using LogMarks = LineRecords<LogMark>;

LogMarks ParseLog(std::istream& in);

// The text cut to at most maxChars characters, with "..." when it was longer.
std::string Abbreviated(const std::string& text, std::size_t maxChars);
