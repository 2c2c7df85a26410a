#include "collectors/devices/linux_device_class.h"

#include <charconv>
#include <vector>

namespace tavrin::collectors {
namespace {

// PCI base class and subclass to setup class, from the class codes of the PCI Code and ID
// Assignment Specification (PCI-SIG, revision 1.x). Subclass -1 matches any subclass; the
// first matching row wins.
struct PciClassRow {
  int base, sub;
  std::string_view setupClass;
};
constexpr PciClassRow kPciClasses[] = {
    {0x00, 0x01, "Display"},          // VGA-compatible device of before class codes
    {0x01, 0x01, "hdc"},              // IDE controller
    {0x01, 0x02, "fdc"},              // floppy disk controller
    {0x01, 0x05, "hdc"},              // ATA controller
    {0x01, 0x06, "hdc"},              // serial ATA controller
    {0x01, -1, "SCSIAdapter"},        // SCSI, RAID, SAS, NVM Express and other storage
    {0x02, -1, "Net"},                // network controllers
    {0x03, -1, "Display"},            // display controllers
    {0x04, -1, "MEDIA"},              // multimedia: video, audio, telephony, HD audio
    {0x05, -1, "System"},             // memory controllers
    {0x06, -1, "System"},             // bridges
    {0x07, 0x00, "Ports"},            // serial controller
    {0x07, 0x01, "Ports"},            // parallel port
    {0x07, 0x02, "MultiportSerial"},  // multiport serial controller
    {0x07, 0x03, "Modem"},
    {0x07, -1, "System"},
    {0x08, -1, "System"},  // base system peripherals: PIC, DMA, timer, RTC, IOMMU
    {0x09, 0x00, "Keyboard"},
    {0x09, 0x02, "Mouse"},
    {0x09, -1, "HIDClass"},  // digitizer, scanner, gameport, other input
    {0x0A, -1, "System"},    // docking stations
    {0x0B, -1, "Processor"},
    {0x0C, 0x00, "1394"},      // FireWire
    {0x0C, 0x03, "USB"},       // USB controllers
    {0x0C, -1, "System"},      // SMBus, IPMI, Fibre Channel, other serial buses
    {0x0D, 0x00, "Infrared"},  // IrDA
    {0x0D, 0x11, "Bluetooth"},
    {0x0D, -1, "Net"},     // other wireless controllers
    {0x0E, -1, "System"},  // intelligent I/O
    {0x0F, -1, "System"},  // satellite communication
    {0x10, -1, "System"},  // encryption
    {0x11, -1, "System"},  // signal processing
    {0x12, -1, "System"},  // processing accelerators
    {0x13, -1, "System"},  // non-essential instrumentation
    {0x40, -1, "System"},  // co-processors
};

// USB class codes to setup class, from the USB-IF "Defined Class Codes" list. Protocol -1
// and subclass -1 match any.
struct UsbClassRow {
  int cls, sub, protocol;
  std::string_view setupClass;
};
constexpr UsbClassRow kUsbClasses[] = {
    {0x01, -1, -1, "MEDIA"},    // audio
    {0x02, 0x02, -1, "Ports"},  // communications: abstract control model (serial)
    {0x02, 0x06, -1, "Net"},    // Ethernet networking control model
    {0x02, 0x0D, -1, "Net"},    // network control model
    {0x02, -1, -1, "Modem"},
    {0x03, -1, -1, "HIDClass"},  // human interface devices
    {0x05, -1, -1, "HIDClass"},  // physical interface devices
    {0x06, -1, -1, "Image"},     // still imaging
    {0x07, -1, -1, "Printer"},
    {0x08, -1, -1, "USB"},    // mass storage (the disk appears of its own)
    {0x09, -1, -1, "USB"},    // hubs
    {0x0A, -1, -1, "Ports"},  // CDC data
    {0x0B, -1, -1, "SmartCardReader"},
    {0x0E, -1, -1, "Image"},          // video
    {0x10, -1, -1, "MEDIA"},          // audio/video devices
    {0x11, -1, -1, "USB"},            // billboard
    {0x12, -1, -1, "USB"},            // type-C bridge
    {0xDC, -1, -1, "USB"},            // diagnostic
    {0xE0, 0x01, 0x01, "Bluetooth"},  // wireless controller: Bluetooth programming interface
    {0xE0, -1, -1, "Net"},
    {0xEF, -1, -1, "USB"},  // miscellaneous
    {0xFE, -1, -1, "USB"},  // application specific (firmware update, IrDA bridge)
    {0xFF, -1, -1, "USB"},  // vendor specific
};

// Generic PnP ids of the PC platform and the ACPI ids Linux binds to, with the setup class a
// device manager files them under: Microsoft's "Plug and Play ID" list of generic devices and
// the ACPI specification's device ids (chapter 5.6.7 and table "ACPI Device IDs").
constexpr PnpEntry kPnpIds[] = {
    {"ACPI0003", "Battery", "AC adapter"},
    {"ACPI0007", "Processor", "Processor"},
    {"ACPI000E", "System", "Time and alarm device"},
    {"ACPI0010", "System", "Processor container"},
    {"ACPI0013", "System", "Generic event device"},
    {"LNXPWRBN", "System", "Power button"},
    {"LNXSLPBN", "System", "Sleep button"},
    {"LNXVIDEO", "System", "ACPI video bus"},
    {"LNXTHERM", "System", "Thermal zone"},
    {"PNP0000", "System", "AT interrupt controller"},
    {"PNP0001", "System", "EISA interrupt controller"},
    {"PNP0003", "System", "IO-APIC interrupt controller"},
    {"PNP0100", "System", "System timer"},
    {"PNP0103", "System", "High precision event timer"},
    {"PNP0200", "System", "Direct memory access controller"},
    {"PNP0303", "System", "PS/2 keyboard port"},
    {"PNP030B", "System", "PS/2 keyboard port"},
    {"PNP0400", "Ports", "Printer port"},
    {"PNP0401", "Ports", "ECP printer port"},
    {"PNP0500", "Ports", "Communications port"},
    {"PNP0501", "Ports", "16550A-compatible communications port"},
    {"PNP0700", "fdc", "Floppy disk controller"},
    {"PNP0800", "System", "System speaker"},
    {"PNP0A03", "System", "PCI bus"},
    {"PNP0A05", "System", "Generic container"},
    {"PNP0A06", "System", "Generic container"},
    {"PNP0A08", "System", "PCI Express root complex"},
    {"PNP0B00", "System", "Real-time clock"},
    {"PNP0C01", "System", "System board"},
    {"PNP0C02", "System", "Motherboard resources"},
    {"PNP0C04", "System", "Numeric data processor"},
    {"PNP0C09", "System", "Embedded controller"},
    {"PNP0C0A", "Battery", "Control method battery"},
    {"PNP0C0C", "System", "Power button"},
    {"PNP0C0D", "System", "Lid"},
    {"PNP0C0E", "System", "Sleep button"},
    {"PNP0C0F", "System", "PCI interrupt link"},
    {"PNP0C14", "System", "Windows management instrumentation"},
    {"PNP0C80", "System", "Memory device"},
    {"PNP0F03", "System", "PS/2 mouse port"},
    {"PNP0F13", "System", "PS/2 mouse port"},
    {"QEMU0002", "System", "Firmware configuration device"},
    {"VMGENCTR", "System", "Virtual machine generation counter"},
};

// Device types of the OASIS "Virtual I/O Device (VIRTIO)" specification, 1.x, section 5.
struct VirtioRow {
  uint32_t type;
  std::string_view name;
};
constexpr VirtioRow kVirtioTypes[] = {
    {1, "Virtio network device"}, {2, "Virtio block device"},   {3, "Virtio console"},
    {4, "Virtio entropy source"}, {5, "Virtio memory balloon"}, {8, "Virtio SCSI host"},
    {9, "Virtio 9P transport"},   {16, "Virtio GPU device"},    {18, "Virtio input device"},
    {19, "Virtio socket device"}, {20, "Virtio crypto device"}, {26, "Virtio file system device"},
    {27, "Virtio PMEM device"},   {29, "Virtio memory device"}, {25, "Virtio audio device"},
    {24, "Virtio IOMMU device"},
};

// Input event codes of the Linux input subsystem (linux/input-event-codes.h): event types and
// the key, button and axis codes that tell a keyboard from a pointing device.
constexpr unsigned kEvKey = 0x01, kEvRel = 0x02, kEvAbs = 0x03;
constexpr unsigned kKeyA = 30, kKeyZ = 44, kKeySpace = 57;
constexpr unsigned kBtnLeft = 0x110, kBtnTouch = 0x14A, kBtnStylus = 0x14B;
constexpr unsigned kRelX = 0x00, kRelY = 0x01, kAbsX = 0x00, kAbsY = 0x01;

}  // namespace

bool BitmapHas(std::string_view bitmap, unsigned bit, unsigned wordBits) {
  std::vector<std::string_view> words;
  while (!bitmap.empty()) {
    while (!bitmap.empty() && bitmap.front() == ' ') bitmap.remove_prefix(1);
    const auto blank = bitmap.find(' ');
    if (!bitmap.empty()) words.push_back(bitmap.substr(0, blank));
    bitmap = blank == std::string_view::npos ? std::string_view() : bitmap.substr(blank);
  }
  const std::size_t index = bit / wordBits;  // counted from the last word
  if (index >= words.size()) return false;
  const std::string_view word = words[words.size() - 1 - index];
  uint64_t value = 0;
  auto [ptr, ec] = std::from_chars(word.data(), word.data() + word.size(), value, 16);
  if (ec != std::errc() || ptr != word.data() + word.size()) return false;
  return (value >> (bit % wordBits)) & 1;
}

std::string_view SetupClassOfPci(uint32_t classCode24) {
  const int base = static_cast<int>((classCode24 >> 16) & 0xFF);
  const int sub = static_cast<int>((classCode24 >> 8) & 0xFF);
  for (const auto& row : kPciClasses)
    if (row.base == base && (row.sub == -1 || row.sub == sub)) return row.setupClass;
  return "Unknown";
}

std::string_view SetupClassOfUsb(int cls, int subclass, int protocol) {
  for (const auto& row : kUsbClasses)
    if (row.cls == cls && (row.sub == -1 || row.sub == subclass) &&
        (row.protocol == -1 || row.protocol == protocol))
      return row.setupClass;
  return "USB";  // class 0: defined by the interfaces of a composite device
}

std::string_view SetupClassOfInput(std::string_view ev, std::string_view key, std::string_view rel,
                                   std::string_view abs) {
  const bool keys = BitmapHas(ev, kEvKey);
  if (keys && BitmapHas(key, kKeyA) && BitmapHas(key, kKeyZ) && BitmapHas(key, kKeySpace))
    return "Keyboard";
  const bool relative = BitmapHas(ev, kEvRel) && BitmapHas(rel, kRelX) && BitmapHas(rel, kRelY);
  const bool absolute = BitmapHas(ev, kEvAbs) && BitmapHas(abs, kAbsX) && BitmapHas(abs, kAbsY);
  const bool button =
      keys && (BitmapHas(key, kBtnLeft) || BitmapHas(key, kBtnTouch) || BitmapHas(key, kBtnStylus));
  if ((relative || absolute) && button) return "Mouse";
  return "HIDClass";
}

const PnpEntry* FindPnpId(std::string_view id) {
  for (const auto& e : kPnpIds)
    if (e.id == id) return &e;
  return nullptr;
}

std::string_view VirtioDeviceName(uint32_t type) {
  for (const auto& row : kVirtioTypes)
    if (row.type == type) return row.name;
  return {};
}

std::string_view SetupClassOf(const platform::DeviceModelFacts& f) {
  const std::string_view s = f.subsystem;
  if (s == "computer") return "Computer";
  if (s == "cpu") return "Processor";
  if (s == "pci") return SetupClassOfPci(f.classCode);
  if (s == "usb") return SetupClassOfUsb(f.usbClass, f.usbSubClass, f.usbProtocol);
  if (s == "input") return SetupClassOfInput(f.inputEv, f.inputKey, f.inputRel, f.inputAbs);
  if (s == "block") {
    if (f.devType == "partition") return "Volume";
    return f.scsiType == 5 ? "CDROM" : f.scsiType == 1 ? "TapeDrive" : "DiskDrive";
  }
  if (s == "virtio") {
    // On a PCI transport the PCI device is the adapter; the virtio device is its function.
    if (f.parentSubsystem == "pci") return "System";
    switch (f.deviceId) {
      case 1:
        return "Net";
      case 2:
        return "SCSIAdapter";
      case 3:
        return "Ports";
      case 8:
        return "SCSIAdapter";
      case 16:
        return "Display";
      case 18:
        return "HIDClass";
      case 25:
        return "MEDIA";
      default:
        return "System";
    }
  }
  if (s == "pnp" || s == "acpi" || s == "platform") {
    for (const auto& id : f.pnpIds)
      if (const PnpEntry* e = FindPnpId(id)) return e->setupClass;
  }
  return "System";
}

}  // namespace tavrin::collectors
