// Recording of the firmware service: the tables as the dump layout (firmware/smbios.bin) and
// the story of the routes (firmware/routes.json), so a replay shows the same values and the
// same reasons.
#include <fstream>
#include <mutex>

#include "platform/firmware.h"
#include "platform/recording/snapshot_folder.h"
#include "platform/service_hooks.h"
#include "platform/snapshot_json.h"

namespace tavrin::platform {
namespace {

struct Recorded {
  std::mutex mutex;
  std::optional<FirmwareRoutes> routes;
};

class RecordingFirmwareService : public FirmwareService {
 public:
  RecordingFirmwareService(std::shared_ptr<const FirmwareService> live,
                           std::shared_ptr<Recorded> store)
      : live_(std::move(live)), store_(std::move(store)) {}

  FirmwareRoutes ReadSmbios() const override {
    auto routes = live_->ReadSmbios();
    std::lock_guard lock(store_->mutex);
    store_->routes = routes;
    return routes;
  }
  Answer<std::string> ReadPhysicalMemory(uint64_t address, std::size_t length) const override {
    return live_->ReadPhysicalMemory(address, length);
  }

 private:
  std::shared_ptr<const FirmwareService> live_;
  std::shared_ptr<Recorded> store_;
};

class FirmwareRecording : public ServiceRecording {
 public:
  explicit FirmwareRecording(std::shared_ptr<Recorded> store) : store_(std::move(store)) {}

  bool Finish(const std::filesystem::path& dir, std::string* error) override {
    std::lock_guard lock(store_->mutex);
    const auto folder = dir / "firmware";
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);  // no stale tables of an earlier recording
    if (!store_->routes) return true;
    std::filesystem::create_directories(folder, ec);
    nlohmann::json routes = nlohmann::json::array();
    for (const auto& p : store_->routes->tried) routes.push_back(ProvenanceToJson(p));
    if (!Write(folder / "routes.json", DumpJson({{"routes", routes}}), error)) return false;
    if (!store_->routes->tables) return true;
    return Write(folder / "smbios.bin", ComposeSmbiosDump(*store_->routes->tables.value), error);
  }

 private:
  static bool Write(const std::filesystem::path& file, const std::string& content,
                    std::string* error) {
    return WriteSnapshotFile(file, content, error);
  }

  std::shared_ptr<Recorded> store_;
};

}  // namespace

std::string ComposeSmbiosDump(const SmbiosTables& tables) {
  // The entry point's own table address means nothing in a file: it is set to where the table
  // starts in the dump, and the checksums follow.
  std::string dump =
      RelocateEntryPoint(tables.entryPoint, kDumpTableOffset).value_or(tables.entryPoint);
  dump.resize(kDumpTableOffset, '\0');
  return dump + tables.table;
}

std::shared_ptr<const FirmwareService> RecordFirmware(
    std::shared_ptr<const FirmwareService> live, std::unique_ptr<ServiceRecording>& recording) {
  if (!live) return live;
  auto store = std::make_shared<Recorded>();
  recording = std::make_unique<FirmwareRecording>(store);
  return std::make_shared<RecordingFirmwareService>(std::move(live), std::move(store));
}

}  // namespace tavrin::platform
