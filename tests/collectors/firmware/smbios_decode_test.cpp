#include "collectors/firmware/smbios_decode.h"

#include <gtest/gtest.h>

#include "collectors/firmware/smbios_names.h"
#include "collectors/firmware/smbios_text.h"
#include "tests/collectors/firmware/smbios_builder.h"

namespace tavrin::collectors::smbios {
namespace {

namespace tb = testing::smbios;

SmbiosValues Decode(const std::string& table, SmbiosVersion version = {2, 7}) {
  return DecodeSmbios(table, WalkStructures(table).index, version);
}

TEST(SmbiosSizes, MemoryModuleAndCacheEncodings) {
  EXPECT_EQ(ModuleSizeMB(0x87), 128u) << "double-bank 2^7";
  EXPECT_EQ(ModuleSizeMB(0x07), 128u);
  EXPECT_EQ(ModuleSizeMB(0x7F), 0u) << "not installed";
  EXPECT_EQ(ModuleSizeMB(0x7D), 0u) << "not determinable";
  EXPECT_EQ(ModuleSizeMB(0x40), 0u) << "does not fit";
  EXPECT_EQ(CacheSizeKB(0x8010), 1024u);
  EXPECT_EQ(CacheSizeKB(0x0200), 512u);
  EXPECT_EQ(CacheSize2KB(0x80000400), 65536u);
  EXPECT_EQ(CacheSize2KB(0x00000400), 1024u);
}

TEST(SmbiosSizes, MemoryDeviceSizeIncludingExtended) {
  EXPECT_EQ(MemoryDeviceSizeKB(0x2000, 0), 8192u * 1024);
  EXPECT_EQ(MemoryDeviceSizeKB(0x8200, 0), 512u) << "bit 15: KB granularity";
  EXPECT_EQ(MemoryDeviceSizeKB(0, 0), 0u) << "no module installed";
  EXPECT_FALSE(MemoryDeviceSizeKB(0xFFFF, 0)) << "unknown";
  EXPECT_EQ(MemoryDeviceSizeKB(0x7FFF, 0x10000), 65536ull * 1024) << "64 GB in the extended field";
  EXPECT_EQ(MemoryDeviceSizeKB(0x7FFF, 0x80010000), 65536ull * 1024) << "bit 31 is reserved";
}

TEST(SmbiosSizes, BiosRomSize) {
  EXPECT_EQ(BiosRomSizeKB(0x0F, 0, false), 1024u);
  EXPECT_EQ(BiosRomSizeKB(0xFF, 0x0020, true), 32u * 1024) << "32 MB extended";
  EXPECT_EQ(BiosRomSizeKB(0xFF, 0x4001, true), 1024u * 1024) << "1 GB extended";
  EXPECT_EQ(BiosRomSizeKB(0xFF, 0, false), 16384u) << "2.x: 256 blocks of 64 KB";
}

TEST(SmbiosRecords, BiosSystemBoardAndChassis) {
  std::vector<uint8_t> system = tb::Body(0x19, {{4, 1}, {5, 2}, {6, 0}, {7, 3}});
  for (int i = 0; i < 16; ++i) system[8 - 4 + i] = static_cast<uint8_t>(i * 17);
  const auto table = tb::Structure(0, 0, tb::Body(0x12, {{4, 1}, {5, 2}, {8, 3}, {9, 0x0F}}),
                                   {"AMI", "F4", "10/04/2018"}) +
                     tb::Structure(1, 1, system, {"Maker", "Model", "SN1"}) +
                     tb::Structure(2, 2, tb::Body(0x0F, {{4, 1}, {5, 2}, {8, 3}, {10, 4}}),
                                   {"Board Co", "B1", "Tag", "Slot A"}) +
                     tb::Structure(3, 3, tb::Body(0x0D, {{4, 1}, {5, 0x89}}), {"Case Co"}) +
                     tb::EndOfTable(4);
  const auto v = Decode(table);
  EXPECT_EQ(v.BIOSVendor, "AMI");
  EXPECT_EQ(v.BIOSDate, "10/04/2018");
  EXPECT_EQ(v.BIOSSize, 1024u);
  EXPECT_EQ(v.SystemProductName, "Model");
  EXPECT_EQ(v.SystemModel, "Maker Model") << "the name a user knows: maker and product";
  EXPECT_EQ(v.SystemVersion, "") << "string number 0";
  EXPECT_EQ(v.SystemSerial, "SN1");
  EXPECT_EQ(v.SystemUUID, "00112233445566778899aabbccddeeff");
  EXPECT_EQ(v.MainBoardAssetTag, "Tag");
  EXPECT_EQ(v.MainBoardLocationInChassis, "Slot A");
  EXPECT_EQ(v.ChassisModel, TSMBIOS_Chassis::smchLapTop) << "lock bit cleared, code 9";
  EXPECT_EQ(v.ChassisManufacturer, "Case Co");
}

TEST(SmbiosRecords, ProcessorIncludingLaterFields) {
  auto body = tb::Body(
      0x30, {{4, 0},       {6, 0xFE},    {7, 1},       {0x10, 2},    {0x11, 0x8C}, {0x12, 100},
             {0x14, 0x68}, {0x15, 0x10}, {0x16, 0xB8}, {0x17, 0x0B}, {0x19, 0x38}, {0x23, 0xFF},
             {0x24, 0xFF}, {0x25, 0xFF}, {0x28, 0x6B}, {0x29, 0x01}, {0x2A, 0x40}, {0x2B, 0x01},
             {0x2C, 0x40}, {0x2D, 0x01}, {0x2E, 0x80}, {0x2F, 0x02}});
  const auto table = tb::Structure(4, 0, body, {"AMD", "EPYC"}) + tb::EndOfTable(1);
  const auto v = Decode(table, {3, 3});
  ASSERT_EQ(v.ProcessorCount(), 1u);
  const auto& p = v.Processors[0];
  EXPECT_EQ(p.Socket, "Processor_0") << "empty socket designation";
  EXPECT_EQ(p.Manufacturer, "AMD");
  EXPECT_EQ(p.Version, "EPYC");
  EXPECT_DOUBLE_EQ(p.Voltage, 1.2);
  EXPECT_EQ(p.ExternalClock, 100);
  EXPECT_EQ(p.MaxSpeed, 4200);
  EXPECT_EQ(p.Frequency, 3000);
  EXPECT_EQ(NameOf(ProcessorUpgradeNames(), p.Upgrade), "Socket SP3r2");
  EXPECT_EQ(p.Family, 0x16B) << "family 2";
  EXPECT_EQ(p.CoreCount, 320) << "core count 2 above 255";
  EXPECT_EQ(p.ThreadCount, 640);
  EXPECT_DOUBLE_EQ(ProcessorVoltage(0x06), 3.3) << "legacy bits: the first in 5, 3.3, 2.9 order";
  EXPECT_DOUBLE_EQ(ProcessorVoltage(0x00), 0);
}

std::string MemoryDevice(uint16_t handle, uint16_t size, uint16_t speed, uint32_t extended,
                         uint8_t length) {
  auto body = tb::Body(length, {{8, 72},
                                {10, 64},
                                {12, static_cast<uint8_t>(size)},
                                {13, static_cast<uint8_t>(size >> 8)},
                                {14, 0x0D},
                                {16, 1},
                                {17, 2},
                                {18, 0x1A},
                                {19, 0x80},
                                {23, 3},
                                {24, 4},
                                {26, 5}});
  if (length > 0x16) {
    body[21 - 4] = speed & 0xFF;
    body[22 - 4] = static_cast<uint8_t>(speed >> 8);
  }
  if (length >= 0x20)
    for (int i = 0; i < 4; ++i) body[0x1C - 4 + i] = static_cast<uint8_t>(extended >> (8 * i));
  return tb::Structure(17, handle, body, {"DIMM 0", "BANK 0", "Maker", "SN", "PN  "});
}

TEST(SmbiosRecords, MemoryDevices) {
  const auto table = MemoryDevice(0, 0x7FFF, 667, 0x20000, 0x28) +
                     MemoryDevice(1, 0x1000, 2933, 0, 0x28) + tb::EndOfTable(2);
  const auto v = Decode(table, {3, 0});
  ASSERT_EQ(v.MemoryDeviceCount(), 2u);
  const auto& big = v.MemoryDevices[0];
  EXPECT_EQ(big.Size, 0x7FFF) << "kept as stored";
  EXPECT_EQ(big.SizeKB, 128ull * 1024 * 1024);
  EXPECT_EQ(big.Speed, 1) << "1000 div 667";
  EXPECT_EQ(big.SpeedMTs, 667u);
  EXPECT_EQ(big.TotalWidth, 72);
  EXPECT_EQ(NameOf(MemoryFormFactorNames(), big.FormFactor), "SODIMM");
  EXPECT_EQ(NameOf(MemoryDeviceTypeNames(), big.Device), "DDR4");
  EXPECT_EQ(big.TypeDetails, 0x80);
  EXPECT_EQ(big.PartNumber, "PN");
  EXPECT_EQ(v.MemoryDevices[1].Speed, 0) << "1000 div 2933";

  // On SMBIOS 2.2 the speed and the four strings stay empty.
  const auto old = Decode(MemoryDevice(0, 256, 667, 0, 0x1B) + tb::EndOfTable(1), {2, 2});
  ASSERT_EQ(old.MemoryDeviceCount(), 1u);
  EXPECT_EQ(old.MemoryDevices[0].Speed, 0);
  EXPECT_EQ(old.MemoryDevices[0].Manufacturer, "");
  EXPECT_EQ(old.MemoryDevices[0].SizeKB, 256u * 1024);
}

// Puts a little-endian value at a structure offset of a body made by tb::Body.
void PutAt(std::vector<uint8_t>& body, std::size_t offset, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) body.at(offset - 4 + i) = static_cast<uint8_t>(value >> (8 * i));
}

// Speeds in MT/s (the classic ns reading fails above 1000), the 3.3 extended fields, empty
// sockets, and the 2.7/2.8 configured speed, rank and voltage.
TEST(SmbiosRecords, MemoryDeviceSpeedsSocketsAndSettings) {
  auto ddr4 = tb::Body(0x28, {{0x1B, 0x02}});
  PutAt(ddr4, 0x0C, 16384, 2);   // 16 GB
  PutAt(ddr4, 0x15, 3200, 2);    // speed
  PutAt(ddr4, 0x20, 2933, 2);    // configured speed
  PutAt(ddr4, 0x13, 0x2080, 2);  // synchronous, unbuffered
  PutAt(ddr4, 0x22, 1200, 2);    // minimum voltage
  PutAt(ddr4, 0x26, 1200, 2);    // configured voltage (maximum left 0)
  auto ddr5 = tb::Body(0x5C, {});
  PutAt(ddr5, 0x0C, 0x7FFF, 2);
  PutAt(ddr5, 0x1C, 65536, 4);   // 64 GB in the extended size
  PutAt(ddr5, 0x15, 0xFFFF, 2);  // hands over to the extended speed
  PutAt(ddr5, 0x20, 0xFFFF, 2);
  PutAt(ddr5, 0x54, 70400, 4);
  PutAt(ddr5, 0x58, 68000, 4);
  auto empty = tb::Body(0x28, {{0x10, 1}});
  PutAt(empty, 0x15, 2400, 2);  // a stored speed for a socket without a module
  const auto v = Decode(tb::Structure(17, 0, ddr4) + tb::Structure(17, 1, ddr5) +
                            tb::Structure(17, 2, empty, {"DIMM_B2"}) + tb::EndOfTable(3),
                        {3, 3});
  ASSERT_EQ(v.MemoryDeviceCount(), 3u);
  const auto& a = v.MemoryDevices[0];
  EXPECT_EQ(a.SpeedMTs, 3200u);
  EXPECT_EQ(a.Speed, 0) << "the classic 1000 div MHz reads 0 above 1000 MT/s";
  EXPECT_EQ(a.ConfiguredSpeedMTs, 2933u);
  EXPECT_EQ(a.Rank, 2);
  EXPECT_EQ(a.TypeDetailBits, 0x2080);
  EXPECT_EQ(a.MinVoltage, 1200);
  EXPECT_EQ(a.ConfiguredVoltage, 1200);
  EXPECT_TRUE(a.Installed());
  const auto& b = v.MemoryDevices[1];
  EXPECT_EQ(b.SpeedMTs, 70400u) << "SMBIOS 3.3 extended speed";
  EXPECT_EQ(b.ConfiguredSpeedMTs, 68000u);
  EXPECT_EQ(b.SizeKB, 64ull * 1024 * 1024);
  const auto& c = v.MemoryDevices[2];
  EXPECT_FALSE(c.Installed()) << "size 0: an empty socket";
  EXPECT_EQ(c.DeviceLocator, "DIMM_B2");

  // A 3.2 table's FFFFh is a real (if odd) value, not a hand-over: no extended field there.
  auto short_body = tb::Body(0x28, {});
  PutAt(short_body, 0x15, 0xFFFF, 2);
  const auto old = Decode(tb::Structure(17, 0, short_body) + tb::EndOfTable(1), {3, 2});
  EXPECT_EQ(old.MemoryDevices[0].SpeedMTs, 0xFFFFu);
}

// The UUID's first three fields are little-endian from SMBIOS 2.6 on; the kernel shows them so.
TEST(SmbiosRecords, SystemUuidByteOrderFollowsTheVersion) {
  auto body = tb::Body(0x1B, {{4, 1}, {5, 2}, {0x18, 6}, {0x19, 3}, {0x1A, 4}});
  for (int i = 0; i < 16; ++i) body.at(8 - 4 + i) = static_cast<uint8_t>(i * 0x11);
  const auto table =
      tb::Structure(1, 0, body, {"LENOVO", "20L8S07A14", "LENOVO_MT_20L8", "ThinkPad T480"}) +
      tb::EndOfTable(1);
  const auto v24 = Decode(table, {2, 4});
  const auto v26 = Decode(table, {2, 6});
  EXPECT_EQ(v24.SystemUUID, v26.SystemUUID) << "the raw form keeps the stored order";
  EXPECT_EQ(v24.SystemUUIDText, "00112233-4455-6677-8899-aabbccddeeff");
  EXPECT_EQ(v26.SystemUUIDText, "33221100-5544-7766-8899-aabbccddeeff");
  EXPECT_EQ(v26.SystemSKU, "LENOVO_MT_20L8");
  EXPECT_EQ(v26.SystemFamily, "ThinkPad T480");
  EXPECT_EQ(v26.SystemWakeUpType, 6);
  EXPECT_EQ(v26.SystemProductName, "20L8S07A14");
  EXPECT_EQ(v26.SystemModel, "LENOVO ThinkPad T480") << "the product is a part number";

  for (uint8_t fill : {0x00, 0xFF}) {
    auto blank = tb::Body(0x1B, {});
    for (int i = 0; i < 16; ++i) blank.at(8 - 4 + i) = fill;
    EXPECT_EQ(Decode(tb::Structure(1, 0, blank) + tb::EndOfTable(1), {2, 8}).SystemUUIDText, "")
        << "not settable / not present";
  }
}

TEST(SmbiosRecords, ChassisLockBitStatesAndSku) {
  // Type 3 (desktop) with the lock bit; states safe; 2 U; one contained element of 3 bytes.
  auto body = tb::Body(0x19, {{4, 1},
                              {5, 0x83},
                              {9, 3},
                              {0x0A, 3},
                              {0x0B, 4},
                              {0x0C, 3},
                              {0x11, 2},
                              {0x12, 1},
                              {0x13, 1},
                              {0x14, 3},
                              {0x18, 2}});
  const auto v = Decode(tb::Structure(3, 0, body, {"Maker", "SKU-7"}) + tb::EndOfTable(1));
  EXPECT_EQ(v.ChassisTypeCode, 3);
  EXPECT_TRUE(v.ChassisLock);
  EXPECT_EQ(v.ChassisModel, TSMBIOS_Chassis::smchDesktop) << "the lock bit is not part of the type";
  EXPECT_EQ(NameOfCode(ChassisStateNames(), v.ChassisThermalState), "Warning");
  EXPECT_EQ(NameOfCode(ChassisSecurityNames(), v.ChassisSecurityStatus), "None");
  EXPECT_EQ(v.ChassisHeightU, 2);
  EXPECT_EQ(v.ChassisPowerCords, 1);
  EXPECT_EQ(v.ChassisSKU, "SKU-7") << "after the contained elements";
}

// A 3.2 slot with its own address and two bifurcated peers; the board records around it.
TEST(SmbiosRecords, SlotPeersArraysOnBoardDevicesOemAndIpmi) {
  auto slot =
      tb::Body(0x1D, {{4, 1}, {5, 0xB6}, {6, 0x0D}, {7, 5}, {8, 4}, {0x11, 0x0D}, {0x12, 2}});
  PutAt(slot, 0x0D, 0x0000, 2);
  slot.at(0x0F - 4) = 0x3B;
  slot.at(0x10 - 4) = 0x00;
  const uint8_t peers[] = {0x00, 0x00, 0x3C, 0x00, 8, 0x00, 0x00, 0x3D, 0x08, 8};
  for (int i = 0; i < 10; ++i) slot.at(0x13 - 4 + i) = peers[i];
  auto no_address = tb::Body(0x11, {{4, 1}, {5, 0x06}, {7, 3}});
  PutAt(no_address, 0x0D, 0xFFFF, 2);
  no_address.at(0x0F - 4) = 0xFF;
  no_address.at(0x10 - 4) = 0xFF;
  auto array = tb::Body(0x17, {{4, 3}, {5, 3}, {6, 5}});
  PutAt(array, 7, 0x80000000, 4);
  PutAt(array, 0x0D, 16, 2);
  PutAt(array, 0x0F, 8ull << 40, 8);  // 8 TB, in bytes
  auto nic = tb::Body(0x0B, {{4, 1}, {5, 0x85}, {6, 1}, {9, 0x19}, {0x0A, 0x00}});
  auto ipmi = tb::Body(0x12, {{4, 1}, {5, 0x20}, {6, 0x20}, {0x10, 0x10}, {0x11, 0}});
  PutAt(ipmi, 8, 0xCA3, 8);
  const auto v =
      Decode(tb::Structure(9, 0, slot, {"PCIE1"}) + tb::Structure(9, 1, no_address, {"PCI2"}) +
                 tb::Structure(16, 2, array) + tb::Structure(41, 3, nic, {"Onboard LAN"}) +
                 tb::Structure(11, 4, tb::Body(5, {{4, 2}}), {"Dell System", "5[0000]"}) +
                 tb::Structure(38, 5, ipmi) + tb::EndOfTable(6),
             {3, 2});
  ASSERT_EQ(v.SystemSlotCount(), 2u);
  const auto& s = v.SystemSlots[0];
  EXPECT_EQ(NameOf(SlotTypeNames(), s.Typ), "PCI Express Gen 3 x16");
  EXPECT_EQ(NameOfCode(SlotUsageNames(), s.Usage), "Unavailable");
  ASSERT_TRUE(s.Address);
  EXPECT_EQ(s.Address->Bus, 0x3B);
  ASSERT_EQ(s.Peers.size(), 2u);
  EXPECT_EQ(s.Peers[1].Address.Bus, 0x3D);
  EXPECT_EQ(s.Peers[1].Address.DeviceFunction, 0x08) << "device 1, function 0";
  EXPECT_EQ(s.Peers[1].DataBusWidth, 8);
  EXPECT_FALSE(v.SystemSlots[1].Address) << "FFFFh/FFh/FFh: no PCI address";
  ASSERT_EQ(v.MemoryArrays.size(), 1u);
  EXPECT_EQ(v.MemoryArrays[0].MaxCapacityKB, 8ull << 30) << "extended maximum capacity";
  EXPECT_EQ(NameOfCode(MemoryArrayErrorCorrectionNames(), v.MemoryArrays[0].ErrorCorrection),
            "Single-bit ECC");
  ASSERT_EQ(v.OnBoardDevicesEx.size(), 1u);
  EXPECT_EQ(NameOfCode(DeviceTypeNames(), v.OnBoardDevicesEx[0].TypeCode), "Ethernet");
  EXPECT_TRUE(v.OnBoardDevicesEx[0].Enabled);
  EXPECT_EQ(v.OEMStrings, (std::vector<std::string>{"Dell System", "5[0000]"}));
  ASSERT_TRUE(v.Ipmi);
  EXPECT_EQ(v.Ipmi->SpecMajor, 2);
  EXPECT_TRUE(v.Ipmi->IoSpace);
  EXPECT_EQ(v.Ipmi->BaseAddress, 0xCA3u)
      << "bit 0 of the field is the I/O flag, the modifier's bit 4 the address's";
}

TEST(SmbiosText, PlaceholdersAndMachineNames) {
  for (const char* p : {"To Be Filled By O.E.M.", "Not Specified", "Empty", "FFFFFFFF", "  ",
                        "Default string", "NO DIMM"})
    EXPECT_TRUE(IsPlaceholder(p)) << p;
  for (const char* real : {"Samsung", "M393A2K40BB1-CRC", "DIMM_A1", "0x0000"})
    EXPECT_FALSE(IsPlaceholder(real)) << real;
  EXPECT_EQ(MachineModelText("Dell Inc.", "PowerEdge R630", "", ""), "Dell Inc. PowerEdge R630");
  EXPECT_EQ(MachineModelText("VMware, Inc.", "VMware Virtual Platform", "None", ""),
            "VMware Virtual Platform")
      << "the maker is not repeated";
  EXPECT_EQ(MachineModelText("To Be Filled By O.E.M.", "To Be Filled By O.E.M.", "", ""), "");
  EXPECT_EQ(MachineModelText("HP", "", "", "EliteBook"), "HP EliteBook") << "no product: family";
  EXPECT_FALSE(LooksLikePartNumber("X399 AORUS XTREME"));
  EXPECT_FALSE(LooksLikePartNumber("MS-7816"));
}

TEST(SmbiosRecords, ModulesCachesPortsSlotsDevicesProbes) {
  const auto table =
      tb::Structure(
          5, 0,
          tb::Body(
              0x0F,
              {{6, 5}, {7, 3}, {8, 10}, {9, 0x1C}, {11, 0x00}, {12, 0x05}, {13, 0x06}, {14, 4}})) +
      tb::Structure(6, 1, tb::Body(0x0C, {{4, 1}, {6, 60}, {7, 0x00}, {8, 0x01}, {9, 0x87}}),
                    {"DIMM1"}) +
      tb::Structure(7, 2,
                    tb::Body(0x13, {{7, 0x10},
                                    {8, 0x80},
                                    {9, 0x10},
                                    {10, 0x80},
                                    {13, 0x10},
                                    {15, 5},
                                    {17, 5},
                                    {18, 7}})) +
      tb::Structure(8, 3, tb::Body(0x09, {{5, 0x0B}, {6, 1}, {7, 0x0B}, {8, 0x1F}}), {"LAN"}) +
      tb::Structure(9, 4, tb::Body(0x0D, {{4, 1}, {5, 0xB6}, {6, 5}, {7, 4}, {8, 4}, {9, 2}}),
                    {"PCIE1"}) +
      tb::Structure(10, 5, {0x85, 1, 0x03, 2}, {"NIC", "VGA"}) +
      tb::Structure(28, 6, tb::Body(0x16, {{4, 1}, {5, 0x63}, {20, 0x2C}, {21, 0x01}}),
                    {"CPU temp"}) +
      tb::EndOfTable(7);
  const auto v = Decode(table);
  EXPECT_EQ(NameOf(InterleaveNames(), static_cast<int>(v.MemCtrlSupportedInterleave)), "4-Way");
  EXPECT_EQ(v.MemCtrlMaxSize, 1024);
  EXPECT_EQ(SetText(v.MemCtrlSupportedSpeeds, MemorySpeedNames()), "70ns,60ns,50ns");
  EXPECT_EQ(SetText(v.MemCtrlSupportedTypes, ModuleTypeNames()), "DIMM,SDRAM");
  EXPECT_EQ(SetText(v.MemCtrlSupportedVoltages, VoltageNames()), "3.3V,2.9V");
  EXPECT_EQ(v.MemCtrlSlotCount, 4);
  ASSERT_EQ(v.MemoryModuleCount(), 1u);
  EXPECT_EQ(v.MemoryModules[0].Size, 128u);
  EXPECT_EQ(SetText(v.MemoryModules[0].Types, ModuleTypeNames()), "DIMM");
  ASSERT_EQ(v.CacheCount(), 1u);
  EXPECT_EQ(v.Caches[0].Designation, "Cache_0");
  EXPECT_EQ(v.Caches[0].MaxSize, 1024u);
  EXPECT_EQ(NameOf(CacheSramTypeNames(), v.Caches[0].SRAMType), "Pipeline Burst");
  EXPECT_EQ(NameOf(CacheTypeNames(), v.Caches[0].Typ), "Unified");
  EXPECT_EQ(NameOf(CacheAssociativityNames(), v.Caches[0].Associativity), "8-way Set-Associative");
  ASSERT_EQ(v.PortCount(), 1u);
  EXPECT_EQ(v.Ports[0].InternalDesignator, "PortSlot_0");
  EXPECT_EQ(v.Ports[0].ExternalDesignator, "LAN");
  EXPECT_EQ(NameOf(ConnectorTypeNames(), v.Ports[0].ExternalConnector), "RJ-45");
  EXPECT_EQ(NameOf(PortTypeNames(), v.Ports[0].Typ), "Network Port");
  ASSERT_EQ(v.SystemSlotCount(), 1u);
  EXPECT_EQ(NameOf(SlotTypeNames(), v.SystemSlots[0].Typ), "PCI Express Gen 3 x16");
  EXPECT_EQ(NameOf(SlotUsageNames(), v.SystemSlots[0].Usage - 1), "InUse");
  EXPECT_EQ(v.SystemSlots[0].ID, 2);
  ASSERT_EQ(v.OnBoardDeviceCount(), 2u);
  EXPECT_EQ(NameOf(OnBoardDeviceTypeNames(), v.OnBoardDevices[0].Typ), "Ethernet");
  EXPECT_TRUE(v.OnBoardDevices[0].Status);
  EXPECT_EQ(v.OnBoardDevices[1].DeviceName, "VGA");
  EXPECT_FALSE(v.OnBoardDevices[1].Status);
  ASSERT_EQ(v.TemperatureProbeCount(), 1u);
  EXPECT_EQ(NameOf(ProbeLocationNames(), v.TemperatureProbes[0].Location), "Processor");
  EXPECT_EQ(NameOf(ProbeStatusNames(), v.TemperatureProbes[0].Status), "OK");
  EXPECT_EQ(v.TemperatureProbes[0].Value, 300);
}

TEST(SmbiosRecords, MissingTypesKeepResetValues) {
  const auto v = Decode(tb::EndOfTable(0));
  EXPECT_EQ(v.ChassisModel, TSMBIOS_Chassis::smchUnknown);
  EXPECT_EQ(v.MemCtrlCurrentInterleave, TSMBIOS_InterleaveSupport::smisUnknown);
  EXPECT_EQ(v.BIOSSize, 0u);
  EXPECT_EQ(v.ProcessorCount(), 0u);
}

// Each name table is indexed by the stored value, so a missing or doubled entry shifts every
// name after it; the anchors below are the DMTF codes of names spread over each table.
TEST(SmbiosNames, TablesMatchTheirCodes) {
  EXPECT_EQ(ChassisNames().size(), 0x24u);
  EXPECT_EQ(NameOf(ChassisNames(), 0x17 - 1), "Rack-Mount Chassis");
  EXPECT_EQ(NameOf(ChassisNames(), 0x23 - 1), "Mini PC");
  EXPECT_EQ(NameOf(ProcessorUpgradeNames(), 0x11 - 1), "Socket 940");
  EXPECT_EQ(NameOf(ProcessorUpgradeNames(), 0x31 - 1), "Socket AM4");
  EXPECT_EQ(NameOf(ProcessorUpgradeNames(), 0x40 - 1), "Socket LGA1700");
  EXPECT_EQ(NameOf(MemoryDeviceTypeNames(), 0x12 - 1), "DDR");
  EXPECT_EQ(NameOf(MemoryDeviceTypeNames(), 0x18 - 1), "DDR3");
  EXPECT_EQ(NameOf(MemoryDeviceTypeNames(), 0x22 - 1), "DDR5");
  EXPECT_EQ(NameOf(MemoryDeviceTypeNames(), 0x23 - 1), "LPDDR5");
  EXPECT_EQ(NameOf(MemoryFormFactorNames(), 0x0D - 1), "SODIMM");
  EXPECT_EQ(MemoryTypeDetailNames().size(), 15u) << "bits 1..15";
  EXPECT_EQ(NameOf(MemoryTypeDetailNames(), 7 - 1), "Synchronous");
  EXPECT_EQ(NameOf(ProbeLocationNames(), 0x0E - 1), "Drive Back Plane");
  EXPECT_EQ(NameOf(ChassisNames(), -1), "");
  EXPECT_EQ(NameOf(ChassisNames(), 1000), "");
  for (auto table : {ConnectorTypeNames(), PortTypeNames(), SlotTypeNames()}) {
    for (std::size_t i = 1; i < table.size(); ++i)
      EXPECT_LT(table[i - 1].code, table[i].code) << table[i].name << ": sorted, no duplicates";
  }
  EXPECT_EQ(NameOf(ConnectorTypeNames(), 0x21), "1394");
  EXPECT_EQ(NameOf(ConnectorTypeNames(), 0xA4), "PC-98Full");
  EXPECT_EQ(NameOf(PortTypeNames(), 0xA1), "8251 FIFO Compatible");
  EXPECT_EQ(NameOf(SlotTypeNames(), 0x13), "AGP 8X");
  EXPECT_EQ(NameOf(SlotTypeNames(), 0x50), "");
  EXPECT_EQ(SetText(0, VoltageNames()), "");
}

// The tables of the current standard (DSP0134 3.7): sizes and anchors spread over each.
TEST(SmbiosNames, CurrentStandardTables) {
  for (std::size_t i = 1; i < ProcessorFamilyNames().size(); ++i)
    EXPECT_LT(ProcessorFamilyNames()[i - 1].code, ProcessorFamilyNames()[i].code)
        << ProcessorFamilyNames()[i].name << ": sorted, no duplicates";
  for (std::size_t i = 1; i < MemoryArrayLocationNames().size(); ++i)
    EXPECT_LT(MemoryArrayLocationNames()[i - 1].code, MemoryArrayLocationNames()[i].code);
  EXPECT_EQ(NameOf(ProcessorFamilyNames(), 0xB3), "Intel Xeon processor");
  EXPECT_EQ(NameOf(ProcessorFamilyNames(), 0x6B), "AMD Zen Processor Family");
  EXPECT_EQ(NameOf(ProcessorFamilyNames(), 0x101), "ARMv8");
  EXPECT_EQ(NameOf(ProcessorFamilyNames(), 0x307), "Intel Core Ultra 9");
  EXPECT_EQ(NameOf(ProcessorFamilyNames(), 0xFE), "") << "the hand-over code names nothing";
  EXPECT_EQ(MemoryDeviceTypeNames().size(), 0x24u) << "up to HBM3";
  EXPECT_EQ(NameOfCode(MemoryDeviceTypeNames(), 0x24), "HBM3");
  EXPECT_EQ(NameOfCode(MemoryFormFactorNames(), 0x0F), "FB-DIMM");
  EXPECT_EQ(NameOf(SlotTypeNames(), 0x17), "M.2 Socket 3 (Mechanical Key M)");
  EXPECT_EQ(NameOf(SlotTypeNames(), 0x26), "OCP NIC 3.0 Small Form Factor (SFF)");
  EXPECT_EQ(NameOf(SlotTypeNames(), 0xC3), "PCI Express Gen 5 x16");
  EXPECT_EQ(NameOf(SlotTypeNames(), 0xC4), "PCI Express Gen 6 and Beyond");
  EXPECT_EQ(SlotDataBusNames().size(), 0x0Eu);
  EXPECT_EQ(NameOfCode(SlotDataBusNames(), 0x0D), "x16");
  EXPECT_EQ(NameOfCode(CacheAssociativityNames(), 0x0E), "20-way Set-Associative");
  EXPECT_EQ(DeviceTypeNames().size(), 0x10u);
  EXPECT_EQ(NameOfCode(DeviceTypeNames(), 0x10), "UFS Controller");
  EXPECT_EQ(NameOfCode(ChassisNames(), 0x24), "Stick PC");
  EXPECT_EQ(NameOfCode(ChassisNames(), 0), "");
  EXPECT_EQ(NameOf(IpmiInterfaceNames(), 4), "SSIF (SMBus System Interface)");
}

}  // namespace
}  // namespace tavrin::collectors::smbios
