// The Performance page of the window: the counts list on the left, the live monitors of
// processor, memory and swap load on the right, driven by a 100 ms timer and the processor
// load sampler.
#pragma once

#include <QTimer>
#include <QWidget>
#include <memory>

#include "collectors/cpu/cpu_usage.h"

class QGroupBox;
class QLabel;

namespace tavrin::gather {
class TGetFunctionsClass;
}

namespace tavrin::window {

class HistoryGraph;
class LoadBar;
class ProcessorBars;
class SectionListView;

class PerformancePage : public QWidget {
 public:
  PerformancePage(gather::TGetFunctionsClass& controller, SectionListView* counts,
                  QWidget* parent = nullptr);
  ~PerformancePage() override;

  /// How long after its creation the page starts sampling, as the window starts its gathering.
  static constexpr int kStartDelayMs = 1500;
  static constexpr int kTickMs = 100;
  static constexpr int kSamplerIntervalMs = 500;

 private:
  /// Starts the sampler and the live tick; on replayed data it says why nothing moves instead.
  void Start();
  /// The 100 ms tick: draws the last processor loads and the memory and swap load.
  void Tick();
  bool GatheringIdle() const;

  gather::TGetFunctionsClass& controller_;
  std::unique_ptr<collectors::TVexa_CPUUsage> sampler_;
  QTimer tick_timer_;
  QTimer sampler_timer_;
  int32_t last_average_ = 0;
  collectors::TCPUUsages last_loads_;
  bool swap_scale_set_ = false;

  QLabel* note_;
  QGroupBox* swap_group_;
  LoadBar* cpu_bar_;
  HistoryGraph* cpu_history1_;
  HistoryGraph* cpu_history2_;
  ProcessorBars* per_processor_;
  LoadBar* memory_bar_;
  HistoryGraph* memory_history_;
  LoadBar* swap_bar_;
  HistoryGraph* swap_history_;
};

/// Puts the counts list of the performance page beside the live monitors; the window's hook.
QWidget* MakePerformancePage(gather::TGetFunctionsClass& controller, SectionListView* counts,
                             QWidget* parent);

}  // namespace tavrin::window
