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
    } else if (argument == "--audio-out" || argument == "--trace" || argument == "--record") {
      if (i + 1 == arguments.size() || arguments[i + 1].empty()) {
        return Failure("option '" + argument + "' needs a path");
      }
      const std::string& path = arguments[++i];
      if (argument == "--trace") {
        options.tracePath = path;
      } else if (argument == "--record") {
        options.recordPath = path;
      } else {
        options.audio = AudioOutputFor(path);
      }
    } else if (argument == "--link") {
      const std::string name = i + 1 < arguments.size() ? arguments[++i] : "";
      if (name != "directplay" && name != "tcp") {
        return Failure("option '--link' needs 'directplay' or 'tcp'");
      }
      options.link = name == "tcp" ? LinkKind::Tcp : LinkKind::DirectPlay;
    } else {
      return Failure("unknown option '" + argument + "'");
    }
  }
  return options;
}

std::string UsageText() {
  std::string text =
      "Usage: soundmodule [options]\n"
      "Run in the folder that holds universe.dat and Sounds/.\n"
      "\n"
      "  --headless         no window: status lines on stdout, message boxes on stderr as\n"
      "                     [title] text, control ids read from stdin as clicks (1000 Test\n"
      "                     Tone, 1001 Whodat?, 1020-1026 the check boxes, 2 close), and\n"
      "                     [end] N on stderr when the dialog ends; taken by itself, with\n"
      "                     a note, when no display can be opened\n"
      "  --audio-out PATH   mix into a WAV file at PATH (16-bit stereo, 44100 Hz) in real\n"
      "                     time instead of the sound device; 'null' mixes in real time\n"
      "                     and discards the result\n"
      "  --trace PATH       write every operation on a sound as one JSON line to PATH\n"
      "                     (create, play, stop, rewind, delete)\n"
      "  --link directplay|tcp\n"
      "                     the link to the Console Client: its DirectPlay 8 session\n"
      "                     (the default) or the framed-TCP stand-in of the tools\n"
      "  --record PATH      write every payload received, with its time, to PATH as a\n"
      "                     console-sim scenario that plays the session back\n"
      "  --version          print the version (";
  text += VERSION_TEXT;
  text += ") and exit\n"
          "  --help             show this help and exit\n";
  return text;
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
