// soundmodule: the module as a program. Wires the link, the OpenAL sound device,
// the optional sound trace and a front end, then runs the entry steps. The dialog's end
// ends the process with exit code 0.
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "app/entry_point.h"
#include "audio/sound_trace.h"
#include "platform/audio/openal_sound_device.h"
#include "platform/headless/headless_front_end.h"
#include "platform/directplay/directplay_link.h"
#include "platform/link/recording_client.h"
#include "platform/link/tcp_link.h"
#include "platform/qt/qt_front_end.h"
#include "platform/soundmodule/display_check.h"
#include "platform/soundmodule/options.h"

namespace {

constexpr int kUsageError = 2;

int RunHeadless() {
  HeadlessFrontEnd frontEnd(StandardInput(), SetDialogActive);
  RunSoundModule(frontEnd);
  return 0;
}

int RunWindowed(int& argc, char** argv) {
  const auto application = CreateQtApplication(argc, argv);
  QtFrontEnd frontEnd(SetDialogActive);
  RunSoundModule(frontEnd);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // A reader of stdout that goes away must not end the module mid-flight: writes to the
  // closed pipe fail instead, the headless log says so once on stderr, and the sound
  // goes on until the session ends.
  std::signal(SIGPIPE, SIG_IGN);
  const Options options = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
  switch (options.action) {
    case Options::Action::Error:
      std::fprintf(stderr, "soundmodule: %s\nTry 'soundmodule --help'.\n", options.error.c_str());
      return kUsageError;
    case Options::Action::Help:
      std::fputs(UsageText().c_str(), stdout);
      return 0;
    case Options::Action::Version:
      std::fputs(VersionText().c_str(), stdout);
      return 0;
    case Options::Action::Run:
      break;
  }
  if (!options.tracePath.empty() && !OpenSoundTrace(options.tracePath)) {
    std::fprintf(stderr, "soundmodule: cannot write the sound trace to '%s'\n", options.tracePath.c_str());
    return kUsageError;
  }
  if (options.link == LinkKind::Tcp) {
    UseTcpLinkTransport();
  } else {
    UseDirectPlayTransport();
  }
  if (!options.recordPath.empty() && !RecordLinkTo(options.recordPath)) {
    std::fprintf(stderr, "soundmodule: cannot write the recording to '%s'\n", options.recordPath.c_str());
    return kUsageError;
  }
  UseOpenAlSoundDevice(options.audio);
  if (options.headless) {
    return RunHeadless();
  }
  if (!DisplayAvailable()) {
    std::fputs("soundmodule: no display found, running headless\n", stderr);
    return RunHeadless();
  }
  return RunWindowed(argc, argv);
}
