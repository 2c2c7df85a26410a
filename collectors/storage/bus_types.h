// Storage bus types as plain data: the bus type numbers of the storage property query
// (STORAGE_BUS_TYPE of the Windows driver kit) and the Linux transports they match.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tavrin::collectors {

/// Names of bus types 1 to 11; index 0 is unused (it reads "Unknown").
inline constexpr std::array<std::string_view, 12> kBusTypeNames = {
    "",    "SCSI", "ATAPI", "ATA",         "IEEE 1394", "SSA", "Fibre channel",
    "USB", "RAID", "iSCSI", "Serial SCSI", "SATA"};

struct TransportBus {
  std::string_view transport;  ///< as the platform names it
  std::string_view name;       ///< as a page shows it
  uint32_t busType;            ///< 0 where the bus type list has no number for it
};

inline constexpr TransportBus kTransportBuses[] = {
    {"scsi", "SCSI", 1},     {"ata", "ATA", 3},    {"usb", "USB", 7},
    {"iscsi", "iSCSI", 9},   {"sas", "SAS", 10},   {"sata", "SATA", 11},
    {"mmc", "MMC/SD", 13},   {"nvme", "NVMe", 17}, {"fc", "Fibre channel", 6},
    {"virtio", "virtio", 0}, {"xen", "Xen", 0},    {"loop", "loop", 15},
    {"ram", "RAM", 0},
};

}  // namespace tavrin::collectors
