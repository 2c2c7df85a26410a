#include "collectors/storage/nvme_log.h"

#include <algorithm>
#include <limits>
#include <string_view>

namespace tavrin::collectors {
namespace {

uint64_t Le(std::span<const uint8_t> d, std::size_t at, std::size_t bytes) {
  uint64_t v = 0;
  for (std::size_t i = bytes; i-- > 0;) v = (v << 8) | d[at + i];
  return v;
}

// A 128-bit little-endian counter, held as 64 bits: a device that counted past them reports
// the largest value rather than a wrapped one.
uint64_t Counter128(std::span<const uint8_t> d, std::size_t at) {
  for (std::size_t i = 8; i < 16; ++i)
    if (d[at + i] != 0) return std::numeric_limits<uint64_t>::max();
  return Le(d, at, 8);
}

std::optional<std::string> AsciiField(std::span<const uint8_t> d, std::size_t at, std::size_t len) {
  std::string s(reinterpret_cast<const char*>(d.data() + at), len);
  const auto last = s.find_last_not_of(std::string_view(" \0", 2));
  s.resize(last == std::string::npos ? 0 : last + 1);
  const auto first = s.find_first_not_of(' ');
  s.erase(0, first == std::string::npos ? s.size() : first);
  for (unsigned char c : s)
    if (c < 0x20 || c >= 0x7F) return std::nullopt;
  return s;
}

}  // namespace

uint64_t NvmeHealth::UnitsToBytes(uint64_t units) {
  constexpr uint64_t kUnit = 512000;
  if (units > std::numeric_limits<uint64_t>::max() / kUnit)
    return std::numeric_limits<uint64_t>::max();
  return units * kUnit;
}

std::optional<NvmeController> DecodeNvmeIdentifyController(std::span<const uint8_t> d) {
  if (d.size() < 4096) return std::nullopt;
  auto model = AsciiField(d, 24, 40);
  if (!model || model->empty()) return std::nullopt;
  NvmeController c;
  c.model = *model;
  c.serial = AsciiField(d, 4, 20).value_or("");
  c.firmware = AsciiField(d, 64, 8).value_or("");
  c.version = static_cast<uint32_t>(Le(d, 80, 4));
  c.warningTempKelvin = static_cast<uint16_t>(Le(d, 266, 2));
  c.criticalTempKelvin = static_cast<uint16_t>(Le(d, 268, 2));
  c.totalCapacity = Counter128(d, 280);
  c.namespaces = static_cast<uint32_t>(Le(d, 516, 4));
  return c;
}

std::optional<NvmeHealth> DecodeNvmeHealthLog(std::span<const uint8_t> d) {
  if (d.size() < 512) return std::nullopt;
  if (std::all_of(d.begin(), d.begin() + 512, [](uint8_t b) { return b == 0xFF; }))
    return std::nullopt;
  NvmeHealth h;
  h.criticalWarning = d[0];
  h.temperatureCelsius = static_cast<int>(Le(d, 1, 2)) - 273;
  h.availableSpare = d[3];
  h.availableSpareThreshold = d[4];
  h.percentageUsed = d[5];
  h.dataUnitsRead = Counter128(d, 32);
  h.dataUnitsWritten = Counter128(d, 48);
  h.hostReadCommands = Counter128(d, 64);
  h.hostWriteCommands = Counter128(d, 80);
  h.powerCycles = Counter128(d, 112);
  h.powerOnHours = Counter128(d, 128);
  h.unsafeShutdowns = Counter128(d, 144);
  h.mediaErrors = Counter128(d, 160);
  h.errorLogEntries = Counter128(d, 176);
  return h;
}

}  // namespace tavrin::collectors
