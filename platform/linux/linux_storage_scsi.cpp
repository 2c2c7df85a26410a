// The SCSI devices the kernel knows, from /sys/class/scsi_device: each entry is named by its
// address (host:channel:target:lun) and its device folder holds the vendor, model and
// revision the kernel copied from the device's INQUIRY data, readable without root.
#include <algorithm>
#include <charconv>
#include <tuple>

#include "platform/linux/linux_storage.h"

namespace tavrin::platform {
namespace {

constexpr std::string_view kScsiDevices = "/sys/class/scsi_device";

std::optional<int> Int(std::string_view text) {
  int v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return v;
}

// "2:0:1:0" into host, channel, target and LUN; false for any other name.
bool ParseAddress(std::string_view name, ScsiDeviceRecord& r) {
  int* parts[] = {&r.host, &r.channel, &r.target, &r.lun};
  for (int i = 0; i < 4; ++i) {
    const auto colon = i < 3 ? name.find(':') : name.size();
    if (colon == std::string_view::npos) return false;
    const auto v = Int(name.substr(0, colon));
    if (!v) return false;
    *parts[i] = *v;
    name.remove_prefix(i < 3 ? colon + 1 : colon);
  }
  return true;
}

}  // namespace

Answer<std::vector<ScsiDeviceRecord>> ReadScsiDevices(const FileReader& files) {
  const std::string dir(kScsiDevices);
  auto names = files.ListDir(dir);
  if (!names) {
    // The class exists once the SCSI mid-layer is loaded; without it no SCSI device exists.
    if (names.source.status == Status::Missing)
      return Answer<std::vector<ScsiDeviceRecord>>::Fail(Status::Missing, dir,
                                                         "the kernel's SCSI layer is not loaded");
    return {std::nullopt, names.source};
  }
  std::vector<ScsiDeviceRecord> devices;
  for (const std::string& name : *names) {
    ScsiDeviceRecord r;
    if (!ParseAddress(name, r)) continue;
    const std::string base = dir + "/" + name + "/device";
    const auto text = [&](const char* file) {
      return files.ReadLine(base + "/" + file).value_or(std::string());
    };
    // A device removed between the listing and the reads is no device.
    const auto type = files.ReadLine(base + "/type");
    if (!type && type.source.status == Status::Missing) continue;
    r.type = type ? Int(*type) : std::nullopt;
    r.vendor = text("vendor");
    r.model = text("model");
    r.revision = text("rev");
    r.state = text("state");
    r.source = Provenance::Answered(base);
    devices.push_back(std::move(r));
  }
  std::sort(devices.begin(), devices.end(), [](const auto& a, const auto& b) {
    return std::tie(a.host, a.channel, a.target, a.lun) <
           std::tie(b.host, b.channel, b.target, b.lun);
  });
  return Answer<std::vector<ScsiDeviceRecord>>::Of(std::move(devices), dir);
}

}  // namespace tavrin::platform
