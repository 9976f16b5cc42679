#include "audio/sound_trace.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>

#include "app/process_end.h"
#include "audio/sound_path.h"

namespace {

// Set during static initialisation, which is as close to the process start as we get.
const auto processStart = std::chrono::steady_clock::now();

std::mutex traceMutex;
std::FILE* traceFile = nullptr;
// Lets the hot paths skip formatting while no trace is open.
std::atomic<bool> tracing{false};

// Each line is written and flushed under the lock, so holding it to the end leaves the
// file with whole lines only.
void HoldTraceToTheEnd() { traceMutex.lock(); }

double MillisecondsSinceStart() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() -
                                                   processStart)
      .count();
}

// JSON string contents: quotes, backslashes and control characters escaped.
std::string Escaped(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char code[8];
      std::snprintf(code, sizeof code, "\\u%04x", static_cast<unsigned>(c));
      out += code;
    } else {
      out += c;
    }
  }
  return out;
}

void WriteLine(const char* op, std::string_view fileName, const std::string& fields) {
  std::scoped_lock lock(traceMutex);
  if (traceFile == nullptr) return;
  std::fprintf(traceFile, "{\"t\":%.3f,\"op\":\"%s\",\"file\":\"%s\"%s}\n",
               MillisecondsSinceStart(), op, Escaped(BaseName(std::string(fileName))).c_str(),
               fields.c_str());
  std::fflush(traceFile);
}

std::string StatusField(HRESULT status) { return ",\"status\":" + std::to_string(status); }

}  // namespace

bool OpenSoundTrace(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "w");
  if (file == nullptr) return false;
  static const bool endStepAdded = (AddProcessEndStep(HoldTraceToTheEnd), true);
  static_cast<void>(endStepAdded);
  std::scoped_lock lock(traceMutex);
  if (traceFile != nullptr) std::fclose(traceFile);
  traceFile = file;
  tracing = true;
  return true;
}

void CloseSoundTrace() {
  std::scoped_lock lock(traceMutex);
  if (traceFile != nullptr) std::fclose(traceFile);
  traceFile = nullptr;
  tracing = false;
}

void TraceCreate(std::string_view fileName, DWORD flags, HRESULT status) {
  if (!tracing) return;
  WriteLine("create", fileName, ",\"flags\":" + std::to_string(flags) + StatusField(status));
}

void TracePlay(std::string_view fileName, DWORD priority, DWORD flags, LONG volume,
               LONG frequency, LONG pan, HRESULT status) {
  if (!tracing) return;
  WriteLine("play", fileName,
            ",\"priority\":" + std::to_string(priority) + ",\"flags\":" + std::to_string(flags) +
                ",\"volume\":" + std::to_string(volume) +
                ",\"frequency\":" + std::to_string(frequency) + ",\"pan\":" + std::to_string(pan) +
                StatusField(status));
}

void TraceStop(std::string_view fileName, HRESULT status) {
  if (!tracing) return;
  WriteLine("stop", fileName, StatusField(status));
}

void TraceRewind(std::string_view fileName, HRESULT status) {
  if (!tracing) return;
  WriteLine("rewind", fileName, StatusField(status));
}

void TraceDelete(std::string_view fileName) {
  if (!tracing) return;
  WriteLine("delete", fileName, "");
}
