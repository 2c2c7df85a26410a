// Rules that turn a device's raw answers into the fields of its record: what the kernel's
// record gives, what IDENTIFY and S.M.A.R.T. add, and the capacity rule for drives that report
// only geometry.
#pragma once

#include <string>

#include "collectors/storage/storage_model.h"
#include "platform/storage.h"

namespace tavrin::collectors {

/// The record's fields from the kernel's description of the device.
TDeviceInfo DeviceFromKernelRecord(const platform::BlockDeviceRecord& record, int index);

/// Fills what IDENTIFY data adds; texts and numbers the record already has are kept.
void ApplyIdentify(TDeviceInfo& device, const AtaIdentity& id);
/// Fills what the NVMe controller data adds.
void ApplyNvmeController(TDeviceInfo& device, const NvmeController& c);

/// Capacity in bytes of a drive without a kernel size: the 28-bit sector count when it is at
/// least 16,515,072 (the largest a CHS geometry describes), else cylinders × heads × sectors.
int64_t SizeFromIdentify(const TDeviceInfo& device);

/// The storage bus type number of a transport name (SATA 11, USB 7, NVMe 17 ...).
uint32_t BusTypeOfTransport(const std::string& transport);
/// "SCSI", "ATA", ... for 1 to 11; "Unknown (0x11)" for 0 and above 11.
std::string BusTypeName(uint32_t busType);
/// The name a page shows for a transport: "SATA", "NVMe", "USB", "virtio" ...
std::string TransportName(const std::string& transport);

/// Whether ATA commands, NVMe commands or neither can reach the device.
enum class CommandSet { kNone, kAta, kNvme };
CommandSet CommandSetOf(const TDeviceInfo& device);

}  // namespace tavrin::collectors
