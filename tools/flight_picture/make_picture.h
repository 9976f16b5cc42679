// Reading the inputs of the flight picture, drawing it and writing the PNG. Needs a
// QGuiApplication; its thread.
#pragma once

#include "tools/flight_picture/picture_options.h"

// Exit code: 0 written; 1 an input could not be read or the PNG not written, with a line
// on stderr. Malformed trace or log lines are skipped with one warning line on stderr.
int MakeFlightPicture(const PictureOptions& options);
