// The storage devices of a replayed Windows machine: a hand-written snapshot whose disks,
// optical drive and volumes answer device controls (controls.json), whose drive letters are in
// storage.json and whose device list (registry) knows a USB disk by its interface link only.
// The answers are images built here after the public structure layouts (see
// windows_structs_test.cpp) and the ATA/ACS IDENTIFY DEVICE and S.M.A.R.T. sectors.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "collectors/storage/scsi_data.h"
#include "collectors/storage/vsi_storage.h"
#include "collectors/storage/windows_storage.h"
#include "platform/device_control.h"
#include "platform/os_facts_json.h"
#include "platform/recorded/snapshot.h"
#include "tests/collectors/storage/sector_builder.h"
#include "tests/support/test_services.h"

namespace tavrin::collectors {
namespace {

using nlohmann::json;
using testing::Sector;
namespace ctl = control;

json Output(const std::string& bytes) {
  return {{"output", platform::Base64Encode(bytes)}};
}
json Refused(uint32_t error) {
  return {{"error", error}, {"message", "refused"}};
}
std::string Key(uint32_t code, const std::string& input = {}) {
  return platform::ControlKey(code, input);
}

// SENDCMDOUTPARAMS around 512 data bytes.
std::string SmartOut(const Sector& data, uint8_t driverError = 0) {
  Sector head(16);
  head.Le(0, 512, 4).Byte(4, driverError);
  return head.str() + data.str();
}

std::string IdentifyIn(int drive, uint8_t command) {
  IdeRegisters regs;
  regs.sectorCount = 1;
  regs.sectorNumber = 1;
  regs.driveHead = IdentifyDriveHead(drive);
  regs.command = command;
  return BuildSendCmdIn(static_cast<uint8_t>(drive), regs);
}

std::string AttributesIn(int drive) {
  IdeRegisters regs;
  regs.features = 0xD0;
  regs.sectorCount = 1;
  regs.sectorNumber = 1;
  regs.cylinderLow = 0x4F;
  regs.cylinderHigh = 0xC2;
  regs.driveHead = 0xA0;
  regs.command = 0xB0;
  return BuildSendCmdIn(static_cast<uint8_t>(drive), regs, 32);
}

std::string Version(uint8_t deviceMap) {
  Sector v(24);
  v.Byte(0, 1).Byte(1, 1).Byte(3, deviceMap).Le(4, 7, 4);
  return v.str();
}

std::string Descriptor(const std::string& vendor, const std::string& product,
                       const std::string& revision, const std::string& serial, uint32_t busType,
                       bool removable = false) {
  Sector d(256);
  d.Le(0, 1, 4).Le(4, 256, 4).Byte(10, removable).Le(28, busType, 4);
  std::size_t at = 40;
  const std::pair<std::size_t, const std::string*> texts[] = {
      {12, &vendor}, {16, &product}, {20, &revision}, {24, &serial}};
  for (const auto& [field, text] : texts) {
    if (text->empty()) continue;
    d.Le(field, at, 4).Text(at, text->size(), *text).Byte(at + text->size(), 0);
    at += text->size() + 1;
  }
  return d.str();
}

std::string Geometry(int64_t cylinders, uint32_t heads, uint32_t sectors) {
  Sector g(24);
  g.Le(0, static_cast<uint64_t>(cylinders), 8).Le(8, 12, 4).Le(12, heads, 4).Le(16, sectors, 4);
  g.Le(20, 512, 4);
  return g.str();
}

std::string MediaTypes(uint32_t deviceType, uint32_t mediaType) {
  Sector m(312);
  m.Le(0, deviceType, 4).Le(4, 1, 4).Le(16, mediaType, 4);
  return m.str();
}

std::string Address(uint8_t port, uint8_t path, uint8_t target, uint8_t lun) {
  Sector a(8);
  a.Le(0, 8, 4).Byte(4, port).Byte(5, path).Byte(6, target).Byte(7, lun);
  return a.str();
}

// One recognized NTFS partition at 1 MiB, and an unused entry.
std::string Layout() {
  Sector l(400);
  l.Le(0, 2, 4).Le(4, 0x1234, 4);
  l.Le(8, 1048576, 8).Le(16, 499000000000, 8).Le(24, 2048, 4).Le(28, 1, 4);
  l.Byte(32, 0x07).Byte(33, 1).Byte(34, 1);
  return l.str();
}

std::string Extents(uint32_t disk, int64_t offset, int64_t length) {
  Sector e(1024);
  e.Le(0, 1, 4).Le(8, disk, 4).Le(16, static_cast<uint64_t>(offset), 8);
  e.Le(24, static_cast<uint64_t>(length), 8);
  return e.str();
}

// A SCSI_PASS_THROUGH reply in the 64-bit layout with `data` at offset 92.
std::string PassThroughReply(const Sector& data) {
  Sector head(92);
  head.Le(0, 56, 2).Le(12, data.bytes().size(), 4).Le(24, 92, 8);
  return head.str() + data.str();
}
std::string PassThroughIn(std::span<const uint8_t> cdb, uint32_t length) {
  return BuildScsiPassThrough(cdb, length);
}

Sector SamsungIdentify() {
  Sector s;
  s.Word(0, 0x0040)
      .Word(1, 16383)
      .Word(3, 16)
      .Word(4, 32256)
      .Word(5, 512)
      .Word(6, 63)
      .AtaText(10, 10, "S3Z9NB0K123456X")
      .Word(21, 16)  // 8 KiB buffer
      .Word(22, 4)
      .AtaText(23, 4, "RVT01B6Q")
      .AtaText(27, 20, "Samsung SSD 860 EVO 500GB")
      .Word(60, 0xFFFF)
      .Word(61, 0x0FFF)
      .Word(80, 0x007E)  // ATA-1 to ATA/ATAPI-6 in the low byte only
      .Word(82, 0x0001)
      .Word(83, 0x4000)
      .Word(85, 0x0001)
      .Word(87, 0x4000);
  return s;
}

// A model text with a control character: the rest of the sector is not to be trusted.
Sector GarbledIdentify() {
  Sector s;
  s.Word(1, 999).Word(3, 15).Word(6, 17).AtaText(27, 20, "WDC\x01WD5000").AtaText(23, 4, "XX");
  return s;
}

// An old disk with a CHS geometry below the 28-bit sector count's threshold.
Sector OldDiskIdentify() {
  Sector s;
  s.Word(1, 1000).Word(3, 16).Word(6, 63).AtaText(27, 20, "OLD DISK 500");
  s.Word(60, static_cast<uint16_t>(1008000 & 0xFFFF)).Word(61, 1008000 >> 16);
  s.Word(80, 0x0000);
  return s;
}

Sector Attributes() {
  Sector a;
  a.Le(0, 0x10, 2);
  testing::PutAttribute(a, 0, 9, 0x32, 99, 99, 1234);
  testing::PutAttribute(a, 1, 190, 0x22, 65, 50, 31);
  testing::PutAttribute(a, 2, 194, 0x22, 65, 50, 0x0000140023);  // 35 °C, min/max above
  return a;
}

json Controls() {
  const auto inquiry = InquiryCdb();
  const auto page = CapabilitiesPageCdb();
  Sector inquiryData(36);
  inquiryData.Byte(0, 5).Text(8, 8, "HL-DT-ST").Text(16, 16, "DVDRAM GH24NSD1").Text(32, 4, "LG00");
  Sector pageData(8 + 28);
  pageData.Byte(8, 0x2A).Byte(9, 26).Byte(10, 0x3B).Byte(11, 0x33);
  json devices;
  devices["\\\\.\\PhysicalDrive0"] = {
      {Key(ctl::kSmartGetVersion), Output(Version(0x01))},
      {Key(ctl::kSmartReceiveDriveData, IdentifyIn(0, 0xEC)), Output(SmartOut(SamsungIdentify()))},
      {Key(ctl::kSmartReceiveDriveData, AttributesIn(0)), Output(SmartOut(Attributes()))},
      {Key(ctl::kStorageQueryProperty),
       Output(Descriptor("", "Samsung SSD 860 EVO 500GB", "RVT01B6Q", "S3Z9NB0K123456X", 11))},
      {Key(ctl::kScsiGetAddress), Refused(1)},
      {Key(ctl::kGetMediaTypesEx), Output(MediaTypes(7, 12))},
      {Key(ctl::kGetDriveGeometry), Output(Geometry(60801, 255, 63))},
      {Key(ctl::kGetDriveLayout), Output(Layout())}};
  // Drive 1 is no ATA disk by the version's map, so A1h is asked first and refused; the
  // retry with ECh answers garbage. The property query names the disk.
  devices["\\\\.\\PhysicalDrive1"] = {
      {Key(ctl::kSmartGetVersion), Output(Version(0x01))},
      {Key(ctl::kSmartReceiveDriveData, IdentifyIn(1, 0xEC)), Output(SmartOut(GarbledIdentify()))},
      {Key(ctl::kStorageQueryProperty), Output(Descriptor("WDC", "WD5000AAKX", "15.01H15", "", 3))},
      {Key(ctl::kGetMediaTypesEx), Output(MediaTypes(7, 12))},
      {Key(ctl::kGetDriveGeometry), Output(Geometry(60801, 255, 63))}};
  // Drive 2: no SMART version (ECh then), no geometry.
  devices["\\\\.\\PhysicalDrive2"] = {
      {Key(ctl::kSmartReceiveDriveData, IdentifyIn(2, 0xEC)), Output(SmartOut(OldDiskIdentify()))},
      {Key(ctl::kGetMediaTypesEx), Output(MediaTypes(7, 12))},
      {Key(ctl::kGetDriveGeometry), Refused(21)}};
  // Numbering ends at drive 3: drive 4 is never asked.
  devices["\\\\.\\PhysicalDrive4"] = {
      {Key(ctl::kStorageQueryProperty), Output(Descriptor("", "Never Seen", "", "", 11))}};
  devices["\\\\.\\Cdrom0"] = {
      {Key(ctl::kStorageQueryProperty), Output(Descriptor("", "", "", "", 2, true))},
      {Key(ctl::kScsiPassThrough, PassThroughIn(inquiry, kInquiryLength)),
       Output(PassThroughReply(inquiryData))},
      {Key(ctl::kScsiPassThrough, PassThroughIn(page, kCapabilitiesLength)),
       Output(PassThroughReply(pageData))},
      {Key(ctl::kScsiGetAddress), Output(Address(1, 0, 0, 0))}};
  devices["\\\\.\\C:"] = {
      {Key(ctl::kStorageQueryProperty),
       Output(Descriptor("", "Samsung SSD 860 EVO 500GB", "RVT01B6Q", "S3Z9NB0K123456X", 11))},
      {Key(ctl::kGetVolumeDiskExtents), Output(Extents(0, 1048576, 499000000000))}};
  devices["\\\\.\\D:"] = {{Key(ctl::kScsiGetAddress), Output(Address(1, 0, 0, 0))}};
  // The device list's USB disk, known by its link only, and the first disk again by its
  // link, which adds the SCSI address drive 0 did not give.
  devices["\\\\?\\usbstor#disk&ven_sandisk#4c5300011#{53f56307-b6bf-11d0-94f2-00a0c91efb8b}"] = {
      {Key(ctl::kStorageQueryProperty),
       Output(Descriptor("SanDisk", "Cruzer Blade", "1.00", "4C5300011", 7, true))},
      {Key(ctl::kGetDriveGeometry), Output(Geometry(1946, 255, 63))}};
  devices["\\\\?\\scsi#disk&ven_samsung#4&1&0&0#{53f56307-b6bf-11d0-94f2-00a0c91efb8b}"] = {
      {Key(ctl::kStorageQueryProperty),
       Output(Descriptor("", "SAMSUNG SSD 860 EVO 500GB", "", "s3z9nb0k123456x", 11))},
      {Key(ctl::kScsiGetAddress), Output(Address(0, 0, 2, 0))}};
  return {{"devices", devices},
          {"failedOpens",
           {{"\\\\.\\PhysicalDrive3", {{"error", 5}, {"message", "Access is denied."}}}}}};
}

// UTF-16LE hex of a multi-string holding `text`, as regedit writes hex(7).
std::string MultiSz(const std::string& text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (char c : text + std::string("\0\0", 2)) {
    out += std::string{kHex[(c >> 4) & 0xF], kHex[c & 0xF]} + ",00,";
  }
  out.pop_back();
  return out;
}

std::string DiskDevice(const std::string& enumerator, const std::string& device,
                       const std::string& instance, const std::string& link) {
  const std::string key = "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\" + enumerator +
                          "\\" + device + "\\" + instance;
  const std::string guid = "{53f56307-b6bf-11d0-94f2-00a0c91efb8b}";
  std::string escaped;
  for (char c : link) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
  return "[" + key + "]\n\"DeviceDesc\"=\"Disk drive\"\n\"Class\"=\"DiskDrive\"\n" +
         "\"ClassGUID\"=\"{4D36E967-E325-11CE-BFC1-08002BE10318}\"\n" +
         "\"HardwareID\"=hex(7):" + MultiSz(enumerator + "\\" + device) + "\n\n[" + key +
         "\\Control]\n\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\" +
         guid + "\\##?#" + enumerator + "#" + device + "#" + instance + "#" + guid +
         "\\#]\n\"SymbolicLink\"=\"" + escaped + "\"\n\n";
}

json Letters(const std::vector<std::pair<std::string, uint32_t>>& letters) {
  std::vector<uint16_t> units;
  json volumes = json::array();
  for (const auto& [drive, type] : letters) {
    for (char c : drive + "\\") units.push_back(static_cast<uint16_t>(c));
    units.push_back(0);
    volumes.push_back({{"drive", drive}, {"driveType", type}});
  }
  units.push_back(0);
  return {{"windows",
           {{"status", "ok"},
            {"source", "hand-written"},
            {"value", {{"driveStrings", units}, {"systemDrive", "C:"}, {"volumes", volumes}}}}}};
}

class WindowsSnapshot {
 public:
  WindowsSnapshot(const json& controls, const json& storage, const std::string& reg = {}) {
    dir_.Write("snapshot.json", R"({"format": "tavrin-snapshot", "version": 1})");
    dir_.Write("system.json", R"({"OsVersionRecord": {"status": "ok", "source": "hand-written",
        "value": {"platform": 2, "major": 10, "minor": 0, "build": 19045, "csd": ""}}})");
    dir_.Write("controls.json", controls.dump());
    dir_.Write("storage.json", storage.dump());
    if (!reg.empty())
      dir_.Write("registry/devices.reg", "Windows Registry Editor Version 5.00\n\n" + reg);
    auto opened = platform::OpenSnapshot(dir_.path());
    EXPECT_TRUE(opened.services) << opened.error;
    if (opened.services) services_ = std::make_shared<platform::Services>(*opened.services);
  }
  std::shared_ptr<const platform::Services> services() const { return services_; }

 private:
  testing::TempDir dir_;
  std::shared_ptr<const platform::Services> services_;
};

const TDeviceInfo* ByPath(const std::vector<TDeviceInfo>& list, const std::string& path) {
  for (const TDeviceInfo& d : list)
    if (d.DevicePath == path) return &d;
  return nullptr;
}

TEST(WindowsStorage, ReplayedMachineGivesPhysicalAndLogicalRecords) {
  const std::string reg =
      DiskDevice(
          "USBSTOR", "Disk&Ven_SanDisk", "4C5300011",
          "\\\\?\\usbstor#disk&ven_sandisk#4c5300011#{53f56307-b6bf-11d0-94f2-00a0c91efb8b}") +
      DiskDevice("SCSI", "Disk&Ven_Samsung", "4&1&0&0",
                 "\\\\?\\scsi#disk&ven_samsung#4&1&0&0#{53f56307-b6bf-11d0-94f2-00a0c91efb8b}");
  WindowsSnapshot snapshot(Controls(), Letters({{"C:", 3}, {"D:", 5}, {"E:", 2}, {"Z:", 4}}), reg);
  ASSERT_TRUE(snapshot.services());
  TVexa_Storage storage(snapshot.services());
  storage.RefreshData();
  EXPECT_TRUE(storage.ByDeviceControls());
  EXPECT_TRUE(storage.ListSource().ok());

  // Disks 0 to 2 (3 refuses, so 4 is never opened), the optical drive, and the USB disk the
  // device list adds; the device list's second disk is drive 0 again and only completes it.
  const auto& physical = storage.PhysicalDevices();
  ASSERT_EQ(storage.PhysicalCount(), 5);
  // Each number asks a disk, an optical and a tape drive in turn.
  EXPECT_EQ(physical[0].DevicePath, "\\\\.\\PhysicalDrive0");
  EXPECT_EQ(physical[1].DevicePath, "\\\\.\\Cdrom0");
  EXPECT_EQ(physical[2].DevicePath, "\\\\.\\PhysicalDrive1");
  EXPECT_FALSE(ByPath(physical, "\\\\.\\PhysicalDrive4"));

  const TDeviceInfo& ssd = physical[0];
  EXPECT_EQ(ssd.Device, 0);
  EXPECT_EQ(ssd.Model, "Samsung SSD 860 EVO 500GB");
  EXPECT_EQ(ssd.Revision, "RVT01B6Q");
  EXPECT_EQ(ssd.SerialNumber, "S3Z9NB0K123456X");
  EXPECT_EQ(ssd.BusType, 11u);
  EXPECT_EQ(ssd.DeviceType, 7u);
  EXPECT_EQ(ssd.MediaType, 12u);
  EXPECT_EQ(ssd.ATAVersion, 6u);  // word 80 = 007Eh
  EXPECT_EQ(ssd.CtlBufSize, 8192u);
  EXPECT_EQ(ssd.ECCCode, 4u);
  EXPECT_EQ(ssd.BytesPerTrack, 32256u);
  EXPECT_EQ(ssd.AddressableSectors, 0x0FFFFFFFu);
  EXPECT_TRUE(ssd.SMARTSupport);
  EXPECT_TRUE(ssd.SMARTActive);
  EXPECT_EQ(ssd.HaId, 0);  // from the device list's link to the same disk
  EXPECT_EQ(ssd.Target, 2);
  // The geometry decides the size and replaces IDENTIFY's cylinders and heads.
  ASSERT_TRUE(ssd.Geometry);
  EXPECT_EQ(ssd.Size, 60801LL * 255 * 63 * 512);
  EXPECT_EQ(ssd.Cylinders, 60801u);
  EXPECT_EQ(ssd.Heads, 255u);
  ASSERT_EQ(ssd.Layout.size(), 1u);  // the unrecognized entry is left out
  EXPECT_EQ(ssd.Layout[0].StartingOffset, 1048576);
  EXPECT_EQ(ssd.Layout[0].HiddenSectors, 2048u);
  EXPECT_EQ(ssd.Layout[0].Typ, 0x07);
  EXPECT_TRUE(ssd.Layout[0].BootIndicator);
  EXPECT_EQ(ssd.Layout[0].MountPoint, "C:");
  ASSERT_EQ(ssd.SMARTAttributes.size(), 3u);
  EXPECT_EQ(ssd.Temperature, 35);  // attribute 194 only
  EXPECT_TRUE(ssd.SmartSource.ok());
  EXPECT_TRUE(ssd.IdentifySource.ok());

  // Garbage IDENTIFY data gives nothing; the property query names the disk.
  const TDeviceInfo& wd = physical[2];
  EXPECT_EQ(wd.Model, "WDC WD5000AAKX");
  EXPECT_EQ(wd.Revision, "15.01H15");
  EXPECT_EQ(wd.SerialNumber, "");
  EXPECT_EQ(wd.ATAVersion, 0u);
  EXPECT_EQ(wd.BytesPerTrack, 0u);
  EXPECT_EQ(wd.BusType, 3u);
  EXPECT_EQ(wd.Cylinders, 60801u);  // from the geometry, not IDENTIFY's 999

  // No geometry and fewer than 16,515,072 sectors: cylinders × heads × sectors × 512.
  const TDeviceInfo& old = physical[3];
  EXPECT_EQ(old.Model, "OLD DISK 500");
  EXPECT_FALSE(old.Geometry);
  EXPECT_EQ(old.Size, 1000LL * 16 * 63 * 512);
  EXPECT_EQ(old.ATAVersion, 1u);  // word 80 = 0
  EXPECT_EQ(old.HaId, -1);
  EXPECT_EQ(old.SmartSource.status, platform::Status::NotSupported);  // not recorded

  const TDeviceInfo& dvd = physical[1];
  EXPECT_EQ(dvd.DeviceType, kDeviceTypeCdRom);       // no media answer: the name says optical
  EXPECT_EQ(dvd.Model, "HL-DT-ST DVDRAM GH24NSD1");  // the descriptor has none: INQUIRY's
  EXPECT_EQ(dvd.Revision, "LG00");
  EXPECT_EQ(dvd.BusType, 2u);
  EXPECT_TRUE(dvd.Removable);
  EXPECT_EQ(dvd.HaId, 1);
  ASSERT_TRUE(dvd.Optical);
  EXPECT_EQ(dvd.Optical->readsDvdRam, true);
  EXPECT_EQ(dvd.Optical->writesDvdRam, true);
  EXPECT_EQ(dvd.Optical->writesDvdR, true);
  EXPECT_EQ(dvd.Optical->readsDvdR, true);

  const TDeviceInfo& usb = physical[4];
  EXPECT_EQ(usb.Model, "SanDisk Cruzer Blade");
  EXPECT_EQ(usb.BusType, 7u);
  EXPECT_EQ(usb.Size, 1946LL * 255 * 63 * 512);

  // Volumes: C: and D: open; E: is not a device the machine had, Z: a network drive.
  const auto& logical = storage.LogicalDevices();
  ASSERT_EQ(storage.LogicalCount(), 2);
  EXPECT_EQ(logical[0].Drive, "C:");
  EXPECT_EQ(logical[0].Model, "Samsung SSD 860 EVO 500GB");
  EXPECT_EQ(logical[0].PHYSIndex, 0);
  EXPECT_EQ(logical[0].LayoutIndex, 0);
  ASSERT_EQ(logical[0].Extents.size(), 1u);
  EXPECT_EQ(logical[0].Extents[0].ExtentLength, 499000000000);
  EXPECT_EQ(logical[1].Drive, "D:");
  EXPECT_EQ(logical[1].DeviceType, kDeviceTypeCdRom);  // from the letter's drive type
  EXPECT_EQ(logical[1].PHYSIndex, -1);
}

TEST(WindowsStorage, EveryOpenRefusedGivesEmptyLists) {
  const json controls = {
      {"failedOpens",
       {{"\\\\.\\PhysicalDrive0", {{"error", 5}, {"message", "Access is denied."}}},
        {"\\\\.\\C:", {{"error", 5}, {"message", "Access is denied."}}}}}};
  WindowsSnapshot snapshot(controls, Letters({{"C:", 3}}));
  ASSERT_TRUE(snapshot.services());
  TVexa_Storage storage(snapshot.services());
  storage.RefreshData();
  EXPECT_EQ(storage.PhysicalCount(), 0);
  EXPECT_EQ(storage.LogicalCount(), 0);
  EXPECT_EQ(storage.ListSource().status, platform::Status::PermissionDenied);
  EXPECT_NE(storage.ListSource().detail.find("Access is denied."), std::string::npos);
  EXPECT_NE(storage.LastError(), 0u);
}

TEST(WindowsStorage, MergeAndDriveHeadRules) {
  TDeviceInfo into;
  into.Model = "  ";
  into.BusType = 34;
  into.SMARTSupport = true;
  into.Cylinders = 5;
  TDeviceInfo from;
  from.Model = "Disk";
  from.BusType = 11;
  from.Cylinders = 7;
  from.Heads = 16;
  from.HaId = 2;
  from.SMARTActive = true;
  MergeDeviceInfo(into, from);
  EXPECT_EQ(into.Model, "Disk");
  EXPECT_EQ(into.BusType, 11u);
  EXPECT_EQ(into.Cylinders, 5u);  // kept
  EXPECT_EQ(into.Heads, 16u);
  EXPECT_EQ(into.HaId, 2);
  EXPECT_TRUE(into.SMARTSupport);
  EXPECT_TRUE(into.SMARTActive);
  // The SMART interface's drive/head: drive number plus one in the high nibble, with A0h.
  EXPECT_EQ(IdentifyDriveHead(0), 0xB0);
  EXPECT_EQ(IdentifyDriveHead(1), 0xA0);
  EXPECT_EQ(IdentifyDriveHead(2), 0xB0);
  EXPECT_EQ(IdentifyDriveHead(4), 0xF0);
}

}  // namespace
}  // namespace tavrin::collectors
