// The soundmodule program's command line. Pure; main thread.
#pragma once

#include <string>
#include <vector>

#include "platform/audio/openal_sound_device.h"

// The link to the Console Client: the DirectPlay 8 session it hosts, or the framed-TCP
// stand-in that the tools and tests also speak.
enum class LinkKind { DirectPlay, Tcp };

struct Options {
  enum class Action { Run, Version, Help, Error };
  Action action = Action::Run;
  bool headless = false;
  AudioOutput audio;
  std::string tracePath;  // empty: no trace
  LinkKind link = LinkKind::DirectPlay;
  std::string recordPath;  // empty: nothing recorded
  std::string error;      // for Action::Error
};

// The arguments after the program's name.
Options ParseOptions(const std::vector<std::string>& arguments);

std::string UsageText();
std::string VersionText();
