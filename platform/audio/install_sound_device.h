// Installs the DirectSoundCreate8 factory: every device it creates gets a mixer of its
// own pulled by a fresh instance of this output. Main thread, before devices are made.
#pragma once

#include <string>

#include "platform/audio/output_sink.h"

void InstallSoundDevice(const SinkOps& sink, const std::string& path);
