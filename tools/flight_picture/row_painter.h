// Painting the sound rows of the flight picture and the legend of their colours: one
// row per sound, bars coloured by loudness, loops as tall as they are loud. Called on
// the thread that owns the QGuiApplication.
#pragma once

#include <vector>

#include <QColor>
#include <QPainter>

#include "tools/flight_picture/picture_layout.h"
#include "tools/flight_picture/sound_rows.h"

// The colour for a play volume (hundredths of a decibel): blue when faint, through green
// and yellow to red at full volume.
QColor LoudnessColour(int volume);

void PaintRows(QPainter& painter, const PictureLayout& layout, const std::vector<SoundRow>& rows);
void PaintLegend(QPainter& painter, const PictureLayout& layout);
