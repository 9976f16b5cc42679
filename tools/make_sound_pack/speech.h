// Speaking a phrase into a WAVE file with espeak-ng, when it is installed. Blocks until
// the speaker ends; any thread.
#pragma once

#include <string>

// True when the speaker wrote a file at path.
bool SpeakToFile(const std::string& text, const std::string& path);
