#include "collectors/storage/optical.h"

#include <charconv>

namespace tavrin::collectors {
namespace {

using Properties = std::map<std::string, std::string>;

std::optional<bool> KernelFlag(const Properties& kernel, const char* label) {
  auto it = kernel.find(label);
  if (it == kernel.end()) return std::nullopt;
  if (it->second == "1") return true;
  if (it->second == "0") return false;
  return std::nullopt;
}

// The udev helper that probes optical drives sets only the properties of features the drive
// has; once it has run (ID_CDROM is set) an absent property means "cannot".
std::optional<bool> UdevFlag(const Properties& udev, const char* key) {
  if (auto it = udev.find(key); it != udev.end()) return it->second == "1";
  if (udev.count("ID_CDROM")) return false;
  return std::nullopt;
}

std::optional<bool> Either(std::optional<bool> first, std::optional<bool> second) {
  return first ? first : second;
}

}  // namespace

OpticalCapabilities DecodeOpticalCapabilities(const Properties& kernel, const Properties& udev) {
  OpticalCapabilities c;
  // Every drive the CD-ROM driver lists reads CDs; the list has no row for it.
  c.readsCd = Either(kernel.empty() ? std::nullopt : std::optional<bool>(true),
                     UdevFlag(udev, "ID_CDROM_CD"));
  c.writesCdR = Either(KernelFlag(kernel, "Can write CD-R"), UdevFlag(udev, "ID_CDROM_CD_R"));
  c.writesCdRw = Either(KernelFlag(kernel, "Can write CD-RW"), UdevFlag(udev, "ID_CDROM_CD_RW"));
  c.readsDvd = Either(KernelFlag(kernel, "Can read DVD"), UdevFlag(udev, "ID_CDROM_DVD"));
  c.writesDvdR = Either(KernelFlag(kernel, "Can write DVD-R"), UdevFlag(udev, "ID_CDROM_DVD_R"));
  c.writesDvdRam =
      Either(KernelFlag(kernel, "Can write DVD-RAM"), UdevFlag(udev, "ID_CDROM_DVD_RAM"));
  c.readsBd = UdevFlag(udev, "ID_CDROM_BD");
  c.writesBdR = UdevFlag(udev, "ID_CDROM_BD_R");
  c.writesBdRe = UdevFlag(udev, "ID_CDROM_BD_RE");
  if (auto it = kernel.find("drive speed"); it != kernel.end()) {
    const std::string& t = it->second;
    uint32_t v = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (ec == std::errc() && end == t.data() + t.size()) c.speed = v;
  }
  return c;
}

}  // namespace tavrin::collectors
