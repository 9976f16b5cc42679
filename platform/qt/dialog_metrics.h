// Where the dialog's controls go in pixels: dialog units converted with the dialog
// font's metrics (x: a quarter of the average character width, y: an eighth of the
// font's height), the whole layout scaled up evenly when a caption would not fit.
// GUI thread.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

#include "resources/main_dialog.h"

class QWidget;

struct DialogScale {
  double unitX;  // pixels per horizontal dialog unit
  double unitY;  // pixels per vertical dialog unit
};

// The font's own dialog units.
DialogScale BaseDialogScale(const QFont& font);
// Pixels the control's widget needs to show its whole caption (0 for the log box).
int CaptionWidth(const QWidget& widget);
// The scale, enlarged evenly on both axes when the control is narrower than needed.
DialogScale FitCaption(DialogScale scale, const ControlTemplate& control, int neededPixels);

QRect ControlRect(const ControlTemplate& control, DialogScale scale);
QSize DialogSize(DialogScale scale);
