#include <gtest/gtest.h>

#include "gather/controller.h"
#include "pages/fillers.h"
#include "pages/health_summary.h"
#include "platform/recorded/snapshot.h"
#include "text/format.h"
#include "text/labels.h"

namespace tavrin::pages {
namespace {

TEST(GeneralPage, OperatingSystemRowsAndSummary) {
  auto opened =
      platform::OpenSnapshot(std::filesystem::path(TAVRIN_SOURCE_DIR) / "tests/fixtures/os/xp");
  ASSERT_TRUE(opened.services) << opened.error;
  auto aggregate = std::make_shared<collectors::TVexa_SystemInfo>(
      std::make_shared<const platform::Services>(std::move(*opened.services)));
  gather::TGetFunctionsClass controller;
  controller.SetAggregate(aggregate);
  aggregate->Refresh<collectors::TVexa_OperatingSystem>(std::chrono::seconds(30));

  auto rows = [&controller]() {
    controller.FillCategory(*FindCategory("generalinfo"), nullptr);
    return controller.FindPage("generalinfo")->Sections()[0].Items;
  };
  auto easy = rows();
  ASSERT_EQ(easy.size(), 1u) << "the language row is advanced-only";
  EXPECT_EQ(easy[0].Caption, lbl::S_GEN_WINNAME);
  EXPECT_EQ(easy[0].SubItems[0], " Windows XP (5.1.2600) Home");
  EXPECT_EQ(controller.summary.windows_name, "Windows XP (5.1.2600) Home");

  controller.SetAdvancedMode(true);
  auto advanced = rows();
  ASSERT_EQ(advanced.size(), 2u);
  EXPECT_EQ(advanced[1].Caption, lbl::S_GEN_LANGUAGE);
  EXPECT_EQ(advanced[1].SubItems[0], " Deutsch (Deutschland) (ID: $0407)");
}

// The health line's disk and battery parts: a failing drive is named, a temperature warning
// alone fails nothing, and unknowns say why.
TEST(GeneralPage, HealthOfDisksAndBatteries) {
  using collectors::SmartStatus;
  collectors::TDeviceInfo sata, nvme, usb;
  sata.Name = "sda";
  sata.Smart = collectors::SmartData{};
  auto attribute = [](uint8_t id, bool prefail, SmartStatus status) {
    collectors::SmartAttribute a;
    a.id = id;
    a.flags = prefail ? 1 : 0;
    a.status = status;
    return a;
  };
  sata.Smart->attributes = {attribute(5, true, SmartStatus::kPassed),
                            attribute(190, false, SmartStatus::kOldAgeFailing)};
  nvme.Name = "nvme0n1";
  nvme.Nvme = collectors::NvmeHealth{};
  nvme.Nvme->criticalWarning = 0x02;  // too hot, nothing more
  usb.Name = "sdb";
  usb.SmartSource = platform::Provenance::Failure(platform::Status::NotSupported, "/dev/sdb",
                                                  "the USB bridge passes no ATA commands");
  EXPECT_EQ(DiskHealth({}), "");
  EXPECT_EQ(DiskHealth({sata, nvme, usb}), lbl::S_GEN_HEALTH_DISKS_PASS)
      << "an advisory attribute's wear and a temperature warning are no failure";
  EXPECT_NE(DiskHealth({usb}).find("the USB bridge passes no ATA commands"), std::string::npos);
  sata.Smart->attributes[0].status = SmartStatus::kPrefailFailing;
  nvme.Nvme->criticalWarning = 0x08;  // read-only
  EXPECT_EQ(DiskHealth({sata, nvme, usb}),
            FormatText(lbl::S_GEN_HEALTH_DISKS_FAILING, {"2", "sda, nvme0n1"}));

  const auto answered = platform::Provenance::Answered("/sys/class/power_supply");
  collectors::TBatteryRecord fresh, worn, vague;
  fresh.DeviceName = "BAT0";
  fresh.DesignedCapacity = 50000;
  fresh.Capacity = 45000;
  worn.DeviceName = "BAT1";
  worn.DesignedCapacity = 50000;
  worn.Capacity = 20000;
  vague.DeviceName = "BAT2";
  vague.Capacity = 30000;
  EXPECT_EQ(BatteryHealth({}, answered), "");
  EXPECT_EQ(BatteryHealth({fresh}, answered), lbl::S_GEN_HEALTH_BATTERY_OK);
  EXPECT_EQ(BatteryHealth({fresh, worn, vague}, answered),
            FormatText(lbl::S_GEN_HEALTH_BATTERY_WORN, {"BAT1", "60 %"}))
      << "a worn battery is named even when another's wear is unknown";
  EXPECT_EQ(BatteryHealth({fresh, vague}, answered),
            FormatText(lbl::S_GEN_HEALTH_BATTERY_UNKNOWN, {lbl::S_GEN_HEALTH_NO_DESIGN_CAPACITY}));
}

}  // namespace
}  // namespace tavrin::pages
