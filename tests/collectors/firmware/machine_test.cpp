#include <gtest/gtest.h>

#include "collectors/firmware/vsi_machine.h"
#include "platform/linux/linux_machine_facts.h"
#include "platform/service_hooks.h"
#include "tests/collectors/firmware/smbios_builder.h"
#include "tests/support/test_services.h"

namespace tavrin::collectors {
namespace {

namespace tb = testing::smbios;
using testing::TempDir;

TEST(MachineFacts, KernelTextsParse) {
  using namespace platform;
  EXPECT_EQ(ParseUptime("90.99 12.00\n"), 90.99);
  EXPECT_FALSE(ParseUptime(""));
  EXPECT_FALSE(ParseUptime("abc 1"));
  EXPECT_EQ(ParseBootTime("cpu  1 2 3\nintr 5\nbtime 1700000000\nprocesses 9\n"), 1700000000);
  EXPECT_FALSE(ParseBootTime("cpu 1\n"));
  EXPECT_FALSE(ParseBootTime("btime x\n"));
  EXPECT_EQ(ParseMemTotal("MemTotal:       16303868 kB\nMemFree: 1 kB\n"), 16303868ull * 1024);
  EXPECT_FALSE(ParseMemTotal("MemFree: 1 kB\n"));
  EXPECT_FALSE(ParseMemTotal("MemTotal: 12 MB\n")) << "the kernel writes kB only";
  EXPECT_EQ(LockKeyOfLed("input3::capslock"), LedKey::Caps);
  EXPECT_EQ(LockKeyOfLed("input3::scrolllock"), LedKey::Scroll);
  EXPECT_EQ(LockKeyOfLed("phy0-led"), LedKey::None);
  EXPECT_EQ(LockKeyOfLed("capslock"), LedKey::None);
}

// A machine without readable tables: what an unprivileged Linux run sees.
class MachineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root.Write("proc/uptime", "90.50 300.00\n");
    root.Write("proc/stat", "cpu 1 2 3\nbtime 1700000000\n");
    root.Write("sys/class/leds/input3::capslock/brightness", "1\n");
    root.Write("sys/class/leds/input3::numlock/brightness", "0\n");
    root.Write("sys/class/leds/input9::numlock/brightness", "0\n");
    root.Write("sys/class/dmi/id/bios_vendor", "SeaBIOS\n");
    root.Write("sys/class/dmi/id/bios_version", "1.16.2\n");
    root.Write("sys/class/dmi/id/bios_date", "04/01/2014\n");
    root.Write("sys/class/dmi/id/product_name", "Standard PC\n");
    root.Write("sys/class/dmi/id/product_uuid", "0A1B2C3D-0000-0000-0000-000000000001\n");
    root.Write("sys/class/dmi/id/chassis_type", "1\n");
    root.Write("proc/meminfo", "MemTotal:        2031616 kB\n");
    // A root-only attribute: a directory in its place fails to read like one.
    std::filesystem::create_directories(root.path() / "sys/class/dmi/id/board_serial");
  }

  TempDir root;
};

TEST_F(MachineTest, NamesBootTimeAndLockKeys) {
  TVexa_Machine m(testing::MakeTestServices(root.path()));
  m.RefreshData();
  EXPECT_EQ(m.MachineName, "testhost");
  EXPECT_EQ(m.User, "tester");
  EXPECT_EQ(m.SystemUpTime, 90);
  ASSERT_TRUE(m.LastBoot);
  EXPECT_EQ(std::chrono::system_clock::to_time_t(*m.LastBoot), 1700000000);
  EXPECT_TRUE(m.CapsLock);
  EXPECT_FALSE(m.NumLock);
  EXPECT_FALSE(m.ScrollLock);
  EXPECT_EQ(m.Computer, "");
  EXPECT_EQ(m.KernelMemoryBytes, 2031616ull * 1024);
}

TEST_F(MachineTest, FallsBackToDmiIdAndKeepsTheReason) {
  TVexa_Machine m(testing::MakeTestServices(root.path()));
  m.RefreshData();
  const auto& s = m.SMBIOS;
  EXPECT_TRUE(s.FromDmiId);
  EXPECT_FALSE(s.TableSource.ok());
  EXPECT_EQ(s.BIOSVendor, "SeaBIOS");
  EXPECT_EQ(s.SystemModel, "Standard PC");
  EXPECT_EQ(s.SystemUUID, "0a1b2c3d000000000000000000000001");
  EXPECT_EQ(s.SystemUUIDText, "0A1B2C3D-0000-0000-0000-000000000001") << "as the kernel shows it";
  // Each value keeps its own source: the record answered, the serial did not.
  EXPECT_TRUE(s.ValueSource(platform::DmiField::BiosVendor).ok());
  const auto serial = s.ValueSource(platform::DmiField::BoardSerial);
  EXPECT_FALSE(serial.ok());
  EXPECT_NE(serial.source.find("board_serial"), std::string::npos) << serial.source;
  EXPECT_EQ(s.ChassisModel, TSMBIOS_Chassis::smchOther);
  EXPECT_EQ(s.MemoryDeviceCount(), 0u);
  EXPECT_EQ(m.BIOS.NameString, "SeaBIOS 1.16.2");
  EXPECT_EQ(m.BIOS.Date, "04/01/2014");
  EXPECT_EQ(m.BIOS.Copyright, "") << "no physical memory here";
}

// The description of the device list's computer node; a later list without one keeps it.
TEST_F(MachineTest, ComputerIsTheComputerDeviceDescription) {
  root.Write("proc/sys/kernel/arch", "x86_64\n");
  std::filesystem::create_directories(root.path() / "sys/firmware/acpi");
  auto services =
      std::const_pointer_cast<platform::Services>(testing::MakeTestServices(root.path()));
  services->devices =
      platform::MakeLinuxDeviceService(std::make_shared<platform::FileReader>(root.path()));
  TVexa_Machine m(services);
  EXPECT_EQ(m.ComputerSource.status, platform::Status::NotSupported);
  m.RefreshData();
  EXPECT_EQ(m.Computer, "ACPI x86_64 PC");
  EXPECT_TRUE(m.ComputerSource.ok()) << m.ComputerSource.Explain();
  services->devices = nullptr;
  m.RefreshData();
  EXPECT_EQ(m.Computer, "ACPI x86_64 PC");

  // A source without a device database says so.
  TVexa_Machine none(testing::MakeTestServices(root.path()));
  none.RefreshData();
  EXPECT_EQ(none.Computer, "");
  EXPECT_EQ(none.ComputerSource.status, platform::Status::NotSupported);
}

TEST_F(MachineTest, MissingSourcesLeaveValuesEmpty) {
  TempDir empty;
  TVexa_Machine m(testing::MakeTestServices(empty.path()));
  m.RefreshData();
  EXPECT_EQ(m.SystemUpTime, 0);
  EXPECT_FALSE(m.LastBoot);
  EXPECT_EQ(m.BootSource.status, platform::Status::Missing);
  EXPECT_FALSE(m.KernelMemoryBytes);
  EXPECT_FALSE(m.CapsLock);
  EXPECT_FALSE(m.SMBIOS.FromDmiId);
  EXPECT_EQ(m.SMBIOS.BIOSVendor, "");
  EXPECT_EQ(m.BIOS.NameString, "");
}

TEST_F(MachineTest, TablesFromTheFirmwareServiceAndTheRomCopyright) {
  const std::string table = tb::Structure(0, 0,
                                          tb::Body(0x18, {{4, 1},
                                                          {5, 2},
                                                          {8, 3},
                                                          {9, 0x0F},
                                                          {0x14, 5},
                                                          {0x15, 17},
                                                          {0x16, 0xFF},
                                                          {0x17, 0xFF}}),
                                          {"AMI", "F4", "10/04/2018"}) +
                            tb::EndOfTable(1);
  root.Write("sys/firmware/dmi/tables/smbios_entry_point",
             tb::EntryPoint3(3, 1, 0x7F000000, static_cast<uint32_t>(table.size())));
  root.Write("sys/firmware/dmi/tables/DMI", table);
  std::string rom(0x2000, '\0');
  const std::string copyright = "(C)1985-2018 American Megatrends Inc.";
  rom.replace(0xFE091 - 0xFE000, copyright.size(), copyright);
  root.Write("dev/mem", std::string(0xFE000, '\0') + rom);

  auto services = std::make_shared<platform::Services>(*testing::MakeTestServices(root.path()));
  services->firmware = platform::MakeLinuxFirmwareService(services->files);
  TVexa_Machine m(services);
  m.RefreshData();
  EXPECT_TRUE(m.SMBIOS.TableSource.ok()) << m.SMBIOS.TableSource.Explain();
  EXPECT_FALSE(m.SMBIOS.FromDmiId);
  EXPECT_EQ(m.SMBIOS.VersionText, "3.1");
  EXPECT_EQ(m.SMBIOS.BIOSSize, 1024u);
  EXPECT_EQ(m.BIOS.NameString, "AMI F4");
  EXPECT_EQ(m.BIOS.Copyright, copyright);
  EXPECT_EQ(m.BIOS.ExtendedInfo, "BIOS Revision 5.17");
  ASSERT_TRUE(m.SMBIOS.FindStructure(0));
  EXPECT_EQ(m.SMBIOS.FindStructure(0)->name, "BIOS Information");
  EXPECT_FALSE(m.SMBIOS.FindStructure(0, 1));
}

TEST(SmbiosCollector, DecodesSuppliedRawData) {
  testing::TempDir empty;
  TVexa_SMBIOS s(testing::MakeTestServices(empty.path()));
  s.ReadLocalMemory = false;
  s.TableReader().SetData(tb::Structure(2, 0, tb::Body(0x08, {{4, 1}}), {"Board Co"}) +
                          tb::EndOfTable(1));
  s.RefreshData();
  EXPECT_EQ(s.StructureCount, 0xFFFF);
  EXPECT_EQ(s.Index.size(), 2u);
  EXPECT_EQ(s.MainBoardManufacturer, "Board Co");
  EXPECT_EQ(s.GetStructureString(s.Index[0].address, s.Index[0].length, 1), "Board Co");
}

TEST(BiosRomText, AcceptsOnlyPrintableText) {
  EXPECT_EQ(PrintableRomText(std::string("  Award BIOS  \0junk", 19)), "Award BIOS");
  EXPECT_EQ(PrintableRomText(std::string("ab\0", 3)), "") << "too short";
  EXPECT_EQ(PrintableRomText(std::string("\x90\x90\xEB\xFE\0", 5)), "") << "code, not text";
  EXPECT_EQ(PrintableRomText("no terminator"), "");
}

}  // namespace
}  // namespace tavrin::collectors
