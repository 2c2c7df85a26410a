#include "platform/linux/linux_firmware.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>

#include "platform/service_hooks.h"

namespace tavrin::platform {
namespace {

constexpr std::string_view kSysfsDir = "/sys/firmware/dmi/tables";
constexpr std::string_view kSysfsEntry = "/sys/firmware/dmi/tables/smbios_entry_point";
constexpr std::string_view kSysfsTable = "/sys/firmware/dmi/tables/DMI";
constexpr std::string_view kSystab = "/sys/firmware/efi/systab";
constexpr std::string_view kDevMem = "/dev/mem";

// The legacy search area: the BIOS segment below 1 MB, where entry points sit on 16-byte
// boundaries.
constexpr uint64_t kLegacyStart = 0xF0000;
constexpr std::size_t kLegacyLength = 0x10000;

// Closes the descriptor whatever path the read takes.
struct Fd {
  int fd;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

}  // namespace

EfiSmbiosAddresses ParseEfiSystab(std::string_view text) {
  EfiSmbiosAddresses found;
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    const auto key = line.substr(0, eq);
    auto value = line.substr(eq + 1);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\r')) value.remove_suffix(1);
    if (value.substr(0, 2) == "0x" || value.substr(0, 2) == "0X") value.remove_prefix(2);
    uint64_t address = 0;
    auto [ptr, ec] = std::from_chars(value.data(), value.data() + value.size(), address, 16);
    if (ec != std::errc() || ptr != value.data() + value.size() || value.empty()) continue;
    if (key == "SMBIOS3") found.smbios3 = address;
    if (key == "SMBIOS") found.smbios = address;
  }
  return found;
}

LinuxFirmwareService::LinuxFirmwareService(std::shared_ptr<const FileReader> files)
    : files_(std::move(files)) {}

Answer<std::string> LinuxFirmwareService::ReadPhysicalMemory(uint64_t address,
                                                             std::size_t length) const {
  const std::string source = std::string(kDevMem);
  if (length > kMaxTable)
    return Answer<std::string>::Fail(Status::Malformed, source, "request too large");
  // /dev/mem is resolved under the reader's root like every other path, so a captured tree
  // can hold a (sparse) file in its place.
  const auto path = files_->Resolve(kDevMem);
  Fd fd{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY)};
  if (fd.fd < 0) {
    const int err = errno;
    return Answer<std::string>::Fail(StatusFromErrno(err), source, std::strerror(err));
  }
  std::string bytes(length, '\0');
  std::size_t done = 0;
  while (done < length) {
    const ssize_t got =
        ::pread(fd.fd, bytes.data() + done, length - done, static_cast<off_t>(address + done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      const int err = errno;
      if (done > 0) break;  // a range that runs into a protected area: keep what was read
      return Answer<std::string>::Fail(StatusFromErrno(err), source, std::strerror(err));
    }
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  if (done == 0)
    return Answer<std::string>::Fail(Status::Missing, source, "nothing at that address");
  bytes.resize(done);
  return Answer<std::string>::Of(std::move(bytes), source);
}

Answer<SmbiosTables> LinuxFirmwareService::TableAt(std::string entryPoint,
                                                   const std::string& route) const {
  const auto loc = ParseEntryPointAt(entryPoint);
  if (!loc) return Answer<SmbiosTables>::Fail(Status::Malformed, route, "no valid entry point");
  if (loc->tableAddress == 0 || loc->tableLength == 0)
    return Answer<SmbiosTables>::Fail(Status::Malformed, route, "entry point names no table");
  const std::size_t length = std::min<std::size_t>(loc->tableLength, kMaxTable);
  auto table = ReadPhysicalMemory(loc->tableAddress, length);
  if (!table) return Answer<SmbiosTables>::Fail(table.source.status, route, table.source.detail);
  return Answer<SmbiosTables>::Of(
      *MakeSmbiosTables(std::move(entryPoint), std::move(*table), loc->tableAddress), route);
}

Answer<SmbiosTables> LinuxFirmwareService::FromSysfs() const {
  auto entry = files_->ReadFile(kSysfsEntry, 4096);
  if (!entry)
    return Answer<SmbiosTables>::Fail(entry.source.status, std::string(kSysfsEntry),
                                      entry.source.detail);
  auto table = files_->ReadFile(kSysfsTable, kMaxTable);
  if (!table)
    return Answer<SmbiosTables>::Fail(table.source.status, std::string(kSysfsTable),
                                      table.source.detail);
  auto tables = MakeSmbiosTables(std::move(*entry), std::move(*table), 0);
  if (!tables)
    return Answer<SmbiosTables>::Fail(Status::Malformed, std::string(kSysfsEntry),
                                      "no valid entry point");
  return Answer<SmbiosTables>::Of(std::move(*tables), std::string(kSysfsDir));
}

Answer<SmbiosTables> LinuxFirmwareService::FromEfiSystab() const {
  const std::string route = std::string(kSystab) + " + " + std::string(kDevMem);
  auto systab = files_->ReadFile(kSystab, 65536);
  if (!systab)
    return Answer<SmbiosTables>::Fail(systab.source.status, std::string(kSystab),
                                      systab.source.detail);
  const auto addresses = ParseEfiSystab(*systab);
  // The 64-bit entry point is the current one; the 32-bit one may be absent or stale.
  Provenance last = Provenance::Failure(Status::Missing, std::string(kSystab), "no SMBIOS entry");
  for (auto address : {addresses.smbios3, addresses.smbios}) {
    if (!address) continue;
    auto entry = ReadPhysicalMemory(*address, 0x20);
    if (!entry) {
      last = entry.source;
      continue;
    }
    auto tables = TableAt(std::move(*entry), route);
    if (tables) return tables;
    last = tables.source;
  }
  return Answer<SmbiosTables>::Fail(last.status, last.source, last.detail);
}

Answer<SmbiosTables> LinuxFirmwareService::FromLegacyScan() const {
  const std::string route = std::string(kDevMem) + " 0xF0000 search";
  auto area = ReadPhysicalMemory(kLegacyStart, kLegacyLength);
  if (!area)
    return Answer<SmbiosTables>::Fail(area.source.status, std::string(kDevMem), area.source.detail);
  const std::string_view bytes = *area;
  // The newest kind of entry point first: a machine may publish all three.
  for (std::string_view anchor : {"_SM3_", "_SM_", "_DMI_"}) {
    for (std::size_t at = 0; at + anchor.size() <= bytes.size(); at += 16) {
      if (bytes.substr(at, anchor.size()) != anchor) continue;
      if (!ParseEntryPointAt(bytes, at)) continue;
      return TableAt(std::string(bytes.substr(at, 0x20)), route);
    }
  }
  return Answer<SmbiosTables>::Fail(Status::Missing, route, "no entry point in the BIOS area");
}

FirmwareRoutes LinuxFirmwareService::ReadSmbios() const {
  FirmwareRoutes routes;
  for (auto route : {&LinuxFirmwareService::FromSysfs, &LinuxFirmwareService::FromEfiSystab,
                     &LinuxFirmwareService::FromLegacyScan}) {
    auto answer = (this->*route)();
    routes.tried.push_back(answer.source);
    if (answer) {
      routes.tables = std::move(answer);
      return routes;
    }
    routes.tables = std::move(answer);
  }
  return routes;
}

std::shared_ptr<const FirmwareService> MakeLinuxFirmwareService(
    std::shared_ptr<const FileReader> files) {
  return std::make_shared<LinuxFirmwareService>(std::move(files));
}

}  // namespace tavrin::platform
