#include "tools/flight_picture/make_picture.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

#include "audio/wave_file.h"
#include "tools/flight_picture/picture_painter.h"

namespace {

constexpr double ENVELOPE_WINDOW_SECONDS = 0.05;

int Fail(const std::string& message) {
  std::fprintf(stderr, "flight-picture: %s\n", message.c_str());
  return 1;
}

// The lengths of the played files, from the Sounds folder beside the trace (where the
// module ran), read once per file.
SoundLength LengthsBeside(const std::string& tracePath) {
  const std::filesystem::path folder =
      std::filesystem::absolute(tracePath).parent_path() / "Sounds";
  auto known = std::make_shared<std::map<std::string, std::optional<double>>>();
  return [folder, known](const std::string& file) -> std::optional<double> {
    if (const auto found = known->find(file); found != known->end()) return found->second;
    WaveFile wave;
    std::optional<double> length;
    if (Succeeded(wave.Open((folder / file).c_str(), WaveFile::READ)) &&
        wave.Format()->nAvgBytesPerSec > 0) {
      length = static_cast<double>(wave.DataSize()) / wave.Format()->nAvgBytesPerSec;
    }
    return (*known)[file] = length;
  };
}

double Length(const Flight& flight, const Trace& trace) {
  double seconds = flight.envelope.Duration();
  if (!trace.records.empty()) seconds = std::max(seconds, trace.records.back().seconds);
  for (const LogMark& mark : flight.marks) seconds = std::max(seconds, mark.seconds);
  return seconds;
}

void WarnSkipped(const PictureOptions& options, int traceLines, int logLines) {
  if (traceLines + logLines == 0) return;
  std::fprintf(stderr, "flight-picture: skipped %d malformed lines (%d in %s, %d in %s)\n",
               traceLines + logLines, traceLines, options.trace.c_str(), logLines,
               options.log.empty() ? "no log" : options.log.c_str());
}

}  // namespace

int MakeFlightPicture(const PictureOptions& options) {
  std::ifstream traceFile(options.trace);
  if (!traceFile) return Fail("cannot read " + options.trace);
  std::ifstream logFile;
  if (!options.log.empty()) {
    logFile.open(options.log);
    if (!logFile) return Fail("cannot read " + options.log);
  }
  std::string error;
  const std::optional<Envelope> envelope =
      ReadEnvelope(options.wav, ENVELOPE_WINDOW_SECONDS, &error);
  if (!envelope) return Fail(error);

  const Trace trace = ParseTrace(traceFile);
  const LogMarks log = options.log.empty() ? LogMarks{} : ParseLog(logFile);
  Flight flight{{}, *envelope, log.records, 0.0};
  flight.seconds = Length(flight, trace);
  flight.rows = BuildRows(trace.records, flight.seconds, LengthsBeside(options.trace));
  WarnSkipped(options, trace.skipped, log.skipped);
  if (!PaintFlightPicture(flight).save(QString::fromStdString(options.out), "PNG")) {
    return Fail("cannot write " + options.out);
  }
  return 0;
}
