// What an optical drive can read and write, from the kernel's CD-ROM driver list and the udev
// database. The kernel's list comes from the drive's capabilities page, which predates Blu-ray;
// the udev properties come from the drive's feature list and name BD as well.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace tavrin::collectors {

/// Each flag is nullopt when neither source tells.
struct OpticalCapabilities {
  std::optional<bool> readsCd, writesCdR, writesCdRw;
  std::optional<bool> readsDvd, writesDvdR, writesDvdRam;
  std::optional<bool> readsBd, writesBdR, writesBdRe;
  /// What the drive's capabilities page adds on a Windows machine; neither Linux source
  /// tells them.
  std::optional<bool> readsCdR, readsCdRw, readsDvdR, readsDvdRam;
  uint32_t speed = 0;  ///< the drive's highest speed as a multiple of 150 kB/s; 0 when unknown

  bool known() const { return readsCd || readsDvd || readsBd; }
};

/// `kernel`: the drive's column of the CD-ROM driver list ("Can write CD-R" -> "1");
/// `udev`: the drive's udev properties (ID_CDROM_CD_R=1 ...). The kernel's answer wins where
/// both tell; the udev ones fill in what the kernel does not know.
OpticalCapabilities DecodeOpticalCapabilities(const std::map<std::string, std::string>& kernel,
                                              const std::map<std::string, std::string>& udev);

}  // namespace tavrin::collectors
