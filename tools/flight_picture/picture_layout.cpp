#include "tools/flight_picture/picture_layout.h"

#include <algorithm>

namespace {

constexpr int WIDTH = 1800;
constexpr int LABEL_WIDTH = 230;
constexpr int RIGHT_MARGIN = 30;
constexpr int TITLE_HEIGHT = 34;
constexpr int LOG_HEIGHT = 210;
constexpr int ROW_HEIGHT = 18;
constexpr int GAP = 14;
constexpr int ENVELOPE_HEIGHT = 150;
constexpr int AXIS_HEIGHT = 34;
constexpr int LEGEND_HEIGHT = 44;
constexpr double MIN_TICK_PIXELS = 80.0;

}  // namespace

double PictureLayout::X(double time) const {
  return plotLeft + (plotRight - plotLeft) * std::clamp(time / seconds, 0.0, 1.0);
}

double PictureLayout::TickStep() const {
  const double pixelsPerSecond = (plotRight - plotLeft) / seconds;
  for (const double step : {0.1, 0.2, 0.5, 1.0, 2.0, 5.0, 10.0, 15.0, 30.0, 60.0, 120.0, 300.0}) {
    if (step * pixelsPerSecond >= MIN_TICK_PIXELS) return step;
  }
  return 600.0;
}

PictureLayout LayoutFor(int rowCount, double seconds) {
  PictureLayout layout;
  layout.width = WIDTH;
  layout.plotLeft = LABEL_WIDTH;
  layout.plotRight = WIDTH - RIGHT_MARGIN;
  layout.seconds = std::max(seconds, 1.0);
  layout.logTop = TITLE_HEIGHT;
  layout.logHeight = LOG_HEIGHT;
  layout.rowsTop = layout.logTop + LOG_HEIGHT + GAP;
  layout.rowHeight = ROW_HEIGHT;
  layout.rowCount = std::max(rowCount, 0);
  layout.envelopeTop = layout.RowTop(layout.rowCount) + GAP;
  layout.envelopeHeight = ENVELOPE_HEIGHT;
  layout.axisTop = layout.envelopeTop + ENVELOPE_HEIGHT;
  layout.legendTop = layout.axisTop + AXIS_HEIGHT;
  layout.height = layout.legendTop + LEGEND_HEIGHT;
  return layout;
}
