#include "platform/qt/dialog_metrics.h"

#include <cmath>

#include <QCheckBox>
#include <QFontMetrics>
#include <QPushButton>
#include <QStyle>

namespace {

// The average character width as the original dialog manager measured it: the width of
// the 52 letters, halved twice with rounding.
int AverageCharWidth(const QFontMetrics& metrics) {
  const int letters =
      metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return (letters / 26 + 1) / 2;
}

int ToPixels(int units, double unit) { return static_cast<int>(std::lround(units * unit)); }

}  // namespace

DialogScale BaseDialogScale(const QFont& font) {
  const QFontMetrics metrics(font);
  return {AverageCharWidth(metrics) / 4.0, metrics.height() / 8.0};
}

// A check box knows its own need; a push button's size hint adds a minimum width that
// has nothing to do with its caption, so only the caption and margins count there.
int CaptionWidth(const QWidget& widget) {
  if (const auto* box = qobject_cast<const QCheckBox*>(&widget)) {
    return box->sizeHint().width();
  }
  if (const auto* button = qobject_cast<const QPushButton*>(&widget)) {
    const QStyle& style = *button->style();
    const QString caption = QString(button->text()).remove(QLatin1Char('&'));
    return QFontMetrics(button->font()).horizontalAdvance(caption) +
           2 * style.pixelMetric(QStyle::PM_ButtonMargin) +
           2 * style.pixelMetric(QStyle::PM_DefaultFrameWidth);
  }
  return 0;
}

DialogScale FitCaption(DialogScale scale, const ControlTemplate& control, int neededPixels) {
  const double factor = neededPixels / (control.width * scale.unitX);
  if (factor <= 1.0) {
    return scale;
  }
  // Rounding of the control's edges may take up to a pixel on each side.
  const double enlarged = (neededPixels + 2.0) / (control.width * scale.unitX);
  return {scale.unitX * enlarged, scale.unitY * enlarged};
}

QRect ControlRect(const ControlTemplate& control, DialogScale scale) {
  const int left = ToPixels(control.x, scale.unitX);
  const int top = ToPixels(control.y, scale.unitY);
  const int right = ToPixels(control.x + control.width, scale.unitX);
  const int bottom = ToPixels(control.y + control.height, scale.unitY);
  return {left, top, right - left, bottom - top};
}

QSize DialogSize(DialogScale scale) {
  return {ToPixels(MAIN_DIALOG.width, scale.unitX), ToPixels(MAIN_DIALOG.height, scale.unitY)};
}
