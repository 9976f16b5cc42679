// Reading a text file of one record per line, where a malformed line must never stop
// the reading: it is skipped and counted. Blank lines are not records and not counted.
// Pure; any thread.
#pragma once

#include <istream>
#include <optional>
#include <string>
#include <vector>

template <typename Record>
struct LineRecords {
  std::vector<Record> records;
  int skipped = 0;  // malformed lines
};

// parseLine: std::optional<Record>(const std::string& line), nothing for a malformed line.
template <typename Record, typename ParseLine>
LineRecords<Record> ReadLineRecords(std::istream& in, ParseLine parseLine) {
  LineRecords<Record> read;
  for (std::string line; std::getline(in, line);) {
    if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
    if (std::optional<Record> record = parseLine(line)) {
      read.records.push_back(std::move(*record));
    } else {
      ++read.skipped;
    }
  }
  return read;
}
