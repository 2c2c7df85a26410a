// The I/O page from a small sysfs-shaped tree, read by the Linux readers, and from the same
// tree as a snapshot; and the empty page of a machine with none of these devices.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "collectors/system_info.h"
#include "gather/controller.h"
#include "pages/categories.h"
#include "pages/fillers.h"
#include "pages/page_layouts.h"
#include "platform/recorded/snapshot.h"
#include "platform/service_hooks.h"
#include "tests/pages/io_test_tree.h"
#include "tests/support/golden.h"
#include "tests/support/test_services.h"
#include "text/labels.h"

namespace tavrin::pages {
namespace {

namespace fs = std::filesystem;

// Every row as "section | label | value | comment", masked values marked.
std::string PageText(std::shared_ptr<const platform::Services> services, bool advanced) {
  auto aggregate = std::make_shared<collectors::TVexa_SystemInfo>(std::move(services));
  gather::TGetFunctionsClass controller;
  controller.SetAggregate(aggregate);
  controller.SetAdvancedMode(advanced);
  const auto limit = std::chrono::seconds(30);
  aggregate->Refresh<collectors::TVexa_USB>(limit);
  aggregate->Refresh<collectors::TVexa_Media>(limit);
  aggregate->Refresh<collectors::TVexa_APM>(limit);
  aggregate->Refresh<collectors::TVexa_Printers>(limit);
  aggregate->Refresh<collectors::TVexa_BT>(limit);
  aggregate->Refresh<collectors::TVexa_Ports>(limit);
  controller.FillCategory(*FindCategory("ioinfo"), nullptr);
  std::string text;
  for (const auto& section : controller.FindPage("ioinfo")->Sections()) {
    for (const auto& row : section.Items) {
      text += section.Caption + " | " + row.Caption + " |" + row.SubItems[0] + " | " +
              (row.SubItems.size() > 1 ? row.SubItems[1] : "") +
              (row.sensitive ? " [masked]" : "") + "\n";
    }
    if (section.Items.empty())
      text += section.Caption + " | (empty) " + EmptySectionReason(section) + "\n";
  }
  return text;
}

fs::path Golden(const char* name) {
  return fs::path(TAVRIN_SOURCE_DIR) / "tests/fixtures/io" / name;
}

TEST(IoPage, TestTreeReplaysToTheExpectedRows) {
  testing::TempDir dir;
  testing::WriteIoTestTree(dir.path());
  const auto services = testing::IoTestTreeServices(dir.path());
  // The tree's ports are one parallel port; its serial ports and board connectors are not
  // part of it.
  const std::string easy = PageText(services, false);
  EXPECT_TRUE(testing::MatchesGolden(Golden("test_tree_easy.txt"), easy));
  const std::string advanced = PageText(services, true);
  EXPECT_TRUE(testing::MatchesGolden(Golden("test_tree_advanced.txt"), advanced));

  // The same machine as a snapshot gives the same rows.
  testing::TempDir snap;
  testing::WriteIoTestSnapshot(snap.path());
  auto opened = platform::OpenSnapshot(snap.path());
  ASSERT_TRUE(opened.services) << opened.error;
  EXPECT_EQ(PageText(std::make_shared<const platform::Services>(std::move(*opened.services)), true),
            advanced);
  if (const char* keep = std::getenv("TAVRIN_KEEP_IO_SNAPSHOT")) testing::WriteIoTestSnapshot(keep);
}

TEST(IoPage, MachineWithoutTheseDevicesSaysWhyInEverySection) {
  testing::TempDir dir;  // an empty tree: no USB bus, no sound, no supplies
  auto services = std::make_shared<platform::Services>(*testing::MakeTestServices(dir.path()));
  std::vector<std::string> warnings;
  std::ofstream(dir.path() / "io.json") << "{}";
  platform::LoadRecordedInputOutput(dir.path(), *services, warnings);
  const std::string text = PageText(services, false);
  for (const char* caption : {"Ports", "USB", "Printers", "Audio", "BlueTooth Devices", "Power"})
    EXPECT_NE(
        text.find(std::string(caption) + " | " + lbl::S_ITEMS_NOT_INSTALLED + " | " + lbl::S_NA),
        std::string::npos)
        << caption << "\n"
        << text;
  EXPECT_NE(text.find("this machine has no USB bus"), std::string::npos) << text;
  EXPECT_NE(text.find("the kernel has no sound support loaded"), std::string::npos) << text;
  EXPECT_NE(text.find("power_supply: missing"), std::string::npos) << text;
  EXPECT_NE(text.find("not recorded in the snapshot"), std::string::npos) << text;
}

}  // namespace
}  // namespace tavrin::pages
