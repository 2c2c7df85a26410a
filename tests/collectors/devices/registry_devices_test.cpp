// The device list of a Windows machine, replayed from a ".reg" file of its device keys.
#include <gtest/gtest.h>

#include "collectors/devices/vsi_devices.h"
#include "platform/reg_text.h"
#include "platform/registry.h"
#include "tests/support/test_services.h"

namespace tavrin::collectors {
namespace {

constexpr const char* kEnum = "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum";
constexpr const char* kClass = "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Class";
constexpr const char* kNetGuid = "{4D36E972-E325-11CE-BFC1-08002BE10318}";

std::string RegFile() {
  const std::string net =
      std::string(kEnum) + "\\PCI\\VEN_8086&DEV_27C8&SUBSYS_30A2103C&REV_02\\3&21436425&0&E8";
  const std::string iface =
      "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\"
      "{cac88484-7515-4c03-82e6-71a87abac361}\\##?#PCI#VEN_8086&DEV_27C8&SUBSYS_30A2103C&REV_02#"
      "3&21436425&0&E8#{cac88484-7515-4c03-82e6-71a87abac361}\\#";
  return "Windows Registry Editor Version 5.00\n\n"
         "[" +
         net +
         "]\n"
         "\"DeviceDesc\"=\"@net1yx64.inf,%e1000.devicedesc%;Intel(R) PRO/1000 MT\"\n"
         "\"FriendlyName\"=\"   \"\n"
         "\"Mfg\"=\"@net1yx64.inf,%intel%;Intel\"\n"
         "\"LocationInformation\"=\"@System32\\\\drivers\\\\pci.sys,#65536;PCI bus %1, device %2, "
         "function %3;(0,29,0)\"\n"
         "\"ClassGUID\"=\"{4d36e972-e325-11ce-bfc1-08002be10318}\"\n"
         "\"Driver\"=\"{4d36e972-e325-11ce-bfc1-08002be10318}\\\\0007\"\n"
         "\"Service\"=\"e1iexpress\"\n"
         "\"HardwareID\"=hex(7):50,00,43,00,49,00,5c,00,56,00,45,00,4e,00,5f,00,38,00,30,00,38,00,"
         "36,00,26,00,44,00,45,00,56,00,5f,00,32,00,37,00,43,00,38,00,26,00,53,00,55,00,42,00,53,"
         "00,59,00,53,00,5f,00,33,00,30,00,41,00,32,00,31,00,30,00,33,00,43,00,26,00,52,00,45,00,"
         "56,00,5f,00,30,00,32,00,00,00,00,00\n\n"
         "[" +
         net +
         "\\Control]\n\n"
         "[" +
         net +
         "\\Device Parameters]\n\"\"=\"default\"\n\"Speed\"=dword:00000001\n"
         "\"InterruptMode\"=\"MSI\"\n\n"
         "[" +
         net +
         "\\LogConf]\n\"BootConfig\"=hex(8):01,00\n\n"
         "[" +
         iface +
         "]\n\"SymbolicLink\"=\"\\\\\\\\?\\\\PCI#VEN_8086\"\n\n"
         // Not present: no Control key.
         "[" +
         std::string(kEnum) +
         "\\PCI\\VEN_10EC&DEV_8139\\gone]\n"
         "\"DeviceDesc\"=\"Old card\"\n\"ClassGUID\"=\"" +
         kNetGuid +
         "\"\n\n"
         // A class the table does not know, named by the instance only.
         "[" +
         std::string(kEnum) +
         "\\ROOT\\SENSOR\\0000]\n\"DeviceDesc\"=\"Light sensor\"\n"
         "\"Class\"=\"Sensor\"\n\n"
         "[" +
         std::string(kEnum) +
         "\\ROOT\\SENSOR\\0000\\Control]\n\n"
         "[" +
         std::string(kEnum) +
         "\\ACPI\\PNP0303\\4&1\\Control]\n\n"
         "[" +
         std::string(kEnum) +
         "\\ACPI\\PNP0303\\4&1]\n\"DeviceDesc\"=\"PS/2 keyboard\"\n\n"
         "[" +
         std::string(kClass) + "\\" + kNetGuid +
         "]\n@=\"Network adapters\"\n"
         "\"Class\"=\"Net\"\n\"Icon\"=\"-5\"\n\n"
         "[" +
         std::string(kClass) +
         "\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\0007]\n"
         "\"DriverDate\"=\"3-12-2008\"\n\"DriverVersion\"=\"8.4.1.0\"\n"
         "\"ProviderName\"=\"Intel\"\n\"InfPath\"=\"oem12.inf\"\n\n"
         "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\e1iexpress]\n"
         "\"DisplayName\"=\"Intel(R) PRO/1000 "
         "Driver\"\n\"Group\"=\"NDIS\"\n\"Type\"=dword:00000001\n\n"
         "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\ACPI]\n"
         "\"DisplayName\"=\"Microsoft ACPI Driver\"\n";
}

std::unique_ptr<TVexa_Devices> Refreshed(std::shared_ptr<platform::Services>& services) {
  auto tree = std::make_shared<platform::RegistryTree>("test registry");
  EXPECT_TRUE(platform::ParseRegText(RegFile(), *tree).ok);
  services = std::const_pointer_cast<platform::Services>(testing::MakeTestServices("/nonexistent"));
  services->registry = tree;
  services->devices = platform::MakeRegistryDeviceService(tree);
  auto devices = std::make_unique<TVexa_Devices>(services);
  devices->RefreshData();
  return devices;
}

TEST(RegistryDevices, InstanceKeysBecomeRecords) {
  std::shared_ptr<platform::Services> services;
  auto owned = Refreshed(services);
  TVexa_Devices& devices = *owned;
  // Present instances only, sorted by class name.
  ASSERT_EQ(devices.DeviceCount(), 2);
  EXPECT_EQ(devices.Devices(0).ClassName, "Net");
  EXPECT_EQ(devices.Devices(1).ClassName, "Sensor");
  EXPECT_EQ(devices.Devices(1).DeviceClass, 24);
  EXPECT_EQ(devices.Devices(5).Name, "");  // outside the list: an empty record

  const TDevice d = devices.Devices(0);
  EXPECT_EQ(d.FriendlyName, "   ");
  EXPECT_EQ(d.Description, "Intel(R) PRO/1000 MT");
  EXPECT_EQ(d.Name, "Intel(R) PRO/1000 MT");
  EXPECT_EQ(d.Manufacturer, "Intel");
  EXPECT_EQ(d.GUID, kNetGuid);
  EXPECT_EQ(d.ClassDesc, "Network adapters");
  EXPECT_EQ(d.ClassIcon, "-5");
  EXPECT_EQ(d.DeviceClass, 21);
  EXPECT_EQ(d.PCINumber, 0);
  EXPECT_EQ(d.DeviceNumber, 29);
  EXPECT_EQ(d.FunctionNumber, 0);
  EXPECT_EQ(d.HardwareID, "PCI\\VEN_8086&DEV_27C8&SUBSYS_30A2103C&REV_02");
  EXPECT_EQ(d.VendorID, 0x8086u);
  EXPECT_EQ(d.DeviceID, 0x27C8u);
  EXPECT_EQ(d.SubSysID, 0x30A2103Cu);
  EXPECT_EQ(d.Revision, 2u);
  EXPECT_EQ(d.DriverVersion, "8.4.1.0");
  EXPECT_EQ(d.DriverProvider, "Intel");
  EXPECT_EQ(d.InfPath, "oem12.inf");
  EXPECT_EQ(d.ServiceName, "Intel(R) PRO/1000 Driver");
  EXPECT_EQ(d.ServiceGroup, "NDIS");
  EXPECT_EQ(d.ServiceType, 1);
  EXPECT_EQ(d.InstanceKey, "3&21436425&0&E8");
  EXPECT_EQ(d.RegKey,
            "\\SYSTEM\\CurrentControlSet\\Enum\\PCI\\VEN_8086&DEV_27C8&SUBSYS_30A2103C&REV_02\\"
            "3&21436425&0&E8");
  EXPECT_EQ(d.ResourceListKey, d.RegKey + "\\LogConf");
  EXPECT_EQ(d.ResourceListValue, "BootConfig");
  EXPECT_EQ(d.SymbolicLink, "\\\\?\\PCI#VEN_8086");
  EXPECT_EQ(d.DeviceParam, "MSI");
  EXPECT_FALSE(d.TimeStamp.has_value());  // a .reg file keeps no write times
  EXPECT_FALSE(d.FromDeviceModel);

  // Without a class key the instance's "Class" names the class.
  EXPECT_EQ(devices.Devices(1).Name, "Light sensor");
  EXPECT_EQ(devices.Devices(1).Location, "");
}

TEST(RegistryDevices, TwoRefreshesGiveEqualLists) {
  std::shared_ptr<platform::Services> services;
  auto owned = Refreshed(services);
  TVexa_Devices& devices = *owned;
  const auto first = devices.List();
  devices.RefreshData();
  ASSERT_EQ(devices.List().size(), first.size());
  for (std::size_t i = 0; i < first.size(); ++i)
    EXPECT_EQ(devices.List()[i].RegKey, first[i].RegKey);
}

TEST(RegistryDevices, NoDeviceDatabaseGivesAnEmptyListWithTheReason) {
  auto services =
      std::const_pointer_cast<platform::Services>(testing::MakeTestServices("/nonexistent"));
  TVexa_Devices devices(services);
  devices.RefreshData();
  EXPECT_EQ(devices.DeviceCount(), 0);
  EXPECT_EQ(devices.Source.status, platform::Status::NotSupported);
}

}  // namespace
}  // namespace tavrin::collectors
