#include "tools/flight_picture/picture_options.h"

#include <array>
#include <utility>

namespace {

std::string* Field(PictureOptions& options, const std::string& name) {
  const std::array<std::pair<const char*, std::string*>, 4> fields{{
      {"--trace", &options.trace},
      {"--wav", &options.wav},
      {"--log", &options.log},
      {"--out", &options.out},
  }};
  for (const auto& [option, field] : fields) {
    if (name == option) return field;
  }
  return nullptr;
}

}  // namespace

std::optional<PictureOptions> ParsePictureOptions(const std::vector<std::string>& arguments,
                                                  std::string* error) {
  PictureOptions options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    std::string* field = Field(options, arguments[i]);
    if (field == nullptr) {
      *error = "unknown option '" + arguments[i] + "'";
      return std::nullopt;
    }
    if (i + 1 == arguments.size() || arguments[i + 1].empty()) {
      *error = "option '" + arguments[i] + "' needs a path";
      return std::nullopt;
    }
    *field = arguments[++i];
  }
  for (const char* required : {"--trace", "--wav", "--out"}) {
    if (Field(options, required)->empty()) {
      *error = std::string("missing ") + required;
      return std::nullopt;
    }
  }
  return options;
}

std::string PictureUsage() {
  return "Usage: flight-picture --trace T.jsonl --wav MIX.wav [--log LOG.txt] --out PICTURE.png\n"
         "Draws what sounded when (from soundmodule's --trace), over the loudness of the\n"
         "recorded mix (from --audio-out), with the log's lines (\"MILLISECONDS TEXT\") marked.\n";
}
