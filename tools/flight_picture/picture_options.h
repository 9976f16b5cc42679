// The command line of flight-picture:
//   flight-picture --trace T.jsonl --wav MIX.wav [--log LOG.txt] --out PICTURE.png
// Pure; main thread.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct PictureOptions {
  std::string trace;
  std::string wav;
  std::string log;  // empty: no log marks
  std::string out;
};

// Nothing, with *error set, for an unknown option, a missing value or a missing
// required option.
std::optional<PictureOptions> ParsePictureOptions(const std::vector<std::string>& arguments,
                                                  std::string* error);

std::string PictureUsage();
