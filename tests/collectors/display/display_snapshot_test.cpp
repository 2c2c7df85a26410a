// The display and monitor collectors over replayed sources: a laptop with hybrid graphics and
// an external monitor (tests/fixtures/display/two_monitors), a single identification block
// replayed as a dump, and a source without any display service.
#include <gtest/gtest.h>

#include <algorithm>

#include "collectors/display/vsi_display.h"
#include "collectors/display/vsi_monitor.h"
#include "platform/display_session.h"
#include "platform/recorded/snapshot.h"
#include "tests/support/test_data.h"
#include "tests/support/test_services.h"

namespace tavrin::collectors {
namespace {

namespace fs = std::filesystem;

fs::path TwoMonitors() {
  return testing::TestDataDir().parent_path() / "fixtures/display/two_monitors";
}

std::shared_ptr<const platform::Services> Open(const fs::path& path) {
  auto opened = platform::OpenSnapshot(path);
  EXPECT_TRUE(opened.services) << opened.error;
  if (!opened.services) return nullptr;
  return std::make_shared<platform::Services>(std::move(*opened.services));
}

TEST(DisplaySnapshot, HybridGraphicsGivesOneAdapterEachThePrimaryFirst) {
  auto services = Open(TwoMonitors());
  ASSERT_TRUE(services);
  TVexa_Display d(services);
  d.RefreshData();
  ASSERT_EQ(d.Adapters.size(), 2u);
  const auto& igpu = d.Adapters[0];
  const auto& dgpu = d.Adapters[1];
  EXPECT_TRUE(igpu.Primary) << "boot_vga";
  EXPECT_EQ(igpu.Name, "Intel graphics 8086:9A49 (i915)");
  EXPECT_EQ(igpu.Location, "0000:00:02.0");
  EXPECT_EQ(igpu.DriverVersion, "6.1.0-27-amd64") << "in-tree module: the kernel's version";
  EXPECT_EQ(igpu.Memory, 256u << 20) << "largest prefetchable window";
  EXPECT_TRUE(igpu.MemoryIsAperture);
  EXPECT_EQ(igpu.BiosImage.status, platform::Status::PermissionDenied);
  EXPECT_EQ(dgpu.Memory, 8573157376u) << "the driver's own count beats the window";
  EXPECT_FALSE(dgpu.MemoryIsAperture);
  EXPECT_EQ(dgpu.BIOSVersion, "113-D5340100-101");
  ASSERT_EQ(igpu.Connectors.size(), 2u);
  EXPECT_EQ(igpu.Connectors[0].Name, "HDMI-A-1");
  EXPECT_EQ(igpu.Connectors[1].Status, "connected");
  EXPECT_EQ(d.Adapter, igpu.Name);
  EXPECT_EQ(d.Memory, igpu.Memory);

  ASSERT_EQ(d.Screens.size(), 2u);
  EXPECT_EQ(d.Screens[0].Name, "eDP-1");
  EXPECT_EQ(d.HorzRes, 1920);
  EXPECT_EQ(d.ColorDepth, 24);
  EXPECT_EQ(d.VerticalRefreshRate, 60u);
  EXPECT_EQ(d.FontResolution, 141u) << "1080 lines on 194 mm";
  EXPECT_FALSE(d.HasCaps);
  EXPECT_EQ(d.CapsSource.status, platform::Status::NotSupported);

  // Each mode once, connectors' lists first, at the screen's depth.
  EXPECT_EQ(d.Modes.front(), "1920 x 1080 - 24 bit");
  EXPECT_EQ(std::count(d.Modes.begin(), d.Modes.end(), "1920 x 1080 - 24 bit"), 1);
  EXPECT_NE(std::find(d.Modes.begin(), d.Modes.end(), "720 x 576 - 24 bit"), d.Modes.end())
      << "a CTA-861 format of the external monitor";
  ASSERT_TRUE(d.Apis.vulkanDevices);
  EXPECT_EQ(d.Apis.vulkanDevices->size(), 2u);
}

TEST(DisplaySnapshot, EveryConnectedMonitorWithItsBlock) {
  auto services = Open(TwoMonitors());
  ASSERT_TRUE(services);
  TVexa_Monitor m(services);
  m.RefreshData();
  ASSERT_EQ(m.Count(), 2u) << "disconnected connectors without a block are left out";
  const TMonitorRecord panel = m.Record(0);
  const TMonitorRecord external = m.Record(1);
  EXPECT_EQ(panel.Connector, "eDP-1");
  EXPECT_EQ(panel.Block.manufacturerId, "LGD");
  EXPECT_EQ(external.Card, "card1");
  EXPECT_EQ(external.Block.manufacturerId, "AOC");
  EXPECT_EQ(external.Name, "2470W");
  EXPECT_EQ(external.Model, "2470W");
  EXPECT_EQ(external.ProductNumber, "GGJK4HA141517");
  EXPECT_EQ(external.Width, 52);
  EXPECT_EQ(external.Year, 2019);
  EXPECT_EQ(external.EDID_Version, "1.3");
  EXPECT_DOUBLE_EQ(external.Gamma, 2.2);
  EXPECT_EQ(external.SerialNumber, 141517u);
  EXPECT_EQ(external.ManufacturerSource.status, platform::Status::Missing)
      << "the snapshot has no PNP id list";
  EXPECT_EQ(m.Record(5).EDID_Version, "0.0") << "outside the list: an empty record";
}

TEST(DisplaySnapshot, ARawBlockReplaysAsOneMonitor) {
  auto services = Open(testing::TestData("edid/Dell_DELD106_06B88BF7932C.bin"));
  ASSERT_TRUE(services);
  ASSERT_TRUE(services->display);
  TVexa_Monitor m(services);
  m.RefreshData();
  ASSERT_EQ(m.Count(), 1u);
  EXPECT_EQ(m.Record(0).Block.manufacturerId, "DEL");
  EXPECT_EQ(m.Record(0).Block.extensionCount, 1) << "announced, but the dump is one block";
  EXPECT_TRUE(m.Record(0).Block.extensions.empty());

  // Bytes that are not a block are not taken for one.
  testing::TempDir dir;
  dir.Write("short.bin",
            std::string("\x00\xFF\xFF\xFF\xFF\xFF\xFF\x00", 8) + std::string(100, 'x'));
  EXPECT_FALSE(platform::OpenSnapshot(dir.path() / "short.bin").services);
}

TEST(DisplaySnapshot, WithoutADisplayServiceEveryPartSaysWhy) {
  testing::TempDir root;
  auto services = testing::MakeTestServices(root.path());
  TVexa_Display d(services);
  d.RefreshData();
  EXPECT_TRUE(d.Adapters.empty());
  EXPECT_FALSE(d.AdapterSource.ok());
  EXPECT_FALSE(d.AdapterSource.detail.empty());
  EXPECT_FALSE(d.ScreenSource.ok());
  TVexa_Monitor m(services);
  m.RefreshData();
  EXPECT_EQ(m.Count(), 0u);
  EXPECT_FALSE(m.Source.ok());
}

TEST(DisplaySnapshot, AMachineWithoutModeSettingSaysSo) {
  // This machine's case: no /sys/class/drm, no session.
  testing::TempDir root;
  root.Write("proc/version", "Linux\n");
  auto base = testing::MakeTestServices(root.path());
  auto services = std::make_shared<platform::Services>(*base);
  services->display = platform::MakeSysfsDisplayService(
      services->files, platform::MakeRecordedDisplaySession(nlohmann::json::object(), "none"));
  TVexa_Display d(services);
  d.RefreshData();
  EXPECT_EQ(d.AdapterSource.status, platform::Status::Missing);
  EXPECT_NE(d.AdapterSource.Explain().find("mode-setting"), std::string::npos)
      << d.AdapterSource.Explain();
  EXPECT_FALSE(d.ModesSource.ok());
  EXPECT_FALSE(d.Apis.openGlVersion.ok());
}

}  // namespace
}  // namespace tavrin::collectors
