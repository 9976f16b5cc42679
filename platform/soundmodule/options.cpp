#include "platform/soundmodule/options.h"

#include "resources/version_info.h"

namespace {

Options Failure(std::string error) {
  Options options;
  options.action = Options::Action::Error;
  options.error = std::move(error);
  return options;
}

AudioOutput AudioOutputFor(const std::string& path) {
  if (path == "null") {
    return {AudioOutput::Kind::Null, ""};
  }
  return {AudioOutput::Kind::WavFile, path};
}

}  // namespace

Options ParseOptions(const std::vector<std::string>& arguments) {
  Options options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--version") {
      options.action = Options::Action::Version;
    } else if (argument == "--help") {
      options.action = Options::Action::Help;
    } else if (argument == "--headless") {
      options.headless = true;
    } else if (argument == "--audio-out" || argument == "--trace") {
      if (i + 1 == arguments.size() || arguments[i + 1].empty()) {
        return Failure("option '" + argument + "' needs a path");
      }
      const std::string& path = arguments[++i];
      if (argument == "--trace") {
        options.tracePath = path;
      } else {
        options.audio = AudioOutputFor(path);
      }
    } else {
      return Failure("unknown option '" + argument + "'");
    }
  }
  return options;
}

std::string UsageText() {
  return "Usage: soundmodule [options]\n"
         "Run in the folder that holds universe.dat and Sounds/.\n"
         "\n"
         "  --headless         no window: status lines on stdout, message boxes on stderr,\n"
         "                     control ids read from stdin as clicks\n"
         "  --audio-out PATH   mix to a WAV file at PATH instead of the audio device;\n"
         "                     'null' mixes and discards\n"
         "  --trace PATH       write the sound trace (JSON Lines) to PATH\n"
         "  --version          show the version and exit\n"
         "  --help             show this help and exit\n";
}

std::string VersionText() {
  std::string text(PRODUCT_NAME);
  text += " ";
  text += VERSION_TEXT;
  text += "\n";
  text += FILE_DESCRIPTION;
  text += ", ";
  text += COMPANY_NAME;
  text += "\n";
  return text;
}
