// The values the firmware collector decodes from the SMBIOS structures: single properties of
// the BIOS, system, board, chassis and memory controller, and one record list per structure
// type. Raw units throughout (KB, MB, MHz, ns); the pages format them.
#pragma once

#include <cstdint>
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
};

struct TSMBIOS_Port {
  std::string InternalDesignator, ExternalDesignator;
  uint8_t InternalConnector = 0, ExternalConnector = 0, Typ = 0;
};

struct TSMBIOS_SystemSlot {
  std::string Designation;
  uint8_t Typ = 0, DataBus = 0, Usage = 0, Length = 0;
  uint16_t ID = 0;
};

struct TSMBIOS_OnBoardDevice {
  std::string DeviceName;
  int Typ = 0;
  bool Status = false;  ///< enabled
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
  std::string MainBoardManufacturer, MainBoardModel, MainBoardVersion, MainBoardSerial,
      MainBoardAssetTag, MainBoardLocationInChassis;

  TSMBIOS_Chassis ChassisModel = TSMBIOS_Chassis::smchUnknown;
  std::string ChassisManufacturer, ChassisVersion, ChassisSerial, ChassisAssetTag;

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
