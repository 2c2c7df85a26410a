// The block devices as sysfs and the udev database describe them.
#include <algorithm>
#include <charconv>

#include "base/strings.h"
#include "platform/linux/linux_storage.h"

namespace tavrin::platform {
namespace {

constexpr std::string_view kSysBlock = "/sys/block/";
constexpr std::string_view kScsiGeneric = "/sys/class/scsi_generic";
constexpr std::string_view kUdevData = "/run/udev/data/b";
constexpr std::string_view kCdromInfo = "/proc/sys/dev/cdrom/info";

// The CD-ROM driver's list, read once for all optical drives of one enumeration.
class CdromList {
 public:
  explicit CdromList(const FileReader& files) : files_(files) {}
  void Fill(BlockDeviceRecord& d) {
    if (!read_) {
      read_ = true;
      auto text = files_.ReadFile(kCdromInfo);
      source_ = text.source;
      if (text) drives_ = ParseCdromInfo(*text);
    }
    if (!source_.ok()) {
      d.cdromInfoSource = source_;
      return;
    }
    auto it = drives_.find(d.name);
    if (it == drives_.end()) {
      d.cdromInfoSource = Provenance::Failure(Status::Missing, std::string(kCdromInfo),
                                              "the CD-ROM driver does not list " + d.name);
      return;
    }
    d.cdromInfo = it->second;
    d.cdromInfoSource = source_;
  }

 private:
  const FileReader& files_;
  bool read_ = false;
  Provenance source_;
  std::map<std::string, std::map<std::string, std::string>> drives_;
};

std::string Line(const FileReader& files, const std::string& path) {
  auto a = files.ReadLine(path);
  return a ? std::string(base::Trim(*a)) : std::string();
}

template <class T>
std::optional<T> Number(const FileReader& files, const std::string& path) {
  const std::string text = Line(files, path);
  T v{};
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return v;
}

std::optional<bool> Flag(const FileReader& files, const std::string& path) {
  auto n = Number<int>(files, path);
  if (!n) return std::nullopt;
  return *n != 0;
}

// The bus a device hangs on, from the path of its sysfs directory: the kernel names each
// bridge on the way ("ata3", "usb1", "virtio2", "nvme0").
std::string Transport(const std::string& name, const std::string& devicePath, bool scsi) {
  auto has = [&](std::string_view part) { return devicePath.find(part) != std::string::npos; };
  if (base::StartsWith(name, "loop")) return "loop";
  if (base::StartsWith(name, "zram") || base::StartsWith(name, "ram")) return "ram";
  if (base::StartsWith(name, "nvme") || has("/nvme/")) return "nvme";
  if (has("/usb")) return "usb";
  if (has("/virtio")) return scsi ? "scsi" : "virtio";
  if (has("/ata")) return "sata";
  if (has("/mmc")) return "mmc";
  if (has("/end_device-")) return "sas";
  if (has("/rport-")) return "fc";
  if (has("/session")) return "iscsi";
  if (has("/vbd-") || base::StartsWith(name, "xvd")) return "xen";
  if (base::StartsWith(name, "md") || base::StartsWith(name, "dm-")) return "";
  return scsi ? "scsi" : "";
}

std::optional<ScsiAddress> ParseScsiAddress(std::string_view text) {
  ScsiAddress a;
  int* fields[] = {&a.host, &a.channel, &a.target, &a.lun};
  for (int i = 0; i < 4; ++i) {
    const auto colon = text.find(':');
    const std::string_view part = text.substr(0, colon);
    const auto [end, ec] = std::from_chars(part.data(), part.data() + part.size(), *fields[i]);
    if (ec != std::errc() || end != part.data() + part.size()) return std::nullopt;
    if ((colon == std::string_view::npos) != (i == 3)) return std::nullopt;
    if (colon != std::string_view::npos) text.remove_prefix(colon + 1);
  }
  return a;
}

std::map<std::string, std::string> Udev(const FileReader& files, const std::string& devNumber) {
  if (devNumber.empty()) return {};
  auto text = files.ReadFile(std::string(kUdevData) + devNumber);
  return text ? ParseUdevRecord(*text) : std::map<std::string, std::string>{};
}

// The first non-empty of the listed sysfs attributes below `base`.
std::string FirstOf(const FileReader& files, const std::string& base,
                    std::initializer_list<std::string_view> names) {
  for (std::string_view n : names) {
    std::string v = Line(files, base + std::string(n));
    if (!v.empty()) return v;
  }
  return {};
}

}  // namespace

std::map<std::string, std::string> ParseUdevRecord(std::string_view text) {
  std::map<std::string, std::string> props;
  while (!text.empty()) {
    const auto nl = text.find('\n');
    const std::string_view line = text.substr(0, nl);
    text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
    if (!base::StartsWith(line, "E:")) continue;
    const auto eq = line.find('=');
    if (eq == std::string_view::npos || eq < 3) continue;
    props.emplace(std::string(line.substr(2, eq - 2)), std::string(line.substr(eq + 1)));
  }
  return props;
}

std::map<std::string, std::map<std::string, std::string>> ParseCdromInfo(std::string_view text) {
  std::map<std::string, std::map<std::string, std::string>> drives;
  std::vector<std::string> columns;
  while (!text.empty()) {
    const auto nl = text.find('\n');
    std::string_view line = text.substr(0, nl);
    text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
    const auto colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    const std::string label(base::Trim(line.substr(0, colon)));
    std::vector<std::string> values;
    std::string_view rest = line.substr(colon + 1);
    while (true) {
      const auto start = rest.find_first_not_of(" \t");
      if (start == std::string_view::npos) break;
      rest.remove_prefix(start);
      const auto end = rest.find_first_of(" \t");
      values.emplace_back(rest.substr(0, end));
      rest.remove_prefix(end == std::string_view::npos ? rest.size() : end);
    }
    if (label == "drive name") {
      columns = values;
      for (const std::string& c : columns) drives[c];
      continue;
    }
    // The title line and anything before the names belong to no drive.
    for (std::size_t i = 0; i < columns.size() && i < values.size(); ++i)
      drives[columns[i]][label] = values[i];
  }
  return drives;
}

Answer<std::vector<BlockDeviceRecord>> ReadBlockDevices(const FileReader& files) {
  const std::string dir(kSysBlock.substr(0, kSysBlock.size() - 1));
  auto names = files.ListDir(dir);
  if (!names)
    return Answer<std::vector<BlockDeviceRecord>>::Fail(names.source.status, dir,
                                                        names.source.detail);
  std::vector<BlockDeviceRecord> devices;
  CdromList cdroms(files);
  for (const std::string& name : *names) {
    const std::string base = std::string(kSysBlock) + name;
    BlockDeviceRecord d;
    d.name = name;
    d.deviceNumber = Line(files, base + "/dev");
    // Listed but gone: the device was removed while the list was read.
    if (d.deviceNumber.empty()) continue;
    if (base::StartsWith(name, "loop")) {
      d.loopBackingFile = Line(files, base + "/loop/backing_file");
      // A loop device with nothing attached is a free slot, not storage.
      if (d.loopBackingFile.empty()) continue;
    }
    d.sizeSectors = Number<uint64_t>(files, base + "/size").value_or(0);
    d.logicalBlockSize = Number<uint32_t>(files, base + "/queue/logical_block_size").value_or(0);
    d.physicalBlockSize = Number<uint32_t>(files, base + "/queue/physical_block_size").value_or(0);
    d.rotational = Flag(files, base + "/queue/rotational");
    d.removable = Flag(files, base + "/removable");
    d.readOnly = Flag(files, base + "/ro");
    // NVMe namespaces keep model, serial and firmware on their controller (device/).
    d.model = FirstOf(files, base, {"/device/model"});
    d.revision = FirstOf(files, base, {"/device/rev", "/device/firmware_rev"});
    d.serial = FirstOf(files, base, {"/device/serial", "/serial"});
    d.wwn = FirstOf(files, base, {"/wwid", "/device/wwid"});
    d.scsiType = Number<int>(files, base + "/device/type");
    d.runtimeStatus = Line(files, base + "/device/power/runtime_status");
    if (auto sd = files.ListDir(base + "/device/scsi_device"); sd && !sd->empty())
      d.scsiAddress = ParseScsiAddress(sd->front());
    // Only a SCSI device's vendor file names a maker; virtio's holds the PCI vendor number.
    if (d.scsiAddress) d.vendor = FirstOf(files, base, {"/device/vendor"});
    const std::string link = files.ReadLink(base).value_or(std::string());
    d.transport = Transport(name, link, d.scsiAddress.has_value());
    d.udev = Udev(files, d.deviceNumber);
    if (d.scsiType == 5 || base::StartsWith(name, "sr")) cdroms.Fill(d);
    const auto entries = files.ListDir(base).value_or(std::vector<std::string>{});
    for (const std::string& entry : entries) {
      if (!base::StartsWith(entry, name)) continue;
      const std::string pbase = base + "/" + entry;
      auto number = Number<uint32_t>(files, pbase + "/partition");
      if (!number) continue;
      BlockPartition p;
      p.name = entry;
      p.number = *number;
      p.deviceNumber = Line(files, pbase + "/dev");
      p.startSector = Number<uint64_t>(files, pbase + "/start").value_or(0);
      p.sizeSectors = Number<uint64_t>(files, pbase + "/size").value_or(0);
      p.udev = Udev(files, p.deviceNumber);
      d.partitions.push_back(std::move(p));
    }
    std::sort(d.partitions.begin(), d.partitions.end(),
              [](const BlockPartition& a, const BlockPartition& b) { return a.number < b.number; });
    d.source = Provenance::Answered(base);
    devices.push_back(std::move(d));
  }
  return Answer<std::vector<BlockDeviceRecord>>::Of(std::move(devices), dir);
}

Answer<uint32_t> ReadScsiGenericCount(const FileReader& files) {
  auto names = files.ListDir(kScsiGeneric);
  if (!names) {
    // Without the sg driver loaded the class does not exist: no SCSI generic devices.
    if (names.source.status == Status::Missing)
      return Answer<uint32_t>::Fail(Status::Missing, std::string(kScsiGeneric),
                                    "the SCSI generic driver is not loaded");
    return Answer<uint32_t>::Fail(names.source.status, std::string(kScsiGeneric),
                                  names.source.detail);
  }
  return Answer<uint32_t>::Of(static_cast<uint32_t>(names->size()), std::string(kScsiGeneric));
}

}  // namespace tavrin::platform
