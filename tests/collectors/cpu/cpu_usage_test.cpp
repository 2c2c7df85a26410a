#include "collectors/cpu/cpu_usage.h"

#include <gtest/gtest.h>

#include "tests/support/fake_process_service.h"
#include "tests/support/test_services.h"

namespace tavrin::collectors {
namespace {

using testing::FakeProcessService;

TEST(CpuUsageArithmetic, LoadFromIdleTime) {
  // One second is 10 000 000 units of 100 ns.
  EXPECT_EQ(LoadFromIdle(500 * 10'000, 500), 0) << "idle the whole interval";
  EXPECT_EQ(LoadFromIdle(0, 500), 100) << "never idle";
  EXPECT_EQ(LoadFromIdle(2'500'000, 500), 50);
  EXPECT_EQ(LoadFromIdle(123'456, 0), 0) << "an interval of 0 has no answer";
  EXPECT_EQ(LoadFromIdle(0, 0), 0);
  // Halves go to the even neighbour: 12.5 -> 12, 37.5 -> 38 (both exact in binary).
  EXPECT_EQ(LoadFromIdle(8'750'000, 1000), 12);
  EXPECT_EQ(LoadFromIdle(6'250'000, 1000), 38);
  // The interval is taken as configured: a late tick gives more idle time than it allows.
  EXPECT_EQ(LoadFromIdle(11'000'000, 1000), -10);
  EXPECT_EQ(LoadFromIdle(-1'000'000, 1000), 110);
}

TEST(CpuUsageArithmetic, AverageAndWhatTheWindowKeeps) {
  EXPECT_EQ(AverageLoad({}), 0);
  EXPECT_EQ(AverageLoad({37}), 37);
  EXPECT_EQ(AverageLoad({1, 2}), 2) << "1.5 rounds to the even 2";
  EXPECT_EQ(AverageLoad({2, 3}), 2) << "2.5 rounds to the even 2";
  EXPECT_EQ(AverageLoad({10, 20, 31}), 20);
  EXPECT_EQ(StoredAverageLoad(100), 100);
  EXPECT_EQ(StoredAverageLoad(101), 0) << "more than 100 is a timing artefact";
  EXPECT_EQ(StoredAverageLoad(-4), -4) << "a negative average is kept";
}

class CpuUsageSampler : public ::testing::Test {
 protected:
  std::shared_ptr<const platform::Services> Services(bool live) {
    auto services =
        std::make_shared<platform::Services>(*testing::MakeTestServices(dir_.path(), live));
    services->processes = fake_;
    return services;
  }
  void SetIdle(std::vector<platform::ProcessorIdle> idle) { fake_->idle = std::move(idle); }

  testing::TempDir dir_;
  std::shared_ptr<FakeProcessService> fake_ = std::make_shared<FakeProcessService>();
};

TEST_F(CpuUsageSampler, FirstTickIsMeasuredFromActivation) {
  SetIdle({{0, 1'000'000'000}});
  TVexa_CPUUsage sampler(Services(true));
  sampler.SetInterval(500);
  ASSERT_TRUE(sampler.Available());
  EXPECT_EQ(sampler.ProcessorCount(), 1u);
  EXPECT_FALSE(sampler.Active());
  std::vector<TCPUUsages> delivered;
  std::vector<int32_t> averages;
  sampler.OnInterval = [&](TVexa_CPUUsage&, const TCPUUsages& v, int32_t avg) {
    delivered.push_back(v);
    averages.push_back(avg);
  };
  sampler.SetActive(true);
  EXPECT_TRUE(sampler.Active());
  EXPECT_TRUE(delivered.empty()) << "the activation sample goes to no one";
  // Idle for 1/4 of the half second since activation: 75 % load, not a load against zero.
  SetIdle({{0, 1'000'000'000 + 1'250'000}});
  sampler.Tick();
  ASSERT_EQ(delivered.size(), 1u);
  EXPECT_EQ(delivered[0], TCPUUsages{75});
  EXPECT_EQ(averages[0], 75) << "one processor: the average is its load";
  sampler.SetActive(false);
  EXPECT_FALSE(sampler.Active());
}

TEST_F(CpuUsageSampler, ProcessorsGoingOfflineAndBackDoNotSkewTheOthers) {
  SetIdle({{0, 0}, {1, 0}, {3, 0}});
  TVexa_CPUUsage sampler(Services(true));
  sampler.SetInterval(1000);
  EXPECT_EQ(sampler.ProcessorCount(), 3u);
  EXPECT_EQ(sampler.Processors(), (std::vector<uint32_t>{0, 1, 3}));
  sampler.SetActive(true);
  // Processor 1 goes offline.
  SetIdle({{0, 5'000'000}, {3, 10'000'000}});
  sampler.Tick();
  EXPECT_EQ(sampler.Loads(), (TCPUUsages{50, 0, 0}));
  // It returns: its first sample is a new baseline, not a jump from its old count.
  SetIdle({{0, 5'000'000}, {1, 900'000'000}, {3, 12'500'000}});
  sampler.Tick();
  EXPECT_EQ(sampler.Loads(), (TCPUUsages{100, 0, 75}));
  SetIdle({{0, 15'000'000}, {1, 902'500'000}, {3, 22'500'000}, {4, 7}});
  sampler.Tick();
  EXPECT_EQ(sampler.Loads(), (TCPUUsages{0, 75, 0}))
      << "a processor new since start is not sampled";
}

TEST_F(CpuUsageSampler, ReplayedDataIsNeverSampled) {
  SetIdle({{0, 0}, {1, 0}});
  TVexa_CPUUsage sampler(Services(false));
  EXPECT_FALSE(sampler.Available());
  EXPECT_EQ(sampler.ProcessorCount(), 1u);
  sampler.SetActive(true);
  EXPECT_FALSE(sampler.Active()) << "an unavailable sampler reads as inactive";
}

}  // namespace
}  // namespace tavrin::collectors
