// The Memory page of the window: the process and service list on the left; on the right a pie
// of free, used and selected memory with its legend, the totals, and "Refresh List".
#pragma once

#include <QColor>
#include <QWidget>
#include <vector>

class QLabel;

namespace tavrin::gather {
class TGetFunctionsClass;
}

namespace tavrin::window {

class SectionListView;

/// A pie of slices drawn clockwise from the top, each slice its share of the sum.
class PieChart : public QWidget {
 public:
  explicit PieChart(QWidget* parent = nullptr);
  struct Slice {
    double value = 0;
    QColor color;
  };
  void SetSlices(std::vector<Slice> slices);
  const std::vector<Slice>& slices() const { return slices_; }
  QSize sizeHint() const override { return {185, 185}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::vector<Slice> slices_;
};

class MemoryPage : public QWidget {
 public:
  MemoryPage(gather::TGetFunctionsClass& controller, SectionListView* list,
             QWidget* parent = nullptr);

  // The slice colours.
  static QColor FreeColor() { return QColor(0x1D, 0xAF, 0x15); }
  static QColor UsedColor() { return QColor(0x4C, 0x09, 0xF6); }
  static QColor SelectedColor() { return QColor(0xFF, 0x80, 0x00); }

 private:
  /// After every fill of the list: totals, free and used memory, the pie.
  void ShowMemory();
  /// The selected process's memory as the third slice.
  void SelectionChanged();
  /// Reads the processes and the memory status again and refills the page.
  void RefreshList();
  /// Orders the processes by working set, smallest first; again, largest first.
  void SortByMemory();

  gather::TGetFunctionsClass& controller_;
  SectionListView* list_;
  PieChart* pie_;
  QLabel* free_;
  QLabel* used_;
  QLabel* selected_;
  QLabel* total_;
  QLabel* swap_;
  QLabel* total_with_swap_;
  QLabel* refresh_;
  double kept_used_ = 0;  // the used slice before a selection took its share
  double kept_free_ = 0;
  bool descending_ = false;
};

/// Puts the memory page's list beside the pie; the window's hook.
QWidget* MakeMemoryPage(gather::TGetFunctionsClass& controller, SectionListView* list,
                        QWidget* parent);

}  // namespace tavrin::window
