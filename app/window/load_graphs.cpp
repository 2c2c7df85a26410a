#include "app/window/load_graphs.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace tavrin::window {
namespace {

int Clamp(int v) {
  return std::clamp(v, 0, 100);
}

}  // namespace

LoadBar::LoadBar(QWidget* parent) : QWidget(parent) {
  setMinimumSize(60, 90);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void LoadBar::RepaintGrid(int value, const QString& text) {
  value = Clamp(value);
  if (value == value_ && text == text_) return;
  value_ = value;
  text_ = text;
  update();
}

void LoadBar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), MonitorColors::Background());
  const int textHeight = fontMetrics().height() + 2;
  // The column of cells: two halves side by side, lit from the bottom up to the value.
  const QRect column(width() / 2 - 16, 4, 32, height() - textHeight - 8);
  constexpr int kRows = 20;
  const double rowHeight = column.height() / static_cast<double>(kRows);
  const int lit = (value_ * kRows + 50) / 100;
  for (int row = 0; row < kRows; ++row) {
    const int y = column.bottom() - static_cast<int>((row + 1) * rowHeight) + 1;
    const int h = std::max(1, static_cast<int>(rowHeight) - 1);
    const QColor c = row < lit ? MonitorColors::Lit() : MonitorColors::Grid();
    p.fillRect(QRect(column.left(), y, 15, h), c);
    p.fillRect(QRect(column.left() + 17, y, 15, h), c);
  }
  // The top of the scale in red, its bottom in yellow.
  p.setPen(QColor(255, 0, 0));
  p.drawLine(column.left() - 2, column.top() - 1, column.right() + 2, column.top() - 1);
  p.setPen(QColor(255, 255, 0));
  p.drawLine(column.left() - 2, column.bottom() + 1, column.right() + 2, column.bottom() + 1);
  p.setPen(MonitorColors::Scale());
  const QString label = text_.isEmpty() ? QString::number(value_) + " %" : text_;
  p.drawText(QRect(0, height() - textHeight, width(), textHeight), Qt::AlignCenter, label);
}

HistoryGraph::HistoryGraph(QWidget* parent) : QWidget(parent) {
  setMinimumSize(40, 90);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void HistoryGraph::RepaintGrid() {
  points_.push_back(Clamp(dynamic_));
  if (points_.size() > kMaxPoints) points_.pop_front();
  offset_ = (offset_ + kMoveDelta) % kCell;
  dot_phase_ = (dot_phase_ + kMoveDelta) % kDotPeriod;
  // A hidden page needs its history kept, not drawn. A shown one moves what is drawn a step
  // to the left and paints only the strip that uncovers: ten times a second, repainting
  // the whole graph would be most of what the idle window costs.
  if (!isVisible()) return;
  const int left = ScaleWidth();
  scroll(-kMoveDelta, 0, QRect(left, 0, width() - left, height()));
  // The column before the new point holds half of the step to it.
  update(QRect(width() - 1 - 2 * kMoveDelta, 0, 2 * kMoveDelta, height()));
}

void HistoryGraph::SetScale(const QString& top, const QString& bottom) {
  top_ = top;
  bottom_ = bottom;
  scale_width_ = -1;
  update();
}

void HistoryGraph::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) scale_width_ = -1;
  QWidget::changeEvent(event);
}

int HistoryGraph::ScaleWidth() const {
  if (scale_width_ < 0) {
    const QFontMetrics fm = fontMetrics();
    scale_width_ = top_.isEmpty()
                       ? 0
                       : std::max(fm.horizontalAdvance(top_), fm.horizontalAdvance(bottom_)) + 6;
  }
  return scale_width_;
}

void HistoryGraph::paintEvent(QPaintEvent* event) {
  QPainter p(this);
  const QRect dirty = event->rect();
  p.fillRect(dirty, MonitorColors::Background());
  const int left = ScaleWidth();
  if (left > 0 && dirty.left() < left) {
    // The scale takes a strip on the left.
    const QFontMetrics fm = fontMetrics();
    p.setPen(MonitorColors::Scale());
    p.drawText(QRect(0, kBevel - 2, left - 3, fm.height()), Qt::AlignRight | Qt::AlignTop, top_);
    p.drawText(QRect(0, height() - kBevel - fm.height() + 2, left - 3, fm.height()),
               Qt::AlignRight | Qt::AlignBottom, bottom_);
    p.setPen(MonitorColors::Grid());
    p.drawLine(left - 1, 0, left - 1, height());
  }
  const QRect area(left, kBevel, width() - left, height() - 2 * kBevel);
  p.setClipRect(QRect(left, 0, width() - left, height()));
  p.setPen(MonitorColors::Grid());
  for (int y = area.bottom(); y >= 0; y -= kCell) p.drawLine(left, y, width(), y);
  for (int x = width() - 1 - offset_; x >= left; x -= kCell) p.drawLine(x, 0, x, height());
  auto yOf = [&](int value) { return area.bottom() - value * (area.height() - 1) / 100; };
  // Dotted marker lines at 50 % and 90 %; their dots move with the history, so what is
  // scrolled and what is painted anew stay in step.
  QPolygon dots;
  for (int x = std::max(left, dirty.left()); x <= std::min(width() - 1, dirty.right()); ++x)
    if ((x + dot_phase_) % kDotPeriod == 0) dots << QPoint(x, 0);
  for (const auto& [value, color] : {std::pair{50, QColor(255, 255, 0)}, {90, QColor(255, 0, 0)}}) {
    p.setPen(color);
    p.drawPoints(dots.translated(0, yOf(value)));
  }
  if (points_.empty()) return;
  QPainterPath path;
  int x = width() - 1;
  bool first = true;
  // Points right of the dirty strip are skipped, those left of it end the line.
  const int from = std::max(left, dirty.left()) - kMoveDelta;
  auto it = points_.rbegin();
  for (; it != points_.rend() && x > dirty.right() + kMoveDelta; ++it) x -= kMoveDelta;
  for (; it != points_.rend() && x >= from; ++it, x -= kMoveDelta) {
    const QPointF point(x, yOf(*it));
    if (first) {
      path.moveTo(point);
      first = false;
    } else {
      path.lineTo(point);
    }
  }
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(QPen(MonitorColors::Lit(), 1));
  p.drawPath(path);
}

ProcessorBars::ProcessorBars(QWidget* parent) : QWidget(parent) {
  setMinimumHeight(36);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void ProcessorBars::SetLoads(const std::vector<int>& loads) {
  if (loads == loads_) return;
  loads_ = loads;
  if (isVisible()) update();
}

void ProcessorBars::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), MonitorColors::Background());
  if (loads_.empty()) return;
  // As many bars as fit side by side; more processors wrap into further rows.
  const int count = static_cast<int>(loads_.size());
  const int perRow = std::max(1, std::min(count, width() / 10));
  const int rows = (count + perRow - 1) / perRow;
  const int cellW = width() / perRow;
  const int cellH = height() / rows;
  for (int i = 0; i < count; ++i) {
    const QRect cell((i % perRow) * cellW, (i / perRow) * cellH, cellW, cellH);
    const QRect bar = cell.adjusted(2, 2, -2, -2);
    p.fillRect(bar, MonitorColors::Grid().darker(200));
    const int h = Clamp(loads_[static_cast<std::size_t>(i)]) * bar.height() / 100;
    p.fillRect(QRect(bar.left(), bar.bottom() - h + 1, bar.width(), h), MonitorColors::Lit());
  }
}

}  // namespace tavrin::window
