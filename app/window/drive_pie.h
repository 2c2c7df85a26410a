// The pie of used and free space beside the drives page's summary.
#pragma once

#include <QColor>
#include <QWidget>
#include <cstdint>

namespace tavrin::window {

class DrivePie : public QWidget {
 public:
  explicit DrivePie(QWidget* parent = nullptr);

  /// Both zero draws an empty grey disc: the sizes are not known.
  void SetValues(uint64_t used, uint64_t free);
  uint64_t used() const { return used_; }
  uint64_t free() const { return free_; }

  static QColor UsedColor() { return QColor(0x2F, 0x6E, 0xBA); }
  static QColor FreeColor() { return QColor(0xD6, 0x3B, 0xB8); }

  QSize sizeHint() const override { return {150, 150}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  uint64_t used_ = 0, free_ = 0;
};

}  // namespace tavrin::window
