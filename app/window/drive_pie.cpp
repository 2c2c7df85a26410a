#include "app/window/drive_pie.h"

#include <QPainter>

namespace tavrin::window {

DrivePie::DrivePie(QWidget* parent) : QWidget(parent) {
  setObjectName("pieDrive");
  setMinimumSize(120, 120);
}

void DrivePie::SetValues(uint64_t used, uint64_t free) {
  used_ = used;
  free_ = free;
  update();
}

void DrivePie::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const int side = std::min(width(), height()) - 8;
  const QRectF disc((width() - side) / 2.0, (height() - side) / 2.0, side, side);
  p.setPen(QPen(palette().color(QPalette::Mid), 1));
  const long double total = static_cast<long double>(used_) + free_;
  if (total <= 0) {
    p.setBrush(palette().color(QPalette::Button));
    p.drawEllipse(disc);
    return;
  }
  // Qt angles are sixteenths of a degree, counter-clockwise from three o'clock; the used
  // part starts at twelve o'clock and runs clockwise.
  const int usedSpan = static_cast<int>(-5760.0L * used_ / total);
  p.setBrush(FreeColor());
  p.drawEllipse(disc);
  if (usedSpan != 0) {
    p.setBrush(UsedColor());
    if (usedSpan <= -5760)
      p.drawEllipse(disc);
    else
      p.drawPie(disc, 90 * 16, usedSpan);
  }
}

}  // namespace tavrin::window
