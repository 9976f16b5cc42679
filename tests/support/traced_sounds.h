// Reads back the sound trace for tests: every operation on a Sound with the fields
// the trace gives it. Open it before the operations; test thread.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "audio/sound_trace.h"

struct TracedOp {
  std::string op;
  std::string file;
  long flags = 0;
  long volume = 0;
  long frequency = 0;
};

class TracedSounds {
 public:
  explicit TracedSounds(std::filesystem::path path) : path_(std::move(path)) { OpenSoundTrace(path_.string()); }
  ~TracedSounds() { CloseSoundTrace(); }
  TracedSounds(const TracedSounds&) = delete;
  TracedSounds& operator=(const TracedSounds&) = delete;

  // Every operation since the trace was opened or last cleared, in order.
  std::vector<TracedOp> Ops() const {
    std::vector<TracedOp> ops;
    std::ifstream in(path_);
    std::string line;
    for (int index = 0; std::getline(in, line); ++index) {
      if (index < skipped_) continue;
      ops.push_back({Text(line, "op"), Text(line, "file"), Number(line, "flags"), Number(line, "volume"),
                     Number(line, "frequency")});
    }
    return ops;
  }
  // "op file" for each operation, the shortest way to compare a sequence.
  std::vector<std::string> Summary() const {
    std::vector<std::string> lines;
    for (const TracedOp& op : Ops()) lines.push_back(op.op + " " + op.file);
    return lines;
  }
  std::vector<TracedOp> Plays() const {
    std::vector<TracedOp> plays;
    for (const TracedOp& op : Ops()) {
      if (op.op == "play") plays.push_back(op);
    }
    return plays;
  }
  // Forgets what was traced so far.
  void Clear() {
    std::ifstream in(path_);
    std::string line;
    skipped_ = 0;
    while (std::getline(in, line)) ++skipped_;
  }

 private:
  static std::string Text(const std::string& line, const std::string& key) {
    const std::string start = "\"" + key + "\":\"";
    const auto at = line.find(start);
    if (at == std::string::npos) return {};
    const auto from = at + start.size();
    return line.substr(from, line.find('"', from) - from);
  }
  static long Number(const std::string& line, const std::string& key) {
    const std::string start = "\"" + key + "\":";
    const auto at = line.find(start);
    return at == std::string::npos ? 0 : std::strtol(line.c_str() + at + start.size(), nullptr, 10);
  }

  std::filesystem::path path_;
  int skipped_ = 0;
};
