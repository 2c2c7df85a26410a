// The USB tree against lsusb on a machine that has both: every device lsusb prints is a node
// with the same bus, address and ids, and the names lsusb takes from usb.ids are the node's.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <sstream>

#include "collectors/devices/vsi_usb.h"
#include "platform/linux/live_services.h"

namespace tavrin::collectors {
namespace {

std::string Output(const char* command) {
  std::string out;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command, "r"), pclose);
  if (!pipe) return out;
  char buffer[4096];
  while (std::fgets(buffer, sizeof buffer, pipe.get())) out += buffer;
  return out;
}

TEST(UsbTreeAgainstLsusb, EveryDeviceAppearsWithItsIdsAndNames) {
  if (!std::filesystem::exists("/sys/bus/usb/devices") ||
      std::filesystem::is_empty("/sys/bus/usb/devices"))
    GTEST_SKIP() << "this machine has no USB devices";
  const std::string listing = Output("lsusb 2>/dev/null");
  if (listing.empty()) GTEST_SKIP() << "lsusb is not installed";
  TVexa_USB usb(std::make_shared<platform::Services>(platform::MakeLiveServices()));
  usb.RefreshData();
  std::istringstream lines(listing);
  std::string line;
  int compared = 0;
  while (std::getline(lines, line)) {
    // "Bus 001 Device 002: ID 046d:c52b Logitech, Inc. Unifying Receiver"
    unsigned bus = 0, address = 0, vendor = 0, product = 0;
    int names = 0;
    if (std::sscanf(line.c_str(), "Bus %u Device %u: ID %x:%x %n", &bus, &address, &vendor,
                    &product, &names) < 4)
      continue;
    const std::string text = names > 0 ? line.substr(static_cast<std::size_t>(names)) : "";
    const TUSBNode* found = nullptr;
    for (const auto& n : usb.Nodes())
      if (n.Bus == static_cast<int>(bus) && n.DeviceAddress == static_cast<int>(address) &&
          n.USBClass != usb::usbHostController)
        found = &n;
    ASSERT_NE(found, nullptr) << line;
    EXPECT_EQ(found->VendorID, vendor) << line;
    EXPECT_EQ(found->ProductID, product) << line;
    if (!found->VendorName.empty()) {
      EXPECT_NE(text.find(found->VendorName), std::string::npos) << line;
    }
    if (!found->ProductName.empty()) {
      EXPECT_NE(text.find(found->ProductName), std::string::npos) << line;
    }
    ++compared;
  }
  EXPECT_GT(compared, 0) << listing;
}

}  // namespace
}  // namespace tavrin::collectors
