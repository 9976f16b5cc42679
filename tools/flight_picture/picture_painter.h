// Painting the whole flight picture: title, log marks, sound rows, the mix's loudness
// envelope, the time axis and the legend. Needs a QGuiApplication (for fonts); called on
// its thread.
#pragma once

#include <string>
#include <vector>

#include <QImage>

#include "tools/flight_picture/log_marks.h"
#include "tools/flight_picture/sound_rows.h"
#include "tools/flight_picture/wav_envelope.h"

struct Flight {
  std::vector<SoundRow> rows;
  Envelope envelope;
  std::vector<LogMark> marks;
  double seconds = 0.0;  // the length shown
};

QImage PaintFlightPicture(const Flight& flight);
