#include "tools/make_sound_pack/speech.h"

#include <spawn.h>
#include <sys/wait.h>

#include <fcntl.h>

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <vector>

extern char** environ;

SpeechResult SpeakToFile(const std::string& text, const std::string& path) {
  std::string program = "espeak-ng";
  std::string writeOption = "-w";
  std::string fileName = path;
  std::string words = text;
  std::vector<char*> arguments{program.data(), writeOption.data(), fileName.data(), words.data(),
                               nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t child = 0;
  const int spawned =
      posix_spawnp(&child, program.c_str(), &actions, nullptr, arguments.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned == ENOENT) return SpeechResult::NoSpeaker;
  if (spawned != 0) return SpeechResult::Failed;
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    return SpeechResult::Failed;
  }
  std::error_code error;
  const bool written = std::filesystem::file_size(path, error) > 44 && !error;
  return written ? SpeechResult::Spoken : SpeechResult::Failed;
}
