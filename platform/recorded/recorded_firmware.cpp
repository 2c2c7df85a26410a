#include "platform/recorded/recorded_firmware.h"
#include "platform/whole_file.h"

#include <fstream>
#include <sstream>

#include "platform/service_hooks.h"
#include "platform/snapshot_json.h"

namespace tavrin::platform {
namespace {

// A dump bigger than this is not an SMBIOS table (the 32-bit form tops out at 64 KB).
constexpr std::uintmax_t kMaxDumpFile = 16u << 20;

}  // namespace

std::optional<SmbiosTables> SplitSmbiosDump(std::string_view bytes) {
  if (bytes.size() <= kDumpTableOffset) return std::nullopt;
  const auto loc = ParseEntryPointAt(bytes.substr(0, kDumpTableOffset));
  if (!loc || loc->entryLength > kDumpTableOffset) return std::nullopt;
  auto tables = MakeSmbiosTables(std::string(bytes.substr(0, loc->entryLength)),
                                 std::string(bytes.substr(kDumpTableOffset)), kDumpTableOffset);
  // An entry point that gives its table no bytes leaves nothing to show; the dump would also
  // be written back as a bare header, which no reader takes for a dump.
  if (tables && tables->table.empty()) return std::nullopt;
  return tables;
}

RecordedFirmwareService::RecordedFirmwareService(std::optional<SmbiosTables> tables,
                                                 std::string source, std::vector<Provenance> tried)
    : tables_(std::move(tables)), source_(std::move(source)), tried_(std::move(tried)) {}

FirmwareRoutes RecordedFirmwareService::ReadSmbios() const {
  FirmwareRoutes routes;
  routes.tried = tried_;
  if (tables_) {
    routes.tables = Answer<SmbiosTables>::Of(*tables_, source_);
  } else if (!tried_.empty()) {
    // The recording machine's last reason is the one worth showing.
    const auto& last = tried_.back();
    routes.tables = Answer<SmbiosTables>::Fail(last.status, last.source, last.detail);
  } else {
    routes.tables = Answer<SmbiosTables>::Fail(Status::NotSupported, source_, "no tables recorded");
  }
  return routes;
}

Answer<std::string> RecordedFirmwareService::ReadPhysicalMemory(uint64_t, std::size_t) const {
  return Answer<std::string>::Fail(Status::NotSupported, "/dev/mem",
                                   "a snapshot holds no physical memory");
}

std::shared_ptr<const FirmwareService> LoadRecordedFirmware(const std::filesystem::path& dir,
                                                            std::vector<std::string>& warnings) {
  const auto folder = dir / "firmware";
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec)) return nullptr;
  std::vector<Provenance> tried;
  if (auto text = ReadSnapshotFile(folder / "routes.json", kMaxDumpFile)) {
    auto j = nlohmann::json::parse(*text, nullptr, false);
    if (j.is_object() && j.contains("routes") && j["routes"].is_array()) {
      for (const auto& entry : j["routes"])
        if (auto p = ProvenanceFromJson(entry)) tried.push_back(*p);
    } else {
      warnings.push_back("firmware/routes.json: not valid");
    }
  }
  std::optional<SmbiosTables> tables;
  const auto bin = folder / "smbios.bin";
  if (auto bytes = ReadSnapshotFile(bin, kMaxDumpFile)) {
    tables = SplitSmbiosDump(*bytes);
    if (!tables)
      warnings.push_back("firmware/smbios.bin: not an SMBIOS dump (" + SmbiosDumpProblem(*bytes) +
                         ")");
  }
  if (!tables && tried.empty()) return nullptr;
  return std::make_shared<RecordedFirmwareService>(
      std::move(tables), "snapshot firmware/smbios.bin", std::move(tried));
}

std::string SmbiosDumpProblem(std::string_view bytes) {
  if (bytes.size() <= kDumpTableOffset)
    return "shorter than the " + std::to_string(kDumpTableOffset) + " bytes of its header";
  const std::string_view head = bytes.substr(0, kDumpTableOffset);
  if (!head.starts_with("_SM3_") && !head.starts_with("_SM_") && !head.starts_with("_DMI_"))
    return "no SMBIOS entry point anchor at its start";
  const auto loc = ParseEntryPointAt(head);
  if (!loc) return "its SMBIOS entry point has a bad checksum or length";
  if (loc->entryLength > kDumpTableOffset)
    return "its SMBIOS entry point is longer than the " + std::to_string(kDumpTableOffset) +
           " bytes of its header";
  return "its SMBIOS entry point gives the structure table no bytes";
}

std::shared_ptr<const FirmwareService> LoadFirmwareDump(std::string_view bytes,
                                                        const std::filesystem::path& file,
                                                        std::string& why) {
  if (bytes.size() > kMaxDumpFile) {
    why = "larger than 16 MB";
    return nullptr;
  }
  auto tables = SplitSmbiosDump(bytes);
  if (!tables) {
    why = SmbiosDumpProblem(bytes);
    return nullptr;
  }
  return std::make_shared<RecordedFirmwareService>(std::move(tables), "dump " + file.string(),
                                                   std::vector<Provenance>{});
}

std::shared_ptr<const FirmwareService> LoadFirmwareDumpFile(const std::filesystem::path& file) {
  auto bytes = ReadWholeFile(file, kMaxDumpFile);
  if (!bytes) return nullptr;
  std::string why;
  return LoadFirmwareDump(*bytes, file, why);
}

}  // namespace tavrin::platform
