#include "platform/qt/dialog_metrics.h"

#include <algorithm>
#include <cmath>

#include <QFontMetrics>
#include <QStyle>

namespace {

// The average character width as the original dialog manager measured it: the width of
// the 52 letters, halved twice with rounding.
int AverageCharWidth(const QFontMetrics& metrics) {
  const int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return (letters / 26 + 1) / 2;
}

int ToPixels(int units, double unit) { return static_cast<int>(std::lround(units * unit)); }

}  // namespace

QString ShownCaption(const ControlTemplate& control) {
  QString caption = QString::fromLatin1(control.caption.data(), static_cast<qsizetype>(control.caption.size()));
  return caption.remove(QLatin1Char('&'));
}

int CaptionWidth(const ControlTemplate& control, const QFont& font, const QStyle& style) {
  const int text = QFontMetrics(font).horizontalAdvance(ShownCaption(control));
  switch (control.kind) {
    case ControlKind::PushButton:
      return text + 2 * style.pixelMetric(QStyle::PM_ButtonMargin) +
             2 * style.pixelMetric(QStyle::PM_DefaultFrameWidth);
    case ControlKind::CheckBox:
      return text + style.pixelMetric(QStyle::PM_IndicatorWidth) +
             style.pixelMetric(QStyle::PM_CheckBoxLabelSpacing) + 2;
    case ControlKind::LogBox:
      break;
  }
  return 0;
}

DialogScale FitDialogScale(const QFont& font, const QStyle& style) {
  const QFontMetrics metrics(font);
  const DialogScale base{AverageCharWidth(metrics) / 4.0, metrics.height() / 8.0};
  double factor = 1.0;
  for (const ControlTemplate& control : MAIN_DIALOG_CONTROLS) {
    const double available = control.width * base.unitX;
    factor = std::max(factor, CaptionWidth(control, font, style) / available);
  }
  return {base.unitX * factor, base.unitY * factor};
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
