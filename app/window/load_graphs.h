// The drawing of the live monitors: a load bar (the current value as a column of lit cells)
// and a history graph that moves one step to the left at every advance, drawn with QPainter.
#pragma once

#include <QString>
#include <QWidget>
#include <deque>
#include <vector>

namespace tavrin::window {

/// Colours of the monitors: black background, green grid.
struct MonitorColors {
  static QColor Background() { return QColor(0, 0, 0); }
  static QColor Grid() { return QColor(0, 128, 64); }
  static QColor Lit() { return QColor(0, 255, 0); }
  static QColor Scale() { return QColor(0, 255, 0); }
};

class LoadBar : public QWidget {
 public:
  explicit LoadBar(QWidget* parent = nullptr);
  /// Draws the bar at `value` percent (clamped to 0..100); `text` replaces the number shown.
  void RepaintGrid(int value, const QString& text = {});
  int value() const { return value_; }
  QSize sizeHint() const override { return {60, 90}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int value_ = 0;
  QString text_;
};

class HistoryGraph : public QWidget {
 public:
  explicit HistoryGraph(QWidget* parent = nullptr);
  /// The value of the next point (percent).
  void SetDynamicValue(int value) { dynamic_ = value; }
  /// Advances the history one step with the current value; repaints only when shown.
  void RepaintGrid();
  /// The texts at the top and bottom of the scale; an empty top hides the scale.
  void SetScale(const QString& top, const QString& bottom);
  const std::deque<int>& points() const { return points_; }
  QSize sizeHint() const override { return {114, 90}; }

  static constexpr int kCell = 15;      // grid cells of 15 x 15 pixels
  static constexpr int kBevel = 5;      // room above 100 % and below 0 %
  static constexpr int kMoveDelta = 1;  // pixels per step
  static constexpr int kMaxPoints = 4096;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  /// Width of the scale strip on the left, 0 without a scale.
  int ScaleWidth() const;

  std::deque<int> points_;        // newest last
  mutable int scale_width_ = -1;  // measured once per scale and font
  int dynamic_ = 0;
  int offset_ = 0;     // how far the grid has scrolled, modulo a cell
  int dot_phase_ = 0;  // how far the marker dots have scrolled, modulo their period
  static constexpr int kDotPeriod = 3;
  QString top_, bottom_;
};

/// One small bar per processor, for machines with more processors than history graphs.
class ProcessorBars : public QWidget {
 public:
  explicit ProcessorBars(QWidget* parent = nullptr);
  void SetLoads(const std::vector<int>& loads);
  QSize sizeHint() const override { return {300, 36}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::vector<int> loads_;
};

}  // namespace tavrin::window
