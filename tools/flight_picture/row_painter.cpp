#include "tools/flight_picture/row_painter.h"

#include <algorithm>
#include <array>
#include <cmath>

#include <QPolygonF>
#include <QString>

namespace {

// Below this a sound is drawn as faint; DirectSound-style volumes reach -100 dB.
constexpr double QUIETEST_DB = -60.0;
constexpr int PAD = 2;

struct Stop {
  double at;
  QColor colour;
};

const std::array<Stop, 4> STOPS{{
    {0.0, QColor(50, 70, 170)},
    {0.5, QColor(40, 170, 140)},
    {0.8, QColor(240, 200, 50)},
    {1.0, QColor(225, 60, 40)},
}};

// 0 for QUIETEST_DB and below, 1 for full volume.
double Loudness(int volume) {
  return std::clamp(1.0 - (volume / 100.0) / QUIETEST_DB, 0.0, 1.0);
}

int Blend(int a, int b, double share) {
  return static_cast<int>(std::lround(a + (b - a) * share));
}

void PaintLabel(QPainter& painter, const PictureLayout& layout, int row, const SoundRow& sound) {
  const QRect box(6, layout.RowTop(row), layout.plotLeft - 12, layout.rowHeight);
  const QString name = painter.fontMetrics().elidedText(QString::fromStdString(sound.file),
                                                        Qt::ElideMiddle, box.width());
  painter.setPen(QColor(30, 30, 30));
  painter.drawText(box, Qt::AlignVCenter | Qt::AlignRight, name);
}

void PaintSpan(QPainter& painter, const PictureLayout& layout, int row, const Span& span) {
  const double left = layout.X(span.start);
  const double right = std::max(layout.X(span.end), left + 2.0);
  const double full = layout.rowHeight - 2 * PAD;
  const double bottom = layout.RowTop(row) + layout.rowHeight - PAD;
  if (!span.lengthKnown) {
    const QPolygonF mark{{{left, bottom - full}, {left + full / 2, bottom - full / 2}, {left, bottom}}};
    painter.setPen(Qt::NoPen);
    painter.setBrush(LoudnessColour(span.volume));
    painter.drawPolygon(mark);
    return;
  }
  const double height = span.looping ? std::max(3.0, full * Loudness(span.volume)) : full;
  painter.setPen(Loudness(span.volume) == 0.0 ? QPen(QColor(150, 150, 150)) : Qt::NoPen);
  painter.setBrush(Loudness(span.volume) == 0.0 ? QBrush(Qt::NoBrush) : LoudnessColour(span.volume));
  painter.drawRect(QRectF(left, bottom - height, right - left, height));
}

}  // namespace

QColor LoudnessColour(int volume) {
  const double level = Loudness(volume);
  for (std::size_t i = 1; i < STOPS.size(); ++i) {
    if (level > STOPS[i].at) continue;
    const double share = (level - STOPS[i - 1].at) / (STOPS[i].at - STOPS[i - 1].at);
    const QColor& a = STOPS[i - 1].colour;
    const QColor& b = STOPS[i].colour;
    return {Blend(a.red(), b.red(), share), Blend(a.green(), b.green(), share),
            Blend(a.blue(), b.blue(), share)};
  }
  return STOPS.back().colour;
}

void PaintRows(QPainter& painter, const PictureLayout& layout, const std::vector<SoundRow>& rows) {
  int row = 0;
  for (const SoundRow& sound : rows) {
    if (row % 2 == 1) {
      painter.fillRect(QRect(0, layout.RowTop(row), layout.width, layout.rowHeight),
                       QColor(242, 244, 248));
    }
    PaintLabel(painter, layout, row, sound);
    for (const Span& span : sound.spans) PaintSpan(painter, layout, row, span);
    ++row;
  }
}

void PaintLegend(QPainter& painter, const PictureLayout& layout) {
  const int top = layout.legendTop + 10;
  painter.setPen(QColor(30, 30, 30));
  painter.drawText(QRect(6, top, layout.plotLeft - 12, 18), Qt::AlignVCenter | Qt::AlignRight,
                   "play volume");
  constexpr int STEP_DB = 6;
  constexpr int SWATCH = 34;
  for (int db = static_cast<int>(QUIETEST_DB), i = 0; db <= 0; db += STEP_DB, ++i) {
    const QRect swatch(layout.plotLeft + i * SWATCH, top, SWATCH, 18);
    painter.fillRect(swatch, LoudnessColour(db * 100));
    if (i % 2 == 0) {
      painter.drawText(QRect(swatch.left() - SWATCH / 2, swatch.bottom() + 2, 2 * SWATCH, 16),
                       Qt::AlignHCenter | Qt::AlignTop, QString::number(db) + " dB");
    }
  }
  const int textLeft = layout.plotLeft + 12 * SWATCH;
  painter.drawText(QRect(textLeft, top, layout.plotRight - textLeft, 36),
                   Qt::AlignLeft | Qt::AlignTop,
                   "bar: a one-shot for its length (triangle: length unknown); "
                   "loop: from play to stop, as tall as it is loud; outline: silent");
}
