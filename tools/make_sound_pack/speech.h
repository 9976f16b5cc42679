// Speaking a phrase into a WAVE file with espeak-ng. Blocks until the speaker ends; any
// thread.
#pragma once

#include <string>

enum class SpeechResult {
  Spoken,     // the speaker wrote a file at the path
  NoSpeaker,  // espeak-ng is not installed (not found on the PATH)
  Failed,     // it ran but wrote nothing usable
};

SpeechResult SpeakToFile(const std::string& text, const std::string& path);
