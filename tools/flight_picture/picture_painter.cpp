#include "tools/flight_picture/picture_painter.h"

#include <algorithm>
#include <cmath>

#include <QPainter>
#include <QPolygonF>
#include <QString>

#include "tools/flight_picture/picture_layout.h"
#include "tools/flight_picture/row_painter.h"

namespace {

constexpr double ENVELOPE_FLOOR_DB = -80.0;
constexpr std::size_t LOG_TEXT_CHARS = 32;
constexpr double LOG_LABEL_SPACING = 12.0;
const QColor INK(30, 30, 30);

void PaintTitle(QPainter& painter, const Flight& flight) {
  painter.setPen(INK);
  QFont bold = painter.font();
  bold.setBold(true);
  painter.setFont(bold);
  painter.drawText(QRect(10, 6, 1200, 24), Qt::AlignLeft | Qt::AlignVCenter,
                   QString("Sounds of the flight: %1 sounds over %2 s, %3 log lines")
                       .arg(flight.rows.size())
                       .arg(flight.seconds, 0, 'f', 1)
                       .arg(flight.marks.size()));
  bold.setBold(false);
  painter.setFont(bold);
}

// A faint line through rows and envelope, a tick and the text rotated upward; a text too
// close to the previous one is left out, its line and tick stay.
void PaintLogMarks(QPainter& painter, const PictureLayout& layout, const std::vector<LogMark>& marks) {
  const int laneBottom = layout.logTop + layout.logHeight;
  double lastLabel = -1e9;
  for (const LogMark& mark : marks) {
    const double x = layout.X(mark.seconds);
    painter.setPen(QColor(120, 120, 160, 50));
    painter.drawLine(QPointF(x, laneBottom), QPointF(x, layout.axisTop));
    painter.setPen(QColor(90, 90, 140));
    painter.drawLine(QPointF(x, laneBottom - 6), QPointF(x, laneBottom));
    if (x - lastLabel < LOG_LABEL_SPACING) continue;
    lastLabel = x;
    painter.save();
    painter.translate(x + 4, laneBottom - 8);
    painter.rotate(-90);
    painter.setPen(INK);
    painter.drawText(QRectF(0, -11, layout.logHeight - 10, 12), Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromStdString(Abbreviated(mark.text, LOG_TEXT_CHARS)));
    painter.restore();
  }
  painter.setPen(INK);
  painter.drawText(QRect(6, layout.logTop, layout.plotLeft - 12, layout.logHeight),
                   Qt::AlignRight | Qt::AlignBottom, "log lines");
}

double EnvelopeY(const PictureLayout& layout, double decibels) {
  const double share = std::clamp(decibels / ENVELOPE_FLOOR_DB, 0.0, 1.0);
  return layout.envelopeTop + share * layout.envelopeHeight;
}

void PaintEnvelopeGrid(QPainter& painter, const PictureLayout& layout, const Envelope& envelope) {
  painter.fillRect(QRect(layout.plotLeft, layout.envelopeTop, layout.plotRight - layout.plotLeft,
                         layout.envelopeHeight),
                   QColor(246, 246, 240));
  for (int db = 0; db >= static_cast<int>(ENVELOPE_FLOOR_DB); db -= 20) {
    const double y = EnvelopeY(layout, db);
    painter.setPen(QColor(200, 200, 200));
    painter.drawLine(QPointF(layout.plotLeft, y), QPointF(layout.plotRight, y));
    painter.setPen(INK);
    painter.drawText(QRectF(layout.plotLeft - 60, y - 8, 54, 16), Qt::AlignRight | Qt::AlignVCenter,
                     QString::number(db) + " dB");
  }
  painter.drawText(QRect(6, layout.envelopeTop, layout.plotLeft - 70, layout.envelopeHeight),
                   Qt::AlignRight | Qt::AlignVCenter | Qt::TextWordWrap,
                   QString("mix loudness\n(RMS per %1 ms)").arg(std::lround(envelope.windowSeconds * 1000)));
}

void PaintEnvelope(QPainter& painter, const PictureLayout& layout, const Envelope& envelope) {
  PaintEnvelopeGrid(painter, layout, envelope);
  const double bottom = layout.envelopeTop + layout.envelopeHeight;
  QPolygonF area;
  area << QPointF(layout.X(0.0), bottom);
  for (std::size_t i = 0; i < envelope.decibels.size(); ++i) {
    const double time = envelope.windowSeconds * (static_cast<double>(i) + 0.5);
    area << QPointF(layout.X(time), EnvelopeY(layout, envelope.decibels[i]));
  }
  area << QPointF(layout.X(envelope.Duration()), bottom);
  painter.setPen(QPen(QColor(40, 60, 110), 1));
  painter.setBrush(QColor(90, 120, 180, 160));
  painter.drawPolygon(area);
}

void PaintAxis(QPainter& painter, const PictureLayout& layout) {
  painter.setPen(INK);
  painter.drawLine(layout.plotLeft, layout.axisTop, layout.plotRight, layout.axisTop);
  const double step = layout.TickStep();
  for (int i = 0; i * step <= layout.seconds + 1e-9; ++i) {
    const double x = layout.X(i * step);
    painter.drawLine(QPointF(x, layout.axisTop), QPointF(x, layout.axisTop + 5));
    painter.drawText(QRectF(x - 40, layout.axisTop + 6, 80, 16), Qt::AlignHCenter | Qt::AlignTop,
                     QString::number(i * step, 'g', 4) + " s");
  }
  painter.drawText(QRect(6, layout.axisTop + 6, layout.plotLeft - 50, 16),
                   Qt::AlignRight | Qt::AlignTop, "time since start");
}

}  // namespace

QImage PaintFlightPicture(const Flight& flight) {
  const PictureLayout layout = LayoutFor(static_cast<int>(flight.rows.size()), flight.seconds);
  QImage image(layout.width, layout.height, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  QFont font = painter.font();
  font.setPixelSize(12);
  painter.setFont(font);
  PaintTitle(painter, flight);
  PaintRows(painter, layout, flight.rows);
  PaintEnvelope(painter, layout, flight.envelope);
  PaintLogMarks(painter, layout, flight.marks);
  PaintAxis(painter, layout);
  PaintLegend(painter, layout);
  painter.end();
  return image;
}
