#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <future>
#include <mutex>
#include <set>

#include "collectors/system_info.h"
#include "tests/support/test_services.h"

namespace tavrin::collectors {
namespace {

using namespace std::chrono_literals;

// A collector that records its refreshes in a shared list and can be told to hang.
struct Shared {
  std::mutex mutex;
  std::vector<std::string> refreshed;
  std::atomic<int> built{0};
  std::promise<void> gate;
  std::shared_future<void> opened = gate.get_future().share();
  ~Shared() {
    try {
      gate.set_value();
    } catch (const std::future_error&) {
    }
  }
};

class Probe : public TVexa_VSIC_Component {
 public:
  Probe(std::string name, std::shared_ptr<const platform::Services> services,
        std::shared_ptr<Shared> shared, bool hang)
      : TVexa_VSIC_Component("TVexa_" + name, name, std::move(services)),
        shared_(std::move(shared)),
        hang_(hang) {}
  void RefreshData() override {
    TVexa_VSIC_Component::RefreshData();
    {
      std::lock_guard lock(shared_->mutex);
      shared_->refreshed.push_back(Name());
    }
    if (hang_) shared_->opened.wait();
  }

 private:
  std::shared_ptr<Shared> shared_;
  bool hang_;
};

class AggregateTest : public ::testing::Test {
 protected:
  testing::TempDir dir;
  std::shared_ptr<const platform::Services> services = testing::MakeTestServices(dir.path());
  std::shared_ptr<Shared> shared = std::make_shared<Shared>();

  ~AggregateTest() override {
    shared->gate.set_value();
    std::this_thread::sleep_for(20ms);  // lets abandoned probes leave before the services go
  }

  // `hang_from` : the construction from which on the probe's refresh hangs; `block_build_from`:
  // the construction from which on building itself hangs.
  TVexa_SystemInfo::Slot Probed(std::string name, int rank = 0, int hang_from = 0,
                                int block_build_from = 0) {
    auto s = shared;
    return {[=](std::shared_ptr<const platform::Services> services) {
              const int n = ++s->built;
              if (block_build_from > 0 && n >= block_build_from) s->opened.wait();
              const bool hang = hang_from > 0 && n >= hang_from;
              return std::make_shared<Probe>(name, std::move(services), s, hang);
            },
            GatheringPhase::kFirst, rank};
  }
  std::vector<std::string> Refreshed() {
    std::lock_guard lock(shared->mutex);
    return shared->refreshed;
  }
};

TEST(CollectorTable, DeclaresEveryCollectorOnceWithAConsistentOrder) {
  testing::TempDir dir;
  TVexa_SystemInfo info(testing::MakeTestServices(dir.path()));
  const std::size_t count = std::size(kCollectorTable);
  ASSERT_EQ(info.ComponentCount(), count);

  std::set<int> ranks;
  std::set<std::string> classes;
  for (std::size_t i = 0; i < count; ++i) {
    const auto component = info.Component(i);
    EXPECT_EQ(component->Name(), kCollectorTable[i].name) << "row " << i;
    EXPECT_EQ(component->ClassName().rfind("TVexa_", 0), 0u) << component->ClassName();
    ranks.insert(kCollectorTable[i].refresh_rank);
    classes.insert(component->ClassName());
    EXPECT_EQ(info.Phase(i) == GatheringPhase::kSecond,
              component->Name() == "Storage" || component->Name() == "ProcessList")
        << component->Name();
  }
  EXPECT_EQ(classes.size(), count) << "a class twice would make typed access ambiguous";
  ASSERT_EQ(ranks.size(), count) << "two collectors share a place in the refresh order";
  EXPECT_EQ(*ranks.begin(), 1);
  EXPECT_EQ(*ranks.rbegin(), static_cast<int>(count));

  std::vector<std::string> order;
  for (std::size_t i : info.RefreshOrder()) order.push_back(info.Component(i)->Name());
  const std::vector<std::string> expected = {
      "USB",      "Devices",  "Storage", "Engines",     "CPU",       "Memory", "OperatingSystem",
      "Machine",  "Software", "Network", "Display",     "Monitor",   "Media",  "APM",
      "Printers", "Startup",  "Disk",    "ProcessList", "Bluetooth", "Ports"};
  EXPECT_EQ(order, expected);

  EXPECT_EQ(info.Bluetooth().ClassName(), "TVexa_BT");
  EXPECT_EQ(&info.OS(), info.Find<TVexa_OperatingSystem>().get());
  info.RefreshData();
  EXPECT_TRUE(info.DataAvailable());
  EXPECT_FALSE(info.CPU().LiveData()) << "test services are not the live machine";
  info.RefreshData();  // a second refresh replaces everything without trouble
  EXPECT_EQ(info.OS().OsVersionSnapshot().major, 6u);
}

// System facts that count how often they were asked.
class CountingFacts : public testing::FixedSystemFacts {
 public:
  platform::Answer<std::string> UserName() const override {
    ++asked;
    return FixedSystemFacts::UserName();
  }
  mutable std::atomic<int> asked{0};
};

TEST(CollectorBase, BuildingAsksNothingAndTheRefreshReadsTheAccount) {
  auto facts = std::make_shared<CountingFacts>();
  auto services = std::make_shared<platform::Services>();
  services->system = facts;
  TVexa_VSIC_Component collector("TVexa_Base", "Base", services);
  EXPECT_EQ(facts->asked, 0);
  EXPECT_EQ(collector.UserName(), "");
  collector.RefreshData();
  EXPECT_EQ(collector.UserName(), "tester");
  EXPECT_EQ(collector.UserSid(), "1000");
}

TEST_F(AggregateTest, OwnRefreshFollowsTheRanksThenTheUnrankedInWalkOrder) {
  TVexa_SystemInfo info(services, {Probed("A"), Probed("B", 2), Probed("C"), Probed("D", 1)});
  info.RefreshData();
  EXPECT_EQ(Refreshed(), (std::vector<std::string>{"D", "B", "A", "C"}));
  EXPECT_TRUE(info.DataAvailable());
}

TEST_F(AggregateTest, TimedOutSlotGetsTheSpareBuiltBeforeItHung) {
  TVexa_SystemInfo info(services, {Probed("Hang", 0, /*hang_from=*/1)});
  const auto hung = info.Component(0);
  EXPECT_EQ(info.RefreshComponent(0, 100ms).outcome, base::RunOutcome::TimedOut);
  const auto fresh = info.Component(0);
  EXPECT_NE(fresh, hung);
  EXPECT_EQ(fresh->ClassName(), "TVexa_Hang");
  EXPECT_EQ(shared->built, 2) << "the spare is the only collector built for the slot";
}

TEST_F(AggregateTest, ACollectorWhoseBuildHangsDoesNotStallTheCallerTwice) {
  // The first build (the slot's own) works; the spare's build hangs, so does the refresh.
  TVexa_SystemInfo info(services, {Probed("Stuck", 0, 1, /*block_build_from=*/2)});
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(info.RefreshComponent(0, 150ms).outcome, base::RunOutcome::TimedOut);
  EXPECT_EQ(info.RefreshComponent(0, 150ms).outcome, base::RunOutcome::TimedOut);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
  // The slot holds an inert collector under the same names; typed access finds no probe.
  EXPECT_EQ(info.Component(0)->ClassName(), "TVexa_Stuck");
  EXPECT_EQ(info.Find<Probe>(), nullptr);
}

TEST_F(AggregateTest, TypedAccessFindsCollectorsByClassWhereverTheyAre) {
  TVexa_SystemInfo info(services,
                        {Probed("A"), TVexa_SystemInfo::Slot{MakeCollector<TVexa_Memory>}});
  EXPECT_EQ(&info.Memory(), info.Component(1).get());
  // A class the aggregate lacks answers one empty stand-in, never another slot's collector.
  TVexa_CPU& cpu = info.CPU();
  EXPECT_EQ(cpu.ClassName(), "TVexa_CPU");
  EXPECT_EQ(&cpu, &info.CPU());
  EXPECT_EQ(info.Find<TVexa_CPU>(), nullptr);
  EXPECT_EQ(info.Refresh<TVexa_CPU>(1s).outcome, base::RunOutcome::Finished);
  EXPECT_TRUE(Refreshed().empty());
}

}  // namespace
}  // namespace tavrin::collectors
