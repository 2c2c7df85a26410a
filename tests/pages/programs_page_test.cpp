// The Programs page and the General page's software rows, from a Windows registry and from a
// Linux file tree.
#include <gtest/gtest.h>

#include "collectors/os/vsi_engines.h"
#include "collectors/os/vsi_software.h"
#include "collectors/os/vsi_startup.h"
#include "gather/controller.h"
#include "pages/fillers.h"
#include "pages/page_layouts.h"
#include "platform/registry.h"
#include "platform/software_probes.h"
#include "tests/support/test_services.h"
#include "text/label_wording.h"
#include "text/labels.h"

namespace tavrin::pages {
namespace {

using platform::RegRoot;
using platform::RegValue;

class WindowsFacts : public testing::FixedSystemFacts {
 public:
  platform::Answer<platform::OsVersion> OsVersionRecord() const override {
    return platform::Answer<platform::OsVersion>::Of(
        {platform::OsPlatform::WindowsNT, 5, 1, 2600, ""}, "fixed");
  }
};

// The page after a gathering of the software collectors alone.
class ProgramsPage : public ::testing::Test {
 protected:
  void TearDown() override { text::ApplyPlatformWording(false); }

  const Page& Fill(std::shared_ptr<const platform::Services> services, bool advanced = false,
                   std::string_view key = "programsinfo") {
    using collectors::TVexa_SystemInfo;
    aggregate_ = std::make_shared<TVexa_SystemInfo>(
        services, std::vector<TVexa_SystemInfo::Factory>{
                      collectors::MakeCollector<collectors::TVexa_Engines>,
                      collectors::MakeCollector<collectors::TVexa_Software>,
                      collectors::MakeCollector<collectors::TVexa_Startup>});
    aggregate_->RefreshData();
    controller_.SetAggregate(aggregate_);
    controller_.SetAdvancedMode(advanced);
    controller_.FillCategory(*FindCategory(key), nullptr);
    return *controller_.FindPage(key);
  }

  static std::vector<std::string> Column(const Section& s, int column) {
    std::vector<std::string> out;
    for (const auto& item : s.Items)
      out.push_back(column < 0 ? item.Caption : item.SubItems.at(column));
    return out;
  }

  std::shared_ptr<collectors::TVexa_SystemInfo> aggregate_;
  gather::TGetFunctionsClass controller_;
};

TEST_F(ProgramsPage, WindowsRegistryRows) {
  auto reg = std::make_shared<platform::RegistryTree>();
  const std::string uninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
  reg->SetValue(RegRoot::LocalMachine, uninstall + "A", "DisplayName", RegValue::String("Tool"));
  reg->SetValue(RegRoot::LocalMachine, uninstall + "A", "DisplayVersion", RegValue::String("1.0"));
  reg->SetValue(RegRoot::LocalMachine, uninstall + "B", "DisplayName", RegValue::String("Tool"));
  reg->SetValue(RegRoot::LocalMachine, uninstall + "B", "DisplayVersion", RegValue::String("2.0"));
  reg->SetValue(RegRoot::LocalMachine, uninstall + "C", "DisplayName", RegValue::String("Bare"));
  reg->SetValue(RegRoot::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "ctfmon",
                RegValue::String("ctfmon.exe"));
  reg->SetValue(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Internet Explorer", "Version",
                RegValue::String("6.0.2900.5512"));
  auto services = std::make_shared<platform::Services>(*testing::MakeTestServices("/nonexistent"));
  services->registry = reg;
  services->system = std::make_shared<WindowsFacts>();

  const Page& page = Fill(services);
  using namespace programs_section;
  const auto& sections = page.Sections();
  EXPECT_EQ(Column(sections[kInstalled], -1), (std::vector<std::string>{"Tool", "Bare"}))
      << "a name shows once, from its first record";
  EXPECT_EQ(Column(sections[kInstalled], 0), (std::vector<std::string>{" 1.0", " n/a"}));
  EXPECT_EQ(Column(sections[kInstalled], 1), (std::vector<std::string>{"n/a", "n/a"}));
  EXPECT_EQ(Column(sections[kEngines], -1), (std::vector<std::string>{lbl::S_PRG_IE}));
  ASSERT_EQ(sections[kOffice].Items.size(), 1u);
  EXPECT_EQ(sections[kOffice].Items[0].Caption, lbl::S_PRG_OFFICE_NOT_INSTALLED);
  EXPECT_EQ(sections[kOffice].Items[0].SubItems[0], " n/a");
  EXPECT_EQ(Column(sections[kStartup], -1), (std::vector<std::string>{"ctfmon"}));
  EXPECT_EQ(sections[kStartup].Items[0].SubItems[1], lbl::S_STARTUP_HKCU_RUN);
  EXPECT_EQ(sections[kDirectX].Caption, "DirectX Information");
  EXPECT_FALSE(EmptySectionReason(sections[kDirectX]).empty());
}

TEST_F(ProgramsPage, LinuxRowsCaptionsAndGeneralCounts) {
  testing::TempDir dir;
  dir.Write("var/lib/dpkg/status",
            "Package: zsh\nStatus: install ok installed\nVersion: 5.9-4+b2\n"
            "Maintainer: Axel Beckert <abe@debian.org>\n\n"
            "Package: libvulkan1\nStatus: install ok installed\nVersion: 1.3.239.0-1\n\n"
            "Package: perl\nStatus: install ok installed\nVersion: 5.36.0-7+deb12u1\n\n");
  dir.Write("etc/xdg/autostart/tracker.desktop",
            "[Desktop Entry]\nType=Application\nName=Tracker\nExec=tracker daemon\n");
  auto services = std::make_shared<platform::Services>(*testing::MakeTestServices(dir.path()));
  services->software = platform::MakeLinuxSoftwareService(
      services->files, platform::MakeLiveSoftwareProbes(dir.path()), "");
  text::ApplyPlatformWording(true);

  const Page& page = Fill(services);
  using namespace programs_section;
  const auto& sections = page.Sections();
  EXPECT_EQ(sections[kInstalled].Caption, "Installed Packages");
  EXPECT_EQ(sections[kDirectX].Caption, "Graphics Libraries");
  EXPECT_EQ(Column(sections[kInstalled], 1),
            (std::vector<std::string>{"Axel Beckert", "n/a", "n/a"}));
  EXPECT_EQ(Column(sections[kEngines], -1), (std::vector<std::string>{lbl::S_PRG_RT_PERL}));
  EXPECT_EQ(Column(sections[kEngines], 0), (std::vector<std::string>{" 5.36.0"}));
  EXPECT_EQ(Column(sections[kDirectX], -1), (std::vector<std::string>{lbl::S_PRG_RT_VULKAN}));
  ASSERT_EQ(sections[kOffice].Items.size(), 1u);
  EXPECT_EQ(sections[kOffice].Items[0].Caption, lbl::S_LNX_PRG_OFFICE_NOT_INSTALLED);
  EXPECT_EQ(Column(sections[kStartup], 0), (std::vector<std::string>{" tracker daemon"}));

  const Page& general = Fill(services, false, "generalinfo");
  const auto& software = general.Sections()[general_section::kSoftware].Items;
  ASSERT_FALSE(software.empty());
  EXPECT_EQ(software[0].Caption, lbl::S_LNX_GEN_INSTALLED_PROGRAMS);
  EXPECT_EQ(software[0].SubItems[0], " 3 packages") << "the two blanks where texts meet fold";
  ASSERT_TRUE(software[0].quantity.has_value());
  EXPECT_EQ(*software[0].quantity, Quantity::Of(3, QuantityUnit::kCount));
}

}  // namespace
}  // namespace tavrin::pages
