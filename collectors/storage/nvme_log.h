// Decoding of the NVMe Identify Controller data structure (4096 bytes) and the SMART / Health
// Information log page (log identifier 02h, 512 bytes), NVM Express Base Specification 2.0,
// 5.17.2.1 and 5.16.1.3.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace tavrin::collectors {

struct NvmeController {
  std::string serial;               ///< bytes 4-23, ASCII, blank padded
  std::string model;                ///< bytes 24-63
  std::string firmware;             ///< bytes 64-71
  uint32_t version = 0;             ///< bytes 80-83: major << 16 | minor << 8 | tertiary
  uint16_t warningTempKelvin = 0;   ///< bytes 266-267 (WCTEMP), 0 when not reported
  uint16_t criticalTempKelvin = 0;  ///< bytes 268-269 (CCTEMP)
  uint64_t totalCapacity = 0;       ///< bytes 280-295 (TNVMCAP), bytes; saturated
  uint32_t namespaces = 0;          ///< bytes 516-519 (NN)
};

struct NvmeHealth {
  uint8_t criticalWarning =
      0;                       ///< byte 0, bits: spare, temperature, reliability, read-only, backup
  int temperatureCelsius = 0;  ///< bytes 1-2, composite temperature in kelvin, converted
  uint8_t availableSpare = 0;  ///< byte 3, percent
  uint8_t availableSpareThreshold = 0;  ///< byte 4, percent
  uint8_t percentageUsed = 0;           ///< byte 5, may exceed 100
  /// The 128-bit counters below saturate at the largest 64-bit value.
  uint64_t dataUnitsRead = 0;      ///< bytes 32-47, in 1000 units of 512 bytes
  uint64_t dataUnitsWritten = 0;   ///< bytes 48-63
  uint64_t hostReadCommands = 0;   ///< bytes 64-79
  uint64_t hostWriteCommands = 0;  ///< bytes 80-95
  uint64_t powerCycles = 0;        ///< bytes 112-127
  uint64_t powerOnHours = 0;       ///< bytes 128-143
  uint64_t unsafeShutdowns = 0;    ///< bytes 144-159
  uint64_t mediaErrors = 0;        ///< bytes 160-175
  uint64_t errorLogEntries = 0;    ///< bytes 176-191

  /// Bytes a data-unit count stands for (1000 × 512), saturated.
  static uint64_t UnitsToBytes(uint64_t units);
};

/// Nullopt when shorter than 4096 bytes or when the model text is empty or unprintable.
std::optional<NvmeController> DecodeNvmeIdentifyController(std::span<const uint8_t> data);
/// Nullopt when shorter than 512 bytes or all bytes are 0xFF (no answer from the device).
std::optional<NvmeHealth> DecodeNvmeHealthLog(std::span<const uint8_t> data);

}  // namespace tavrin::collectors
