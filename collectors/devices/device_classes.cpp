#include "collectors/devices/device_classes.h"

#include <cctype>

namespace tavrin::collectors {
namespace {

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) !=
        std::toupper(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// System-defined device setup classes, their GUIDs and descriptions, as Microsoft's driver
// documentation lists them ("System-Defined Device Setup Classes Available to Vendors").
// Sorted by name only for reading; lookups scan the table.
constexpr SetupClass kSetupClasses[] = {
    {"1394", "{6BDD1FC1-810F-11D0-BEC7-08002BE2092F}", "IEEE 1394 host controllers"},
    {"Battery", "{72631E54-78A4-11D0-BCF7-00AA00B7B32A}", "Batteries"},
    {"Bluetooth", "{E0CBF06C-CD8B-4647-BB8A-263B43F0F974}", "Bluetooth"},
    {"CDROM", "{4D36E965-E325-11CE-BFC1-08002BE10318}", "DVD/CD-ROM drives"},
    {"Computer", "{4D36E966-E325-11CE-BFC1-08002BE10318}", "Computer"},
    {"DiskDrive", "{4D36E967-E325-11CE-BFC1-08002BE10318}", "Disk drives"},
    {"Display", "{4D36E968-E325-11CE-BFC1-08002BE10318}", "Display adapters"},
    {"fdc", "{4D36E969-E325-11CE-BFC1-08002BE10318}", "Floppy disk controllers"},
    {"FloppyDisk", "{4D36E980-E325-11CE-BFC1-08002BE10318}", "Floppy disk drives"},
    {"GPS", "{6BDD1FC3-810F-11D0-BEC7-08002BE2092F}", "Global positioning devices"},
    {"hdc", "{4D36E96A-E325-11CE-BFC1-08002BE10318}", "IDE ATA/ATAPI controllers"},
    {"HIDClass", "{745A17A0-74D3-11D0-B6FE-00A0C90F57DA}", "Human Interface Devices"},
    {"Image", "{6BDD1FC6-810F-11D0-BEC7-08002BE2092F}", "Imaging devices"},
    {"Infrared", "{6BDD1FC5-810F-11D0-BEC7-08002BE2092F}", "Infrared devices"},
    {"Keyboard", "{4D36E96B-E325-11CE-BFC1-08002BE10318}", "Keyboards"},
    {"MEDIA", "{4D36E96C-E325-11CE-BFC1-08002BE10318}", "Sound, video and game controllers"},
    {"MediumChanger", "{CE5939AE-EBDE-11D0-B181-0000F8753EC4}", "Medium changers"},
    {"Modem", "{4D36E96D-E325-11CE-BFC1-08002BE10318}", "Modems"},
    {"Monitor", "{4D36E96E-E325-11CE-BFC1-08002BE10318}", "Monitors"},
    {"Mouse", "{4D36E96F-E325-11CE-BFC1-08002BE10318}", "Mice and other pointing devices"},
    {"MTD", "{4D36E970-E325-11CE-BFC1-08002BE10318}", "Memory technology devices"},
    {"MultiFunction", "{4D36E971-E325-11CE-BFC1-08002BE10318}", "Multifunction adapters"},
    {"MultiportSerial", "{50906CB8-BA12-11D1-BF5D-0000F805F530}", "Multi-port serial adapters"},
    {"Net", "{4D36E972-E325-11CE-BFC1-08002BE10318}", "Network adapters"},
    {"PCMCIA", "{4D36E977-E325-11CE-BFC1-08002BE10318}", "PCMCIA adapters"},
    {"Ports", "{4D36E978-E325-11CE-BFC1-08002BE10318}", "Ports (COM & LPT)"},
    {"Printer", "{4D36E979-E325-11CE-BFC1-08002BE10318}", "Printers"},
    {"Processor", "{50127DC3-0F36-415E-A6CC-4CB3BE910B65}", "Processors"},
    {"SCSIAdapter", "{4D36E97B-E325-11CE-BFC1-08002BE10318}", "Storage controllers"},
    {"SmartCardReader", "{50DD5230-BA8A-11D1-BF5D-0000F805F530}", "Smart card readers"},
    {"System", "{4D36E97D-E325-11CE-BFC1-08002BE10318}", "System devices"},
    {"TapeDrive", "{6D807884-7D21-11CF-801C-08002BE10318}", "Tape drives"},
    {"Unknown", "{4D36E97E-E325-11CE-BFC1-08002BE10318}", "Other devices"},
    {"USB", "{36FC9E60-C465-11CF-8056-444553540000}", "Universal Serial Bus controllers"},
    {"Volume", "{71A27CDD-812A-11D0-BEC7-08002BE2092F}", "Storage volumes"},
};

}  // namespace

uint8_t DeviceClassCode(std::string_view className) {
  for (std::size_t code = 0; code < kDeviceClassNames.size(); ++code) {
    const std::string_view entry = kDeviceClassNames[code];
    if (className.size() >= entry.size() && EqualNoCase(className.substr(0, entry.size()), entry))
      return static_cast<uint8_t>(code);
  }
  return kUnknownDeviceClass;
}

const SetupClass* FindSetupClass(std::string_view name) {
  for (const auto& c : kSetupClasses)
    if (EqualNoCase(c.name, name)) return &c;
  return nullptr;
}

const SetupClass* FindSetupClassByGuid(std::string_view guid) {
  for (const auto& c : kSetupClasses)
    if (EqualNoCase(c.guid, guid)) return &c;
  return nullptr;
}

}  // namespace tavrin::collectors
