#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <future>
#include <mutex>
#include <set>
#include <thread>

#include "gather/controller.h"
#include "gather/sync_queue.h"
#include "pages/page_layouts.h"
#include "pages/page_model.h"
#include "pages/section_sources.h"
#include "platform/firmware.h"
#include "tests/support/test_services.h"
#include "text/labels.h"

namespace tavrin::gather {
namespace {

using namespace std::chrono_literals;
using namespace tavrin::base;
using namespace tavrin::collectors;

// What the probes did, in order, shared by every probe of one test.
struct ProbeLog {
  std::mutex mutex;
  std::vector<std::string> refreshed;
  std::vector<std::thread::id> threads;
  void Add(const std::string& name) {
    std::lock_guard lock(mutex);
    refreshed.push_back(name);
    threads.push_back(std::this_thread::get_id());
  }
  std::vector<std::string> Names() {
    std::lock_guard lock(mutex);
    return refreshed;
  }
};

enum class Behaviour { Normal, Throw, Block };

class Probe : public TVexa_VSIC_Component {
 public:
  Probe(std::string className, std::shared_ptr<const platform::Services> services,
        std::shared_ptr<ProbeLog> log, Behaviour behaviour, std::shared_future<void> release)
      : TVexa_VSIC_Component(className, className, std::move(services)),
        log_(std::move(log)),
        behaviour_(behaviour),
        release_(std::move(release)) {}

  void RefreshData() override {
    TVexa_VSIC_Component::RefreshData();
    log_->Add(ClassName());
    if (behaviour_ == Behaviour::Throw) throw std::runtime_error("probe failed");
    if (behaviour_ == Behaviour::Block) release_.wait();
    refreshed = true;
  }
  bool refreshed = false;

 private:
  std::shared_ptr<ProbeLog> log_;
  Behaviour behaviour_;
  std::shared_future<void> release_;
};

// A host that serves main-thread calls from the test's thread and records the status texts.
class RecordingHost : public GatheringHost {
 public:
  void Synchronize(const std::function<void()>& work) override { queue.Synchronize(work); }
  void SetStatusText(const std::string& text) override {
    std::lock_guard lock(mutex);
    statuses.push_back(text);
    if (on_status) on_status(text);
  }
  void ProcessMessages() override { queue.ProcessPending(); }
  std::unique_ptr<ProgressWindow> OpenProgress(const std::string&) override { return nullptr; }

  SyncQueue queue;
  std::mutex mutex;
  std::vector<std::string> statuses;
  std::function<void(const std::string&)> on_status;
};

class GatheringTest : public ::testing::Test {
 protected:
  testing::TempDir dir;
  std::shared_ptr<const platform::Services> services = testing::MakeTestServices(dir.path());
  std::shared_ptr<ProbeLog> log = std::make_shared<ProbeLog>();
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  RecordingHost host;
  TGetFunctionsClass controller;

  ~GatheringTest() override {
    // Lets an abandoned probe end before the services it holds go away with the test.
    try {
      release.set_value();
    } catch (const std::future_error&) {
    }
    std::this_thread::sleep_for(20ms);
  }

  TVexa_SystemInfo::Slot Make(std::string className, Behaviour behaviour = Behaviour::Normal,
                              GatheringPhase phase = GatheringPhase::kFirst) {
    auto log_copy = log;
    auto release_copy = released;
    return {[=](std::shared_ptr<const platform::Services> s) {
              return std::make_shared<Probe>(className, std::move(s), log_copy, behaviour,
                                             release_copy);
            },
            phase};
  }
  TVexa_SystemInfo::Slot Late(std::string className) {
    return Make(std::move(className), Behaviour::Normal, GatheringPhase::kSecond);
  }

  void Use(std::vector<TVexa_SystemInfo::Slot> slots) {
    controller.SetHost(&host);
    controller.SetAggregate(std::make_shared<TVexa_SystemInfo>(services, std::move(slots)));
  }

  void RunToEnd() {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!controller.ThreadFinished() && std::chrono::steady_clock::now() < deadline)
      host.queue.ProcessPending(10ms);
    host.queue.ProcessPending();
    ASSERT_TRUE(controller.ThreadFinished());
  }
};

TEST(CollectorNames, DisplayNameAndParticipation) {
  EXPECT_EQ(CollectorDisplayName("TVexa_CPU"), "CPU");
  EXPECT_EQ(CollectorDisplayName("TVexa_BT"), "BT");
  EXPECT_EQ(CollectorDisplayName("tvEXa_Disk"), "Disk");
  EXPECT_EQ(CollectorDisplayName("Helper"), "Helper");
  EXPECT_TRUE(TakesPartInGathering("TVEXA_Memory"));
  EXPECT_FALSE(TakesPartInGathering("TVexaMemory"));
}

TEST_F(GatheringTest, TwoPhasesRefreshSlowCollectorsLast) {
  Use({Make("TVexa_A"), Late("TVexa_Storage"), Make("NotACollector"), Make("TVexa_B"),
       Late("TVexa_ProcessList")});
  std::vector<std::vector<std::string>> at_finish;
  host.on_status = [&](const std::string& text) {
    if (text.rfind(lbl::S_CURRENT_USER, 0) == 0) at_finish.push_back(log->Names());
  };
  controller.StartGathering();
  EXPECT_TRUE(controller.InProgress());
  controller.StartGathering();  // a second start while one runs does nothing
  RunToEnd();

  ASSERT_EQ(at_finish.size(), 2u) << "the pages are refilled after each phase";
  EXPECT_EQ(at_finish[0], (std::vector<std::string>{"TVexa_A", "TVexa_B"}));
  EXPECT_EQ(at_finish[1],
            (std::vector<std::string>{"TVexa_A", "TVexa_B", "TVexa_Storage", "TVexa_ProcessList"}));
  EXPECT_TRUE(controller.Gathered());
  EXPECT_FALSE(controller.InProgress());
  EXPECT_NE(log->threads[0], std::this_thread::get_id()) << "collectors run off the main thread";
  // A completed gathering is not repeated until a caller clears the flag.
  controller.StartGathering();
  EXPECT_FALSE(controller.InProgress());
  EXPECT_EQ(host.statuses.front(), lbl::S_REC);
}

TEST_F(GatheringTest, ProgressTextsNameEachCollector) {
  Use({Make("TVexa_CPU"), Late("TVexa_Storage")});
  controller.StartGathering();
  RunToEnd();
  const auto has = [&](const std::string& text) {
    return std::find(host.statuses.begin(), host.statuses.end(), text) != host.statuses.end();
  };
  EXPECT_TRUE(has("Receiving a system information from CPU... "));
  EXPECT_TRUE(has("Receiving a system information from Storage... "));
}

TEST_F(GatheringTest, HungCollectorIsAbandonedAndTheRestGoesOn) {
  Use({Make("TVexa_A"), Make("TVexa_Hang", Behaviour::Block), Make("TVexa_B")});
  controller.SetCollectorTimeLimit(200ms);
  const auto start = std::chrono::steady_clock::now();
  controller.StartGathering();
  RunToEnd();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
  const auto names = log->Names();
  EXPECT_NE(std::find(names.begin(), names.end(), "TVexa_B"), names.end());
  // The hung slot now holds a fresh collector that nobody is writing to.
  auto* replaced = dynamic_cast<Probe*>(controller.Aggregate()->Component(1).get());
  ASSERT_NE(replaced, nullptr);
  EXPECT_FALSE(replaced->refreshed);
}

// Firmware tables that never come: the machine collector hangs on them.
class HangingFirmware : public platform::FirmwareService {
 public:
  explicit HangingFirmware(std::shared_future<void> release) : release_(std::move(release)) {}
  platform::FirmwareRoutes ReadSmbios() const override {
    release_.wait();
    return {};
  }
  platform::Answer<std::string> ReadPhysicalMemory(uint64_t, std::size_t) const override {
    release_.wait();
    return platform::Answer<std::string>::Fail(platform::Status::NotSupported, "test");
  }

 private:
  std::shared_future<void> release_;
};

// The rows of a collector abandoned at the time limit say so, in the page model that the
// command line, the reports and the window all show, instead of blaming the machine; a
// section that also shows a collector that answered keeps its rows and names the missing one.
TEST_F(GatheringTest, AbandonedCollectorsSectionsSayTheyTimedOut) {
  auto hanging = std::make_shared<platform::Services>(*services);
  hanging->firmware = std::make_shared<HangingFirmware>(released);
  services = hanging;
  Use({Make("TVexa_A"), {MakeCollector<TVexa_Machine>, GatheringPhase::kFirst, 0}});
  controller.SetCollectorTimeLimit(200ms);
  controller.StartGathering();
  RunToEnd();

  const std::string timed_out = "Timed out: Machine did not answer within 200 ms";
  EXPECT_EQ(controller.TimedOutNote(), timed_out);
  const pages::Page* sysdev = controller.FindPage("sysdevinfo");
  ASSERT_NE(sysdev, nullptr);
  for (int s : {pages::sysdev_section::kBios, pages::sysdev_section::kBoard,
                pages::sysdev_section::kChassis}) {
    const pages::Section& section = sysdev->Sections()[static_cast<std::size_t>(s)];
    EXPECT_TRUE(section.Items.empty()) << section.Caption;
    EXPECT_EQ(pages::EmptySectionReason(section), timed_out) << section.Caption;
  }
  const pages::Page* general = controller.FindPage("generalinfo");
  ASSERT_NE(general, nullptr);
  const auto& hardware = general->Sections()[pages::general_section::kHardware].missing;
  EXPECT_TRUE(std::any_of(hardware.begin(), hardware.end(), [](const pages::MissingValue& m) {
    return m.label == "Machine" && m.reason == "Timed out: Machine did not answer within 200 ms";
  })) << "the processor and the other collectors of the section still answer";

  // A refresh that finishes takes the mark away again.
  release.set_value();
  ASSERT_EQ(controller.Aggregate()->RefreshComponent(1, 5s).outcome, RunOutcome::Finished);
  EXPECT_FALSE(controller.Aggregate()->AbandonedAfter("Machine"));
  EXPECT_EQ(controller.TimedOutNote(), "");
}

// The table of which collectors feed which section follows the page layouts, and names only
// collectors that exist.
TEST(SectionSources, EverySectionOfEveryLayoutIsCovered) {
  std::set<std::string_view> names;
  for (const CollectorRow& row : kCollectorTable) names.insert(row.name);
  for (const pages::PageLayout& layout : pages::PageLayouts()) {
    const int count = static_cast<int>(layout.sections.size());
    for (int i = 0; i < count; ++i)
      for (std::string_view name : pages::SectionCollectors(layout.categoryKey, i))
        EXPECT_TRUE(names.count(name)) << layout.categoryKey << " " << i << " " << name;
    EXPECT_FALSE(pages::SectionCollectors(layout.categoryKey, 0).empty()) << layout.categoryKey;
    EXPECT_FALSE(pages::SectionCollectors(layout.categoryKey, count - 1).empty())
        << layout.categoryKey << " has more sections than the table";
    EXPECT_TRUE(pages::SectionCollectors(layout.categoryKey, count).empty())
        << layout.categoryKey << " has fewer sections than the table";
  }
}

TEST_F(GatheringTest, FailingCollectorEndsGatherWithProgressWithoutData) {
  Use({Make("TVexa_A"), Make("TVexa_Bad", Behaviour::Throw), Make("TVexa_C")});
  EXPECT_FALSE(controller.GatherWithProgress());
  EXPECT_FALSE(controller.Gathered());
  EXPECT_FALSE(controller.InProgress());
  EXPECT_EQ(log->Names(), (std::vector<std::string>{"TVexa_A", "TVexa_Bad"}));
}

TEST_F(GatheringTest, GatherWithProgressRefreshesEverySlotInPlace) {
  Use({Late("TVexa_Storage"), Make("TVexa_A"), Late("TVexa_ProcessList")});
  EXPECT_TRUE(controller.GatherWithProgress());
  EXPECT_TRUE(controller.Gathered());
  EXPECT_EQ(log->Names(),
            (std::vector<std::string>{"TVexa_Storage", "TVexa_A", "TVexa_ProcessList"}));
  EXPECT_FALSE(controller.GatherWithProgress()) << "nothing to do once gathered";
  controller.ClearGathered();
  controller.SetInProgress(true);  // the start-up hold blocks it too
  EXPECT_FALSE(controller.GatherWithProgress());
}

TEST_F(GatheringTest, ShutdownStopsBeforeTheNextCollector) {
  Use({Make("TVexa_Slow", Behaviour::Block), Make("TVexa_Never"), Late("TVexa_Storage")});
  controller.StartGathering();
  while (log->Names().empty()) host.queue.ProcessPending(1ms);
  std::thread releaser([&] {
    std::this_thread::sleep_for(100ms);
    release.set_value();
  });
  bool unloading = false;
  controller.Shutdown([&] { unloading = true; });
  releaser.join();
  EXPECT_TRUE(unloading);
  RunToEnd();
  const auto names = log->Names();
  EXPECT_EQ(std::count(names.begin(), names.end(), "TVexa_Never"), 0);
}

TEST_F(GatheringTest, ShutdownWithoutThreadReturnsAtOnce) {
  Use({Make("TVexa_A")});
  bool unloading = false;
  controller.Shutdown([&] { unloading = true; });
  EXPECT_FALSE(unloading) << "closing before gathering started takes no unloading lock";
}

TEST(SyncQueueTest, RunsWorkOnTheMainThreadAndWaits) {
  SyncQueue queue;
  std::atomic<bool> ran_on_main{false};
  const auto main_id = std::this_thread::get_id();
  std::thread worker(
      [&] { queue.Synchronize([&] { ran_on_main = std::this_thread::get_id() == main_id; }); });
  while (!ran_on_main) queue.ProcessPending(10ms);
  worker.join();
  bool direct = false;
  queue.Synchronize([&] { direct = true; });
  EXPECT_TRUE(direct);
}

TEST(TimeLimit, OutcomesOfFinishedFailedAndTimedOutWork) {
  EXPECT_EQ(RunWithTimeLimit([] {}, 1s).outcome, RunOutcome::Finished);
  const RunResult failed = RunWithTimeLimit([] { throw std::runtime_error("boom"); }, 1s);
  EXPECT_EQ(failed.outcome, RunOutcome::Failed);
  EXPECT_EQ(failed.error, "boom");
  auto gate = std::make_shared<std::promise<void>>();
  auto opened = gate->get_future().share();
  EXPECT_EQ(RunWithTimeLimit([opened] { opened.wait(); }, 50ms).outcome, RunOutcome::TimedOut);
  gate->set_value();
}

}  // namespace
}  // namespace tavrin::gather
