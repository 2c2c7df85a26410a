// libudev bound at run time: the properties of a device of this machine, and a library that
// is not there.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/linux/udev_library.h"

namespace tavrin::platform {
namespace {

TEST(UdevLibrary, MissingLibraryGivesTheReason) {
  Provenance outcome;
  EXPECT_EQ(UdevLibrary::Open("libtavrin-no-such-udev.so.1", outcome), nullptr);
  EXPECT_EQ(outcome.status, Status::Missing);
  EXPECT_NE(outcome.detail.find("not loadable"), std::string::npos);
}

TEST(UdevLibrary, PropertiesOfADeviceOfThisMachine) {
  Provenance outcome;
  auto udev = UdevLibrary::Open("libudev.so.1", outcome);
  if (!udev) GTEST_SKIP() << "libudev is not installed: " << outcome.Explain();
  EXPECT_TRUE(outcome.ok());
  // udev also answers the kernel's own uevent values, so this works without a udev daemon.
  std::string syspath;
  for (const auto& entry : std::filesystem::directory_iterator("/sys/bus/pci/devices")) {
    syspath = std::filesystem::canonical(entry.path()).string();
    break;
  }
  if (syspath.empty()) GTEST_SKIP() << "no PCI device here";
  const auto values = udev->Properties(syspath, {"SUBSYSTEM", "TAVRIN_NO_SUCH_KEY"});
  ASSERT_EQ(values.size(), 2u);
  EXPECT_EQ(values[0], "pci");
  EXPECT_EQ(values[1], "");
  EXPECT_EQ(udev->Properties("/sys/devices/no-such-device", {"SUBSYSTEM"}),
            std::vector<std::string>{""});
}

}  // namespace
}  // namespace tavrin::platform
