// The values the firmware collector decodes from the SMBIOS structures: single properties of
// the BIOS, system, board, chassis and memory controller, and one record list per structure
// type. Raw units throughout (KB, MB, MHz, ns); the pages format them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavrin::collectors {

/// Chassis types in SMBIOS code order minus one; values past smchMultiSystem are the later
/// types of the chassis name table.
enum class TSMBIOS_Chassis : uint8_t {
  smchOther,
  smchUnknown,
  smchDesktop,
  smchLowProfileDesktop,
  smchPizzaBox,
  smchMiniTower,
  smchTower,
  smchPortable,
  smchLapTop,
  smchNotebook,
  smchHandHeld,
  smchDockingStation,
  smchAllInOne,
  smchSubNotebook,
  smchSpaceSaving,
  smchLunchBox,
  smchMainServer,
  smchExpansion,
  smchSubChassis,
  smchBusExpansion,
  smchPeripheral,
  smchRAID,
  smchRackMount,
  smchSealedCasePC,
  smchMultiSystem,
};

enum class TSMBIOS_InterleaveSupport : uint8_t {
  smisOther,
  smisUnknown,
  smisOnewWay,
  smisTwoWay,
  smisFourWay,
  smisEightWay,
  smisSixteenWay,
};

// Sets: bit i is element i of the name table of the same name (smbios_names.h).
using TSMBIOS_MemorySpeeds = uint8_t;  ///< smmsOther .. smms50ns
using TSMBIOS_MemoryTypes = uint16_t;  ///< smmtOther .. smmtSDRAM
using TSMBIOS_Voltages = uint8_t;      ///< smv5V, smv33V, smv29V

struct TSMBIOS_Processor {
  std::string Socket, Manufacturer, Version, SerialNumber, AssetTag, PartNumber;
  uint16_t Frequency = 0;      ///< current speed, MHz
  uint16_t ExternalClock = 0;  ///< MHz
  int Upgrade = 0;             ///< index into the upgrade names
  double Voltage = 0;          ///< volts
  // SMBIOS 2.5 and later.
  uint16_t MaxSpeed = 0;   ///< MHz
  uint16_t Family = 0;     ///< processor family code (family 2 when the byte says 0xFE)
  uint16_t CoreCount = 0;  ///< cores per socket (core count 2 above 255)
  uint16_t CoreEnabled = 0;
  uint16_t ThreadCount = 0;
  uint8_t TypeCode = 0;     ///< processor type (central, math, DSP, video)
  uint8_t UpgradeCode = 0;  ///< socket type code as stored
  uint8_t Status = 0;       ///< bit 6: socket populated; bits 2..0: processor status
  bool Populated() const { return (Status & 0x40) != 0; }
};

struct TSMBIOS_MemoryModule {
  std::string Socket;
  uint8_t Speed = 0;  ///< ns
  uint32_t Size = 0;  ///< MB
  TSMBIOS_MemoryTypes Types = 0;
};

struct TSMBIOS_Cache {
  std::string Designation;
  uint32_t MaxSize = 0, InstalledSize = 0;  ///< KB, from the 16-bit fields
  int SRAMType = 0, Typ = 1, Associativity = 1;
  uint16_t Speed = 0;  ///< ns
  // SMBIOS 3.1 sizes above 2 GB; equal to the 16-bit ones otherwise.
  uint64_t MaxSizeKB = 0, InstalledSizeKB = 0;
  uint8_t Level = 0;  ///< 1 for L1 ...; 0 when the configuration word is missing
  bool Enabled = false;
  uint8_t AssociativityCode = 0, TypeCode = 0, ErrorCorrectionCode = 0;  ///< codes as stored
};

struct TSMBIOS_Port {
  std::string InternalDesignator, ExternalDesignator;
  uint8_t InternalConnector = 0, ExternalConnector = 0, Typ = 0;
};

/// A PCI segment, bus, device and function, as slots and on-board devices name them.
struct TSMBIOS_PciAddress {
  uint16_t Segment = 0;
  uint8_t Bus = 0, DeviceFunction = 0;  ///< device in bits 7..3, function in bits 2..0
};

struct TSMBIOS_PeerDevice {
  TSMBIOS_PciAddress Address;
  uint8_t DataBusWidth = 0;  ///< electrical lanes
};

struct TSMBIOS_SystemSlot {
  std::string Designation;
  uint8_t Typ = 0, DataBus = 0, Usage = 0, Length = 0;
  uint16_t ID = 0;
  // SMBIOS 2.6: the slot's PCI address (segment FFFFh and bus FFh when it has none).
  std::optional<TSMBIOS_PciAddress> Address;
  uint8_t DataBusWidth = 0;  ///< SMBIOS 3.2 lane count code of the slot's electrical width
  std::vector<TSMBIOS_PeerDevice> Peers;  ///< SMBIOS 3.2 peer (bifurcated) devices
};

struct TSMBIOS_OnBoardDevice {
  std::string DeviceName;
  int Typ = 0;
  bool Status = false;   ///< enabled
  uint8_t TypeCode = 0;  ///< device type code as stored (bits 6..0)
};

/// An on-board device of the extended record (type 41), with its PCI address.
struct TSMBIOS_OnBoardDeviceEx {
  std::string ReferenceDesignation;
  uint8_t TypeCode = 0;
  bool Enabled = false;
  uint8_t Instance = 0;
  std::optional<TSMBIOS_PciAddress> Address;
};

/// The physical memory array (type 16): the slots on the board and what they may hold.
struct TSMBIOS_MemoryArray {
  uint8_t Location = 0, Use = 0, ErrorCorrection = 0;  ///< codes as stored
  std::optional<uint64_t> MaxCapacityKB;               ///< nullopt when the firmware does not say
  uint16_t DeviceCount = 0;                            ///< memory device sockets
};

/// The IPMI device (type 38): the baseboard management controller's interface.
struct TSMBIOS_Ipmi {
  uint8_t InterfaceType = 0;  ///< 0 unknown, 1 KCS, 2 SMIC, 3 BT, 4 SSIF
  uint8_t SpecMajor = 0, SpecMinor = 0;
  uint8_t I2CAddress = 0;  ///< slave address, 8-bit form
  uint64_t BaseAddress = 0;
  bool IoSpace = false;  ///< base address in I/O space (else memory-mapped)
  uint8_t Interrupt = 0;
};

struct TSMBIOS_MemoryDevice {
  std::string DeviceLocator, BankLocator, Manufacturer, SerialNumber, AssetTag, PartNumber;
  uint16_t TotalWidth = 0, DataWidth = 0;  ///< bits
  uint16_t Size = 0;                       ///< the size field as stored
  int FormFactor = 0, Device = 0;          ///< indices into their name tables
  uint16_t TypeDetails = 0;                ///< detail bits 0..12
  uint16_t Speed = 0;                      ///< ns
  // Decoded with the later fields: the real size (KB granularity, extended size above 32 GB)
  // and the speed in MT/s (extended speed above 65 534 MT/s).
  uint64_t SizeKB = 0;
  bool SizeUnknown = false;
  uint32_t SpeedMTs = 0;
  uint32_t ConfiguredSpeedMTs = 0;
  uint16_t TypeDetailBits = 0;  ///< all 16 detail bits
  uint8_t Rank = 0;
  uint16_t MinVoltage = 0, MaxVoltage = 0, ConfiguredVoltage = 0;  ///< mV, 0 unknown (2.8)
  /// A socket without a module: size 0. Unknown sizes (FFFFh) count as installed.
  bool Installed() const { return SizeUnknown || SizeKB > 0; }
};

struct TSMBIOS_TemperatureProbe {
  std::string Description;
  int Location = 0, Status = 0;
  uint16_t Max = 0, Min = 0, Resolution = 0, Tolerance = 0, Accuracy = 0, Value = 0;
};

/// Everything decoded from one table.
struct SmbiosValues {
  std::string BIOSVendor, BIOSVersion, BIOSDate;
  uint32_t BIOSSize = 0;       ///< KB, from the 64 KB-block byte
  uint64_t BIOSRomSizeKB = 0;  ///< with the SMBIOS 3.1 extended size above 16 MB
  uint8_t BIOSMajorRelease = 0, BIOSMinorRelease = 0;  ///< 0xFF when not given
  uint8_t FirmwareMajorRelease = 0, FirmwareMinorRelease = 0;

  std::string SystemManufacturer, SystemModel, SystemVersion, SystemSerial, SystemUUID;
  /// The product name as stored; SystemModel is the machine's name as a user knows it (the
  /// product, or family and version where the product is a part number).
  std::string SystemProductName;
  std::string SystemSKU, SystemFamily;  ///< SMBIOS 2.4
  uint8_t SystemWakeUpType = 0;         ///< code as stored
  /// The UUID as the kernel's product_uuid shows it: dashed, the first three fields
  /// little-endian from SMBIOS 2.6 on; empty when the firmware says "not present/settable".
  std::string SystemUUIDText;
  std::string MainBoardManufacturer, MainBoardModel, MainBoardVersion, MainBoardSerial,
      MainBoardAssetTag, MainBoardLocationInChassis;

  TSMBIOS_Chassis ChassisModel = TSMBIOS_Chassis::smchUnknown;
  std::string ChassisManufacturer, ChassisVersion, ChassisSerial, ChassisAssetTag;
  uint8_t ChassisTypeCode = 0;  ///< type code without the lock bit; 0 without a record
  bool ChassisLock = false;     ///< bit 7 of the type byte: a chassis lock is present
  uint8_t ChassisBootUpState = 0, ChassisPowerSupplyState = 0, ChassisThermalState = 0,
          ChassisSecurityStatus = 0;  ///< codes as stored (SMBIOS 2.1)
  uint8_t ChassisHeightU = 0;         ///< rack units, 0 unspecified (2.3)
  uint8_t ChassisPowerCords = 0;      ///< 0 unspecified (2.3)
  std::string ChassisSKU;             ///< SMBIOS 2.7

  TSMBIOS_InterleaveSupport MemCtrlCurrentInterleave = TSMBIOS_InterleaveSupport::smisUnknown;
  TSMBIOS_InterleaveSupport MemCtrlSupportedInterleave = TSMBIOS_InterleaveSupport::smisUnknown;
  TSMBIOS_MemorySpeeds MemCtrlSupportedSpeeds = 0;
  TSMBIOS_MemoryTypes MemCtrlSupportedTypes = 0;
  TSMBIOS_Voltages MemCtrlSupportedVoltages = 0;
  uint16_t MemCtrlMaxSize = 0;  ///< MB
  uint8_t MemCtrlSlotCount = 0;

  std::vector<TSMBIOS_Processor> Processors;
  std::vector<TSMBIOS_MemoryModule> MemoryModules;
  std::vector<TSMBIOS_Cache> Caches;
  std::vector<TSMBIOS_Port> Ports;
  std::vector<TSMBIOS_SystemSlot> SystemSlots;
  std::vector<TSMBIOS_OnBoardDevice> OnBoardDevices;
  std::vector<TSMBIOS_MemoryDevice> MemoryDevices;
  std::vector<TSMBIOS_TemperatureProbe> TemperatureProbes;
  std::vector<TSMBIOS_MemoryArray> MemoryArrays;
  std::vector<TSMBIOS_OnBoardDeviceEx> OnBoardDevicesEx;
  std::vector<std::string> OEMStrings;
  std::optional<TSMBIOS_Ipmi> Ipmi;

  std::size_t ProcessorCount() const { return Processors.size(); }
  std::size_t MemoryModuleCount() const { return MemoryModules.size(); }
  std::size_t MemoryDeviceCount() const { return MemoryDevices.size(); }
  std::size_t PortCount() const { return Ports.size(); }
  std::size_t SystemSlotCount() const { return SystemSlots.size(); }
  std::size_t CacheCount() const { return Caches.size(); }
  std::size_t OnBoardDeviceCount() const { return OnBoardDevices.size(); }
  std::size_t TemperatureProbeCount() const { return TemperatureProbes.size(); }
};

}  // namespace tavrin::collectors
