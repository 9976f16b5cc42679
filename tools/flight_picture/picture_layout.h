// Where each part of the flight picture goes: a lane of log marks on top, one row per
// sound, the mix's loudness envelope, the time axis and the loudness legend, for a
// number of rows and a length of flight. Pure; any thread.
#pragma once

struct PictureLayout {
  int width = 0;
  int height = 0;
  int plotLeft = 0;  // x of time 0; the sound names are written left of it
  int plotRight = 0;  // x of the end of the flight
  int logTop = 0;
  int logHeight = 0;
  int rowsTop = 0;
  int rowHeight = 0;
  int rowCount = 0;
  int envelopeTop = 0;
  int envelopeHeight = 0;
  int axisTop = 0;
  int legendTop = 0;
  double seconds = 1.0;  // length of the flight shown

  double X(double time) const;
  int RowTop(int row) const { return rowsTop + row * rowHeight; }
  // Seconds between labelled ticks of the axis: a round step at least ~80 px apart.
  double TickStep() const;
};

PictureLayout LayoutFor(int rowCount, double seconds);
