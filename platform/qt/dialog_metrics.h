// Where the dialog's controls go in pixels: dialog units converted with the dialog
// font's metrics (x: a quarter of the average character width, y: an eighth of the
// font's height), the whole layout scaled up when a caption would not fit. GUI thread.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>

#include "resources/main_dialog.h"

class QStyle;

struct DialogScale {
  double unitX;  // pixels per horizontal dialog unit
  double unitY;  // pixels per vertical dialog unit
};

// The caption as the toolkit shows it: '&' marks a mnemonic and is not drawn.
QString ShownCaption(const ControlTemplate& control);
// Pixels the control needs to show its whole caption.
int CaptionWidth(const ControlTemplate& control, const QFont& font, const QStyle& style);

// The font's own dialog units, enlarged evenly on both axes until every caption fits.
DialogScale FitDialogScale(const QFont& font, const QStyle& style);

QRect ControlRect(const ControlTemplate& control, DialogScale scale);
QSize DialogSize(DialogScale scale);
