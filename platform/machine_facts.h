// Facts about the machine as a whole that the kernel keeps beside the firmware tables: the
// firmware identity it exports to every user, the time since start, the keyboard lock LEDs and
// the memory it manages. Each answer carries where it came from, or why there is none.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/provenance.h"

namespace tavrin::platform {

struct Services;

/// The firmware identity values the kernel exports (a copy of the SMBIOS BIOS, system, board
/// and chassis records), readable when the tables themselves are not.
enum class DmiField : uint8_t {
  BiosVendor,
  BiosVersion,
  BiosDate,
  BiosRelease,
  SystemVendor,
  ProductName,
  ProductVersion,
  ProductSerial,
  ProductUuid,
  ProductSku,
  ProductFamily,
  BoardVendor,
  BoardName,
  BoardVersion,
  BoardSerial,
  BoardAssetTag,
  ChassisVendor,
  ChassisType,
  ChassisVersion,
  ChassisSerial,
  ChassisAssetTag,
  kCount,
};

struct DmiIdRecord {
  /// Every field with its own provenance: serial numbers and the UUID are often root-only.
  std::array<Answer<std::string>, static_cast<std::size_t>(DmiField::kCount)> fields;

  const Answer<std::string>& operator[](DmiField f) const {
    return fields[static_cast<std::size_t>(f)];
  }
  Answer<std::string>& operator[](DmiField f) { return fields[static_cast<std::size_t>(f)]; }
  /// The value, or empty when it could not be read.
  std::string Text(DmiField f) const { return (*this)[f].value_or(std::string()); }
};

struct LockKeyStates {
  bool caps = false, num = false, scroll = false;
};

class MachineFactsService {
 public:
  virtual ~MachineFactsService() = default;

  /// Fails when no field at all could be read.
  virtual Answer<DmiIdRecord> DmiId() const = 0;
  /// Seconds since the system started.
  virtual Answer<double> UpTimeSeconds() const = 0;
  /// When the system started. Only the machine we run on may derive it from the up-time.
  virtual Answer<std::chrono::system_clock::time_point> BootTime() const = 0;
  /// The keyboard lock toggles as the keyboard LEDs show them.
  virtual Answer<LockKeyStates> LockKeys() const = 0;
  /// The memory the kernel manages (bytes): installed memory less what firmware and kernel keep.
  virtual Answer<uint64_t> KernelMemoryTotal() const = 0;
};

/// The machine facts of `services`: its own service, or for a bundle built without one (tests,
/// older snapshots) the facts read through its file reader.
std::shared_ptr<const MachineFactsService> MachineFactsOf(const Services& services);

}  // namespace tavrin::platform
