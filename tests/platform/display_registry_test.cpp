// What a Windows registry answers the display service: the adapter driver's values (from the
// service's device key, else the video key), the video BIOS, DirectX and monitor blocks.
#include <gtest/gtest.h>

#include "platform/display.h"
#include "platform/registry.h"
#include "platform/utf16.h"

namespace tavrin::platform {
namespace {

RegValue Utf16Binary(const std::string& text) {
  std::vector<uint8_t> bytes;
  AppendUtf16LeBytes(Utf8ToUtf16(text), bytes);
  bytes.push_back(0);
  bytes.push_back(0);
  return RegValue::Bytes(bytes);
}

TEST(RegistryDisplay, DriverValuesComeFromTheVideoKeyWhenTheServiceKeyLacksTheDacType) {
  auto reg = std::make_shared<RegistryTree>();
  const std::string service = "SYSTEM\\CurrentControlSet\\Services\\nv\\Device0";
  const std::string video = "SYSTEM\\CurrentControlSet\\Control\\Video\\{ABC}\\0000";
  reg->SetValue(RegRoot::LocalMachine, service, "HardwareInformation.ChipType",
                Utf16Binary("from the service key"));
  reg->SetValue(RegRoot::LocalMachine, video, "HardwareInformation.DacType",
                Utf16Binary("Integrated RAMDAC"));
  reg->SetValue(RegRoot::LocalMachine, video, "HardwareInformation.ChipType",
                Utf16Binary("GeForce GTX 960"));
  reg->SetValue(RegRoot::LocalMachine, video, "HardwareInformation.MemorySize",
                RegValue::Bytes({0x00, 0x00, 0x00, 0x80}));
  auto display = MakeRegistryDisplayService(reg, nullptr);
  auto values = display->DriverValues("nv", "{ABC}");
  ASSERT_TRUE(values) << values.source.Explain();
  EXPECT_EQ(values->chipType, "GeForce GTX 960");
  EXPECT_EQ(values->dacType, "Integrated RAMDAC");
  EXPECT_EQ(values->memorySize, 0x80000000u) << "2 GB does not fit a signed 32-bit count";

  // With the DAC type in the service key, every value comes from there.
  reg->SetValue(RegRoot::LocalMachine, service, "HardwareInformation.DacType", Utf16Binary("x"));
  EXPECT_EQ(display->DriverValues("nv", "{ABC}")->chipType, "from the service key");
  EXPECT_FALSE(display->DriverValues("none", "{NONE}"));
}

TEST(RegistryDisplay, BiosDirectXAndMonitorBlocks) {
  auto reg = std::make_shared<RegistryTree>();
  reg->SetValue(RegRoot::LocalMachine, "HARDWARE\\DESCRIPTION\\System", "VideoBiosVersion",
                RegValue::MultiString({"Version 84.06.0D.00.01", "second line"}));
  reg->SetValue(RegRoot::LocalMachine, "HARDWARE\\DESCRIPTION\\System", "VideoBiosDate",
                RegValue::String("03/14/15"));
  reg->SetValue(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\DirectX", "InstalledVersion",
                RegValue::Bytes({9, 0, 0, 0}));
  const std::string monitor = "SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\DEL4024\\1";
  reg->SetValue(RegRoot::LocalMachine, monitor + "\\Device Parameters", "EDID",
                RegValue::Bytes({0x00, 0xFF}));
  reg->SetValue(RegRoot::LocalMachine,
                "SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\X\\1\\Device Parameters", "EDID",
                RegValue::String("text"));
  auto display = MakeRegistryDisplayService(reg, nullptr);
  auto bios = display->VideoBios();
  ASSERT_TRUE(bios);
  EXPECT_EQ(bios->first, "Version 84.06.0D.00.01");
  EXPECT_EQ(bios->second, "03/14/15");
  EXPECT_EQ(display->DirectXVersion().value_or(""), "9.0");
  EXPECT_EQ(display->MonitorEdid("\\" + monitor).value_or(""), std::string("\x00\xFF", 2));
  EXPECT_EQ(display->MonitorEdid("SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\X\\1").source.status,
            Status::Malformed)
      << "a value of another type is not a block";
  EXPECT_FALSE(display->Cards());
  EXPECT_EQ(display->DeviceCaps().source.status, Status::NotSupported);
}

TEST(RegistryDisplay, PnpIdListKeepsOnlyTheAskedMakers) {
  const std::string list = "# comment\nAAA\tAvolites Ltd\nDEL\tDell Inc.\nDELL\tbad\nGSM\tLG\n";
  EXPECT_EQ(FilterPnpIds(list, {"DEL", "GSM"}), "DEL\tDell Inc.\nGSM\tLG\n");
}

}  // namespace
}  // namespace tavrin::platform
