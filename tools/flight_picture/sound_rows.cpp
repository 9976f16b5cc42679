#include "tools/flight_picture/sound_rows.h"

#include <algorithm>
#include <map>

namespace {

// A sound has one buffer: a new play, a stop or its deletion ends what it was playing.
void EndAt(SoundRow& row, double seconds) {
  if (row.spans.empty()) return;
  Span& last = row.spans.back();
  last.end = std::clamp(seconds, last.start, last.end);
}

bool LoopPlaying(const SoundRow& row, double seconds) {
  return !row.spans.empty() && row.spans.back().looping && row.spans.back().end > seconds;
}

void Play(SoundRow& row, const TraceEvent& event, double endSeconds, const SoundLength& lengthOf) {
  const bool looping = (event.flags & 1) != 0;
  if (looping && LoopPlaying(row, event.seconds) && row.spans.back().volume == event.volume) {
    return;
  }
  EndAt(row, event.seconds);
  if (!row.spans.empty() && row.spans.back().end <= row.spans.back().start) row.spans.pop_back();
  Span span{event.seconds, endSeconds, event.volume, looping, true};
  if (!looping) {
    const std::optional<double> length = lengthOf(event.file);
    span.lengthKnown = length.has_value();
    span.end = event.seconds + length.value_or(MARK_SECONDS);
  }
  row.spans.push_back(span);
}

}  // namespace

std::vector<SoundRow> BuildRows(const std::vector<TraceEvent>& events, double endSeconds,
                                const SoundLength& lengthOf) {
  std::vector<SoundRow> rows;
  std::map<std::string, std::size_t> rowOf;
  for (const TraceEvent& event : events) {
    const bool sounded = event.op == TraceEvent::Op::Play && event.status >= 0;
    if (sounded && !rowOf.contains(event.file)) {
      rowOf[event.file] = rows.size();
      rows.push_back({event.file, {}});
    }
    const auto found = rowOf.find(event.file);
    if (found == rowOf.end()) continue;
    SoundRow& row = rows[found->second];
    if (sounded) {
      Play(row, event, endSeconds, lengthOf);
    } else if (event.op == TraceEvent::Op::Stop || event.op == TraceEvent::Op::Delete) {
      EndAt(row, event.seconds);
    }
  }
  return rows;
}
