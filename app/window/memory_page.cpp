#include "app/window/memory_page.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>

#include "app/window/section_list_view.h"
#include "collectors/system/vsi_memory.h"
#include "collectors/system/vsi_process_list.h"
#include "collectors/system_info.h"
#include "gather/controller.h"
#include "helpers/accessors.h"
#include "pages/categories.h"
#include "pages/memory_rows.h"
#include "pages/page_layouts.h"
#include "pages/value_format.h"
#include "text/labels.h"

namespace tavrin::window {
namespace {

QString FromUtf8(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

QString Bytes(double bytes, int decimals) {
  return FromUtf8(
      helpers::Helper().FormatBytes(helpers::kFormatAuto, pages::UserThousandSeparator(),
                                    static_cast<uint64_t>(std::max(bytes, 0.0)), decimals, 0, ""));
}

QLabel* Swatch(const QColor& color, QWidget* parent) {
  auto* swatch = new QLabel(parent);
  swatch->setFixedSize(12, 12);
  swatch->setAutoFillBackground(true);
  QPalette palette = swatch->palette();
  palette.setColor(QPalette::Window, color);
  swatch->setPalette(palette);
  swatch->setFrameShape(QFrame::Box);
  return swatch;
}

}  // namespace

PieChart::PieChart(QWidget* parent) : QWidget(parent) {
  setFixedSize(185, 185);
}

void PieChart::SetSlices(std::vector<Slice> slices) {
  slices_ = std::move(slices);
  update();
}

void PieChart::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF area = QRectF(rect()).adjusted(4, 4, -4, -4);
  double sum = 0;
  for (const Slice& s : slices_) sum += std::max(s.value, 0.0);
  if (sum <= 0) {
    p.setPen(palette().color(QPalette::Mid));
    p.drawEllipse(area);
    return;
  }
  // Qt counts angles in sixteenths of a degree, counter-clockwise from three o'clock.
  int start = 90 * 16;
  p.setPen(QPen(palette().color(QPalette::Base), 1));
  for (std::size_t i = 0; i < slices_.size(); ++i) {
    const double share = std::max(slices_[i].value, 0.0) / sum;
    int span = -static_cast<int>(share * 360 * 16 + 0.5);
    if (span == 0) continue;
    p.setBrush(slices_[i].color);
    p.drawPie(area, start, span);
    start += span;
  }
}

MemoryPage::MemoryPage(gather::TGetFunctionsClass& controller, SectionListView* list,
                       QWidget* parent)
    : QWidget(parent), controller_(controller), list_(list) {
  setObjectName("memory");
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  list_->setParent(this);
  list_->setMinimumWidth(420);
  layout->addWidget(list_, 1);

  auto* side = new QWidget(this);
  side->setObjectName("pnlMemPieBack");
  // At least the pie's width, wider when the legend's labels (German ones) need it.
  side->setMinimumWidth(260);
  side->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
  auto* column = new QVBoxLayout(side);
  pie_ = new PieChart(side);
  column->addWidget(pie_, 0, Qt::AlignHCenter);

  auto* legend = new QGridLayout;
  auto value = [side] {
    auto* label = new QLabel(FromUtf8(lbl::S_NA), side);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
  };
  auto row = [&](int r, QWidget* swatch, const std::string& caption, QLabel* shown) {
    if (swatch) legend->addWidget(swatch, r, 0);
    legend->addWidget(new QLabel(FromUtf8(caption), side), r, 1);
    legend->addWidget(shown, r, 2, Qt::AlignRight);
  };
  free_ = value();
  used_ = value();
  selected_ = value();
  total_ = value();
  swap_ = value();
  total_with_swap_ = value();
  row(0, Swatch(FreeColor(), side), lbl::S_MEM_FREE_LEGEND, free_);
  row(1, Swatch(UsedColor(), side), lbl::S_MEM_USED_LEGEND, used_);
  row(2, Swatch(SelectedColor(), side), lbl::S_MEM_SELECTED_LEGEND, selected_);
  auto* line = new QFrame(side);
  line->setFrameShape(QFrame::HLine);
  legend->addWidget(line, 3, 0, 1, 3);
  row(4, nullptr, lbl::S_MEM_TOTAL_PHYSICAL, total_);
  row(5, nullptr, lbl::S_MEM_SWAP_FILE, swap_);
  row(6, nullptr, lbl::S_MEM_TOTAL_WINDOWS, total_with_swap_);
  legend->setColumnStretch(1, 1);
  column->addLayout(legend);

  refresh_ = new QLabel(
      "<a href=\"#\">" + FromUtf8(lbl::S_MEM_REFRESH_LIST).toHtmlEscaped() + "</a>", side);
  refresh_->setObjectName("zurefreshprocesses");
  refresh_->setCursor(Qt::PointingHandCursor);
  connect(refresh_, &QLabel::linkActivated, this, [this] { RefreshList(); });
  column->addWidget(refresh_);
  column->addStretch(1);
  layout->addWidget(side);

  list_->FollowRedraws(
      this, [this] { ShowMemory(); }, /*deferred=*/false);
  connect(list_, &QTreeWidget::itemSelectionChanged, this, [this] { SelectionChanged(); });
  list_->header()->setSectionsClickable(true);
  connect(list_->header(), &QHeaderView::sectionClicked, this, [this](int column) {
    if (column == 1) SortByMemory();
  });
}

void MemoryPage::ShowMemory() {
  collectors::TVexa_SystemInfo* info = controller_.Aggregate();
  if (info == nullptr) return;
  const collectors::TVexa_Memory& m = info->Memory();
  if (!m.Available) return;
  total_->setText(FromUtf8(pages::InstalledMemoryText(static_cast<uint64_t>(m.PhysicalTotal))));
  swap_->setText(Bytes(static_cast<double>(m.PageFileTotal), 2));
  total_with_swap_->setText(Bytes(static_cast<double>(m.PhysicalTotal + m.PageFileTotal), 2));
  kept_used_ =
      static_cast<double>((m.PhysicalTotal - m.PhysicalFree) + (m.PageFileTotal - m.PageFileFree));
  kept_free_ = static_cast<double>(m.PhysicalFree + m.PageFileFree);
  used_->setText(Bytes(kept_used_, 2));
  free_->setText(Bytes(kept_free_, 2));
  selected_->setText(FromUtf8(lbl::S_NA));
  pie_->SetSlices({{kept_free_, FreeColor()}, {kept_used_, UsedColor()}, {0, SelectedColor()}});
}

void MemoryPage::SelectionChanged() {
  const auto rows = list_->SelectedRows();
  const pages::TZuSectionItem* item = rows.empty() ? nullptr : list_->RowAt(rows.front());
  if (item == nullptr || item->Data == 0 || kept_used_ <= 0) {
    selected_->setText(FromUtf8(lbl::S_NA));
    pie_->SetSlices({{kept_free_, FreeColor()}, {kept_used_, UsedColor()}, {0, SelectedColor()}});
    return;
  }
  const double selected = static_cast<double>(item->Data) * 1024;
  selected_->setText(FromUtf8(helpers::Helper().FormatBytes(
      helpers::kFormatExact, pages::UserThousandSeparator(), static_cast<uint64_t>(item->Data), 2,
      1, " " + lbl::S_COUNT_KB)));
  pie_->SetSlices({{kept_free_, FreeColor()},
                   {std::max(kept_used_ - selected, 0.0), UsedColor()},
                   {selected, SelectedColor()}});
}

void MemoryPage::RefreshList() {
  if (controller_.InProgress() || controller_.Aggregate() == nullptr) return;
  QAction* refresh = window()->findChild<QAction*>("actRefresh");
  QAction* modes = window()->findChild<QAction*>("actSwitchModes");
  const bool refreshOn = refresh && refresh->isEnabled();
  const bool modesOn = modes && modes->isEnabled();
  refresh_->setEnabled(false);
  if (refresh) refresh->setEnabled(false);
  if (modes) modes->setEnabled(false);
  QApplication::processEvents();
  collectors::TVexa_SystemInfo& info = *controller_.Aggregate();
  if (auto list = info.Find<collectors::TVexa_ProcessList>()) list->RefreshData();
  info.Memory().RefreshData();
  if (QAction* page = window()->findChild<QAction*>("act_si_memoryinfo")) {
    page->trigger();
  } else if (const pages::TSICategory* category = pages::FindCategory("memoryinfo")) {
    controller_.FillCategory(*category, nullptr);
    list_->Render();
  }
  if (refresh) refresh->setEnabled(refreshOn);
  if (modes) modes->setEnabled(modesOn);
  refresh_->setEnabled(true);
}

void MemoryPage::SortByMemory() {
  pages::Page* page = controller_.FindPage("memoryinfo");
  if (page == nullptr) return;
  auto& rows = page->Sections()[pages::memory_section::kProcesses].Items;
  const bool descending = descending_;
  std::stable_sort(rows.begin(), rows.end(), [descending](const auto& a, const auto& b) {
    const int order = pages::CompareMemoryRows(a, b);
    return descending ? order > 0 : order < 0;
  });
  descending_ = !descending_;
  list_->Render();
}

QWidget* MakeMemoryPage(gather::TGetFunctionsClass& controller, SectionListView* list,
                        QWidget* parent) {
  return new MemoryPage(controller, list, parent);
}

}  // namespace tavrin::window
