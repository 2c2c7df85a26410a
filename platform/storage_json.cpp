#include "platform/storage_json.h"

namespace tavrin::platform {

void to_json(nlohmann::json& j, const FsStats& v) {
  j = {{"bsize", v.blockSize},  {"frsize", v.fragmentSize},    {"blocks", v.blocks},
       {"bfree", v.blocksFree}, {"bavail", v.blocksAvailable}, {"files", v.files},
       {"ffree", v.filesFree},  {"favail", v.filesAvailable},  {"fsid", v.fileSystemId},
       {"flag", v.flags},       {"namemax", v.nameMax}};
}

void from_json(const nlohmann::json& j, FsStats& v) {
  v.blockSize = j.at("bsize").get<uint64_t>();
  v.fragmentSize = j.at("frsize").get<uint64_t>();
  v.blocks = j.at("blocks").get<uint64_t>();
  v.blocksFree = j.at("bfree").get<uint64_t>();
  v.blocksAvailable = j.at("bavail").get<uint64_t>();
  v.files = j.value("files", uint64_t{0});
  v.filesFree = j.value("ffree", uint64_t{0});
  v.filesAvailable = j.value("favail", uint64_t{0});
  v.fileSystemId = j.value("fsid", uint64_t{0});
  v.flags = j.value("flag", uint64_t{0});
  v.nameMax = j.value("namemax", uint64_t{0});
}

void to_json(nlohmann::json& j, const WindowsVolume& v) {
  j = {{"drive", v.drive},
       {"driveType", v.driveType},
       {"mediaPresent", v.mediaPresent},
       {"sectorsPerCluster", v.sectorsPerCluster},
       {"bytesPerSector", v.bytesPerSector},
       {"freeClusters", v.freeClusters},
       {"totalClusters", v.totalClusters},
       {"freeBytes", v.freeBytes},
       {"totalBytes", v.totalBytes},
       {"volumeInfoOk", v.volumeInfoOk},
       {"label", v.label},
       {"fileSystem", v.fileSystem},
       {"serial", v.serial},
       {"volumeFlags", v.volumeFlags},
       {"maxComponentLength", v.maxComponentLength},
       {"rootCompressed", v.rootCompressed},
       {"uncPath", v.uncPath}};
}

void from_json(const nlohmann::json& j, WindowsVolume& v) {
  v.drive = j.at("drive").get<std::string>();
  v.driveType = j.value("driveType", 0u);
  v.mediaPresent = j.value("mediaPresent", false);
  v.sectorsPerCluster = j.value("sectorsPerCluster", 0u);
  v.bytesPerSector = j.value("bytesPerSector", 0u);
  v.freeClusters = j.value("freeClusters", 0u);
  v.totalClusters = j.value("totalClusters", 0u);
  v.freeBytes = j.value("freeBytes", int64_t{0});
  v.totalBytes = j.value("totalBytes", int64_t{0});
  v.volumeInfoOk = j.value("volumeInfoOk", false);
  v.label = j.value("label", std::string());
  v.fileSystem = j.value("fileSystem", std::string());
  v.serial = j.value("serial", 0u);
  v.volumeFlags = j.value("volumeFlags", 0u);
  v.maxComponentLength = j.value("maxComponentLength", 0u);
  v.rootCompressed = j.value("rootCompressed", false);
  v.uncPath = j.value("uncPath", std::string());
}

void to_json(nlohmann::json& j, const WindowsVolumes& v) {
  std::vector<uint16_t> units(v.driveStrings.begin(), v.driveStrings.end());
  j = {{"driveStrings", units}, {"systemDrive", v.systemDrive}, {"volumes", v.volumes}};
}

void from_json(const nlohmann::json& j, WindowsVolumes& v) {
  const auto units = j.value("driveStrings", std::vector<uint16_t>{});
  v.driveStrings.assign(units.begin(), units.end());
  v.systemDrive = j.value("systemDrive", std::string());
  v.volumes = j.value("volumes", std::vector<WindowsVolume>{});
}

}  // namespace tavrin::platform
