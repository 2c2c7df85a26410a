#include "app/window/performance_page.h"

#include <algorithm>

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>

#include "app/window/load_graphs.h"
#include "app/window/section_list_view.h"
#include "collectors/system/vsi_process_list.h"
#include "collectors/system_info.h"
#include "gather/controller.h"
#include "pages/memory_rows.h"
#include "platform/memory_status.h"
#include "text/labels.h"

namespace tavrin::window {
namespace {

QString FromUtf8(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

QGroupBox* Group(const std::string& caption, QWidget* parent) {
  auto* box = new QGroupBox(FromUtf8(caption), parent);
  box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  return box;
}

}  // namespace

PerformancePage::PerformancePage(gather::TGetFunctionsClass& controller, SectionListView* counts,
                                 QWidget* parent)
    : QWidget(parent), controller_(controller) {
  setObjectName("perfomance");
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  counts->setParent(this);
  counts->setFixedWidth(266);
  // Two columns, label and count, each as wide as its texts: the page-wide column rule of the
  // other lists would cut the labels in this narrow list.
  counts->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  counts->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  counts->setColumnHidden(2, true);
  // Longer labels than the English ones (German) widen the list rather than cut the counts.
  counts->FollowRedraws(this, [counts] {
    const int wanted = counts->header()->length() + 2 * counts->frameWidth() + 6;
    counts->setFixedWidth(std::clamp(wanted, 266, 440));
  });
  layout->addWidget(counts);

  auto* graphs = new QWidget(this);
  graphs->setObjectName("pnlPerfGraphBack");
  auto* column = new QVBoxLayout(graphs);
  column->setContentsMargins(8, 4, 8, 4);
  auto* title = new QLabel(FromUtf8(lbl::S_PERF_TITLE), graphs);
  title->setObjectName("ZuPerfHeader");
  QFont bold = title->font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.2);
  title->setFont(bold);
  column->addWidget(title);

  auto* cpu = Group(lbl::S_PERF_CPU_GROUP, graphs);
  cpu->setObjectName("CPUGroup");
  auto* cpuRows = new QVBoxLayout(cpu);
  auto* cpuRow = new QHBoxLayout;
  cpu_bar_ = new LoadBar(cpu);
  cpu_history1_ = new HistoryGraph(cpu);
  cpu_history2_ = new HistoryGraph(cpu);
  cpuRow->addWidget(cpu_bar_);
  cpuRow->addWidget(cpu_history1_, 1);
  cpuRow->addWidget(cpu_history2_, 1);
  cpuRows->addLayout(cpuRow);
  per_processor_ = new ProcessorBars(cpu);
  per_processor_->hide();
  cpuRows->addWidget(per_processor_);
  column->addWidget(cpu);

  auto* memory = Group(lbl::S_PERF_MEMORY_GROUP, graphs);
  memory->setObjectName("UseMemoryGroup");
  auto* memoryRow = new QHBoxLayout(memory);
  memory_bar_ = new LoadBar(memory);
  memory_history_ = new HistoryGraph(memory);
  memory_history_->SetScale("100 %", "0 %");
  memoryRow->addWidget(memory_bar_);
  memoryRow->addWidget(memory_history_, 1);
  column->addWidget(memory);

  swap_group_ = Group(lbl::S_PERF_PAGEFILE_GROUP, graphs);
  swap_group_->setObjectName("useSwapGroup");
  auto* swapRow = new QHBoxLayout(swap_group_);
  swap_bar_ = new LoadBar(swap_group_);
  swap_history_ = new HistoryGraph(swap_group_);
  swap_history_->SetScale("100 %", "0 %");
  swapRow->addWidget(swap_bar_);
  swapRow->addWidget(swap_history_, 1);
  column->addWidget(swap_group_);

  note_ = new QLabel(graphs);
  note_->setWordWrap(true);
  note_->hide();
  column->addWidget(note_);
  column->addStretch(1);
  layout->addWidget(graphs, 1);

  // The window lists the desktop's windows and handles too, for the counts beside the monitors.
  if (collectors::TVexa_SystemInfo* info = controller_.Aggregate())
    if (auto list = info->Find<collectors::TVexa_ProcessList>())
      list->DetectionRange = collectors::dtProcesses | collectors::dtServices |
                             collectors::dtDrivers | collectors::dtHandles | collectors::dtWindows;

  tick_timer_.setInterval(kTickMs);
  connect(&tick_timer_, &QTimer::timeout, this, [this] { Tick(); });
  connect(&sampler_timer_, &QTimer::timeout, this, [this] {
    if (sampler_ && sampler_->Active()) sampler_->Tick();
  });
  QTimer::singleShot(kStartDelayMs, this, [this] { Start(); });
}

PerformancePage::~PerformancePage() = default;

bool PerformancePage::GatheringIdle() const {
  return controller_.Aggregate() != nullptr && controller_.ThreadCreated() &&
         !controller_.InProgress();
}

void PerformancePage::Start() {
  collectors::TVexa_SystemInfo* info = controller_.Aggregate();
  if (info == nullptr) {
    QTimer::singleShot(kStartDelayMs, this, [this] { Start(); });
    return;
  }
  const auto& services = info->SharedServices();
  if (!platform::IsLiveMachine(*services)) {
    note_->setText(FromUtf8(lbl::S_PERF_NOT_LIVE));
    note_->show();
    return;
  }
  sampler_ = std::make_unique<collectors::TVexa_CPUUsage>(services);
  sampler_->SetInterval(kSamplerIntervalMs);
  sampler_->OnInterval = [this](collectors::TVexa_CPUUsage&, const collectors::TCPUUsages& values,
                                int32_t average) {
    // Loads measured while the gathering keeps the machine busy are not shown.
    if (!GatheringIdle()) return;
    last_average_ = collectors::StoredAverageLoad(average);
    last_loads_ = values;
  };
  cpu_history2_->setVisible(sampler_->ProcessorCount() != 1);
  per_processor_->setVisible(sampler_->ProcessorCount() > 2);
  sampler_->SetActive(true);
  sampler_timer_.start(kSamplerIntervalMs);
  tick_timer_.start();
}

void PerformancePage::Tick() {
  if (!GatheringIdle()) return;
  cpu_bar_->RepaintGrid(last_average_);
  if (!last_loads_.empty()) {
    cpu_history1_->SetDynamicValue(last_loads_[0]);
    cpu_history1_->RepaintGrid();
    if (last_loads_.size() > 1) {
      cpu_history2_->SetDynamicValue(last_loads_[1]);
      cpu_history2_->RepaintGrid();
    }
    if (per_processor_->isVisible())
      per_processor_->SetLoads(std::vector<int>(last_loads_.begin(), last_loads_.end()));
  }
  // The memory status straight from its service: the collector's full refresh would also
  // re-read the system facts ten times a second, which the idle window cannot afford.
  const auto& service = controller_.Aggregate()->SharedServices()->memory;
  if (!service) return;
  const auto status = service->Status();
  if (!status) return;
  const auto swapTotal = static_cast<int64_t>(status->swapTotal);
  const auto swapFree = static_cast<int64_t>(status->swapFree);
  if (!swap_scale_set_ && controller_.Gathered() && swapTotal > 0) {
    const pages::HistoryScale scale = pages::SwapHistoryScale(swapTotal);
    swap_history_->SetScale(QString::number(scale.top) + FromUtf8(scale.unit),
                            "0" + FromUtf8(scale.unit));
    swap_scale_set_ = true;
  }
  // Without swap space the swap monitor stays at 0 and says so; the memory monitor goes on.
  const auto swap = pages::SwapLoadPercent(swapTotal, swapFree);
  swap_bar_->RepaintGrid(swap ? static_cast<int>(*swap) : 0, swap ? QString() : "-");
  swap_history_->SetDynamicValue(swap ? static_cast<int>(*swap) : 0);
  swap_history_->RepaintGrid();
  const QString swapTitle =
      swap ? FromUtf8(lbl::S_PERF_PAGEFILE_GROUP)
           : FromUtf8(lbl::S_PERF_PAGEFILE_GROUP) + " (" + FromUtf8(lbl::S_PERF_NO_SWAP) + ")";
  if (swap_group_->title() != swapTitle) swap_group_->setTitle(swapTitle);
  memory_bar_->RepaintGrid(static_cast<int>(status->memoryLoad));
  memory_history_->SetDynamicValue(static_cast<int>(status->memoryLoad));
  memory_history_->RepaintGrid();
}

QWidget* MakePerformancePage(gather::TGetFunctionsClass& controller, SectionListView* counts,
                             QWidget* parent) {
  return new PerformancePage(controller, counts, parent);
}

}  // namespace tavrin::window
