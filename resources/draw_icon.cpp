// Draws the module's icon (a loudspeaker sending sound waves over a dark blue disc) and
// writes it as a PNG: draw-icon OUTPUT.png. Run at build time.
#include <cstdio>

#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kSize = 64;

// Solid fills only: a gradient would hand the painting to Qt's worker threads.
void DrawDisc(QPainter& painter) {
  painter.setBrush(QColor(22, 48, 110));
  painter.setPen(QPen(QColor(8, 16, 40), 2));
  painter.drawEllipse(QRectF(2, 2, kSize - 4, kSize - 4));
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(60, 105, 185, 120));
  painter.drawEllipse(QRectF(8, 6, 36, 28));
}

void DrawSpeaker(QPainter& painter) {
  QPainterPath speaker;
  speaker.moveTo(13, 26);
  speaker.lineTo(21, 26);
  speaker.lineTo(31, 17);
  speaker.lineTo(31, 47);
  speaker.lineTo(21, 38);
  speaker.lineTo(13, 38);
  speaker.closeSubpath();
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(240, 240, 235));
  painter.drawPath(speaker);
}

void DrawWaves(QPainter& painter) {
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(QColor(255, 200, 60), 3.5, Qt::SolidLine, Qt::RoundCap));
  for (int wave = 0; wave < 3; ++wave) {
    const double radius = 7.0 + wave * 7.0;
    painter.drawArc(QRectF(31 - radius, 32 - radius, 2 * radius, 2 * radius), -45 * 16, 90 * 16);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: draw-icon OUTPUT.png\n", stderr);
    return 2;
  }
  QImage image(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  DrawDisc(painter);
  DrawSpeaker(painter);
  DrawWaves(painter);
  painter.end();
  return image.save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0 : 1;
}
